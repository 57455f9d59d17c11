// The scheduled transactions as the panel reads them: the finance program's library
// absent, present or not the program's; the days a range asks; ranges kept, dropped and
// unset; records with null texts or no date; the change message; any schedule bytes.
#include "tabs/contacts/PellamScheduled.h"

#include <gtest/gtest.h>

#include <string>

#include "base/DateTime.h"
#include "platform/tests/ByteMutator.h"
#include "tabs/contacts/tests/ContactFixtures.h"
#include "tabs/contacts/tests/PellamTestSupport.h"

namespace {

double Day(int year, int month, int day) { return contacttest::Date(year, month, day); }

struct Listener : IPellamListener {
  int heard = 0;
  void OnPellamChanged() override { ++heard; }
};

const char kSchedule[] =
    "2026-03-16;0;11;Phone bill;-39.90;Checking\n"
    "2026-03-18;1;12;Rent;-850.00;Checking\n"
    "2026-03-18;0;13;Salary;+2400.00\n"
    "2026-03-20;0;14;;;\n"
    "2026-03-23;0;15;After the week;-1.00\n";

TEST(PellamScheduled, TheLibraryAbsentPresentOrNotTheProgramsOwn) {
  const struct {
    CPellamDevice::Library library;
    bool present;
  } cases[] = {
      {CPellamDevice::kNone, false},
      {CPellamDevice::kStandIn, true},
      {CPellamDevice::kWithoutEntryPoints, false},
      {CPellamDevice::kNoLibrary, false},
  };
  for (const auto& c : cases) {
    CPellamDevice device(c.library);
    device.WriteSchedule(kSchedule);
    EXPECT_EQ(CPellamScheduled::IsApiPresent() != FALSE, c.present) << c.library;
    EXPECT_EQ(CPellamScheduled::RunPellam() != FALSE, c.present) << c.library;
    CPellamScheduled list;
    list.SetRange(Day(2026, 3, 16), Day(2026, 3, 23));
    CPellamTransactionItem* item = reinterpret_cast<CPellamTransactionItem*>(1);
    EXPECT_EQ(list.GetFirst(&item) != FALSE, c.present) << c.library;
    EXPECT_EQ(item != nullptr, c.present);
    EXPECT_EQ(list.GetCount(), c.present ? 4 : 0);
    // A failed load is tried again on the next first item.
    EXPECT_EQ(list.IsLoaded() != FALSE, c.present);
    if (c.present) {
      EXPECT_EQ(device.RunCount(), 1);
    }
  }
}

TEST(PellamScheduled, ReadsTheRangesDaysInOrder) {
  CPellamDevice device(CPellamDevice::kStandIn);
  device.WriteSchedule(kSchedule);
  CPellamScheduled list;
  list.SetRange(Day(2026, 3, 16), Day(2026, 3, 23));
  const struct {
    DWORD id;
    LPCWSTR first, second, third;
    BOOL reminder;
    int day;
  } expected[] = {
      {11, L"Phone bill", L"-39.90", L"Checking", FALSE, 16},
      {12, L"Rent", L"-850.00", L"Checking", TRUE, 18},
      {13, L"Salary", L"+2400.00", L"", FALSE, 18},
      // Null texts are empty texts.
      {14, L"", L"", L"", FALSE, 20},
  };
  CPellamTransactionItem* item = nullptr;
  BOOL more = list.GetFirst(&item);
  for (const auto& e : expected) {
    ASSERT_TRUE(more) << e.id;
    EXPECT_EQ(item->m_id, e.id);
    EXPECT_STREQ(item->m_first, e.first);
    EXPECT_STREQ(item->m_second, e.second);
    EXPECT_STREQ(item->m_third, e.third);
    EXPECT_EQ(item->m_reminder, e.reminder);
    EXPECT_EQ(item->m_year, 2026);
    EXPECT_EQ(item->m_month, 3);
    EXPECT_EQ(item->m_day, e.day);
    EXPECT_EQ(VariantDateFloor(item->m_date), Day(2026, 3, e.day));
    more = list.GetNext(&item);
  }
  EXPECT_FALSE(more);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(list.FindById(13), 2);
  EXPECT_EQ(list.FindById(15), -1) << "the day after the range is not read";
  // Rewinding starts again without reading again.
  device.ResetRecord();
  ASSERT_TRUE(list.GetFirst(&item));
  EXPECT_EQ(item->m_id, 11u);
  EXPECT_EQ(device.AskedCount(), 0);
}

TEST(PellamScheduled, RangesAskTheirDaysKeepOrDropWhatIsLoaded) {
  CPellamDevice device(CPellamDevice::kStandIn);
  device.WriteSchedule(kSchedule);
  CPellamScheduled list;
  CPellamTransactionItem* item = nullptr;

  const struct {
    double from, to;
    std::vector<int> asked;
  } ranges[] = {
      {10, 10, {}},
      // Variant day 10 is 9 January 1900.
      {10, 12, {19000109, 19000110}},
      // A part of a day does not make one more day.
      {10, 11.9, {19000109}},
      {Day(2026, 3, 17), Day(2026, 3, 19), {20260317, 20260318}},
  };
  for (const auto& r : ranges) {
    device.ResetRecord();
    list.SetRange(r.from, r.to);
    list.GetFirst(&item);
    ASSERT_EQ(device.AskedCount(), static_cast<int>(r.asked.size())) << r.from << "-" << r.to;
    for (size_t i = 0; i < r.asked.size(); ++i) EXPECT_EQ(device.AskedDay(static_cast<int>(i)), r.asked[i]);
  }
  EXPECT_EQ(list.GetCount(), 2);

  // A range of absurd length is read for ten years at most, not for ever.
  device.ResetRecord();
  list.SetRange(Day(2026, 3, 16), 1e12);
  list.GetFirst(&item);
  EXPECT_EQ(device.AskedCount(), 3660);
  EXPECT_EQ(list.GetCount(), 5) << "every transaction of the schedule";

  // The same valid range keeps the items: nothing is asked again.
  list.SetRange(Day(2026, 3, 17), Day(2026, 3, 19));
  list.GetFirst(&item);
  device.ResetRecord();
  list.SetRange(Day(2026, 3, 17), Day(2026, 3, 19));
  EXPECT_TRUE(list.IsLoaded());
  EXPECT_EQ(list.GetCount(), 2);
  list.GetFirst(&item);
  EXPECT_EQ(device.AskedCount(), 0);

  // A negative end drops them and unsets the range; an unset range loads nothing.
  list.SetRange(-5, 3);
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetFrom(), -1.0);
  EXPECT_EQ(list.GetTo(), -1.0);
  EXPECT_FALSE(list.GetFirst(&item));
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(device.AskedCount(), 0);
  // Setting the unset range again is no valid range kept: still nothing.
  list.SetRange(-1, -1);
  EXPECT_FALSE(list.GetFirst(&item));
}

