#include "platform/ardeno/ArdenoHost.h"

#include <algorithm>

#include "platform/today/PngFile.h"

namespace {

const wchar_t kFrameClass[] = L"ArdenoFrame";
const wchar_t kPageClass[] = L"ArdenoPage";
const wchar_t kInnerClass[] = L"ArdenoInner";
const wchar_t kParentClass[] = L"ArdenoParent";
const wchar_t kAppletsClass[] = L"ArdenoApplets";
const wchar_t kHostProp[] = L"ArdenoHost";
const wchar_t kUsedSubKey[] = L"Ardeno";
const WPARAM kSettingReload = 0xF2;
const UINT kReloadMessage = WM_APP + 1;
const UINT kSwitchMessage = WM_APP + 2;
const int kGetPluginWindowOrdinal = 242;

typedef HWND(WINAPI* PFN_GET_PLUGIN_WINDOW)(LPARAM, TODAYLISTITEM*, HWND);
typedef HICON(WINAPI* PFN_GET_TAB_ICON)(LPCWSTR);

UINT SetCurrentPluginMessage() {
  static const UINT message = RegisterWindowMessageW(L"ArdenoSetCurrentPlugin");
  return message;
}

UINT UpdateAppletMessage() {
  static const UINT message = RegisterWindowMessageW(ARDENO_UPDATE_APPLET_MESSAGE);
  return message;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
  wchar_t text[MAX_PATH + 1] = {};
  DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::wstring();
  text[size / sizeof(wchar_t)] = 0;
  return text;
}

std::vector<std::wstring> SubKeys(HKEY root) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  return names;
}

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, UINT style, int background) {
  WNDCLASSW wc = {};
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background >= 0 ? GetSysColorBrush(background) : nullptr;
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t text[32] = {};
  return GetClassNameW(window, text, 32) && lstrcmpW(text, name) == 0;
}

}  // namespace

CArdenoHost::~CArdenoHost() { Destroy(); }

int CArdenoHost::Scale(int logical) const { return (logical * dpi_ + 48) / 96; }

bool CArdenoHost::Create(const ArdenoHostOptions& options) {
  options_ = options;
  RegisterClassOnce(kFrameClass, WindowProc, 0, COLOR_WINDOW);
  RegisterClassOnce(kPageClass, WindowProc, 0, -1);
  RegisterClassOnce(kInnerClass, WindowProc, 0, -1);
  RegisterClassOnce(kParentClass, WindowProc, 0, -1);
  RegisterClassOnce(kAppletsClass, WindowProc, CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW);
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;
  strip_ = Scale(20);
  const int width = options_.width > 0 ? options_.width : GetSystemMetrics(SM_CXSCREEN);
  const int height = options_.height > 0 ? options_.height : GetSystemMetrics(SM_CYSCREEN);
  frame_ = CreateWindowExW(0, kFrameClass, L"Ardeno", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!frame_) return false;
  SetPropW(frame_, kHostProp, this);
  Load();
  return true;
}

void CArdenoHost::Destroy() {
  Unload();
  if (frame_) {
    RemovePropW(frame_, kHostProp);
    DestroyWindow(frame_);
    frame_ = nullptr;
  }
}

void CArdenoHost::Reload() {
  const std::wstring shown = current_ >= 0 ? TabAt(current_).name : std::wstring();
  Unload();
  Load();
  if (!shown.empty()) SelectTab(shown);
}

void CArdenoHost::Load() {
  // The host is installed for as long as it runs: plug-ins look for this key.
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, options_.presenceKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
  indent_ = 0;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, options_.settingsKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key, L"LeftIndent", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && value < 0x1000)
      indent_ = static_cast<int>(value);
    RegCloseKey(key);
  }
  LoadPlugins();
  LoadApplets();
  if (!tabs_.empty()) SelectTab(0);
  InvalidateRect(frame_, nullptr, TRUE);
}

