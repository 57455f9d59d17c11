// CStandInTab: the list tab the panel shows for a built-in tab whose folder has not
// installed its maker yet: the tab's icon, a header with its two selectors and a
// line that names it.
#pragma once
#include <windows.h>

#include "panel/ListPanelView.h"

class CStandInTab : public CListPanelView {
 public:
  CStandInTab(int tabId, CVirtualWnd* owner = nullptr);

  void Paint(CTextRunList* context) override;
  int GetTabId() override { return m_tabId; }
  UINT GetTabIcon() override;
  UINT GetTabIconId(int variant) override;
  // The skin's tab icon row: the tab host's order of the six tabs.
  int GetSkinTabIndex() override;
  CVirtualDropDown* CreateSortMenu() override;
  CVirtualDropDown* CreateFilterMenu() override;

  // The tab's name ("Calendar", ...); empty for an unknown identifier.
  static LPCWSTR GetTabName(int tabId);

 private:
  int m_tabId;
};
