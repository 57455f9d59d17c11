// The Calendar's day list built over a store the device's object model wrote: day
// groups and their rows, multi-day appointments on every day they cover, the past
// filter, birthdays (29 February in a year without one), tasks from a plain array on
// the days "App_TaskShowMultiday" names, remembered folds, flat mode and the empty
// list.
#include "tabs/calendar/CalendarDayList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/Translator.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "base/ViewSettings.h"
#include "controls/ContainerElement.h"
#include "controls/GroupElement.h"
#include "controls/GroupHeaderItem.h"
#include "panel/GroupHeaderRow.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/calendar/AppointmentItem2.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CalendarDaySources.h"
#include "tabs/calendar/DayHeaderRow.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"
#include "tabs/calendar/tests/ObjectModelItems.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskSource.h"

namespace {

using COwner = caltest::CRowOwner;

using caltest::Variant;
const double H = 1.0 / 24;

// Tasks from a plain array.
class CTaskArray : public ITaskSource {
 public:
  ~CTaskArray() override {
    for (TASK_ITEM* t : tasks) t->Release();
  }
  void Add(const wchar_t* subject, double start, double due) {
    TASK_ITEM* task = TASK_ITEM::New();
    task->subject = subject;
    task->start = start;
    task->due = due;
    task->itemOid = static_cast<DWORD>(tasks.size() + 1);
    tasks.push_back(task);
  }
  BOOL EnsureLoaded(TASK_ITEM** first, BOOL, double) override {
    if (first) *first = tasks.empty() ? nullptr : tasks[0];
    return !tasks.empty();
  }
  int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
  TASK_ITEM* GetTaskAt(int index) const override { return tasks[index]; }
  std::vector<TASK_ITEM*> tasks;
};

// A task row that only names its task, and how it was asked for.
class CFakeTaskRow : public CListItem {
 public:
  CFakeTaskRow(IListItemOwner* owner, TASK_ITEM* task, BOOL hideDate) : CListItem(owner), subject(task->subject), hideDate(hideDate) {}
  int GetHeight(int) override { return 10; }
  void Draw(CTextRunList*, const POINT*) override {}
  int GetKind() override { return ITEM_KIND_TASK; }
  std::wstring subject;
  BOOL hideDate;
};

// An e-mail account's row: its name only.
class CFakeMailRow : public CListItem {
 public:
  CFakeMailRow(IListItemOwner* owner, const std::wstring& name) : CListItem(owner), name(name) {}
  int GetHeight(int) override { return 10; }
  void Draw(CTextRunList*, const POINT*) override {}
  int GetKind() override { return 506; }
  std::wstring name;
};

class CFakeSources : public ICalendarDaySources {
 public:
  CListItem* MakeTaskRow(TASK_ITEM* task, IListItemOwner* owner, BOOL hideDate, BOOL) override {
    return new CFakeTaskRow(owner, task, hideDate);
  }
  void MakeEmailRows(IListItemOwner* owner, std::vector<CListItem*>& rows, int* messages, int* unread) override {
    *messages = *unread = 0;
    for (const Account& a : accounts) {
      *messages += a.messages;
      *unread += a.unread;
      if (a.unread) rows.push_back(new CFakeMailRow(owner, a.name));
    }
    ++emailAsked;
  }
  struct Account {
    std::wstring name;
    int messages, unread;
  };
  std::vector<Account> accounts;
  int emailAsked = 0;
};


// What a built list holds, as text: "day: row, row" per group, or the rows of a flat list.
std::wstring RowText(CListItem* row) {
  switch (row->GetKind()) {
    case ITEM_KIND_APPOINTMENT: {
      auto* a = static_cast<CAppointmentItem*>(row);
      std::wstring text = std::wstring(a->GetRecord()->m_subject);
      if (a->HasConflict()) text += L"!";
      if (a->IsPast()) text += L"~";
      return text;
    }
    case ITEM_KIND_EVENT_ROW:
      return L"*" + std::to_wstring(static_cast<CAppointmentItem2*>(row)->GetRecord()->m_contactOid);
    case ITEM_KIND_TASK:
      return L"t:" + static_cast<CFakeTaskRow*>(row)->subject;
    case ITEM_KIND_GROUP_HEADER:
      return L"(empty)";
    case 506:
      return L"m:" + static_cast<CFakeMailRow*>(row)->name;
    default:
      return L"?";
  }
}

std::vector<std::wstring> Describe(CContainerElement* content, double base) {
  std::vector<std::wstring> out;
  for (int i = 0; i < content->GetChildCount(); ++i) {
    CListItem* child = content->GetChild(i);
    if (child->GetKind() == CDayHeaderRow::kKind) {
      auto* header = static_cast<CDayHeaderRow*>(child);
      std::wstring text = L"d" + std::to_wstring(static_cast<int>(header->GetDay() - base)) +
                          (header->IsFolded() ? L"[f]" : L"") + L":";
      for (int k = 0; k < header->GetChildCount(); ++k) text += L" " + RowText(header->GetChild(k));
      out.push_back(text);
    } else if (child->GetKind() == ITEM_KIND_GROUP) {
      CString title;
      static_cast<CGroupElement*>(child)->GetTitle(title);
      std::wstring text = L"g:" + std::wstring(title) + L":";
      auto* group = static_cast<CGroupElement*>(child);
      for (int k = 0; k < group->GetChildCount(); ++k) text += L" " + RowText(group->GetChild(k));
      out.push_back(text);
    } else if (child->GetKind() == ITEM_KIND_GENERAL_HEADER) {
      auto* group = static_cast<CGroupHeaderRow*>(child);
      CString title;
      group->GetTitle(title);
      std::wstring text = L"e:" + std::wstring(title) + L"(" + std::to_wstring(group->GetDisplayCount()) + L"/" +
                          std::to_wstring(group->GetUnreadCount()) + L")" + (group->IsFolded() ? L"[f]" : L"") + L":";
      for (int k = 0; k < group->GetChildCount(); ++k) text += L" " + RowText(group->GetChild(k));
      out.push_back(text);
    } else {
      out.push_back(RowText(child));
    }
  }
  return out;
}

class CalendarDayListTest : public ::testing::Test {
 protected:
  CalendarDayListTest() : m_store(true) {}
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    pimtest::UseLayout(true);
    pimtest::ClearStores();
    app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
    m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    GetViewSettings().Load();
    GetViewSettings().App_MarkConflicting = 1;
    days.SetAppointmentsList(&list);
    days.SetContactsList(&contacts);
    days.SetTaskSource(&tasks);
    days.SetSources(&sources);
    inputs.showTasks = TRUE;
    inputs.sovel = FALSE;
  }
  void TearDown() override {
    delete content;
    if (m_window) DestroyWindow(m_window);
    if (app) app->Release();
    pimtest::ClearStores();
    CoUninitialize();
  }
  void AddTimed(const wchar_t* subject, double start, double end, long busy = 2) {
    IAppointment* appt = caltest::NewAppointment(app, subject, start, end);
    ASSERT_NE(appt, nullptr);
    appt->put_BusyStatus(busy);
    caltest::SaveAppointment(appt);
  }
  void AddContact(const wchar_t* first, double birthday) { caltest::AddContact(app, first, birthday); }
  std::vector<std::wstring> Build(LONG first, LONG last, double now) {
    inputs.first = first;
    inputs.last = last;
    inputs.now = now;
    CContainerElement* built = days.Build(&owner, content, inputs, &refreshAt);
    delete content;
    content = built;
    return Describe(content, first);
  }