void CArdenoHost::LoadPlugins() {
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, options_.pluginsKey.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) return;
  for (const std::wstring& name : SubKeys(root)) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    const std::wstring dll = ReadText(key, L"DLL");
    std::wstring label = ReadText(key, L"Label");
    RegCloseKey(key);
    // An emptied library: the plug-in is shown elsewhere (inside another host's tab).
    if (dll.empty() || name.size() >= MAX_ITEMNAME) continue;
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) continue;
    auto get = reinterpret_cast<PFN_GET_PLUGIN_WINDOW>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kGetPluginWindowOrdinal))));
    if (!get) {
      FreeLibrary(module);
      continue;
    }
    auto tab = std::make_unique<Tab>();
    tab->name = name;
    tab->label = label.empty() ? name : label;
    tab->module = module;
    tab->record = new TODAYLISTITEM();
    wcsncpy(tab->record->szName, name.c_str(), MAX_ITEMNAME - 1);
    tab->record->tlit = tlitCustom;
    tab->record->fEnabled = TRUE;
    wcsncpy(tab->record->szDLLPath, dll.c_str(), MAX_PATH - 1);
    tab->record->hinstDLL = module;
    if (!MakePage(*tab)) {
      delete tab->record;
      FreeLibrary(module);
      continue;
    }
    // One window per process: every later name gets the window the first one got,
    // which moves to the page of the tab shown.
    tab->window = get(0, tab->record, tab->parent);
    if (!tab->window || !IsWindow(tab->window)) {
      DestroyWindow(tab->page);
      delete tab->record;
      FreeLibrary(module);
      continue;
    }
    tab->record->hwndCustom = tab->window;
    if (auto icon = reinterpret_cast<PFN_GET_TAB_ICON>(
            reinterpret_cast<void*>(GetProcAddress(module, "GetTabIconEx"))))
      tab->icon = icon(name.c_str());
    MarkUsed(name, dll);
    tabs_.push_back(std::move(tab));
  }
  RegCloseKey(root);
}

