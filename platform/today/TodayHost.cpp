#include "platform/today/TodayHost.h"

#include "platform/today/PngFile.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "platform/aygshell/aygshell.h"
#include "platform/coredll/DeviceIdentity.h"
#include "platform/coredll/ce.h"

namespace {

constexpr wchar_t kClassName[] = L"Worker";
constexpr UINT kPollTimer = 1;
constexpr UINT kReloadMessage = WM_APP + 1;
constexpr UINT kSettingReload = 0xF2;  // WM_SETTINGCHANGE code: the items changed
constexpr int kLine = 16;              // one scroll-bar arrow step

BOOL CALLBACK CollectProcessWindows(HWND window, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  return TRUE;
}

CTodayHost* HostOf(HWND hwnd) {
  // Extra window bytes, not GWLP_USERDATA: an item may subclass the top-level window
  // and keep its own pointer there.
  return reinterpret_cast<CTodayHost*>(GetWindowLongPtrW(hwnd, 0));
}

bool RegisterWorker(WNDPROC proc) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW probe;
  if (GetClassInfoW(instance, kClassName, &probe)) return true;
  WNDCLASSW wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc) != 0;
}

DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback) {
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return fallback;
  return value;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
  WCHAR text[MAX_PATH + 1] = {};
  DWORD size = sizeof(text) - sizeof(WCHAR), type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::wstring();
  return text;
}

const wchar_t* MessageName(UINT message) {
  switch (message) {
    case WM_TODAYCUSTOM_CLEARCACHE: return L"CLEARCACHE";
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: return L"QUERYREFRESHCACHE";
    case WM_TODAYCUSTOM_RECEIVEDSELECTION: return L"RECEIVEDSELECTION";
    case WM_TODAYCUSTOM_LOSTSELECTION: return L"LOSTSELECTION";
    case WM_TODAYCUSTOM_USERNAVIGATION: return L"USERNAVIGATION";
    case WM_TODAYCUSTOM_ACTION: return L"ACTION";
    case TODAYM_GETCOLOR: return L"TODAYM_GETCOLOR";
    case TODAYM_DRAWWATERMARK: return L"TODAYM_DRAWWATERMARK";
    case TODAYM_TOOKSELECTION: return L"TODAYM_TOOKSELECTION";
    default: return L"?";
  }
}

// An item that sets a negative height hands over billions of pixels in the unsigned
// field: it gets none, as it would with 0; other heights are capped at what a window takes.
int HeightOf(const TODAYLISTITEM& record) {
  if (record.cyp > 0x7FFFFFFF) return 0;
  return static_cast<int>(std::min<DWORD>(record.cyp, 0x7FFF));
}

}  // namespace

CTodayHost::~CTodayHost() { Destroy(); }

bool CTodayHost::Create(const TodayHostOptions& options) {
  if (frame_) return false;
  options_ = options;
  if (!RegisterWorker(WorkerProc)) return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  frame_ = CreateWindowExW(options_.topmost ? WS_EX_TOPMOST : 0, kClassName, L"Desktop",
                           WS_POPUP | WS_CLIPCHILDREN, options_.x, options_.y, options_.width,
                           options_.height, nullptr, nullptr, instance, nullptr);
  if (!frame_) return false;
  SetWindowLongPtrW(frame_, 0, reinterpret_cast<LONG_PTR>(this));
  RECT client;
  GetClientRect(frame_, &client);
  view_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, 0, 0,
                          client.right, client.bottom, frame_, nullptr, instance, nullptr);
  if (!view_) {
    Destroy();
    return false;
  }
  SetWindowLongPtrW(view_, 0, reinterpret_cast<LONG_PTR>(this));
  MakeBackground();
  ShowWindow(frame_, SW_SHOWNOACTIVATE);
  LoadItems();
  Layout();
  UpdateWindow(frame_);
  if (options_.pollMs) SetTimer(view_, kPollTimer, options_.pollMs, nullptr);
  return true;
}

