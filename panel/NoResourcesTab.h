// CNoResourcesTab: the one tab the panel shows while the resource library is
// missing: a line asking for the storage card. Any tap asks the panel to reload
// its settings, which loads the resource library once it is there again.
#pragma once
#include <windows.h>

#include "controls/ScrollPanel.h"
#include "platform/windowlib/String.h"

class CNoResourcesTab : public CScrollPanel {
 public:
  static const int kTabId = 51;

  explicit CNoResourcesTab(CVirtualWnd* owner = nullptr);
  ~CNoResourcesTab() override;

  BOOL OnLButtonDown(POINT* point) override;
  void Activate() override;
  void Paint(CTextRunList* context) override;
  int GetTabId() override;
  UINT GetTabIcon() override;
  UINT GetTabIconId(int variant) override;
  int GetHeaderHeight() override;

  // The line shown (empty before the first activation).
  const CString& GetText() const { return m_text; }

 private:
  CString m_text;
  BOOL m_activated;
};
