#include "panel/NotifyWnd.h"

#include "base/DateFormat.h"
#include "pim/PocketOutlook.h"

namespace {

CNotifyWnd* g_notifyWnd = nullptr;

}  // namespace

CNotifyWnd::CNotifyWnd()
    : m_target(nullptr),
      m_sovelUnload(RegisterWindowMessageW(MSG_SOVEL_UNLOAD)),
      m_todayUpdated(RegisterWindowMessageW(MSG_TODAY_UPDATED)),
      m_updateSettings(RegisterWindowMessageW(MSG_UPDATE_SETTINGS)),
      m_pellamScheduledChanged(RegisterWindowMessageW(MSG_PELLAM_SCHEDULED_CHANGED)),
      m_showMessage(RegisterWindowMessageW(MSG_SHOW_MESSAGE)) {}

UINT CNotifyWnd::NotificationType(UINT message) {
  switch (message) {
    case POOM_ITEM_CREATED:
    case POOM_ITEM_CREATED_REMOTE:
      return DB_CEOID_CREATED;
    case POOM_ITEM_DELETED:
    case POOM_ITEM_DELETED_REMOTE:
      return DB_CEOID_RECORD_DELETED;
    case POOM_ITEM_CHANGED:
    case POOM_ITEM_CHANGED_REMOTE:
      return DB_CEOID_CHANGED;
    default:
      return 0;
  }
}

LRESULT CNotifyWnd::OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  ResetDateFormatCache();
  // Sent, not posted: a posted copy of this message would carry the sender's text
  // pointer past the end of its send (and is refused outright on the desktop). The
  // panel reads only wParam.
  if (m_target && ::IsWindow(m_target)) ::SendMessageW(m_target, message, wParam, lParam);
  return 0;
}

LRESULT CNotifyWnd::OnItemNotification(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  UINT type = NotificationType(message);
  // 0x8103 and 0x8104 are no item notifications; values wider than the device's
  // 32 bits come from no object model and could alias a folder number.
  if (!type || static_cast<ULONG_PTR>(wParam) > 0xFFFFFFFFu || static_cast<ULONG_PTR>(lParam) > 0xFFFFFFFFu) {
    handled = type != 0;
    return 0;
  }
  if (!m_target || !::IsWindow(m_target)) return 0;
  // Valid only during the send, as the panel's handler expects.
  CENOTIFICATION record = {};
  record.dwSize = sizeof record;
  record.dwParam = 0;  // no list object: the panel goes by the folder kind
  record.uType = type;
  record.oid = static_cast<CEOID>(wParam);
  record.oidParent = static_cast<CEOID>(lParam);
  ::SendMessageW(m_target, WM_DBNOTIFICATION, 1, reinterpret_cast<LPARAM>(&record));
  return 0;
}

LRESULT CNotifyWnd::OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (m_target && ::IsWindow(m_target)) ::PostMessageW(m_target, message, wParam, lParam);
  return 0;
}

void CNotifyWnd::OnFinalMessage(HWND window) {
  m_target = nullptr;
  if (g_notifyWnd == this) CPocketOutlook::SetNotificationWindow(nullptr);
  (void)window;
}

HWND CreateNotificationWindow(HWND target) {
  if (!g_notifyWnd) g_notifyWnd = new CNotifyWnd;
  if (!g_notifyWnd->IsWindow()) {
    RECT empty = {0, 0, 0, 0};
    if (!g_notifyWnd->Create(target, &empty, nullptr, WS_POPUP)) return nullptr;
  } else if (target && ::IsWindow(target)) {
    // An owned window ends with its owner: left owned by the panel before, it would
    // die with that one and leave this panel deaf.
    HWND owner = ::GetAncestor(target, GA_ROOT);
    if (::GetWindow(g_notifyWnd->m_hWnd, GW_OWNER) != owner)
      ::SetWindowLongPtrW(g_notifyWnd->m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
  g_notifyWnd->SetTarget(target);
  CPocketOutlook::SetNotificationWindow(g_notifyWnd->m_hWnd);
  return g_notifyWnd->m_hWnd;
}

void DestroyNotificationWindow() {
  if (!g_notifyWnd) return;
  CPocketOutlook::SetNotificationWindow(nullptr);
  if (g_notifyWnd->IsWindow()) g_notifyWnd->DestroyWindow();
  delete g_notifyWnd;
  g_notifyWnd = nullptr;
}

void ReleaseNotificationWindow(HWND target) {
  if (g_notifyWnd && target && g_notifyWnd->GetTarget() == target) DestroyNotificationWindow();
}

CNotifyWnd* GetNotificationWindow() { return g_notifyWnd; }
