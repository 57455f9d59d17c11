// The library as the Today screen and the tab host load it: QelTarvo.dll itself,
// its exports by ordinal, its life from load to unload.
#include "panel/Plugin.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/ControlFonts.h"
#include "graphics/FontCache.h"
#include "panel/Registration.h"
#include "panel/TodayItemInfo.h"
#include "panel/tests/PanelTestSupport.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/today/TodayHost.h"
#include "platform/today/todaycmn.h"

namespace {

typedef HWND(WINAPI* PFN_TAB_HOST_WINDOW)(LPARAM, TODAYLISTITEM*, HWND);
typedef HICON(WINAPI* PFN_TAB_ICON)(LPCWSTR);

std::wstring BinFolder() {
  CString dir;
  GetModuleDirPath(dir);
  return std::wstring(dir);
}

// An empty folder of this process: an install folder without the resource library.
struct EmptyFolder {
  EmptyFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path = std::wstring(temp) + L"no_resources_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path.c_str(), nullptr);
  }
  ~EmptyFolder() { RemoveDirectoryW(path.c_str()); }
  std::wstring path;
};

// The Today screen's view for the item: a top-level window that draws no watermark.
struct View {
  View() {
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  }
  ~View() { DestroyWindow(window); }
  HWND window;
};

// QelTarvo.dll loaded in this process with its install folder given.
struct Library {
  explicit Library(const std::wstring& install) : machine(L"library") {
    machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.c_str());
    module = LoadLibraryW((BinFolder() + L"\\QelTarvo.dll").c_str());
  }
  ~Library() {
    if (module) FreeLibrary(module);
  }
  template <typename F>
  F Ordinal(int ordinal) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
  }
  template <typename F>
  F Named(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  HICON TabIcon(LPCWSTR name) const { return Named<PFN_TAB_ICON>("GetTabIconEx")(name); }
  CLocalMachineSandbox machine;
  HMODULE module;
};

SIZE IconSize(HICON icon) {
  ICONINFO info = {};
  SIZE size = {0, 0};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  BITMAP bitmap = {};
  GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  size.cx = bitmap.bmWidth;
  size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return size;
}

int DeviceDpiY() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(PluginLibrary, ExportsTheTodayEntriesByOrdinalOnly) {
  Library library(BinFolder());
  ASSERT_TRUE(library.module);
  for (int ordinal : {240, 241, 242}) EXPECT_TRUE(library.Ordinal<FARPROC>(ordinal)) << ordinal;
  for (const char* name : {"InitializeCustomItem", "CustomItemOptionsDlgProc", "GetPluginWindow"})
    EXPECT_FALSE(library.Named<FARPROC>(name)) << name;
  for (const char* name : {"GetTabIconEx", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_TRUE(library.Named<FARPROC>(name)) << name;
  EXPECT_TRUE(FindResourceW(library.module, MAKEINTRESOURCEW(IDD_TODAY_CUSTOM), MAKEINTRESOURCEW(5)));
  for (int icon : {128, 124}) EXPECT_TRUE(FindResourceW(library.module, MAKEINTRESOURCEW(icon), MAKEINTRESOURCEW(14)));
}

TEST(PluginLibrary, FromPlaceholderToPanelToUnload) {
  View view;
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  {
    Library library(BinFolder());
    ASSERT_TRUE(library.module);
    instance = library.module;
    auto initialize = library.Ordinal<PFNCUSTOMINITIALIZEITEM>(TODAY_ORDINAL_INITIALIZE);
    TODAYLISTITEM item = {};
    item.fEnabled = TRUE;
    window = initialize(&item, view.window);
    ASSERT_TRUE(window);
    EXPECT_EQ(item.hwndCustom, window);
    // The tab host asking before the panel exists gets the same placeholder.
    auto hostWindow = library.Ordinal<PFN_TAB_HOST_WINDOW>(242);
    EXPECT_EQ(hostWindow(0, &item, view.window), window);
    EXPECT_EQ(hostWindow(0, &item, view.window), window);
    EXPECT_EQ(SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item), 0), 1);
    EXPECT_EQ(static_cast<int>(item.cyp), (120 * DeviceDpiY() + 48) / 96);

    const LONG_PTR placeholderProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    SetWindowPos(window, nullptr, 0, 0, 240, static_cast<int>(item.cyp), SWP_NOZORDER);
    ShowWindow(view.window, SW_SHOWNA);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), placeholderProc) << "the panel took the window";
    EXPECT_EQ(hostWindow(0, &item, view.window), window) << "now as the panel's window";

    // With the resource library: each tab's own icon at 12 x 11 logical pixels.
    HICON icon = library.TabIcon(L"tarvotasks");
    ASSERT_TRUE(icon);
    const int dpi = DeviceDpiY();
    EXPECT_EQ(IconSize(icon).cx, (12 * dpi + 48) / 96);
    EXPECT_EQ(IconSize(icon).cy, (11 * dpi + 48) / 96);
    DestroyIcon(icon);
    // The host destroys the window before it frees the library.
    DestroyWindow(window);
  }
  EXPECT_FALSE(GetModuleHandleW(L"QelTarvo.dll"));
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  EXPECT_FALSE(GetClassInfoExW(instance, L"Qel_Tarvo_PreWindow", &wc)) << "no class outlives the library";
}

