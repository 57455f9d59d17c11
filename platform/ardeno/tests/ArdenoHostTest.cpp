// The tab host as plug-ins see it: the keys another program wrote, the windows the
// plug-in is nested in, its tab chosen both ways, applets through their exports.
#include "platform/ardeno/ArdenoHost.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "base/tests/RegistrySandbox.h"
#include "platform/tests/ByteMutator.h"

namespace {

std::wstring BinFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\'));
}

// reg.exe, another program, writes where this process's machine keys now live.
DWORD Reg(const std::wstring& arguments) {
  std::wstring line = L"reg.exe " + arguments + L" /f";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return static_cast<DWORD>(-1);
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round)
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

const wchar_t* const kPerTab[] = {L"TarvoCalendar", L"TarvoTasks",    L"TarvoContacts",
                                  L"TarvoNotes",    L"TarvoMessages", L"TarvoSpecial"};

// The machine keys of this process in a sandbox of the user's keys, which reg.exe
// reaches by its real path.
struct Machine {
  explicit Machine(const wchar_t* name) : sandbox(name) {}
  std::wstring RegPath(const std::wstring& machinePath) const {
    return L"\"HKCU\\" + std::wstring(sandbox.Key(machinePath.c_str()).Path()) + L"\"";
  }
  void AddPlugin(const wchar_t* name) const {
    const std::wstring key = RegPath(std::wstring(L"SOFTWARE\\Korvel\\Shared\\TabPlugins\\") + name);
    ASSERT_EQ(Reg(L"add " + key + L" /v DLL /d \"" + BinFolder() + L"\\QelTarvo.dll\""), 0u);
    ASSERT_EQ(Reg(L"add " + key + L" /v Label /d " + name), 0u);
    ASSERT_EQ(Reg(L"add " + key + L" /v Name3.0 /d " + name), 0u);
  }
  CRegistryView Key(const wchar_t* path) const { return sandbox.Key(path); }
  CLocalMachineSandbox sandbox;
};

// The plug-in's install folder: the resource library lies beside it.
void Install(const Machine& machine) {
  machine.Key(L"SOFTWARE\\Apps\\Qel Tarvo").WriteString(L"InstallDir", BinFolder().c_str());
}

struct Case {
  const wchar_t* bytes;  // as UTF-16 units; sizes in bytes below
  DWORD size;
  ULONG_PTR kind;
  const wchar_t* name;  // null: refused
};

TEST(ArdenoHostCopyData, TakesOnlyATerminatedNameOfItsKind) {
  static const wchar_t tasks[] = L"TarvoTasks";
  static const wchar_t unterminated[] = {L'T', L'a', L'b'};
  static const wchar_t empty[] = {0, 0};
  static const wchar_t early[] = {L'A', 0, L'B', 0};
  const Case cases[] = {
      {tasks, sizeof tasks, 2324, L"TarvoTasks"},
      {tasks, sizeof tasks - 2, 2324, nullptr},  // the zero left out of the data
      {tasks, sizeof tasks - 1, 2324, nullptr},  // half a character
      {tasks, sizeof tasks, 2325, nullptr},
      {unterminated, sizeof unterminated, 2324, nullptr},
      {empty, sizeof empty, 2324, nullptr},
      {early, sizeof early, 2324, L"A"},
      {nullptr, 8, 2324, nullptr},
      {tasks, 0, 2324, nullptr},
  };
  for (const Case& c : cases) {
    COPYDATASTRUCT data = {c.kind, c.size, const_cast<wchar_t*>(c.bytes)};
    std::wstring name;
    EXPECT_EQ(CArdenoHost::ReadTabName(&data, &name), c.name != nullptr) << c.size << " " << c.kind;
    if (c.name) {
      EXPECT_EQ(name, c.name);
    }
  }
  EXPECT_FALSE(CArdenoHost::ReadTabName(nullptr, nullptr));
  // A name longer than any tab's is refused even when terminated.
  std::wstring longName(CArdenoHost::kMaxTabName + 1, L'x');
  COPYDATASTRUCT data = {2324, static_cast<DWORD>((longName.size() + 1) * sizeof(wchar_t)), &longName[0]};
  EXPECT_FALSE(CArdenoHost::ReadTabName(&data, nullptr));
}

