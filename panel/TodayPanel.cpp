#include "panel/TodayPanel.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/RasterOps.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "base/CeDatabase.h"
#include "base/DateFormat.h"
#include "base/InstallPath.h"
#include "controls/HardwareKeys.h"
#include "controls/LiveElements.h"
#include "controls/ScrollBar.h"
#include "panel/AppletManager.h"
#include "panel/DesktopWrapper.h"
#include "panel/FaultGuard.h"
#include "panel/ListPanelView.h"
#include "panel/NoResourcesTab.h"
#include "panel/NotifyWnd.h"
#include "panel/PanelClock.h"
#include "panel/PanelDataLists.h"
#include "panel/RowTreeDump.h"
#include "panel/PanelRecord.h"
#include "panel/PanelPrompt.h"
#include "panel/Plugin.h"
#include "panel/PreWindow.h"
#include "panel/Registration.h"
#include "panel/ScheduledChange.h"
#include "panel/TabMakers.h"
#include "pim/CategoriesList.h"
#include "pim/IconProviderRef.h"
#include "pim/OndrelClient.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"

namespace {

const int kStripLow = 30, kStripHigh = 90;
// What the strip shows through around an icon laid over it.
const COLORREF kStripKey = RGB(255, 0, 255);
// The text of the resource library that tells it is still there.
const UINT kResourceProbeText = 61;
// "The item could not be made" of the resource library.
const UINT kItemNotCreatedText = 214;
const WCHAR* const kRegisteredMessages[] = {
    L"SH_UIMETRIC_CHANGE",          L"ArdenoSetCurrentPlugin",      L"QelTarvo_ShowMessage",
    L"QelTarvo_SelectEmailAccount", L"QelTarvo_EmailListChanged",   L"QelTarvo_FileChange",
    L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}",         L"QelTarvo_SovelUnload",
    L"QelPellam_ScheduledChanged",  L"QelTarvo_CalendarWndClosed"};
const WCHAR* const kPopupClasses[] = {L"QelTarvoCalendarWindow_1.0", L"QelTarvoNoteWindow_1.0",
                                      L"QelTarvoTimeSpanWindow_1.0"};

// The built-in tabs in the order the factory makes them: bit, identifier.
struct BuiltInTab {
  DWORD bit;
  int id;
};
const BuiltInTab kFactoryOrder[] = {{SHOW_TAB_TASKS, TAB_TASKS},       {SHOW_TAB_CONTACTS, TAB_CONTACTS},
                                    {SHOW_TAB_NOTES, TAB_NOTES},       {SHOW_TAB_MESSAGES, TAB_MESSAGES},
                                    {SHOW_TAB_SPECIAL, TAB_SPECIAL}};
const DWORD kAllTabs = 0xFFFFFFFF;

BOOL IsListTab(CScrollPanel* tab) { return dynamic_cast<CListPanelView*>(tab) != nullptr; }

// A category that comes to the store may already be given to items (the program that
// made it wrote them first): they read their categories again through the data list of
// their kind.
class CCategoryItemRouter : public ICategoryItemSink {
 public:
  void OnItemNotification(DWORD kind, CENOTIFICATION* notification) override {
    const int folder = kind == 0x4 ? 9 : kind == 0x8 ? 10 : kind == 0xC ? 13 : 0;
    IPanelDataLists* lists = GetPanelDataLists();
    if (folder && lists) lists->OnDbNotification(folder, notification, TRUE);
  }
};
CCategoryItemRouter g_categoryItems;

}  // namespace

CTodayPanelBase* MakeTodayPanel(int mode) { return new CTodayPanel(mode); }

CTodayPanel::CTodayPanel(int mode)
    : m_mode(mode),
      m_resourcesMissing(::IsResourcesMissing()),
      m_window(nullptr),
      m_previous(nullptr),
      m_pixelUnit((GetScreenDpiY() + 48) / 96),
      m_allTabsInHost(TRUE),
      m_autoSize(TRUE),
      m_newAutoAdjust(GetViewSettings().NewAutoAdjustVersion != 0),
      m_horizontal(GetViewSettings().HorizontalTabsMode != 0),
      m_wholeWidth(GetViewSettings().dbgHorzTabsOccupyWholeWidth != 0),
      m_fullWidth(FALSE),
      m_cellWidth(ScaleX(25)),
      m_cellHeight(ScaleY(20)),
      m_screenWidth(GetSystemMetrics(SM_CXSCREEN)),
      m_screenHeight(GetSystemMetrics(SM_CYSCREEN)),
      m_current(-1),
      m_pressedCell(-1),
      m_wantedHeight(0),
      m_minHeight(0),
      m_lastAutoHeight(-1),
      m_storedAutoHeight{-1, -1},
      m_logicalHeight(0),
      m_landscapeAtLoad(FALSE),
      m_parentRect(),
      m_panelRect(),
      m_ownerRect(),
      m_content(),
      m_layoutNeeded(TRUE),
      m_parentScrollBar(FALSE),
      m_fixingScroll(FALSE),
      m_receivedSelection(FALSE),
      m_stripFocus(FALSE),
      m_keyboardSupport(0),
      m_resourcesProbed(FALSE),
      m_updateSettings(RegisterWindowMessageW(L"QelTarvo_UpdateSettings")),
      m_todayUpdated(RegisterWindowMessageW(L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}")),
      m_showMessage(RegisterWindowMessageW(L"QelTarvo_ShowMessage")),
      m_uiMetricChange(RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE")),
      m_selectEmailAccount(RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount")),
      m_activateTab(RegisterWindowMessageW(L"QelTarvoActivateTab")),
      m_setCurrentPlugin(RegisterWindowMessageW(L"ArdenoSetCurrentPlugin")),
      m_calendarClosed(RegisterWindowMessageW(L"QelTarvo_CalendarWndClosed")),
      m_fileChange(RegisterWindowMessageW(L"QelTarvo_FileChange")),
      m_emailListChanged(RegisterWindowMessageW(L"QelTarvo_EmailListChanged")),
      m_sovelUnload(RegisterWindowMessageW(L"QelTarvo_SovelUnload")),
      m_pellamChanged(RegisterWindowMessageW(L"QelPellam_ScheduledChanged")),
      m_lastDay(0),
      m_lastMinute(0),
      m_nextChange(0),
      m_bias(0),
      m_timeout(kDefaultTimeout),
      m_timeoutPanel(kDefaultTimeoutPanel),
      m_inactivityStart(0),
      m_inactivityRunning(FALSE),
      m_inactivityLooked(FALSE),
      m_inactivityLookTick(0),
      m_firstActivationDone(FALSE),
      m_hasLastUp(FALSE),
      m_lastUpTime(0),
      m_lastUpPoint(),
      m_lastMoveTime(0),
      m_refocus(nullptr),
      m_charCaptured(FALSE),
      m_sovelModule(nullptr),
      m_sovelWindow(nullptr),
      m_sovelItem() {
  if (m_pixelUnit < 1) m_pixelUnit = 1;
  // The start-up health check; a scroll bar's first drag marks the run healthy.
  CheckStartupHealth();
  CScrollBarElem::SetFirstDragHook(MarkStartupHealthy);
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_allTabsInHost = product.GetDWORD(L"AllTabsInArdeno", 1) != 0;
  m_autoSize = product.GetDWORD(L"AutoSizeAdjust", 1) != 0;
  LoadHeights(FALSE);
  for (LPCWSTR name : kRegisteredMessages) RegisterWindowMessageW(name);
}

CTodayPanel::~CTodayPanel() {
  Detach();
  DestroyTabs();
}

BOOL CTodayPanel::Attach(HWND window) {
  if (!window || !IsWindow(window) || m_window) return FALSE;
  if (!m_thunk.Init(this, reinterpret_cast<void*>(&CTodayPanel::WindowProc))) return FALSE;
  m_window = window;
  m_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_thunk.GetCode())));
  AttachHost(window);
  return TRUE;
}

void CTodayPanel::Detach() {
  if (!m_window) return;
  if (IsWindow(m_window)) {
    for (UINT_PTR id : {kLayoutTimer, kInactivityTimer, kSovelTimer, kClockTimer, kOndrelTimer}) ::KillTimer(m_window, id);
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
  }
  // A custom tab hosting the forecast item hands the panel its own copy back as it
  // goes; the panel's copy is let go after the tabs, so none is left loaded.
  DestroyTabs();
  LoadSovelItem(TRUE);
  SetCharCapture(FALSE);
  if (CDesktopWrapper::Instance().GetTarget() == m_window) {
    CDesktopWrapper::Instance().Detach();
    CDesktopWrapper::Instance().SetTarget(nullptr);
  }
  ReleaseNotificationWindow(m_window);
  if (CSkinColors::Instance().GetAttachedWindow() == m_window) CSkinColors::Instance().AttachWindow(nullptr);
  AttachHost(nullptr);
  m_window = nullptr;
}

BOOL CTodayPanel::IsLandscape() const { return m_screenWidth > m_screenHeight; }

BOOL CTodayPanel::ParentShowsScrollBar() const {
  HWND parent = m_window ? ::GetParent(m_window) : nullptr;
  return parent && (GetWindowLongW(parent, GWL_STYLE) & WS_VSCROLL) != 0;
}