TEST(PluginLibrary, UnloadWithThePanelStillShowingClosesIt) {
  View view;
  HWND window = nullptr;
  {
    Library library(BinFolder());
    ASSERT_TRUE(library.module);
    TODAYLISTITEM item = {};
    item.fEnabled = TRUE;
    window = library.Ordinal<PFNCUSTOMINITIALIZEITEM>(TODAY_ORDINAL_INITIALIZE)(&item, view.window);
    ASSERT_TRUE(window);
    SetWindowPos(window, nullptr, 0, 0, 240, 60, SWP_NOZORDER);
    ShowWindow(view.window, SW_SHOWNA);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST(PluginLibrary, WithoutTheResourceLibraryThePanelShowsItsOwnIcon) {
  EmptyFolder empty;
  View view;
  Library library(empty.path);
  ASSERT_TRUE(library.module);
  // No panel yet: the tab's icon is asked of the library itself, which has none.
  EXPECT_EQ(library.TabIcon(L"TarvoTasks"), nullptr);
  HICON generic = library.TabIcon(L"TarvoAll");
  EXPECT_TRUE(generic);
  DestroyIcon(generic);
  TODAYLISTITEM item = {};
  item.fEnabled = TRUE;
  HWND window = library.Ordinal<PFNCUSTOMINITIALIZEITEM>(TODAY_ORDINAL_INITIALIZE)(&item, view.window);
  ASSERT_TRUE(window);
  SetWindowPos(window, nullptr, 0, 0, 240, 60, SWP_NOZORDER);
  ShowWindow(view.window, SW_SHOWNA);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // A panel without resources: every tab shows the generic icon.
  HICON icon = library.TabIcon(L"TarvoTasks");
  EXPECT_TRUE(icon);
  DestroyIcon(icon);
  DestroyWindow(window);
}

// An install folder holding only the resource library: every tab is made, and nothing
// the panel would start (the item-operations program) is there to start.
struct ResourcesOnlyFolder : EmptyFolder {
  ResourcesOnlyFolder() {
    library = path + L"\\TarvoRes.Dll";
    copied = CopyFileW((BinFolder() + L"\\TarvoRes.Dll").c_str(), library.c_str(), FALSE) != FALSE;
  }
  ~ResourcesOnlyFolder() { DeleteFileW(library.c_str()); }
  std::wstring library;
  bool copied = false;
};

// Every message of the thread dispatched until the given time has passed or done() holds.
void Pump(DWORD milliseconds, const std::function<bool()>& done,
          const std::function<void(const MSG&)>& seen = [](const MSG&) {}) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds && !done()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      seen(msg);
      DispatchMessageW(&msg);
    }
  }
}

// The library as the one item of the Today screen stand-in, its install folder holding
// only the resource library; Start waits for the first paint to make the panel.
struct PluginOnToday {
  PluginOnToday() : machine(L"plugin_on_today") {
    machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", install.path.c_str());
    CRegistryView entry =
        machine.Key((std::wstring(L"Software\\Microsoft\\Today\\Items\\") + TARVO_TODAY_ITEM_NAME).c_str());
    entry.WriteString(L"DLL", (BinFolder() + L"\\QelTarvo.dll").c_str());
    entry.WriteDWORD(L"Type", 4);
    entry.WriteDWORD(L"Enabled", 1);
    entry.WriteDWORD(L"Options", 1);
  }
  ~PluginOnToday() { host.Destroy(); }
  void Start(UINT pollMs) {
    ASSERT_TRUE(install.copied);
    ASSERT_TRUE(machine.Redirected());
    TodayHostOptions options;
    options.pollMs = pollMs;
    ASSERT_TRUE(host.Create(options));
    ASSERT_EQ(host.ItemCount(), 1u);
    window = host.ItemAt(0).record->hwndCustom;
    ASSERT_TRUE(window);
    // Only the panel answers the finance program's notice (with 1), not the placeholder.
    const UINT panelOnly = RegisterWindowMessageW(L"QelPellam_ScheduledChanged");
    Pump(5000, [&] { return SendMessageW(window, panelOnly, 0, 0) == 1; });
    ASSERT_EQ(SendMessageW(window, panelOnly, 0, 0), 1) << "the first paint made the panel";
  }
  // The height the Today screen gives the item, and the item window's own.
  int ItemHeight() const { return static_cast<int>(host.ItemAt(0).record->cyp); }
  int WindowHeight() const {
    RECT r;
    GetWindowRect(window, &r);
    return static_cast<int>(r.bottom - r.top);
  }
  std::string Log() const {
    std::string out;
    for (const std::wstring& line : host.LogLines()) out += std::string(line.begin(), line.end()) + "\n";
    return out;
  }
  ResourcesOnlyFolder install;
  CLocalMachineSandbox machine;
  CTodayHost host;
  HWND window = nullptr;
};

