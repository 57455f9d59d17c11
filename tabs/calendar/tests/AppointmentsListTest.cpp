// The appointments list over both store layouts, with the stores written by the
// device's object model: what a week's load holds, how a series expands, and what
// changes made by another process do to a loaded list.
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CompareAppointments.h"
#include "tabs/calendar/AppointmentQuery.h"
#include "base/RegKey.h"
#include "pim/CategoriesList.h"
#include "base/tests/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "pim/IconProviders.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "base/tests/ResourceLibraryScope.h"
#include "platform/windowlib/DialogImpl.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/TimeSpanBar.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"
#include "tabs/calendar/tests/ObjectModelItems.h"
#include "panel/tests/MessageBoxAnswer.h"

namespace {

const double kMonday = 46083.0;  // 2026-03-02, the range's first day
const double kRangeEnd = kMonday + 7;
const double kHour = 1.0 / 24;

using caltest::CBstrText;
using caltest::NewAllDay;
using caltest::NewAppointment;

struct Seen {
  std::wstring subject;
  double start, end;
  BOOL allDay;
};

std::vector<Seen> Contents(CAppointmentsList& list) {
  std::vector<Seen> seen;
  CAppointmentRecord* r = nullptr;
  for (BOOL more = list.GetFirst(&r); more; more = list.GetNext(&r))
    seen.push_back({std::wstring(r->m_subject), r->m_start, r->m_end, r->m_allDay});
  return seen;
}

void ExpectContents(const std::vector<Seen>& got, const std::vector<Seen>& expected) {
  ASSERT_EQ(got.size(), expected.size());
  for (size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].subject, expected[k].subject) << k;
    EXPECT_NEAR(got[k].start, expected[k].start, 0.5 / 1440) << got[k].subject;
    EXPECT_NEAR(got[k].end, expected[k].end, 0.5 / 1440) << got[k].subject;
    EXPECT_EQ(got[k].allDay, expected[k].allDay) << got[k].subject;
  }
}

class AppointmentsListTest : public ::testing::TestWithParam<bool> {
 protected:
  AppointmentsListTest() : m_store(GetParam()) {}
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    pimtest::UseLayout(Newer());
    pimtest::ClearStores();
    app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
  }
  void TearDown() override {
    if (app) app->Release();
    pimtest::ClearStores();
    CoUninitialize();
  }
  bool Newer() const { return GetParam(); }
  long Save(IAppointment* appt) {
    long oid = 0;
    EXPECT_HRESULT_SUCCEEDED(appt->Save());
    appt->get_Oid(&oid);
    appt->Release();
    return oid;
  }
  // Makes the appointment repeat every week on the days of the mask, without end, and saves it.
  long SaveWeekly(IAppointment* appt, long dayMask) {
    {
      CComPtr<IRecurrencePattern> pattern;
      EXPECT_HRESULT_SUCCEEDED(appt->GetRecurrencePattern(&pattern));
      if (pattern) {
        pattern->put_RecurrenceType(olRecursWeekly);
        pattern->put_DayOfWeekMask(dayMask);
        pattern->put_NoEndDate(VARIANT_TRUE);
      }
    }
    return Save(appt);
  }

  CStoreMode m_store;
  IPOutlookApp* app = nullptr;
};

TEST_P(AppointmentsListTest, AWeekHoldsWhatRunsInsideItInOrder) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Dentist", kMonday + 1 + 10 * kHour, kMonday + 1 + 11 * kHour));
  Save(a);
  ASSERT_TRUE(a = NewAllDay(app, L"Holiday", kMonday, 1, Newer()));
  Save(a);
  ASSERT_TRUE(a = NewAllDay(app, L"Trip", kMonday + 3, 3, Newer()));
  Save(a);
  // Runs across two nights, and one that began before the range and still runs into it.
  ASSERT_TRUE(a = NewAppointment(app, L"Night shift", kMonday + 2 + 22 * kHour, kMonday + 4 + 2 * kHour));
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"Late", kMonday - 2 + 20 * kHour, kMonday + 9 * kHour));
  Save(a);
  // Outside: ended before, starts after, and starts on the range's end day.
  ASSERT_TRUE(a = NewAppointment(app, L"Before", kMonday - 3, kMonday - 3 + kHour));
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"After", kRangeEnd + 1, kRangeEnd + 1 + kHour));
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"End day", kRangeEnd + 8 * kHour, kRangeEnd + 9 * kHour));
  Save(a);

  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  ExpectContents(Contents(list), {
                                     {L"Late", kMonday - 2 + 20 * kHour, kMonday + 9 * kHour, FALSE},
                                     {L"Holiday", kMonday, kMonday, TRUE},
                                     {L"Dentist", kMonday + 1 + 10 * kHour, kMonday + 1 + 11 * kHour, FALSE},
                                     {L"Night shift", kMonday + 2 + 22 * kHour, kMonday + 4 + 2 * kHour, FALSE},
                                     {L"Trip", kMonday + 3, kMonday + 5, TRUE},
                                 });
  EXPECT_TRUE(list.IsLoaded());
}