LRESULT CTodayPanel::OnCreate() {
  m_pressedCell = -1;
  m_stripFocus = FALSE;
  m_content = RECT{};
  m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
  m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
  m_resourcesMissing = ::IsResourcesMissing();
  // The skin's background, bands and button faces are made from this window's.
  CSkinColors::Instance().AttachWindow(m_window);
  CSkinColors::Instance().LoadSystemColors();
  // Other processes reach the panel through it; the object model's logons name it.
  CreateNotificationWindow(m_window);
  // Before the lists and the tabs: they look the categories up as they load, and the
  // tabs subscribe to the list as they are made.
  m_categories.reset(new CCategoriesList);
  m_categories->SetItemSink(&g_categoryItems);
  m_categories->Open(m_window);
  // The lists that hear other processes through this window start listening.
  if (IPanelDataLists* lists = GetPanelDataLists()) lists->OnPanelCreated(m_window);
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_autoSize = product.GetDWORD(L"AutoSizeAdjust", 1) != 0;
    LoadHeights(FALSE);
    m_keyboardSupport = static_cast<int>(product.GetDWORD(L"AdvancedKeyboardSupport", 0));
    if (m_mode == 1 && m_keyboardSupport == 2) m_keyboardSupport = 1;
  }
  // Full width: the panel spans the screen when it is the whole Today item (or the
  // host's tab), not when something else sizes it.
  m_fullWidth = m_mode == 1 || GetRegistrationState(nullptr) == kTodayItemEnabled;
  // Keys typed while the Today screen has the focus reach the panel through its
  // top-level window.
  if (m_mode == 0) {
    HWND top = GetAncestor(m_window, GA_ROOT);
    if (top && top != m_window && CDesktopWrapper::Instance().Attach(top, m_mode == 1))
      CDesktopWrapper::Instance().SetTarget(m_window);
  }
  CIconProviderRef::SetOwnerAndReset(m_window, COndrelClient::Instance().GetCurrentPIM());
  m_lastDay = m_lastMinute = PanelNow();
  m_bias = PanelTimeZoneBias();
  SetNextChangeTime(0);
  LoadTimeoutSettings(FALSE);
  StartInactivityTimer(TRUE);
  return 1;
}

// --- tab factory -------------------------------------------------------------

void CTodayPanel::CreateTabs(const RECT& rect) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  // Each tab is a host tab of its own: every tab shows, and the user's saved order
  // is neither used nor overwritten.
  const BOOL perTabHost = m_mode == 1 && !m_allTabsInHost;
  const DWORD shown = perTabHost ? kAllTabs : product.GetDWORD(L"ShowTabs", kAllTabs);
  const CString stored = perTabHost ? CString() : product.GetString(L"ShowTabsSequence", L"");
  const int length = stored.GetLength();
  std::vector<CScrollPanel*> slots(static_cast<size_t>(length), nullptr);
  std::wstring placed(static_cast<size_t>(length), L' ');

  if (m_resourcesMissing) {
    auto* tab = new CNoResourcesTab(this);
    tab->SetRect(&rect);
    m_tabs.push_back(tab);
    AddChild(tab);
    SelectTab(0, FALSE);
    return;
  }

  auto place = [&](CScrollPanel* tab, WCHAR id, bool first) {
    if (!tab) return;
    tab->SetRect(&rect);
    for (int p = 0; p < length; ++p) {
      // A character that two tabs share places only the first of them; the other is
      // appended rather than lost.
      if (stored[p] == id && !slots[static_cast<size_t>(p)]) {
        slots[static_cast<size_t>(p)] = tab;
        placed[static_cast<size_t>(p)] = id;
        return;
      }
    }
    if (first) {
      slots.insert(slots.begin(), tab);
      placed.insert(placed.begin(), id);
    } else {
      slots.push_back(tab);
      placed.push_back(id);
    }
  };

  int made = 0;
  for (const BuiltInTab& entry : kFactoryOrder) {
    if (!(shown & entry.bit)) continue;
    CScrollPanel* tab = MakeTab(entry.id, this);
    if (!tab) continue;
    ++made;
    place(tab, static_cast<WCHAR>(L'0' + entry.id), false);
  }
  if (ICustomTabSource* source = GetCustomTabSource()) {
    for (const CUSTOM_TAB_ENTRY& entry : source->ListCustomTabs()) {
      if (entry.id == 0 || entry.id == L' ') continue;
      CScrollPanel* tab = source->MakeCustomTab(entry, this);
      if (!tab) continue;
      ++made;
      place(tab, entry.id, false);
    }
  }
  if ((shown & SHOW_TAB_CALENDAR) || made == 0) place(MakeTab(TAB_CALENDAR, this), L'0' + TAB_CALENDAR, true);

  for (CScrollPanel* tab : slots) {
    if (!tab) continue;
    m_tabs.push_back(tab);
    AddChild(tab);
  }
  placed.erase(std::remove(placed.begin(), placed.end(), L' '), placed.end());
  if (!perTabHost && placed != static_cast<LPCWSTR>(stored))
    product.SetString(L"ShowTabsSequence", placed.c_str());

  const int last = static_cast<int>(product.GetDWORD(L"last_panel", 0xFFFFFFFF));
  if (last != -1) {
    for (size_t i = 0; i < m_tabs.size(); ++i) {
      if (m_tabs[i]->GetTabId() == last) {
        SelectTab(static_cast<int>(i), TRUE);
        return;
      }
    }
  }
  SelectTab(0, FALSE);
}

BOOL CTodayPanel::SelectTab(int index, BOOL remember) {
  if (m_tabs.empty()) {
    m_current = -1;
    return FALSE;
  }
  if (index < 0 || index >= GetTabCount()) return FALSE;
  CVirtualWnd* focused = GetFocusedElement();
  BOOL focusInTab = FALSE;
  if (m_current >= 0) {
    CScrollPanel* old = m_tabs[static_cast<size_t>(m_current)];
    if (index != m_current && !old->Deactivate()) return FALSE;
    for (CVirtualWnd* e = focused; e; e = e->GetParent())
      if (e == old) focusInTab = TRUE;
    if (index != m_current) old->SetVisible(FALSE);
  }
  m_current = index;
  CScrollPanel* tab = m_tabs[static_cast<size_t>(index)];
  tab->SetVisible(TRUE);
  for (CScrollPanel* other : m_tabs)
    if (other != tab) other->SetVisible(FALSE);
  tab->Activate();
  if (focusInTab) {
    CVirtualRoot::RequestFocus(tab);
    tab->SetFocus();
  }
  if (remember) {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"last_panel", static_cast<DWORD>(tab->GetTabId()));
  }
  if (m_window) ::InvalidateRect(m_window, nullptr, FALSE);
  return TRUE;
}

void CTodayPanel::DestroyTabs() {
  if (m_current >= 0 && m_current < GetTabCount()) {
    CScrollPanel* tab = m_tabs[static_cast<size_t>(m_current)];
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"last_panel", static_cast<DWORD>(tab->GetTabId()));
    tab->Deactivate();
  }
  if (m_window) {
    for (LPCWSTR name : kPopupClasses)
      if (HWND popup = FindWindowW(name, nullptr)) PostMessageW(popup, WM_CLOSE, 0, 0);
  }
  for (CScrollPanel* tab : m_tabs) CVirtualWnd::RemoveChild(tab);
  for (CScrollPanel* tab : m_tabs) delete tab;
  m_tabs.clear();
  m_cellWidths.clear();
  m_stripPieces.clear();
  ForgetElement(GetFocusedElement());
  ForgetElement(GetCapturedElement());
  m_current = -1;
}

void CTodayPanel::RebuildTabs() {
  if (m_tabs.empty()) return;
  const RECT content = m_content;
  DestroyTabs();
  Layout(content, TRUE);
}

// --- layout and heights --------------------------------------------------------

void CTodayPanel::Layout(const RECT& content, BOOL) {
  const int oldWidth = m_content.right - m_content.left;
  m_content = content;
  if (m_tabs.empty()) {
    CreateTabs(content);
  } else {
    for (CScrollPanel* tab : m_tabs) tab->SetRect(&content);
  }
  if (oldWidth != content.right - content.left) InvalidateStrip();
}

