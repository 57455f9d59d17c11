#include "tabs/calendar/OndrelAppointmentRequests.h"

#include "pim/OndrelClient.h"

COndrelAppointmentRequests& COndrelAppointmentRequests::Instance() {
  static COndrelAppointmentRequests requests;
  return requests;
}

BOOL COndrelAppointmentRequests::ChangeAppointment(DWORD itemId, double occurrence, double newStart, double newEnd,
                                                   LONG busyStatus, BOOL allDay) {
  // The occurrence travels as its whole day number; the series as the "no date" day.
  const DWORD day = occurrence >= 0 && occurrence < kWholeSeries ? static_cast<DWORD>(occurrence)
                                                                  : static_cast<DWORD>(kWholeSeries);
  return COndrelClient::Instance().ChangeAppointment(itemId, day, newStart, newEnd, static_cast<DWORD>(busyStatus),
                                                     allDay ? 1 : 0) != 0;
}

BOOL COndrelAppointmentRequests::SetApptReminder(DWORD itemId, LONG minutes) {
  return COndrelClient::Instance().SetApptReminder(itemId, static_cast<DWORD>(minutes)) != 0;
}
