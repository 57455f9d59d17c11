// The applet host as the tab host drives it, over a stub applet kind: the lists it
// keeps, the hidden window that stands in for a missing panel, the description copy.
#include "panel/AppletManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/CeDbApi.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"
#include "panel/tests/PanelTestSupport.h"

namespace {

struct Log {
  std::vector<HWND> notifyWindows;
  int closes = 0;
  int deletes = 0;
  std::vector<std::wstring> bound;
};

class StubApplet : public IApplet {
 public:
  StubApplet(Log& log, std::wstring description, BOOL contact)
      : m_log(log), m_description(std::move(description)), m_contact(contact) {}
  ~StubApplet() override { ++m_log.deletes; }
  BOOL Init(HWND host) override {
    initHost = host;
    return TRUE;
  }
  BOOL GetSize(SIZE* size) override {
    *size = {36, 36};
    return TRUE;
  }
  BOOL Paint(const RECT&, HDC) override { return TRUE; }
  BOOL OnClick(int, int) override { return TRUE; }
  LPCWSTR GetDescription() override { return m_description.c_str(); }
  BOOL GetData(BYTE* buffer, DWORD* size) override {
    const BOOL fits = *size >= 4;
    if (fits) buffer[0] = buffer[1] = buffer[2] = buffer[3] = 7;
    *size = 4;
    return fits;
  }
  BOOL HasContact() override { return m_contact; }
  void BindContact(LPCWSTR text, int) override {
    m_contact = TRUE;
    m_log.bound.push_back(text);
  }
  HWND initHost = nullptr;

 private:
  Log& m_log;
  std::wstring m_description;
  BOOL m_contact;
};

// Makes an applet from data that begins with 1; a description of the data's length.
class StubKind : public IAppletKind {
 public:
  explicit StubKind(Log& log) : m_log(log) {}
  IApplet* CreateFromData(const BYTE* data, DWORD size) override {
    if (!data || size == 0 || data[0] != 1) return nullptr;
    return new StubApplet(m_log, std::wstring(size, L'x'), size > 1 && data[1] != 0);
  }
  IApplet* CreateWithDialog(HWND) override { return nullptr; }
  HICON GetIcon() override { return nullptr; }
  void SetContactsNotifyWindow(HWND window) override { m_log.notifyWindows.push_back(window); }
  void CloseContacts() override { ++m_log.closes; }

 private:
  Log& m_log;
};

HWND MakeWindow() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
}

class AppletManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = SetAppletKind(&kind);
    host = MakeWindow();
  }
  void TearDown() override {
    SetAppletKind(previous);
    SetTodayPanel(nullptr);
    SetPanelCreated(FALSE);
    if (panelWindow) DestroyWindow(panelWindow);
    DestroyWindow(host);
  }
  IApplet* Make(std::vector<BYTE> data) {
    return manager.Create(data.data(), static_cast<DWORD>(data.size()));
  }
  // A panel that lives for the test (the library owns the object).
  void GivePanel() {
    panelWindow = MakeWindow();
    SetTodayPanel(new FakeTodayPanel(panelWindow));
    SetPanelCreated(TRUE);
  }

  Log log;
  StubKind kind{log};
  IAppletKind* previous = nullptr;
  CAppletManager manager;
  HWND host = nullptr;
  HWND panelWindow = nullptr;
};

TEST_F(AppletManagerTest, DescriptionIsCopiedOnlyWithRoomForItsZero) {
  struct Case {
    DWORD textLength;
    int bufferLength;
    bool copied;
  };
  // Equal lengths used to be copied without a terminator.
  const Case cases[] = {{3, 8, true}, {3, 4, true}, {3, 3, false}, {3, 2, false}, {3, 0, false}, {1, 1, false}};
  for (const Case& c : cases) {
    std::vector<BYTE> data(c.textLength, 0);
    data[0] = 1;
    IApplet* applet = Make(data);
    ASSERT_NE(applet, nullptr);
    wchar_t buffer[16];
    for (wchar_t& ch : buffer) ch = L'#';
    EXPECT_EQ(manager.GetDescription(applet, buffer, c.bufferLength), static_cast<int>(c.textLength));
    if (c.copied) {
      EXPECT_EQ(std::wstring(buffer), std::wstring(c.textLength, L'x')) << c.bufferLength;
    } else {
      for (wchar_t ch : buffer) EXPECT_EQ(ch, L'#') << c.bufferLength;
    }
    manager.Delete(applet);
  }
  EXPECT_EQ(manager.GetDescription(nullptr, nullptr, 4), 0);
}

