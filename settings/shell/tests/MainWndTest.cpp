#include "settings/shell/MainWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegKey.h"
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
  // No product key: nothing to export.
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

// The resource library the program ships, as the resource instance.
class CProductResources {
 public:
  CProductResources() {
    m_library = LoadLibraryExW(TestBinaryPath(L"TarvoRes.Dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    m_previous = GetModule().SetResourceInstance(m_library);
  }
  ~CProductResources() {
    GetModule().SetResourceInstance(m_previous);
    if (m_library) FreeLibrary(m_library);
  }
  HMODULE Library() const { return m_library; }

 private:
  HMODULE m_library;
  HINSTANCE m_previous;
};

TEST_F(MainWndCommandTest, ResourceLibraryHoldsWhatTheProgramLoads) {
  CProductResources resources;
  ASSERT_NE(resources.Library(), nullptr);
  for (UINT id : {32838u, 174u, 175u, 40017u}) {
    WCHAR text[256] = L"";
    EXPECT_GT(LoadStringW(resources.Library(), id, text, 256), 0) << id;
    if (id == 40017) {
      EXPECT_NE(wcsstr(text, L"%s"), nullptr);
    }
  }
  for (UINT id : {125u, 203u}) {
    HMENU menu = LoadMenuW(resources.Library(), MAKEINTRESOURCEW(id));
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