// The Today screen shows the panel all day: at rest its timers wake the device at most
// once a second on average, and the one-shot ones are gone once they have done their work.
TEST(PluginLibrary, AtRestThePanelsTimersFireSeldomAndTheOneShotsEnd) {
  PluginOnToday today;
  // The Today screen stand-in asks its items every two seconds, as the device's does.
  today.Start(2000);
  if (HasFatalFailure()) return;
  const HWND window = today.window;
  CTodayHost& host = today.host;
  // Ten seconds at rest; the panel's and its controls' timers counted.
  int fired = 0;
  std::map<std::string, int> byTimer;
  Pump(10000, [] { return false; }, [&](const MSG& msg) {
    if (msg.message == WM_TIMER && (msg.hwnd == window || (msg.hwnd && IsChild(window, msg.hwnd)))) {
      ++fired;
      const INT_PTR id = static_cast<INT_PTR>(msg.wParam);
      ++byTimer[id < 0 ? std::to_string(id) : "a control's"];
    }
  });
  std::string fires;
  for (const auto& timer : byTimer) fires += " " + timer.first + ": " + std::to_string(timer.second);
  EXPECT_LE(fired, 10) << "timer messages in ten seconds at rest," << fires;
  EXPECT_GE(fired, 1) << "the clock still runs";
  // Left running: the clock (the day and minute checks) and the inactivity timeout.
  // The layout fix, the forecast item's load and the start of the item-operations
  // program have each run once: no timer of theirs is left to fire again.
  for (UINT_PTR id : {static_cast<UINT_PTR>(-15), static_cast<UINT_PTR>(-11), static_cast<UINT_PTR>(-14)})
    EXPECT_FALSE(KillTimer(window, id)) << static_cast<INT_PTR>(id);
  EXPECT_TRUE(KillTimer(window, static_cast<UINT_PTR>(-13))) << "the clock";
  host.Destroy();
}

// With automatic height the panel fills the Today screen below it, and keeps that height
// through the options program's settings message, with or without rebuilt tabs: on the
// desktop with every tab, and on the emulated Pocket PC with the Calendar alone.
TEST(PluginLibrary, OnTheTodayScreenThePanelFillsTheScreenAndKeepsIt) {
  struct Case {
    const char* what;
    bool pocketPc;
    DWORD showTabs;
  };
  const Case cases[] = {{"every tab on the desktop", false, 0x3F}, {"the Calendar on a Pocket PC", true, 32}};
  for (const Case& c : cases) {
    CDeviceSwitch device;
    if (c.pocketPc) {
      device.Set(L"PlatformType", L"PocketPC");
      device.Set(L"Version", L"5.1");
      device.Set(L"Dpi", L"96");
      device.Set(L"Screen", L"240x320");
    }
    PluginOnToday today;
    today.machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"ShowTabs", c.showTabs);
    today.Start(500);
    if (HasFatalFailure()) return;
    RECT view;
    GetClientRect(today.host.View(), &view);
    const int unit = (DeviceDpiY() + 48) / 96;
    auto filled = [&] {
      return today.ItemHeight() >= view.bottom - unit && today.ItemHeight() <= view.bottom &&
             today.WindowHeight() == today.ItemHeight();
    };
    Pump(8000, filled);
    EXPECT_TRUE(filled()) << c.what << ": item " << today.ItemHeight() << ", window " << today.WindowHeight()
                          << "\n" << today.Log();
    const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
    for (LPARAM rebuild : {0, 1}) {
      PostMessageW(today.window, update, 0, rebuild);
      Pump(3000, [] { return false; });
      EXPECT_TRUE(filled()) << c.what << ", after the settings message, rebuild " << rebuild << ": item "
                            << today.ItemHeight() << ", window " << today.WindowHeight() << "\n" << today.Log();
    }
  }
}

