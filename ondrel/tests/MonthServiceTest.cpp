// The month summaries: what one month's record marks for each kind of appointment,
// that the calendar's own time bar reads the reply as it counts the same
// appointments, the cache's keeping and eviction, and months computed from the store.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "base/tests/DeviceRoot.h"
#include "ondrel/MonthCache.h"
#include "ondrel/MonthItem.h"
#include "pim/PocketOutlook.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "ondrel/tests/TestDates.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/BusyIntervals.h"
#include "tabs/calendar/MonthReply.h"
#include "tabs/calendar/TimeSpanBar.h"

namespace {

CMonthItem Month(int year, int month) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = 1;
  CMonthItem item;
  item.SetMonth(t);
  return item;
}

// A record as the appointments list hands it over (records are not copied).
struct Appt {
  Appt(DWORD id, double start, double end, LONG status = 2, BOOL allDay = FALSE)
      : record(std::make_unique<CAppointmentRecord>()) {
    record->m_itemId = id;
    record->m_start = start;
    record->m_end = end;
    record->m_busyStatus = status;
    record->m_allDay = allDay;
  }
  operator const CAppointmentRecord&() const { return *record; }
  std::unique_ptr<CAppointmentRecord> record;
};

std::vector<int> MarkedSlots(const CMonthReply& reply) {
  std::vector<int> slots;
  for (int s = 0; s < CMonthReply::kSlots; ++s)
    if (reply.IsPresent(s) || reply.GetLevel(s)) slots.push_back(s);
  return slots;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> out;
  for (int s = from; s <= to; ++s) out.push_back(s);
  return out;
}

// March 2026 has 31 days: slots 0 to 1487.
TEST(MonthItem, TimedAppointmentsMarkTheHalfHoursTheyCover) {
  const struct Case {
    const char* what;
    double start, end;
    std::vector<int> slots;
  } cases[] = {
      {"23:45 to 00:15", TestDate(2026, 3, 4, 23, 45), TestDate(2026, 3, 5, 0, 15), {3 * 48 + 47, 4 * 48}},
      {"10:00 to 11:00", TestDate(2026, 3, 2, 10, 0), TestDate(2026, 3, 2, 11, 0), {68, 69}},
      {"10:00 to 10:01", TestDate(2026, 3, 1, 10, 0), TestDate(2026, 3, 1, 10, 1), {20}},
      {"zero length inside a slot", TestDate(2026, 3, 1, 10, 15), TestDate(2026, 3, 1, 10, 15), {20}},
      {"zero length on an edge", TestDate(2026, 3, 1, 10, 0), TestDate(2026, 3, 1, 10, 0), {}},
      {"zero length at the month's start", TestDate(2026, 3, 1), TestDate(2026, 3, 1), {}},
      {"ends before it starts", TestDate(2026, 3, 1, 10, 20), TestDate(2026, 3, 1, 10, 10), {}},
      {"from the month before", TestDate(2026, 2, 27, 9), TestDate(2026, 3, 1, 1), {0, 1}},
      {"into the month after", TestDate(2026, 3, 31, 23), TestDate(2026, 4, 2), {1486, 1487}},
      {"longer than a year", TestDate(2025, 1, 1), TestDate(2027, 6, 1), Range(0, 1487)},
      {"before the month", TestDate(2026, 2, 10), TestDate(2026, 3, 1), {}},
      {"after the month", TestDate(2026, 4, 1), TestDate(2026, 4, 1, 2), {}},
  };
  for (const Case& c : cases) {
    CMonthItem month = Month(2026, 3);
    month.AddRecord(Appt(1, c.start, c.end));
    EXPECT_EQ(MarkedSlots(month.GetSlots()), c.slots) << c.what;
    for (int s : c.slots) EXPECT_EQ(month.GetSlots().GetStatus(s), 2) << c.what << " slot " << s;
  }
}

