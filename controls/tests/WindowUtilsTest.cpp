#include "controls/WindowUtils.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/InstallPath.h"
#include "base/Translator.h"
#include "base/tests/MenuReader.h"
#include "controls/MenuUtils.h"
#include "platform/aygshell/aygshell.h"

namespace {

TEST(WindowUtils, MakeNextNameCountsOnFromTheTrailingNumber) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  };
  const Case cases[] = {
      {L"Filter", L"Filter 1"},          {L"Filter 1", L"Filter 2"},
      {L"Filter 9", L"Filter 10"},       {L"Filter ", L"Filter 1"},
      {L"Filter9", L"Filter 10"},        {L"", L"1"},
      {L"7", L"8"},                      {L"Set 123456789012", L"Set 123456789012 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    CString name = c.in;
    MakeNextName(name);
    EXPECT_STREQ(name, c.out);
  }
}

TEST(WindowUtils, CompareNoCaseOrdersRegardlessOfCase) {
  EXPECT_EQ(CompareNoCase(L"abc", L"ABC"), 0);
  EXPECT_LT(CompareNoCase(L"abc", L"ABD"), 0);
  EXPECT_GT(CompareNoCase(L"b", L"A"), 0);
}

std::wstring g_file, g_parameters;
BOOL RecordLaunch(SHELLEXECUTEINFOW* info) {
  g_file = info->lpFile ? info->lpFile : L"";
  g_parameters = info->lpParameters ? info->lpParameters : L"";
  return TRUE;
}

TEST(WindowUtils, ShowHelpOpensTheTopicOrTheContents) {
  PFN_PROGRAM_LAUNCHER previous = SetProgramLauncher(&RecordLaunch);
  struct Case {
    const wchar_t* topic;
    const wchar_t* parameters;
  };
  const Case cases[] = {{L"Filters", L"QelTarvo.htm#Filters"},
                        {L"", L"QelTarvo.htm#Main_Contents"},
                        {nullptr, L"QelTarvo.htm#Main_Contents"}};
  for (const Case& c : cases) {
    EXPECT_TRUE(ShowHelp(c.topic));
    EXPECT_EQ(g_file, L"PegHelp.exe");
    EXPECT_EQ(g_parameters, c.parameters);
  }
  SetProgramLauncher(previous);
}

TEST(WindowUtils, WordCompletionSwitchesTheInputPanelFlag) {
  SIPINFO info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
  const DWORD original = info.fdwFlags;
  ASSERT_TRUE(SetWordCompletion(FALSE));
  SHSipInfo(SPI_GETSIPINFO, 0, &info, 0);
  EXPECT_TRUE(info.fdwFlags & SIPF_DISABLECOMPLETION);
  ASSERT_TRUE(SetWordCompletion(TRUE));
  SHSipInfo(SPI_GETSIPINFO, 0, &info, 0);
  EXPECT_FALSE(info.fdwFlags & SIPF_DISABLECOMPLETION);
  info.fdwFlags = original;
  SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

// A double tap becomes one more tap at the same point: down with the button held,
// then up with it released, as a real tap arrives.
TEST(WindowUtils, ADoubleTapIsPostedAsOneMoreTap) {
  HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const LPARAM at = MAKELPARAM(7, 300);
  SplitDoubleTap(window, MK_LBUTTON | MK_SHIFT, at);
  struct Expected {
    UINT message;
    WPARAM wParam;
  };
  const Expected expected[] = {{WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT}, {WM_LBUTTONUP, MK_SHIFT}};
  for (const Expected& e : expected) {
    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) << e.message;
    EXPECT_EQ(msg.message, e.message);
    EXPECT_EQ(msg.wParam, e.wParam) << e.message;
    EXPECT_EQ(msg.lParam, at) << e.message;
  }
  MSG msg = {};
  EXPECT_FALSE(PeekMessageW(&msg, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) << "one tap only";
  DestroyWindow(window);
}

TEST(WindowUtils, TheCaptionBarIsTextOnTheWindowColourOverABlackRule) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, width, 60};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  DrawCaptionBar(dc, L"Caption", 20, 10);
  EXPECT_EQ(GetPixel(dc, width - 1, 12), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(dc, width - 1, 30) & 0xFFFFFF, 0u);
  EXPECT_EQ(GetPixel(dc, width - 1, 5), GetPixel(dc, width - 1, 45));
  // Nothing at all above the top.
  const COLORREF before = GetPixel(dc, 0, 0);
  DrawCaptionBar(dc, L"Caption", 5, -5);
  EXPECT_EQ(GetPixel(dc, 0, 0), before);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// A translator loaded from a language file written for the test.
struct TranslatorFixture {
  TranslatorFixture() {
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    path = std::wstring(dir) + L"ControlsMenuTest.txt";
    const wchar_t text[] = L"\xFEFF" L"File|Datei\r\nOpen|Offnen\r\nEdit|\r\nTools|Extras\r\n";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    translator.LoadTextFile(path.c_str());
  }
  ~TranslatorFixture() { DeleteFileW(path.c_str()); }
  std::wstring path;
  CTranslator translator;
};

TEST(MenuUtils, MenusAndMenuBarButtonsTakeTheirTranslations) {
  TranslatorFixture t;
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 2, L"Open");
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"File");
  AppendMenuW(menu, MF_STRING, 3, L"Edit");
  AppendMenuW(menu, MF_STRING, 4, L"Unknown");
  TranslateMenu(t.translator, menu);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].text, L"Datei");
  ASSERT_EQ(entries[0].sub.size(), 1u);
  EXPECT_EQ(entries[0].sub[0].text, L"Offnen");
  // An empty translation keeps the text.
  EXPECT_EQ(entries[1].text, L"Edit");
  EXPECT_EQ(entries[2].text, L"Unknown");

  // A menu bar is a toolbar whose buttons carry their menus.
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_POPUP, 0, 0, 200, 30, nullptr, nullptr, nullptr, nullptr);
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  HMENU toolsMenu = CreatePopupMenu();
  AppendMenuW(toolsMenu, MF_STRING, 5, L"Open");
  TBBUTTON buttons[2] = {};
  buttons[0].iBitmap = I_IMAGENONE;
  buttons[0].idCommand = 100;
  buttons[0].fsState = TBSTATE_ENABLED;
  buttons[0].iString = reinterpret_cast<INT_PTR>(L"Tools");
  buttons[0].dwData = reinterpret_cast<DWORD_PTR>(toolsMenu);
  buttons[1].iBitmap = I_IMAGENONE;
  buttons[1].idCommand = 101;
  buttons[1].fsState = TBSTATE_ENABLED;
  buttons[1].iString = reinterpret_cast<INT_PTR>(L"Edit");
  SendMessageW(bar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  TranslateMenuBar(t.translator, bar, 1);
  WCHAR text[32] = L"";
  SendMessageW(bar, TB_GETBUTTONTEXTW, 100, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Extras");
  SendMessageW(bar, TB_GETBUTTONTEXTW, 101, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Edit");
  EXPECT_EQ(ReadMenu(toolsMenu).at(0).text, L"Offnen");
  DestroyWindow(bar);
  DestroyMenu(toolsMenu);
  DestroyMenu(menu);
}

}  // namespace
