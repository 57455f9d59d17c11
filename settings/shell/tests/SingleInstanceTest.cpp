#include "settings/shell/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/aygshell/aygshell.h"
#include "settings/shell/MainWnd.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

COPYDATASTRUCT Record(SettingsHandOver& record, LPCWSTR text) {
  record = {};
  record.length = static_cast<DWORD>(wcslen(text));
  wcscpy(record.text, text);
  return {kSettingsHandOverKind, sizeof(record), &record};
}

TEST(HandOverTest, OnlyAWellFormedRecordIsRead) {
  SettingsHandOver record;
  COPYDATASTRUCT good = Record(record, L"-p5:1");
  ASSERT_NE(ReadHandOver(&good), nullptr);
  EXPECT_STREQ(ReadHandOver(&good), L"-p5:1");

  struct Case {
    const char* name;
    ULONG_PTR kind;
    DWORD size;
    DWORD length;
    bool terminated;
  };
  const Case cases[] = {
      {"another kind", 1, sizeof(SettingsHandOver), 5, true},
      {"short", kSettingsHandOverKind, sizeof(SettingsHandOver) - 2, 5, true},
      {"long", kSettingsHandOverKind, sizeof(SettingsHandOver) + 2, 5, true},
      {"length past the text", kSettingsHandOverKind, sizeof(SettingsHandOver), 512, true},
      {"length far past the text", kSettingsHandOverKind, sizeof(SettingsHandOver), 0xFFFFFFFF, true},
      {"no terminator at the length", kSettingsHandOverKind, sizeof(SettingsHandOver), 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> bytes(sizeof(SettingsHandOver) + 2, 0);
    auto* r = reinterpret_cast<SettingsHandOver*>(bytes.data());
    for (int i = 0; i < 511; ++i) r->text[i] = L'x';
    r->text[511] = c.terminated ? L'\0' : L'x';
    if (c.terminated && c.length < 511) r->text[c.length] = L'\0';
    r->length = c.length;
    COPYDATASTRUCT data = {c.kind, c.size, bytes.data()};
    EXPECT_EQ(ReadHandOver(&data), nullptr);
  }
  EXPECT_EQ(ReadHandOver(nullptr), nullptr);
  COPYDATASTRUCT empty = {kSettingsHandOverKind, sizeof(SettingsHandOver), nullptr};
  EXPECT_EQ(ReadHandOver(&empty), nullptr);
}

// TarvoSettings.exe beside the tests, started with arguments.
class CProgram {
 public:
  explicit CProgram(const std::wstring& arguments) {
    std::wstring path = TestBinaryPath(L"TarvoSettings.exe");
    std::wstring commandLine = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    m_started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &m_process);
  }
  ~CProgram() {
    if (!m_started) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 99);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }
  bool Started() const { return m_started; }
  // Waits for the end, answering messages other processes send this thread meanwhile
  // (posted ones stay queued). False when the program is still running at the deadline.
  bool WaitForExit(DWORD& code, DWORD deadlineMs = 60000) {
    DWORD start = GetTickCount();
    for (;;) {
      DWORD waited = GetTickCount() - start;
      if (waited >= deadlineMs) return false;
      DWORD r = MsgWaitForMultipleObjects(1, &m_process.hProcess, FALSE, deadlineMs - waited, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return GetExitCodeProcess(m_process.hProcess, &code) != FALSE;
  }

 private:
  PROCESS_INFORMATION m_process = {};
  bool m_started = false;
};

TEST(SingleInstanceTest, SecondStartHandsItsCommandLineToTheFirstAndEnds) {
  ASSERT_EQ(CheckSingleInstance(GetModuleHandleW(nullptr), nullptr), S_OK);
  CMainWnd first;
  RECT rect = {0, 0, 240, 320};
  ASSERT_NE(first.CreateMainWindow(nullptr, rect), nullptr);

  CProgram second(L"-p5:1 -p2:0");
  ASSERT_TRUE(second.Started());
  DWORD code = 0;
  ASSERT_TRUE(second.WaitForExit(code));
  EXPECT_EQ(code, 1u);
  EXPECT_EQ(TakeRequests(first), (std::vector<std::pair<int, int>>{{5, 1}, {2, 0}}));

  // A start without switches only brings the first to the front.
  CProgram third(L"");
  ASSERT_TRUE(third.WaitForExit(code));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(TakeRequests(first).empty());

  first.DestroyWindow();
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  ReleaseSingleInstance();
}

TEST(SingleInstanceTest, ProgramStartsClearOfTheInputPanelAndClosesWithCodeOne) {
  // Without a language file the program writes its template beside itself; the build
  // folder is left as it was.
  const std::wstring languageFile = TestBinaryPath(L"QelTarvo.txt");
  const bool hadLanguageFile = GetFileAttributesW(languageFile.c_str()) != INVALID_FILE_ATTRIBUTES;
  CProgram program(L"");
  ASSERT_TRUE(program.Started());
  SIPINFO panel = {};
  panel.cbSize = sizeof(panel);
  ASSERT_TRUE(SipGetInfo(&panel));
  // The window exists while it is still being made: wait for it to be placed.
  HWND window = nullptr;
  RECT rect = {};
  for (int i = 0; i < 600; ++i) {
    window = FindWindowW(SETTINGS_INSTANCE_NAME, nullptr);
    if (window && GetWindowRect(window, &rect) && EqualRect(&rect, &panel.rcVisibleDesktop) && IsWindowVisible(window))
      break;
    Sleep(50);
  }
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(EqualRect(&rect, &panel.rcVisibleDesktop))
      << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD code = 0;
  ASSERT_TRUE(program.WaitForExit(code));
  EXPECT_EQ(code, 1u);
  if (!hadLanguageFile) DeleteFileW(languageFile.c_str());
}

}  // namespace