TEST(PellamScheduled, TheChangeMessageEmptiesTheListAndTellsEachListenerOnce) {
  for (bool library : {true, false}) {
    CPellamDevice device(library ? CPellamDevice::kStandIn : CPellamDevice::kNone);
    device.WriteSchedule(kSchedule);
    CPellamScheduled list;
    Listener a, b;
    list.AddListener(&a);
    list.AddListener(&a);
    list.AddListener(&b);
    list.SetRange(Day(2026, 3, 16), Day(2026, 3, 23));
    CPellamTransactionItem* item = nullptr;
    list.GetFirst(&item);
    EXPECT_EQ(list.GetCount(), library ? 4 : 0);
    list.OnScheduledChanged();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.IsLoaded());
    EXPECT_EQ(a.heard, 1);
    EXPECT_EQ(b.heard, 1);
    // The range stays: the next first item reads again, with the new schedule.
    device.WriteSchedule("2026-03-17;0;99;New;-5.00\n");
    EXPECT_EQ(list.GetFirst(&item) != FALSE, library);
    if (library) {
      EXPECT_EQ(item->m_id, 99u);
    }
    list.RemoveListener(&a);
    list.OnScheduledChanged();
    EXPECT_EQ(a.heard, 1);
    EXPECT_EQ(b.heard, 2);
  }
}

TEST(PellamScheduled, ARecordWithoutADateTakesTheDayAsked) {
  const struct {
    WORD year, month, day;
    bool ownDay;
  } cases[] = {
      {2026, 3, 18, true},
      {2026, 13, 1, false},
      {2026, 2, 30, false},
      {0, 0, 0, false},
      {2024, 2, 29, true},
  };
  const double asked = Day(2026, 3, 17);
  for (const auto& c : cases) {
    PELLAM_SCHEDULED_RECORD record = {};
    record.wYear = c.year;
    record.wMonth = c.month;
    record.wDay = c.day;
    record.pszFirst = L"x";
    CPellamTransactionItem* item = CPellamTransactionItem::Create(record, asked);
    EXPECT_EQ(item->GetRefCount(), 1);
    const double day = VariantDateFloor(item->m_date);
    const double expected = c.ownDay ? Day(c.year, c.month, c.day) : asked;
    EXPECT_EQ(day, expected) << c.year << "-" << c.month << "-" << c.day;
    EXPECT_STREQ(item->m_first, L"x");
    EXPECT_TRUE(item->m_second.IsEmpty());
    item->Release();
  }
}

// Any bytes in the schedule: every item read lies inside the range, in day order.
TEST(PellamScheduled, AnyScheduleBytesGiveItemsInsideTheRange) {
  CPellamDevice device(CPellamDevice::kStandIn);
  const std::string seed = kSchedule;
  fixtures::ByteMutator mutator(4711);
  const double from = Day(2026, 3, 16), to = Day(2026, 3, 23);
  for (int round = 0; round < 300; ++round) {
    device.WriteSchedule(mutator.Edit(seed, 6));
    CPellamScheduled list;
    list.SetRange(from, to);
    CPellamTransactionItem* item = nullptr;
    double last = from;
    for (BOOL more = list.GetFirst(&item); more; more = list.GetNext(&item)) {
      const double day = VariantDateFloor(item->m_date);
      ASSERT_GE(day, last) << "round " << round;
      ASSERT_LT(day, to) << "round " << round;
      last = day;
    }
  }
}

}  // namespace
