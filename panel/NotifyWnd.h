// The panel's hidden top-level window that other processes find by its class name:
// the options program posts its settings change here, and the object model sends
// its item notifications here while the panel itself is a child of the Today screen.
// Everything is passed on to the panel (the target); item notifications become the
// same database notification records the database functions give, so the panel
// handles both alike.
//
// Whatever arrives here comes from other processes: wParam and lParam are taken as
// numbers only. Nothing that carries an address is passed on.
#pragma once
#include <windows.h>

#include "platform/coredll/cedb.h"
#include "platform/windowlib/WindowImpl.h"

#define NOTIFY_WND_CLASS L"QelTarvoTimeHelperWnd_1.0"

// Registered messages passed on to the panel unchanged.
#define MSG_SOVEL_UNLOAD L"QelTarvo_SovelUnload"
#define MSG_TODAY_UPDATED L"TODAY_UPDATED{9620A364-953C-4B31-B593-9717F4B91603}"
#define MSG_UPDATE_SETTINGS L"QelTarvo_UpdateSettings"
#define MSG_PELLAM_SCHEDULED_CHANGED L"QelPellam_ScheduledChanged"
#define MSG_SHOW_MESSAGE L"QelTarvo_ShowMessage"

// The object model's item notifications (wParam the item's oid, lParam its folder).
#define POOM_ITEM_CREATED 0x8100
#define POOM_ITEM_DELETED 0x8101
#define POOM_ITEM_CHANGED 0x8102
#define POOM_ITEM_CREATED_REMOTE 0x8105
#define POOM_ITEM_DELETED_REMOTE 0x8106
#define POOM_ITEM_CHANGED_REMOTE 0x8107

class CNotifyWnd : public CWindowImpl<CNotifyWnd> {
 public:
  DECLARE_WND_CLASS_CURSOR(NOTIFY_WND_CLASS, CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW, nullptr)

  CNotifyWnd();
  CNotifyWnd(const CNotifyWnd&) = delete;
  CNotifyWnd& operator=(const CNotifyWnd&) = delete;

  HWND GetTarget() const { return m_target; }
  void SetTarget(HWND target) { m_target = target; }

  // The database notification type of an item notification, or 0 for another message.
  static UINT NotificationType(UINT message);

  BEGIN_MSG_MAP(CNotifyWnd)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_RANGE_HANDLER(POOM_ITEM_CREATED, POOM_ITEM_CHANGED_REMOTE, OnItemNotification)
    MESSAGE_HANDLER(m_sovelUnload, OnForward)
    MESSAGE_HANDLER(m_todayUpdated, OnForward)
    MESSAGE_HANDLER(m_updateSettings, OnForward)
    MESSAGE_HANDLER(m_pellamScheduledChanged, OnForward)
    MESSAGE_HANDLER(m_showMessage, OnForward)
  END_MSG_MAP()

  LRESULT OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnItemNotification(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  // The window went (its owner closed, or someone destroyed it): nothing more is
  // passed on and the object model no longer names it.
  void OnFinalMessage(HWND window) override;

 private:
  HWND m_target;
  UINT m_sovelUnload;
  UINT m_todayUpdated;
  UINT m_updateSettings;
  UINT m_pellamScheduledChanged;
  UINT m_showMessage;
};

// Makes the one notification window of the process when there is none (owned by the
// panel, hidden, empty) and makes the panel its target; a window that lives on passes
// to the new panel, owner included, so it ends with that panel. The object model's
// logon names it from then on. The window, or null.
HWND CreateNotificationWindow(HWND target);
// The panel that goes ends its notification window; one another panel has taken over
// stays.
void ReleaseNotificationWindow(HWND target);
// Destroys the window and its object (at library shutdown).
void DestroyNotificationWindow();
// The process's notification window object, or null.
CNotifyWnd* GetNotificationWindow();