void CArdenoHost::MarkUsed(const std::wstring& name, const std::wstring& dll) {
  // A sub-key under the plug-in's key says the host uses it.
  HKEY key = nullptr;
  const std::wstring path = options_.pluginsKey + L"\\" + name + L"\\" + kUsedSubKey;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExW(key, L"DLL", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                 static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

bool CArdenoHost::MakePage(Tab& tab) {
  RECT client;
  GetClientRect(frame_, &client);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int width = client.right, height = client.bottom - strip_;
  if (tab.applets) {
    tab.page = CreateWindowExW(0, kAppletsClass, L"", WS_CHILD, 0, strip_, width, height, frame_, nullptr, instance,
                               nullptr);
    if (tab.page) SetPropW(tab.page, kHostProp, this);
    return tab.page != nullptr;
  }
  tab.page = CreateWindowExW(0, kPageClass, L"", WS_CHILD | WS_VSCROLL | WS_CLIPCHILDREN, 0, strip_, width, height,
                             frame_, nullptr, instance, nullptr);
  if (!tab.page) return false;
  SetPropW(tab.page, kHostProp, this);
  tab.inner = CreateWindowExW(0, kInnerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                              tab.page, nullptr, instance, nullptr);
  if (tab.inner) SetPropW(tab.inner, kHostProp, this);
  tab.parent = tab.inner ? CreateWindowExW(0, kParentClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, indent_, 0,
                                           width - indent_, height, tab.inner, nullptr, instance, nullptr)
                         : nullptr;
  if (!tab.parent) {
    DestroyWindow(tab.page);
    tab.page = nullptr;
    return false;
  }
  SetPropW(tab.parent, kHostProp, this);
  return true;
}

void CArdenoHost::LoadApplets() {
  HKEY placed = nullptr;
  const std::wstring placedPath = options_.settingsKey + L"\\Applets";
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, placedPath.c_str(), 0, KEY_READ, &placed) != ERROR_SUCCESS) return;
  auto page = std::make_unique<Tab>();
  page->name = page->label = L"Applets";
  page->applets = true;
  if (!MakePage(*page)) {
    RegCloseKey(placed);
    return;
  }
  for (const std::wstring& key : SubKeys(placed)) {
    HKEY entry = nullptr;
    if (RegOpenKeyExW(placed, key.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    Applet applet;
    applet.key = key;
    applet.kind = ReadText(entry, L"Applet");
    BYTE data[256];
    DWORD size = sizeof data, type = 0;
    const bool hasData = RegQueryValueExW(entry, L"Data", nullptr, &type, data, &size) == ERROR_SUCCESS &&
                         type == REG_BINARY;
    RegCloseKey(entry);
    HKEY kind = nullptr;
    const std::wstring kindPath = options_.appletsKey + L"\\" + applet.kind;
    if (applet.kind.empty() ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kindPath.c_str(), 0, KEY_READ, &kind) != ERROR_SUCCESS)
      continue;
    const std::wstring dll = ReadText(kind, L"DLL");
    RegCloseKey(kind);
    if (dll.empty() || !(applet.module = LoadLibraryW(dll.c_str()))) continue;
    auto create = reinterpret_cast<PFN_ARDENO_APPLET_CREATE>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletCreate")));
    auto dialog = reinterpret_cast<PFN_ARDENO_APPLET_SHOW_CREATE_DIALOG>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletShowCreateDialog")));
    auto init = reinterpret_cast<PFN_ARDENO_APPLET_INIT>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletInit")));
    if (hasData && create) {
      applet.handle = create(data, size);
    } else if (!hasData && dialog) {
      applet.handle = dialog(page->page);
    }
    if (!applet.handle || !init) {
      FreeLibrary(applet.module);
      continue;
    }
    init(applet.handle, page->page);
    RefreshDescription(applet);
    applets_.push_back(applet);
  }
  RegCloseKey(placed);
  tabs_.push_back(std::move(page));
}

void CArdenoHost::RefreshDescription(Applet& applet) {
  auto get = reinterpret_cast<PFN_ARDENO_APPLET_GET_DESCRIPTION>(
      reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletGetDescription")));
  applet.description.clear();
  if (!get) return;
  const int length = get(applet.handle, nullptr, 0, 0);
  if (length <= 0 || length > 1024) return;
  // One more than the text: the copy always has room for its zero.
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 2, L'\0');
  get(applet.handle, buffer.data(), length + 1, 0);
  buffer.back() = 0;
  applet.description = buffer.data();
}

void CArdenoHost::Unload() {
  // The applets hand back what they keep before they go.
  HKEY placed = nullptr;
  const std::wstring placedPath = options_.settingsKey + L"\\Applets";
  if (!applets_.empty() &&
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, placedPath.c_str(), 0, KEY_ALL_ACCESS, &placed) != ERROR_SUCCESS)
    placed = nullptr;
  for (Applet& applet : applets_) {
    auto getData = reinterpret_cast<PFN_ARDENO_APPLET_GET_DATA>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletGetData")));
    auto remove = reinterpret_cast<PFN_ARDENO_APPLET_DELETE>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletDelete")));
    BYTE data[256];
    DWORD size = sizeof data;
    if (placed && getData && getData(applet.handle, data, &size) && size <= sizeof data) {
      HKEY entry = nullptr;
      if (RegOpenKeyExW(placed, applet.key.c_str(), 0, KEY_ALL_ACCESS, &entry) == ERROR_SUCCESS) {
        RegSetValueExW(entry, L"Data", 0, REG_BINARY, data, size);
        RegCloseKey(entry);
      }
    }
    if (remove) remove(applet.handle);
  }
  if (placed) RegCloseKey(placed);
  // Every window goes while the code behind it is still loaded; only then the libraries.
  for (auto& tab : tabs_) {
    if (tab->window && IsWindow(tab->window)) DestroyWindow(tab->window);
    if (tab->page && IsWindow(tab->page)) DestroyWindow(tab->page);
  }
  for (auto& tab : tabs_) {
    if (tab->icon) DestroyIcon(tab->icon);
    if (tab->module) FreeLibrary(tab->module);
    if (tab->record && tab->record->prgbCachedData) LocalFree(tab->record->prgbCachedData);
    delete tab->record;
  }
  for (Applet& applet : applets_) FreeLibrary(applet.module);
  applets_.clear();
  tabs_.clear();
  current_ = -1;
}

