// The older layout's reminders: what is written into the record and the user
// notification registered with the device, read back from the device's store.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "platform/coredll/Notify.h"
#include "platform/pimres/pimres.h"
#include "platform/pimutil/pimutil.h"
#include "tabs/tasks/TaskReminder.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/tests/TaskStoreFixture.h"

using namespace tasktest;

namespace {

const double T = 47544.0;  // 2030-03-02
const double kHour = 1.0 / 24;

// HKEY_CURRENT_USER of this process in a key of its own while the object lives.
class CUserSandbox {
 public:
  CUserSandbox() {
    m_path = L"Software\\TarvoTests\\TasksUser-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    if (m_key) RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
  }
  ~CUserSandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key) RegCloseKey(m_key);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }
  void SetOptions(DWORD options, const wchar_t* wave) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"ControlPanel\\Notifications\\Reminders", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, L"Options", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&options), sizeof options);
    RegSetValueExW(key, L"Wave", 0, REG_SZ, reinterpret_cast<const BYTE*>(wave),
                   static_cast<DWORD>((wcslen(wave) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }

 private:
  std::wstring m_path;
  HKEY m_key = nullptr;
};

struct Registered {
  bool found = false;
  double time = 0;
  std::wstring app, title, text, sound;
  DWORD flags = 0, maxSound = 0, type = 0;
};

Registered ReadNotification(DWORD handle) {
  Registered r;
  DWORD needed = 0;
  HANDLE h = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
  CeGetUserNotification(h, 0, &needed, nullptr);
  if (!needed) return r;
  std::vector<BYTE> buffer(needed);
  if (!CeGetUserNotification(h, needed, &needed, buffer.data())) return r;
  auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
  r.found = true;
  if (header->pcent) {
    SystemTimeToVariantDate(header->pcent->stStartTime, &r.time);
    r.app = header->pcent->lpszApplication ? header->pcent->lpszApplication : L"";
    r.type = header->pcent->dwType;
  }
  if (header->pceun) {
    r.flags = header->pceun->ActionFlags;
    r.title = header->pceun->pwszDialogTitle ? header->pceun->pwszDialogTitle : L"";
    r.text = header->pceun->pwszDialogText ? header->pceun->pwszDialogText : L"";
    r.sound = header->pceun->pwszSound ? header->pceun->pwszSound : L"";
    r.maxSound = header->pceun->nMaxSound;
  }
  return r;
}

std::wstring PimText(UINT id) {
  HMODULE module = LoadLibraryW(L"pimres.dll");
  auto load = reinterpret_cast<PFN_PIM_LOAD_STRING>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kPimLoadStringOrdinal))));
  wchar_t buffer[256] = L"";
  if (load) load(id, buffer, 256);
  FreeLibrary(module);
  return buffer;
}

std::wstring LongDate(double date) {
  SYSTEMTIME time{};
  VariantDateToSystemTime(date, &time);
  wchar_t buffer[128] = L"";
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, buffer, 128);
  return buffer;
}

class TaskRemindersTest : public ::testing::Test {
 protected:
  TaskRemindersTest() : m_mode(false), store(false) {}
  CEOID AddTask(const wchar_t* subject, double start, double due, LONG offset = 0, short reference = 1,
                BOOL reminder = FALSE) {
    StoredTask s;
    s.subject = subject;
    s.start = start;
    s.due = due;
    s.offset = offset;
    s.reference = reference;
    s.reminder = reminder;
    return store.Add(s);
  }
  DWORD Handle(CEOID record) { return static_cast<DWORD>(store.ReadLong(record, 0x00020003, 0)); }

  CUserSandbox user;
  CStoreMode m_mode;
  CTaskStore store;
  CTasksList list;
};

TEST_F(TaskRemindersTest, TheNotificationCarriesTheTasksTimeAndTexts) {
  CEOID record = AddTask(L"Pay rent", -1, T);
  ASSERT_TRUE(list.UpdateReminder(record, T - 1 + 8 * kHour));
  EXPECT_EQ(store.ReadLong(record, 0x45010003), 960);
  EXPECT_EQ(store.ReadLong(record, 0x00030002), 1);
  EXPECT_EQ(store.ReadLong(record, 0x45030002), 1);
  const DWORD handle = Handle(record);
  ASSERT_NE(handle, 0u);
  Registered r = ReadNotification(handle);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.time, T - 1 + 8 * kHour, 0.5 / 86400);
  EXPECT_EQ(r.app, L"TASKS.EXE");
  EXPECT_EQ(r.type, static_cast<DWORD>(CNT_CLASSICTIME));
  EXPECT_EQ(r.title, PimText(2507));
  EXPECT_NE(r.text.find(L"Pay rent"), std::wstring::npos) << r.text;
  EXPECT_NE(r.text.find(LongDate(T)), std::wstring::npos) << "the due date: " << r.text;
  EXPECT_EQ(r.flags, static_cast<DWORD>(PUN_DIALOG | PUN_LED | PUN_SOUND)) << "Options 13 by default";
  EXPECT_EQ(r.sound, L"Alarm1.wav");
  EXPECT_EQ(r.maxSound, 520u);
  EXPECT_NEAR(list.GetReminderTime(record, FALSE), T - 1 + 8 * kHour, 0.5 / 86400) << "read back the same minute";

  // A new time replaces the registration; none clears it.
  ASSERT_TRUE(list.UpdateReminder(record, T - 2 + 22.5 * kHour));
  EXPECT_FALSE(ReadNotification(handle).found);
  const DWORD second = Handle(record);
  EXPECT_NEAR(ReadNotification(second).time, T - 2 + 22.5 * kHour, 0.5 / 86400);
  ASSERT_TRUE(list.UpdateReminder(record, kNoDate));
  EXPECT_FALSE(ReadNotification(second).found);
  EXPECT_EQ(Handle(record), 0u);
  EXPECT_EQ(store.ReadLong(record, 0x45030002), 0);
  EXPECT_EQ(list.GetReminderTime(record, FALSE), kNoDate);
}

