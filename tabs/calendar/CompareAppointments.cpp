#include "tabs/calendar/CompareAppointments.h"

// Toward zero, as the list's minutes have always been counted; out-of-range dates clamp.
LONGLONG AppointmentStartMinute(double date) {
  double minutes = date * 1440.0;
  if (!(minutes > -9.0e15)) return -9000000000000000LL;
  if (minutes > 9.0e15) return 9000000000000000LL;
  return static_cast<LONGLONG>(minutes);
}

int CompareAppointments(const CAppointmentRecord& a, const CAppointmentRecord& b) {
  LONGLONG ma = AppointmentStartMinute(a.m_start);
  LONGLONG mb = AppointmentStartMinute(b.m_start);
  if (ma != mb) return ma < mb ? -1 : 1;
  if (a.m_busyStatus != b.m_busyStatus) return a.m_busyStatus < b.m_busyStatus ? -1 : 1;
  int result = CompareStringW(LOCALE_USER_DEFAULT, kAppointmentSubjectFlags,
                              a.m_subject, a.m_subject.GetLength(), b.m_subject,
                              b.m_subject.GetLength());
  return result == 0 ? 0 : result - 2;
}