  CLocalMachineSandbox machine{L"CalendarDayListTest"};
  CResourceLibraryScope resources;
  CStoreMode m_store;
  IPOutlookApp* app = nullptr;
  HWND m_window = nullptr;
  CAppointmentsList list{TRUE};
  CContactsList contacts;
  CTaskArray tasks;
  CFakeSources sources;
  COwner owner;
  CCalendarDayList days;
  CALENDAR_DAY_INPUTS inputs;
  CContainerElement* content = nullptr;
  double refreshAt = 0;
};

const LONG kMonday = static_cast<LONG>(47539);  // 2030-02-25, a Monday

TEST_F(CalendarDayListTest, AThreeDayAppointmentHasARowOnEachDayClippedForConflicts) {
  const double M = kMonday;
  AddTimed(L"Trip", M + 1 + 18 * H, M + 3 + 12 * H);  // Tuesday 18:00 to Thursday 12:00
  AddTimed(L"Call", M + 2 + 9 * H, M + 2 + 10 * H);   // overlaps the trip on Wednesday
  AddTimed(L"Lunch", M + 3 + 13 * H, M + 3 + 14 * H); // after the trip on Thursday
  const std::vector<std::wstring> expected = {
      L"d1: Trip!",          // its first day: the whole appointment is tested
      L"d2: Trip! Call!",    // Wednesday: the trip covers the whole day
      L"d3: Trip Lunch",     // Thursday: the trip is over before lunch
  };
  EXPECT_EQ(Build(kMonday, kMonday + 6, M - 10), expected);
  // Each row knows the day it stands under.
  auto* wednesday = static_cast<CDayHeaderRow*>(content->GetChild(1));
  EXPECT_EQ(static_cast<CAppointmentItem*>(wednesday->GetChild(0))->GetDay(), M + 2);
}

