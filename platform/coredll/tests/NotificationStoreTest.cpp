// The device keeps scheduled notifications: every program, and a later run of the
// same program, sees what was scheduled until it is cleared.
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/Notify.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME t = {};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  return t;
}

CE_NOTIFICATION_TRIGGER Trigger(DWORD type, const wchar_t* app, const wchar_t* args, const SYSTEMTIME& start) {
  CE_NOTIFICATION_TRIGGER t = {};
  t.dwSize = sizeof t;
  t.dwType = type;
  t.lpszApplication = const_cast<WCHAR*>(app);
  t.lpszArguments = const_cast<WCHAR*>(args);
  t.stStartTime = start;
  return t;
}

std::vector<HANDLE> Handles() {
  DWORD needed = 0;
  CeGetUserNotificationHandles(nullptr, 0, &needed);
  std::vector<HANDLE> handles(needed);
  if (needed && !CeGetUserNotificationHandles(handles.data(), needed, &needed)) handles.clear();
  return handles;
}

// One notification as the device reports it, in a buffer of the size it asks for.
std::vector<BYTE> Info(HANDLE h) {
  DWORD needed = 0;
  if (CeGetUserNotification(h, 0, &needed, nullptr) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
  std::vector<BYTE> buffer(needed);
  if (!CeGetUserNotification(h, needed, &needed, buffer.data())) return {};
  return buffer;
}

const CE_NOTIFICATION_INFO_HEADER* Header(const std::vector<BYTE>& info) {
  return info.empty() ? nullptr : reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(info.data());
}

std::wstring Text(const WCHAR* text) { return text ? text : L"<null>"; }

// The store lives in the device's root folder: each test gets an empty device root of its own.
class UserNotifications : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"CoreDllNotify" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    store = root + L"\\CeUserNotifications.dat";
    DeleteFileW(store.c_str());
    device.Set(L"Root", root);
  }
  void TearDown() override {
    DeleteFileW(store.c_str());
    RemoveDirectoryW(root.c_str());
  }

  // Schedules the reminder of the example below: a dialog and a sound at 9:30.
  HANDLE ScheduleReminder() {
    CE_USER_NOTIFICATION user = {};
    user.ActionFlags = PUN_DIALOG | PUN_SOUND;
    user.pwszDialogTitle = const_cast<WCHAR*>(L"Reminder");
    user.pwszDialogText = const_cast<WCHAR*>(L"Call the office");
    user.pwszSound = const_cast<WCHAR*>(L"Alarm1.wav");
    user.nMaxSound = 520;
    SYSTEMTIME at = Local(2026, 3, 14, 9, 30);
    return CeSetUserNotification(nullptr, const_cast<WCHAR*>(L"TASKS.EXE"), &at, &user);
  }

  std::wstring root, store;
  CDeviceSwitch device;
};

// Runs this test program again as a new process with one test of the child suite.
DWORD RunChild(const wchar_t* test) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0xDEAD;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0xDEAD;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// On the device notifications scheduled by one run of a program are listed, read and
// cleared by the next one: the store outlives the process.
TEST_F(UserNotifications, ScheduledListedAndClearedSurviveARestart) {
  HANDLE reminder = ScheduleReminder();
  ASSERT_NE(reminder, nullptr) << GetLastError();
  CE_NOTIFICATION_TRIGGER run = Trigger(CNT_TIME, L"\\Windows\\clock.exe", L"-alarm", Local(2026, 3, 15, 7, 0));
  HANDLE alarm = CeSetUserNotificationEx(nullptr, &run, nullptr);
  ASSERT_NE(alarm, nullptr) << GetLastError();
  EXPECT_NE(alarm, reminder);

  std::wstring handles = std::to_wstring(reinterpret_cast<ULONG_PTR>(reminder)) + L"," +
                         std::to_wstring(reinterpret_cast<ULONG_PTR>(alarm));
  SetEnvironmentVariableW(L"CORETEST_NOTIFY_HANDLES", handles.c_str());
  EXPECT_EQ(RunChild(L"UserNotificationsChild.DISABLED_SeesAndClearsWhatTheParentScheduled"), 0u);
  SetEnvironmentVariableW(L"CORETEST_NOTIFY_HANDLES", nullptr);

  EXPECT_EQ(Handles(), std::vector<HANDLE>{alarm}) << "the child cleared the reminder";
  DWORD needed = 0;
  EXPECT_FALSE(CeGetUserNotification(reminder, 0, &needed, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CeClearUserNotification(alarm));
  EXPECT_TRUE(Handles().empty());
}

// Run only as the child of the test above, in a new process on the same device root.
TEST(UserNotificationsChild, DISABLED_SeesAndClearsWhatTheParentScheduled) {
  wchar_t list[64] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"CORETEST_NOTIFY_HANDLES", list, 64), 0u);
  HANDLE reminder = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(wcstoul(list, nullptr, 10)));
  HANDLE alarm = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(wcstoul(wcschr(list, L',') + 1, nullptr, 10)));
  ASSERT_EQ(Handles(), (std::vector<HANDLE>{reminder, alarm}));

  std::vector<BYTE> info = Info(reminder);
  const CE_NOTIFICATION_INFO_HEADER* h = Header(info);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->hNotification, reminder);
  EXPECT_EQ(h->pcent->dwType, static_cast<DWORD>(CNT_CLASSICTIME));
  EXPECT_EQ(Text(h->pcent->lpszApplication), L"TASKS.EXE");
  EXPECT_EQ(h->pcent->stStartTime.wDay, 14);
  EXPECT_EQ(h->pcent->stStartTime.wHour, 9);
  EXPECT_EQ(h->pcent->stStartTime.wMinute, 30);
  ASSERT_NE(h->pceun, nullptr);
  EXPECT_EQ(h->pceun->ActionFlags, static_cast<DWORD>(PUN_DIALOG | PUN_SOUND));
  EXPECT_EQ(Text(h->pceun->pwszDialogTitle), L"Reminder");
  EXPECT_EQ(Text(h->pceun->pwszDialogText), L"Call the office");
  EXPECT_EQ(Text(h->pceun->pwszSound), L"Alarm1.wav");
  EXPECT_EQ(h->pceun->nMaxSound, 520u);

  info = Info(alarm);
  h = Header(info);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->pcent->dwType, static_cast<DWORD>(CNT_TIME));
  EXPECT_EQ(Text(h->pcent->lpszApplication), L"\\Windows\\clock.exe");
  EXPECT_EQ(Text(h->pcent->lpszArguments), L"-alarm");
  EXPECT_EQ(h->pceun, nullptr);

  EXPECT_TRUE(CeClearUserNotification(reminder));
}