// Any bytes: the reader stays inside the data and any name it takes is terminated there.
TEST(ArdenoHostCopyData, FuzzedDataIsReadWithinItsSize) {
  fixtures::ByteMutator mutator(2324);
  const std::wstring tab = L"TarvoCalendar";
  std::vector<wchar_t> seed(tab.begin(), tab.end());
  seed.push_back(0);
  const std::vector<std::vector<wchar_t>> ends = {{0}};
  for (int round = 0; round < 4000; ++round) {
    std::vector<wchar_t> bytes = mutator.Edit(seed, 4, ends);
    if (bytes.empty()) bytes.push_back(L'x');
    // Exactly the data's size on the heap: a read beyond it would leave the block.
    DWORD size = static_cast<DWORD>(bytes.size() * sizeof(wchar_t)) - static_cast<DWORD>(mutator.Below(2));
    std::vector<BYTE> block(reinterpret_cast<BYTE*>(bytes.data()), reinterpret_cast<BYTE*>(bytes.data()) + size);
    COPYDATASTRUCT data = {2324, size, block.empty() ? nullptr : block.data()};
    std::wstring name;
    if (CArdenoHost::ReadTabName(&data, &name)) {
      ASSERT_FALSE(name.empty());
      ASSERT_LT((name.size() + 1) * sizeof(wchar_t), static_cast<size_t>(size) + 1);
      ASSERT_EQ(name.find(L'\0'), std::wstring::npos);
      ASSERT_EQ(std::wmemcmp(name.c_str(), reinterpret_cast<const wchar_t*>(block.data()), name.size()), 0);
    }
  }
}

// The panel as the host's frame shows it, row by row.
std::vector<DWORD> PanelPixels(const CArdenoHost& host, HWND panel) {
  std::vector<DWORD> pixels;
  HBITMAP shot = host.Capture();
  if (!shot) return pixels;
  RECT frame, at;
  GetWindowRect(host.Frame(), &frame);
  GetWindowRect(panel, &at);
  OffsetRect(&at, -frame.left, -frame.top);
  BITMAP info = {};
  GetObjectW(shot, sizeof info, &info);
  const RECT whole = {0, 0, info.bmWidth, info.bmHeight};
  IntersectRect(&at, &at, &whole);
  if (info.bmBits && info.bmBitsPixel == 32 && !IsRectEmpty(&at)) {
    const BYTE* bits = static_cast<const BYTE*>(info.bmBits);
    for (int y = at.top; y < at.bottom; ++y) {
      const DWORD* row = reinterpret_cast<const DWORD*>(bits + static_cast<size_t>(y) * info.bmWidthBytes);
      pixels.insert(pixels.end(), row + at.left, row + at.right);
    }
  }
  DeleteObject(shot);
  return pixels;
}

class ArdenoHostWithPlugin : public ::testing::Test {
 protected:
  void TearDown() override {
    host.Destroy();
    EXPECT_EQ(GetModuleHandleW(L"QelTarvo.dll"), nullptr) << "every library freed";
  }
  ArdenoHostOptions Options() {
    ArdenoHostOptions options;
    options.width = 240;
    options.height = 320;
    return options;
  }
  CArdenoHost host;
};