TEST_F(AppletManagerTest, OnlyMadeAppletsAreKept) {
  EXPECT_EQ(Make({0, 0, 0, 0}), nullptr);
  EXPECT_EQ(manager.GetCount(), 0);
  IApplet* applet = Make({1, 0, 0, 0});
  ASSERT_NE(applet, nullptr);
  EXPECT_TRUE(manager.IsLive(applet));
  EXPECT_EQ(manager.ShowCreateDialog(host), nullptr);
  EXPECT_EQ(manager.GetCount(), 1);

  BYTE small[2] = {};
  DWORD size = sizeof small;
  EXPECT_EQ(manager.GetData(applet, small, &size), 4u);
  EXPECT_EQ(small[0], 0);
  BYTE data[4] = {};
  size = sizeof data;
  EXPECT_EQ(manager.GetData(applet, data, &size), 4u);
  EXPECT_EQ(data[3], 7);

  SetAppletKind(nullptr);
  EXPECT_EQ(Make({1, 0, 0, 0}), nullptr);
  SetAppletKind(&kind);
  manager.Delete(applet);
  EXPECT_FALSE(manager.IsLive(applet));
}

TEST_F(AppletManagerTest, WithoutPanelAHiddenWindowTakesTheContactsUntilTheLastAppletGoes) {
  IApplet* first = Make({1, 1});
  IApplet* second = Make({1, 1});
  ASSERT_TRUE(manager.Init(first, host));
  ASSERT_TRUE(manager.Init(second, host));
  HWND hidden = manager.IsAppletWindowAlive();
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(GetWindow(hidden, GW_OWNER), host);
  EXPECT_FALSE(IsWindowVisible(hidden));
  ASSERT_EQ(log.notifyWindows.size(), 1u) << "one window for every applet";
  EXPECT_EQ(log.notifyWindows[0], hidden);
  EXPECT_EQ(static_cast<StubApplet*>(first)->initHost, host);

  manager.Delete(first);
  EXPECT_EQ(manager.IsAppletWindowAlive(), hidden);
  EXPECT_EQ(manager.GetHostWindow(), host);
  EXPECT_EQ(log.closes, 0);
  manager.Delete(second);
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr);
  EXPECT_FALSE(IsWindow(hidden));
  EXPECT_EQ(log.closes, 1);
  EXPECT_EQ(manager.GetHostWindow(), nullptr);
  EXPECT_EQ(log.deletes, 2);
}

TEST_F(AppletManagerTest, WithAPanelTheContactsStayWithIt) {
  GivePanel();
  IApplet* applet = Make({1, 1});
  ASSERT_TRUE(manager.Init(applet, host));
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr);
  // The panel's own window, whether or not a tab has read the contacts yet.
  EXPECT_EQ(log.notifyWindows, std::vector<HWND>{panelWindow});
  EXPECT_EQ(manager.GetHostWindow(), host);
  manager.Delete(applet);
  EXPECT_EQ(log.closes, 0);
  EXPECT_EQ(manager.GetHostWindow(), nullptr);
}

TEST_F(AppletManagerTest, AnAppletNotKeptIsDeletedAndTheListLeftAlone) {
  IApplet* kept = Make({1, 1});
  manager.Init(kept, host);
  auto* stray = new StubApplet(log, L"", TRUE);
  EXPECT_FALSE(manager.Init(stray, host)) << "a handle we never gave out";
  manager.Delete(stray);
  EXPECT_EQ(log.deletes, 1);
  EXPECT_TRUE(manager.IsLive(kept));
  EXPECT_NE(manager.IsAppletWindowAlive(), nullptr);
  manager.Delete(kept);
}

TEST_F(AppletManagerTest, TheFirstUnboundAppletTakesTheChosenContact) {
  IApplet* bound = Make({1, 1});
  IApplet* first = Make({1, 0});
  IApplet* second = Make({1, 0});
  EXPECT_TRUE(manager.HasUnboundApplet());
  EXPECT_TRUE(manager.BindFirstUnboundApplet(L"Ada"));
  EXPECT_TRUE(first->HasContact());
  EXPECT_FALSE(second->HasContact());
  EXPECT_TRUE(manager.BindFirstUnboundApplet(L"Bo"));
  EXPECT_FALSE(manager.HasUnboundApplet());
  EXPECT_FALSE(manager.BindFirstUnboundApplet(L"Cy"));
  EXPECT_EQ(log.bound, (std::vector<std::wstring>{L"Ada", L"Bo"}));
  for (IApplet* applet : {bound, first, second}) manager.Delete(applet);
}

TEST_F(AppletManagerTest, TheHiddenWindowGoesWithItsOwner) {
  IApplet* applet = Make({1, 1});
  manager.Init(applet, host);
  ASSERT_NE(manager.IsAppletWindowAlive(), nullptr);
  DestroyWindow(host);
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr) << "forgotten, never destroyed twice";
  host = MakeWindow();
  manager.Init(applet, host);
  EXPECT_NE(manager.IsAppletWindowAlive(), nullptr) << "a new host gets a new window";
  manager.Delete(applet);
}

