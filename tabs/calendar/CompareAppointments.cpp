#include "tabs/calendar/CompareAppointments.h"

namespace {

// Toward zero, as the list's minutes have always been counted; out-of-range dates clamp.
LONGLONG StartMinute(double date) {
  double minutes = date * 1440.0;
  if (!(minutes > -9.0e15)) return -9000000000000000LL;
  if (minutes > 9.0e15) return 9000000000000000LL;
  return static_cast<LONGLONG>(minutes);
}

}  // namespace

int CompareAppointments(const CAppointmentRecord& a, const CAppointmentRecord& b) {
  LONGLONG ma = StartMinute(a.m_start);
  LONGLONG mb = StartMinute(b.m_start);
  if (ma != mb) return ma < mb ? -1 : 1;
  if (a.m_busyStatus != b.m_busyStatus) return a.m_busyStatus < b.m_busyStatus ? -1 : 1;
  int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                              a.m_subject, a.m_subject.GetLength(), b.m_subject,
                              b.m_subject.GetLength());
  return result == 0 ? 0 : result - 2;
}
