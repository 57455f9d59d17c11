#include "settings/shell/MainWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/RegKey.h"
#include "settings/shell/AboutDlg.h"
#include "settings/shell/SettingsFile.h"
#include "settings/shell/UserPrompt.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

// The person at the dialogs: the file they choose and the answer they give.
struct CScriptedUser {
  std::wstring file;
  BOOL chooses = TRUE;
  int answer = IDYES;
  std::vector<std::wstring> messages;
  std::vector<UINT> types;
  std::vector<DWORD> dialogFlags;
  std::vector<std::wstring> filters;
};
CScriptedUser* g_user = nullptr;

int AnswerMessage(HWND, LPCWSTR text, LPCWSTR, UINT type) {
  g_user->messages.push_back(text);
  g_user->types.push_back(type);
  return (type & MB_TYPEMASK) == MB_YESNO ? g_user->answer : IDOK;
}

BOOL ChooseFile(OPENFILENAMEW* dialog, BOOL) {
  g_user->dialogFlags.push_back(dialog->Flags);
  // The filter is a list of zero-ended texts ending in an empty one.
  std::wstring filter;
  for (LPCWSTR at = dialog->lpstrFilter; *at; at += wcslen(at) + 1) filter += std::wstring(at) + L"|";
  g_user->filters.push_back(filter);
  if (!g_user->chooses) return FALSE;
  lstrcpynW(dialog->lpstrFile, g_user->file.c_str(), dialog->nMaxFile);
  return TRUE;
}

class MainWndCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    g_user = &m_user;
    m_previousBox = SetMessageBoxHandler(AnswerMessage);
    m_previousDialog = SetFileDialogHandler(ChooseFile);
    WCHAR folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    m_user.file = std::wstring(folder) + L"command-" + std::to_wstring(GetCurrentProcessId()) + L".dias";
    RECT rect = {0, 0, 240, 320};
    ASSERT_NE(m_window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
  }
  void TearDown() override {
    m_window.DestroyWindow();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    SetMessageBoxHandler(m_previousBox);
    SetFileDialogHandler(m_previousDialog);
    DeleteFileW(m_user.file.c_str());
    g_user = nullptr;
  }
  void Command(WORD id) { SendMessageW(m_window, WM_COMMAND, id, 0); }

  CLocalMachineSandbox m_machine{L"MainWndCommand"};
  CRegistryView m_product = m_machine.Key(TARVO_PRODUCT_KEY);
  CScriptedUser m_user;
  CMainWnd m_window;
  PFN_MESSAGE_BOX m_previousBox = nullptr;
  PFN_FILE_DIALOG m_previousDialog = nullptr;
};

