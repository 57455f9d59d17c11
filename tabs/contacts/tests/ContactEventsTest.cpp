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

// The names of a day are ordered when the day is first asked for, by sort keys: the
// order must be the locale's comparison's, whichever query asks first, and the
// contacts' event indices must follow the moves.
TEST_F(ContactEventsTest, NamesOfADayFollowTheLocalesOrderWhicheverQueryAsksFirst) {
  CStoreMode mode(true);
  contacttest::Store store(true);
  const wchar_t* names[] = {L"co-op", L"Coop", L"co op", L"\u00e9clair", L"Eclair", L"zebra", L"Zebra",
                            L"a1",    L"A10",  L"a2",    L"\uff21wide",  L"awide", L"\u00c5se"};
  for (const wchar_t* name : names) {
    Person p{name};
    p.birthday = Date(1970, 5, 5);
    p.anniversary = Date(1999, 5, 6);
    store.Add(p);
  }
  auto expectOrdered = [](const std::vector<CSpecialEventItem*>& day) {
    for (size_t k = 1; k < day.size(); ++k) {
      const CString& a = day[k - 1]->GetName(FALSE);
      const CString& b = day[k]->GetName(FALSE);
      EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a,
                               a.GetLength(), b, b.GetLength()),
                CSTR_GREATER_THAN)
          << static_cast<LPCWSTR>(a) << L" / " << static_cast<LPCWSTR>(b);
    }
  };
  const size_t count = sizeof names / sizeof names[0];
  for (int first = 0; first < 3; ++first) {
    CContactsList list;
    list.SetNotifyWindow(m_window.Get());
    ASSERT_TRUE(list.Open());
    std::vector<CSpecialEventItem*> day;
    if (first == 0) {
      ASSERT_EQ(list.GetEventsOfDay(Date(2026, 5, 5), day), static_cast<int>(count));
      expectOrdered(day);
      ASSERT_EQ(list.GetNextEventDay(day), static_cast<int>(count));
      expectOrdered(day);
    } else if (first == 1) {
      ASSERT_EQ(list.GetEventsOnDate(Date(2031, 5, 6), day), static_cast<int>(count));
      expectOrdered(day);
    } else {
      for (int i = 0; i < list.GetEventCount(); ++i) day.push_back(list.GetEventAt(i));
      expectOrdered(std::vector<CSpecialEventItem*>(day.begin(), day.begin() + count));
      expectOrdered(std::vector<CSpecialEventItem*>(day.begin() + count, day.end()));
    }
    for (int i = 0; i < list.GetEventCount(); ++i) {
      CSpecialEventItem* e = list.GetEventAt(i);
      CONTACT_ITEM* owner = list.GetAt(e->m_contactIndex);
      ASSERT_NE(owner, nullptr);
      EXPECT_EQ(e->m_kind == CSpecialEventItem::kBirthday ? owner->m_birthdayEvent : owner->m_anniversaryEvent, i);
    }
  }
}

TEST(SpecialEventDayTest, DaysAreThoseOfTheYear2000) {
  EXPECT_EQ(CContactsList::DayInYear2000(Date(1984, 2, 29)), static_cast<int>(Date(2000, 2, 29)));
  EXPECT_EQ(CContactsList::DayInYear2000(Date(2027, 3, 1) + 0.75), static_cast<int>(Date(2000, 3, 1)));
  EXPECT_EQ(CContactsList::DayInYear2000(Date(1900, 12, 31)), static_cast<int>(Date(2000, 12, 31)));
  // The split form counts the same for every day of the year, and refuses what is no day.
  for (int day = 0; day < 366; ++day) {
    SYSTEMTIME parts = {};
    ASSERT_TRUE(VariantTimeToSystemTime(Date(2000, 1, 1) + day, &parts));
    parts.wYear = 1977;
    EXPECT_EQ(CContactsList::DayInYear2000(parts), static_cast<int>(Date(2000, 1, 1)) + day) << day;
  }
  const struct {
    WORD month, day;
  } bad[] = {{0, 1}, {13, 1}, {4, 31}, {2, 30}, {1, 0}};
  for (const auto& b : bad) {
    SYSTEMTIME parts = {};
    parts.wYear = 2001;
    parts.wMonth = b.month;
    parts.wDay = b.day;
    EXPECT_EQ(CContactsList::DayInYear2000(parts), 0) << b.month << "/" << b.day;
  }
}

}  // namespace