int CArdenoHost::FindTab(const std::wstring& name) const {
  for (int i = 0; i < TabCount(); ++i)
    if (lstrcmpiW(TabAt(i).name.c_str(), name.c_str()) == 0) return i;
  return -1;
}

bool CArdenoHost::SelectTab(const std::wstring& name) { return SelectTab(FindTab(name)); }

bool CArdenoHost::SelectTab(int index) {
  if (index < 0 || index >= TabCount()) return false;
  if (current_ >= 0 && current_ != index) ShowWindow(TabAt(current_).page, SW_HIDE);
  current_ = index;
  Tab& tab = *tabs_[static_cast<size_t>(index)];
  ShowWindow(tab.page, SW_SHOW);
  if (tab.window && IsWindow(tab.window)) {
    if (GetParent(tab.window) != tab.parent) SetParent(tab.window, tab.parent);
    // Same process: the name's address is good for the send.
    SendMessageW(tab.window, SetCurrentPluginMessage(), 0, reinterpret_cast<LPARAM>(tab.name.c_str()));
  }
  LayoutCurrent();
  InvalidateRect(frame_, nullptr, TRUE);
  return true;
}

void CArdenoHost::LayoutCurrent() {
  if (current_ < 0) return;
  Tab& tab = *tabs_[static_cast<size_t>(current_)];
  if (tab.applets || !tab.window || !IsWindow(tab.window)) return;
  RECT page;
  GetClientRect(tab.page, &page);
  // The window may have come from another tab's page: ask with this tab's record.
  tab.record->hwndCustom = tab.window;
  SendMessageW(tab.window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(tab.record), 0);
  const int width = page.right - indent_;
  // Never shorter than the page; taller ones scroll.
  // A negative height reads as billions of pixels: none, as 0 would be.
  const DWORD cyp = tab.record->cyp > 0x7FFFFFFF ? 0 : std::min<DWORD>(tab.record->cyp, 0x7FFF);
  const int height = std::max(static_cast<int>(cyp), static_cast<int>(page.bottom));
  tab.contentHeight = height;
  MoveWindow(tab.inner, 0, -tab.scroll, page.right, height, FALSE);
  MoveWindow(tab.parent, indent_, 0, width, height, FALSE);
  MoveWindow(tab.window, 0, 0, width, height, TRUE);
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  // The page stays the scroll owner, its bar disabled while all fits.
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMax = height - 1;
  info.nPage = static_cast<UINT>(page.bottom);
  info.nPos = tab.scroll;
  SetScrollInfo(tab.page, SB_VERT, &info, TRUE);
}

void CArdenoHost::ScrollTo(int pos) {
  if (current_ < 0) return;
  Tab& tab = *tabs_[static_cast<size_t>(current_)];
  if (tab.applets) return;
  RECT page;
  GetClientRect(tab.page, &page);
  tab.scroll = std::max(0, std::min(pos, tab.contentHeight - static_cast<int>(page.bottom)));
  LayoutCurrent();
}

RECT CArdenoHost::CellRect(int index) const {
  RECT client = {};
  GetClientRect(frame_, &client);
  const int count = std::max(1, TabCount());
  const int width = client.right / count;
  return RECT{index * width, 0, (index + 1) * width, strip_};
}

