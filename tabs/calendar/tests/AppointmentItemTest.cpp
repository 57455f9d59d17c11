// The appointment and special-event rows of the day list: the texts and icons a
// record gives (a table), the conflict mark, drawing as text runs, taps on the icons,
// the menus read back, and the commands as the item-operations program (an
// in-process stand-in window) and the appointments list (a recorder) receive them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/MenuReader.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/SkinColors.h"
#include "pim/OndrelProtocol.h"
#include "res/TarvoResIds.h"
#include "base/Translator.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/calendar/AppointmentItem2.h"
#include "tabs/calendar/AppointmentRowDialogs.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"
#include "tabs/contacts/ContactCommands.h"
#include "tabs/contacts/ContactsList.h"

namespace {

using caltest::CRequestRecorder;
using caltest::Variant;
using COwner = caltest::CRowOwner;

std::wstring Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return std::wstring(text);
}
std::wstring Time(double date) { return std::wstring(FormatAppointmentTime(date)); }

// ---- The pure text and icon table ----

struct RowCase {
  const char* name;
  double start, end;
  BOOL allDay;
  double day;
  BOOL newStyle;
  BOOL startOnly;
  // Expected time: 0 none, 1 "start-end", 2 "start-…", 3 "…-end", 4 "…", 5 all-day text, 6 start only.
  int time;
  int lines;
};

class AppointmentRowTextTest : public ::testing::TestWithParam<RowCase> {
 protected:
  CResourceLibraryScope resources;
};

TEST_P(AppointmentRowTextTest, TimeTextAndLineLayout) {
  const RowCase& c = GetParam();
  CAppointmentRecord record;
  record.m_subject = L"Trip";
  record.m_start = c.start;
  record.m_end = c.end;
  record.m_allDay = c.allDay;
  record.m_yearCount = -1;
  APPOINTMENT_ROW_OPTIONS options;
  CViewSettings::ParsePattern(L"n3rqsca", options.pattern);
  options.newStyle = c.newStyle;
  options.startOnly = c.startOnly;
  APPOINTMENT_ROW_TEXT out;
  ComputeAppointmentRowText(record, c.day, options, nullptr, FALSE, &out);
  const std::wstring more = Text(IDS_APPT_CONTINUED);
  std::wstring expected;
  switch (c.time) {
    case 1: expected = Time(c.start) + L"-" + Time(c.end); break;
    case 2: expected = Time(c.start) + L"-" + more; break;
    case 3: expected = more + L"-" + Time(c.end); break;
    case 4: expected = more; break;
    case 5: expected = Text(IDS_APPT_ALL_DAY); break;
    case 6: expected = Time(c.start); break;
  }
  EXPECT_EQ(std::wstring(out.time), expected);
  EXPECT_EQ(out.lines, c.lines);
  EXPECT_EQ(std::wstring(out.subject), L"Trip");
}

