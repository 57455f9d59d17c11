#include "panel/CustomTab.h"

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/RasterOps.h"
#include "graphics/SkinArchive.h"
#include "panel/MemoryDib.h"
#include "panel/Registration.h"
#include "panel/TabActivationWatcher.h"
#include "panel/TabIconArchive.h"
#include "panel/TabMakers.h"
#include "panel/TodayPanel.h"

namespace {

const WPARAM kReloadTodayItems = 0xF2;

typedef HWND(WINAPI* PFN_INITIALIZE_ITEM)(TODAYLISTITEM*, HWND);

LPCWSTR FileNamePart(LPCWSTR path) {
  LPCWSTR slash = wcsrchr(path, L'\\');
  return slash ? slash + 1 : path;
}

int ScaleDpi(int value, int dpi) { return (value * dpi + 48) / 96; }

void ReloadTodayItems() { PostMessageW(GetDesktopWindow(), WM_SETTINGCHANGE, kReloadTodayItems, 0); }

// A name from the registry as a menu item: "&" stays a character, not a mnemonic.
CString MenuText(const CString& name) {
  CString text = name;
  text.Replace(L"&", L"&&");
  return text;
}

// A plug-in is another vendor's code: whatever it throws ends only the one call.
template <typename F>
bool PluginCall(F&& call) noexcept {
  try {
    call();
    return true;
  } catch (...) {
    return false;
  }
}

// The 5-6-5 surface's pixels into a 24-bit image of the same size.
BOOL CopySurface(const CMemoryDib& surface, CDib& out) {
  const int width = surface.GetWidth(), height = surface.GetHeight();
  if (!surface.GetBits() || surface.GetBitsPerPixel() != 16 || !out.Create(width, height)) return FALSE;
  for (int y = 0; y < height; ++y) {
    // The surface is bottom-up.
    const BYTE* source = surface.GetBits() + static_cast<size_t>(height - 1 - y) * surface.GetStride();
    BYTE* target = out.Row(y);
    for (int x = 0; x < width; ++x, source += 2, target += 3) {
      const unsigned value = source[0] | (source[1] << 8);
      target[0] = static_cast<BYTE>(((value & 0x1F) * 255 + 15) / 31);
      target[1] = static_cast<BYTE>((((value >> 5) & 0x3F) * 255 + 31) / 63);
      target[2] = static_cast<BYTE>((((value >> 11) & 0x1F) * 255 + 15) / 31);
    }
  }
  return TRUE;
}

// A copy of an image into a new section of its size.
BOOL CopyImage(const CDib& source, CDib& out) {
  if (source.IsEmpty() || !out.Create(source.GetWidth(), source.GetHeight())) return FALSE;
  CopyRect24(out, 0, 0, source.GetWidth(), source.GetHeight(), source, 0, 0);
  return TRUE;
}

// A name that stays inside the archive: no folder part, no drive.
BOOL IsPlainMemberName(LPCWSTR name) {
  return name && *name && !wcspbrk(name, L"\\/:");
}

}  // namespace

int CustomTabBandHeight() { return ScaleDpi(64, GetScreenDpiY()); }

