#include "pim/SystemUtils.h"

#include <gtest/gtest.h>

#include "base/tests/RegistrySandbox.h"

namespace {

TEST(SystemUtilsTest, ScreenCodes) {
  struct Case {
    int width, height, code;
  };
  const Case cases[] = {{240, 320, 0}, {320, 240, 1}, {240, 240, 2}, {480, 640, 3}, {640, 480, 4},
                        {480, 480, 5}, {800, 480, -1}, {0, 0, -1},   {320, 320, -1}};
  for (const Case& c : cases) EXPECT_EQ(c.code, GetScreenCode(c.width, c.height)) << c.width << "x" << c.height;
}

TEST(SystemUtilsTest, ShownTabsWidth) {
  CLocalMachineSandbox machine(L"ShownTabs");
  CRegistryView product = machine.Key(L"Software\\Korvel\\Qel Tarvo");
  struct Case {
    const char* what;
    bool hasValue;
    DWORD shown;
    int custom;
    BOOL host, small;
    int width;
  };
  const Case cases[] = {
      {"two shown and two custom tabs", true, 0x5, 2, FALSE, FALSE, 80},
      {"none shown: at least three", true, 0, 0, FALSE, FALSE, 60},
      {"no value: all six", false, 0, 0, FALSE, FALSE, 120},
      {"only the lowest six bits count", true, 0xFFFFFFC1, 3, FALSE, FALSE, 80},
      {"small", true, 0x3F, 0, TRUE, TRUE, 60},
      {"host", true, 0x3F, 0, TRUE, FALSE, 80},
  };
  for (const Case& c : cases) {
    product.Delete();
    if (c.hasValue) product.WriteDWORD(L"ShowTabs", c.shown);
    for (int i = 0; i < c.custom; ++i)
      machine.Key(L"Software\\Korvel\\Qel Tarvo\\CustomTabs").CreateSubKey(std::to_wstring(i).c_str());
    EXPECT_EQ(c.width, GetShownTabs(c.host, c.small)) << c.what;
  }
}

TEST(SystemUtilsTest, PresenceOfOtherPrograms) {
  CLocalMachineSandbox machine(L"Presence");
  EXPECT_FALSE(IsAgendaFusionInstalled());
  machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion").WriteString(L"AppLocation", L"");
  EXPECT_FALSE(IsAgendaFusionInstalled()) << "an empty location is no installation";
  machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion").WriteString(L"AppLocation", L"\\Program Files\\AF");
  EXPECT_TRUE(IsAgendaFusionInstalled());
  EXPECT_FALSE(IsAgendaOneInstalled());
  machine.Key(L"SOFTWARE\\Developer One\\Agenda One").WriteString(L"InstallPath", L"\\A1");
  EXPECT_TRUE(IsAgendaOneInstalled());
  EXPECT_FALSE(IsPellamPresent());
}

TEST(SystemUtilsTest, FileExtensions) {
  struct Case {
    const wchar_t* path;
    const wchar_t* extension;
  };
  const Case cases[] = {{L"\\My Documents\\a.pwi", L"pwi"}, {L"\\a.b\\file", nullptr}, {L"x.tar.gz", L"gz"},
                        {L"name.", L""},                     {L"", nullptr},            {nullptr, nullptr}};
  for (const Case& c : cases) {
    LPCWSTR got = GetFileExtension(c.path);
    if (c.extension) EXPECT_STREQ(c.extension, got) << (c.path ? c.path : L"(null)");
    else EXPECT_EQ(nullptr, got) << (c.path ? c.path : L"(null)");
  }
}

TEST(SystemUtilsTest, SafeMessagesNeedAWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(0, SendMessageSafe(nullptr, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")));
  EXPECT_FALSE(PostMessageSafe(nullptr, WM_APP, 0, 0));
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_APP, WM_APP, PM_REMOVE)) << "no thread message";
  EXPECT_EQ(TRUE, SendMessageSafe(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")));
  DestroyWindow(window);
  EXPECT_FALSE(PostMessageSafe(window, WM_APP, 0, 0)) << "a dead window";
}

}  // namespace