const double D = 45446;  // 2024-06-03, a Monday
const double H = 1.0 / 24;
INSTANTIATE_TEST_SUITE_P(
    Cases, AppointmentRowTextTest,
    ::testing::Values(RowCase{"single", D + 9 * H, D + 10 * H, FALSE, D, TRUE, FALSE, 1, 3},
                      RowCase{"single_start_only", D + 9 * H, D + 10 * H, FALSE, D, TRUE, TRUE, 6, 3},
                      RowCase{"ends_at_midnight_is_one_day", D + 22 * H, D + 1, FALSE, D, TRUE, FALSE, 1, 3},
                      RowCase{"first_day", D + 9 * H, D + 2 + 17 * H, FALSE, D, TRUE, FALSE, 2, 3},
                      RowCase{"middle_day_new", D + 9 * H, D + 2 + 17 * H, FALSE, D + 1, TRUE, FALSE, 0, 1},
                      RowCase{"middle_day_old", D + 9 * H, D + 2 + 17 * H, FALSE, D + 1, FALSE, FALSE, 4, 3},
                      RowCase{"last_day", D + 9 * H, D + 2 + 17 * H, FALSE, D + 2 + 0.5, TRUE, FALSE, 3, 3},
                      RowCase{"all_day_new", D, D, TRUE, D, TRUE, FALSE, 0, 1},
                      RowCase{"all_day_old", D, D, TRUE, D, FALSE, FALSE, 5, 3}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

BOOL EverySecondCategory(int category) { return category % 2 == 1; }

TEST(AppointmentRowIconsTest, PatternLettersGiveTheirIcons) {
  CResourceLibraryScope resources;
  struct IconCase {
    const wchar_t* pattern;
    BOOL notes, reminder, priv, meeting, recurring, exception, iconsEnabled, own;
    std::vector<int> icons;  // skin icons; -1 category, -2 own
    int firstLeads;
  } cases[] = {
      {L"n3rqsca", TRUE, TRUE, TRUE, TRUE, TRUE, FALSE, TRUE, FALSE, {0, 4, 3, 5, -1, 7, -1}, 1},
      {L"n3rqsca", FALSE, FALSE, FALSE, FALSE, TRUE, TRUE, TRUE, FALSE, {39, -1, -1}, 0},
      {L"n3rqsca", FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, {6}, 0},
      {L"n3rqsca", FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE, TRUE, {-2, -1, -1}, 0},
      {L"nr2qs", TRUE, TRUE, FALSE, FALSE, FALSE, FALSE, TRUE, FALSE, {}, 0},  // two leading letters: none leads
      {L"q1n", TRUE, FALSE, FALSE, FALSE, TRUE, FALSE, TRUE, FALSE, {3, 0}, 1},
  };
  for (const IconCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::string(c.pattern, c.pattern + wcslen(c.pattern)) << " " << c.icons.size());
    CAppointmentRecord record;
    record.m_hasNotes = c.notes;
    record.m_reminderSet = c.reminder;
    record.m_isPrivate = c.priv;
    record.m_isMeeting = c.meeting;
    record.m_isRecurring = c.recurring;
    record.m_isException = c.exception;
    record.m_categories.Set(1);
    record.m_categories.Set(2);
    record.m_categories.Set(3);
    APPOINTMENT_ROW_OPTIONS options;
    CViewSettings::ParsePattern(c.pattern, options.pattern);
    options.iconsEnabled = c.iconsEnabled;
    APPOINTMENT_ROW_TEXT out;
    ComputeAppointmentRowText(record, D, options, EverySecondCategory, c.own, &out);
    std::vector<int> icons;
    for (int k = 0; k < out.iconCount; ++k) icons.push_back(out.icons[k].icon);
    if (std::wstring(c.pattern) == L"nr2qs") {
      // Neither letter before the digit leads; the letters after it show nothing here.
      EXPECT_TRUE(icons.empty());
      continue;
    }
    EXPECT_EQ(icons, c.icons);
    if (out.iconCount) {
      EXPECT_EQ(out.icons[0].leading, c.firstLeads);
    }
  }
}

TEST(AppointmentRowIconsTest, CategoriesFillAtMostTenIcons) {
  CAppointmentRecord record;
  for (int i = 0; i < 30; ++i) record.m_categories.Set(i);
  APPOINTMENT_ROW_OPTIONS options;
  CViewSettings::ParsePattern(L"n3c", options.pattern);
  APPOINTMENT_ROW_TEXT out;
  ComputeAppointmentRowText(record, D, options, [](int) { return TRUE; }, FALSE, &out);
  EXPECT_EQ(out.iconCount, APPOINTMENT_ROW_TEXT::kMaxIcons);
  for (int k = 0; k < out.iconCount; ++k) EXPECT_EQ(out.icons[k].category, k);
}

TEST(AppointmentRowSubjectTest, YearsAndLocation) {
  CResourceLibraryScope resources;
  struct {
    LONG years;
    const wchar_t* location;
    BOOL showLocation;
    const wchar_t* expected;
  } cases[] = {
      {-1, L"", TRUE, L"Lunch"},
      {0, L"", TRUE, L"Lunch (0)"},
      {12, L"Harbour", TRUE, L"Lunch (12) (Harbour)"},
      {-1, L"Harbour", FALSE, L"Lunch"},
  };
  for (const auto& c : cases) {
    CAppointmentRecord record;
    record.m_subject = L"Lunch";
    record.m_location = c.location;
    record.m_yearCount = c.years;
    record.m_start = D + 12 * H;
    record.m_end = D + 13 * H;
    APPOINTMENT_ROW_OPTIONS options;
    CViewSettings::ParsePattern(L"n3rqsca", options.pattern);
    options.showLocation = c.showLocation;
    APPOINTMENT_ROW_TEXT out;
    ComputeAppointmentRowText(record, D, options, nullptr, FALSE, &out);
    EXPECT_EQ(std::wstring(out.subject), c.expected);
  }
}

// ---- Rows, menus and commands ----

struct Received {
  ULONG_PTR code;
  ONDREL_REQUEST request;
  ONDREL_CHANGE_RECORD change;
};
std::vector<Received>* g_received = nullptr;

LRESULT CALLBACK FakeOndrelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA && g_received) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    Received r = {};
    r.code = copy->dwData;
    ONDREL_CHANGE_MESSAGE change;
    if (ReadOndrelRequest(copy, &r.request) || ReadOndrelChange(copy, &change)) {
      if (copy->dwData == ONDREL_CHANGE_DATA) r.change = change.record;
      g_received->push_back(r);
    }
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}


