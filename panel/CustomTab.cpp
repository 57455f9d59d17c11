#include "panel/CustomTab.h"

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "panel/Registration.h"
#include "panel/TabActivationWatcher.h"
#include "panel/TabMakers.h"

namespace {

const WPARAM kReloadTodayItems = 0xF2;

typedef HWND(WINAPI* PFN_INITIALIZE_ITEM)(TODAYLISTITEM*, HWND);

LPCWSTR FileNamePart(LPCWSTR path) {
  LPCWSTR slash = wcsrchr(path, L'\\');
  return slash ? slash + 1 : path;
}

int ScaleDpi(int value, int dpi) { return (value * dpi + 48) / 96; }

void ReloadTodayItems() { PostMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, kReloadTodayItems, 0); }

}  // namespace

int CustomTabBandHeight() { return ScaleDpi(64, GetScreenDpiY()); }

CCustomTab::CCustomTab(CVirtualWnd* owner, const CustomTabEntry& entry)
    : CScrollPanel(owner),
      m_watching(TRUE),
      m_layoutPending(FALSE),
      m_loaded(FALSE),
      m_specialWindow(nullptr),
      m_entry(entry),
      m_current(-1),
      m_savedCurrent(0) {
  m_entry.items.clear();
  CTabActivationWatcher::Instance().AddRef(owner ? owner->GetHwnd() : nullptr);
  for (const TodayItemInfo& info : entry.items) AddHostedItem(info);
}

CCustomTab::~CCustomTab() { UnloadAll(); }

HWND CCustomTab::HostWindow() {
  HWND window = GetHwnd();
  if (!window && GetOwner()) window = GetOwner()->GetHwnd();
  return window;
}

int CCustomTab::AddHostedItem(const TodayItemInfo& info) {
  auto record = std::make_unique<HostedTodayItem>();
  record->info = info;
  record->sovel = lstrcmpiW(FileNamePart(info.dllPath), L"SovelToday.dll") == 0;
  if (!info.cyclic) {
    CTabActivationWatcher& watcher = CTabActivationWatcher::Instance();
    watcher.SetTabForItem(info.keyName, static_cast<WCHAR>(m_entry.id));
    watcher.AddNamedEvent(info.keyName);
  }
  m_entry.items.push_back(info);
  m_items.push_back(std::move(record));
  return static_cast<int>(m_items.size()) - 1;
}

void CCustomTab::SyncCachedData(HostedTodayItem& record) {
  TODAYLISTITEM& item = record.item;
  if (item.cbCachedData == record.allocated) return;
  if (item.cbCachedData == 0) {
    if (item.prgbCachedData) LocalFree(item.prgbCachedData);
    item.prgbCachedData = nullptr;
  } else {
    HLOCAL grown = item.prgbCachedData ? LocalReAlloc(item.prgbCachedData, item.cbCachedData, LMEM_MOVEABLE | LMEM_ZEROINIT)
                                       : LocalAlloc(LPTR, item.cbCachedData);
    // An item asking for more than there is keeps what it had.
    if (!grown) {
      item.cbCachedData = record.allocated;
      return;
    }
    item.prgbCachedData = static_cast<BYTE*>(grown);
  }
  record.allocated = item.cbCachedData;
}

void CCustomTab::LoadItem(int index) {
  if (index < 0 || index >= GetItemCount()) return;
  HostedTodayItem& record = *m_items[static_cast<size_t>(index)];
  if (record.item.hinstDLL) return;
  if (record.info.enabled) {
    record.state = HostedTodayItem::kOnTodayScreen;
    return;
  }
  if (record.info.cyclic) {
    record.state = HostedTodayItem::kCyclic;
    return;
  }
  HMODULE module = LoadLibraryW(record.info.dllPath);
  if (!module) {
    record.state = HostedTodayItem::kNoLibrary;
    return;
  }
  auto initialize = reinterpret_cast<PFN_INITIALIZE_ITEM>(
      reinterpret_cast<void*>(GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(240)))));
  if (!initialize) {
    FreeLibrary(module);
    record.state = HostedTodayItem::kNoEntry;
    return;
  }
  TODAYLISTITEM& item = record.item;
  item = TODAYLISTITEM();
  record.allocated = 0;
  lstrcpynW(item.szName, record.info.keyName, MAX_ITEMNAME);
  item.tlit = tlitCustom;
  item.dwOrder = record.info.order;
  item.fEnabled = TRUE;
  item.grfFlags = record.info.flags;
  lstrcpynW(item.szDLLPath, record.info.dllPath, MAX_PATH);
  item.hinstDLL = module;
  HWND window = initialize(&item, HostWindow());
  SyncCachedData(record);
  if (!window || !IsWindow(window)) {
    item.hwndCustom = nullptr;
    item.hinstDLL = nullptr;
    FreeLibrary(module);
    record.state = HostedTodayItem::kNoWindow;
    return;
  }
  item.hwndCustom = window;
  item.hinstDLL = module;
  if (lstrcmpiW(FileNamePart(record.info.dllPath), L"shutil.dll") == 0) m_specialWindow = window;
  ShowWindow(window, SW_HIDE);
  record.state = HostedTodayItem::kShowing;
  SendMessageW(window, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item), 0);
  SyncCachedData(record);
  record.tooNarrow = (m_rect.right - m_rect.left) < record.info.minWidth;
}