// The installer's way: regsvr32 under Wine, in and out, leaving nothing behind.
TEST(PluginLibrary, Regsvr32RegistersAndUnregisters) {
  const std::wstring dll = L"\"" + BinFolder() + L"\\QelTarvo.dll\"";
  const std::wstring itemKey = std::wstring(TODAY_ITEMS_KEY) + L"\\" + TARVO_TODAY_ITEM_NAME;
  CRegistryView item(HKEY_LOCAL_MACHINE, itemKey);
  CRegistryView korvel(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Korvel\\Shared");
  const bool sharedBefore = korvel.Exists();
  ASSERT_EQ(RunProgram(L"regsvr32.exe /s " + dll), 0u);
  std::wstring text;
  EXPECT_TRUE(item.ReadString(L"DLL", text));
  EXPECT_EQ(text, L"\\Windows\\QelTarvo.dll");
  EXPECT_TRUE(CRegistryView(HKEY_LOCAL_MACHINE, std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\TarvoAll").Exists());
  ASSERT_EQ(RunProgram(L"regsvr32.exe /s /u " + dll), 0u);
  EXPECT_FALSE(item.Exists());
  EXPECT_FALSE(CRegistryView(HKEY_LOCAL_MACHINE, std::wstring(TARVO_TAB_PLUGINS_KEY) + L"\\TarvoAll").Exists());
  EXPECT_FALSE(CRegistryView(HKEY_LOCAL_MACHINE, std::wstring(TARVO_TAB_APPLETS_KEY)).Exists());
  EXPECT_EQ(korvel.Exists(), sharedBefore);
}

std::vector<std::wstring> g_launched;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_launched.push_back(std::wstring(info->lpFile) + L"|" + (info->lpParameters ? info->lpParameters : L""));
  return TRUE;
}

TEST(PluginShell, OptionsDialogStartsTheOptionsProgramAndEnds) {
  CLocalMachineSandbox machine(L"options");
  ASSERT_TRUE(machine.Redirected());
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", L"\\Program Files\\Qel Tarvo");
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(RecordLaunch);
  g_launched.clear();
  HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(OptionsDialogProc(dialog, WM_PAINT, 0, 0));
  EXPECT_TRUE(g_launched.empty());
  EXPECT_TRUE(OptionsDialogProc(dialog, WM_INITDIALOG, 0, 0));
  EXPECT_EQ(g_launched, std::vector<std::wstring>{L"\\Program Files\\Qel Tarvo\\TarvoSettings.exe|"});
  DestroyWindow(dialog);
  SetProgramLauncher(previous);
}

TEST(PluginShell, TabIconNamesAndSizes) {
  struct Case {
    const wchar_t* name;
    UINT id;
  };
  const Case cases[] = {{L"TarvoCalendar", 147}, {L"tarvotasks", 146},  {L"TARVOCONTACTS", 148},
                        {L"TarvoNotes", 149},    {L"TarvoMessages", 216}, {L"TarvoSpecial", 143},
                        {L"TarvoAll", 128},      {L"", 128},            {nullptr, 128}};
  for (const Case& c : cases) EXPECT_EQ(GetTabIconResourceId(c.name), c.id) << (c.name ? c.name : L"(null)");
  CLocalMachineSandbox machine(L"tab_icons");
  ASSERT_TRUE(machine.Redirected());
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
  for (int dpi : {96, 192}) {
    SetScreenDpi(dpi, dpi);
    HICON icon = GetTabIcon(L"TarvoNotes");
    SIZE size = IconSize(icon);
    EXPECT_EQ(size.cx, dpi / 8) << dpi;
    EXPECT_EQ(size.cy, dpi == 96 ? 11 : 22) << dpi;
    if (icon) DestroyIcon(icon);
  }
  SetScreenDpi(0, 0);
  ShutdownPlugin();
}

// Every row, header and popup draws with the process's font cache: the plug-in makes
// it at start-up, so the list text follows the user's size and the screen's dpi
// rather than the stock font, and takes it away when it stops.
TEST(PluginShell, StartUpMakesTheListFontsForTheScreen) {
  CLocalMachineSandbox machine(L"plugin_fonts");
  ASSERT_TRUE(machine.Redirected());
  machine.Key(TARVO_INSTALL_KEY).WriteString(L"InstallDir", BinFolder().c_str());
  machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"UseSystem", 0);
  machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"FontHeight", 12);
  for (int dpi : {96, 192}) {
    SetScreenDpi(dpi, dpi);
    ASSERT_TRUE(EnsurePluginInitialized());
    ASSERT_TRUE(GetFontCache()) << dpi;
    HFONT list = GetControlListFont();
    ASSERT_NE(list, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    LOGFONTW font = {};
    ASSERT_TRUE(GetObjectW(list, sizeof font, &font));
    EXPECT_EQ(font.lfHeight, CFontCache::ScaleListHeight(12)) << dpi;
    EXPECT_EQ(font.lfHeight, dpi == 96 ? 12 : 23) << dpi;
    StopPlugin();
    EXPECT_FALSE(GetFontCache()) << dpi;
  }
  SetScreenDpi(0, 0);
}

}  // namespace