class CAnswers : public IAppointmentRowDialogs {
 public:
  int MessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) override {
    asked.push_back({text, caption, type});
    return answer;
  }
  BOOL EditReminder(HWND, LPCWSTR subject, LONG* minutes) override {
    reminderAsked = *minutes;
    reminderSubject = subject;
    if (!reminderOk) return FALSE;
    *minutes = reminderAnswer;
    return TRUE;
  }
  BOOL ChooseLink(HWND, LPCWSTR, LPCWSTR, CString*) override { return FALSE; }
  struct Question {
    std::wstring text, caption;
    UINT type;
  };
  std::vector<Question> asked;
  int answer = IDCANCEL;
  LONG reminderAsked = 0;
  std::wstring reminderSubject;
  BOOL reminderOk = FALSE;
  LONG reminderAnswer = 0;
};


class AppointmentItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
    GetViewSettings().Load();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FakeOndrelProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = ONDREL_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    fake = CreateWindowExW(0, ONDREL_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    g_received = &received;
    list.SetRequests(&requests);
    CAppointmentItem::SetAppointmentsList(&list);
    previousDialogs = SetAppointmentRowDialogs(&answers);
    record = new CAppointmentRecord;
    record->m_subject = L"Review";
    record->m_start = D + 9 * H;
    record->m_end = D + 10 * H;
    record->m_itemId = 42;
    record->m_busyStatus = 2;
    record->m_yearCount = -1;
  }
  void TearDown() override {
    if (record) record->Release();
    SetAppointmentRowDialogs(previousDialogs);
    CAppointmentItem::SetAppointmentsList(nullptr);
    g_received = nullptr;
    DestroyWindow(fake);
    GetViewSettings().Load();
  }
  void MakeRecurring() {
    record->m_isRecurring = TRUE;
    // An occurrence two days after the series began.
    record->m_start = D + 2 + 9 * H;
    record->m_end = D + 2 + 10 * H;
  }

  CLocalMachineSandbox machine{L"AppointmentItemTest"};
  CResourceLibraryScope resources;
  HWND fake = nullptr;
  std::vector<Received> received;
  CRequestRecorder requests;
  CAppointmentsList list{TRUE};
  CAnswers answers;
  IAppointmentRowDialogs* previousDialogs = nullptr;
  COwner owner;
  CAppointmentRecord* record = nullptr;
};

TEST_F(AppointmentItemTest, OpenAndEditPassTheOccurrenceDayOnlyForARecurringRecord) {
  {
    CAppointmentItem row(record, FALSE, &owner);
    EXPECT_TRUE(row.OnCommand(CAppointmentItem::kCmdOpen));
  }
  MakeRecurring();
  {
    CAppointmentItem row(record, FALSE, &owner);
    EXPECT_TRUE(row.OnCommand(CAppointmentItem::kCmdEdit));
    EXPECT_TRUE(row.OnCommand(CAppointmentItem::kCmdCopy));
  }
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].code, OndrelRequestCode(ONDREL_KIND_APPOINTMENT, ONDREL_ACTION_OPEN));
  EXPECT_EQ(received[0].request.objectId, 42u);
  EXPECT_EQ(received[0].request.date1, kNoDate);
  EXPECT_EQ(received[1].code, OndrelRequestCode(ONDREL_KIND_APPOINTMENT, ONDREL_ACTION_EDIT));
  EXPECT_EQ(received[1].request.date1, D + 2);
  EXPECT_EQ(received[2].code, ONDREL_CHANGE_DATA);
  EXPECT_EQ(received[2].change.operation, static_cast<uint32_t>(ONDREL_COPY_ITEM));
  EXPECT_EQ(received[2].change.kind, 9u);
  EXPECT_EQ(received[2].change.first.u32, static_cast<uint32_t>(D + 2));
}