TEST_F(CalendarDayListTest, ThePastFilterActsOnlyOnAPeriodStartingToday) {
  const double M = kMonday;
  AddTimed(L"Standup", M + 8 * H, M + 9 * H);
  AddTimed(L"Review", M + 15 * H, M + 16 * H);
  AddTimed(L"Earlier", M - 1 + 8 * H, M - 1 + 9 * H);
  inputs.showPast = FALSE;
  // Today is Monday, 12:00.
  EXPECT_EQ(Build(kMonday, kMonday + 2, M + 12 * H), (std::vector<std::wstring>{L"d0: Review"}));
  EXPECT_NEAR(refreshAt, M + 16 * H, 1e-6);
  // A period that starts the day before keeps everything, finished ones marked past.
  EXPECT_EQ(Build(kMonday - 1, kMonday + 2, M + 12 * H),
            (std::vector<std::wstring>{L"d0: Earlier~", L"d1: Standup~ Review"}));
}

TEST_F(CalendarDayListTest, ABirthdayOn29FebruaryIsNotListedInAYearWithoutIt) {
  AddContact(L"Leap", Variant(2000, 2, 29));
  AddContact(L"March", Variant(1990, 3, 1));
  contacts.SetNotifyWindow(m_window);
  ASSERT_TRUE(contacts.Open());
  // 2031 has no 29 February: 27 February to 2 March.
  std::vector<std::wstring> shown = Build(static_cast<LONG>(Variant(2031, 2, 27)),
                                          static_cast<LONG>(Variant(2031, 3, 2)), Variant(2031, 2, 27, 8));
  ASSERT_EQ(shown.size(), 2u);  // today (empty, shown always) and 1 March
  EXPECT_EQ(shown[0], L"d0:");
  EXPECT_EQ(shown[1].substr(0, 4), L"d2: ");
  EXPECT_EQ(std::count(shown[1].begin(), shown[1].end(), L'*'), 1);
  const std::wstring marchOnly = shown[1];
  // 2032 has one: the leap birthday is on its own day.
  shown = Build(static_cast<LONG>(Variant(2032, 2, 28)), static_cast<LONG>(Variant(2032, 3, 1)),
                Variant(2032, 2, 28, 8));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].substr(0, 4), L"d1: ");
  EXPECT_EQ(shown[2].substr(0, 4), L"d2: ");
  // 2100 is divisible by 4 but has no 29 February either: 1 March keeps its own events,
  // and the days after it are not shifted by one.
  shown = Build(static_cast<LONG>(Variant(2100, 2, 27)), static_cast<LONG>(Variant(2100, 3, 2)),
                Variant(2100, 2, 27, 8));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], marchOnly);
}