TEST_F(MainWndCommandTest, ExportThenConfirmedImportRestoresAndMarksTheSettingsChanged) {
  m_product.WriteString(L"Skin", L"Ocean");
  m_product.WriteString(L"Version", L"2.0");
  Command(ID_EXPORT_SETTINGS);
  EXPECT_TRUE(m_user.messages.empty());
  m_product.Delete();
  EXPECT_FALSE(m_window.IsChanged());
  Command(ID_IMPORT_SETTINGS);
  ASSERT_EQ(m_user.messages.size(), 1u);  // the question, with the path in it
  EXPECT_NE(m_user.messages[0].find(m_user.file), std::wstring::npos);
  EXPECT_EQ(m_user.types[0], static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  std::wstring skin;
  EXPECT_TRUE(m_product.ReadString(L"Skin", skin));
  EXPECT_EQ(skin, L"Ocean");
  EXPECT_FALSE(m_product.Has(L"Version"));
  EXPECT_TRUE(m_window.IsChanged());
  ASSERT_EQ(m_user.dialogFlags.size(), 2u);
  EXPECT_TRUE(m_user.dialogFlags[0] & OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(m_user.dialogFlags[1] & OFN_FILEMUSTEXIST);
  // The second half of the filter is the pattern.
  EXPECT_NE(m_user.filters[0].find(L"(*.dias)|*.dias|"), std::wstring::npos);
}

TEST_F(MainWndCommandTest, ImportAnsweredNoOrCancelledWritesNothing) {
  m_product.WriteString(L"Skin", L"Ocean");
  Command(ID_EXPORT_SETTINGS);
  m_product.WriteString(L"Skin", L"Forest");
  m_user.answer = IDNO;
  Command(ID_IMPORT_SETTINGS);
  m_user.chooses = FALSE;
  Command(ID_IMPORT_SETTINGS);
  std::wstring skin;
  EXPECT_TRUE(m_product.ReadString(L"Skin", skin));
  EXPECT_EQ(skin, L"Forest");
  EXPECT_FALSE(m_window.IsChanged());
}

TEST_F(MainWndCommandTest, FailuresAreToldWithTheirOwnMessages) {
  // No product key (the window made it when it was created): nothing to export.
  m_product.Delete();
  Command(ID_EXPORT_SETTINGS);
  ASSERT_EQ(m_user.messages.size(), 1u);
  EXPECT_EQ(m_user.messages[0], SETTINGS_EXPORT_ERROR_TEXT);
  EXPECT_EQ(m_user.types[0], static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(GetFileAttributesW(m_user.file.c_str()), INVALID_FILE_ATTRIBUTES);

  // A file aimed at another program's key.
  std::vector<BYTE> foreign = {0, 0, 0, 0, 2, 0, 0, 0x80, 4, 0, 0, 0, 'X', 0, 'Y', 0, 2, 0, 0, 0, 0, 0, 0, 0,
                               3, 0, 0, 0, 1, 0, 0, 0};
  HANDLE file = CreateFileW(m_user.file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, foreign.data(), static_cast<DWORD>(foreign.size()), &written, nullptr);
  CloseHandle(file);
  m_user.messages.clear();
  Command(ID_IMPORT_SETTINGS);
  ASSERT_EQ(m_user.messages.size(), 2u);
  EXPECT_EQ(m_user.messages[1], GetImportErrorText(kImportForeignKey));
  EXPECT_FALSE(m_machine.Key(L"XY").Exists());
}

TEST_F(MainWndCommandTest, HandedOverCommandLineBecomesRequests) {
  SettingsHandOver record = {};
  wcscpy(record.text, L"-p3:2");
  record.length = 5;
  COPYDATASTRUCT data = {kSettingsHandOverKind, sizeof(record), &record};
  EXPECT_EQ(SendMessageW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  data.cbData = sizeof(record) - 1;
  EXPECT_EQ(SendMessageW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
  EXPECT_EQ(TakeRequests(m_window), (std::vector<std::pair<int, int>>{{3, 2}}));
}

}  // namespace

namespace {


TEST_F(MainWndCommandTest, ResourceLibraryHoldsWhatTheProgramLoads) {
  CProductResources resources;
  ASSERT_NE(resources.Module(), nullptr);
  for (UINT id : {32838u, 174u, 175u, 40017u}) {
    WCHAR text[256] = L"";
    EXPECT_GT(LoadStringW(resources.Module(), id, text, 256), 0) << id;
    if (id == 40017) {
      EXPECT_NE(wcsstr(text, L"%s"), nullptr);
    }
  }
  for (UINT id : {125u, 203u}) {
    HMENU menu = LoadMenuW(resources.Module(), MAKEINTRESOURCEW(id));
    EXPECT_NE(menu, nullptr) << id;
    if (menu) DestroyMenu(menu);
  }
}

TEST_F(MainWndCommandTest, ControlEExportsThroughTheAcceleratorTable) {
  CProductResources resources;
  CMainWnd window;
  RECT rect = {0, 0, 240, 320};
  ASSERT_NE(window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
  m_product.WriteString(L"Skin", L"Ocean");
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE saved[256];
  memcpy(saved, keys, sizeof saved);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  MSG press = {};
  press.hwnd = window;
  press.message = WM_KEYDOWN;
  press.wParam = 'E';
  press.lParam = 1;
  BOOL taken = window.PreTranslateMessage(&press);
  SetKeyboardState(saved);
  EXPECT_TRUE(taken);
  // The accelerator's command arrives as a message; the export then asks for a file.
  PumpPending();
  EXPECT_EQ(m_user.dialogFlags.size(), 1u);
  EXPECT_NE(GetFileAttributesW(m_user.file.c_str()), INVALID_FILE_ATTRIBUTES);
  window.DestroyWindow();
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace

namespace {

// The plug-in's notification window, in this process: what it was posted.
class CPluginListener {
 public:
  CPluginListener() {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"QelTarvoTimeHelperWnd_1.0";
    RegisterClassW(&cls);
    m_window = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, cls.hInstance,
                               nullptr);
    m_message = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");
  }
  ~CPluginListener() { DestroyWindow(m_window); }
  // The update messages posted to it since the last call: their lParams.
  std::vector<LPARAM> Take() {
    std::vector<LPARAM> posted;
    MSG msg;
    while (PeekMessageW(&msg, m_window, m_message, m_message, PM_REMOVE)) posted.push_back(msg.lParam);
    return posted;
  }

 private:
  HWND m_window;
  UINT m_message;
};

struct CDesktopSend {
  HWND window;
  UINT message;
  WPARAM wParam;
};
std::vector<CDesktopSend> g_desktopSends;
LRESULT RecordDesktopSend(HWND window, UINT message, WPARAM wParam, LPARAM) {
  g_desktopSends.push_back({window, message, wParam});
  return 0;
}

class MainWndSectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_machine.Redirected());
    g_desktopSends.clear();
    m_previousSender = SetDesktopSender(RecordDesktopSend);
    SetSectionRunner(&MainWndSectionTest::Runner);
    s_runs.clear();
    s_result = 0;
    RECT rect = {0, 0, 240, 320};
    ASSERT_NE(m_window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
  }
  void TearDown() override {
    if (m_window.IsWindow()) m_window.DestroyWindow();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    SetDesktopSender(m_previousSender);
    SetSectionRunner(nullptr);
  }
  static INT_PTR Runner(UINT section, int page, HWND) {
    s_runs.emplace_back(static_cast<int>(section), page);
    if (s_inside) s_inside();
    return s_result;
  }
  void Destroy() {
    m_window.DestroyWindow();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  static std::vector<std::pair<int, int>> s_runs;
  static INT_PTR s_result;
  static std::function<void()> s_inside;
  CLocalMachineSandbox m_machine{L"MainWndSection"};
  CProductResources m_resources;
  CMainWnd m_window;
  DesktopSender m_previousSender = nullptr;
};
std::vector<std::pair<int, int>> MainWndSectionTest::s_runs;
INT_PTR MainWndSectionTest::s_result = 0;
std::function<void()> MainWndSectionTest::s_inside;

TEST_F(MainWndSectionTest, ListHoldsTheNineSectionsWithNamesAndIcons) {
  // The fixture's window was made before the product library was the resource
  // instance: make one now.
  CMainWnd window;
  RECT rect = {0, 0, 240, 320};
  ASSERT_NE(window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
  HWND list = window.GetSectionList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListView_GetItemCount(list), kSectionCount);
  const wchar_t* names[kSectionCount] = {L"General", L"Calendar", L"Tasks", L"Contacts", L"Notes",
                                         L"Messages", L"Special events", L"Category icons", L"Tabs"};
  HIMAGELIST images = ListView_GetImageList(list, LVSIL_NORMAL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), kSectionCount);
  for (int i = 0; i < kSectionCount; ++i) {
    WCHAR text[64] = L"";
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = text;
    item.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetItem(list, &item));
    EXPECT_STREQ(text, names[i]);
    EXPECT_EQ(item.iImage, i);
  }
  EXPECT_NE(window.GetMenuBar(), nullptr);
  WCHAR title[64] = L"";
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"Qel Tarvo Options");
  window.DestroyWindow();
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(MainWndSectionTest, RequestsAndTapsOpenSectionsAndResultsMarkTheChange) {
  struct Case {
    const char* name;
    WPARAM section;
    LPARAM page;
    INT_PTR result;
    bool opens;
    bool changed;
  };
  const Case cases[] = {
      {"cancelled", 3, 2, 0, true, false},
      {"beyond the sections", 9, 0, 1, false, false},
      {"negative section", static_cast<WPARAM>(-1), 0, 1, false, false},
      {"failed sheet", 5, 1, -1, true, true},
      {"applied", 0, 3, 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_window.SetChanged(FALSE);
    s_runs.clear();
    s_result = c.result;
    SendMessageW(m_window, WM_OPENSECTION, c.section, c.page);
    EXPECT_EQ(s_runs.size(), c.opens ? 1u : 0u);
    if (c.opens && !s_runs.empty()) {
      EXPECT_EQ(s_runs[0], std::make_pair(static_cast<int>(c.section), static_cast<int>(c.page)));
    }
    EXPECT_EQ(m_window.IsChanged(), c.changed ? TRUE : FALSE);
  }

  // A tap opens the section at page 0 and leaves nothing selected.
  s_runs.clear();
  HWND list = m_window.GetSectionList();
  ListView_SetItemState(list, 4, LVIS_SELECTED, LVIS_SELECTED);
  NMITEMACTIVATE activate = {};
  activate.hdr.hwndFrom = list;
  activate.hdr.code = LVN_ITEMACTIVATE;
  activate.iItem = 4;
  SendMessageW(m_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(s_runs, (std::vector<std::pair<int, int>>{{4, 0}}));
  EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
  // The device's gesture query is answered by the window and by its list.
  NMHDR gesture = {list, 0, static_cast<UINT>(-50)};
  EXPECT_EQ(SendMessageW(m_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&gesture)), 1);
  EXPECT_EQ(SendMessageW(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&gesture)), 1);
}

TEST_F(MainWndSectionTest, OneSectionAtATimeButAPageMayOpenOneOverItsSheet) {
  std::vector<std::pair<int, int>> inner;
  s_inside = [&] {
    if (s_runs.size() != 1) return;
    // The list under a running sheet, then the page's own request.
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = m_window.GetSectionList();
    activate.hdr.code = LVN_ITEMACTIVATE;
    activate.iItem = 2;
    SendMessageW(m_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activate));
    SendMessageW(m_window, WM_OPENSECTION, 6, 0);
    inner = s_runs;
    CMainWnd::OpenSectionOver(m_window, 0, 3);
  };
  SendMessageW(m_window, WM_OPENSECTION, 1, 3);
  s_inside = nullptr;
  EXPECT_EQ(inner, (std::vector<std::pair<int, int>>{{1, 3}}));
  EXPECT_EQ(s_runs, (std::vector<std::pair<int, int>>{{1, 3}, {0, 3}}));
  EXPECT_FALSE(m_window.IsSectionOpen());
  // Once the sheet has ended the list opens sections again.
  SendMessageW(m_window, WM_OPENSECTION, 2, 0);
  EXPECT_EQ(s_runs.size(), 3u);
}

TEST_F(MainWndSectionTest, PluginIsToldOnceAtExitAndOnlyAfterAChange) {
  struct Case {
    const char* name;
    bool listener;
    BOOL changed;
    LONG pending;
    BOOL fullRefresh;
    std::vector<LPARAM> posted;
    size_t desktopSends;
  };
  const Case cases[] = {
      {"nothing changed", true, FALSE, 1, FALSE, {}, 0},
      {"changed", true, TRUE, 0, FALSE, {0}, 0},
      {"changed, reload pending", true, TRUE, 1, FALSE, {1}, 0},
      {"full refresh wins", true, TRUE, 1, TRUE, {}, 1},
      {"no plug-in running", false, TRUE, 1, FALSE, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CPluginListener> listener(c.listener ? new CPluginListener : nullptr);
    g_desktopSends.clear();
    CMainWnd window;
    RECT rect = {0, 0, 240, 320};
    ASSERT_NE(window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
    window.SetChanged(c.changed);
    window.SetUpdatePending(c.pending);
    window.SetFullRefresh(c.fullRefresh);
    window.DestroyWindow();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    if (listener) {
      EXPECT_EQ(listener->Take(), c.posted);
    }
    ASSERT_EQ(g_desktopSends.size(), c.desktopSends);
    if (c.desktopSends) {
      EXPECT_EQ(g_desktopSends[0].window, GetDesktopWindow());
      EXPECT_EQ(g_desktopSends[0].message, static_cast<UINT>(WM_WININICHANGE));
      EXPECT_EQ(g_desktopSends[0].wParam, 0xF2u);
    }
  }
}

TEST_F(MainWndSectionTest, NotificationResultAndPendingFlag) {
  EXPECT_FALSE(m_window.NotifyPluginSettingsChanged(0));  // no plug-in window
  CPluginListener listener;
  m_window.SetUpdatePending(1);
  EXPECT_TRUE(m_window.NotifyPluginSettingsChanged(0));
  EXPECT_EQ(m_window.GetUpdatePending(), 0);
  EXPECT_EQ(listener.Take(), (std::vector<LPARAM>{1}));
  m_window.SetFullRefresh(TRUE);
  m_window.SetUpdatePending(1);
  EXPECT_TRUE(m_window.NotifyPluginSettingsChanged(0));
  EXPECT_EQ(m_window.GetUpdatePending(), 1);  // kept: nothing was posted
  EXPECT_TRUE(listener.Take().empty());
}

// The full refresh reaches the Today screen through the desktop window as the
// device routes it: the first top-level "Worker" window of this process.
TEST_F(MainWndSectionTest, FullRefreshReachesTheTodayScreen) {
  SetDesktopSender(nullptr);
  static std::vector<WPARAM> received;
  received.clear();
  WNDCLASSW cls = {};
  cls.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_WININICHANGE) received.push_back(wp);
    return DefWindowProcW(w, m, wp, lp);
  };
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"Worker";
  RegisterClassW(&cls);
  HWND today = CreateWindowExW(0, L"Worker", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(today, nullptr);
  m_window.SetChanged(TRUE);
  m_window.SetFullRefresh(TRUE);
  Destroy();
  DestroyWindow(today);
  UnregisterClassW(L"Worker", cls.hInstance);
  EXPECT_EQ(received, (std::vector<WPARAM>{0xF2}));
}

TEST_F(MainWndSectionTest, CommandsCloseTheWindowOrDoNothing) {
  SendMessageW(m_window, WM_COMMAND, ID_SETTINGS_IDLE, 0);
  PumpPending();
  EXPECT_TRUE(m_window.IsWindow());
  for (WORD command : {static_cast<WORD>(IDOK), static_cast<WORD>(ID_SETTINGS_CLOSE)}) {
    CMainWnd window;
    RECT rect = {0, 0, 240, 320};
    ASSERT_NE(window.CreateMainWindow(nullptr, rect, WS_POPUP), nullptr);
    HWND handle = window;
    SendMessageW(window, WM_COMMAND, command, 0);
    PumpPending();
    EXPECT_FALSE(IsWindow(handle)) << command;
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

TEST_F(MainWndSectionTest, AboutShowsTheVersionAndEndsWithOk) {
  struct Seen {
    std::wstring version;
    HWND dialog = nullptr;
  } seen;
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void* context) {
        auto* s = static_cast<Seen*>(context);
        WCHAR text[128] = L"";
        GetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text, 128);
        s->version = text;
        s->dialog = dialog;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      &seen);
  SendMessageW(m_window, WM_COMMAND, ID_SETTINGS_ABOUT, 0);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  EXPECT_NE(seen.dialog, nullptr);
  EXPECT_EQ(seen.version, L"Version 2.5.0 (build 3277)");
}

TEST(AboutTextTest, VersionNumbersGoOnlyIntoTheirPlaces) {
  const int numbers[] = {2, 5, 0, 3277};
  struct Case {
    const wchar_t* format;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"%d.%d.%d (%d)", L"2.5.0 (3277)"},
      {L"v%d %s %n %d%%", L"v2 %s %n 5%%"},  // only "%d" is a place
      {L"%d %d %d %d %d", L"2 5 0 3277 %d"},
      {L"%", L"%"},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(std::wstring(FormatVersionText(c.format, numbers, 4)), c.text) << c.format;
  EXPECT_EQ(std::wstring(FormatVersionText(nullptr, numbers, 4)), L"");
}

// A language file gives the text: any characters at all must read nothing more
// than the text and the four numbers.
TEST(AboutTextTest, AnyTextIsFormattedSoundly) {
  const int numbers[] = {2, 5, 0, 3277};
  unsigned seed = 20261210;
  for (int round = 0; round < 4000; ++round) {
    std::wstring format;
    seed = seed * 1103515245u + 12345u;
    const int length = static_cast<int>((seed >> 16) % 40);
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      const wchar_t alphabet[] = L"%ds*n.0x\x00FF\xD800";
      format += alphabet[(seed >> 16) % (ARRAYSIZE(alphabet) - 1)];
    }
    CString text = FormatVersionText(format.c_str(), numbers, 4);
    ASSERT_LE(text.GetLength(), static_cast<int>(format.size()) + 16);
  }
}

}  // namespace