TEST_F(AppointmentItemTest, DeleteAsksAndTheAnswerChoosesSeriesOrOccurrence) {
  struct {
    BOOL recurring;
    int answer;
    UINT type;
    int deletions;
    double occurrence;
  } cases[] = {
      {FALSE, IDNO, MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION, 0, 0},
      {FALSE, IDYES, MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION, 1, IAppointmentRequests::kWholeSeries},
      {TRUE, IDCANCEL, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONEXCLAMATION, 0, 0},
      {TRUE, IDYES, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONEXCLAMATION, 1, IAppointmentRequests::kWholeSeries},
      {TRUE, IDNO, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONEXCLAMATION, 1, D + 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.recurring << " " << c.answer);
    requests.changes.clear();
    answers.asked.clear();
    answers.answer = c.answer;
    record->m_isRecurring = c.recurring;
    record->m_start = D + 2 + 9 * H;
    record->m_end = D + 2 + 10 * H;
    CAppointmentItem row(record, FALSE, &owner);
    row.OnCommand(CAppointmentItem::kCmdDelete);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].type, c.type);
    EXPECT_EQ(answers.asked[0].caption, L"Review");
    EXPECT_EQ(answers.asked[0].text, Text(c.recurring ? 20 : 21));
    ASSERT_EQ(static_cast<int>(requests.changes.size()), c.deletions);
    if (c.deletions) {
      EXPECT_EQ(requests.changes[0].occurrence, c.occurrence);
      EXPECT_EQ(requests.changes[0].start, IAppointmentRequests::kNoDate);
      EXPECT_EQ(requests.changes[0].end, IAppointmentRequests::kNoDate);
    }
  }
}