void CCustomTab::UnloadItem(int index) {
  if (index < 0 || index >= GetItemCount()) return;
  HostedTodayItem& record = *m_items[static_cast<size_t>(index)];
  TODAYLISTITEM& item = record.item;
  if (item.hinstDLL) {
    WCHAR className[260] = {};
    HWND window = item.hwndCustom;
    if (window && IsWindow(window)) {
      GetClassNameW(window, className, ARRAYSIZE(className));
      if (m_specialWindow == window) m_specialWindow = nullptr;
      SendMessageW(window, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item), 0);
      DestroyWindow(window);
      SyncCachedData(record);
    }
    // The class belongs to the item's library: unregistered by its instance while
    // the library is still there, so no class outlives the code it points into.
    HINSTANCE module = item.hinstDLL;
    WNDCLASSW probe;
    if (className[0] && GetClassInfoW(module, className, &probe)) UnregisterClassW(className, module);
    FreeLibrary(module);
    item.hinstDLL = nullptr;
    item.hwndCustom = nullptr;
  }
  item.cbCachedData = 0;
  SyncCachedData(record);
  record.state = HostedTodayItem::kNotLoaded;
}

void CCustomTab::UnloadAll() {
  CTabActivationWatcher& watcher = CTabActivationWatcher::Instance();
  for (int i = 0; i < GetItemCount(); ++i) {
    if (!m_items[static_cast<size_t>(i)]->info.cyclic) watcher.RemoveItem(m_items[static_cast<size_t>(i)]->info.keyName);
    UnloadItem(i);
  }
  m_items.clear();
  if (m_watching) watcher.Release();
  m_watching = FALSE;
  m_loaded = FALSE;
}

int CCustomTab::GetItemHeight(const HostedTodayItem& record) const {
  const int band = CustomTabBandHeight();
  if (record.state == HostedTodayItem::kNotLoaded) return 0;
  if (record.tooNarrow) return std::max(static_cast<int>(record.item.cyp), band);
  if (record.state != HostedTodayItem::kShowing) return band;
  return static_cast<int>(std::min<DWORD>(record.item.cyp, 0x7FFF));
}

RECT CCustomTab::GetBandRect(int index) {
  RECT band = {};
  if (index < 0 || index >= GetItemCount()) return band;
  int top = m_rect.top;
  for (int i = 0; i < index; ++i) top += GetItemHeight(*m_items[static_cast<size_t>(i)]) + 1;
  band = {m_rect.left, top, m_rect.right, top + GetItemHeight(*m_items[static_cast<size_t>(index)])};
  return band;
}

void CCustomTab::PlaceItem(HostedTodayItem& record, int top, BOOL visibleTab) {
  HWND window = record.item.hwndCustom;
  const BOOL wasVisible = IsWindowVisible(window);
  const int height = GetItemHeight(record);
  const UINT flags = visibleTab ? SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE
                                : SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
  SetWindowPos(window, nullptr, m_rect.left, top, m_rect.right - m_rect.left, height, flags);
  if (!visibleTab && wasVisible != IsWindowVisible(window)) ShowWindow(window, wasVisible ? SW_SHOW : SW_HIDE);
}

void CCustomTab::SetRect(const RECT* rect) {
  CScrollPanel::SetRect(rect);
  if (!m_loaded || !rect) return;
  const int width = rect->right - rect->left;
  int top = rect->top;
  for (auto& pointer : m_items) {
    HostedTodayItem& record = *pointer;
    record.tooNarrow = width < record.info.minWidth;
    HWND window = record.item.hwndCustom;
    if (record.tooNarrow && window) ShowWindow(window, SW_HIDE);
    if (!record.tooNarrow && window && record.state == HostedTodayItem::kShowing) {
      SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record.item), 0);
      SyncCachedData(record);
      PlaceItem(record, top, IsCurrent());
    }
    top += GetItemHeight(record) + 1;
  }
}