TEST_F(CalendarDayListTest, SpanningTasksStandOnTheDaysTheSettingNames) {
  const double M = kMonday;
  tasks.Add(L"Span", M, M + 4);    // Monday to Friday
  tasks.Add(L"Due", M + 1, M + 1); // a single-day task on Tuesday
  inputs.showOverdue = FALSE;
  inputs.showEmptyDays = FALSE;
  inputs.showTodayAlways = FALSE;
  struct {
    int mode;
    std::vector<std::wstring> expected;
  } cases[] = {
      // Today is Wednesday.
      {0, {L"d0: t:Span", L"d1: t:Due", L"d2: t:Span"}},
      {1, {L"d1: t:Due", L"d4: t:Span"}},
      {2, {L"d0: t:Span", L"d1: t:Due", L"d2: t:Span", L"d4: t:Span"}},
      {3, {L"d0: t:Span", L"d1: t:Due t:Span", L"d2: t:Span", L"d3: t:Span", L"d4: t:Span"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    inputs.taskShowMultiday = c.mode;
    EXPECT_EQ(Build(kMonday, kMonday + 6, M + 2 + 10 * H), c.expected);
  }
  // The due day's row hides its date; the single-day row always does.
  inputs.taskShowMultiday = 3;
  Build(kMonday, kMonday + 6, M + 2 + 10 * H);
  auto* friday = static_cast<CDayHeaderRow*>(content->GetChild(4));
  EXPECT_TRUE(static_cast<CFakeTaskRow*>(friday->GetChild(0))->hideDate);
  auto* thursday = static_cast<CDayHeaderRow*>(content->GetChild(3));
  EXPECT_FALSE(static_cast<CFakeTaskRow*>(thursday->GetChild(0))->hideDate);
}

TEST_F(CalendarDayListTest, OverdueAndUndatedGroupsComeFirst) {
  const double M = kMonday;
  tasks.Add(L"Late", 0, M - 2);
  tasks.Add(L"Someday", 0, 0);
  inputs.showUndated = TRUE;
  std::vector<std::wstring> shown = Build(kMonday, kMonday, M + 10 * H);
  CString overdue, undated;
  LoadTranslatedString(overdue, 73);
  LoadTranslatedString(undated, 179);
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"g:" + std::wstring(overdue) + L": t:Late",
                                               L"g:" + std::wstring(undated) + L": t:Someday", L"d0:"}));
  EXPECT_FALSE(static_cast<CFakeTaskRow*>(static_cast<CGroupElement*>(content->GetChild(0))->GetChild(0))->hideDate);
  // Both folded as the tab keeps them; a period that does not start today has no overdue group.
  EXPECT_TRUE(static_cast<CGroupElement*>(content->GetChild(0))->IsFolded());
  shown = Build(kMonday + 1, kMonday + 1, M + 10 * H);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].find(std::wstring(overdue)), std::wstring::npos);
}

TEST_F(CalendarDayListTest, AFoldIsRememberedByDayWhileThePeriodMoves) {
  const double M = kMonday;
  for (int d = 0; d < 5; ++d) AddTimed(L"Daily", M + d + 9 * H, M + d + 10 * H);
  inputs.defaultFold = FALSE;
  Build(kMonday, kMonday + 3, M + 8 * H);
  // Fold Tuesday's group, then move the period on by a day.
  static_cast<CDayHeaderRow*>(content->GetChild(1))->SetState(TRUE, FALSE);
  EXPECT_EQ(Build(kMonday + 1, kMonday + 4, M + 8 * H),
            (std::vector<std::wstring>{L"d0[f]: Daily", L"d1: Daily", L"d2: Daily", L"d3: Daily"}));
  EXPECT_EQ(days.GetRememberedDays().count(kMonday + 1), 1u);
  // Today's own fold is kept as today's.
  static_cast<CDayHeaderRow*>(content->GetChild(0))->SetState(FALSE, FALSE);
  Build(kMonday, kMonday + 1, M + 8 * H);
  static_cast<CDayHeaderRow*>(content->GetChild(0))->SetState(TRUE, FALSE);
  EXPECT_EQ(Build(kMonday, kMonday + 1, M + 8 * H), (std::vector<std::wstring>{L"d0[f]: Daily", L"d1: Daily"}));
  // A fresh view (the day changed) unfolds today and forgets the days.
  static_cast<CDayHeaderRow*>(content->GetChild(1))->SetState(TRUE, FALSE);
  inputs.reset = TRUE;
  EXPECT_EQ(Build(kMonday + 1, kMonday + 2, M + 1 + 8 * H), (std::vector<std::wstring>{L"d0: Daily", L"d1: Daily"}));
  EXPECT_TRUE(days.GetRememberedDays().empty());
}