TEST_P(AppointmentsListTest, ASeriesExpandsWithItsExceptionsAndWithoutDeletedDays) {
  IAppointment* series = NewAppointment(app, L"Standup", kMonday - 3 + 8 * kHour, kMonday - 3 + 8.5 * kHour);
  ASSERT_TRUE(series);
  {
    CComPtr<IRecurrencePattern> pattern;
    ASSERT_HRESULT_SUCCEEDED(series->GetRecurrencePattern(&pattern));
    pattern->put_RecurrenceType(olRecursDaily);
    pattern->put_Interval(1);
    pattern->put_NoEndDate(VARIANT_TRUE);
  }
  ASSERT_HRESULT_SUCCEEDED(series->Save());
  {
    CComPtr<IRecurrencePattern> pattern;
    ASSERT_HRESULT_SUCCEEDED(series->GetRecurrencePattern(&pattern));
    CComPtr<IAppointment> gone;
    ASSERT_HRESULT_SUCCEEDED(pattern->GetOccurrence(kMonday + 2, &gone));
    ASSERT_HRESULT_SUCCEEDED(gone->Delete());
    CComPtr<IAppointment> moved;
    ASSERT_HRESULT_SUCCEEDED(pattern->GetOccurrence(kMonday + 3, &moved));
    CBstrText subject(L"Standup moved");
    moved->put_Subject(subject);
    moved->put_Start(kMonday + 3 + 12 * kHour);
    moved->put_End(kMonday + 3 + 13 * kHour);
    ASSERT_HRESULT_SUCCEEDED(moved->Save());
  }
  series->Release();

  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  std::vector<Seen> expected;
  for (int day : {0, 1, 4, 5, 6}) expected.push_back({L"Standup", kMonday + day + 8 * kHour, kMonday + day + 8.5 * kHour, FALSE});
  expected.insert(expected.begin() + 2, {L"Standup moved", kMonday + 3 + 12 * kHour, kMonday + 3 + 13 * kHour, FALSE});
  ExpectContents(Contents(list), expected);
  // Every occurrence names its series.
  const DWORD itemId = list.GetAt(0)->m_itemId;
  for (int k = 0; k < list.GetCount(); ++k) {
    EXPECT_EQ(list.GetAt(k)->m_itemId, itemId);
    EXPECT_TRUE(list.GetAt(k)->m_isRecurring);
  }
  EXPECT_TRUE(list.GetAt(2)->m_isException);
}

// The load sorts by precomputed keys; the order must be the one CompareAppointments gives,
// which the list's later in-place moves use.
TEST_P(AppointmentsListTest, TheLoadedOrderIsTheComparisonsOrder) {
  const wchar_t* subjects[] = {L"co-op", L"Coop", L"co op", L"\u00e9clair", L"Eclair", L"zebra", L"", L"Zebra",
                               L"a1", L"A10", L"a2", L"\uff21wide", L"awide"};
  for (const wchar_t* subject : subjects) {
    IAppointment* a;
    ASSERT_TRUE(a = NewAppointment(app, subject, kMonday + 9 * kHour, kMonday + 10 * kHour));
    Save(a);
  }
  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  CAppointmentRecord* r = nullptr;
  ASSERT_TRUE(list.GetFirst(&r));
  ASSERT_EQ(list.GetCount(), static_cast<int>(sizeof subjects / sizeof subjects[0]));
  for (int k = 1; k < list.GetCount(); ++k)
    EXPECT_LE(CompareAppointments(*list.GetAt(k - 1), *list.GetAt(k)), 0)
        << static_cast<LPCWSTR>(list.GetAt(k - 1)->m_subject) << L" / " << static_cast<LPCWSTR>(list.GetAt(k)->m_subject);
}

TEST_P(AppointmentsListTest, TheRangeRuleAndBusyIntervalsFollowTheRecords) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"One", kMonday + 9 * kHour, kMonday + 10 * kHour));
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"Two", kMonday + 9.5 * kHour, kMonday + 11 * kHour));
  Save(a);
  CAppointmentsList list;
  // Half a range is no range: both bounds unset.
  list.SetRange(kMonday, -5);
  EXPECT_FALSE(list.IsRangeSet());
  EXPECT_EQ(list.GetFrom(), CAppointmentsList::kUnset);
  EXPECT_EQ(list.GetTo(), CAppointmentsList::kUnset);
  list.SetRange(kMonday, kRangeEnd);
  CAppointmentRecord* first = nullptr;
  ASSERT_TRUE(list.GetFirst(&first));
  EXPECT_TRUE(list.HasConflict(kMonday + 9.5 * kHour, kMonday + 10 * kHour, *first));
  // The same range keeps the list; another clears it until the next walk.
  list.SetRange(kMonday, kRangeEnd);
  EXPECT_TRUE(list.IsLoaded());
  list.SetRange(kMonday + 1, kRangeEnd);
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(Contents(list).size(), 0u);
}