void CCustomTab::Relayout() {
  if (!m_loaded) return;
  if (!IsCurrent() && m_specialWindow && IsWindowVisible(m_specialWindow)) ShowWindow(m_specialWindow, SW_HIDE);
  BOOL changed = m_layoutPending;
  m_layoutPending = FALSE;
  int top = m_rect.top;
  for (auto& pointer : m_items) {
    HostedTodayItem& record = *pointer;
    HWND window = record.item.hwndCustom;
    if (record.tooNarrow) {
      if (window) ShowWindow(window, SW_HIDE);
      changed = TRUE;
    } else if (window && record.state == HostedTodayItem::kShowing) {
      if (SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record.item), 0))
        changed = TRUE;
      SyncCachedData(record);
      if (changed) PlaceItem(record, top, IsCurrent());
    }
    top += GetItemHeight(record) + 1;
  }
  HWND host = HostWindow();
  if (changed && host) RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void CCustomTab::Activate() {
  if (!m_loaded) {
    for (int i = 0; i < GetItemCount(); ++i) LoadItem(i);
    m_loaded = TRUE;
  }
  CScrollPanel::Activate();
  for (auto& record : m_items)
    if (record->item.hwndCustom && !record->tooNarrow) ShowWindow(record->item.hwndCustom, SW_SHOWNORMAL);
  m_layoutPending = TRUE;
  // Bounds given before the items were loaded placed nothing: place them now rather
  // than leave them zero high until the next refresh query.
  const RECT bounds = m_rect;
  if (!IsRectEmpty(&bounds)) SetRect(&bounds);
}

BOOL CCustomTab::Deactivate() {
  for (auto& record : m_items)
    if (record->item.hwndCustom) ShowWindow(record->item.hwndCustom, SW_HIDE);
  return CScrollPanel::Deactivate();
}

int CCustomTab::GetTabId() { return TAB_CUSTOM; }

WCHAR CCustomTab::GetTabIdChar() { return static_cast<WCHAR>(m_entry.id); }

int CCustomTab::GetWantedHeight() {
  int height = 0;
  for (auto& record : m_items) height += GetItemHeight(*record);
  if (m_items.size() > 1) height += static_cast<int>(m_items.size()) - 1;
  return std::max(height, CustomTabBandHeight());
}

void CCustomTab::OnClearCache() {
  if (!m_loaded) return;
  for (auto& record : m_items) {
    if (!record->item.hwndCustom) continue;
    SendMessageW(record->item.hwndCustom, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&record->item), 0);
    SyncCachedData(*record);
  }
}

BOOL CCustomTab::OnQueryRefreshCache() {
  Relayout();
  return FALSE;
}

void CCustomTab::GiveItemSelection(int index, DWORD key) {
  if (index < 0 || index >= GetItemCount()) return;
  HostedTodayItem& record = *m_items[static_cast<size_t>(index)];
  HWND window = record.item.hwndCustom;
  if (window && record.state == HostedTodayItem::kShowing && !record.tooNarrow) {
    if (record.info.selectability == 0) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (record.info.selectability == 2) PostMessageW(window, WM_TODAYCUSTOM_RECEIVEDSELECTION, key, 0);
    return;
  }
  RECT band = GetBandRect(index);
  band.top -= 1;
  InvalidateRect(&band);
}

