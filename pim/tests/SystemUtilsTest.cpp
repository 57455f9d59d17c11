#include "pim/SystemUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/tests/RegistrySandbox.h"
#include "pim/tests/UserSandbox.h"
#include "platform/note_prj/tests/FixtureFiles.h"

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

// The calendar programs' keys as their installers and uninstallers leave them, written
// by another program (the system's registry tool): only a non-empty location counts,
// and only under HKEY_LOCAL_MACHINE.
TEST(SystemUtilsTest, CalendarProgramsByTheirMachineKeys) {
  CLocalMachineSandbox machine(L"Presence");
  ASSERT_TRUE(machine.Redirected());
  const std::wstring fusion = machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion").Path();
  const std::wstring one = machine.Key(L"SOFTWARE\\Developer One\\Agenda One").Path();
  struct Case {
    const char* what;
    std::wstring command;  // for reg.exe; empty: nothing written
    BOOL fusion, one;
  };
  const Case cases[] = {
      {"nothing installed", L"", FALSE, FALSE},
      {"a key left behind", L"add \"HKCU\\" + fusion + L"\" /f", FALSE, FALSE},
      {"an empty location", L"add \"HKCU\\" + fusion + L"\" /v AppLocation /d \"\" /f", FALSE, FALSE},
      {"a location of another name", L"add \"HKCU\\" + fusion + L"\" /v AppPath /d \"\\AF\" /f", FALSE, FALSE},
      {"Agenda Fusion installed", L"add \"HKCU\\" + fusion + L"\" /v AppLocation /d \"\\Program Files\\AF\" /f",
       TRUE, FALSE},
      {"Agenda One with an empty path", L"add \"HKCU\\" + one + L"\" /v InstallPath /d \"\" /f", FALSE, FALSE},
      {"Agenda One installed", L"add \"HKCU\\" + one + L"\" /v InstallPath /d \"\\Program Files\\A1\" /f", FALSE,
       TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    machine.Key(L"SOFTWARE\\Developer One, Inc.").Delete();
    machine.Key(L"SOFTWARE\\Developer One").Delete();
    if (!c.command.empty()) {
      ASSERT_TRUE(fixture::RunOther(L"reg " + c.command + L" >nul"));
    }
    EXPECT_EQ(IsAgendaFusionInstalled(), c.fusion);
    EXPECT_EQ(IsAgendaOneInstalled(), c.one);
  }
  machine.Key(L"SOFTWARE\\Developer One").Delete();
  {
    CUserSandbox user(L"PresenceUser");
    ASSERT_TRUE(user.Redirected());
    const std::wstring userOne = user.Path() + L"\\SOFTWARE\\Developer One\\Agenda One";
    ASSERT_TRUE(fixture::RunOther(L"reg add \"HKCU\\" + userOne + L"\" /v InstallPath /d \"\\A1\" /f >nul"));
    EXPECT_FALSE(IsAgendaOneInstalled()) << "the user's keys are not where Agenda One installs";
  }
  EXPECT_FALSE(IsPellamPresent());
}

// Whatever another program stores in the location values, asking never faults, and a
// non-empty text is an installation.
TEST(SystemUtilsTest, CalendarProgramsFromAnyValue) {
  CLocalMachineSandbox machine(L"PresenceFuzz");
  ASSERT_TRUE(machine.Redirected());
  const CRegistryView keys[] = {machine.Key(L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion"),
                                machine.Key(L"SOFTWARE\\Developer One\\Agenda One")};
  const wchar_t* names[] = {L"AppLocation", L"InstallPath"};
  const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE};
  std::mt19937 random(4107);
  std::vector<BYTE> bytes;
  for (int round = 0; round < 2000; ++round) {
    const int which = static_cast<int>(random() % 2);
    const DWORD type = types[random() % ARRAYSIZE(types)];
    bytes.resize(random() % 600);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 3 ? random() : 0);
    keys[which].Write(names[which], type, bytes.data(), static_cast<DWORD>(bytes.size()));
    const BOOL found = which ? IsAgendaOneInstalled() : IsAgendaFusionInstalled();
    const int first = bytes.empty() ? 0 : bytes[0] | (bytes.size() > 1 ? bytes[1] << 8 : 0);
    if (type == REG_SZ) {
      ASSERT_EQ(found, first != 0) << round;
    }
  }
}

