// The appointment rows' edits that the list runs itself: new times through the
// date and time dialog (driven through the modal seam) and the notes through the
// note viewer (a fake here).
#include <gtest/gtest.h>

#include <cmath>

#include "base/DatePicker.h"
#include "controls/tests/DialogFixtures.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"

namespace {

using caltest::CRequestRecorder;
using caltest::Variant;


class CFakeNoteViewer : public INoteViewer {
 public:
  BOOL ShowInk(HWND owner, const RECT& beside, LPCWSTR title, const BYTE* notes, DWORD size) override {
    this->owner = owner;
    this->beside = beside;
    this->title = title;
    text.assign(reinterpret_cast<const wchar_t*>(notes), size / sizeof(wchar_t));
    ++shown;
    return TRUE;
  }
  HWND owner = nullptr;
  RECT beside{};
  std::wstring title, text;
  int shown = 0;
};

class AppointmentEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
    list.SetRequests(&requests);
    list.SetPanelWindow(env.Owner());
    CAppointmentsList::SetMessageBoxHandler(&CMessageBoxAnswer::Answer);
    record.m_subject = L"Review";
    record.m_start = Variant(2024, 6, 3, 9);
    record.m_end = Variant(2024, 6, 3, 10);
    record.m_itemId = 42;
    record.m_busyStatus = 2;
    record.m_reminderSet = TRUE;
    record.m_reminderMinutes = 30;
  }
  void TearDown() override { CAppointmentsList::SetMessageBoxHandler(nullptr); }

  CLocalMachineSandbox machine{L"AppointmentEditsTest"};
  dlgtest::DialogEnvironment env;
  CRequestRecorder requests;
  CAppointmentsList list{TRUE};
  CAppointmentRecord record;
  CMessageBoxAnswer box{IDCANCEL, false};
};

TEST_F(AppointmentEditsTest, NewTimesAndReminderOfASingleAppointmentGoToTheProgram) {
  const INT_PTR result = dlgtest::RunModal([&] { return list.EditTimes(&record) ? IDOK : IDCANCEL; }, [&](HWND dlg) {
    EXPECT_EQ(dlgtest::WindowText(dlg), L"Review");
    EXPECT_EQ(dlgtest::WindowText(GetDlgItem(dlg, IDC_DT_REMINDER_COUNT)), L"30");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_DT_REMINDER_ON)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_DT_START_DATE)));
    DlgSetDatePickerValue(GetDlgItem(dlg, IDC_DT_START_DATE), Variant(2024, 6, 5));
    NMHDR header = {GetDlgItem(dlg, IDC_DT_START_DATE), IDC_DT_START_DATE, static_cast<UINT>(DTN_DATETIMECHANGE)};
    SendMessageW(dlg, WM_NOTIFY, IDC_DT_START_DATE, reinterpret_cast<LPARAM>(&header));
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(requests.reminders.size(), 1u);
  EXPECT_EQ(requests.reminders[0], (std::pair<DWORD, LONG>{42, 30}));
  ASSERT_EQ(requests.changes.size(), 1u);
  const auto& change = requests.changes[0];
  EXPECT_EQ(change.itemId, 42u);
  EXPECT_EQ(change.occurrence, Variant(2024, 6, 3));
  EXPECT_NEAR(change.start, Variant(2024, 6, 5, 9), 1e-6);
  EXPECT_NEAR(change.end, Variant(2024, 6, 5, 10), 1e-6);
  EXPECT_EQ(change.status, 2);
  EXPECT_FALSE(change.allDay);
}

TEST_F(AppointmentEditsTest, ARecurringOccurrenceIsAskedAboutAndKeepsItsReminder) {
  record.m_isRecurring = TRUE;
  box.answer = IDCANCEL;
  EXPECT_FALSE(list.EditTimes(&record));
  ASSERT_EQ(box.asked.size(), 1u);
  EXPECT_EQ(box.Last().caption, L"Review");
  EXPECT_EQ(box.Last().type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
  EXPECT_FALSE(box.Last().text.empty());
  EXPECT_TRUE(requests.changes.empty());

  box.answer = IDYES;
  dlgtest::RunModal([&] { return list.EditTimes(&record) ? IDOK : IDCANCEL; }, [&](HWND dlg) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_DT_REMINDER_ON)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_DT_START_DATE)));
    dlgtest::Press(dlg, IDOK);
  });
  EXPECT_TRUE(requests.reminders.empty());
  ASSERT_EQ(requests.changes.size(), 1u);
  EXPECT_EQ(requests.changes[0].occurrence, Variant(2024, 6, 3));

  // Cancel in the dialog asks for nothing.
  dlgtest::RunModal([&] { return list.EditTimes(&record) ? IDOK : IDCANCEL; },
                    [&](HWND dlg) { dlgtest::Press(dlg, IDCANCEL); });
  EXPECT_EQ(requests.changes.size(), 1u);
}

TEST_F(AppointmentEditsTest, NotesInMemoryGoToTheViewerBesideTheRow) {
  CFakeNoteViewer viewer;
  RECT row = {1, 2, 3, 4};
  EXPECT_FALSE(list.ShowNotes(env.Owner(), row, &record)) << "no viewer yet";
  list.SetNoteViewer(&viewer);
  record.m_note = L"Bring the slides";
  EXPECT_TRUE(list.ShowNotes(env.Owner(), row, &record));
  EXPECT_EQ(viewer.shown, 1);
  EXPECT_EQ(viewer.title, L"Review");
  EXPECT_EQ(viewer.text, std::wstring(L"Bring the slides") + L'\0');
  EXPECT_EQ(viewer.owner, env.Owner());
  EXPECT_EQ(viewer.beside.left, 1);
  EXPECT_FALSE(list.ShowNotes(env.Owner(), row, nullptr));
}

}  // namespace