// What the calendar's bar counts for a day from the records and what it reads for
// the same day from the reply are one and the same, edges and zero lengths included.
TEST(MonthItem, TheTimeBarReadsTheReplyAsItCountsTheRecords) {
  std::vector<Appt> records;
  records.emplace_back(1, TestDate(2026, 3, 3, 10, 15), TestDate(2026, 3, 3, 10, 15), 1);
  records.emplace_back(2, TestDate(2026, 3, 3, 12, 0), TestDate(2026, 3, 3, 12, 0), 2);
  records.emplace_back(3, TestDate(2026, 3, 3, 13, 0), TestDate(2026, 3, 3, 14, 30), 3);
  records.emplace_back(4, TestDate(2026, 3, 3, 23, 45), TestDate(2026, 3, 4, 0, 15), 1);
  records.emplace_back(5, TestDate(2026, 3, 4, 8, 10), TestDate(2026, 3, 4, 9, 0), 0);
  records.emplace_back(6, TestDate(2026, 3, 4, 8, 40), TestDate(2026, 3, 4, 8, 50), 2);
  CMonthItem month = Month(2026, 3);
  std::vector<const CAppointmentRecord*> pointers;
  for (const Appt& r : records) {
    month.AddRecord(r);
    pointers.push_back(r.record.get());
  }
  month.Finish(nullptr, FALSE);
  CMonthReply reply;
  CMonthReply::Layout layout;
  month.CopyReply(&layout);
  reply.Assign(layout);
  for (int day = 2; day <= 4; ++day) {
    CTimeSpanBar counted(48), read(48);
    counted.SetDay(static_cast<LONG>(TestDate(2026, 3, day)));
    counted.Compute(pointers, nullptr);
    read.FillFromReply(day - 1, reply);
    for (int k = 0; k < 48; ++k) EXPECT_EQ(read.GetLevel(k), counted.GetLevel(k)) << "day " << day << " slot " << k;
  }
}

TEST(MonthItem, AllDayConflictsRepeatsAndShortMonths) {
  {
    // The highest status stays; the same appointment twice in a row counts once.
    CMonthItem month = Month(2026, 3);
    month.AddRecord(Appt(1, TestDate(2026, 3, 1, 10), TestDate(2026, 3, 1, 11), 3));
    month.AddRecord(Appt(2, TestDate(2026, 3, 1, 10), TestDate(2026, 3, 1, 10, 30), 1));
    EXPECT_EQ(month.GetSlots().GetStatus(20), 3);
    EXPECT_EQ(month.GetSlots().GetStatus(21), 3);
  }
  {
    // An all-day appointment fills the rest of its days; the timed one keeps its level.
    CMonthItem month = Month(2026, 3);
    month.AddRecord(Appt(1, TestDate(2026, 3, 31), TestDate(2026, 4, 1), 1, TRUE));  // runs past the month
    month.AddRecord(Appt(2, TestDate(2026, 2, 27), TestDate(2026, 3, 2), 0, TRUE));   // began before it
    month.AddRecord(Appt(3, TestDate(2026, 3, 31, 9), TestDate(2026, 3, 31, 10), 3));
    month.Finish(nullptr, TRUE);
    EXPECT_EQ(month.GetAllDayLevel(30), 1);
    EXPECT_EQ(month.GetAllDayLevel(0), 0);
    EXPECT_EQ(month.GetAllDayLevel(1), 0);
    EXPECT_EQ(month.GetAllDayLevel(2), -1);
    EXPECT_EQ(month.GetSlots().GetStatus(30 * 48 + 18), 3);
    EXPECT_EQ(month.GetSlots().GetStatus(30 * 48 + 20), 1);
    EXPECT_EQ(month.GetSlots().GetStatus(47), 0);
    EXPECT_EQ(month.GetSlots().GetStatus(2 * 48), -1);
  }
  for (BOOL conflicts : {TRUE, FALSE}) {
    // Two busy appointments over each other: a conflict, or busy when not marked.
    const Appt a(1, TestDate(2026, 3, 5, 9), TestDate(2026, 3, 5, 10), 2),
        b(2, TestDate(2026, 3, 5, 9, 30), TestDate(2026, 3, 5, 11), 2);
    CBusyIntervals busy;
    busy.Add(a.record->m_start, a.record->m_end, a);
    busy.Add(b.record->m_start, b.record->m_end, b);
    CMonthItem month = Month(2026, 3);
    month.AddRecord(a);
    month.AddRecord(b);
    month.Finish(&busy, conflicts);
    const int day = 4 * 48;
    EXPECT_EQ(month.GetSlots().GetStatus(day + 18), 2);
    EXPECT_EQ(month.GetSlots().GetStatus(day + 19), conflicts ? 5 : 2);
    EXPECT_EQ(month.GetSlots().IsPresent(day + 19), !conflicts);
    EXPECT_EQ(month.GetSlots().GetStatus(day + 21), 2);
  }
  {
    // February of a leap year: 1392 slots, nothing after them.
    CMonthItem month = Month(2028, 2);
    EXPECT_EQ(month.GetDayCount(), 29);
    month.AddRecord(Appt(1, TestDate(2028, 1, 1), TestDate(2028, 12, 1), 2));
    month.AddRecord(Appt(2, TestDate(2028, 2, 1), TestDate(2028, 3, 31), 1, TRUE));
    month.Finish(nullptr, FALSE);
    EXPECT_EQ(MarkedSlots(month.GetSlots()), Range(0, 1391));
    EXPECT_EQ(month.GetAllDayLevel(29), -1);
  }
}

