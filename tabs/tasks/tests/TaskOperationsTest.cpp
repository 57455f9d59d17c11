// What the task rows start: completion, deletion and new dates asked of the stand-in
// item-operations program (a separate process that reports what it received), the
// month popup and the note viewer through fakes, and the task dates dialog run
// through the modal seam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DatePicker.h"
#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/tests/RegistrySandbox.h"
#include "controls/tests/DialogFixtures.h"
#include "pim/OndrelClient.h"
#include "pim/tests/BesideTest.h"
#include "pim/tests/FakeOndrelReport.h"
#include "res/TarvoResIds.h"
#include "tabs/tasks/TaskReminder.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/tests/FakeOndrelSession.h"
#include "tabs/tasks/tests/TaskStoreFixture.h"

using namespace tasktest;

namespace {

const double T = 47544.0;  // 2030-03-02
const double kHour = 1.0 / 24;
const double N = kNoDate;

class CFakePopup : public IMonthPopup {
 public:
  BOOL Open(HWND, const RECT&, IDatePeriodListener* listener, UINT mode, double date) override {
    opened.push_back({static_cast<double>(mode), date});
    if (listener) listener->OnPeriodChosen(answer, answer);
    return TRUE;
  }
  double answer = N;
  std::vector<std::pair<double, double>> opened;
};

class CFakeViewer : public ITaskNoteViewer {
 public:
  BOOL ShowNote(HWND, const RECT&, LPCWSTR subject, LPCWSTR note) override {
    shown.push_back(std::wstring(subject) + L": " + note);
    return TRUE;
  }
  std::vector<std::wstring> shown;
};

class TaskOperationsTest : public ::testing::TestWithParam<bool> {
 protected:
  TaskOperationsTest() : m_mode(GetParam()), store(GetParam()) {}
  void SetUp() override {
    list.SetClient(&client);
    list.SetMonthPopup(&popup);
    list.SetNoteViewer(&viewer);
  }
  bool Newer() const { return GetParam(); }
  std::vector<ONDREL_CHANGE_RECORD> Changes(size_t count) { return ondrel.Changes(count); }
  CEOID AddTask(const wchar_t* subject, double start, double due, bool reminder) {
    StoredTask s;
    s.subject = subject;
    s.start = start;
    s.due = due;
    s.reminder = reminder;
    s.offset = 960;  // 08:00 the day before the due date
    s.reference = 1;
    s.reminderTime = reminder ? due - 1 + 8 * kHour : 0;
    return store.Add(s);
  }

  CLocalMachineSandbox m_machine{L"TaskOperations"};
  CStoreMode m_mode;
  CTaskStore store;
  COndrelClient client;
  CTasksList list;
  CFakePopup popup;
  CFakeViewer viewer;
  CFakeOndrelSession ondrel{client};
  std::vector<FAKE_ONDREL_REPORT>& reports = ondrel.reports;
};

INSTANTIATE_TEST_SUITE_P(Layouts, TaskOperationsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

TEST_P(TaskOperationsTest, CompletionAndDeletionGoToTheItemOperationsProgram) {
  const DWORD oid = store.ItemOid(AddTask(L"open", N, T, false));
  TASK_ITEM* first = nullptr;
  ASSERT_TRUE(list.EnsureLoaded(&first, FALSE, 0));
  EXPECT_EQ(list.CompleteTask(oid, FALSE), 0) << "already incomplete: the program's toggle is not sent";
  list.CompleteTask(oid, TRUE);
  list.DeleteTask(oid);
  std::vector<ONDREL_CHANGE_RECORD> changes = Changes(2);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].objectId, oid);
  EXPECT_EQ(changes[0].kind, 13u);
  EXPECT_EQ(changes[0].operation, static_cast<uint32_t>(ONDREL_COMPLETE_TASK));
  EXPECT_EQ(changes[1].objectId, oid);
  EXPECT_EQ(changes[1].kind, 13u);
  EXPECT_EQ(changes[1].operation, static_cast<uint32_t>(ONDREL_DELETE_ITEM));
}

// A day chosen in the month popup moves the whole task by whole days, times of day kept.
TEST_P(TaskOperationsTest, ADayChosenInThePopupMovesTheTask) {
  const CEOID record = AddTask(L"move", T - 1 + 10 * kHour, T, true);
  const DWORD oid = store.ItemOid(record);
  popup.answer = T + 5 + 0.7;
  RECT place{10, 10, 50, 30};
  ASSERT_TRUE(list.PickDueDate(oid, nullptr, place));
  ASSERT_EQ(popup.opened.size(), 1u);
  EXPECT_EQ(popup.opened[0].first, 7.0);
  EXPECT_NEAR(popup.opened[0].second, T, 1e-6);
  std::vector<ONDREL_CHANGE_RECORD> changes = Changes(1);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].operation, static_cast<uint32_t>(ONDREL_CHANGE_TASK_DATES));
  EXPECT_EQ(changes[0].objectId, oid);
  EXPECT_NEAR(changes[0].first.f64, T + 4 + 10 * kHour, 1e-6);
  EXPECT_NEAR(changes[0].f64a, T + 5, 1e-6);
  EXPECT_NEAR(changes[0].f64b, T + 4 + 8 * kHour, 1e-6);
  if (!Newer()) {
    // The older layout's reminder follows: registered at the moved time.
    EXPECT_NEAR(list.GetReminderTime(oid, FALSE), T + 4 + 8 * kHour, 0.5 / 1440);
    EXPECT_NE(store.ReadLong(record, 0x00020003, 0), 0);
  }

  // "No date": every date goes; the newer layout keeps its reminder time.
  popup.answer = N;
  ASSERT_TRUE(list.PickDueDate(oid, nullptr, place));
  changes = Changes(2);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1].first.f64, N);
  EXPECT_EQ(changes[1].f64a, N);
  if (Newer()) {
    EXPECT_NEAR(changes[1].f64b, T - 1 + 8 * kHour, 1e-6);
  } else {
    EXPECT_EQ(changes[1].f64b, N);
  }
}

