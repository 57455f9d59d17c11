#include "ondrel/MainFrame.h"

#include <cwchar>

#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
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

// A date of a change: the no-date value, or a real day between the years 100 and 9999.
bool IsChangeDate(double date) { return date == kNoDate || (date >= -657434.0 && date < 2958466.0); }

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
      m_msgChangeItem(RegisterWindowMessageW(L"QelTarvo_ChangeItem")),
      m_months(this) {
  InitScreenDpi();
}

BOOL CMainFrame::LoadMonth(DWORD key) {
  CMonthItem* month = m_months.GetMonth(key);
  if (!month) return FALSE;
  if (!month->IsLoaded()) ComputeMonth(month, GetViewSettings().App_MarkConflicting != 0);
  return TRUE;
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
  const ONDREL_CHANGE_RECORD& r = change.record;
  const DWORD day = r.first.u32;
  const DWORD op = r.operation & 0xFFFF0000;
  if ((op == 0x10000 && !(IsChangeDate(r.f64a) && IsChangeDate(r.f64b))) ||
      (op == ONDREL_CHANGE_TASK_DATES && !(IsChangeDate(r.first.f64) && IsChangeDate(r.f64a) && IsChangeDate(r.f64b)))) {
    LogRefused(L"change dates", copy);
    return 0;
  }
  switch (op) {
    case 0x10000:
      return m_helper.ChangeAppointment(r.objectId, day, r.f64a, r.f64b, r.u32a, r.u32b);
    case ONDREL_SET_REMINDER:
      return m_helper.SetApptReminder(r.objectId, static_cast<LONG>(r.first.u32));
    case ONDREL_DELETE_ITEM:
      if (r.kind == ITEM_APPOINTMENT) return m_helper.ChangeAppointment(r.objectId, day, kNoDate, kNoDate, 0, 0);
      return m_helper.DeleteItem(static_cast<int>(r.kind), r.objectId);
    case ONDREL_COPY_ITEM:
      if (r.kind == ITEM_APPOINTMENT) return m_helper.ChangeAppointment(r.objectId, day, kNoDate, kNoDate, 1, 0);
      return m_helper.CopyItem(static_cast<int>(r.kind), r.objectId);
    case ONDREL_COMPLETE_TASK:
      // The state the sender asked for; a sender that names none gets the other one.
      return m_helper.CompleteTask(r.objectId, r.u32b == ONDREL_COMPLETE_STATE_GIVEN ? (r.u32a != 0) : -1);
    case ONDREL_CHANGE_TASK_DATES:
      return m_helper.ChangeTaskDate(r.objectId, r.first.f64, r.f64a, r.f64b);
    case ONDREL_SET_CATEGORIES:
      return m_helper.SetCategories(r.objectId, change.categories);
    default:
      break;
  }
  wchar_t line[120];
  swprintf(line, 120, L"refused change 0x%lX of item %lu", static_cast<unsigned long>(r.operation),
           static_cast<unsigned long>(r.objectId));
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
  if (action == ONDREL_ACTION_NEW) {
    const double date1 = r.date1 == 0.0 ? kNoDate : r.date1, date2 = r.date2 == 0.0 ? kNoDate : r.date2;
    if (kind == ITEM_CONTACT)
      m_helper.NewItemWithText2(kind, r.text1, r.text2);
    else
      m_helper.NewItem(kind, r.text1, date1, date2, nullptr, r.objectId == 0xFFFFFFFF ? 0 : r.objectId);
    return;
  }
  if (action == ONDREL_ACTION_NEW_FROM_NOTE) {
    const BOOL temporary = r.objectId == 0xFFFFFFFF;
    if (!m_helper.NewItemFromNote(kind, r.text1, temporary)) {
      if (temporary && r.text1[0]) DeleteFileW(r.text1);
      if (HWND helper = FindWindowW(L"QelTarvoTimeHelperWnd_1.0", nullptr))
        ::PostMessageW(helper, m_msgShowMessage, 1, 0);
    }
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
        ::KillTimer(window, wParam);
        m_months.ProcessQueue();
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
    GetViewSettings().Load();
    m_months.Clear();
    return TRUE;
  }
  if (message == m_msgGetPIStatus) {
    result = m_helper.GetPIStatus();
    return TRUE;
  }
  if (message == m_msgChangeItem) {
    // A beam is posted with its two values; every other change arrives by copy (it
    // carries its categories text), and a bare pointer from another process is no
    // record here.
    uint32_t kind = 0, objectId = 0;
    if (ReadOndrelBeam(wParam, lParam, &kind, &objectId))
      result = m_helper.BeamItem(objectId, static_cast<int>(kind));
    else if (lParam)
      COndrelLog::Append(L"refused change: not sent as a copy");
    return TRUE;
  }
  if (message == m_msgGetMonth) {
    MSG waiting;
    if (PeekMessageW(&waiting, window, m_msgCancelLoad, m_msgCancelLoad, PM_NOREMOVE)) return TRUE;
    m_months.Request(static_cast<DWORD>(wParam), reinterpret_cast<HWND>(lParam));
    ::SetTimer(window, kMonthTimer, 100, nullptr);
    return TRUE;
  }
  if (message == m_msgUpdateCalendar) {
    ::KillTimer(window, kMonthTimer);
    m_months.Clear();
    ::SetTimer(window, kMonthTimer, kMonthInterval, nullptr);
    return TRUE;
  }
  if (message == m_msgCancelLoad) {
    m_months.CancelRequests();
    return TRUE;
  }
  if (message == m_msgShowMessage) return TRUE;
  return CFrameWindowImpl<CMainFrame>::ProcessWindowMessage(window, message, wParam, lParam, result, mapId);
}