void CCustomTab::LoseItemSelection(int index) {
  if (index < 0 || index >= GetItemCount()) return;
  HostedTodayItem& record = *m_items[static_cast<size_t>(index)];
  HWND window = record.item.hwndCustom;
  if (window && record.state == HostedTodayItem::kShowing && !record.tooNarrow) {
    if (record.info.selectability == 0) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (record.info.selectability == 2) PostMessageW(window, WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
    return;
  }
  RECT band = GetBandRect(index);
  band.top -= 1;
  InvalidateRect(&band);
}

void CCustomTab::KillFocus() {
  LoseItemSelection(m_current);
  if (m_current >= 0) m_savedCurrent = m_current;
  m_current = -1;
  CScrollPanel::KillFocus();
}

void CCustomTab::SetFocus() {
  m_current = m_savedCurrent < GetItemCount() ? m_savedCurrent : -1;
  GiveItemSelection(m_current, VK_DOWN);
  CScrollPanel::SetFocus();
}

BOOL CCustomTab::OnKey(DWORD key) {
  if (m_current < 0 || m_current >= GetItemCount()) return CScrollPanel::OnKey(key);
  HostedTodayItem& record = *m_items[static_cast<size_t>(m_current)];
  HWND window = record.item.hwndCustom;
  if (record.item.hinstDLL && window && !record.tooNarrow && record.info.selectability != 0) {
    if (record.info.selectability == 2) {
      const UINT message = key == VK_RETURN ? WM_TODAYCUSTOM_ACTION : WM_TODAYCUSTOM_USERNAVIGATION;
      if (SendMessageW(window, message, key, 0)) return TRUE;
    } else if (record.info.selectability == 1 && key == VK_RETURN) {
      PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
      PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
      return TRUE;
    }
  }
  if (key == VK_RETURN && record.state == HostedTodayItem::kOnTodayScreen) {
    MoveItemIntoPanel(m_current);
    return TRUE;
  }
  if (key == VK_UP && m_current > 0) {
    LoseItemSelection(m_current);
    --m_current;
    GiveItemSelection(m_current, VK_UP);
    return TRUE;
  }
  if (key == VK_DOWN && m_current < GetItemCount() - 1) {
    LoseItemSelection(m_current);
    ++m_current;
    GiveItemSelection(m_current, VK_DOWN);
    return TRUE;
  }
  return CScrollPanel::OnKey(key);
}

int CCustomTab::BandAt(POINT point) {
  for (int i = 0; i < GetItemCount(); ++i) {
    RECT band = GetBandRect(i);
    if (PtInRect(&band, point)) return i;
  }
  return -1;
}

BOOL CCustomTab::OnLButtonDown(POINT* point) {
  if (!point) return FALSE;
  const int index = BandAt(*point);
  if (index < 0 || m_items[static_cast<size_t>(index)]->state != HostedTodayItem::kOnTodayScreen) return FALSE;
  MoveItemIntoPanel(index);
  return TRUE;
}

void CCustomTab::MoveItemIntoPanel(int index) {
  if (index < 0 || index >= GetItemCount()) return;
  TodayItemInfo info = m_items[static_cast<size_t>(index)]->info;
  info.enabled = 0;
  TodayItemInfo::SetEmbedding(info, TARVO_TODAY_ITEM_NAME);
  ReloadTodayItems();
}

void CCustomTab::Paint(CTextRunList* context) {
  if (!context) return;
  HDC dc = context->GetDC();
  const COLORREF textColor = GetItemPalette().GetColor(4);
  context->SetBkMode(TRANSPARENT);
  context->SetFont(GetControlListFont());
  if (m_items.empty()) {
    CString text;
    LoadUIString(text, kTextCustomTabEmpty);
    context->SetTextColor(textColor);
    context->AddText(text, &m_rect, DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_WORDBREAK);
    CScrollPanel::Paint(context);
    return;
  }
  const int inset = ScaleDpi(4, GetScreenDpiX());
  const RECT& clip = context->GetClip();
  const bool unclipped = IsRectEmpty(&clip);
  for (int i = 0; i < GetItemCount(); ++i) {
    const HostedTodayItem& record = *m_items[static_cast<size_t>(i)];
    RECT band = GetBandRect(i);
    if (i + 1 < GetItemCount() && dc)
      FillRectColor(dc, band.left, band.bottom, band.right - band.left, 1, GetItemPalette().GetBrush(1));
    RECT meet;
    if (!unclipped && !IntersectRect(&meet, &band, &clip)) continue;
    if (record.state == HostedTodayItem::kShowing && !record.tooNarrow) continue;
    if (i == m_current && dc) FillRect(dc, &band, GetItemPalette().GetBrush(2));
    context->SetTextColor(textColor);
    if (record.state == HostedTodayItem::kShowing) {
      CString text;
      LoadUIString(text, kTextCustomItemTooNarrow);
      context->AddText(text, &band, DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_WORDBREAK);
      continue;
    }
    const UINT id = record.state == HostedTodayItem::kOnTodayScreen ? kTextCustomItemOnToday
                    : record.state == HostedTodayItem::kCyclic     ? kTextCustomItemCyclic
                                                                   : kTextCustomItemFailed;
    CString format, text;
    LoadUIString(format, id);
    // The item's name goes in where the text has its one "%s"; the text is ours,
    // the name is the registry's, so the name is never read as a format.
    const int at = format.Find(L"%s");
    if (at >= 0) {
      text = format.Left(at);
      text += record.info.name;
      text += format.Mid(at + 2);
    } else {
      text = format;
    }
    RECT inner = band;
    InflateRect(&inner, -inset, -inset);
    context->AddText(text, &inner, DT_WORDBREAK | DT_NOPREFIX);
  }
  CScrollPanel::Paint(context);
}