void CArdenoHost::Tap(int x, int y) {
  if (y < strip_) {
    for (int i = 0; i < TabCount(); ++i) {
      RECT cell = CellRect(i);
      if (x >= cell.left && x < cell.right) SelectTab(i);
    }
    return;
  }
  if (current_ < 0) return;
  const Tab& tab = TabAt(current_);
  POINT point = {x, y};
  MapWindowPoints(frame_, tab.page, &point, 1);
  HWND target = tab.page;
  if (!tab.applets) {
    target = ChildWindowFromPointEx(tab.page, point, CWP_SKIPINVISIBLE);
    while (target && target != tab.page) {
      POINT inside = point;
      MapWindowPoints(tab.page, target, &inside, 1);
      HWND child = ChildWindowFromPointEx(target, inside, CWP_SKIPINVISIBLE);
      if (!child || child == target) break;
      target = child;
    }
    if (!target) return;
    MapWindowPoints(tab.page, target, &point, 1);
  }
  const LPARAM at = MAKELPARAM(point.x, point.y);
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(target, WM_LBUTTONUP, 0, at);
}

CArdenoHost::Tab* CArdenoHost::TabOf(HWND window) const {
  for (const auto& tab : tabs_)
    if (tab->page == window || tab->inner == window || tab->parent == window) return tab.get();
  return nullptr;
}

bool CArdenoHost::ReadTabName(const COPYDATASTRUCT* data, std::wstring* name) {
  if (!data || data->dwData != kCopyDataTabName || !data->lpData) return false;
  const DWORD bytes = data->cbData;
  if (bytes < 2 * sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0) return false;
  const size_t count = std::min<size_t>(bytes / sizeof(wchar_t), kMaxTabName + 1);
  const wchar_t* text = static_cast<const wchar_t*>(data->lpData);
  size_t length = 0;
  while (length < count && text[length] != 0) ++length;
  if (length == 0 || length == count) return false;
  if (name) name->assign(text, length);
  return true;
}

