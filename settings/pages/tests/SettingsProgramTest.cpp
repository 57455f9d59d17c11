// The options program as a person uses it, from another process: the plug-in's
// notification window here is told once, when the program ends after a change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/pages/tests/PagesTestSupport.h"

namespace {

struct CFoundWindows {
  DWORD process;
  std::vector<HWND> sheets;
};

BOOL CALLBACK CollectSheets(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<CFoundWindows*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  WCHAR name[32] = L"";
  GetClassNameW(window, name, 32);
  if (process == found->process && lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window))
    found->sheets.push_back(window);
  return TRUE;
}

TEST(SettingsProgramTest, PluginHearsOnceWhenTheProgramEndsAfterASheetWasApplied) {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"QelTarvoTimeHelperWnd_1.0";
  RegisterClassW(&cls);
  HWND listener = CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, cls.hInstance,
                                  nullptr);
  ASSERT_NE(listener, nullptr);
  const UINT update = RegisterWindowMessageW(L"QelTarvo_UpdateSettings");

  // Without a language file the program writes its template beside itself; the
  // build folder is left as it was.
  const std::wstring languageFile = TestBinaryPath(L"QelTarvo.txt");
  const bool hadLanguageFile = GetFileAttributesW(languageFile.c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::wstring path = TestBinaryPath(L"TarvoSettings.exe");
  std::wstring commandLine = L"\"" + path + L"\" -p6:0";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION program = {};
  ASSERT_TRUE(CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &program));
  // The special events sheet comes up; OK applies it.
  CFoundWindows found = {program.dwProcessId, {}};
  for (int i = 0; i < 600 && found.sheets.empty(); ++i) {
    Sleep(50);
    EnumWindows(CollectSheets, reinterpret_cast<LPARAM>(&found));
  }
  ASSERT_FALSE(found.sheets.empty());
  EXPECT_TRUE(found.sheets.size() == 1);
  HWND sheet = found.sheets[0];
  PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(sheet, IDOK)));
  for (int i = 0; i < 600 && IsWindow(sheet); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(sheet));
  HWND main = FindWindowW(SETTINGS_INSTANCE_NAME, nullptr);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(program.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(program.hProcess, &code);
  EXPECT_EQ(code, 1u);
  CloseHandle(program.hThread);
  CloseHandle(program.hProcess);

  std::vector<LPARAM> posted;
  MSG msg;
  while (PeekMessageW(&msg, listener, update, update, PM_REMOVE)) posted.push_back(msg.lParam);
  EXPECT_EQ(posted, (std::vector<LPARAM>{0}));
  DestroyWindow(listener);
  if (!hadLanguageFile) DeleteFileW(languageFile.c_str());
}

}  // namespace