TEST_F(AppointmentItemTest, BusyStatusOfARecurringRecordAsksWhichPart) {
  MakeRecurring();
  CAppointmentItem row(record, FALSE, &owner);
  answers.answer = IDCANCEL;
  row.OnCommand(CAppointmentItem::kCmdStatusFree + 3);
  EXPECT_TRUE(requests.changes.empty());
  ASSERT_EQ(answers.asked.size(), 1u);
  EXPECT_EQ(answers.asked[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
  answers.answer = IDYES;
  row.OnCommand(CAppointmentItem::kCmdStatusFree + 3);
  ASSERT_EQ(requests.changes.size(), 1u);
  EXPECT_EQ(requests.changes[0].occurrence, D + 2);
  EXPECT_EQ(requests.changes[0].status, 3);
  EXPECT_EQ(answers.asked[1].text, Text(19));
}

TEST_F(AppointmentItemTest, TheReminderDialogGetsTheSubjectAndMinutesAndOkSetsIt) {
  CAppointmentItem row(record, FALSE, &owner);
  row.OnCommand(CAppointmentItem::kCmdReminder);
  EXPECT_EQ(answers.reminderAsked, -1);
  EXPECT_EQ(answers.reminderSubject, L"Review");
  EXPECT_TRUE(requests.reminders.empty());
  record->m_reminderSet = TRUE;
  record->m_reminderMinutes = 15;
  answers.reminderOk = TRUE;
  answers.reminderAnswer = 60;
  row.OnCommand(CAppointmentItem::kCmdReminder);
  EXPECT_EQ(answers.reminderAsked, 15);
  ASSERT_EQ(requests.reminders.size(), 1u);
  EXPECT_EQ(requests.reminders[0], (std::pair<DWORD, LONG>{42, 60}));
}

TEST_F(AppointmentItemTest, NotesAndCategoriesAreToldToTheOwner) {
  record->m_hasNotes = TRUE;
  record->m_reminderSet = TRUE;
  CAppointmentItem row(record, FALSE, &owner);
  row.SetSize(200, 200, 0, TRUE);
  row.OnCommand(CAppointmentItem::kCmdShowNotes);
  row.OnCommand(CAppointmentItem::kCmdCategories);
  RECT notes;
  ASSERT_EQ(row.GetIconRect(L'n', &notes), 0);
  POINT inside = {(notes.left + notes.right) / 2, (notes.top + notes.bottom) / 2};
  EXPECT_TRUE(row.OnPress(&inside));
  EXPECT_EQ(owner.notified, (std::vector<int>{512, 1552, 512}));
  RECT reminder;
  ASSERT_EQ(row.GetIconRect(L'r', &reminder), 4);
  POINT onReminder = {(reminder.left + reminder.right) / 2, (reminder.top + reminder.bottom) / 2};
  EXPECT_TRUE(row.OnPress(&onReminder));
  EXPECT_EQ(answers.reminderSubject, L"Review");
  RECT none;
  EXPECT_EQ(row.GetIconRect(L's', &none), -1);
  EXPECT_TRUE(IsRectEmpty(&none));
}

TEST_F(AppointmentItemTest, ConflictMarkFollowsTheSettingAndDrawsTheTimeTwice) {
  for (int mark = 0; mark <= 1; ++mark) {
    GetViewSettings().App_MarkConflicting = mark;
    CAppointmentItem row(record, TRUE, &owner);
    EXPECT_EQ(row.HasConflict(), mark);
    row.SetSize(220, 220, 0, TRUE);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 240, 60);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT clip = {0, 0, 240, 60};
    CTextRunList runs(dc, clip);
    POINT origin = {0, 0};
    row.Draw(&runs, &origin);
    int timeRuns = 0, coloured = 0;
    for (int i = 0; i < runs.GetRunCount(); ++i)
      if (std::wstring(runs.GetRun(i).text) == std::wstring(row.GetTimeText())) {
        ++timeRuns;
        if (runs.GetRun(i).textColor == CSkinColors::Instance().Get(6)) ++coloured;
      }
    EXPECT_EQ(timeRuns, 1 + mark);
    EXPECT_GE(coloured, mark);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
}

TEST_F(AppointmentItemTest, PastRowsDrawInTheItalicFontAndTwoLineRowsPutTheSubjectBelow) {
  CFontCache fonts;
  CAppointmentItem row(record, FALSE, &owner);
  row.SetSize(220, 220, 0, TRUE);
  EXPECT_EQ(row.GetLineLayout(), 3);
  EXPECT_GE(row.GetSubjectRect().top, row.GetTimeRect().bottom);
  HDC screen = GetDC(nullptr);
  RECT clip = {0, 0, 240, 60};
  for (int past = 0; past <= 1; ++past) {
    row.SetPast(past);
    row.Relayout();
    CTextRunList runs(screen, clip);
    POINT origin = {0, 0};
    row.Draw(&runs, &origin);
    ASSERT_EQ(runs.GetRunCount(), 2);
    LOGFONTW font = {};
    GetObjectW(runs.GetRun(0).font, sizeof font, &font);
    EXPECT_EQ(font.lfItalic != 0, past != 0);
    GetObjectW(runs.GetRun(1).font, sizeof font, &font);
    EXPECT_EQ(font.lfWeight >= FW_BOLD, past == 0);
  }
  ReleaseDC(nullptr, screen);
}

TEST_F(AppointmentItemTest, MenuHoldsTheCommandsWithTheRecordsState) {
  record->m_busyStatus = 1;
  record->m_isPrivate = 1;
  CAppointmentItem row(record, FALSE, &owner);
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  auto top = ReadMenu(menu);
  ASSERT_GE(top.size(), 5u);
  EXPECT_EQ(top[0].id, 1214);
  EXPECT_EQ(top[0].text, Text(101));
  EXPECT_EQ(top[1].text, Text(285));
  EXPECT_EQ(top[2].text, Text(13));
  EXPECT_EQ(top.back().id, 1027);
  EXPECT_EQ(top.back().text, Text(15));
  HMENU item = GetSubMenu(menu, 1);
  auto itemEntries = ReadMenu(item);
  ASSERT_GE(itemEntries.size(), 3u);
  EXPECT_EQ(itemEntries[0].id, 1001);
  EXPECT_EQ(itemEntries[1].id, 1002);
  EXPECT_EQ(itemEntries[2].id, 1217);
  EXPECT_TRUE(GetMenuState(item, 1217, MF_BYCOMMAND) & MF_GRAYED);
  HMENU edit = GetSubMenu(menu, 2);
  EXPECT_TRUE(GetMenuState(edit, 1216, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_NE(GetMenuState(edit, 1003, MF_BYCOMMAND), static_cast<UINT>(-1));
  HMENU status = GetSubMenu(edit, 1);
  ASSERT_NE(status, nullptr);
  for (UINT id = 1210; id <= 1213; ++id)
    EXPECT_EQ((GetMenuState(status, id, MF_BYCOMMAND) & MF_CHECKED) != 0, id == 1211) << id;
  DestroyMenu(menu);
}

// ---- Special-event rows ----

class AppointmentItem2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
    GetViewSettings().Load();
    contact = CONTACT_ITEM::Create(0x1234);
    contact->m_itemOid = 0x1234;
    contact->m_birthday = Variant(1990, 6, 3);
    contact->m_hasNotes = TRUE;
  }
  void TearDown() override { contact->Release(); }
  CSpecialEventItem* Event(int kind) {
    CSpecialEventItem* event = CSpecialEventItem::Create(nullptr);
    event->Init(contact, kind, 0);
    event->m_contactOid = contact->m_itemOid;
    event->m_date = Variant(1990, 6, 3);
    event->m_parts = caltest::Date(1990, 6, 3);
    return event;
  }

  CLocalMachineSandbox machine{L"AppointmentItem2Test"};
  CResourceLibraryScope resources;
  COwner owner;
  CONTACT_ITEM* contact = nullptr;
};

TEST_F(AppointmentItem2Test, YearsUserDataAndIconsByKind) {
  for (int kind = 0; kind <= 1; ++kind) {
    CSpecialEventItem* event = Event(kind);
    CAppointmentItem2 row(event, &owner, 0);
    event->Release();
    row.SetSize(220, 220, 0, TRUE);
    row.GetHeight(-1);
    EXPECT_FALSE(row.GetCaption().IsEmpty());
    EXPECT_TRUE(row.GetYearsText().IsEmpty());
    row.SetDay(static_cast<LONG>(Variant(2024, 6, 3)));
    EXPECT_EQ(std::wstring(row.GetYearsText()), L"(34)");
    EXPECT_EQ(row.GetIcon(), kind ? 20 : 21);
    EXPECT_EQ(row.GetUserData(), kind ? static_cast<DWORD_PTR>(~0x1234u) : 0x1234u);
    EXPECT_EQ(row.GetKind(), ITEM_KIND_EVENT_ROW);
    EXPECT_EQ(row.GetIconRect().right, ScaleX(30));
    // The years stand right after the caption.
    EXPECT_GE(row.GetYearsRect().left, row.GetCaptionRect().right);
  }
}

TEST_F(AppointmentItem2Test, AnAbsentContactLeavesTheNameOutAndNotesGoToTheOwner) {
  CSpecialEventItem* event = Event(0);
  CAppointmentItem2 row(event, &owner, 1);
  event->Release();
  CContactsList empty;
  CAppointmentItem2::SetContactsList(&empty);
  EXPECT_EQ(row.FindContact(), nullptr);
  row.SetSize(220, 220, 0, TRUE);
  row.GetHeight(-1);
  // Date mode 1: the stored date, then the caption.
  CString date;
  FormatVariantDate(date, Variant(1990, 6, 3));
  const std::wstring prefix = std::wstring(date) + L": ";
  EXPECT_EQ(std::wstring(row.GetCaption()).substr(0, prefix.size()), prefix);
  EXPECT_TRUE(row.OnCommand(CAppointmentItem2::kCmdShowNotes));
  EXPECT_EQ(owner.notified, (std::vector<int>{1280}));
  // Commands for the contact do nothing without one.
  EXPECT_FALSE(row.OnCommand(kContactOpen));
  HMENU menu = CreatePopupMenu();
  row.BuildMenu(menu);
  auto top = ReadMenu(menu);
  ASSERT_GE(top.size(), 2u);
  EXPECT_EQ(top.back().id, 1027);
  HMENU item = GetSubMenu(menu, 0);
  EXPECT_TRUE(GetMenuState(item, 1305, MF_BYCOMMAND) & MF_GRAYED);
  DestroyMenu(menu);
  CAppointmentItem2::SetContactsList(nullptr);
}

}  // namespace