CCustomTab::CCustomTab(CVirtualWnd* owner, const CustomTabEntry& entry)
    : CScrollPanel(owner),
      m_watching(TRUE),
      m_layoutPending(FALSE),
      m_loaded(FALSE),
      m_specialWindow(nullptr),
      m_bitmapIcon(FALSE),
      m_premultiplied(FALSE),
      m_iconRect(),
      m_plugin(nullptr),
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
  // One forecast item at a time: the panel's own copy gives way to the hosted one.
  TakeSovelFromPanel(record);
  HMODULE module = LoadLibraryW(record.info.dllPath);
  if (!module) {
    record.state = HostedTodayItem::kNoLibrary;
    GiveSovelToPanel(record);
    return;
  }
  auto initialize = reinterpret_cast<PFN_INITIALIZE_ITEM>(
      reinterpret_cast<void*>(GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(240)))));
  if (!initialize) {
    FreeLibrary(module);
    record.state = HostedTodayItem::kNoEntry;
    GiveSovelToPanel(record);
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
    GiveSovelToPanel(record);
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
    HINSTANCE classModule = nullptr;
    HWND window = item.hwndCustom;
    if (window && IsWindow(window)) {
      GetClassNameW(window, className, ARRAYSIZE(className));
      classModule = reinterpret_cast<HINSTANCE>(GetClassLongPtrW(window, GCLP_HMODULE));
      if (m_specialWindow == window) m_specialWindow = nullptr;
      SendMessageW(window, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item), 0);
      DestroyWindow(window);
      SyncCachedData(record);
    }
    // A class the item registered (for its own library, or carelessly for the
    // process) is unregistered by its owner while the library is still there, so no
    // class outlives the code it points into. A class of the system's, such as
    // "Static", is no item's to take away.
    HINSTANCE module = item.hinstDLL;
    const BOOL itemsClass = classModule == module || classModule == GetModuleHandleW(nullptr);
    WNDCLASSW probe;
    if (className[0] && itemsClass && GetClassInfoW(classModule, className, &probe))
      UnregisterClassW(className, classModule);
    FreeLibrary(module);
    item.hinstDLL = nullptr;
    item.hwndCustom = nullptr;
  }
  item.cbCachedData = 0;
  SyncCachedData(record);
  GiveSovelToPanel(record);
  record.state = HostedTodayItem::kNotLoaded;
}

void CCustomTab::TakeSovelFromPanel(HostedTodayItem& record) {
  if (!record.sovel || record.sovelTaken) return;
  auto* panel = dynamic_cast<CTodayPanel*>(GetOwner());
  if (!panel) return;
  panel->LoadSovelItem(TRUE);
  record.sovelTaken = TRUE;
}

void CCustomTab::GiveSovelToPanel(HostedTodayItem& record) {
  if (!record.sovelTaken) return;
  record.sovelTaken = FALSE;
  if (auto* panel = dynamic_cast<CTodayPanel*>(GetOwner())) panel->LoadSovelItem(FALSE);
}

void CCustomTab::UnloadAll() {
  // The plug-in's code lies in an item's library: it goes before any library does.
  ReleaseTabIcon();
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
  // The shell's item shows itself on its own; only the shown tab may show it.
  if (!IsCurrent() && m_specialWindow) ShowWindow(m_specialWindow, SW_HIDE);
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
  if (m_entry.smartIcon && m_plugin && !PluginCall([&] { m_plugin->Refresh(); })) ReleasePlugin();
}