// On the device a notification is replaced in place through its handle; a handle
// that names none is refused.
TEST_F(UserNotifications, ReplacingKeepsTheHandle) {
  HANDLE reminder = ScheduleReminder();
  ASSERT_NE(reminder, nullptr);
  CE_NOTIFICATION_TRIGGER later = Trigger(CNT_TIME, L"tasks.exe", nullptr, Local(2026, 4, 1, 8, 0));
  EXPECT_EQ(CeSetUserNotificationEx(reminder, &later, nullptr), reminder);
  EXPECT_EQ(Handles(), std::vector<HANDLE>{reminder});
  std::vector<BYTE> info = Info(reminder);
  ASSERT_NE(Header(info), nullptr);
  EXPECT_EQ(Header(info)->pcent->stStartTime.wMonth, 4);
  EXPECT_EQ(Header(info)->pcent->lpszArguments, nullptr);

  HANDLE unknown = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7777));
  EXPECT_EQ(CeSetUserNotificationEx(unknown, &later, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CeClearUserNotification(unknown));
  EXPECT_EQ(Handles(), std::vector<HANDLE>{reminder});
}

// On the device a request that does not say what to do and when is refused and stores nothing.
TEST_F(UserNotifications, IncompleteRequestsAreRefused) {
  CE_USER_NOTIFICATION user = {};
  user.ActionFlags = PUN_LED;
  const SYSTEMTIME noon = Local(2026, 5, 1, 12, 0);
  struct Case {
    const char* what;
    CE_NOTIFICATION_TRIGGER trigger;
    CE_USER_NOTIFICATION* user;
  };
  Case cases[] = {
      {"wrong size", Trigger(CNT_TIME, L"a.exe", nullptr, noon), nullptr},
      {"start without an application", Trigger(CNT_TIME, nullptr, nullptr, noon), nullptr},
      {"event without an application", Trigger(CNT_EVENT, L"", nullptr, noon), nullptr},
      {"reminder without what to show", Trigger(CNT_CLASSICTIME, L"a.exe", nullptr, noon), nullptr},
      {"period ending before it starts", Trigger(CNT_PERIOD, nullptr, nullptr, noon), &user},
      {"no such time", Trigger(CNT_TIME, L"a.exe", nullptr, Local(2026, 13, 1, 12, 0)), nullptr},
      {"unknown kind", Trigger(9, L"a.exe", nullptr, noon), nullptr},
  };
  cases[0].trigger.dwSize = 52;
  cases[4].trigger.stEndTime = Local(2026, 5, 1, 11, 0);
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, &c.trigger, c.user), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(CeSetUserNotificationEx(nullptr, nullptr, &user), nullptr);
  EXPECT_EQ(CeSetUserNotification(nullptr, const_cast<WCHAR*>(L"a.exe"), nullptr, &user), nullptr);
  EXPECT_TRUE(Handles().empty());
}