void CArdenoHost::PaintStrip(HDC dc) {
  RECT strip = {0, 0, 0, strip_};
  RECT client;
  GetClientRect(frame_, &client);
  strip.right = client.right;
  FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  HFONT font = CreateFontW(-Scale(10), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  for (int i = 0; i < TabCount(); ++i) {
    const Tab& tab = TabAt(i);
    RECT cell = CellRect(i);
    if (i == current_) {
      FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    int left = cell.left + Scale(2);
    if (tab.icon) {
      DrawIconEx(dc, left, (strip_ - Scale(11)) / 2, tab.icon, Scale(12), Scale(11), 0, nullptr, DI_NORMAL);
      left += Scale(14);
    }
    RECT text = {left, 0, cell.right, strip_};
    DrawTextW(dc, tab.label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  DeleteObject(font);
}

void CArdenoHost::PaintApplets(HDC dc) {
  int x = Scale(4);
  const int y = Scale(4);
  SetBkMode(dc, TRANSPARENT);
  for (Applet& applet : applets_) {
    auto getSize = reinterpret_cast<PFN_ARDENO_APPLET_GET_SIZE>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletGetSize")));
    auto paint = reinterpret_cast<PFN_ARDENO_APPLET_PAINT>(
        reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletPaint")));
    SIZE size = {Scale(36), Scale(36)};
    if (getSize) getSize(applet.handle, &size);
    size.cx = std::max(1L, std::min(size.cx, 1024L));
    size.cy = std::max(1L, std::min(size.cy, 1024L));
    applet.rect = RECT{x, y, x + size.cx, y + size.cy};
    if (paint) paint(applet.handle, &applet.rect, dc);
    RECT label = {x - Scale(2), applet.rect.bottom + Scale(2), applet.rect.right + Scale(40),
                  applet.rect.bottom + Scale(16)};
    DrawTextW(dc, applet.description.c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    x = applet.rect.right + Scale(44);
  }
}

LRESULT CALLBACK CArdenoHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = static_cast<CArdenoHost*>(GetPropW(window, kHostProp));
  if (!host) return DefWindowProcW(window, message, wParam, lParam);
  if (window == host->frame_) return host->OnFrameMessage(window, message, wParam, lParam);
  if (IsClass(window, kAppletsClass)) return host->OnAppletsMessage(window, message, wParam, lParam);
  if (Tab* tab = host->TabOf(window)) return host->OnPageMessage(*tab, window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CArdenoHost::OnFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT postedSettingChange = RegisterWindowMessageW(L"CePostedSettingChange");
  if (message == postedSettingChange) message = WM_SETTINGCHANGE;
  switch (message) {
    case WM_SETTINGCHANGE:
      if (wParam == kSettingReload && !reloadPending_) {
        // Not now: the sender may be a plug-in whose window the reload destroys.
        reloadPending_ = true;
        PostMessageW(window, kReloadMessage, 0, 0);
      }
      return 0;
    case kReloadMessage:
      reloadPending_ = false;
      Reload();
      return 0;
    case kSwitchMessage:
      SelectTab(static_cast<int>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      Tap(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintStrip(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_DESTROY:
      if (options_.quitOnClose) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CArdenoHost::OnPageMessage(Tab& tab, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TODAYM_GETCOLOR:
      if (wParam == TODAYCOLOR_HIGHLIGHT) return GetSysColor(COLOR_HIGHLIGHT);
      if (wParam == TODAYCOLOR_HIGHLIGHTEDTEXT) return GetSysColor(COLOR_HIGHLIGHTTEXT);
      return GetSysColor(COLOR_WINDOWTEXT);
    case TODAYM_DRAWWATERMARK: {
      auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lParam);
      if (!info || !info->hdc) return FALSE;
      FillRect(info->hdc, &info->rc, GetSysColorBrush(COLOR_WINDOW));
      return TRUE;
    }
    case WM_COPYDATA: {
      std::wstring name;
      if (window != tab.parent || !ReadTabName(reinterpret_cast<const COPYDATASTRUCT*>(lParam), &name)) return FALSE;
      const int index = FindTab(name);
      if (index < 0) return FALSE;
      // After the plug-in's send: the switch may move its window to another page.
      PostMessageW(frame_, kSwitchMessage, static_cast<WPARAM>(index), 0);
      return TRUE;
    }
    case WM_VSCROLL:
      if (window == tab.page) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(window, SB_VERT, &info);
        int pos = tab.scroll;
        switch (LOWORD(wParam)) {
          case SB_TOP: pos = 0; break;
          case SB_BOTTOM: pos = tab.contentHeight; break;
          case SB_LINEUP: pos -= Scale(16); break;
          case SB_LINEDOWN: pos += Scale(16); break;
          case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
          case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION: pos = info.nTrackPos; break;
        }
        ScrollTo(pos);
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, GetSysColorBrush(COLOR_WINDOW));
      return TRUE;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CArdenoHost::OnAppletsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == UpdateAppletMessage()) {
    for (Applet& applet : applets_) {
      if (applet.handle == reinterpret_cast<ARDENO_APPLET>(wParam)) {
        RefreshDescription(applet);
        InvalidateRect(window, nullptr, TRUE);
        return 1;
      }
    }
    return 0;
  }
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintApplets(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      for (Applet& applet : applets_) {
        if (!PtInRect(&applet.rect, point)) continue;
        auto click = reinterpret_cast<PFN_ARDENO_APPLET_ON_CLICK>(
            reinterpret_cast<void*>(GetProcAddress(applet.module, "ArdenoAppletOnClick")));
        if (click) click(applet.handle, point.x, point.y);
        return 0;
      }
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HBITMAP CArdenoHost::Capture() const {
  if (!frame_) return nullptr;
  RedrawWindow(frame_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect;
  GetWindowRect(frame_, &rect);
  return CaptureWindowDib(frame_, rect.right - rect.left, rect.bottom - rect.top);
}

bool CArdenoHost::SaveScreenshot(const std::wstring& path) const {
  HBITMAP shot = Capture();
  if (!shot) return false;
  const bool written = WritePngFile(path, shot);
  DeleteObject(shot);
  return written;
}