LRESULT CTodayPanel::LayoutPass(const WINDOWPOS* position) {
  if (!position || (position->flags & SWP_HIDEWINDOW) || !m_window) return 0;
  RECT rect = {position->x, position->y, position->x + position->cx, position->y + position->cy};
  if (position->flags & (SWP_NOSIZE | SWP_NOMOVE)) {
    RECT present;
    GetWindowRect(m_window, &present);
    if (HWND parent = ::GetParent(m_window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&present), 2);
    if (position->flags & SWP_NOSIZE) {
      rect.right = rect.left + present.right - present.left;
      rect.bottom = rect.top + present.bottom - present.top;
    }
    if (position->flags & SWP_NOMOVE) OffsetRect(&rect, present.left - rect.left, present.top - rect.top);
  }
  const BOOL scrollBar = ParentShowsScrollBar();
  const BOOL changed = !EqualRect(&rect, &m_panelRect) || scrollBar != m_parentScrollBar;
  if (changed || m_layoutNeeded) {
    m_panelRect = rect;
    m_parentScrollBar = scrollBar;
  }
  RECT client;
  GetClientRect(m_window, &client);
  CVirtualWnd::SetRect(&client);
  const int strip = HasStrip() ? m_cellHeight + m_pixelUnit : 0;
  RECT content;
  if (m_horizontal)
    content = {0, strip, 0, client.bottom};
  else
    content = {HasStrip() ? m_cellWidth + ScaleX(1) : 0, 0, 0, client.bottom};
  if (m_fullWidth && m_newAutoAdjust)
    content.right = m_screenWidth - (scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  else
    content.right = client.right;
  if (content.right > client.right) content.right = client.right;
  if (content.bottom < content.top) content.bottom = content.top;
  Layout(content, FALSE);
  ComputeCellWidths();
  // The layout timer's own move lays the panel out again: that pass must not start the
  // timer once more, or a panel that cannot settle moves for ever.
  if (!m_fixingScroll && (m_newAutoAdjust || changed))
    ::SetTimer(m_window, kLayoutTimer, m_newAutoAdjust ? kLayoutDelay : kOldLayoutDelay, nullptr);
  m_layoutNeeded = FALSE;
  if (!m_tabs.empty()) FirstActivation();
  return 0;
}

void CTodayPanel::ComputeCellWidths() {
  const int n = GetTabCount();
  if (!m_horizontal || !m_wholeWidth || n == 0 || !m_window) {
    m_cellWidths.clear();
    return;
  }
  RECT client;
  GetClientRect(m_window, &client);
  const int width = client.right;
  std::vector<int> widths(static_cast<size_t>(n), std::max(width / n, m_cellWidth));
  int remainder = width - n * widths[0];
  for (int i = 0; i < n && remainder > 0; ++i, --remainder) ++widths[static_cast<size_t>(i)];
  if (widths == m_cellWidths) return;
  m_cellWidths = widths;
  InvalidateStrip();
}

int CTodayPanel::GetMinHeight() {
  if (m_horizontal) {
    const int m = m_pixelUnit * 20 * (m_mode == 1 && !m_allTabsInHost ? 3 : 4);
    m_minHeight = m_wantedHeight > m ? m_wantedHeight : m;
  } else {
    m_minHeight = std::max(m_pixelUnit * 20 * std::max(GetTabCount(), 3), m_wantedHeight);
  }
  return m_minHeight;
}

int CTodayPanel::GetCurrentHeight() {
  if (!m_autoSize) return m_logicalHeight * m_pixelUnit;
  if (m_lastAutoHeight > 0) return m_lastAutoHeight;
  const int stored = m_storedAutoHeight[IsLandscape() ? 1 : 0];
  if (stored > 0) return stored;
  return m_logicalHeight * m_pixelUnit;
}

void CTodayPanel::StoreAutoHeight(CRegKey& product, BOOL landscape, int height) {
  product.SetDWORD(landscape ? L"LastAutoSizeL" : L"LastAutoSize", static_cast<DWORD>(height));
  m_storedAutoHeight[landscape ? 1 : 0] = height > 0 && height <= 0x7FFF ? height : -1;
}

void CTodayPanel::LoadHeights(BOOL reload) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const BOOL landscape = IsLandscape();
  DWORD total = product.GetDWORD(landscape ? L"TotalHeightL" : L"TotalHeight", 120);
  // Heights from the registry are bounded before they are scaled.
  if (total > 0x7FFF) total = 120;
  const int wanted = m_pixelUnit * static_cast<int>(total);
  const int oldWanted = m_wantedHeight;
  m_wantedHeight = wanted;
  GetMinHeight();
  if (reload && m_autoSize && landscape != m_landscapeAtLoad && m_lastAutoHeight > 0) {
    StoreAutoHeight(product, m_landscapeAtLoad, m_lastAutoHeight);
    m_lastAutoHeight = -1;
  }
  // The stored heights of both orientations, read here (start-up, settings, clear cache)
  // and never while answering the height query.
  for (int l = 0; l < 2; ++l) {
    const DWORD stored = product.QueryDWORD(l ? L"LastAutoSizeL" : L"LastAutoSize");
    m_storedAutoHeight[l] = stored > 0 && stored <= 0x7FFF ? static_cast<int>(stored) : -1;
  }
  m_landscapeAtLoad = landscape;
  const BOOL autoSize = product.GetDWORD(L"AutoSizeAdjust", 1) != 0;
  if (wanted != oldWanted || autoSize != m_autoSize) {
    m_layoutNeeded = TRUE;
    m_autoSize = autoSize;
  }
  m_logicalHeight = m_wantedHeight / m_pixelUnit;
}

LRESULT CTodayPanel::OnClearCache() {
  if (m_newAutoAdjust) {
    m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    LoadHeights(TRUE);
    m_layoutNeeded = TRUE;
  }
  for (CScrollPanel* tab : m_tabs) tab->OnClearCache();
  return 0;
}

LRESULT CTodayPanel::OnQueryRefreshCache(TODAYLISTITEM* item) {
  // A device that slept held the timer back (it counts running time), and the Today
  // screen keeps asking: the return to the timeout tab does not wait for the timer. The
  // clock is read at most once a second of running time, so the query stays cheap
  // however often the screen asks.
  if (m_window && m_inactivityRunning) {
    const DWORD tick = GetTickCount();
    if (!m_inactivityLooked || tick - m_inactivityLookTick >= 1000) {
      m_inactivityLooked = TRUE;
      m_inactivityLookTick = tick;
      if (IsInactivityElapsed(FALSE)) PostMessageW(m_window, WM_TIMER, kInactivityTimer, 0);
    }
  }
  if (!item) return 1;
  // Only the record the host gave this item is ever written.
  if (item != GetPreWindowItem()) return 0;
  BOOL changed = FALSE;
  HWND parent = m_window ? ::GetParent(m_window) : nullptr;
  RECT parentRect = {};
  if (parent) GetWindowRect(parent, &parentRect);
  if (!EqualRect(&parentRect, &m_parentRect)) {
    m_layoutNeeded = TRUE;
    m_parentRect = parentRect;
    changed = TRUE;
  }
  const int height = GetCurrentHeight();
  const BOOL scrollBar = ParentShowsScrollBar();
  if (item->cyp == 0 || static_cast<int>(item->cyp) != height || scrollBar != m_parentScrollBar || m_layoutNeeded) {
    item->cyp = static_cast<DWORD>(std::max(0, std::min(height, m_screenHeight)));
    changed = TRUE;
  }
  int minimum = GetMinHeight();
  BOOL forced = FALSE;
  for (CScrollPanel* tab : m_tabs) {
    if (tab->OnQueryRefreshCache()) forced = TRUE;
    const int wanted = tab->GetWantedHeight();
    if (wanted > 0) minimum = std::max(minimum, static_cast<int>(tab->GetRectPtr()->top) + wanted);
  }
  if (!forced && minimum <= static_cast<int>(item->cyp)) return changed;
  item->cyp = static_cast<DWORD>(minimum);
  m_lastAutoHeight = minimum;
  m_logicalHeight = minimum / m_pixelUnit;
  return 1;
}

HWND CTodayPanel::GetScrollOwner() const {
  HWND parent = m_window ? ::GetParent(m_window) : nullptr;
  if (m_mode != 1 || !parent) return parent;
  HWND above = ::GetParent(parent);
  HWND owner = above ? ::GetParent(above) : nullptr;
  return owner ? owner : parent;
}