TEST_P(TaskOperationsTest, AnUndatedTaskMovesToTheChosenDay) {
  const DWORD oid = store.ItemOid(AddTask(L"undated", -1, -1, false));
  popup.answer = T + 0.5;
  RECT place{};
  ASSERT_TRUE(list.PickDueDate(oid, nullptr, place));
  EXPECT_EQ(popup.opened[0].second, N) << "no initial date";
  std::vector<ONDREL_CHANGE_RECORD> changes = Changes(1);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].first.f64, N);
  EXPECT_NEAR(changes[0].f64a, T, 1e-6);
  EXPECT_EQ(changes[0].f64b, N);
}

TEST_P(TaskOperationsTest, TheNoteViewerShowsOnlyARealNote) {
  StoredTask s;
  s.subject = L"noted";
  s.note = NoteBytes(L"\xFEFF" L"Buy milk");
  const DWORD noted = store.ItemOid(store.Add(s));
  s.subject = L"mark";
  s.note = std::string("\xFF\xFE\0\0", 4);
  const DWORD mark = store.ItemOid(store.Add(s));
  s.subject = L"odd";
  s.note = std::string("ab\0\0c", 5);  // an odd length and no terminator at the end
  const DWORD odd = store.ItemOid(store.Add(s));
  RECT place{};
  EXPECT_TRUE(list.ShowTaskNote(place, nullptr, noted));
  EXPECT_FALSE(list.ShowTaskNote(place, nullptr, mark));
  EXPECT_TRUE(list.ShowTaskNote(place, nullptr, odd));
  EXPECT_FALSE(list.ShowTaskNote(place, nullptr, 0x3FFFFFF));
  EXPECT_EQ(viewer.shown, (std::vector<std::wstring>{L"noted: Buy milk", L"odd: \x6261"}));
}

// The dates dialog: what it is shown with, and what OK sends or writes.
TEST_P(TaskOperationsTest, TheDatesDialogChangesTheTask) {
  dlgtest::DialogEnvironment env;
  const CEOID record = AddTask(L"dialog", N, T, true);
  const DWORD oid = store.ItemOid(record);
  double shownDue = 0, shownReminder = 0;
  BOOL reminderOn = FALSE;
  std::wstring caption;
  INT_PTR ran = 0;
  BOOL done = dlgtest::RunModal(
      [&] {
        ran = list.EditTaskDates(oid, L"Task dates", env.Owner());
        return ran;
      },
      [&](HWND dialog) {
        caption = dlgtest::WindowText(dialog);
        DlgGetDatePickerValue(GetDlgItem(dialog, IDC_DUE_DATE), &shownDue);
        DlgGetDatePickerValue(GetDlgItem(dialog, IDC_REMINDER_DATE), &shownReminder);
        reminderOn = IsDlgButtonChecked(dialog, IDC_REMINDER_ON) == BST_CHECKED;
        // The user moves the due date three days on.
        DlgSetDatePickerValue(GetDlgItem(dialog, IDC_DUE_DATE), T + 3);
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = GetDlgItem(dialog, IDC_DUE_DATE);
        change.nmhdr.idFrom = IDC_DUE_DATE;
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        SendMessageW(dialog, WM_NOTIFY, IDC_DUE_DATE, reinterpret_cast<LPARAM>(&change));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      });
  EXPECT_TRUE(done);
  EXPECT_EQ(caption, L"Task dates");
  EXPECT_NEAR(shownDue, T, 1e-6);
  EXPECT_TRUE(reminderOn);
  EXPECT_NEAR(TaskReminder::Day(shownReminder), T - 1, 1e-6);
  if (Newer()) {
    std::vector<ONDREL_CHANGE_RECORD> changes = Changes(1);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].operation, static_cast<uint32_t>(ONDREL_CHANGE_TASK_DATES));
    EXPECT_NEAR(TaskReminder::Day(changes[0].f64a), T + 3, 1e-6);
  } else {
    CEPROPVAL due{};
    ASSERT_TRUE(store.Read(record, 0x41050040, &due));
    double written = 0;
    FileTimeToVariantDate(due.val.filetime, &written);
    EXPECT_NEAR(TaskReminder::Day(written), T + 3, 1e-6);
    EXPECT_EQ(store.ReadLong(record, 0x45030002), 1);
    EXPECT_NE(store.ReadLong(record, 0x00020003, 0), 0) << "a notification for the reminder";
  }

  // Cancel changes nothing.
  reports.clear();
  INT_PTR cancelled = dlgtest::RunModal([&] { return list.EditTaskDates(oid, L"Task dates", env.Owner()); },
                                        [&](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(cancelled);
  EXPECT_TRUE(Changes(0).empty());
}

}  // namespace
