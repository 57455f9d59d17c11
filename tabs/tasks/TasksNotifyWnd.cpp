#include "tabs/tasks/TasksNotifyWnd.h"

#include "base/CeDbApi.h"
#include "platform/windowlib/Module.h"
#include "tabs/tasks/TasksList.h"

namespace {
const wchar_t kClassName[] = L"QelTarvoTasksNotify";
}  // namespace

CTasksNotifyWnd::CTasksNotifyWnd(CTasksList* list) : m_list(list), m_window(nullptr) {}

CTasksNotifyWnd::~CTasksNotifyWnd() {
  if (!m_window) return;
  if (m_list) {
    m_list->SetNotifyWindow(nullptr);
    m_list->CloseDatabase();
  }
  SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
  DestroyWindow(m_window);
}

BOOL CTasksNotifyWnd::Attach() {
  if (m_window) return TRUE;
  if (!m_list) return FALSE;
  HINSTANCE instance = GetModule().GetModuleInstance();
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when a window made it before
  m_window = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!m_window) return FALSE;
  SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // A database opened before without this window is opened again with it.
  m_list->SetNotifyWindow(m_window);
  m_list->CloseDatabase();
  return TRUE;
}

LRESULT CTasksNotifyWnd::OnDbNotification(WPARAM wParam, LPARAM lParam) {
  if (!lParam) return 0;
  const BOOL keep = wParam != 0;
  // A posted record must be a live block of this process's heap of the record's size:
  // another process's address, or anything else, is never read.
  if (!keep && (!HeapValidate(GetProcessHeap(), 0, reinterpret_cast<LPCVOID>(lParam)) ||
                HeapSize(GetProcessHeap(), 0, reinterpret_cast<LPCVOID>(lParam)) < sizeof(CENOTIFICATION)))
    return 0;
  if (keep && InSendMessage()) return 0;
  auto* record = reinterpret_cast<CENOTIFICATION*>(lParam);
  if (record->dwSize == sizeof(CENOTIFICATION) && m_list && record->dwParam == reinterpret_cast<DWORD_PTR>(m_list)) {
    m_list->OnDBNotification(record, keep);
    return 0;
  }
  if (!keep) CeFreeNotification(nullptr, record);
  return 0;
}

LRESULT CALLBACK CTasksNotifyWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DBNOTIFICATION) {
    auto* self = reinterpret_cast<CTasksNotifyWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->OnDbNotification(wParam, lParam) : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
