// The query's leaving out of appointments that repeat a contact's birthday or
// anniversary: the yearly all-day series a desktop sync makes for each contact event,
// written here by the device's object model beside the contacts they repeat.
#include "tabs/calendar/AppointmentQuery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegKey.h"
#include "base/tests/DeviceRoot.h"
#include "base/tests/RegistrySandbox.h"
#include "platform/coredll/DeviceSwitch.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/tests/CalendarTestSupport.h"
#include "tabs/calendar/tests/ObjectModelItems.h"
#include "tabs/contacts/ContactsList.h"

namespace {

class AppointmentQueryTest : public ::testing::TestWithParam<bool> {
 protected:
  AppointmentQueryTest() : m_store(GetParam()) {}
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
    pimtest::UseLayout(GetParam());
    pimtest::ClearStores();
    app = pimtest::CreateApp();
    ASSERT_NE(app, nullptr);
    m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (m_window) DestroyWindow(m_window);
    if (app) app->Release();
    pimtest::ClearStores();
    CoUninitialize();
  }
  bool Newer() const { return GetParam(); }

  void AddContact(const wchar_t* first, double birthday, double anniversary) {
    caltest::AddContact(app, first, birthday, anniversary);
  }
  // A free or busy all-day appointment on a day; yearly from that day with no end when asked.
  void AddAllDay(const wchar_t* subject, double firstDay, long busyStatus, bool yearly) {
    IAppointment* appt = caltest::NewAllDay(app, subject, firstDay, 1, Newer());
    ASSERT_NE(appt, nullptr);
    appt->put_BusyStatus(busyStatus);
    if (yearly) {
      CComPtr<IRecurrencePattern> pattern;
      EXPECT_HRESULT_SUCCEEDED(appt->GetRecurrencePattern(&pattern));
      if (pattern) {
        pattern->put_RecurrenceType(olRecursYearly);
        pattern->put_Interval(1);
        SYSTEMTIME parts = {};
        VariantTimeToSystemTime(firstDay, &parts);
        pattern->put_DayOfMonth(parts.wDay);
        pattern->put_MonthOfYear(parts.wMonth);
        pattern->put_NoEndDate(VARIANT_TRUE);
      }
    }
    caltest::SaveAppointment(appt);
  }

  std::vector<std::wstring> Walk(CAppointmentsList& list, CContactsList& contacts, BOOL skip) {
    CAppointmentQuery query(&list);
    query.SetContactsList(&contacts);
    query.SetSkipContactEvents(skip);
    std::vector<std::wstring> seen;
    CAppointmentRecord* r = nullptr;
    while (query.GetNext(&r)) seen.push_back(std::wstring(r->m_subject) + L" " + std::to_wstring(r->m_yearCount));
    return seen;
  }

  CStoreMode m_store;
  IPOutlookApp* app = nullptr;
  HWND m_window = nullptr;
};

TEST_P(AppointmentQueryTest, FreeYearlyRepeatsOfAContactEventOfTheSameAgeAreLeftOut) {
  CLocalMachineSandbox machine(L"calendar_query_contacts");
  ASSERT_TRUE(machine.Redirected());
  // Ann was born on 4 March 1990 and married on 6 March 2010; Bo has no events.
  AddContact(L"Ann", caltest::Variant(1990, 3, 4), caltest::Variant(2010, 3, 6));
  AddContact(L"Bo", 0, 0);
  AddAllDay(L"Ann's birthday", caltest::Variant(1990, 3, 4), 0, true);  // repeats the birthday: out
  AddAllDay(L"Ann's wedding", caltest::Variant(2010, 3, 6), 0, true);   // repeats the anniversary: out
  AddAllDay(L"Ann's other", caltest::Variant(1991, 3, 4), 0, true);     // another age: kept
  AddAllDay(L"Busy birthday", caltest::Variant(1990, 3, 4), 2, true);   // not free: kept
  AddAllDay(L"Next day", caltest::Variant(1990, 3, 5), 0, true);        // no event that day: kept
  AddAllDay(L"Single", caltest::Variant(2026, 3, 4), 0, false);           // not a yearly series: kept

  CContactsList contacts;
  contacts.SetNotifyWindow(m_window);
  ASSERT_TRUE(contacts.Open());
  ASSERT_EQ(contacts.GetEventCount(), 2);
  CAppointmentsList list;
  list.SetRange(caltest::Variant(2026, 3, 2), caltest::Variant(2026, 3, 9));

  std::vector<std::wstring> all = Walk(list, contacts, FALSE);
  std::vector<std::wstring> skipped = Walk(list, contacts, TRUE);
  const std::vector<std::wstring> kept = {L"Ann's other 35", L"Busy birthday 36", L"Next day 36", L"Single -1"};
  for (const std::wstring& k : kept) {
    EXPECT_NE(std::find(skipped.begin(), skipped.end(), k), skipped.end()) << k;
    EXPECT_NE(std::find(all.begin(), all.end(), k), all.end()) << k;
  }
  for (const std::wstring& gone : {std::wstring(L"Ann's birthday 36"), std::wstring(L"Ann's wedding 16")}) {
    EXPECT_NE(std::find(all.begin(), all.end(), gone), all.end()) << gone;
    EXPECT_EQ(std::find(skipped.begin(), skipped.end(), gone), skipped.end()) << gone;
  }
  EXPECT_EQ(skipped.size(), kept.size());
  EXPECT_EQ(all.size(), kept.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(Layouts, AppointmentQueryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Legacy"; });

}  // namespace