TEST_P(AppointmentsListTest, PrivateAndBusyStatusAreWrittenIntoTheStore) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Doctor", kMonday + 9 * kHour, kMonday + 10 * kHour));
  Save(a);
  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  CAppointmentRecord* record = nullptr;
  ASSERT_TRUE(list.GetFirst(&record));
  EXPECT_TRUE(list.SetPrivate(record, 2));
  EXPECT_TRUE(list.SetBusyStatus(record, 3));
  EXPECT_FALSE(list.SetBusyStatus(record, 4)) << "only statuses 0 to 3";
  CAppointmentsList reread;
  reread.SetRange(kMonday, kRangeEnd);
  ASSERT_TRUE(reread.GetFirst(&record));
  EXPECT_EQ(record->m_isPrivate, 2);
  EXPECT_EQ(record->m_busyStatus, 3);
}

// Counts the list's "changed" calls.
struct Heard : IAppointmentsListener {
  void OnAppointmentsChanged() override { ++count; }
  int count = 0;
};

// The panel's part: hands every database notification to the list, which frees it.
LRESULT CALLBACK ForwardProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DBNOTIFICATION) {
    auto* list = reinterpret_cast<CAppointmentsList*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (list) list->OnDatabaseNotify(reinterpret_cast<CENOTIFICATION*>(lp), FALSE);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeForwardWindow(CAppointmentsList* list) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ForwardProc;
  wc.lpszClassName = L"AppointmentsListTestForward";
  wc.hInstance = GetModuleHandleW(nullptr);
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list));
  return hwnd;
}

std::vector<std::wstring> Subjects(CAppointmentsList& list) {
  std::vector<std::wstring> names;
  for (const Seen& s : Contents(list)) names.push_back(s.subject);
  return names;
}

TEST_P(AppointmentsListTest, ChangesMadeByAnotherProcessReachTheList) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Keep", kMonday + 9 * kHour, kMonday + 10 * kHour));
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"Move", kMonday + 1 + 9 * kHour, kMonday + 1 + 10 * kHour));
  long moveOid = Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"Drop", kMonday + 2 + 9 * kHour, kMonday + 2 + 10 * kHour));
  long dropOid = Save(a);

  CAppointmentsList list;
  HWND window = MakeForwardWindow(&list);
  list.SetNotifyWindow(window);
  Heard heard;
  list.SetListener(&heard);
  list.SetRange(kMonday, kRangeEnd);
  ASSERT_EQ(Subjects(list), (std::vector<std::wstring>{L"Keep", L"Move", L"Drop"}));

  struct Step {
    const wchar_t* job;
    long oid;
    std::vector<std::wstring> after;
  };
  const Step steps[] = {
      {L"calendar-move-out-of-order", moveOid, {L"Keep", L"Drop", L"Moved"}},
      {L"calendar-add", 0, {L"Added", L"Keep", L"Drop", L"Moved"}},
      {L"calendar-delete", dropOid, {L"Added", L"Keep", L"Moved"}},
      {L"calendar-move-out-of-range", moveOid, {L"Added", L"Keep"}},
  };
  for (const Step& step : steps) {
    int before = heard.count;
    ASSERT_EQ(cedbtest::RunChild(step.job, std::to_wstring(step.oid)), 0u) << step.job;
    EXPECT_TRUE(cedbtest::PumpUntil([&] { return heard.count > before; })) << step.job;
    // The list changed in place: the same walk, no reload.
    EXPECT_TRUE(list.IsLoaded());
    EXPECT_EQ(Subjects(list), step.after) << step.job;
  }
  // Busy time follows: only Added and Keep are left.
  EXPECT_EQ(list.GetIntervals().size(), 2u);

  // A deletion that arrives for an appointment the list no longer holds changes nothing.
  CENOTIFICATION late{};
  late.dwSize = sizeof late;
  late.uType = CAppointmentsList::kRecordDeleted;
  late.oid = static_cast<CEOID>(dropOid);
  int before = heard.count;
  EXPECT_FALSE(list.OnDatabaseNotify(&late, TRUE));
  EXPECT_EQ(heard.count, before);
  list.Close();
  DestroyWindow(window);
}

TEST_P(AppointmentsListTest, AReloadedSeriesKeepsTheOccurrenceThatBeganBeforeTheRange) {
  // Weekly from Sunday 20:00 to Tuesday 08:00: the week's occurrence begins before Monday.
  IAppointment* series = NewAppointment(app, L"Watch", kMonday - 8 + 20 * kHour, kMonday - 6 + 8 * kHour);
  ASSERT_TRUE(series);
  SaveWeekly(series, 1 << 0);
  CAppointmentsList list;
  Heard heard;
  list.SetListener(&heard);
  list.SetRange(kMonday, kRangeEnd);
  const std::vector<Seen> week = {{L"Watch", kMonday - 1 + 20 * kHour, kMonday + 1 + 8 * kHour, FALSE},
                                  {L"Watch", kMonday + 6 + 20 * kHour, kMonday + 8 + 8 * kHour, FALSE}};
  ExpectContents(Contents(list), week);
  ASSERT_EQ(list.GetCount(), 2);

  CENOTIFICATION changed{};
  changed.dwSize = sizeof changed;
  changed.uType = CAppointmentsList::kRecordChanged;
  changed.oid = Newer() ? list.GetAt(0)->m_recordId : list.GetAt(0)->m_itemId;
  EXPECT_TRUE(list.OnDatabaseNotify(&changed, TRUE));
  EXPECT_EQ(heard.count, 1);
  ExpectContents(Contents(list), week);
}

