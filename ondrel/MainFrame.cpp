#include "ondrel/MainFrame.h"

#include <cwchar>

#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "ondrel/OndrelLog.h"

namespace {

const UINT_PTR kMonthTimer = 2;
const UINT kMonthInterval = 3000;

void LogRefused(LPCWSTR what, const COPYDATASTRUCT* copy) {
  wchar_t line[160];
  swprintf(line, 160, L"refused %ls: data 0x%llX, %lu bytes", what,
           static_cast<unsigned long long>(copy ? copy->dwData : 0), copy ? copy->cbData : 0ul);
  COndrelLog::Append(line);
}

}  // namespace

HWND FindTodayPluginWindow(HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (wcscmp(name, L"Qel_Tarvo_PreWindow") == 0 || wcscmp(name, L"QelTarvoTodayPlugin_10") == 0) return child;
    if (HWND found = FindTodayPluginWindow(child)) return found;
  }
  return nullptr;
}

CMainFrame::CMainFrame()
    : m_msgDisplayItem(RegisterWindowMessageW(L"QelTarvo_DisplayItem")),
      m_msgOpenApp(RegisterWindowMessageW(L"QelTarvo_OpenApp")),
      m_msgUpdateSettings(RegisterWindowMessageW(L"QelTarvo_UpdateSettings")),
      m_msgCloseWindow(RegisterWindowMessageW(L"QelTarvo_CloseWindow")),
      m_msgGetMonth(RegisterWindowMessageW(L"QelTarvo_GetMonth")),
      m_msgUpdateCalendar(RegisterWindowMessageW(L"QelTarvo_UpdateCalendar")),
      m_msgCancelLoad(RegisterWindowMessageW(L"QelTarvo_CancelLoad")),
      m_msgShowMessage(RegisterWindowMessageW(L"QelTarvo_ShowMessage")),
      m_msgGetPIStatus(RegisterWindowMessageW(L"QelTarvo_GetPIStatus")),
      m_msgChangeItem(RegisterWindowMessageW(L"QelTarvo_ChangeItem")) {
  InitScreenDpi();
}

BOOL CMainFrame::OnCopyData(const COPYDATASTRUCT* copy) {
  if (!m_queue.Accept(copy)) {
    LogRefused(L"request", copy);
    return FALSE;
  }
  m_helper.ReadPimChoice();
  const ULONG_PTR code = copy->dwData;
  ::PostMessageW(m_hWnd, (code & 0xFFFF) ? m_msgDisplayItem : m_msgOpenApp, code, 0);
  return TRUE;
}

LRESULT CMainFrame::OnChangeItem(const COPYDATASTRUCT* copy) {
  ONDREL_CHANGE_MESSAGE change;
  if (!ReadOndrelChange(copy, &change)) {
    LogRefused(L"change", copy);
    return 0;
  }
  wchar_t line[120];
  swprintf(line, 120, L"change 0x%lX of item %lu not carried out here", static_cast<unsigned long>(change.record.operation),
           static_cast<unsigned long>(change.record.objectId));
  COndrelLog::Append(line);
  return 0;
}

void CMainFrame::OnDisplayItem(WPARAM code) {
  CRequestQueue::Entry entry;
  // A posted turn without its copy (another program posted it) has nothing to serve.
  if (!m_queue.Take(code, &entry)) return;
  SetForegroundWindow(m_hWnd);
  const DWORD kindWord = static_cast<DWORD>(code) & 0xFFFF0000, action = static_cast<DWORD>(code) & 0xFFFF;
  const ONDREL_REQUEST& r = entry.request;
  const int kind = kindWord == 0x10000 ? ITEM_APPOINTMENT : kindWord == 0x20000 ? ITEM_CONTACT : ITEM_TASK;
  if (kindWord == 0x30000) {
    if (action != ONDREL_ACTION_NEW)
      m_helper.OpenMessage(r.message.entryId, r.message.entryIdLength, static_cast<int>(action) - 1);
    return;
  }
  if (kindWord == 0x40000) {
    m_helper.DisplayNote(r.text1);
    return;
  }
  if (action == ONDREL_ACTION_NEW || action == ONDREL_ACTION_NEW_FROM_NOTE) {
    wchar_t line[96];
    swprintf(line, 96, L"new item of kind %d not carried out here", kind);
    COndrelLog::Append(line);
    return;
  }
  m_helper.DisplayItem(kind, r.objectId, action == ONDREL_ACTION_EDIT ? DISPLAY_EDIT : DISPLAY_OPEN,
                       r.date1 == 0.0 ? kNoDate : r.date1);
}