TEST_F(ArdenoHostWithPlugin, WholePanelInOneTabNestedAsThePluginExpects) {
  Machine machine(L"ardeno_whole");
  ASSERT_TRUE(machine.sandbox.Redirected());
  Install(machine);
  machine.AddPlugin(L"TarvoAll");
  ASSERT_EQ(Reg(L"add " + machine.RegPath(L"SOFTWARE\\Korvel\\Ardeno\\3") + L" /v LeftIndent /t REG_DWORD /d 3"), 0u);
  ASSERT_TRUE(host.Create(Options()));
  Pump();
  ASSERT_EQ(host.TabCount(), 1);
  const CArdenoHost::Tab& tab = host.TabAt(0);
  EXPECT_EQ(tab.name, L"TarvoAll");
  EXPECT_EQ(host.Current(), 0);
  ASSERT_TRUE(IsWindow(tab.window));
  // The plug-in looks two levels above its parent for the scrolling page.
  EXPECT_EQ(GetParent(tab.window), tab.parent);
  EXPECT_EQ(GetParent(GetParent(GetParent(tab.parent))), host.Frame());
  EXPECT_EQ(GetParent(GetParent(tab.parent)), tab.page);
  RECT inner, parent;
  GetWindowRect(tab.inner, &inner);
  GetWindowRect(tab.parent, &parent);
  EXPECT_EQ(parent.left - inner.left, 3) << "the host's indent";
  EXPECT_TRUE(GetWindowLongW(tab.page, GWL_STYLE) & WS_VSCROLL) << "a scroll owner even when all fits";
  // Asked for its tab, the placeholder became the panel, sized to at least the page.
  EXPECT_NE(GetWindowLongPtrW(tab.window, GWLP_WNDPROC), GetClassLongPtrW(tab.window, GCLP_WNDPROC))
      << "the panel took the placeholder's window";
  RECT page, panel;
  GetClientRect(tab.page, &page);
  GetWindowRect(tab.window, &panel);
  EXPECT_GE(panel.bottom - panel.top, page.bottom);
  EXPECT_TRUE(tab.icon) << "the plug-in's tab icon";
  // Both the page and the parent answer the Today colour and background requests.
  for (HWND window : {tab.page, tab.parent}) {
    HDC dc = GetDC(window);
    TODAYDRAWWATERMARKINFO info = {dc, {0, 0, 4, 4}, window};
    EXPECT_TRUE(SendMessageW(window, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info)));
    ReleaseDC(window, dc);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(window, TODAYM_GETCOLOR, TODAYCOLOR_HIGHLIGHT, 0)),
              GetSysColor(COLOR_HIGHLIGHT));
  }
  // The host says it is installed and that it uses the plug-in.
  EXPECT_TRUE(machine.Key(L"SOFTWARE\\Korvel\\Ardeno 2").Exists());
  std::wstring dll;
  EXPECT_TRUE(machine.Key(L"SOFTWARE\\Korvel\\Shared\\TabPlugins\\TarvoAll\\Ardeno").ReadString(L"DLL", dll));
  EXPECT_EQ(dll, BinFolder() + L"\\QelTarvo.dll");

  // A setting change 0xF2 reloads once the sender is done: windows first, then libraries.
  HWND window = tab.window;
  SendMessageW(host.Frame(), WM_SETTINGCHANGE, 0xF2, 0);
  EXPECT_TRUE(IsWindow(window)) << "not while the sender waits";
  Pump();
  EXPECT_FALSE(IsWindow(window)) << "the old window went with its library";
  ASSERT_EQ(host.TabCount(), 1);
  EXPECT_TRUE(IsWindow(host.TabAt(0).window));
}

TEST_F(ArdenoHostWithPlugin, OneTabPerPluginNameShareTheOnePanel) {
  Machine machine(L"ardeno_per_tab");
  ASSERT_TRUE(machine.sandbox.Redirected());
  Install(machine);
  machine.Key(L"Software\\Korvel\\Qel Tarvo").WriteDWORD(L"AllTabsInArdeno", 0);
  for (const wchar_t* name : kPerTab) machine.AddPlugin(name);
  // A plug-in shown inside another host's tab has its library emptied: no tab here.
  ASSERT_EQ(Reg(L"add " + machine.RegPath(L"SOFTWARE\\Korvel\\Shared\\TabPlugins\\Elsewhere") + L" /v DLL /d \"\""),
            0u);
  ASSERT_TRUE(host.Create(Options()));
  Pump();
  ASSERT_EQ(host.TabCount(), 6);
  const HWND panel = host.TabAt(0).window;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(host.TabAt(i).window, panel) << "one panel per process";
    EXPECT_GE(host.FindTab(kPerTab[i]), 0) << i;
  }
  const CRegistryView product = machine.Key(L"Software\\Korvel\\Qel Tarvo");
  auto shownTab = [&] {
    DWORD id = 0;
    product.ReadDWORD(L"last_panel", id);
    return static_cast<int>(id);
  };
  // The user's choice in the strip moves the panel to that tab's page, and the panel
  // shows that tab; every tab looks like itself.
  std::vector<std::vector<DWORD>> looks;
  for (int i = 0; i < 6; ++i) {
    const int index = host.FindTab(kPerTab[i]);
    const RECT cell = host.CellRect(index);
    host.Tap((cell.left + cell.right) / 2, host.StripHeight() / 2);
    Pump();
    EXPECT_EQ(host.Current(), index) << i;
    EXPECT_EQ(GetParent(panel), host.TabAt(index).parent) << i;
    EXPECT_TRUE(IsWindowVisible(host.TabAt(index).page)) << i;
    EXPECT_EQ(shownTab(), i + 1) << "the panel's own tab for " << i;
    looks.push_back(PanelPixels(host, panel));
    ASSERT_FALSE(looks.back().empty()) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(looks[static_cast<size_t>(j)], looks.back()) << j << " and " << i;
  }
  const int tasks = host.FindTab(L"TarvoTasks");
  EXPECT_TRUE(host.SelectTab(tasks));
  EXPECT_FALSE(IsWindowVisible(host.TabAt(host.FindTab(L"TarvoNotes")).page));
  EXPECT_EQ(PanelPixels(host, panel), looks[1]) << "the tasks tab as before";

  // The panel brings a tab forward itself: its copy-data names the host's tab, and the
  // host's choice comes back to the panel.
  SendMessageW(panel, RegisterWindowMessageW(L"QelTarvoActivateTab"), L'1', 0);
  Pump();
  const int calendar = host.FindTab(L"TarvoCalendar");
  EXPECT_EQ(host.Current(), calendar);
  EXPECT_EQ(GetParent(panel), host.TabAt(calendar).parent);
  EXPECT_EQ(shownTab(), 1);
  EXPECT_EQ(PanelPixels(host, panel), looks[0]);

  // Copy-data of any other shape changes nothing and harms nothing.
  std::mt19937 random(33);
  for (int round = 0; round < 300; ++round) {
    std::vector<BYTE> bytes(random() % 40);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 4 ? random() : 0);
    COPYDATASTRUCT data = {round % 2 ? 2324u : random() % 4000, static_cast<DWORD>(bytes.size()),
                           bytes.empty() ? nullptr : bytes.data()};
    SendMessageW(host.TabAt(calendar).parent, WM_COPYDATA, reinterpret_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(&data));
  }
  Pump();
  EXPECT_EQ(host.Current(), calendar);
  EXPECT_TRUE(IsWindow(panel));
}