TEST_P(AppointmentsListTest, ADeletedSeriesGoesAtOnceAndAResetEmptiesTheList) {
  IAppointment* series = NewAppointment(app, L"Daily", kMonday - 10 + 7 * kHour, kMonday - 10 + 7.5 * kHour);
  ASSERT_TRUE(series);
  {
    CComPtr<IRecurrencePattern> pattern;
    ASSERT_HRESULT_SUCCEEDED(series->GetRecurrencePattern(&pattern));
    pattern->put_RecurrenceType(olRecursDaily);
    pattern->put_NoEndDate(VARIANT_TRUE);
  }
  long seriesOid = Save(series);
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Single", kMonday + 12 * kHour, kMonday + 13 * kHour));
  Save(a);

  CAppointmentsList list;
  HWND window = MakeForwardWindow(&list);
  list.SetNotifyWindow(window);
  Heard heard;
  list.SetListener(&heard);
  list.SetRange(kMonday, kRangeEnd);
  ASSERT_EQ(Subjects(list).size(), 8u) << "seven days of the series and the single one";
  ASSERT_EQ(cedbtest::RunChild(L"calendar-delete", std::to_wstring(seriesOid)), 0u);
  EXPECT_TRUE(cedbtest::PumpUntil([&] { return heard.count > 0; }));
  EXPECT_EQ(Subjects(list), (std::vector<std::wstring>{L"Single"}));

  // The reset type empties the list, tells the listener, and the next walk loads again.
  CENOTIFICATION reset{};
  reset.dwSize = sizeof reset;
  reset.uType = CAppointmentsList::kResetAll;
  int before = heard.count;
  EXPECT_TRUE(list.OnDatabaseNotify(&reset, TRUE));
  EXPECT_EQ(heard.count, before + 1);
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(list.GetCount(), 0);
  // While unloaded, notifications are ignored.
  EXPECT_FALSE(list.OnDatabaseNotify(&reset, TRUE));
  EXPECT_EQ(heard.count, before + 1);
  EXPECT_EQ(Subjects(list), (std::vector<std::wstring>{L"Single"}));
  list.Close();
  DestroyWindow(window);
}

TEST_P(AppointmentsListTest, TheQueryHidesFreeTimeWhenAskedAndKeepsToItsRange) {
  struct Made {
    const wchar_t* subject;
    double start, end;
    long busy;
    bool allDay;
  };
  const Made made[] = {
      {L"Yesterday all day", kMonday - 1, kMonday - 1, 2, true},
      {L"Free lunch", kMonday + 12 * kHour, kMonday + 13 * kHour, 0, false},
      {L"Midnight mark", kMonday + 1, kMonday + 1, 2, false},
      {L"Tuesday", kMonday + 1 + 9 * kHour, kMonday + 1 + 10 * kHour, 2, false},
      {L"Wednesday all day", kMonday + 2, kMonday + 2, 1, true},
  };
  for (const Made& m : made) {
    IAppointment* a = m.allDay ? NewAllDay(app, m.subject, m.start, 1, Newer()) : NewAppointment(app, m.subject, m.start, m.end);
    ASSERT_TRUE(a);
    a->put_BusyStatus(m.busy);
    Save(a);
  }
  CAppointmentsList list;
  list.SetRange(kMonday - 1, kRangeEnd);
  struct Case {
    DWORD showFree;  // 2: value not stored
    double from, to;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {2, -1, -1, {L"Yesterday all day", L"Free lunch", L"Midnight mark", L"Tuesday", L"Wednesday all day"}},
      {0, -1, -1, {L"Yesterday all day", L"Midnight mark", L"Tuesday", L"Wednesday all day"}},
      // An all-day appointment runs to the next midnight; a zero-length one at the
      // range's start still counts.
      {1, kMonday, kMonday + 1, {L"Free lunch"}},
      {1, kMonday + 1, kMonday + 2, {L"Midnight mark", L"Tuesday"}},
      {1, kMonday + 2, -1, {L"Wednesday all day"}},
      {1, -1, kMonday, {L"Yesterday all day"}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> got;
    {
      CLocalMachineSandbox machine(L"calendar_query");
      ASSERT_TRUE(machine.Redirected());
      if (c.showFree != 2) machine.Key(TARVO_PRODUCT_KEY).WriteDWORD(L"CalendarShowFreeAppts", c.showFree);
      CAppointmentQuery query(&list);
      query.SetRange(c.from, c.to);
      CAppointmentRecord* r = nullptr;
      while (query.GetNext(&r)) got.push_back(std::wstring(r->m_subject));
      machine.Key(TARVO_PRODUCT_KEY).Delete();
    }
    EXPECT_EQ(got, c.expected) << c.showFree << " " << c.from << " " << c.to;
  }
}

TEST_P(AppointmentsListTest, CategoriesNotesAndFlagsComeFromTheStore) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Review", kMonday + 9 * kHour, kMonday + 10 * kHour));
  CBstrText categories(L"Work");
  a->put_Categories(categories);
  a->put_ReminderSet(VARIANT_TRUE);
  a->put_ReminderMinutesBeforeStart(15);
  a->put_Sensitivity(2);
  CBstrText location(L"Room 4");
  a->put_Location(location);
  Save(a);
  ASSERT_TRUE(a = NewAppointment(app, L"Plain", kMonday + 11 * kHour, kMonday + 12 * kHour));
  Save(a);

  CCategoriesList names;
  ASSERT_TRUE(names.OpenDatabases());
  int work = -1;
  for (int k = 0; k < names.GetCount(); ++k)
    if (std::wstring(names.GetName(k)) == L"Work") work = k;
  ASSERT_GE(work, 0);
  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  CAppointmentRecord* r = nullptr;
  ASSERT_TRUE(list.GetFirst(&r));
  EXPECT_EQ(std::wstring(r->m_subject), L"Review");
  EXPECT_EQ(std::wstring(r->m_location), L"Room 4");
  EXPECT_EQ(r->m_categories.Test(work), CBitSet::IsSet);
  EXPECT_TRUE(r->m_reminderSet);
  EXPECT_EQ(r->m_reminderMinutes, 15);
  EXPECT_EQ(r->m_isPrivate, 2);
  EXPECT_EQ(r->m_busyStatus, 2) << "busy unless told";
  EXPECT_EQ(r->m_recordId != 0, Newer()) << "only the newer store has a record apart from the item";
  EXPECT_EQ((r->m_itemId & 0x40000000) != 0, Newer());
  ASSERT_TRUE(list.GetNext(&r));
  EXPECT_EQ(r->m_categories.FindNext(0), -1);
  EXPECT_FALSE(r->m_reminderSet);
}