void CMainFrame::OnOpenApp(WPARAM code) {
  // A copied request (text 2 for the mail program) comes with its copy; a posted
  // code alone has none.
  CRequestQueue::Entry entry = {};
  m_queue.Take(code, &entry);
  SetForegroundWindow(m_hWnd);
  switch (static_cast<DWORD>(code) & 0xFFFF0000) {
    case 0: m_helper.OpenTasksView(); break;
    case 0x10000: m_helper.OpenCalendarView(); break;
    case 0x40000: m_helper.OpenNotes(); break;
    case 0x50000: m_helper.OpenPocketWord(); break;
    case 0x60000: m_helper.OpenPhatNotes(); break;
    case 0x70000: m_helper.OpenMail2(entry.request.text2); break;
    case 0x80000: m_helper.OpenPhatPad(); break;
    case 0x90000: m_helper.OpenPocketExcel(); break;
    default: m_helper.OpenContactsView(); break;
  }
}

BOOL CMainFrame::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId) {
  result = 0;
  switch (message) {
    case WM_CREATE:
      if (CMessageLoop* loop = GetModule().GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
      }
      m_helper.SetFrame(window);
      m_helper.ReadPimChoice();
      ::SetTimer(window, kMonthTimer, kMonthInterval, nullptr);
      return TRUE;
    case WM_COPYDATA: {
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (copy && copy->dwData == ONDREL_CHANGE_DATA) {
        result = OnChangeItem(copy);
        return TRUE;
      }
      result = OnCopyData(copy) ? 1 : 0;
      return TRUE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND other = lParam ? reinterpret_cast<HWND>(lParam) : GetForegroundWindow();
        wchar_t name[201] = {};
        if (other && GetClassNameW(other, name, 201) && _wcsicmp(name, L"Dialog") == 0)
          m_helper.OnDialogActivated(other);
      }
      return TRUE;
    case WM_TIMER:
      if (wParam == 1) {
        m_helper.WatchDialogs();
      } else {
        // The month summaries are served by the month service, not built here.
        ::KillTimer(window, wParam);
        ::SetTimer(window, kMonthTimer, kMonthInterval, nullptr);
      }
      return TRUE;
    default:
      break;
  }
  if (message == m_msgDisplayItem) {
    OnDisplayItem(wParam);
    return TRUE;
  }
  if (message == m_msgOpenApp) {
    OnOpenApp(wParam);
    return TRUE;
  }
  if (message == m_msgCloseWindow) {
    DestroyWindow();
    return TRUE;
  }
  if (message == m_msgUpdateSettings) {
    m_helper.ReadPimChoice();
    return TRUE;
  }
  if (message == m_msgGetPIStatus) {
    result = m_helper.GetPIStatus();
    return TRUE;
  }
  if (message == m_msgChangeItem) {
    // A change arrives by copy (it carries its categories text); a bare pointer from
    // another process is no record here.
    if (lParam) COndrelLog::Append(L"refused change: not sent as a copy");
    return TRUE;
  }
  if (message == m_msgGetMonth) {
    MSG waiting;
    if (PeekMessageW(&waiting, window, m_msgCancelLoad, m_msgCancelLoad, PM_NOREMOVE)) return TRUE;
    ::SetTimer(window, kMonthTimer, 100, nullptr);
    return TRUE;
  }
  if (message == m_msgUpdateCalendar) {
    ::KillTimer(window, kMonthTimer);
    ::SetTimer(window, kMonthTimer, kMonthInterval, nullptr);
    return TRUE;
  }
  if (message == m_msgCancelLoad || message == m_msgShowMessage) return TRUE;
  return CFrameWindowImpl<CMainFrame>::ProcessWindowMessage(window, message, wParam, lParam, result, mapId);
}
