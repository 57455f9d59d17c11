#include "panel/PreWindow.h"

#include <climits>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "panel/FaultGuard.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"
#include "platform/windowlib/Module.h"

namespace {

UINT g_activateTab = 0xFFFFFFFF;
UINT g_setCurrentPlugin = 0xFFFFFFFF;
UINT g_updateSettings = 0xFFFFFFFF;
PFN_MAKE_TODAY_PANEL g_makePanel = MakeTodayPanel;
// The record the host gave with the window: the only one the height query writes.
TODAYLISTITEM* g_item = nullptr;

void RegisterMessages() {
  g_setCurrentPlugin = RegisterWindowMessageW(L"ArdenoSetCurrentPlugin");
  g_activateTab = RegisterWindowMessageW(L"QelTarvoActivateTab");
  g_updateSettings = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
}

// A logical height in pixels, as the screen's scaling does, but in 64 bits: the
// registry may hold any number, and no product may wrap around.
int ScaleHeight(int logical) {
  const long long magnitude = logical < 0 ? -static_cast<long long>(logical) : logical;
  const long long scaled = (magnitude * GetScreenDpiY() + 48) / 96;
  if (logical < 0) return 0;
  return scaled > INT_MAX ? INT_MAX : static_cast<int>(scaled);
}

int CountBits(DWORD bits) {
  int n = 0;
  for (; bits; bits &= bits - 1) ++n;
  return n;
}

// In the tab host the whole panel is at least as high as its tab strip needs.
int TabHostFloor(HWND window, CRegKey& product) {
  int tabs = CountBits(product.GetDWORD(L"ShowTabs", 0x3F) & 0x3F);
  CString customPath(TARVO_PRODUCT_KEY);
  customPath += L"\\CustomTabs";
  CRegKey custom(HKEY_LOCAL_MACHINE, customPath, FALSE, FALSE);
  CString name;
  if (custom.IsOpen())
    for (BOOL more = custom.EnumFirstSubKey(name); more; more = custom.EnumNextSubKey(name)) ++tabs;
  // The strip is never narrower than three tabs, so it always takes room.
  if (tabs < 3) tabs = 3;
  RECT own = {}, parent = {};
  if (window) GetWindowRect(window, &own);
  HWND parentWindow = window ? GetParent(window) : nullptr;
  if (parentWindow) GetWindowRect(parentWindow, &parent);
  return ScaleY(20) - (own.top - parent.top);
}

LRESULT PreWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    SetPanelCreated(FALSE);
    if (GetPreWindowHandle() == window) {
      SetPreWindowHandle(nullptr);
      g_item = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    // The item's last message: the host is about to free the library or to build
    // the item anew; either way the start-up is undone here, outside the loader lock.
    LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    StopPlugin();
    return result;
  }
  if (IsPanelCreated()) return DefWindowProcW(window, message, wParam, lParam);
  if (message == g_activateTab) {
    if (!CreateTodayPanel(window)) return 0;
    return GetTodayPanel()->OnActivateTab(wParam, 1);
  }
  if (message == g_setCurrentPlugin) {
    if (!CreateTodayPanel(window)) return 0;
    return GetTodayPanel()->OnSetCurrentPlugin(wParam, lParam);
  }
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, create ? reinterpret_cast<LONG_PTR>(create->lpCreateParams) : 0);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      TODAYDRAWWATERMARKINFO info = {dc, {}, window};
      GetClientRect(window, &info.rc);
      HWND parent = GetParent(window);
      if (dc && parent) SendMessageW(parent, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info));
      EndPaint(window, &paint);
      CreateTodayPanel(window);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_TODAYCUSTOM_CLEARCACHE:
      return 0;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
      // Anyone may send this message; only the host's own record is ever touched.
      auto* item = reinterpret_cast<TODAYLISTITEM*>(wParam);
      if (!item || item != g_item || item->cyp != 0) return 0;
      item->cyp = static_cast<DWORD>(GetItemHeight());
      return 1;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