// A picture store that knows pictures of some items.
class CPictureStore : public CIconProvider {
 public:
  CPictureStore() : CIconProvider(kPimOwn) {}
  BOOL GetIconFile(CString& path, CEOID objectId) override {
    auto found = pictures.find(objectId);
    path = found == pictures.end() ? L"" : found->second.c_str();
    return found != pictures.end();
  }
  std::map<CEOID, std::wstring> pictures;
};

// Passes a set holding one category, or (index -1) a set holding none.
struct COneCategory : ICategoryFilter {
  explicit COneCategory(int index) : index(index) {}
  BOOL Matches(const CBitSet& categories) const override {
    return index < 0 ? categories.FindNext(0) < 0 : categories.Test(index) == CBitSet::IsSet;
  }
  int index;
};

// The query lets through what the tab's category filter takes, by the categories
// list's indices; every record names its picture as the picture store has it.
TEST_P(AppointmentsListTest, TheQueryKeepsToTheCategoryFilterAndRecordsNameTheirPictures) {
  const struct {
    const wchar_t* subject;
    const wchar_t* categories;
    double hour;
  } made[] = {{L"Review", L"Work", 9}, {L"Flight", L"Travel", 10}, {L"Both", L"Work, Travel", 11}, {L"Plain", L"", 12}};
  std::map<std::wstring, long> oids;
  for (const auto& m : made) {
    IAppointment* a = NewAppointment(app, m.subject, kMonday + m.hour * kHour, kMonday + (m.hour + 0.5) * kHour);
    ASSERT_TRUE(a);
    if (*m.categories) {
      CBstrText categories(m.categories);
      a->put_Categories(categories);
    }
    oids[m.subject] = Save(a);
  }
  CCategoriesList names;
  ASSERT_TRUE(names.OpenDatabases());
  auto indexOf = [&](const wchar_t* name) {
    for (int k = 0; k < names.GetCount(); ++k)
      if (std::wstring(names.GetName(k)) == name) return k;
    return -1;
  };
  const int work = indexOf(L"Work"), travel = indexOf(L"Travel");
  ASSERT_GE(work, 0);
  ASSERT_GE(travel, 0);

  auto* store = new CPictureStore;
  store->pictures[static_cast<CEOID>(oids[L"Flight"])] = L"\\Pictures\\plane.bmp";
  CIconProviders::Instance().SetStore(store);
  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  ASSERT_EQ(Contents(list).size(), 4u);
  for (int k = 0; k < list.GetCount(); ++k) {
    const CAppointmentRecord* r = list.GetAt(k);
    EXPECT_EQ(std::wstring(r->m_iconName), std::wstring(r->m_subject) == L"Flight" ? L"\\Pictures\\plane.bmp" : L"")
        << r->m_subject;
  }
  CIconProviders::Instance().SetStore(nullptr);

  const COneCategory onlyWork(work), onlyTravel(travel), none(-1);
  const struct {
    const ICategoryFilter* filter;
    std::vector<std::wstring> expected;
  } cases[] = {
      {nullptr, {L"Review", L"Flight", L"Both", L"Plain"}},
      {&onlyWork, {L"Review", L"Both"}},
      {&onlyTravel, {L"Flight", L"Both"}},
      {&none, {L"Plain"}},
  };
  for (const auto& c : cases) {
    CAppointmentQuery query(&list);
    query.SetCategoryFilter(c.filter);
    std::vector<std::wstring> got;
    CAppointmentRecord* r = nullptr;
    while (query.GetNext(&r)) got.push_back(std::wstring(r->m_subject));
    EXPECT_EQ(got, c.expected);
  }
}

