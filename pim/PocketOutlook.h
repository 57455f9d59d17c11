// The process's Pocket Outlook application object. Every function that uses the
// object model builds an accessor on its stack and asks GetInst for the object; the
// first ask creates it and logs on, naming the notification window so that item
// notifications reach the panel. The library logs off at detach.
#pragma once
#include <windows.h>

#include "platform/pimstore/pimstore.h"

class CPocketOutlook {
 public:
  // useWindow: whether the logon names the notification window.
  explicit CPocketOutlook(BOOL useWindow = TRUE);
  CPocketOutlook(const CPocketOutlook&) = delete;
  CPocketOutlook& operator=(const CPocketOutlook&) = delete;

  // The application object (owned here; callers do not release it), or null when it
  // cannot be created. Made and logged on at the first call only.
  static IPOutlookApp* GetInst();
  // The second application interface the object answered, or null.
  static IUnknown* GetInst2();
  // Logs the object on: 1, or 0 on a failed logon or without an object.
  static BOOL Login();
  static BOOL IsLoggedOn();
  // Logs off and releases every reference taken for the object, then forgets it.
  static void Logoff();

  // The window the logon names: the notification window once it exists (the panel
  // library sets it when it makes the window and clears it when the window goes).
  static void SetNotificationWindow(HWND window);

  // For tests: how the application object is made (null: CoCreateInstance).
  typedef HRESULT (*Factory)(IPOutlookApp** app);
  static void SetFactory(Factory factory);
};