// PhatNotes' settings keys as PhatNotes' installers write them: the newest version
// that opens wins, its values do not matter, and looking creates nothing.
TEST(SystemUtilsTest, FirstPhatNotesSettingsKeyThatExists) {
  CUserSandbox user(L"PhatNotesKey");
  ASSERT_TRUE(user.Redirected());
  const std::wstring newer = L"HKCU\\" + user.Path() + L"\\Software\\PhatWare\\PhatNotes\\4.0\\Settings";
  const std::wstring older = L"HKCU\\" + user.Path() + L"\\Software\\PhatWare\\PhatNotes\\Settings";
  struct Case {
    bool newer, older;
    int result, identifier, index;
  };
  const Case cases[] = {{false, false, 0, -7, -1}, {false, true, 1, 0x407, 1}, {true, true, 1, 0x405, 0},
                        {true, false, 1, 0x405, 0}};
  for (const Case& c : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
    if (c.newer) {
      ASSERT_TRUE(fixture::RunOther(L"reg add \"" + newer + L"\" /v AppName /d PhatNotes.exe /f >nul"));
    }
    if (c.older) {
      ASSERT_TRUE(fixture::RunOther(L"reg add \"" + older + L"\" /f >nul"));
    }
    int identifier = -7, index = -7;
    EXPECT_EQ(FindPhatNotesKey(&identifier, &index), c.result);
    EXPECT_EQ(identifier, c.identifier);
    EXPECT_EQ(index, c.index);
    if (c.result) {
      EXPECT_EQ(g_phatNotesKeys[index].identifier, identifier);
    }
    EXPECT_EQ(FindPhatNotesKey(nullptr, nullptr), c.result);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
  FindPhatNotesKey(nullptr, nullptr);
  EXPECT_FALSE(CRegistryView(HKEY_CURRENT_USER, L"Software\\PhatWare").Exists());
}

TEST(SystemUtilsTest, InboxServiceNamesAndPresence) {
  CLocalMachineSandbox machine(L"InboxServices");
  ASSERT_TRUE(machine.Redirected());
  machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\SMS").WriteString(L"FriendlyName", L"Text Messages");
  machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\Blank").WriteString(L"FriendlyName", L"");
  machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\Long").WriteString(L"FriendlyName", std::wstring(200, L'x').c_str());
  struct Case {
    LPCWSTR transport;
    LPCWSTR friendly;
    BOOL present;
  };
  const Case cases[] = {
      {L"SMS", L"Text Messages", TRUE},
      {L"Blank", L"Blank", TRUE},
      {L"Long", L"Long", TRUE},
      {L"IMAP4", L"IMAP4", FALSE},
      {L"", L"", TRUE},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(GetInboxServiceFriendlyName(c.transport), c.friendly);
    EXPECT_EQ(IsInboxServicePresent(c.transport), c.present);
  }
  EXPECT_TRUE(IsInboxServicePresent(nullptr));
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

TEST(SystemUtilsTest, MarginsFollowTheDpiAndTheWindowsPlace) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 10, 4, 50, 20, parent, nullptr, nullptr, nullptr);
  struct Case {
    int dpi, left, top;
  };
  for (const Case& c : {Case{96, 25, 20}, Case{192, 50, 40}, Case{131, 34, 27}}) {
    SetScreenDpi(c.dpi, c.dpi);
    EXPECT_EQ(c.left, GetLeftMarginDelta(nullptr)) << c.dpi;
    EXPECT_EQ(c.top, GetTopMarginDelta(nullptr)) << c.dpi;
    EXPECT_EQ(c.left - 10, GetLeftMarginDelta(child)) << c.dpi;
    EXPECT_EQ(c.top - 4, GetTopMarginDelta(child)) << c.dpi;
  }
  InitScreenDpi();
  DestroyWindow(parent);
}

TEST(SystemUtilsTest, ChildrenTakeTheWidthButPicturesAreCentred) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 5, 7, 30, 12, parent, nullptr, nullptr, nullptr);
  HWND picture = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_BITMAP, 3, 30, 40, 16, parent, nullptr, nullptr,
                                 nullptr);
  StretchChildrenToWidth(parent);
  auto placeOf = [parent](HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  RECT rect = placeOf(edit);
  EXPECT_EQ(0, rect.left);
  EXPECT_EQ(200, rect.right);
  EXPECT_EQ(7, rect.top);
  EXPECT_EQ(19, rect.bottom);
  rect = placeOf(picture);
  EXPECT_EQ(80, rect.left);
  EXPECT_EQ(120, rect.right);
  EXPECT_EQ(30, rect.top);
  DestroyWindow(parent);
}

TEST(SystemUtilsTest, WholeFilesRoundTripWithinTheirLimit) {
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"tq", 0, path);
  const char text[] = "twelve bytes";
  ASSERT_TRUE(WriteWholeFile(path, text, 12));
  DWORD size = 0;
  void* data = ReadWholeFile(path, &size);
  ASSERT_NE(nullptr, data);
  EXPECT_EQ(12u, size);
  EXPECT_EQ(0, memcmp(text, data, 12));
  LocalFree(data);
  EXPECT_EQ(nullptr, ReadWholeFile(path, &size, 11)) << "larger than the caller takes";
  EXPECT_EQ(0u, size);
  ASSERT_TRUE(WriteWholeFile(path, nullptr, 0));
  data = ReadWholeFile(path, &size);
  EXPECT_NE(nullptr, data) << "an empty file is a file";
  EXPECT_EQ(0u, size);
  LocalFree(data);
  DeleteFileW(path);
  EXPECT_EQ(nullptr, ReadWholeFile(path, &size));
}

TEST(SystemUtilsTest, ShellFontSizeAndCaseBlindCompare) {
  EXPECT_GT(GetUIMetricsFontSize(), 0) << "the shell answers its system font size";
  EXPECT_EQ(CSTR_EQUAL, CompareStringsNoCase(L"Work", L"wORK"));
  EXPECT_EQ(CSTR_LESS_THAN, CompareStringsNoCase(L"apple", L"Banana"));
}

}  // namespace