PFN_MAKE_TODAY_PANEL SetTodayPanelMaker(PFN_MAKE_TODAY_PANEL maker) {
  PFN_MAKE_TODAY_PANEL previous = g_makePanel;
  g_makePanel = maker ? maker : MakeTodayPanel;
  return previous;
}

TODAYLISTITEM* GetPreWindowItem() { return g_item; }

UINT GetActivateTabMessage() { return g_activateTab; }
UINT GetSetCurrentPluginMessage() { return g_setCurrentPlugin; }
UINT GetUpdateSettingsMessage() { return g_updateSettings; }

LRESULT CALLBACK PreWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedCall<LRESULT>(0, [&] { return PreWindowMessage(window, message, wParam, lParam); });
}

HWND CreatePreWindow(TODAYLISTITEM* item, HWND parent, int mode) {
  if (!item || !item->fEnabled) return nullptr;
  HINSTANCE instance = GetModule().GetModuleInstance();
  // Left from an earlier load of the library; refused while its window lives.
  UnregisterClassW(TARVO_PRE_WINDOW_CLASS, instance);
  HWND existing = GetPreWindowHandle();
  if (existing && IsWindow(existing)) {
    item->hwndCustom = existing;
    g_item = item;
    return existing;
  }
  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PreWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = TARVO_PRE_WINDOW_CLASS;
  RegisterClassW(&wc);
  RegisterMessages();
  item->cyp = 0;
  item->prgbCachedData = nullptr;
  item->cbCachedData = 0;
  HWND window = CreateWindowExW(0, TARVO_PRE_WINDOW_CLASS, TARVO_PRE_WINDOW_TITLE, WS_CHILD | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), 0, parent, nullptr, instance,
                                reinterpret_cast<LPVOID>(static_cast<INT_PTR>(mode)));
  item->hwndCustom = window;
  g_item = window ? item : nullptr;
  SetPreWindowHandle(window);
  return window;
}

int GetItemHeight() {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const bool landscape = GetSystemMetrics(SM_CXSCREEN) > GetSystemMetrics(SM_CYSCREEN);
  const int total = static_cast<int>(product.GetDWORD(landscape ? L"TotalHeightL" : L"TotalHeight", 120));
  int height = static_cast<int>(product.GetDWORD(landscape ? L"LastAutoSizeL" : L"LastAutoSize", 0xFFFFFFFF));
  // A height is vertical: it scales with the vertical dpi.
  if (product.GetDWORD(L"AutoSizeAdjust", 1) != 1 || height < 1) height = ScaleHeight(total);
  HWND window = GetPreWindowHandle();
  if (window && GetWindowLongPtrW(window, GWLP_USERDATA) == 1 && product.GetDWORD(L"AllTabsInArdeno", 1) != 0) {
    const int floor = TabHostFloor(window, product);
    if (height < floor) height = floor;
  }
  // The Today screen takes the height unsigned: a negative one would be a huge item.
  return height < 0 ? 0 : height;
}

BOOL CreateTodayPanel(HWND window) {
  EnsurePluginInitialized();
  SetTodayPanel(nullptr);
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const int mode = static_cast<int>(GetWindowLongPtrW(window, GWLP_USERDATA));
  CTodayPanelBase* panel = g_makePanel(mode);
  if (!panel) return FALSE;
  SetTodayPanel(panel);
  try {
    if (!panel->Attach(window)) {
      SetTodayPanel(nullptr);
      return FALSE;
    }
    panel->OnCreate();
    RECT rect = {};
    GetWindowRect(window, &rect);
    HWND parent = GetParent(window);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    WINDOWPOS position = {window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0x244};
    panel->OnWindowPosChanged(&position);
  } catch (...) {
    // A panel that failed half-way gives the window back to the placeholder,
    // which keeps answering the Today screen.
    SetTodayPanel(nullptr);
    return FALSE;
  }
  SetPanelCreated(TRUE);
  return TRUE;
}