// A frame stand-in: counts its computations, which only mark the record loaded.
class CountingOwner : public IMonthOwner {
 public:
  explicit CountingOwner(CMonthCache** cache) : m_cache(cache) {}
  HWND GetOwnerWindow() override { return reinterpret_cast<HWND>(0x1234); }
  BOOL LoadMonth(DWORD key) override {
    loads.push_back(key);
    CMonthItem* month = (*m_cache)->GetMonth(key);
    if (!month) return FALSE;
    month->AddRecord(Appt(1, month->GetMonthStart() + 0.25, month->GetMonthStart() + 0.25 + 1.0 / 48, 3));
    month->SetLoaded(TRUE);
    return TRUE;
  }
  std::vector<DWORD> loads;

 private:
  CMonthCache** m_cache;
};

// A reply window that reads what arrives as the calendar reads it.
struct Replies {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
      auto* self = reinterpret_cast<Replies*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      CMonthReply reply;
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      self->sizes.push_back(copy ? copy->cbData : 0);
      self->senders.push_back(reinterpret_cast<HWND>(wParam));
      if (reply.Read(copy)) self->replies.push_back(reply);
      return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  Replies() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MonthServiceTestReplies";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Replies() {
    if (IsWindow(window)) DestroyWindow(window);
  }
  HWND window;
  std::vector<DWORD> sizes;
  std::vector<HWND> senders;
  std::vector<CMonthReply> replies;
};

TEST(MonthCache, RequestsPrefetchesAndAnswersAtOnce) {
  CMonthCache* cache = nullptr;
  CountingOwner owner(&cache);
  CMonthCache months(&owner);
  cache = &months;
  Replies replies;
  const DWORD march = CMonthReply::MakeKey(2026, 3), april = CMonthReply::MakeKey(2026, 4),
              may = CMonthReply::MakeKey(2026, 5);
  months.Request(march, replies.window);
  months.Request(april, nullptr);  // nobody waits: computed ahead
  months.Request(may, nullptr);
  months.Request(0x07E6000D, replies.window);  // month 13: no month
  EXPECT_EQ(months.GetRequestCount(), 1u);
  EXPECT_EQ(months.GetPrefetchCount(), 2u);
  EXPECT_TRUE(replies.replies.empty());

  // One run: every request, then one month ahead.
  months.ProcessQueue();
  EXPECT_EQ(owner.loads, (std::vector<DWORD>{march, april}));
  ASSERT_EQ(replies.replies.size(), 1u);
  EXPECT_EQ(replies.sizes[0], 576u);
  EXPECT_EQ(replies.senders[0], owner.GetOwnerWindow());
  EXPECT_EQ(replies.replies[0].GetMonth(), 3);
  EXPECT_EQ(replies.replies[0].GetStatus(12), 3);
  EXPECT_EQ(months.GetPrefetchCount(), 1u);

  // A loaded month is answered before the request returns.
  months.Request(april, replies.window);
  EXPECT_EQ(replies.replies.size(), 2u);
  EXPECT_EQ(months.GetRequestCount(), 0u);

  // A window gone before its turn gets nothing; a cancel drops what waits.
  HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  months.Request(CMonthReply::MakeKey(2026, 7), gone);
  DestroyWindow(gone);
  months.Request(CMonthReply::MakeKey(2026, 8), replies.window);
  months.CancelRequests();
  months.Request(CMonthReply::MakeKey(2026, 9), replies.window);
  DestroyWindow(replies.window);
  owner.loads.clear();
  months.ProcessQueue();
  EXPECT_EQ(owner.loads, (std::vector<DWORD>{may}));
  EXPECT_EQ(replies.replies.size(), 2u);

  months.Clear();
  EXPECT_EQ(months.GetCount(), 0);
  EXPECT_EQ(months.GetPrefetchCount(), 0u);
}