// Writes a series' own time zone into its stored record, as a desktop calendar's sync
// leaves it: the 48-byte zone record with the two change rules.
void WriteSeriesZone(bool newer, CEOID record, LONG bias, LONG daylightBias, const SYSTEMTIME* standard,
                     const SYSTEMTIME* daylight) {
  BYTE zone[48] = {};
  memcpy(zone, &bias, 4);
  memcpy(zone + 8, &daylightBias, 4);
  if (standard) memcpy(zone + 14, standard, sizeof(SYSTEMTIME));
  if (daylight) memcpy(zone + 32, daylight, sizeof(SYSTEMTIME));
  CEGUID guid = pimtest::LayoutGuid(newer);
  CEOID dbOid = 0;
  HANDLE db = CeOpenDatabaseEx2(&guid, &dbOid, const_cast<LPWSTR>(L"Appointments Database"), nullptr, 0, nullptr);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  CEPROPVAL value = {};
  value.propid = newer ? 0x00480041 : 0x00010041;
  value.val.blob.dwCount = sizeof zone;
  value.val.blob.lpb = zone;
  EXPECT_EQ(CeWriteRecordProps(db, record, 1, &value), record);
  CloseHandle(db);
}

// The device's clocks go forward inside the loaded week (central Europe, 29 March 2026,
// 02:00). A series kept on the device's own clock, or in no zone, stays at its hour; a
// series kept in UTC moves an hour later on the device's clock from the change on.
TEST_P(AppointmentsListTest, ATimeZoneChangeInsideTheRangeMovesOnlySeriesOfAnotherZone) {
  CDeviceSwitch device;
  device.Set(L"TimeZone", L"W. Europe Standard Time");
  device.Set(L"Clock", L"2026-03-20 12:00:00");
  const double thursday = 46107.0;  // 2026-03-26; the clocks change on the Sunday after
  const double seriesStart = thursday - 6;
  auto daily = [&](const wchar_t* subject, double hour) {
    IAppointment* a = NewAppointment(app, subject, seriesStart + hour * kHour, seriesStart + (hour + 0.5) * kHour);
    if (!a) return 0L;
    CComPtr<IRecurrencePattern> pattern;
    if (SUCCEEDED(a->GetRecurrencePattern(&pattern))) {
      pattern->put_RecurrenceType(olRecursDaily);
      pattern->put_Interval(1);
      pattern->put_NoEndDate(VARIANT_TRUE);
    }
    return Save(a);
  };
  ASSERT_NE(daily(L"Device clock", 9), 0);
  ASSERT_NE(daily(L"No zone", 9.25), 0);
  ASSERT_NE(daily(L"UTC", 8), 0);
  IAppointment* single = NewAppointment(app, L"Sunday brunch", thursday + 3 + 11 * kHour, thursday + 3 + 12 * kHour);
  ASSERT_TRUE(single);
  Save(single);

  const SYSTEMTIME europeStandard = {0, 10, 0, 5, 3, 0, 0, 0}, europeDaylight = {0, 3, 0, 5, 2, 0, 0, 0};
  for (const pimtest::RawRecord& raw : pimtest::ReadRaw(L"Appointments Database", Newer())) {
    const auto subject = raw.texts.find(Newer() ? 0x0020001F : 0x0037001F);
    ASSERT_NE(subject, raw.texts.end());
    if (subject->second == L"Device clock") WriteSeriesZone(Newer(), raw.oid, -60, -60, &europeStandard, &europeDaylight);
    if (subject->second == L"UTC") WriteSeriesZone(Newer(), raw.oid, 0, 0, nullptr, nullptr);
  }

  CAppointmentsList list;
  list.SetRange(thursday, thursday + 7);
  std::vector<Seen> expected;
  for (int day = 0; day < 7; ++day) {
    const double d = thursday + day;
    const double utcHour = day < 3 ? 9 : 10;  // 08:00 UTC on the device's clock
    expected.push_back({L"UTC", d + utcHour * kHour, d + (utcHour + 0.5) * kHour, FALSE});
    expected.push_back({L"Device clock", d + 9 * kHour, d + 9.5 * kHour, FALSE});
    expected.push_back({L"No zone", d + 9.25 * kHour, d + 9.75 * kHour, FALSE});
    if (day == 3) expected.push_back({L"Sunday brunch", d + 11 * kHour, d + 12 * kHour, FALSE});
  }
  // Before the change the UTC series and the device's series share 09:00: compared by
  // start minute, then subject.
  auto byStart = [](const Seen& a, const Seen& b) {
    const long long ma = static_cast<long long>(a.start * 1440 + 0.5), mb = static_cast<long long>(b.start * 1440 + 0.5);
    return ma != mb ? ma < mb : a.subject < b.subject;
  };
  std::vector<Seen> got = Contents(list);
  std::sort(got.begin(), got.end(), byStart);
  std::sort(expected.begin(), expected.end(), byStart);
  ExpectContents(got, expected);
}