bool CTodayHost::Rotate() {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  bool local = false;
  if (!CDeviceIdentity::Write(L"Screen", std::to_wstring(height) + L"x" + std::to_wstring(width), local))
    return false;
  Log(L"screen turned to %dx%d", height, width);
  // The Today screen is the whole screen; its WM_SIZE lays the items out again.
  if (frame_) SetWindowPos(frame_, nullptr, 0, 0, height, width, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A device of this process's own is turned for its windows only; the device's key
  // for every program on it.
  std::vector<HWND> windows;
  if (local) {
    EnumWindows(CollectProcessWindows, reinterpret_cast<LPARAM>(&windows));
  } else {
    windows.push_back(HWND_BROADCAST);
  }
  for (HWND window : windows) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  }
  return true;
}

void CTodayHost::Destroy() {
  UnloadItems();
  if (frame_) {
    SetWindowLongPtrW(view_, 0, 0);
    SetWindowLongPtrW(frame_, 0, 0);
    DestroyWindow(frame_);
  }
  frame_ = view_ = nullptr;
  if (background_) DeleteObject(background_);
  background_ = nullptr;
  backgroundBits_ = nullptr;
}

void CTodayHost::Log(const wchar_t* format, ...) {
  WCHAR line[512];
  va_list args;
  va_start(args, format);
  _vsnwprintf(line, 511, format, args);
  va_end(args);
  line[511] = 0;
  logLines_.push_back(line);
  if (options_.log) {
    std::fprintf(options_.log, "%ls\n", line);
    std::fflush(options_.log);
  }
}

std::wstring CTodayHost::NameOf(HWND window) const {
  int index = IndexOf(window);
  return index < 0 ? std::wstring(L"(not an item)") : items_[index]->key;
}

int CTodayHost::IndexOf(HWND window) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (window && items_[i]->record->hwndCustom == window) return static_cast<int>(i);
  return -1;
}

void CTodayHost::LoadItems() {
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, options_.itemsKey.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) {
    Log(L"no items: key %ls cannot be opened", options_.itemsKey.c_str());
    return;
  }
  struct Entry {
    std::wstring key, dll;
    DWORD order, options, flags, selectability;
  };
  std::vector<Entry> entries;
  for (DWORD i = 0;; ++i) {
    WCHAR name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    DWORD type = ReadDword(key, L"Type", tlitNil);
    DWORD enabled = ReadDword(key, L"Enabled", 0);
    Entry entry{name, ReadText(key, L"DLL"), ReadDword(key, L"Order", 0), ReadDword(key, L"Options", 0),
                ReadDword(key, L"Flags", 0), ReadDword(key, L"Selectability", 0)};
    RegCloseKey(key);
    if (type != tlitCustom) {
      Log(L"skip \"%ls\": type %lu is not a custom item", name, type);
    } else if (!enabled) {
      Log(L"skip \"%ls\": not enabled", name);
    } else if (entry.dll.empty()) {
      Log(L"skip \"%ls\": no DLL", name);
    } else if (entry.key.size() >= MAX_ITEMNAME) {
      Log(L"skip \"%ls\": name longer than %d characters", name, MAX_ITEMNAME - 1);
    } else {
      entries.push_back(entry);
    }
  }
  RegCloseKey(root);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.order < b.order; });

  for (const Entry& entry : entries) {
    auto item = std::make_unique<Item>();
    item->key = entry.key;
    item->selectability = entry.selectability;
    item->record = new TODAYLISTITEM();
    TODAYLISTITEM& r = *item->record;
    wcsncpy(r.szName, entry.key.c_str(), MAX_ITEMNAME - 1);
    r.tlit = tlitCustom;
    r.dwOrder = entry.order;
    r.fEnabled = TRUE;
    r.fOptions = entry.options != 0;
    r.grfFlags = entry.flags;
    wcsncpy(r.szDLLPath, entry.dll.c_str(), MAX_PATH - 1);
    LoadItem(std::move(item), entry.dll);
  }
}