void CCustomTab::Activate() {
  if (!m_loaded) {
    for (int i = 0; i < GetItemCount(); ++i) LoadItem(i);
    if (!m_bitmapIcon) LoadTabIcon();
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

// --- activation again, context menu ------------------------------------------------

BOOL CCustomTab::ResetView(BOOL alreadyCurrent) {
  if (alreadyCurrent) {
    static const UINT clicked = RegisterWindowMessageW(L"STM_ACTIVE_TAB_CLICKED");
    // Only items that declared the embedding protocol know the message.
    for (auto& record : m_items)
      if (record->item.hinstDLL && record->item.hwndCustom && record->info.version != static_cast<DWORD>(-1))
        PostMessageW(record->item.hwndCustom, clicked, 0, 0);
  }
  return CScrollPanel::ResetView(alreadyCurrent);
}

BOOL CCustomTab::OnContextMenu(POINT* screenPoint) {
  if (CScrollPanel::OnContextMenu(screenPoint)) return TRUE;
  POINT at = screenPoint ? *screenPoint : POINT{0, 0};
  TrackMenu(0, &at);
  return TRUE;
}

std::vector<TodayItemInfo> CCustomTab::ListAddableItems() {
  std::vector<TodayItemInfo> items;
  EnumFreeTodayItems(items, TARVO_TODAY_ITEM_NAME, 1);
  RemoveArdenoItem(items);
  std::stable_sort(items.begin(), items.end(),
                   [](const TodayItemInfo& a, const TodayItemInfo& b) { return CompareTodayItemsForMenu(a, b) < 0; });
  return items;
}

void CCustomTab::FillContextMenu(HMENU menu, LPARAM argument) {
  CString title;
  const std::vector<TodayItemInfo> free = ListAddableItems();
  if (!free.empty()) {
    if (HMENU add = CreatePopupMenu()) {
      // The command range holds so many; the menu offers no more than it can name.
      const size_t count = std::min<size_t>(free.size(), kCustomTabAddEnd - kCustomTabAddFirst);
      for (size_t i = 0; i < count; ++i) {
        if (i > 0 && free[i - 1].enabled && !free[i].enabled) AppendMenuW(add, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(add, MF_STRING, kCustomTabAddFirst + static_cast<int>(i), MenuText(free[i].name));
      }
      LoadUIString(title, kTextCustomTabAddMenu);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(add), title);
    }
  }
  if (HMENU own = CreatePopupMenu()) {
    if (GetItemCount() >= 2) {
      const int count = std::min(GetItemCount(), kCustomTabDelete - kCustomTabRemoveFirst);
      for (int i = 0; i < count; ++i)
        AppendMenuW(own, MF_STRING, kCustomTabRemoveFirst + i, MenuText(m_items[static_cast<size_t>(i)]->info.name));
      AppendMenuW(own, MF_SEPARATOR, 0, nullptr);
    }
    CString text;
    LoadUIString(text, kTextCustomTabDelete);
    AppendMenuW(own, MF_STRING, kCustomTabDelete, text);
    LoadUIString(title, kTextCustomTabMenu);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(own), title);
  }
  CScrollPanel::FillContextMenu(menu, argument);
}

void CCustomTab::OnMenuCommand(int command) {
  if (command >= kCustomTabAddFirst && command < kCustomTabAddEnd) {
    AddFreeItem(command - kCustomTabAddFirst);
  } else if (command >= kCustomTabRemoveFirst && command <= kCustomTabDelete) {
    // The icon may come from the item that goes; its code must not outlive it.
    ReleaseTabIcon();
    if (command == kCustomTabDelete || GetItemCount() + m_pending.size() == 1) {
      const CustomTabEntry stored = GetStoredEntry();
      if (CustomTabEntry::FindArdenoItem(stored) >= 0) RegisterTabPlugins(nullptr, nullptr, FALSE);
      DeleteCustomTab(stored, 0);
      m_pending.clear();
      ReloadTodayItems();
    } else {
      RemoveItem(command - kCustomTabRemoveFirst);
    }
    // The tab keeps an icon until the Today screen rebuilds it.
    if (m_loaded) LoadTabIcon();
  }
  CScrollPanel::OnMenuCommand(command);
}

void CCustomTab::AddFreeItem(int index) {
  const std::vector<TodayItemInfo> free = ListAddableItems();
  if (index < 0 || index >= static_cast<int>(free.size())) return;
  TodayItemInfo info = free[static_cast<size_t>(index)];
  const BOOL shownOnToday = info.enabled != 0;
  info.enabled = 0;
  if (shownOnToday) {
    // The Today screen lets it go and rebuilds the panel with it in this tab; until
    // then the tab's key keeps listing it, whatever else the menu changes.
    m_pending.push_back(info);
    CustomTabEntry::Write(GetStoredEntry());
    TodayItemInfo::SetEmbedding(info, TARVO_TODAY_ITEM_NAME);
    ReloadTodayItems();
    return;
  }
  const int at = AddHostedItem(info);
  CustomTabEntry::Write(GetStoredEntry());
  TodayItemInfo::SetEmbedding(info, TARVO_TODAY_ITEM_NAME);
  if (m_loaded) {
    LoadItem(at);
    const HostedTodayItem& record = *m_items[static_cast<size_t>(at)];
    if (record.item.hwndCustom && !record.tooNarrow && IsCurrent()) ShowWindow(record.item.hwndCustom, SW_SHOWNORMAL);
  }
  m_layoutPending = TRUE;
  Relayout();
}

CustomTabEntry CCustomTab::GetStoredEntry() const {
  CustomTabEntry stored = m_entry;
  stored.items.insert(stored.items.end(), m_pending.begin(), m_pending.end());
  return stored;
}

void CCustomTab::RemoveItem(int index) {
  if (index < 0 || index >= GetItemCount()) return;
  const TodayItemInfo info = m_items[static_cast<size_t>(index)]->info;
  if (info.keyName.CompareNoCase(ARDENO_TODAY_ITEM_NAME) == 0) RegisterTabPlugins(nullptr, nullptr, FALSE);
  if (!info.cyclic) CTabActivationWatcher::Instance().RemoveItem(info.keyName);
  UnloadItem(index);
  m_items.erase(m_items.begin() + index);
  m_entry.items.erase(m_entry.items.begin() + index);
  CustomTabEntry::Write(GetStoredEntry());
  TodayItemInfo::SetEmbedding(info, L"");
  if (m_current >= GetItemCount()) m_current = GetItemCount() - 1;
  if (m_savedCurrent >= GetItemCount()) m_savedCurrent = 0;
  m_layoutPending = TRUE;
  Relayout();
  InvalidateContent(0);
}

// --- tab icon ------------------------------------------------------------------

SIZE CCustomTab::GetTabIconSize() {
  return SIZE{((GetScreenDpiX() + 3) * 16) / 96, ((GetScreenDpiY() + 3) * 16) / 96};
}

void CCustomTab::ReleasePlugin() {
  ITabPlugin* plugin = m_plugin;
  m_plugin = nullptr;
  if (plugin) PluginCall([&] { plugin->Release(); });
}

void CCustomTab::ReleaseTabIcon() {
  ReleasePlugin();
  for (CDib* image : {&m_selectedIcon, &m_selectedMask, &m_normalIcon, &m_normalMask}) image->Clear();
  m_bitmapIcon = FALSE;
  m_premultiplied = FALSE;
  m_iconRect = RECT{};
}

void CCustomTab::LoadTabIcon() {
  if (m_bitmapIcon || m_plugin) return;
  const SIZE size = GetTabIconSize();
  if (m_entry.smartIcon) {
    int index = -1;
    for (int i = 0; i < GetItemCount() && index < 0; ++i)
      if (m_items[static_cast<size_t>(i)]->info.keyName.CompareNoCase(m_entry.iconName) == 0) index = i;
    if (index >= 0) {
      LoadItem(index);
      HMODULE module = m_items[static_cast<size_t>(index)]->item.hinstDLL;
      auto get = module ? reinterpret_cast<PFN_GET_SMART_PLUGIN_INTERFACE>(
                              reinterpret_cast<void*>(GetProcAddress(module, TAB_PLUGIN_EXPORT)))
                        : nullptr;
      ITabPlugin* plugin = nullptr;
      HRESULT result = E_FAIL;
      const CString name = m_items[static_cast<size_t>(index)]->info.keyName;
      if (get && !PluginCall([&] { result = get(name, &plugin); })) plugin = nullptr;
      if (SUCCEEDED(result) && plugin) {
        bool drawing = false;
        if (PluginCall([&] { drawing = plugin->Init(HostWindow(), size.cx, size.cy, GetTabIdChar()); }) && drawing) {
          m_plugin = plugin;
          m_iconRect = RECT{0, 0, size.cx, size.cy};
          m_bitmapIcon = FALSE;
          if (!PluginCall([&] { m_plugin->Refresh(); })) ReleasePlugin();
        } else {
          PluginCall([&] { plugin->Release(); });
        }
      }
    }
  } else {
    LoadIconBitmaps(m_entry.iconName);
  }
  if (!m_bitmapIcon && !m_plugin) LoadIconBitmaps(L"default");
}

BOOL CCustomTab::LoadIconBitmaps(LPCWSTR name) {
  m_iconRect = RECT{};
  CSkinArchive* archive = IsPlainMemberName(name) ? GetTabIconArchive() : nullptr;
  if (!archive) return FALSE;
  const SIZE size = GetTabIconSize();
  auto load = [&](LPCWSTR format, CDib& picture, CDib& mask) {
    CString member;
    member.Format(format, name, static_cast<int>(size.cx));
    DWORD length = 0;
    BYTE* bytes = archive->ReadMember(member, &length);
    const BOOL split = SplitTabIconCells(bytes, length, size.cx, size.cy, picture, mask);
    if (bytes) LocalFree(bytes);
    return split;
  };
  if (!load(L"%s%d.bmp", m_selectedIcon, m_selectedMask)) return FALSE;
  if (!load(L"%s%d_bw.bmp", m_normalIcon, m_normalMask) &&
      !(CopyImage(m_selectedIcon, m_normalIcon) && CopyImage(m_selectedMask, m_normalMask))) {
    m_selectedIcon.Clear();
    m_selectedMask.Clear();
    return FALSE;
  }
  GreyWithMask(m_normalIcon, m_normalMask);
  m_premultiplied = FALSE;
  m_bitmapIcon = TRUE;
  return TRUE;
}

BOOL CCustomTab::MakePluginIcons() {
  const int width = m_iconRect.right - m_iconRect.left, height = m_iconRect.bottom - m_iconRect.top;
  CMemoryDib surface;
  if (!m_plugin || !surface.Create(width, height, CMemoryDib::kRgb565)) return FALSE;
  HDC dc = surface.GetDC();
  if (!dc) return FALSE;
  // Drawn once on black and once on white: where the two differ the icon lets the
  // background through, which gives its opacity.
  auto render = [&](BOOL selected, COLORREF background, CDib& out) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
    const RECT rect = m_iconRect;
    if (!PluginCall([&] { m_plugin->DrawIcon(dc, surface.GetBitmap(), &rect, selected); })) return FALSE;
    GdiFlush();
    return CopySurface(surface, out);
  };
  CDib icon[2], mask[2];
  BOOL made = TRUE;
  for (int selected = 1; selected >= 0 && made; --selected)
    made = render(selected, RGB(0, 0, 0), icon[selected]) && render(selected, RGB(255, 255, 255), mask[selected]);
  surface.ReleaseDC();
  if (!made) {
    ReleasePlugin();
    return FALSE;
  }
  for (int i = 0; i < 2; ++i) MakeAlphaMask(icon[i], mask[i]);
  GreyWithMask(icon[0], mask[0]);
  m_selectedIcon.TakeOver(icon[1]);
  m_selectedMask.TakeOver(mask[1]);
  m_normalIcon.TakeOver(icon[0]);
  m_normalMask.TakeOver(mask[0]);
  m_premultiplied = TRUE;
  m_bitmapIcon = TRUE;
  return TRUE;
}

BOOL CCustomTab::DrawTabIcon(HDC hdc, const RECT* rect, BOOL selected) {
  if (!hdc || !rect) return FALSE;
  if (!m_bitmapIcon && m_plugin) MakePluginIcons();
  if (!m_bitmapIcon) return FALSE;
  const CDib& icon = GetIconImage(selected);
  const CDib& mask = GetIconMask(selected);
  const int width = std::min<int>(rect->right - rect->left, icon.GetWidth());
  const int height = std::min<int>(rect->bottom - rect->top, icon.GetHeight());
  if (width < 1 || height < 1) return FALSE;
  CDib back;
  const RECT area = {rect->left, rect->top, rect->left + width, rect->top + height};
  if (!back.CopyFromDC(hdc, area)) return FALSE;
  if (m_premultiplied)
    BlitPremultipliedByMask(back, 0, 0, width, height, icon, 0, 0, mask, 0, 0, 255);
  else
    DrawSkinPiece(back, 0, 0, width, height, icon, 0, 0, mask, 0, 0, 255);
  return back.Draw(hdc, rect->left, rect->top);
}
