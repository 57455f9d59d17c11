// CCustomTab: a tab that shows other Today items, stacked in its rectangle as the
// Today screen would stack them, one library per item, each item's window a child
// of the panel window. Items that cannot be shown get a message band instead.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/ScrollPanel.h"
#include "panel/CustomTabEntry.h"
#include "platform/today/todaycmn.h"

// Texts of the resource library the tab shows (res/ names them IDS_CUSTOM_*).
const UINT kTextCustomTabEmpty = 320;
const UINT kTextCustomItemOnToday = 321;
const UINT kTextCustomItemCyclic = 322;
const UINT kTextCustomItemFailed = 323;
const UINT kTextCustomItemTooNarrow = 324;

// One item of the tab. Each record is allocated on its own: the item keeps the
// address of its TODAYLISTITEM for as long as it is loaded.
struct HostedTodayItem {
  enum State {
    kNotLoaded = 0,
    kShowing = 1,
    kOnTodayScreen = 2,
    kCyclic = 3,
    kNoLibrary = 4,
    kNoEntry = 5,
    kNoWindow = 6,
  };
  BOOL tooNarrow = TRUE;
  TODAYLISTITEM item = {};
  DWORD allocated = 0;  // the cached-data size last allocated here
  BOOL sovel = FALSE;
  int state = kNotLoaded;
  TodayItemInfo info;
};

class CCustomTab : public CScrollPanel {
 public:
  CCustomTab(CVirtualWnd* owner, const CustomTabEntry& entry);
  ~CCustomTab() override;

  int AddHostedItem(const TodayItemInfo& info);
  void LoadItem(int index);
  void UnloadItem(int index);
  void UnloadAll();
  void Relayout();
  // Embeds the item in the plug-in and has the Today screen reload.
  void MoveItemIntoPanel(int index);

  void KillFocus() override;
  void SetFocus() override;
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnKey(DWORD key) override;
  void Paint(CTextRunList* context) override;
  void Activate() override;
  BOOL Deactivate() override;
  int GetTabId() override;
  WCHAR GetTabIdChar() override;
  int GetWantedHeight() override;
  void OnClearCache() override;
  BOOL OnQueryRefreshCache() override;

  const CustomTabEntry& GetEntry() const { return m_entry; }
  int GetItemCount() const { return static_cast<int>(m_items.size()); }
  const HostedTodayItem& GetItem(int index) const { return *m_items[static_cast<size_t>(index)]; }
  int GetCurrentItem() const { return m_current; }
  // The band of an item (tab coordinates); empty for an index out of range.
  RECT GetBandRect(int index);

 private:
  int GetItemHeight(const HostedTodayItem& item) const;
  void SyncCachedData(HostedTodayItem& item);
  void PlaceItem(HostedTodayItem& item, int top, BOOL visibleTab);
  void GiveItemSelection(int index, DWORD key);
  void LoseItemSelection(int index);
  int BandAt(POINT point);
  HWND HostWindow();

  BOOL m_watching;  // holds a reference of the activation watcher
  BOOL m_layoutPending;
  BOOL m_loaded;
  HWND m_specialWindow;
  CustomTabEntry m_entry;
  std::vector<std::unique_ptr<HostedTodayItem>> m_items;
  int m_current;
  int m_savedCurrent;
};

// Message band height, text inset: logical pixels at the screen's dpi.
int CustomTabBandHeight();