namespace {

// The window rectangles of the owner's visible child windows (its Today items).
std::vector<RECT> ChildRects(HWND owner) {
  std::vector<RECT> rects;
  for (HWND child = GetWindow(owner, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT r;
    GetWindowRect(child, &r);
    rects.push_back(r);
  }
  return rects;
}

// How far the owner's children reach below its top: the scroll range they need.
int ChildrenExtent(HWND owner) {
  RECT ownerRect;
  GetWindowRect(owner, &ownerRect);
  int lowest = ownerRect.top;
  for (const RECT& r : ChildRects(owner)) lowest = std::max(lowest, static_cast<int>(r.bottom));
  return lowest - ownerRect.top;
}

}  // namespace

BOOL CTodayPanel::FixScrollRange() {
  HWND owner = GetScrollOwner();
  if (!owner) {
    ::KillTimer(m_window, kLayoutTimer);
    return TRUE;
  }
  RECT ownerRect;
  GetWindowRect(owner, &ownerRect);
  const int ownerHeight = ownerRect.bottom - ownerRect.top;
  if (m_newAutoAdjust) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(owner, SB_VERT, &info)) info.nPage = 0;
    if (static_cast<int>(info.nPage) != ownerHeight) {
      std::vector<RECT> rects = ChildRects(owner);
      std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
      // Items that only touch are laid out; overlapping ones are still being moved.
      for (size_t i = 1; i < rects.size(); ++i)
        if (rects[i - 1].bottom > rects[i].top) return FALSE;
      SCROLLINFO range = {};
      range.cbSize = sizeof(range);
      range.fMask = SIF_RANGE | SIF_PAGE;
      range.nMax = ChildrenExtent(owner);
      range.nPage = static_cast<UINT>(ownerHeight);
      SetScrollInfo(owner, SB_VERT, &range, FALSE);
    }
  }
  ::KillTimer(m_window, kLayoutTimer);
  m_fixingScroll = TRUE;
  const BOOL bar = (GetWindowLongW(owner, GWL_STYLE) & WS_VSCROLL) != 0;
  SCROLLINFO position = {};
  position.cbSize = sizeof(position);
  position.fMask = SIF_POS;
  if (!GetScrollInfo(owner, SB_VERT, &position)) position.nPos = 0;
  const BOOL scrolled = bar && position.nPos != 0;
  RECT rect;
  GetWindowRect(m_window, &rect);
  if (HWND parent = ::GetParent(m_window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  const int width = rect.right - rect.left;
  BOOL top = !scrolled;
  if (bar && m_fullWidth && width >= m_screenWidth) {
    rect.right = rect.left + m_screenWidth - GetSystemMetrics(SM_CXVSCROLL);
    MovePanel(rect, TRUE);
  } else if (!bar && m_fullWidth && width < m_screenWidth) {
    rect.right = rect.left + m_screenWidth;
    MovePanel(rect, TRUE);
    top = TRUE;
  } else if (!scrolled) {
    MovePanel(rect, FALSE);
  }
  if (top) SendMessageW(owner, WM_VSCROLL, SB_TOP, 0);
  m_parentScrollBar = ParentShowsScrollBar();
  m_fixingScroll = FALSE;
  return TRUE;
}

BOOL CTodayPanel::MovePanel(RECT rect, BOOL force) {
  HWND owner = GetScrollOwner();
  if (!owner) return FALSE;
  RECT ownerRect;
  GetWindowRect(owner, &ownerRect);
  if (!EqualRect(&ownerRect, &m_ownerRect)) {
    m_ownerRect = ownerRect;
    force = TRUE;
  }
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE;
  // An owner without a scroll range (a plain window) is as tall as its children reach;
  // taken as 0 it would make the panel grow by the owner's height at every call.
  if (!GetScrollInfo(owner, SB_VERT, &info) || info.nMax <= info.nMin) info.nMax = ChildrenExtent(owner);
  const RECT old = rect;
  const BOOL landscape = IsLandscape();
  if (m_autoSize) {
    RECT client;
    GetClientRect(owner, &client);
    const int bottom = static_cast<int>(rect.bottom) + (client.bottom - info.nMax - m_pixelUnit);
    int automatic = std::max(bottom - static_cast<int>(rect.top), GetMinHeight());
    rect.bottom = rect.top + automatic;
    if (automatic < m_wantedHeight) {
      int stored = m_storedAutoHeight[landscape ? 1 : 0];
      if (stored <= 0) stored = m_wantedHeight;
      rect.bottom = rect.top + (bottom - rect.top == 0 ? stored : m_wantedHeight);
      automatic = rect.bottom - rect.top;
    }
    if (std::abs(automatic - m_lastAutoHeight) < m_pixelUnit) {
      // The height stays; a forced move still fits the width.
      if (!force) return FALSE;
      rect.bottom = old.bottom;
    } else {
      m_lastAutoHeight = automatic;
      CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
      StoreAutoHeight(product, landscape, automatic);
      m_layoutNeeded = TRUE;
    }
  } else {
    if (m_lastAutoHeight > 0) {
      m_lastAutoHeight = -1;
      rect.bottom = rect.top + GetCurrentHeight();
      m_layoutNeeded = TRUE;
    }
    m_lastAutoHeight = -1;
  }
  if (EqualRect(&old, &rect) && !force) return FALSE;
  m_layoutNeeded = TRUE;
  MoveWindow(m_window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  return TRUE;
}

LPCWSTR CTodayPanel::GetTabHostName(int tabId) const {
  if (m_allTabsInHost) return L"TarvoAll";
  switch (tabId) {
    case TAB_CALENDAR: return L"TarvoCalendar";
    case TAB_TASKS: return L"TarvoTasks";
    case TAB_CONTACTS: return L"TarvoContacts";
    case TAB_NOTES: return L"TarvoNotes";
    case TAB_MESSAGES: return L"TarvoMessages";
    case TAB_SPECIAL: return L"TarvoSpecial";
    default: return nullptr;
  }
}

LRESULT CTodayPanel::OnWindowPosChanged(WINDOWPOS* position) { return LayoutPass(position); }

int CTodayPanel::FindTabByChar(WCHAR ch) const {
  for (int i = 0; i < GetTabCount(); ++i) {
    CScrollPanel* tab = m_tabs[static_cast<size_t>(i)];
    const int id = tab->GetTabId();
    if (((id >= TAB_CALENDAR && id <= TAB_SPECIAL) || id == TAB_CUSTOM) && tab->GetTabIdChar() == ch) return i;
  }
  return -1;
}

LRESULT CTodayPanel::OnActivateTab(WPARAM wParam, LPARAM lParam) {
  // The low word is the tab's character; the high word: 0x4000 remember the choice,
  // 0x2000 scroll the Today screen to the top.
  const WORD flags = HIWORD(static_cast<DWORD>(wParam));
  if (lParam & 1) RebuildTabs();
  if (m_current >= 0 && m_tabs[static_cast<size_t>(m_current)]->GetTabId() == TAB_NO_RESOURCES) return 0;
  const int index = FindTabByChar(static_cast<WCHAR>(LOWORD(wParam)));
  if (index < 0) return 0;
  if (m_mode == 1) {
    LPCWSTR name = GetTabHostName(m_tabs[static_cast<size_t>(index)]->GetTabId());
    if (!name) return 0;
    HWND parent = m_window ? ::GetParent(m_window) : nullptr;
    if (parent) {
      std::wstring copy(name);
      COPYDATASTRUCT data = {2324, static_cast<DWORD>((copy.size() + 1) * sizeof(WCHAR)), &copy[0]};
      SendMessageW(parent, WM_COPYDATA, reinterpret_cast<WPARAM>(m_window), reinterpret_cast<LPARAM>(&data));
    }
  }
  if (GetRegistrationState(nullptr) != kTodayItemEnabled) {
    // A custom tab that hosts the panel switches to it.
    if (HANDLE event = CreateEventW(nullptr, FALSE, FALSE, L"STACTIVATE/\"Qel Tarvo\"")) {
      SetEvent(event);
      CloseHandle(event);
    }
  }
  if (index != m_current && (m_mode == 0 || m_allTabsInHost)) SelectTab(index, (flags & 0x4000) != 0);
  if ((flags & 0x2000) && m_window && ::GetParent(m_window)) PostMessageW(::GetParent(m_window), WM_VSCROLL, SB_TOP, 0);
  return 0;
}

LRESULT CTodayPanel::OnSetCurrentPlugin(WPARAM, LPARAM lParam) {
  // The host lives in this process and passes the address of its plug-in's name.
  // Anyone may send the message, so the name is read only where it is readable.
  static const LPCWSTR kHostTabs[] = {L"TarvoCalendar", L"TarvoTasks",    L"TarvoContacts",
                                      L"TarvoNotes",    L"TarvoMessages", L"TarvoSpecial"};
  const int kLongestName = 16;
  LPCWSTR name = reinterpret_cast<LPCWSTR>(lParam);
  if (!IsValidStringPtr(name, kLongestName)) return 0;
  int tabId = 0;
  for (int i = 0; i < 6 && !tabId; ++i)
    if (_wcsnicmp(name, kHostTabs[i], kLongestName) == 0) tabId = TAB_CALENDAR + i;
  if (!tabId) {
    // The whole panel is the host's tab.
    if (!m_allTabsInHost) SetAllTabsInHost(TRUE);
    return 0;
  }
  if (m_allTabsInHost) SetAllTabsInHost(FALSE);
  // By identifier rather than by position: a tab whose library is missing would shift
  // every later one.
  for (int i = 0; i < GetTabCount(); ++i) {
    if (m_tabs[static_cast<size_t>(i)]->GetTabId() == tabId) {
      SelectTab(i, TRUE);
      break;
    }
  }
  return 0;
}

void CTodayPanel::SetAllTabsInHost(BOOL on) {
  m_allTabsInHost = on;
  if (!m_window) return;
  // The strip comes or goes, so the tabs are made again over the new content area,
  // laid out where the window stands.
  DestroyTabs();
  RECT rect;
  GetWindowRect(m_window, &rect);
  if (HWND parent = ::GetParent(m_window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  WINDOWPOS position = {m_window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0};
  m_layoutNeeded = TRUE;
  LayoutPass(&position);
  InvalidateStrip();
  ::InvalidateRect(m_window, nullptr, FALSE);
}

BOOL CTodayPanel::OnHostTimer(UINT_PTR id) { return HandleTimer(id); }

BOOL CTodayPanel::HandleTimer(UINT_PTR id) {
  if (!m_window) return FALSE;
  if (id == kLayoutTimer) {
    FixScrollRange();
    return TRUE;
  }
  if (id == kInactivityTimer) {
    ReturnToTimeoutTab(FALSE);
    return TRUE;
  }
  if (id == kClockTimer) {
    OnClockTimer();
    return TRUE;
  }
  if (id == kSovelTimer) {
    ::KillTimer(m_window, kSovelTimer);
    LoadSovelItem(FALSE);
    return TRUE;
  }
  if (id == kOndrelTimer) {
    ::KillTimer(m_window, kOndrelTimer);
    COndrelClient::Instance().EnsureOndrel();
    return TRUE;
  }
  // Any other negative identifier is no element's address.
  return static_cast<INT_PTR>(id) < 0;
}

// --- clock and inactivity --------------------------------------------------------

void CTodayPanel::RefreshAllTabs() {
  for (CScrollPanel* tab : m_tabs) tab->RequestRefresh();
}

void CTodayPanel::SetNextChangeTime(double time) {
  if (!m_window) return;
  ::KillTimer(m_window, kClockTimer);
  m_nextChange = time;
  ::SetTimer(m_window, kClockTimer, kClockPeriod, nullptr);
}

void CTodayPanel::OnClockTimer() {
  const LONG bias = PanelTimeZoneBias();
  const double now = PanelNow();
  if (std::floor(now) != std::floor(m_lastDay)) {
    // A new day: everything dated "today" moves.
    m_layoutNeeded = TRUE;
    COndrelClient::Instance().UpdateCalendar();
    RefreshAllTabs();
    m_lastDay = m_lastMinute = now;
    return;
  }
  if (m_nextChange != 0 && now >= m_nextChange) {
    m_nextChange = 0;
    RefreshAllTabs();
    m_lastDay = m_lastMinute = now;
    return;
  }
  if (std::floor(m_lastMinute * 1440) <= std::floor(now * 1440)) {
    if (bias != m_bias) {
      // The zone or daylight saving changed: the local times of every item moved.
      COndrelClient::Instance().UpdateCalendar();
      if (IPanelDataLists* lists = GetPanelDataLists()) lists->OnTimeZoneChanged();
      RefreshAllTabs();
      m_bias = bias;
    }
    m_lastMinute = now;
    return;
  }
  // The clock went back.
  RefreshAllTabs();
  m_lastDay = m_lastMinute = now;
}

void CTodayPanel::StartInactivityTimer(BOOL on) {
  if (!m_window) return;
  ::KillTimer(m_window, kInactivityTimer);
  m_inactivityRunning = FALSE;
  m_inactivityLooked = FALSE;
  if (!on || m_timeout == 0) return;
  ::SetTimer(m_window, kInactivityTimer, m_timeout * 1000, nullptr);
  m_inactivityStart = PanelNow();
  m_inactivityRunning = TRUE;
}

BOOL CTodayPanel::IsInactivityElapsed(BOOL rearm) {
  if (m_timeout == 0 || !m_inactivityRunning) return FALSE;
  const double seconds = (PanelNow() - m_inactivityStart) * 86400.0;
  // A clock set back counts as no time gone; one set far ahead as all of it.
  const DWORD elapsed = seconds <= 0 ? 0 : seconds >= m_timeout ? m_timeout : static_cast<DWORD>(seconds);
  if (elapsed >= m_timeout) return TRUE;
  if (rearm && m_window) ::SetTimer(m_window, kInactivityTimer, (m_timeout - elapsed) * 1000, nullptr);
  return FALSE;
}

void CTodayPanel::ReturnToTimeoutTab(BOOL force) {
  if (!force && !IsInactivityElapsed(TRUE)) return;
  for (int i = GetTabCount() - 1; i >= 0; --i) {
    if (m_tabs[static_cast<size_t>(i)]->GetTabIdChar() == m_timeoutPanel) {
      PostMessageW(m_window, m_activateTab, static_cast<WPARAM>(m_timeoutPanel | 0xC0000000u), 0);
      StartInactivityTimer(TRUE);
      return;
    }
  }
  m_timeoutPanel = m_tabs.empty() ? kDefaultTimeoutPanel : m_tabs[0]->GetTabIdChar();
  LoadTimeoutSettings(TRUE);
  StartInactivityTimer(TRUE);
}

void CTodayPanel::LoadTimeoutSettings(BOOL save) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (!save) {
    DWORD timeout = product.GetDWORD(L"TimeoutTime", kDefaultTimeout);
    // Beyond a week (or negative) the setting is broken: the timeout goes off.
    if (static_cast<LONG>(timeout) < 0 || timeout > kMaxTimeout) {
      timeout = 0;
      product.SetDWORD(L"TimeoutTime", 0);
    }
    m_timeout = timeout;
    const DWORD panel = product.GetDWORD(L"TimeoutPanel", kDefaultTimeoutPanel);
    m_timeoutPanel = panel > 0 && panel <= 0xFFFF ? static_cast<WCHAR>(panel) : kDefaultTimeoutPanel;
    // Only a tab that is shown can be returned to.
    if (m_tabs.empty()) return;
    for (CScrollPanel* tab : m_tabs)
      if (tab->GetTabIdChar() == m_timeoutPanel) return;
    m_timeoutPanel = m_tabs[0]->GetTabIdChar();
  }
  product.SetDWORD(L"TimeoutTime", m_timeout);
  product.SetDWORD(L"TimeoutPanel", m_timeoutPanel);
}

void CTodayPanel::FirstActivation() {
  if (m_firstActivationDone || !m_window) return;
  m_firstActivationDone = TRUE;
  if (m_resourcesMissing) {
    PostMessageW(m_window, m_updateSettings, 0, 0);
    return;
  }
  CSkinColors::Instance().LoadSystemColors();
  ::SetTimer(m_window, kSovelTimer, kFirstActivationDelay, nullptr);
  ::SetTimer(m_window, kOndrelTimer, kFirstActivationDelay, nullptr);
  for (CScrollPanel* tab : m_tabs)
    if (tab->GetTabId() == TAB_NOTES) tab->RequestRefresh();
}

// --- notifications and settings --------------------------------------------------

LRESULT CTodayPanel::OnSettingChange(WPARAM wParam) {
  CSkinColors::Instance().LoadSystemColors();
  LoadTimeoutSettings(FALSE);
  InvalidateStrip();
  CHardwareKeys::Instance().Load();
  if (wParam == 0x3002) LoadHeights(TRUE);
  for (CScrollPanel* tab : m_tabs) tab->OnSettingsChanged();
  return 0;
}

LRESULT CTodayPanel::OnDBNotification(WPARAM wParam, LPARAM lParam) {
  if (!lParam) return 0;
  // Two senders are honoured: the notification window, which sends a record of its
  // own stack on this thread (wParam 1), and the database layer of this process,
  // which posts a record it allocated (wParam 0). A record from anywhere else is
  // never read: another process's address means nothing here.
  const BOOL keep = wParam != 0;
  if (keep) {
    if (InSendMessage()) return 0;
  } else {
    if (InSendMessage() || !HeapValidate(GetProcessHeap(), 0, reinterpret_cast<LPCVOID>(lParam)) ||
        HeapSize(GetProcessHeap(), 0, reinterpret_cast<LPCVOID>(lParam)) < sizeof(CENOTIFICATION))
      return 0;
  }
  auto* record = reinterpret_cast<CENOTIFICATION*>(lParam);
  if (record->dwSize != sizeof(CENOTIFICATION)) return 0;
  if (record->dwParam) {
    // The request names the list that opened the database, when it still lives.
    if (CCategoriesList* categories = CCategoriesList::GetCurrent()) {
      if (categories->OwnsNotification(record)) {
        categories->OnDbNotify(record, keep);
        Invalidate();
        return 0;
      }
    }
    if (CCeDatabase* database = CCeDatabase::FromNotification(record)) {
      database->OnNotification(record, keep);
      Invalidate();
      return 0;
    }
    // The tabs' lists open their databases with this window too: the data lists know
    // them.
    if (IPanelDataLists* lists = GetPanelDataLists()) {
      if (lists->OnListNotification(record, keep)) {
        Invalidate();
        return 0;
      }
    }
    if (!keep) CeFreeNotification(nullptr, record);
    return 0;
  }
  const int kind = static_cast<int>(record->oidParent);
  if (kind != 9 && kind != 10 && kind != 13) {
    if (!keep) CeFreeNotification(nullptr, record);
    return 0;
  }
  if (kind == 9) COndrelClient::Instance().UpdateCalendar();
  IPanelDataLists* lists = GetPanelDataLists();
  if (!lists || !lists->OnDbNotification(kind, record, keep)) {
    if (!keep) CeFreeNotification(nullptr, record);
    return 0;
  }
  Invalidate();
  return 0;
}

LRESULT CTodayPanel::OnUpdateSettings(WPARAM, LPARAM lParam) {
  GetViewSettings().Load();
  const BOOL wasMissing = m_resourcesMissing;
  m_resourcesMissing = RefreshResourceLibrary();
  m_resourcesProbed = FALSE;
  ResetDateFormatCache();
  GetSkin().Release();
  COndrelClient& ondrel = COndrelClient::Instance();
  ondrel.SetOwnerWindow(m_window);
  ondrel.ReadSettings();
  // The options program's font page: the face, size, system size and smoothing.
  if (CFontCache* fonts = GetFontCache()) fonts->LoadSettings(TRUE);
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    int keyboard = static_cast<int>(product.GetDWORD(L"AdvancedKeyboardSupport", 0));
    if (m_mode == 1 && keyboard == 2) keyboard = 1;
    if (keyboard != m_keyboardSupport) {
      SetCharCapture(FALSE);
      m_keyboardSupport = keyboard;
      if (keyboard == 2 || (keyboard == 1 && m_receivedSelection)) SetCharCapture(TRUE);
    }
  }
  m_horizontal = GetViewSettings().HorizontalTabsMode != 0;
  m_wholeWidth = GetViewSettings().dbgHorzTabsOccupyWholeWidth != 0;
  BOOL changed = FALSE;
  CIconProviderRef::Reset(ondrel.ReadCurrentPIM(), &changed);
  if (changed)
    if (IPanelDataLists* lists = GetPanelDataLists()) lists->OnIconProviderChanged();
  if (IPanelDataLists* lists = GetPanelDataLists()) lists->OnSettingsReloaded();
  if (wasMissing != m_resourcesMissing || lParam) {
    if (m_tabs.empty()) {
      m_layoutNeeded = TRUE;
    } else {
      const RECT content = m_content;
      DestroyTabs();
      Layout(content, TRUE);
    }
  }
  ComputeCellWidths();
  LoadHeights(FALSE);
  for (CScrollPanel* tab : m_tabs) tab->OnSettingsChanged();
  CSkinColors::Instance().LoadSystemColors();
  InvalidateStrip();
  LoadSovelItem(FALSE);
  LoadTimeoutSettings(FALSE);
  StartInactivityTimer(TRUE);
  if (m_window) ::InvalidateRect(m_window, nullptr, FALSE);
  return 0;
}

LRESULT CTodayPanel::OnShellChange(LPARAM lParam) {
  // Only a record of this process's heap, as the shell layer posts it, is read; its
  // paths must lie inside it, ended.
  if (!lParam || InSendMessage()) return 0;
  HANDLE heap = GetProcessHeap();
  auto* notify = reinterpret_cast<FILECHANGENOTIFY*>(lParam);
  if (!HeapValidate(heap, 0, notify)) return 0;
  const SIZE_T size = HeapSize(heap, 0, notify);
  if (size == static_cast<SIZE_T>(-1) || size < sizeof(FILECHANGENOTIFY) ||
      notify->fci.cbSize != sizeof(FILECHANGEINFO) || notify->dwRefCount == 0)
    return 0;
  const auto begin = reinterpret_cast<ULONG_PTR>(notify), end = begin + size;
  auto pathOf = [&](DWORD_PTR item) {
    CString path;
    if (item < begin + sizeof(FILECHANGENOTIFY) || item >= end || (item - begin) % sizeof(WCHAR)) return path;
    const auto* text = reinterpret_cast<const WCHAR*>(item);
    const size_t room = (end - item) / sizeof(WCHAR);
    size_t length = 0;
    while (length < room && text[length]) ++length;
    if (length < room) path = text;
    return path;
  };
  const DWORD event = static_cast<DWORD>(notify->fci.wEventId);
  const CString item1 = pathOf(notify->fci.dwItem1), item2 = pathOf(notify->fci.dwItem2);
  SHChangeNotifyFree(notify);

  if ((event & (SHCNE_MEDIAINSERTED | SHCNE_DRIVEADD)) && m_resourcesMissing) PostMessageW(m_window, m_updateSettings, 0, 0);
  if ((event & (SHCNE_MEDIAREMOVED | SHCNE_DRIVEREMOVED)) && !m_resourcesMissing) {
    CString path;
    GetInstallPath(path, L"TarvoRes.Dll");
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) PostMessageW(m_window, m_updateSettings, 0, 0);
  }
  IPanelDataLists* lists = GetPanelDataLists();
  auto relevant = [&](const CString& path) { return lists && !path.IsEmpty() && lists->IsNoteFile(path); };
  auto post = [&](const CString& path, DWORD code) {
    PostPanelRecord(m_window, m_fileChange, 0, new CFileChangeRecord(path, code));
  };
  if (event & (SHCNE_CREATE | SHCNE_DELETE | SHCNE_ATTRIBUTES | SHCNE_UPDATEITEM)) {
    if (relevant(item1)) post(item1, event);
  } else if (event & SHCNE_RENAMEITEM) {
    // The old name goes, the new one comes.
    if (relevant(item1)) post(item1, SHCNE_DELETE);
    if (relevant(item2)) post(item2, SHCNE_CREATE);
  } else if (event & SHCNE_RENAMEFOLDER) {
    post(item1, SHCNE_RMDIR);
    post(item2, SHCNE_MKDIR);
  } else if (event & 0x1F8) {
    post(item1, event);
  }
  return 0;
}

int CTodayPanel::LoadSovelItem(BOOL unloadOnly) {
  GetViewSettings().Load();
  if (m_sovelModule) {
    if (m_sovelWindow && IsWindow(m_sovelWindow)) DestroyWindow(m_sovelWindow);
    FreeLibrary(m_sovelModule);
    m_sovelModule = nullptr;
    m_sovelWindow = nullptr;
  }
  if (unloadOnly || GetViewSettings().AppGroup_Sovel == 0 || !m_window) return 1;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, L"Software\\Korvel\\Qel Sovel", FALSE, FALSE);
    if (!product.IsOpen()) return 0;
    // Builds before 366 cannot be hosted.
    if (product.GetDWORD(L"Build", 0) < 366) return 0;
  }
  if (FindWindowW(L"QELSOVELTODAY{513E32D1-49F0-4B42-B186-38EA5A989F39}", nullptr)) return 1;
  HMODULE module = LoadLibraryW(L"SovelToday.dll");
  if (!module) return 0;
  typedef HWND(WINAPI * PFN_INITIALIZE_ITEM)(TODAYLISTITEM*, HWND);
  auto initialize = reinterpret_cast<PFN_INITIALIZE_ITEM>(
      reinterpret_cast<void*>(GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(240)))));
  if (!initialize) {
    FreeLibrary(module);
    return 0;
  }
  m_sovelItem = TODAYLISTITEM();
  wcscpy_s(m_sovelItem.szName, L"Qel Sovel");
  m_sovelItem.tlit = tlitCustom;
  m_sovelItem.dwOrder = 1;
  m_sovelItem.fEnabled = TRUE;
  m_sovelItem.fOptions = TRUE;
  m_sovelItem.grfFlags = 1;
  GetModuleFileNameW(module, m_sovelItem.szDLLPath, MAX_PATH);
  m_sovelItem.szDLLPath[MAX_PATH - 1] = L'\0';
  m_sovelItem.cyp = static_cast<DWORD>(-1);
  m_sovelItem.hinstDLL = module;
  HWND item = initialize(&m_sovelItem, m_window);
  if (!item) {
    FreeLibrary(module);
    return 0;
  }
  m_sovelModule = module;
  m_sovelWindow = item;
  ShowWindow(item, SW_HIDE);
  return 1;
}