TEST_F(AppletManagerTest, TheHiddenWindowReadsNoForeignNotification) {
  IApplet* applet = Make({1, 1});
  manager.Init(applet, host);
  HWND hidden = manager.IsAppletWindowAlive();
  ASSERT_NE(hidden, nullptr);
  // Another program's address, a stack record, a block too small: all ignored.
  CENOTIFICATION onStack = {};
  onStack.dwSize = sizeof onStack;
  EXPECT_EQ(SendMessageW(hidden, WM_DBNOTIFICATION, 0, 0x12345678), 0);
  EXPECT_EQ(SendMessageW(hidden, WM_DBNOTIFICATION, 1, reinterpret_cast<LPARAM>(&onStack)), 0);
  EXPECT_EQ(SendMessageW(hidden, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(&onStack)), 0);
  void* tiny = HeapAlloc(GetProcessHeap(), 0, 4);
  EXPECT_EQ(SendMessageW(hidden, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(tiny)), 0);
  HeapFree(GetProcessHeap(), 0, tiny);
  EXPECT_TRUE(IsWindow(hidden));
  manager.Delete(applet);
}

}  // namespace

namespace {

// The library's exports as the tab host calls them: a handle it never gave out names
// no applet, and without the contacts folder's kind no applet is made.
TEST(AppletExports, RefuseWhatTheLibraryNeverMade) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path);
  dll = dll.substr(0, dll.rfind(L'\\')) + L"\\QelTarvo.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  ASSERT_TRUE(module);
  auto named = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
  for (const char* name : {"ArdenoAppletCreate", "ArdenoAppletShowCreateDialog", "ArdenoAppletInit",
                           "ArdenoAppletDelete", "ArdenoAppletGetIcon", "ArdenoAppletGetDescription",
                           "ArdenoAppletGetData", "ArdenoAppletGetSize", "ArdenoAppletPaint", "ArdenoAppletUpdate",
                           "ArdenoAppletOnClick"})
    EXPECT_TRUE(named(name)) << name;
  auto getDescription = reinterpret_cast<int(WINAPI*)(void*, LPWSTR, int, LPARAM)>(
      named("ArdenoAppletGetDescription"));
  auto getData = reinterpret_cast<DWORD(WINAPI*)(void*, BYTE*, DWORD*)>(named("ArdenoAppletGetData"));
  auto remove = reinterpret_cast<BOOL(WINAPI*)(void*)>(named("ArdenoAppletDelete"));
  auto update = reinterpret_cast<BOOL(WINAPI*)(void*)>(named("ArdenoAppletUpdate"));
  int stranger = 0;
  wchar_t buffer[8] = {L'#', 0};
  EXPECT_EQ(getDescription(&stranger, buffer, 8, 0), 0);
  EXPECT_EQ(buffer[0], L'#');
  BYTE data[4] = {};
  DWORD size = sizeof data;
  EXPECT_EQ(getData(&stranger, data, &size), 0u);
  EXPECT_FALSE(remove(&stranger));
  EXPECT_EQ(stranger, 0);
  EXPECT_TRUE(update(&stranger)) << "updating does nothing and says so";
  FreeLibrary(module);
}

}  // namespace

TEST_F(AppletManagerTest, ThePanelClosingHandsTheContactsToTheHiddenWindowWhileAppletsLive) {
  GivePanel();
  IApplet* applet = Make({1, 1});
  ASSERT_TRUE(manager.Init(applet, host));
  // With a panel its own window takes the notices, even before its tabs read contacts.
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr);
  EXPECT_EQ(log.notifyWindows, std::vector<HWND>{panelWindow});
  manager.OnPanelDestroying();
  HWND hidden = manager.IsAppletWindowAlive();
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(GetWindow(hidden, GW_OWNER), host);
  EXPECT_EQ(log.notifyWindows, (std::vector<HWND>{panelWindow, hidden}));
  manager.Delete(applet);
  EXPECT_FALSE(IsWindow(hidden));

  // No applets: the panel's going changes nothing.
  log.notifyWindows.clear();
  manager.OnPanelDestroying();
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr);
  EXPECT_TRUE(log.notifyWindows.empty());
}

TEST_F(AppletManagerTest, TheCreationDialogHasTheContactsWithoutAPanelOnlyWhileItRuns) {
  // The stub's dialog makes nothing: the window made for it goes again.
  EXPECT_EQ(manager.ShowCreateDialog(host), nullptr);
  ASSERT_EQ(log.notifyWindows.size(), 1u);
  EXPECT_FALSE(IsWindow(log.notifyWindows[0]));
  EXPECT_EQ(manager.IsAppletWindowAlive(), nullptr);
  EXPECT_EQ(log.closes, 1);
}