TEST_P(AppointmentsListTest, SeriesOperationsAreAskedOfTheItemOperationsProgram) {
  // An all-day series of one day a week, from two weeks before the range.
  IAppointment* series = NewAllDay(app, L"Gym", kMonday - 14 + 2, 1, Newer());
  ASSERT_TRUE(series);
  SaveWeekly(series, 1 << 3);  // Wednesday
  CAppointmentsList list;
  caltest::CRequestRecorder requests;
  list.SetRange(kMonday, kRangeEnd);
  CAppointmentRecord* r = nullptr;
  ASSERT_TRUE(list.GetFirst(&r));
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_DOUBLE_EQ(r->m_start, kMonday + 2);
  EXPECT_DOUBLE_EQ(r->m_end, kMonday + 2) << "an all-day record ends on its last day in both stores";
  EXPECT_FALSE(list.DeleteAppointment(r, FALSE)) << "nowhere to ask yet";
  list.SetRequests(&requests);

  ASSERT_TRUE(list.DeleteAppointment(r, FALSE));
  ASSERT_TRUE(list.DeleteAppointment(r, TRUE));
  ASSERT_TRUE(list.SetBusyStatus(r, 3, FALSE));
  ASSERT_TRUE(list.SetBusyStatus(r, 1, TRUE));
  EXPECT_FALSE(list.SetBusyStatus(r, 5, TRUE));
  ASSERT_TRUE(list.SetReminder(r, -1));
  // The newer store takes an all-day end as the day after.
  const double endAsked = Newer() ? kMonday + 3 : kMonday + 2;
  const double seriesEndAsked = Newer() ? kMonday - 14 + 3 : kMonday - 14 + 2;
  const caltest::CRequestRecorder::Change expected[] = {
      {r->m_itemId, kMonday + 2, 949998.0, 949998.0, 0, FALSE},
      {r->m_itemId, 949998.0, 949998.0, 949998.0, 0, FALSE},
      {r->m_itemId, kMonday + 2, kMonday + 2, endAsked, 3, TRUE},
      {r->m_itemId, 949998.0, kMonday - 14 + 2, seriesEndAsked, 1, TRUE},
  };
  ASSERT_EQ(requests.changes.size(), 4u);
  for (size_t k = 0; k < 4; ++k) {
    const auto& got = requests.changes[k];
    EXPECT_EQ(got.itemId, expected[k].itemId) << k;
    EXPECT_DOUBLE_EQ(got.occurrence, expected[k].occurrence) << k;
    EXPECT_DOUBLE_EQ(got.start, expected[k].start) << k;
    EXPECT_DOUBLE_EQ(got.end, expected[k].end) << k;
    EXPECT_EQ(got.status, expected[k].status) << k;
    EXPECT_EQ(got.allDay, expected[k].allDay) << k;
  }
  ASSERT_EQ(requests.reminders.size(), 1u);
  EXPECT_EQ(requests.reminders[0], std::make_pair(r->m_itemId, -1L));
}

// What the popups and rows take from a loaded list: a day's bar, the notes read back
// from the store, and new times for a whole series (its master's, dates fixed).
struct CKeptNotes : INoteViewer {
  BOOL ShowInk(HWND, const RECT&, LPCWSTR title, const BYTE* notes, DWORD size) override {
    this->title = title;
    bytes.assign(notes, notes + size);
    return TRUE;
  }
  std::wstring title;
  std::vector<BYTE> bytes;
};

