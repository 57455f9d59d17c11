#include <gtest/gtest.h>

#include "tabs/calendar/CompareAppointments.h"

namespace {

struct Fields {
  double start;
  LONG status;
  LPCWSTR subject;
};

Fields Make(double start, LONG status, LPCWSTR subject) { return Fields{start, status, subject}; }

void Fill(CAppointmentRecord& r, const Fields& f) {
  r.m_start = f.start;
  r.m_busyStatus = f.status;
  r.m_subject = f.subject;
}

TEST(CompareAppointments, OrdersByStartMinuteThenStatusThenSubject) {
  const double nine = 46000.0 + 9 / 24.0;
  struct Case {
    Fields a, b;
    int sign;
  };
  const Case cases[] = {
      {Make(nine, 2, L"b"), Make(nine + 1 / 1440.0, 0, L"a"), -1},
      {Make(nine + 1 / 1440.0, 0, L"a"), Make(nine, 2, L"b"), 1},
      // Within one minute the seconds do not count.
      {Make(nine + 10 / 86400.0, 2, L"b"), Make(nine + 20 / 86400.0, 2, L"a"), 1},
      {Make(nine, 0, L"z"), Make(nine, 2, L"a"), -1},
      {Make(nine, 2, L"Lunch"), Make(nine, 2, L"lunch"), 0},
      {Make(nine, 2, L"alpha"), Make(nine, 2, L"Beta"), -1},
      {Make(nine, 2, L""), Make(nine, 2, L"a"), -1},
  };
  for (const Case& c : cases) {
    CAppointmentRecord a, b;
    Fill(a, c.a);
    Fill(b, c.b);
    int r = CompareAppointments(a, b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a.subject << L" / " << c.b.subject;
  }
}

}  // namespace
