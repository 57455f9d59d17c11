// The questions and dialogs the calendar rows raise: message boxes, the reminder
// dialog and the picture-link chooser. The rows reach them only through this
// interface, so that a test answers them without a person.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class IAppointmentRowDialogs {
 public:
  virtual int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) = 0;
  // The reminder in minutes (-1: none); TRUE when the user chose OK (*minutes set).
  virtual BOOL EditReminder(HWND owner, LPCWSTR subject, LONG* minutes) = 0;
  // The picture or file linked to an item; TRUE on OK with *path the choice (empty:
  // remove the link).
  virtual BOOL ChooseLink(HWND owner, LPCWSTR title, LPCWSTR current, CString* path) = 0;

 protected:
  ~IAppointmentRowDialogs() = default;
};

// The dialogs in use (the real ones unless a test set others) and the window that owns
// them (the panel's).
IAppointmentRowDialogs& GetAppointmentRowDialogs();
// Null restores the real ones; returns the previous.
IAppointmentRowDialogs* SetAppointmentRowDialogs(IAppointmentRowDialogs* dialogs);
void SetAppointmentRowOwner(HWND owner);
HWND GetAppointmentRowOwner();