TEST_F(TaskRemindersTest, TheStartDateIsShownWhenTheReminderComesBeforeIt) {
  CEOID record = AddTask(L"Trip", T - 3, T);
  ASSERT_TRUE(list.UpdateReminder(record, T - 4 + 20 * kHour));
  EXPECT_EQ(store.ReadLong(record, 0x00030002), 0) << "counted from the start";
  Registered r = ReadNotification(Handle(record));
  ASSERT_TRUE(r.found);
  EXPECT_NE(r.text.find(LongDate(T - 3)), std::wstring::npos) << r.text;
  std::wstring starts = PimText(2510);
  EXPECT_EQ(r.text.substr(0, 4), std::wstring(L"Trip"));
  EXPECT_NE(starts, PimText(2511));
}

TEST_F(TaskRemindersTest, TheUsersReminderOptionsChooseTheActions) {
  user.SetOptions(9, L"Chimes");
  CEOID record = AddTask(L"Call", -1, T);
  ASSERT_TRUE(list.UpdateReminder(record, T - 1 + 9 * kHour));
  Registered r = ReadNotification(Handle(record));
  EXPECT_EQ(r.flags, static_cast<DWORD>(PUN_DIALOG | PUN_SOUND));
  EXPECT_EQ(r.sound, L"Chimes.wav");
  user.SetOptions(4, L"Chimes");
  ASSERT_TRUE(list.UpdateReminder(record, T - 1 + 9 * kHour));
  EXPECT_EQ(ReadNotification(Handle(record)).flags, static_cast<DWORD>(PUN_LED));
}

TEST_F(TaskRemindersTest, APastReminderRegistersNothing) {
  CEOID record = AddTask(L"Old", -1, 46000);
  ASSERT_TRUE(list.UpdateReminder(record, 46000 - 1 + 8 * kHour));
  EXPECT_EQ(Handle(record), 0u);
  EXPECT_EQ(store.ReadLong(record, 0x45030002), 1) << "the reminder itself is kept";
  EXPECT_EQ(list.SetReminderNotification(L"Old", kNoDate, 46000, 46000), 0u);
  EXPECT_FALSE(list.UpdateReminder(0x7FFFFF, T)) << "no such record";
}

// Further than the store can keep: the stored reminder stays and the registered one
// agrees with it.
TEST_F(TaskRemindersTest, AReminderBeyondTheLimitKeepsTheStoredOneAndItsNotification) {
  CEOID record = AddTask(L"Far", -1, T);
  ASSERT_TRUE(list.UpdateReminder(record, T - 1 + 8 * kHour));
  ASSERT_TRUE(list.UpdateReminder(record, T - 50));
  EXPECT_EQ(store.ReadLong(record, 0x45010003), 960);
  EXPECT_EQ(store.ReadLong(record, 0x00030002), 1);
  Registered r = ReadNotification(Handle(record));
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.time, list.GetReminderTime(record, FALSE), 0.5 / 86400);
  EXPECT_NEAR(r.time, T - 1 + 8 * kHour, 0.5 / 86400);

  // Without a stored reminder there is nothing to keep: none is set.
  CEOID bare = AddTask(L"Bare", -1, T);
  ASSERT_TRUE(list.UpdateReminder(bare, T - 50));
  EXPECT_EQ(store.ReadLong(bare, 0x45030002), 0);
  EXPECT_EQ(Handle(bare), 0u);
}

// Another program wrote -480 as a 16-bit number: read as 08:00 on the due day, and with
// repair written back as -480 with a notification of its own.
TEST_F(TaskRemindersTest, ASixteenBitOffsetIsRepaired) {
  CEOID record = AddTask(L"Other program", -1, T, 65056, 1, TRUE);
  EXPECT_NEAR(list.GetReminderTime(record, FALSE), T + 8 * kHour, 1e-6);
  EXPECT_EQ(store.ReadLong(record, 0x45010003), 65056) << "not repaired unless asked";
  EXPECT_NEAR(list.GetReminderTime(record, TRUE), T + 8 * kHour, 1e-6);
  EXPECT_EQ(store.ReadLong(record, 0x45010003), -480);
  Registered r = ReadNotification(Handle(record));
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.time, T + 8 * kHour, 0.5 / 86400);
}

}  // namespace
