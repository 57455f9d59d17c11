// Birthdays and anniversaries by day: compared inside the leap year 2000, stepped day
// after day with a wrap at the year's end, same-day events ordered by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ViewSettings.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactFixtures.h"

using contacttest::Date;
using contacttest::Person;

namespace {

std::vector<std::wstring> Names(const std::vector<CSpecialEventItem*>& events) {
  std::vector<std::wstring> names;
  for (CSpecialEventItem* e : events)
    names.push_back(std::wstring(e->GetName(FALSE)) + (e->m_kind == CSpecialEventItem::kAnniversary ? L"*" : L""));
  return names;
}

class ContactEventsTest : public ::testing::Test {
 protected:
  ContactEventsTest() : m_mode(false), m_store(false) {
    GetViewSettings().BirthdayDisplay = 0;
    auto add = [&](const wchar_t* first, double birthday, double anniversary) {
      Person p{first};
      p.birthday = birthday;
      p.anniversary = anniversary;
      m_store.Add(p);
    };
    add(L"Leap", Date(1984, 2, 29), 0);
    add(L"Feb28", Date(1990, 2, 28), 0);
    add(L"March", Date(1975, 3, 1), 0);
    add(L"zed", Date(1960, 12, 31), 0);
    add(L"Amy", Date(1961, 12, 31), 0);
    add(L"bea", Date(1999, 12, 31), Date(2010, 1, 1));
    add(L"New", Date(2001, 1, 1), 0);
    m_list.SetNotifyWindow(m_window.Get());
  }
  CStoreMode m_mode;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
  CContactsList m_list;
};

TEST_F(ContactEventsTest, StepsThroughTheEndOfFebruaryAndTheYearsEnd) {
  std::vector<CSpecialEventItem*> day;
  // A non-leap year's 28 February, then the days after: 29 February of 2000 comes in between.
  EXPECT_EQ(m_list.GetEventsOfDay(Date(2027, 2, 28), day), 1);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"Feb28"}));
  EXPECT_EQ(m_list.GetNextEventDay(day), 1);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"Leap"}));
  EXPECT_EQ(m_list.GetNextEventDay(day), 1);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"March"}));
  EXPECT_EQ(m_list.GetNextEventDay(day), 0);  // 2 March: nothing

  // 31 December: three birthdays ordered by name, case ignored; then 1 January.
  EXPECT_EQ(m_list.GetEventsOfDay(Date(2026, 12, 31), day), 3);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"Amy", L"bea", L"zed"}));
  EXPECT_EQ(m_list.GetNextEventDay(day), 2);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"bea*", L"New"}));
  EXPECT_EQ(m_list.GetNextEventDay(day), 0);

  // 1 January asked for directly: the first events of the array.
  EXPECT_EQ(m_list.GetEventsOfDay(Date(2026, 1, 1), day), 2);
  // On a leap year's own 29 February.
  EXPECT_EQ(m_list.GetEventsOfDay(Date(2028, 2, 29), day), 1);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"Leap"}));
}

TEST_F(ContactEventsTest, EventsOnADateMatchMonthAndDay) {
  std::vector<CSpecialEventItem*> day;
  EXPECT_EQ(m_list.GetEventsOnDate(Date(2030, 1, 1), day), 2);
  EXPECT_EQ(m_list.GetEventsOnDate(Date(2030, 3, 2), day), 0);
  EXPECT_TRUE(day.empty());
  EXPECT_EQ(m_list.GetEventsOnDate(Date(2032, 2, 29), day), 1);
  // The event keeps the stored date with its own year.
  ASSERT_EQ(day.size(), 1u);
  EXPECT_EQ(day[0]->m_parts.wYear, 1984);
  EXPECT_EQ(day[0]->m_date, Date(1984, 2, 29));
}

TEST_F(ContactEventsTest, AWalkWhereEveryEventIsOnOneDayStopsAfterOneRound) {
  CStoreMode mode(true);
  contacttest::Store store(true);
  for (const wchar_t* name : {L"b", L"a", L"c"}) {
    Person p{name};
    p.birthday = Date(1980, 7, 4);
    store.Add(p);
  }
  CContactsList list;
  list.SetNotifyWindow(m_window.Get());
  std::vector<CSpecialEventItem*> day;
  EXPECT_EQ(list.GetEventsOfDay(Date(2026, 7, 4), day), 3);
  EXPECT_EQ(Names(day), (std::vector<std::wstring>{L"a", L"b", L"c"}));
  // Stepping on visits nothing else all year, and comes back round to the day.
  int seen = 0;
  for (int k = 0; k < 366; ++k) seen += list.GetNextEventDay(day);
  EXPECT_EQ(seen, 3);
}

TEST(SpecialEventDayTest, DaysAreThoseOfTheYear2000) {
  EXPECT_EQ(CContactsList::DayInYear2000(Date(1984, 2, 29)), static_cast<int>(Date(2000, 2, 29)));
  EXPECT_EQ(CContactsList::DayInYear2000(Date(2027, 3, 1) + 0.75), static_cast<int>(Date(2000, 3, 1)));
  EXPECT_EQ(CContactsList::DayInYear2000(Date(1900, 12, 31)), static_cast<int>(Date(2000, 12, 31)));
}

}  // namespace
