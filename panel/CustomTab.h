// CCustomTab: a tab that shows other Today items, stacked in its rectangle as the
// Today screen would stack them, one library per item, each item's window a child
// of the panel window. Items that cannot be shown get a message band instead.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/ScrollPanel.h"
#include "graphics/Dib.h"
#include "panel/CustomTabEntry.h"
#include "panel/TabPlugin.h"
#include "platform/today/todaycmn.h"

// Texts of the resource library the tab shows (res/ names them IDS_CUSTOM_*).
const UINT kTextCustomTabEmpty = 320;
const UINT kTextCustomItemOnToday = 321;
const UINT kTextCustomItemCyclic = 322;
const UINT kTextCustomItemFailed = 323;
const UINT kTextCustomItemTooNarrow = 324;
// The context menu: the add sub-menu, the tab sub-menu and its delete entry.
const UINT kTextCustomTabAddMenu = 310;
const UINT kTextCustomTabMenu = 311;
const UINT kTextCustomTabDelete = 312;

// Commands of the context menu: add the i-th free item, remove the i-th item of
// the tab, delete the tab.
const int kCustomTabAddFirst = 1730;
const int kCustomTabAddEnd = 1800;
const int kCustomTabRemoveFirst = 1660;
const int kCustomTabDelete = 1729;

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
  // The panel's own copy of the forecast item was let go for this one and is owed
  // back when this one goes.
  BOOL sovelTaken = FALSE;
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
  // The tab chosen again: items that speak the embedding protocol hear it.
  BOOL ResetView(BOOL alreadyCurrent) override;
  BOOL OnContextMenu(POINT* screenPoint) override;
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;
  // The icon pair of the tab plug-in or of the tab icon pictures; FALSE leaves the
  // skin's strip icon.
  BOOL DrawTabIcon(HDC hdc, const RECT* rect, BOOL selected) override;

  // The tab's icon: drawn by the tab plug-in of the "IconName" item when
  // "SmartIcon" is set, else the pictures "IconName" names, else "default".
  void LoadTabIcon();
  // The pictures "<name><S>.bmp" and "<name><S>_bw.bmp" of the tab icon archive.
  BOOL LoadIconBitmaps(LPCWSTR name);
  void ReleaseTabIcon();
  // The free Today items the add sub-menu offers, in its order.
  static std::vector<TodayItemInfo> ListAddableItems();

  const CustomTabEntry& GetEntry() const { return m_entry; }
  int GetItemCount() const { return static_cast<int>(m_items.size()); }
  const HostedTodayItem& GetItem(int index) const { return *m_items[static_cast<size_t>(index)]; }
  int GetCurrentItem() const { return m_current; }
  // The band of an item (tab coordinates); empty for an index out of range.
  RECT GetBandRect(int index);
  ITabPlugin* GetTabPlugin() const { return m_plugin; }
  BOOL HasIconImages() const { return m_bitmapIcon; }
  // The pair drawn for a state: picture and mask (empty before they are made).
  const CDib& GetIconImage(BOOL selected) const { return selected ? m_selectedIcon : m_normalIcon; }
  const CDib& GetIconMask(BOOL selected) const { return selected ? m_selectedMask : m_normalMask; }
  // Tab icon side S at the screen's dpi.
  static SIZE GetTabIconSize();

 private:
  int GetItemHeight(const HostedTodayItem& item) const;
  void SyncCachedData(HostedTodayItem& item);
  void PlaceItem(HostedTodayItem& item, int top, BOOL visibleTab);
  void GiveItemSelection(int index, DWORD key);
  void LoseItemSelection(int index);
  int BandAt(POINT point);
  HWND HostWindow();
  void AddFreeItem(int index);
  // The entry with the items left to the Today screen's reload: what the tab's key
  // lists.
  CustomTabEntry GetStoredEntry() const;
  void RemoveItem(int index);
  BOOL MakePluginIcons();
  void ReleasePlugin();
  void TakeSovelFromPanel(HostedTodayItem& record);
  void GiveSovelToPanel(HostedTodayItem& record);

  BOOL m_watching;  // holds a reference of the activation watcher
  BOOL m_layoutPending;
  BOOL m_loaded;
  HWND m_specialWindow;
  BOOL m_bitmapIcon;  // the four icon images are ready
  BOOL m_premultiplied;  // the pictures were made by the plug-in: colour times opacity
  RECT m_iconRect;
  CDib m_selectedIcon, m_selectedMask, m_normalIcon, m_normalMask;
  ITabPlugin* m_plugin;
  CustomTabEntry m_entry;
  std::vector<std::unique_ptr<HostedTodayItem>> m_items;
  // Items added while the Today screen showed them: listed by the tab's key, hosted
  // only once the Today screen has reloaded the panel.
  std::vector<TodayItemInfo> m_pending;
  int m_current;
  int m_savedCurrent;
};

// Message band height, text inset: logical pixels at the screen's dpi.
int CustomTabBandHeight();