TEST_P(AppointmentsListTest, BarsNotesAndSeriesTimesComeFromTheLoadedList) {
  IAppointment* a;
  ASSERT_TRUE(a = NewAppointment(app, L"Review", kMonday + 9 * kHour, kMonday + 10 * kHour));
  BYTE ink[] = {'i', 'n', 'k', 1, 2, 3};
  CEBLOB blob = {sizeof(ink), ink};
  a->put_BodyInk(&blob);
  Save(a);
  IAppointment* series = NewAllDay(app, L"Gym", kMonday - 14 + 2, 1, Newer());
  ASSERT_TRUE(series);
  SaveWeekly(series, 1 << 3);  // Wednesday
  CLocalMachineSandbox machine{L"AppointmentsListBars"};
  CAppointmentsList list;
  list.SetRange(kMonday, kRangeEnd);
  ASSERT_TRUE(list.Open());
  ASSERT_EQ(list.GetCount(), 2);

  CTimeSpanBar monday(48);
  monday.SetDay(static_cast<LONG>(kMonday));
  monday.Compute(&list);
  EXPECT_EQ(monday.GetLevel(17), -1);
  EXPECT_EQ(monday.GetLevel(18), 2);
  EXPECT_EQ(monday.GetLevel(19), 2);
  EXPECT_EQ(monday.GetLevel(20), -1);
  EXPECT_EQ(monday.GetAllDayLevel(), -1);
  EXPECT_TRUE(monday.IsAfternoonEmpty());
  CTimeSpanBar wednesday(48);
  wednesday.SetDay(static_cast<LONG>(kMonday + 2));
  wednesday.Compute(&list);
  EXPECT_EQ(wednesday.GetAllDayLevel(), 2) << "an all-day record ends on its last day, and still fills it";
  CTimeSpanBar thursday(48);
  thursday.SetDay(static_cast<LONG>(kMonday + 3));
  thursday.Compute(&list);
  EXPECT_EQ(thursday.GetAllDayLevel(), -1);
  EXPECT_TRUE(thursday.IsMorningEmpty());

  CAppointmentRecord* review = list.GetAt(list.GetAt(0)->m_isRecurring ? 1 : 0);
  CAppointmentRecord* gym = list.GetAt(list.GetAt(0)->m_isRecurring ? 0 : 1);
  CKeptNotes viewer;
  list.SetNoteViewer(&viewer);
  EXPECT_TRUE(review->m_hasNotes);
  ASSERT_TRUE(list.ShowNotes(nullptr, RECT{0, 0, 10, 10}, review));
  EXPECT_EQ(viewer.title, L"Review");
  EXPECT_EQ(viewer.bytes, std::vector<BYTE>(ink, ink + sizeof(ink)));
  EXPECT_FALSE(list.ShowNotes(nullptr, RECT{0, 0, 10, 10}, gym)) << "no notes";

  caltest::CRequestRecorder requests;
  list.SetRequests(&requests);
  // No to "only this occurrence?": the whole series.
  CMessageBoxAnswer wholeSeries(IDNO, false);
  CAppointmentsList::SetMessageBoxHandler(&CMessageBoxAnswer::Answer);
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void*) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DT_START_DATE))) << "a series keeps its dates";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DT_REMINDER_ON)));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      nullptr);
  {
    CResourceLibraryScope resources;
    EXPECT_TRUE(list.EditTimes(gym));
  }
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  CAppointmentsList::SetMessageBoxHandler(nullptr);
  ASSERT_EQ(requests.changes.size(), 1u);
  EXPECT_DOUBLE_EQ(requests.changes[0].occurrence, 949998.0);
  EXPECT_DOUBLE_EQ(requests.changes[0].start, kMonday - 14 + 2) << "the series' own first day";
  EXPECT_DOUBLE_EQ(requests.changes[0].end, Newer() ? kMonday - 14 + 3 : kMonday - 14 + 2);
  EXPECT_TRUE(requests.changes[0].allDay);
  ASSERT_EQ(requests.reminders.size(), 1u);
  EXPECT_EQ(requests.reminders[0].second, -1L);
}

INSTANTIATE_TEST_SUITE_P(BothStores, AppointmentsListTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Legacy"; });

}  // namespace

namespace cedbtest {

// The other process: changes one appointment through the object model, as a user would
// in the calendar program, in the layout its parent chose.
bool RunChildJob(const std::wstring& job, const std::wstring& arg, DWORD* exitCode) {
  if (job.rfind(L"calendar-", 0) != 0) return false;
  *exitCode = 1;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IPOutlookApp* app = pimtest::CreateApp();
  if (!app) return true;
  const long oid = std::stol(arg);
  IAppointment* appt = nullptr;
  if (job == L"calendar-add") {
    appt = NewAppointment(app, L"Added", kMonday - 1 + 23 * kHour, kMonday + 1 * kHour);
  } else {
    CComPtr<IDispatch> item;
    if (SUCCEEDED(app->GetItemFromOid(oid, &item)) && item)
      item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt));
  }
  if (appt) {
    HRESULT hr = E_FAIL;
    if (job == L"calendar-delete") {
      hr = appt->Delete();
    } else {
      if (job == L"calendar-move-out-of-order") {
        CBstrText subject(L"Moved");
        appt->put_Subject(subject);
        appt->put_Start(kMonday + 4 + 9 * kHour);
        appt->put_End(kMonday + 4 + 10 * kHour);
      } else if (job == L"calendar-move-out-of-range") {
        appt->put_Start(kRangeEnd + 3);
        appt->put_End(kRangeEnd + 3 + kHour);
      }
      hr = appt->Save();
    }
    appt->Release();
    if (SUCCEEDED(hr)) *exitCode = 0;
  }
  app->Release();
  CoUninitialize();
  return true;
}

}  // namespace cedbtest
