// The device's notification calls: programs started at a time or on an event, and
// reminders shown to the user. Scheduled notifications are kept by the device
// across restarts; our store is a file in the device's root folder.
#pragma once
#include "platform/coredll/ce.h"

// CE_NOTIFICATION_TRIGGER.dwType
#define CNT_EVENT 1        // a system event (dwEvent) starts lpszApplication
#define CNT_TIME 2         // lpszApplication is started at stStartTime
#define CNT_PERIOD 3       // the user notification is active from stStartTime to stEndTime
#define CNT_CLASSICTIME 4  // the user notification fires at stStartTime (CeSetUserNotification)

// CE_USER_NOTIFICATION.ActionFlags
#define PUN_LED 1
#define PUN_VIBRATE 2
#define PUN_DIALOG 4
#define PUN_SOUND 8
#define PUN_REPEAT 16
#define PUN_PRIVATE 32

// CE_NOTIFICATION_INFO_HEADER.dwStatus of a notification that is being delivered.
#define CNS_SIGNALLED 1

// The command line a program started by CeRunAppAtTime receives.
#define APP_RUN_AT_TIME L"AppRunAtTime"

struct CE_NOTIFICATION_TRIGGER {
  DWORD dwSize;  // sizeof(CE_NOTIFICATION_TRIGGER)
  DWORD dwType;
  DWORD dwEvent;
  WCHAR* lpszApplication;
  WCHAR* lpszArguments;
  SYSTEMTIME stStartTime;  // local time
  SYSTEMTIME stEndTime;
};
typedef CE_NOTIFICATION_TRIGGER* PCE_NOTIFICATION_TRIGGER;

struct CE_USER_NOTIFICATION {
  DWORD ActionFlags;
  WCHAR* pwszDialogTitle;
  WCHAR* pwszDialogText;
  WCHAR* pwszSound;
  DWORD nMaxSound;
  DWORD dwReserved;
};
typedef CE_USER_NOTIFICATION* PCE_USER_NOTIFICATION;

// What CeGetUserNotification writes at the start of its buffer; the two records it
// points to, and their texts, follow in the same buffer.
struct CE_NOTIFICATION_INFO_HEADER {
  HANDLE hNotification;
  DWORD dwStatus;
  CE_NOTIFICATION_TRIGGER* pcent;
  CE_USER_NOTIFICATION* pceun;  // null when the notification has none
};
typedef CE_NOTIFICATION_INFO_HEADER* PCE_NOTIFICATION_INFO_HEADER;

// Adds a notification (existing 0) or replaces one; the handle, or null.
CORE_API HANDLE WINAPI CeSetUserNotificationEx(HANDLE existing, CE_NOTIFICATION_TRIGGER* trigger,
                                               CE_USER_NOTIFICATION* user);
// The same with a CNT_CLASSICTIME trigger of the application and local time.
CORE_API HANDLE WINAPI CeSetUserNotification(HANDLE existing, WCHAR* application, SYSTEMTIME* time,
                                             PCE_USER_NOTIFICATION user);
CORE_API BOOL WINAPI CeClearUserNotification(HANDLE notification);
// The handles of every stored notification; with too small an array, FALSE,
// ERROR_INSUFFICIENT_BUFFER and the count needed.
CORE_API BOOL WINAPI CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed);
// One notification as a CE_NOTIFICATION_INFO_HEADER and its records; with too small a
// buffer, FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed.
CORE_API BOOL WINAPI CeGetUserNotification(HANDLE notification, DWORD size, LPDWORD needed, LPBYTE buffer);
// Starts the application at a local time (replacing its earlier request); a null time
// removes the request.
CORE_API BOOL WINAPI CeRunAppAtTime(WCHAR* application, SYSTEMTIME* time);
// The waiter of a scheduled start (rundll32 entry; not a device call).
CORE_API void CALLBACK CeRunScheduledStartW(HWND window, HINSTANCE instance, LPWSTR arguments, int show);