bool CTodayHost::LoadItem(std::unique_ptr<Item> item, const std::wstring& dll) {
  const wchar_t* name = item->key.c_str();
  HMODULE module = LoadLibraryW(dll.c_str());
  if (!module) {
    Log(L"skip \"%ls\": cannot load %ls (error %lu)", name, dll.c_str(), GetLastError());
    delete item->record;
    return false;
  }
  auto initialize = reinterpret_cast<PFNCUSTOMINITIALIZEITEM>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(TODAY_ORDINAL_INITIALIZE))));
  if (!initialize) {
    Log(L"skip \"%ls\": %ls has no ordinal %d", name, dll.c_str(), TODAY_ORDINAL_INITIALIZE);
    FreeLibrary(module);
    delete item->record;
    return false;
  }
  item->record->hinstDLL = module;
  Log(L"load \"%ls\" from %ls", name, dll.c_str());
  HWND window = initialize(item->record, view_);
  SyncCachedData(*item);
  if (!window || !IsWindow(window)) {
    Log(L"skip \"%ls\": ordinal %d returned no window", name, TODAY_ORDINAL_INITIALIZE);
    if (item->record->prgbCachedData) LocalFree(item->record->prgbCachedData);
    FreeLibrary(module);
    delete item->record;
    return false;
  }
  item->record->hwndCustom = window;
  Item& loaded = *item;
  items_.push_back(std::move(item));
  SendToItem(loaded, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(loaded.record), 0);
  SendToItem(loaded, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(loaded.record), 0);
  return true;
}

void CTodayHost::FreeItem(Item& item) {
  TODAYLISTITEM* r = item.record;
  // The window goes while its code is still loaded; the DLL's detach runs afterwards.
  if (r->hwndCustom && IsWindow(r->hwndCustom)) DestroyWindow(r->hwndCustom);
  r->hwndCustom = nullptr;
  if (r->hinstDLL) FreeLibrary(r->hinstDLL);
  if (r->prgbCachedData) LocalFree(r->prgbCachedData);
  delete r;
  item.record = nullptr;
}

void CTodayHost::UnloadItems() {
  std::vector<std::unique_ptr<Item>> items;
  items.swap(items_);
  selected_ = -1;
  for (auto& item : items) {
    Log(L"unload \"%ls\"", item->key.c_str());
    FreeItem(*item);
  }
}

void CTodayHost::Reload() {
  reloadPending_ = false;
  Log(L"reload");
  UnloadItems();
  scroll_ = 0;
  LoadItems();
  Layout();
  if (view_) InvalidateRect(view_, nullptr, TRUE);
}

LRESULT CTodayHost::SendToItem(Item& item, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = item.record->hwndCustom;
  std::wstring key = item.key;  // the item may be gone when the message returns
  LRESULT result = SendMessageW(window, message, wParam, lParam);
  Log(L"send %ls %ls (0x%X) wParam 0x%IX -> %Id", key.c_str(), MessageName(message), message, wParam, result);
  for (auto& live : items_)
    if (live.get() == &item) SyncCachedData(item);
  return result;
}

void CTodayHost::SyncCachedData(Item& item) {
  TODAYLISTITEM& r = *item.record;
  if (r.cbCachedData == item.cachedAllocated) return;
  if (r.cbCachedData == 0) {
    if (r.prgbCachedData) LocalFree(r.prgbCachedData);
    r.prgbCachedData = nullptr;
  } else {
    BYTE* grown = static_cast<BYTE*>(LocalAlloc(LPTR, r.cbCachedData));
    if (!grown) {
      r.cbCachedData = item.cachedAllocated;  // keep what the item has
      return;
    }
    if (r.prgbCachedData) {
      memcpy(grown, r.prgbCachedData, std::min(r.cbCachedData, item.cachedAllocated));
      LocalFree(r.prgbCachedData);
    }
    r.prgbCachedData = grown;
  }
  item.cachedAllocated = r.cbCachedData;
}

void CTodayHost::Poll() {
  bool changed = false;
  for (size_t i = 0; i < items_.size(); ++i) {
    Item& item = *items_[i];
    if (SendToItem(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(item.record), 0))
      changed = true;
    if (i >= items_.size() || items_[i].get() != &item) return;  // the screen reloaded meanwhile
  }
  if (changed) Layout();
}