TEST(MonthCache, TheTenthMonthEvictsTheFourthOldest) {
  CMonthCache months(nullptr);
  std::vector<DWORD> keys;
  for (int m = 1; m <= 9; ++m) {
    keys.push_back(CMonthReply::MakeKey(2026, m));
    ASSERT_NE(months.GetMonth(keys.back()), nullptr);
  }
  EXPECT_EQ(months.GetCount(), 9);
  // A month far outside the cache: the fourth oldest goes, the first three stay.
  ASSERT_NE(months.GetMonth(CMonthReply::MakeKey(2031, 6)), nullptr);
  EXPECT_EQ(months.GetCount(), 9);
  std::vector<DWORD> held;
  for (int i = 0; i < months.GetCount(); ++i) held.push_back(months.GetKeyAt(i));
  std::vector<DWORD> expected = keys;
  expected.erase(expected.begin() + 3);
  expected.push_back(CMonthReply::MakeKey(2031, 6));
  EXPECT_EQ(held, expected);
  // A month already held is found, not made again.
  EXPECT_EQ(months.GetMonth(keys[0]), months.GetMonth(keys[0]));
  EXPECT_EQ(months.GetCount(), 9);
}

// Keys and reply windows from anywhere: nothing crashes, nothing grows without bound.
TEST(MonthCache, FuzzedRequestsAreSafe) {
  CMonthCache* cache = nullptr;
  CountingOwner owner(&cache);
  CMonthCache months(&owner);
  cache = &months;
  Replies replies;
  std::mt19937 random(40);
  for (int i = 0; i < 3000; ++i) {
    DWORD key = random();
    if (i % 3 == 0) key = CMonthReply::MakeKey(1601 + random() % 8400, 1 + random() % 12);
    const HWND window = (i % 5 == 0) ? replies.window : reinterpret_cast<HWND>(static_cast<ULONG_PTR>(random()));
    months.Request(key, (i % 7 == 0) ? nullptr : window);
    if (i % 50 == 0) months.ProcessQueue();
    ASSERT_LE(months.GetCount(), 9);
  }
  months.ProcessQueue();
  EXPECT_EQ(months.GetRequestCount(), 0u);
  for (DWORD size : replies.sizes) EXPECT_EQ(size, 576u);
}

// Months computed from the store compared with a count made straight from the store's
// items through the object model.
class MonthFromStore : public ::testing::TestWithParam<bool> {
 protected:
  MonthFromStore() : m_mode(GetParam()) {}
  void SetUp() override {
    pimtest::UseLayout(GetParam());
    pimtest::ClearStores();
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  }
  void TearDown() override { CPocketOutlook::Logoff(); }
  void Add(IPOutlookApp* app, double start, double end, long status) {
    IDispatch* made = nullptr;
    ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olAppointmentItem, &made));
    IAppointment* appt = nullptr;
    made->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt));
    made->Release();
    ASSERT_NE(appt, nullptr);
    BSTR subject = SysAllocString(L"Slot");
    appt->put_Subject(subject);
    SysFreeString(subject);
    appt->put_Start(start);
    appt->put_End(end);
    appt->put_BusyStatus(status);
    ASSERT_HRESULT_SUCCEEDED(appt->Save());
    appt->Release();
  }
  CStoreMode m_mode;
  CComInitScope m_com;
};