TEST(ArdenoHostApplets, MadeDrawnTappedAndSavedThroughTheirExports) {
  Machine machine(L"ardeno_applets");
  ASSERT_TRUE(machine.sandbox.Redirected());
  const std::wstring dll = BinFolder() + L"\\ArdenoTestApplet.dll";
  ASSERT_EQ(Reg(L"add " + machine.RegPath(L"SOFTWARE\\Korvel\\Shared\\TabApplets\\TestApplet") + L" /v DLL /d \"" +
                dll + L"\""),
            0u);
  const std::wstring placed = L"SOFTWARE\\Korvel\\Ardeno\\3\\Applets\\";
  // Saved data, none (the creation dialog), data the kind refuses, a kind not installed.
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"0") + L" /v Applet /d TestApplet"), 0u);
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"0") + L" /v Data /t REG_BINARY /d 07000000"), 0u);
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"1") + L" /v Applet /d TestApplet"), 0u);
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"2") + L" /v Applet /d TestApplet"), 0u);
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"2") + L" /v Data /t REG_BINARY /d 070000"), 0u);
  ASSERT_EQ(Reg(L"add " + machine.RegPath(placed + L"3") + L" /v Applet /d Missing"), 0u);

  HMODULE library = LoadLibraryW(dll.c_str());
  ASSERT_TRUE(library);
  auto takeLog = reinterpret_cast<BOOL(WINAPI*)(LPWSTR, int)>(
      reinterpret_cast<void*>(GetProcAddress(library, "TestAppletTakeLog")));
  wchar_t log[1024];
  takeLog(log, 1024);
  {
    CArdenoHost host;
    ArdenoHostOptions options;
    options.width = 240;
    options.height = 320;
    ASSERT_TRUE(host.Create(options));
    ASSERT_EQ(host.AppletCount(), 2);
    EXPECT_EQ(host.AppletAt(0).description, L"Number 7, 0 taps");
    EXPECT_EQ(host.AppletAt(1).description, L"Number 0, 0 taps");
    takeLog(log, 1024);
    EXPECT_STREQ(log, L"create 4\ninit\ndialog\ninit\ncreate 3\n");
    ASSERT_TRUE(host.SelectTab(L"Applets"));
    RedrawWindow(host.Frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const RECT at = host.AppletAt(0).rect;
    ASSERT_GT(at.right, at.left) << "painted at its size";
    host.Tap(at.left + 2, host.StripHeight() + at.top + 2);
    EXPECT_EQ(host.AppletAt(0).description, L"Number 7, 1 taps") << "the applet's update message";
    takeLog(log, 1024);
    EXPECT_STREQ(log, (L"click " + std::to_wstring(at.left + 2) + L" " + std::to_wstring(at.top + 2) + L"\n").c_str());
  }
  takeLog(log, 1024);
  EXPECT_STREQ(log, L"delete\ndelete\n");
  // What each applet keeps is written back; the dialog's applet now has data too.
  DWORD type = 0;
  std::wstring bytes;
  ASSERT_TRUE(machine.Key((placed + L"1").c_str()).Read(L"Data", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(bytes.size() * sizeof(wchar_t), 4u);
  FreeLibrary(library);
}

}  // namespace