void CTodayHost::Layout() {
  if (!view_) return;
  RECT client;
  GetClientRect(view_, &client);
  int y = 0;
  for (auto& item : items_) {
    item->top = y;
    y += HeightOf(*item->record);
  }
  total_ = y;
  int maxScroll = std::max(0, total_ - static_cast<int>(client.bottom));
  scroll_ = std::max(0, std::min(scroll_, maxScroll));
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, total_ - 1),
                   static_cast<UINT>(client.bottom), scroll_, 0};
  SetScrollInfo(view_, SB_VERT, &si, TRUE);
  GetClientRect(view_, &client);  // the scroll bar may have come or gone
  for (auto& item : items_) {
    HWND window = item->record->hwndCustom;
    MoveWindow(window, 0, item->top - scroll_, client.right, HeightOf(*item->record), TRUE);
    UpdateWindow(window);
  }
}

void CTodayHost::ScrollTo(int pos) {
  scroll_ = pos;
  Layout();
  InvalidateRect(view_, nullptr, TRUE);
}

void CTodayHost::ScrollIntoView(int index) {
  if (index < 0 || !view_) return;
  RECT client;
  GetClientRect(view_, &client);
  const Item& item = *items_[index];
  int height = HeightOf(*item.record);
  if (item.top < scroll_)
    ScrollTo(item.top);
  else if (item.top + height > scroll_ + client.bottom)
    ScrollTo(item.top + height - client.bottom);
}

