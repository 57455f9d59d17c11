// The appointments list's requests sent to the item-operations program (kind 9).
#pragma once
#include "tabs/calendar/AppointmentRequests.h"

class COndrelAppointmentRequests : public IAppointmentRequests {
 public:
  static COndrelAppointmentRequests& Instance();
  BOOL ChangeAppointment(DWORD itemId, double occurrence, double newStart, double newEnd, LONG busyStatus,
                         BOOL allDay) override;
  BOOL SetApptReminder(DWORD itemId, LONG minutes) override;
};
