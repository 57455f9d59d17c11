// What the appointments list asks of the item-operations program: the client that
// sends these requests implements it above this library.
#pragma once
#include <windows.h>

class IAppointmentRequests {
 public:
  // The occurrence is a day number, or kWholeSeries; new start and end both kNoDate
  // delete the occurrence or the series.
  static constexpr double kWholeSeries = 949998.0;
  static constexpr double kNoDate = 949998.0;
  virtual BOOL ChangeAppointment(DWORD itemId, double occurrence, double newStart, double newEnd, LONG busyStatus,
                                 BOOL allDay) = 0;
  // -1: no reminder.
  virtual BOOL SetApptReminder(DWORD itemId, LONG minutes) = 0;

 protected:
  ~IAppointmentRequests() = default;
};