void CTodayHost::Select(int index, UINT vk) {
  if (index == selected_) return;
  int old = selected_;
  selected_ = index;
  if (old >= 0 && old < static_cast<int>(items_.size()))
    SendToItem(*items_[old], WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
  if (index >= 0) {
    SendToItem(*items_[index], WM_TODAYCUSTOM_RECEIVEDSELECTION, vk, 0);
    ScrollIntoView(index);
  }
}

void CTodayHost::OnKey(UINT vk) {
  if (selected_ >= 0 && selected_ < static_cast<int>(items_.size())) {
    Item& item = *items_[selected_];
    HWND window = item.record->hwndCustom;
    if (vk == VK_RETURN) {
      if (item.selectability == TODAY_SELECTABILITY_CUSTOMSELECTION) {
        SendToItem(item, WM_TODAYCUSTOM_ACTION, vk, 0);
      } else if (item.selectability == TODAY_SELECTABILITY_SELECTABLE) {
        // A plainly selectable item is acted on as if it were tapped.
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
      }
      return;
    }
    if (item.selectability == TODAY_SELECTABILITY_CUSTOMSELECTION &&
        SendToItem(item, WM_TODAYCUSTOM_USERNAVIGATION, vk, 0))
      return;
  }
  int step = 0;
  if (vk == VK_DOWN) step = 1;
  if (vk == VK_UP) step = -1;
  if (!step) return;
  int count = static_cast<int>(items_.size());
  int i = selected_ < 0 ? (step > 0 ? 0 : count - 1) : selected_ + step;
  for (; i >= 0 && i < count; i += step) {
    if (items_[i]->selectability != TODAY_SELECTABILITY_NOTSELECTABLE) {
      Select(i, vk);
      return;
    }
  }
}

INT_PTR CTodayHost::ShowOptions(size_t index) {
  if (index >= items_.size()) return -1;
  TODAYLISTITEM& r = *items_[index]->record;
  if (!r.fOptions) return -1;
  auto proc = reinterpret_cast<DLGPROC>(
      reinterpret_cast<void*>(GetProcAddress(r.hinstDLL, MAKEINTRESOURCEA(TODAY_ORDINAL_OPTIONS))));
  if (!proc) {
    Log(L"options \"%ls\": no ordinal %d", items_[index]->key.c_str(), TODAY_ORDINAL_OPTIONS);
    return -1;
  }
  Log(L"options \"%ls\"", items_[index]->key.c_str());
  return DialogBoxParamW(r.hinstDLL, MAKEINTRESOURCEW(IDD_TODAY_CUSTOM), frame_, proc,
                         reinterpret_cast<LPARAM>(&r));
}

COLORREF CTodayHost::Color(WPARAM code) const {
  switch (code) {
    case TODAYCOLOR_HIGHLIGHT: return RGB(0x1C, 0x5A, 0xB4);
    case TODAYCOLOR_HIGHLIGHTEDTEXT: return RGB(0xFF, 0xFF, 0xFF);
    case TODAYCOLOR_TEXT:
    default: return RGB(0, 0, 0);
  }
}

void CTodayHost::MakeBackground() {
  RECT client;
  GetClientRect(view_, &client);
  int width = std::max<LONG>(1, client.right), height = std::max<LONG>(1, client.bottom);
  // Wide enough for the view without its scroll bar.
  RECT frameClient;
  GetClientRect(frame_, &frameClient);
  width = std::max<int>(width, frameClient.right);
  if (background_) DeleteObject(background_);
  background_ = CreateTopDownDib(width, height, &backgroundBits_);
  if (!background_) return;
  backgroundWidth_ = width;
  backgroundHeight_ = height;
  DWORD* pixels = static_cast<DWORD*>(backgroundBits_);
  // The default theme: a soft blue fading to white.
  for (int y = 0; y < height; ++y) {
    int t = height > 1 ? y * 255 / (height - 1) : 0;
    DWORD r = 0xC8 + (0xFF - 0xC8) * t / 255, g = 0xDC + (0xFF - 0xDC) * t / 255, b = 0xFF;
    for (int x = 0; x < width; ++x) pixels[y * width + x] = (r << 16) | (g << 8) | b;
  }
  if (options_.watermark.empty()) return;
  HBITMAP image = SHLoadImageFile(options_.watermark.c_str());
  if (!image) {
    Log(L"watermark %ls cannot be read: gradient instead", options_.watermark.c_str());
    return;
  }
  BITMAP info;
  GetObjectW(image, sizeof(info), &info);
  HDC source = CreateCompatibleDC(nullptr), target = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSource = SelectObject(source, image), oldTarget = SelectObject(target, background_);
  SetStretchBltMode(target, HALFTONE);
  StretchBlt(target, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteDC(source);
  DeleteDC(target);
  DeleteObject(image);
  GdiFlush();
}

void CTodayHost::DrawBackground(HDC dc, const RECT& target, int x, int y) const {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, background_);
  BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, memory, x, y, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

COLORREF CTodayHost::BackgroundPixel(int x, int y) const {
  if (!backgroundBits_ || x < 0 || y < 0 || x >= backgroundWidth_ || y >= backgroundHeight_) return CLR_INVALID;
  DWORD p = static_cast<const DWORD*>(backgroundBits_)[y * backgroundWidth_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

HBITMAP CTodayHost::Capture() const {
  if (!frame_) return nullptr;
  RedrawWindow(frame_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect;
  GetWindowRect(frame_, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HBITMAP shot = CaptureWindowDib(frame_, width, height);
  if (!shot) return nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, shot);
  // The device's screen also shows what lies over the Today screen: the popups and
  // boxes its items open (a date picker, a menu) are drawn in their own windows. Those
  // of this program go over it from the lowest up, so that a picture shows what a user
  // would see and where the keys go.
  std::vector<HWND> above;
  for (HWND w = GetWindow(frame_, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) above.push_back(w);
  for (HWND w : above) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    RECT r;
    if (process != GetCurrentProcessId() || !IsWindowVisible(w) || !GetWindowRect(w, &r)) continue;
    RECT overlap;
    if (!IntersectRect(&overlap, &r, &rect)) continue;
    RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDCEx(w, nullptr, DCX_WINDOW | DCX_CACHE);
    if (!dc) continue;
    BitBlt(memory, r.left - rect.left, r.top - rect.top, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
    ReleaseDC(w, dc);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  GdiFlush();
  return shot;
}

LRESULT CALLBACK CTodayHost::WorkerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Both windows are of the one class "Worker": the top-level one is the desktop.
  CTodayHost* host = HostOf(hwnd);
  if (!host) return DefWindowProcW(hwnd, message, wParam, lParam);
  return hwnd == host->frame_ ? host->OnFrameMessage(hwnd, message, wParam, lParam)
                              : host->OnViewMessage(hwnd, message, wParam, lParam);
}

LRESULT CTodayHost::OnFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // A setting change someone posted (coredll.dll carries it under this name).
  static const UINT postedSettingChange = RegisterWindowMessageW(L"CePostedSettingChange");
  if (message == postedSettingChange) message = WM_SETTINGCHANGE;
  switch (message) {
    case WM_SETTINGCHANGE:
      if (wParam == kSettingReload) {
        Log(L"received WM_SETTINGCHANGE 0x%X", kSettingReload);
        // Not now: the sender may be an item whose window the reload destroys.
        if (!reloadPending_) {
          reloadPending_ = true;
          PostMessageW(hwnd, kReloadMessage, 0, 0);
        }
        return 0;
      }
      break;
    case kReloadMessage:
      if (reloadPending_) Reload();
      return 0;
    case TODAYM_GETCOLOR:
      Log(L"received %ls 0x%IX", MessageName(message), wParam);
      return Color(wParam);
    case WM_KEYDOWN:
      OnKey(static_cast<UINT>(wParam));
      return 0;
    case WM_SIZE:
      if (view_) {
        MoveWindow(view_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        MakeBackground();
        for (auto& item : items_)
          SendToItem(*item, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(item->record), 0);
        Poll();
        Layout();
        // The background follows the screen's height: all of it is drawn again, not
        // only what the new size uncovered.
        RedrawWindow(view_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      return 0;
    case WM_CLOSE:
      if (options_.quitOnClose) PostQuitMessage(0);
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CTodayHost::OnViewMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      DrawBackground(dc, ps.rcPaint, ps.rcPaint.left, ps.rcPaint.top);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case TODAYM_DRAWWATERMARK: {
      auto* info = reinterpret_cast<const TODAYDRAWWATERMARKINFO*>(lParam);
      if (!info || !info->hdc) return FALSE;
      Log(L"received TODAYM_DRAWWATERMARK from %ls", NameOf(info->hwnd).c_str());
      // The background stays put behind scrolling items: map into the view's client space.
      RECT rc = info->rc;
      if (info->hwnd) MapWindowPoints(info->hwnd, hwnd, reinterpret_cast<POINT*>(&rc), 2);
      DrawBackground(info->hdc, info->rc, rc.left, rc.top);
      return TRUE;
    }
    case TODAYM_GETCOLOR:
      Log(L"received %ls 0x%IX", MessageName(message), wParam);
      return Color(wParam);
    case TODAYM_TOOKSELECTION: {
      int index = IndexOf(reinterpret_cast<HWND>(wParam));
      if (index < 0) index = IndexOf(reinterpret_cast<HWND>(lParam));
      Log(L"received TODAYM_TOOKSELECTION from %ls", index < 0 ? L"(not an item)" : items_[index]->key.c_str());
      if (index >= 0 && index != selected_) {
        if (selected_ >= 0) SendToItem(*items_[selected_], WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
        selected_ = index;
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kPollTimer) {
        Poll();
        return 0;
      }
      break;
    case WM_KEYDOWN:
      OnKey(static_cast<UINT>(wParam));
      return 0;
    case WM_VSCROLL: {
      RECT client;
      GetClientRect(hwnd, &client);
      int pos = scroll_;
      switch (LOWORD(wParam)) {
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = total_; break;
        case SB_LINEUP: pos -= kLine; break;
        case SB_LINEDOWN: pos += kLine; break;
        case SB_PAGEUP: pos -= client.bottom; break;
        case SB_PAGEDOWN: pos += client.bottom; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = HIWORD(wParam); break;
        default: return 0;
      }
      ScrollTo(pos);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