TEST_F(CalendarDayListTest, AnEmptyPeriodShowsTheEmptyRowOrTodaysGroup) {
  inputs.showTodayAlways = FALSE;
  EXPECT_EQ(Build(kMonday, kMonday + 6, kMonday + 0.5), (std::vector<std::wstring>{L"(empty)"}));
  CString empty;
  LoadTranslatedString(empty, 41);
  EXPECT_EQ(std::wstring(static_cast<CGroupHeaderItem*>(content->GetChild(0))->GetCaption()), std::wstring(empty));
  inputs.showTodayAlways = TRUE;
  EXPECT_EQ(Build(kMonday, kMonday + 6, kMonday + 0.5), (std::vector<std::wstring>{L"d0:"}));
  inputs.showEmptyDays = TRUE;
  EXPECT_EQ(Build(kMonday, kMonday + 2, kMonday + 0.5), (std::vector<std::wstring>{L"d0:", L"d1:", L"d2:"}));
}

TEST_F(CalendarDayListTest, FlatModePutsEveryRowStraightIntoTheContent) {
  const double M = kMonday;
  AddTimed(L"Trip", M + 18 * H, M + 1 + 12 * H);
  AddTimed(L"Call", M + 1 + 14 * H, M + 1 + 15 * H);
  inputs.flat = TRUE;
  EXPECT_EQ(Build(kMonday, kMonday + 2, M + 8 * H), (std::vector<std::wstring>{L"Trip", L"Trip", L"Call"}));
}

// The unread mail comes first: one group of the accounts with unread messages, with
// the totals and the tab's fold; none without such an account, and in a flat list the
// rows alone.
TEST_F(CalendarDayListTest, TheUnreadMailGroupComesBeforeTheTaskAndDayGroups) {
  const double M = kMonday;
  tasks.Add(L"Late", 0, M - 2);
  CString mail, overdue;
  LoadTranslatedString(mail, 224);
  LoadTranslatedString(overdue, 73);
  const std::wstring e = L"e:" + std::wstring(mail), g = L"g:" + std::wstring(overdue) + L": t:Late";
  using Accounts = std::vector<CFakeSources::Account>;
  struct Case {
    const char* name;
    Accounts accounts;
    BOOL show, flat, folded;
    std::vector<std::wstring> shown;
  };
  const Case cases[] = {
      {"two with unread", {{L"Outlook", 4, 3}, {L"Texts", 5, 2}}, TRUE, FALSE, TRUE,
       {e + L"(9/5)[f]: m:Outlook m:Texts", g, L"d0:"}},
      {"unfolded, one without unread", {{L"Outlook", 4, 0}, {L"Texts", 5, 2}}, TRUE, FALSE, FALSE,
       {e + L"(9/2): m:Texts", g, L"d0:"}},
      {"nothing unread", {{L"Outlook", 4, 0}}, TRUE, FALSE, TRUE, {g, L"d0:"}},
      {"no account", {}, TRUE, FALSE, TRUE, {g, L"d0:"}},
      {"switched off", {{L"Texts", 5, 2}}, FALSE, FALSE, TRUE, {g, L"d0:"}},
      {"flat", {{L"Outlook", 4, 3}, {L"Texts", 5, 2}}, TRUE, TRUE, TRUE, {L"m:Outlook", L"m:Texts", L"t:Late"}},
  };
  for (const Case& c : cases) {
    sources.accounts = c.accounts;
    sources.emailAsked = 0;
    inputs.showEmails = c.show;
    inputs.flat = c.flat;
    days.foldEmails = c.folded;
    delete content;
    content = nullptr;
    EXPECT_EQ(Build(kMonday, kMonday, M + 10 * H), c.shown) << c.name;
    EXPECT_EQ(sources.emailAsked, c.show ? 1 : 0) << c.name;
  }
}

TEST_F(CalendarDayListTest, TheMailGroupsFoldSurvivesARebuild) {
  sources.accounts = {{L"Texts", 5, 2}};
  days.foldEmails = TRUE;
  Build(kMonday, kMonday, kMonday + 0.5);
  ASSERT_EQ(content->GetChild(0)->GetKind(), ITEM_KIND_GENERAL_HEADER);
  static_cast<CGroupElement*>(content->GetChild(0))->SetState(FALSE, FALSE);
  const std::vector<std::wstring> shown = Build(kMonday, kMonday, kMonday + 0.5);
  EXPECT_FALSE(days.foldEmails);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].find(L"[f]"), std::wstring::npos) << shown[0];
}

}  // namespace