// --- strip ---------------------------------------------------------------------

RECT CTodayPanel::GetCellRect(int index) const {
  RECT cell = {};
  if (index < 0 || index >= GetTabCount() || !HasStrip()) return cell;
  if (m_horizontal) {
    int x = 0;
    for (int i = 0; i < index; ++i)
      x += m_cellWidths.size() == m_tabs.size() ? m_cellWidths[static_cast<size_t>(i)] : m_cellWidth;
    const int width = m_cellWidths.size() == m_tabs.size() ? m_cellWidths[static_cast<size_t>(index)] : m_cellWidth;
    cell = {x, 0, x + width, m_cellHeight};
  } else {
    cell = {0, index * m_cellHeight, m_cellWidth, (index + 1) * m_cellHeight};
  }
  return cell;
}

int CTodayPanel::CellAt(POINT point) const {
  for (int i = 0; i < GetTabCount(); ++i) {
    const RECT cell = GetCellRect(i);
    if (PtInRect(&cell, point)) return i;
  }
  return -1;
}

void CTodayPanel::InvalidateStrip() {
  if (!m_window || !HasStrip()) return;
  RECT client;
  GetClientRect(m_window, &client);
  RECT strip = m_horizontal ? RECT{0, 0, client.right, m_cellHeight + m_pixelUnit}
                            : RECT{0, 0, m_cellWidth + ScaleX(1), client.bottom};
  ::InvalidateRect(m_window, &strip, FALSE);
}