TEST_P(MonthFromStore, ThreeMonthsMatchACountOfTheStore) {
  IPOutlookApp* app = pimtest::CreateApp();
  ASSERT_NE(app, nullptr);
  app->Logon(0);
  // Spread over February to April 2026 with edges, crossings and overlaps.
  Add(app, TestDate(2026, 2, 3, 9), TestDate(2026, 2, 3, 10, 30), 2);
  Add(app, TestDate(2026, 2, 28, 23, 30), TestDate(2026, 3, 1, 1), 3);
  Add(app, TestDate(2026, 3, 10, 10, 15), TestDate(2026, 3, 10, 10, 15), 1);
  Add(app, TestDate(2026, 3, 10, 11), TestDate(2026, 3, 10, 11), 1);
  Add(app, TestDate(2026, 3, 12, 8), TestDate(2026, 3, 12, 12), 1);
  Add(app, TestDate(2026, 3, 12, 11), TestDate(2026, 3, 12, 13), 2);
  Add(app, TestDate(2026, 4, 30, 22), TestDate(2026, 5, 1, 2), 2);
  Add(app, TestDate(2026, 4, 6, 7, 10), TestDate(2026, 4, 6, 7, 20), 0);

  // The count: each item read back through the object model, slot by slot.
  std::vector<std::vector<int>> expected(3);
  IFolder* folder = nullptr;
  ASSERT_HRESULT_SUCCEEDED(app->GetDefaultFolder(9, &folder));
  IPOutlookItemCollection* items = nullptr;
  ASSERT_HRESULT_SUCCEEDED(folder->get_Items(&items));
  int count = 0;
  items->get_Count(&count);
  ASSERT_EQ(count, 8);
  for (int m = 0; m < 3; ++m) {
    const double first = TestDate(2026, 2 + m, 1), next = TestDate(2026, 3 + m, 1);
    std::vector<int> level(CMonthReply::kSlots, -1);
    for (int i = 1; i <= count; ++i) {
      IDispatch* item = nullptr;
      items->Item(i, &item);
      IAppointment* appt = nullptr;
      item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt));
      item->Release();
      double start = 0, end = 0;
      long status = 0;
      appt->get_Start(&start);
      appt->get_End(&end);
      appt->get_BusyStatus(&status);
      appt->Release();
      const double minute = 1.0 / 1440;
      for (int s = 0; s < static_cast<int>((next - first) * 48 + 0.5); ++s) {
        const double a = first + s * 30 * minute, b = a + 30 * minute;
        const bool covers = start == end ? (start > a + minute / 2 && start < b - minute / 2)
                                         : (start < b - minute / 2 && end > a + minute / 2);
        if (covers && status > level[s]) level[s] = status;
      }
    }
    // Where a tentative and a busy appointment collide the reply says conflict.
    for (int s = 0; s < CMonthReply::kSlots; ++s) expected[m].push_back(level[s]);
  }
  items->Release();
  folder->Release();
  app->Logoff();
  app->Release();

  CMonthCache* cache = nullptr;
  struct StoreOwner : IMonthOwner {
    CMonthCache** cache;
    HWND GetOwnerWindow() override { return nullptr; }
    BOOL LoadMonth(DWORD key) override {
      ComputeMonth((*cache)->GetMonth(key), TRUE);
      return TRUE;
    }
  } owner;
  owner.cache = &cache;
  CMonthCache months(&owner);
  cache = &months;
  Replies replies;
  for (int m = 2; m <= 4; ++m) months.Request(CMonthReply::MakeKey(2026, m), replies.window);
  months.ProcessQueue();
  ASSERT_EQ(replies.replies.size(), 3u);
  for (int m = 0; m < 3; ++m) {
    const CMonthReply& reply = replies.replies[m];
    EXPECT_EQ(reply.GetMonth(), 2 + m);
    int marked = 0, counted = 0;
    for (int s = 0; s < CMonthReply::kSlots; ++s) {
      int want = expected[m][s];
      // 12 March 11:00 to 12:00: the tentative and the busy one overlap.
      if (m == 1 && (s == 11 * 48 + 22 || s == 11 * 48 + 23)) want = 5;
      EXPECT_EQ(reply.GetStatus(s), want) << "month " << 2 + m << " slot " << s;
      marked += reply.GetStatus(s) >= 0;
      counted += want >= 0;
    }
    EXPECT_EQ(marked, counted);
    EXPECT_GT(marked, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, MonthFromStore, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

}  // namespace
