// Told by the appointments list after every change of what it holds.
#pragma once

class IAppointmentsListener {
 public:
  virtual void OnAppointmentsChanged() = 0;

 protected:
  ~IAppointmentsListener() = default;
};