void CTodayPanel::DrawCell(CTextRunList* context, int index) {
  HDC hdc = context->GetDC();
  const RECT cell = GetCellRect(index);
  CScrollPanel* tab = m_tabs[static_cast<size_t>(index)];
  const BOOL selected = index == m_current;
  const int width = 16 * (GetScreenDpiX() + 3) / 96, height = 16 * (GetScreenDpiY() + 3) / 96;
  const int x = (cell.left + cell.right - width) / 2, y = (cell.top + cell.bottom - height) / 2;
  if (selected) {
    // The current cell stands out from the strip.
    HBRUSH brush = CSkinColors::Instance().GetSolidBrush(CSkinColors::kHighlight);
    RECT face = cell;
    if (m_horizontal) face.bottom += m_pixelUnit; else face.right += ScaleX(1);
    if (brush) FillRect(hdc, &face, brush);
  }
  RECT iconRect = {x, y, x + width, y + height};
  if (tab->DrawTabIcon(hdc, &iconRect, selected)) return;
  if (GetSkin().GetTabIcons() && tab->GetSkinTabIndex() >= 0 &&
      GetSkin().DrawTabIcon(tab->GetSkinTabIndex(), hdc, x, y, selected))
    return;
  HICON icon = tab->GetIcon16(0);
  if (!icon) return;
  CDib* target = context->GetTarget();
  if (selected || !target) {
    DrawIconEx(hdc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
    return;
  }
  // The other tabs' icons are laid over the strip, dimmed into its levels.
  const CDib* piece = GetStripPiece(index, icon, width, height);
  if (!piece) return;
  const RECT& targetRect = context->GetTargetRect();
  // The shapes drawn so far must be in the bits before they are mixed.
  GdiFlush();
  BlendRectKeyed(*target, x - targetRect.left, y - targetRect.top, width, height, *piece, 0, 0, kStripKey, true,
                 kStripLow, kStripHigh);
}

const CDib* CTodayPanel::GetStripPiece(int index, HICON icon, int width, int height) {
  if (m_stripPieces.size() != m_tabs.size()) {
    m_stripPieces.clear();
    m_stripPieces.resize(m_tabs.size());
  }
  StripPiece& piece = m_stripPieces[static_cast<size_t>(index)];
  if (piece.picture && piece.icon == icon && piece.picture->GetWidth() == width && piece.picture->GetHeight() == height)
    return piece.picture.get();
  piece.icon = nullptr;
  piece.picture = std::make_unique<CDib>();
  if (!piece.picture->CreateFilled(width, height, kStripKey)) {
    piece.picture.reset();
    return nullptr;
  }
  DrawIconEx(piece.picture->GetDC(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  piece.picture->ReleaseDC();
  piece.icon = icon;
  return piece.picture.get();
}

void CTodayPanel::Paint(CTextRunList* context) {
  if (HasStrip() && !m_tabs.empty()) {
    HDC hdc = context->GetDC();
    RECT client = {};
    if (m_window) GetClientRect(m_window, &client);
    for (int i = 0; i < GetTabCount(); ++i) {
      RECT cell = GetCellRect(i), area;
      if (IntersectRect(&area, &cell, &context->GetClip())) DrawCell(context, i);
    }
    HBRUSH rule = CSkinColors::Instance().GetSolidBrush(1);
    if (rule) {
      // Separators between the cells and along the strip's edge.
      for (int i = 1; i < GetTabCount(); ++i) {
        const RECT cell = GetCellRect(i);
        RECT line = m_horizontal ? RECT{cell.left, cell.top + ScaleY(3), cell.left + m_pixelUnit, cell.bottom - ScaleY(3)}
                                 : RECT{cell.left + ScaleX(3), cell.top, cell.right - ScaleX(3), cell.top + m_pixelUnit};
        FillRect(hdc, &line, rule);
      }
      RECT edge = m_horizontal ? RECT{0, m_cellHeight, client.right, m_cellHeight + m_pixelUnit}
                               : RECT{m_cellWidth, 0, m_cellWidth + ScaleX(1), client.bottom};
      FillRect(hdc, &edge, rule);
    }
  }
  CVirtualWnd::Paint(context);
}

void CTodayPanel::PaintBackground(CTextRunList* context) {
  // The Today screen's background shows through, as behind every item.
  HWND parent = m_window ? ::GetParent(m_window) : nullptr;
  TODAYDRAWWATERMARKINFO info = {context ? context->GetDC() : nullptr, {}, m_window};
  if (m_window) GetClientRect(m_window, &info.rc);
  if (!info.hdc || !parent || !SendMessageW(parent, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info)))
    CVirtualRoot::PaintBackground(context);
}

BOOL CTodayPanel::ProbeResources() {
  if (m_resourcesMissing) return TRUE;
  HINSTANCE resources = GetModule().GetResourceInstance();
  if (resources == GetModule().GetModuleInstance()) return TRUE;
  WCHAR text[64] = {};
  if (LoadStringW(resources, kResourceProbeText, text, 64) > 0 && text[0]) return TRUE;
  // The library went with its storage card: run without it and ask for the settings
  // to be loaded again, which finds it once it is back.
  GetModule().SetResourceInstance(GetModule().GetModuleInstance());
  m_resourcesMissing = TRUE;
  PostMessageW(m_window, m_updateSettings, 0, 0);
  return FALSE;
}

void CTodayPanel::OnPaintMessage() {
  if (!ProbeResources()) {
    ValidateRect(m_window, nullptr);
    // The tabs made with the library go; the resources-missing tab shows at the
    // next paint.
    RebuildTabs();
    return;
  }
  CVirtualRoot::OnPaintMessage();
}

// --- input ---------------------------------------------------------------------

LRESULT CTodayPanel::OnKeyDown(WPARAM wParam) { return OnKey(static_cast<DWORD>(wParam)) ? 1 : 0; }

BOOL CTodayPanel::OnKey(DWORD key) {
  StartInactivityTimer(TRUE);
  CVirtualWnd* focused = GetFocusedElement();
  if (focused && focused != this) return focused->OnKey(key);
  if (m_tabs.empty() || m_current < 0) return FALSE;
  CScrollPanel* tab = m_tabs[static_cast<size_t>(m_current)];
  const DWORD code = key & ~VK_KEYUP_FLAG;
  if (code == VK_RETURN) {
    if (m_mode == 1 && !m_allTabsInHost) return TRUE;
    if (key & VK_KEYUP_FLAG) {
      tab->ResetView(TRUE);
      return TRUE;
    }
    m_stripFocus = TRUE;
    return TRUE;
  }
  if (key & VK_KEYUP_FLAG) return FALSE;
  const int n = GetTabCount();
  auto enterTab = [&]() {
    CVirtualRoot::RequestFocus(tab);
    tab->SetFocus();
    return TRUE;
  };
  if (m_horizontal) {
    switch (code) {
      case VK_LEFT: return SelectTab((m_current + n - 1) % n, TRUE);
      case VK_RIGHT: return SelectTab((m_current + 1) % n, TRUE);
      case VK_UP: return FALSE;
      case VK_DOWN: return enterTab();
      default: return FALSE;
    }
  }
  const BOOL pocketPC = IsPocketPC();
  switch (code) {
    case VK_LEFT: return IsListTab(tab) ? enterTab() : FALSE;
    case VK_RIGHT: return enterTab();
    case VK_UP:
      if (m_mode == 1 && !m_allTabsInHost) return FALSE;
      if (m_current == 0 && pocketPC) return FALSE;
      return SelectTab((m_current + n - 1) % n, TRUE);
    case VK_DOWN:
      if (m_mode == 1 && !m_allTabsInHost) return enterTab();
      if (m_current == n - 1 && pocketPC) return FALSE;
      return SelectTab((m_current + 1) % n, TRUE);
    default: return FALSE;
  }
}

BOOL CTodayPanel::OnChildKey(CVirtualWnd* sender, DWORD key) {
  CScrollPanel* tab = GetCurrentTab();
  if (!tab) return FALSE;
  const BOOL toStrip = (key == VK_LEFT && sender == tab) || (m_horizontal && key == VK_UP);
  if (!toStrip) return FALSE;
  if (m_mode == 1 && !m_allTabsInHost) return TRUE;
  CVirtualRoot::RequestFocus(nullptr);
  Invalidate();
  return TRUE;
}

void CTodayPanel::RequestSelection() {
  if (!m_window) return;
  if (!IsPocketPC()) {
    ::SetFocus(m_window);
    return;
  }
  HWND parent = ::GetParent(m_window);
  if (m_receivedSelection || !parent) return;
  PostMessageW(parent, TODAYM_TOOKSELECTION, reinterpret_cast<WPARAM>(m_window), 0);
  m_receivedSelection = TRUE;
}

BOOL CTodayPanel::OnLButtonDown(POINT* point) {
  // A tap makes the panel the Today screen's selection, so keys come here next.
  RequestSelection();
  CScrollPanel* tab = GetCurrentTab();
  if (tab && tab->HitTest(point)) {
    const BOOL taken = tab->OnLButtonDown(point);
    if (!GetFocusedElement()) CVirtualRoot::RequestFocus(this);
    return taken;
  }
  m_pressedCell = CellAt(*point);
  if (m_window) {
    ::InvalidateRect(m_window, &m_content, FALSE);
    // A held press on the strip is the context-menu gesture.
    ::SetCapture(m_window);
    SHRGINFO gesture = {sizeof gesture, m_window, *point, SHRG_RETURNCMD};
    const DWORD answer = SHRecognizeGesture(&gesture);
    if (::GetCapture() == m_window) ::ReleaseCapture();
    if (answer == GN_CONTEXTMENU && m_pressedCell >= 0) {
      POINT screen = *point;
      ClientToScreen(m_window, &screen);
      ShowContextMenu(screen.x, screen.y);
      m_pressedCell = -1;
    }
  }
  return TRUE;
}

BOOL CTodayPanel::OnLButtonUp(POINT* point) {
  const int pressed = m_pressedCell;
  m_pressedCell = -1;
  CScrollPanel* tab = GetCurrentTab();
  if (pressed < 0) return tab ? tab->OnLButtonUp(point) : FALSE;
  if (CellAt(*point) != pressed) return TRUE;
  if (!m_tabs[static_cast<size_t>(pressed)]->ResetView(pressed == m_current)) SelectTab(pressed, TRUE);
  if (m_window) ::InvalidateRect(m_window, nullptr, FALSE);
  return TRUE;
}

BOOL CTodayPanel::OnLButtonDblClk(POINT* point) {
  CScrollPanel* tab = GetCurrentTab();
  return tab && tab->HitTest(point) ? tab->OnLButtonDblClk(point) : FALSE;
}

BOOL CTodayPanel::IsDoubleTap(POINT point, DWORD time) {
  const int slop = 5 * GetScreenDpiX() / 96;
  const BOOL twice = m_hasLastUp && time - m_lastUpTime < 500 && std::abs(point.x - m_lastUpPoint.x) <= slop &&
                     std::abs(point.y - m_lastUpPoint.y) <= slop;
  m_hasLastUp = TRUE;
  m_lastUpTime = time;
  m_lastUpPoint = point;
  return twice;
}

BOOL CTodayPanel::OnChar(WCHAR ch) {
  if (ch != 8 && !(ch >= L'0' && ch <= L'9') && ch < 65) return TRUE;
  StartInactivityTimer(TRUE);
  if (m_tabs.empty() || m_current < 0) return FALSE;
  if (!m_receivedSelection && IsPocketPC()) {
    if (m_mode != 0 || m_keyboardSupport != 2) return FALSE;
    RequestSelection();
    CScrollPanel* tab = GetCurrentTab();
    CVirtualRoot::RequestFocus(tab);
    tab->SetFocus();
  }
  const int id = GetCurrentTab()->GetTabId();
  if (HasStrip() && id != TAB_NOTES && id != TAB_CONTACTS) {
    // Typing looks a name up: the contacts take the letters.
    for (int i = 0; i < GetTabCount(); ++i)
      if (m_tabs[static_cast<size_t>(i)]->GetTabId() == TAB_CONTACTS) {
        SelectTab(i, TRUE);
        break;
      }
  }
  GetCurrentTab()->OnChar(ch);
  return TRUE;
}

void CTodayPanel::ShowContextMenu(int x, int y) {
  CScrollPanel* tab = m_pressedCell >= 0 && m_pressedCell < GetTabCount() ? m_tabs[static_cast<size_t>(m_pressedCell)]
                                                                          : GetCurrentTab();
  if (!tab) return;
  POINT at = {x, y};
  tab->OnContextMenu(&at);
}

void CTodayPanel::OnCaptureChangedMessage() {
  m_stripFocus = FALSE;
  CVirtualWnd* focused = GetFocusedElement();
  m_refocus = focused ? focused : this;
}

void CTodayPanel::SetCharCapture(BOOL on) {
  if (on == m_charCaptured) return;
  m_charCaptured = on;
  if (on)
    CDesktopWrapper::Instance().AddBlockedMessage(WM_CHAR);
  else
    CDesktopWrapper::Instance().RemoveBlockedMessage(WM_CHAR);
}

void CTodayPanel::OnFocusMessage(BOOL gained) {
  // The root has already followed the window's focus.
  if (!gained) {
    SetCharCapture(FALSE);
    return;
  }
  if (m_keyboardSupport == 1) SetCharCapture(TRUE);
  if (CScrollPanel* tab = GetCurrentTab()) tab->SetFocus();
}

BOOL CTodayPanel::OnMouseMove(POINT* point) {
  CScrollPanel* tab = GetCurrentTab();
  return tab && m_pressedCell < 0 ? tab->OnMouseMove(point) : FALSE;
}

// --- messages ------------------------------------------------------------------

BOOL CTodayPanel::HandleRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (message == m_updateSettings) {
    result = OnUpdateSettings(wParam, lParam);
    return TRUE;
  }
  if (message == m_activateTab) {
    // Only the flags and the character are read; the rebuild bit is the
    // placeholder's alone.
    result = OnActivateTab(wParam, 0);
    return TRUE;
  }
  if (message == m_setCurrentPlugin) {
    result = OnSetCurrentPlugin(wParam, lParam);
    return TRUE;
  }
  if (message == m_calendarClosed) {
    // The control that had the focus before the popup opened gets it back.
    CVirtualWnd* refocus = m_refocus;
    m_refocus = nullptr;
    if (refocus && refocus != this && CLiveElements::Get().IsLive(refocus) && refocus->GetHwnd() == m_window) {
      refocus->SetFocus();
    } else if (refocus == this && !m_receivedSelection) {
      RequestSelection();
    }
    return TRUE;
  }
  if (message == m_fileChange || message == m_emailListChanged) {
    // Only a record this process posted and has not handled yet is honoured.
    std::unique_ptr<CPanelRecord> record(TakePanelRecord(lParam));
    if (!record) return TRUE;
    IPanelDataLists* lists = GetPanelDataLists();
    if (!lists) return TRUE;
    if (message == m_emailListChanged) {
      lists->OnEmailListChanged(wParam, *record);
    } else if (auto* change = dynamic_cast<CFileChangeRecord*>(record.get())) {
      lists->OnFileChange(*change);
    }
    return TRUE;
  }
  if (message == m_sovelUnload) {
    LoadSovelItem(wParam == 0);
    return TRUE;
  }
  if (message == m_pellamChanged) {
    OnScheduledChanged();
    result = 1;
    return TRUE;
  }
  if (message == m_todayUpdated) {
    // The Today screen's data changed: the calendar shows it at its next chance.
    for (CScrollPanel* tab : m_tabs)
      if (tab->GetTabId() == TAB_CALENDAR) tab->RequestRefresh();
    return TRUE;
  }
  if (message == m_showMessage) {
    // 1: an item could not be made from a note file another program handed over.
    if (wParam != 1) return TRUE;
    CString text;
    if (LoadTranslatedString(text, kItemNotCreatedText) > 0)
      ShowPanelMessage(m_window, text, L"Qel Tarvo", MB_OK | MB_ICONERROR);
    return TRUE;
  }
  if (message == m_uiMetricChange) {
    // Fonts that follow the system: the Today screen lays its items out anew.
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    if (product.GetDWORD(L"UseSystem", 1) != 0) TellHostsToReload(0);
    return TRUE;
  }
  if (message == m_selectEmailAccount) {
    for (int i = 0; i < GetTabCount(); ++i)
      if (m_tabs[static_cast<size_t>(i)]->GetTabId() == TAB_MESSAGES) {
        SelectTab(i, TRUE);
        if (auto* list = dynamic_cast<CListPanelView*>(m_tabs[static_cast<size_t>(i)]))
          list->SelectAccount(static_cast<int>(wParam));
        break;
      }
    return TRUE;
  }
  return FALSE;
}

BOOL CTodayPanel::HandlePanelMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (message >= 0xC000 && HandleRegisteredMessage(message, wParam, lParam, result)) return TRUE;
  switch (message) {
    case WM_SETTINGCHANGE:
      result = OnSettingChange(wParam);
      return TRUE;
    case WM_DBNOTIFICATION:
      result = OnDBNotification(wParam, lParam);
      return TRUE;
    case WM_FILECHANGEINFO:
      result = OnShellChange(lParam);
      return TRUE;
    case WM_CHAR:
      result = OnChar(static_cast<WCHAR>(wParam)) ? 1 : 0;
      return TRUE;
    case WM_CONTEXTMENU: {
      if (!m_receivedSelection && IsPocketPC()) return TRUE;
      int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      if (lParam == -1) {
        // The keyboard's form: the centre of the current strip cell.
        const RECT cell = GetCellRect(m_current);
        POINT centre = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ClientToScreen(m_window, &centre);
        x = centre.x;
        y = centre.y;
      }
      ShowContextMenu(x, y);
      return TRUE;
    }
    case WM_MOUSEMOVE: {
      StartInactivityTimer(TRUE);
      // Moves come faster than the lists can follow: while another one waits, one
      // handled less than 100 ms ago is enough.
      const DWORD time = PanelMessageTime();
      MSG next;
      if (time - m_lastMoveTime < 100 && PeekMessageW(&next, m_window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE))
        return TRUE;
      m_lastMoveTime = time;
      return FALSE;
    }
    case WM_LBUTTONDOWN:
      StartInactivityTimer(TRUE);
      return FALSE;
    case WM_LBUTTONUP: {
      StartInactivityTimer(TRUE);
      ProcessWindowMessage(m_window, message, wParam, lParam, result);
      const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (IsDoubleTap(point, PanelMessageTime())) PostMessageW(m_window, WM_LBUTTONDBLCLK, wParam, lParam);
      result = 0;
      return TRUE;
    }
    case WM_CAPTURECHANGED:
      OnCaptureChangedMessage();
      return FALSE;
    case WM_WINDOWPOSCHANGED:
      result = LayoutPass(reinterpret_cast<WINDOWPOS*>(lParam));
      return TRUE;
    case WM_TODAYCUSTOM_CLEARCACHE:
      result = OnClearCache();
      return TRUE;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE:
      result = OnQueryRefreshCache(reinterpret_cast<TODAYLISTITEM*>(wParam));
      return TRUE;
    case WM_TODAYCUSTOM_RECEIVEDSELECTION:
      m_receivedSelection = TRUE;
      if (CScrollPanel* tab = GetCurrentTab()) {
        if (wParam == VK_DOWN && m_horizontal && GetViewSettings().dbgHorizontalNavigationMode >= 1) {
          CVirtualRoot::RequestFocus(tab);
          tab->SetFocus();
        }
      }
      result = 1;
      return TRUE;
    case WM_TODAYCUSTOM_LOSTSELECTION:
      CVirtualRoot::ReleaseCapture();
      CVirtualRoot::RequestFocus(nullptr);
      m_receivedSelection = FALSE;
      result = 1;
      return TRUE;
    case WM_TODAYCUSTOM_USERNAVIGATION:
      result = OnKey(static_cast<DWORD>(wParam)) ? 1 : 0;
      return TRUE;
    case WM_TODAYCUSTOM_ACTION:
      result = OnKey(VK_RETURN) ? 1 : 0;
      return TRUE;
    case TODAYM_GETCOLOR:
      result = m_window && ::GetParent(m_window) ? SendMessageW(::GetParent(m_window), message, wParam, lParam) : 0;
      return TRUE;
    case TODAYM_DRAWWATERMARK: {
      CScrollPanel* tab = GetCurrentTab();
      if (tab && tab->DrawWatermark(nullptr)) {
        result = 1;
        return TRUE;
      }
      result = m_window && ::GetParent(m_window) ? SendMessageW(::GetParent(m_window), message, wParam, lParam) : 0;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

LRESULT CTodayPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = m_window;
  WNDPROC previous = m_previous;
  // While the skin asks the Today screen for its watermark the panel stays out.
  if (CSkinColors::IsDrawingWatermark()) return CallWindowProcW(previous, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window goes: hand it back to the placeholder's procedure for its last messages.
    Detach();
    return CallWindowProcW(previous, window, message, wParam, lParam);
  }
  if (message == WM_DESTROY) {
    for (UINT_PTR id : {kLayoutTimer, kInactivityTimer, kSovelTimer, kClockTimer, kOndrelTimer}) ::KillTimer(window, id);
    m_firstActivationDone = FALSE;
    m_refocus = nullptr;
    LoadSovelItem(TRUE);
    CIconProviderRef::Clear();
    SetCharCapture(FALSE);
    if (CDesktopWrapper::Instance().GetTarget() == window) {
      CDesktopWrapper::Instance().Detach();
      CDesktopWrapper::Instance().SetTarget(nullptr);
    }
    ForgetElement(GetFocusedElement());
    DestroyTabs();
    if (IPanelDataLists* lists = GetPanelDataLists()) lists->OnPanelDestroyed();
    m_categories.reset();
    CAppletManager::Instance().OnPanelDestroying();
    ReleaseNotificationWindow(window);
  }
  LRESULT result = 0;
  if (message == WM_COPYDATA && HandleRowDumpRequest(*this, lParam, result)) return result;
  if (HandlePanelMessage(message, wParam, lParam, result)) return result;
  if (ProcessWindowMessage(window, message, wParam, lParam, result)) return result;
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) OnFocusMessage(message == WM_SETFOCUS);
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CTodayPanel::WindowProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
    return reinterpret_cast<CTodayPanel*>(panel)->HandleMessage(message, wParam, lParam);
  });
}