// On the device the lists are asked for with a size query first.
TEST_F(UserNotifications, SmallBuffersGetTheSizeNeeded) {
  HANDLE first = ScheduleReminder();
  HANDLE second = ScheduleReminder();
  ASSERT_TRUE(first && second);
  HANDLE one[1] = {};
  DWORD needed = 0;
  EXPECT_FALSE(CeGetUserNotificationHandles(one, 1, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 2u);

  needed = 0;
  EXPECT_FALSE(CeGetUserNotification(first, 0, &needed, nullptr));
  ASSERT_GT(needed, sizeof(CE_NOTIFICATION_INFO_HEADER));
  std::vector<BYTE> buffer(needed);
  EXPECT_FALSE(CeGetUserNotification(first, needed - 1, &needed, buffer.data()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_TRUE(CeGetUserNotification(first, needed, &needed, buffer.data()));
}

// On the device CeRunAppAtTime keeps one start per application: a new time replaces
// the old one, no time removes it, and other notifications of the application stay.
TEST_F(UserNotifications, RunAppAtTimeKeepsOneStartPerApplication) {
  CE_NOTIFICATION_TRIGGER own = Trigger(CNT_TIME, L"\\Windows\\prog.exe", L"-own", Local(2026, 6, 1, 6, 0));
  HANDLE other = CeSetUserNotificationEx(nullptr, &own, nullptr);
  ASSERT_NE(other, nullptr);

  WCHAR app[] = L"\\Windows\\prog.exe";
  // Far ahead: the starts stay scheduled while the test looks at them.
  SYSTEMTIME first = Local(2036, 6, 2, 10, 0), second = Local(2036, 6, 2, 10, 2);
  ASSERT_TRUE(CeRunAppAtTime(app, &first));
  ASSERT_TRUE(CeRunAppAtTime(app, &second));
  std::vector<HANDLE> handles = Handles();
  ASSERT_EQ(handles.size(), 2u);
  HANDLE start = handles[0] == other ? handles[1] : handles[0];
  std::vector<BYTE> info = Info(start);
  ASSERT_NE(Header(info), nullptr);
  EXPECT_EQ(Header(info)->pcent->dwType, static_cast<DWORD>(CNT_TIME));
  EXPECT_EQ(Text(Header(info)->pcent->lpszArguments), APP_RUN_AT_TIME);
  EXPECT_EQ(Header(info)->pcent->stStartTime.wMinute, 2);

  WCHAR sameAppOtherCase[] = L"\\WINDOWS\\PROG.EXE";
  EXPECT_TRUE(CeRunAppAtTime(sameAppOtherCase, nullptr));
  EXPECT_EQ(Handles(), std::vector<HANDLE>{other});
}

SYSTEMTIME SecondsFromNow(int seconds) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  FILETIME file = {};
  SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER value = {{file.dwLowDateTime, file.dwHighDateTime}};
  value.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ull;
  file = {value.LowPart, value.HighPart};
  SYSTEMTIME at = {};
  FileTimeToSystemTime(&file, &at);
  return at;
}

std::string ReadText(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  char buffer[256] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

// The device starts the program at its time with the request's text as its command
// line, once, and takes the start out of the store; the start it replaced never runs.
TEST_F(UserNotifications, RunAppAtTimeStartsTheProgramOnceAtItsTime) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring program = self;
  program = program.substr(0, program.rfind(L'\\') + 1) + L"poutlook.exe";
  const std::wstring log = root + L"\\Windows\\poutlook.log";
  SYSTEMTIME later = SecondsFromNow(120), sooner = SecondsFromNow(1);
  ASSERT_TRUE(CeRunAppAtTime(&program[0], &later));
  ASSERT_TRUE(CeRunAppAtTime(&program[0], &sooner));
  const DWORD start = GetTickCount();
  while ((ReadText(log).empty() || !Handles().empty()) && GetTickCount() - start < 30000) Sleep(100);
  EXPECT_EQ(ReadText(log), "AppRunAtTime\r\n");
  EXPECT_TRUE(Handles().empty());
  DeleteFileW(log.c_str());
  RemoveDirectoryW((root + L"\\Windows").c_str());
}

// A damaged store is reported and left as it is, not replaced by an empty one.
TEST_F(UserNotifications, DamagedStoreIsReportedAndKept) {
  const char junk[] = "not a notification store";
  HANDLE file = CreateFileW(store.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, junk, sizeof junk, &written, nullptr);
  CloseHandle(file);

  DWORD needed = 0;
  EXPECT_FALSE(CeGetUserNotificationHandles(nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_CORRUPT));
  EXPECT_EQ(ScheduleReminder(), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_CORRUPT));

  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExW(store.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, sizeof junk);
}

}  // namespace
