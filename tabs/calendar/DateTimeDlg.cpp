#include "tabs/calendar/DateTimeDlg.h"

#include <commctrl.h>

#include "base/DatePicker.h"
#include "base/DateTime.h"
#include "base/Translator.h"
#include "controls/DateEditDlg.h"
#include "controls/ScrollDialog.h"
#include "controls/ValueEntryDlg.h"

namespace {

const int kHalfHours = 48;
const int kLastOfferedHour = 22;

BOOL IsStartControl(UINT id) { return id == IDC_DT_START_DATE || id == IDC_DT_START_TIME || id == IDC_DT_START_HALF; }
BOOL IsDatePicker(UINT id) { return id == IDC_DT_START_DATE || id == IDC_DT_END_DATE; }

void SetPickerTime(HWND picker, double date) {
  SYSTEMTIME time = {};
  if (VariantDateToSystemTime(date, &time))
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

}  // namespace

CDateTimeDlg::CDateTimeDlg() = default;

void CDateTimeDlg::HalfHourTime(int index, SYSTEMTIME* time) {
  if (index < 0) index = 0;
  if (index >= kHalfHours) index = kHalfHours - 1;
  time->wHour = static_cast<WORD>(index / 2);
  time->wMinute = static_cast<WORD>(30 * (index % 2));
  time->wSecond = time->wMilliseconds = 0;
}

int CDateTimeDlg::OfferedHour(int currentHour) {
  return currentHour + 1 < kLastOfferedHour ? currentHour + 1 : kLastOfferedHour;
}

int CDateTimeDlg::ClampCount(LPCWSTR text) {
  const int count = CValueEntryDlg::ParseCount(text);
  return count > 0 ? count : 1;
}

void CDateTimeDlg::PrepareTimes() {
  WCHAR picture[80] = L"";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, picture, ARRAYSIZE(picture));
  CString format;
  const BOOL hasSeconds = CDateEditDlg::RemoveSeconds(picture, format);
  for (UINT id : {IDC_DT_START_TIME, IDC_DT_END_TIME})
    ::SendDlgItemMessageW(m_hWnd, id, DTM_SETFORMATW, 0,
                          hasSeconds ? reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(format)) : 0);
  for (UINT id : {IDC_DT_START_HALF, IDC_DT_END_HALF}) CDateEditDlg::FillHalfHourList(GetDlgItem(id));
}

void CDateTimeDlg::ShowStart() {
  DlgSetDatePickerValue(GetDlgItem(IDC_DT_START_DATE), VariantDateFloor(m_start));
  SetPickerTime(GetDlgItem(IDC_DT_START_TIME), m_start);
  SyncCombo(IDC_DT_START_TIME);
}

void CDateTimeDlg::ShowEnd() {
  DlgSetDatePickerValue(GetDlgItem(IDC_DT_END_DATE), VariantDateFloor(m_end));
  SetPickerTime(GetDlgItem(IDC_DT_END_TIME), m_end);
  SyncCombo(IDC_DT_END_TIME);
}

void CDateTimeDlg::SyncCombo(UINT picker) {
  SYSTEMTIME time = {};
  if (::SendDlgItemMessageW(m_hWnd, picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
    return;
  const UINT combo = picker == IDC_DT_START_TIME ? IDC_DT_START_HALF : IDC_DT_END_HALF;
  ::SendDlgItemMessageW(m_hWnd, combo, CB_SETCURSEL, HalfHourIndex(time), 0);
}

void CDateTimeDlg::SyncPicker(UINT combo) {
  const LRESULT item = ::SendDlgItemMessageW(m_hWnd, combo, CB_GETCURSEL, 0, 0);
  if (item < 0 || item >= kHalfHours) return;
  const UINT picker = combo == IDC_DT_START_HALF ? IDC_DT_START_TIME : IDC_DT_END_TIME;
  SYSTEMTIME time = {};
  ::SendDlgItemMessageW(m_hWnd, picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  HalfHourTime(static_cast<int>(item), &time);
  ::SendDlgItemMessageW(m_hWnd, picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

int CDateTimeDlg::SelectedUnit() {
  const int unit = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_DT_REMINDER_UNIT, CB_GETCURSEL, 0, 0));
  return unit >= 0 && unit < CValueEntryDlg::kUnitCount ? unit : CValueEntryDlg::kMinutes;
}

void CDateTimeDlg::FillReminderCounts() { CValueEntryDlg::FillCountList(GetDlgItem(IDC_DT_REMINDER_COUNT), SelectedUnit()); }

void CDateTimeDlg::UpdateEnables() {
  const BOOL allDay = ::IsDlgButtonChecked(m_hWnd, IDC_DT_ALL_DAY) == BST_CHECKED;
  for (UINT id : {IDC_DT_START_TIME, IDC_DT_END_TIME, IDC_DT_START_HALF, IDC_DT_END_HALF})
    ::EnableWindow(GetDlgItem(id), !allDay);
  for (UINT id : {IDC_DT_START_DATE, IDC_DT_END_DATE}) ::EnableWindow(GetDlgItem(id), !m_datesFixed);
  ::EnableWindow(GetDlgItem(IDC_DT_REMINDER_ON), m_reminderAvailable);
  const BOOL lists = m_reminderAvailable && ::IsDlgButtonChecked(m_hWnd, IDC_DT_REMINDER_ON) == BST_CHECKED;
  ::EnableWindow(GetDlgItem(IDC_DT_REMINDER_COUNT), lists);
  ::EnableWindow(GetDlgItem(IDC_DT_REMINDER_UNIT), lists);
}

void CDateTimeDlg::ReadControls() {
  double day = 0;
  SYSTEMTIME time = {};
  DlgGetDatePickerValue(GetDlgItem(IDC_DT_START_DATE), &day);
  ::SendDlgItemMessageW(m_hWnd, IDC_DT_START_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  m_start = VariantDateFloor(day) + (time.wHour * 60 + time.wMinute) / 1440.0;
  DlgGetDatePickerValue(GetDlgItem(IDC_DT_END_DATE), &day);
  ::SendDlgItemMessageW(m_hWnd, IDC_DT_END_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  m_end = VariantDateFloor(day) + (time.wHour * 60 + time.wMinute) / 1440.0;
  m_allDay = ::IsDlgButtonChecked(m_hWnd, IDC_DT_ALL_DAY) == BST_CHECKED;
  m_reminderOn = ::IsDlgButtonChecked(m_hWnd, IDC_DT_REMINDER_ON) == BST_CHECKED;
  if (!m_reminderOn) {
    m_reminder = -1;
    return;
  }
  WCHAR text[16] = L"";
  HWND counts = GetDlgItem(IDC_DT_REMINDER_COUNT);
  ::GetWindowTextW(counts, text, ARRAYSIZE(text));
  m_count = ClampCount(text);
  m_unit = SelectedUnit();
  // Clamped once here, and shown so: the field never says 1 over a stored 0.
  WCHAR shown[16];
  wsprintfW(shown, L"%d", m_count);
  if (lstrcmpW(shown, text) != 0) ::SetWindowTextW(counts, shown);
  m_reminder = CValueEntryDlg::JoinMinutes(m_count, m_unit);
}

void CDateTimeDlg::OnDateTimeChange(UINT control) {
  ReadControls();
  if (IsStartControl(control)) {
    if (m_duration >= 0) {
      m_end = m_start + m_duration;
      ShowEnd();
    }
  } else if (m_start > m_end) {
    m_start = m_end;
    ShowStart();
  }
  m_duration = m_end - m_start;
}

LRESULT CDateTimeDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_menuBar = CreateDialogMenuBar(m_hWnd, 0);
  CValueEntryDlg::SplitMinutes(m_reminder, m_count, m_unit);
  m_reminderOn = m_reminder >= 0;
  ::CheckDlgButton(m_hWnd, IDC_DT_REMINDER_ON, m_reminderOn ? BST_CHECKED : BST_UNCHECKED);
  SYSTEMTIME range[2] = {};
  range[0].wYear = 1900;
  range[0].wMonth = range[0].wDay = 1;
  range[1].wYear = 2999;
  range[1].wMonth = 12;
  range[1].wDay = 31;
  for (UINT id : {IDC_DT_START_DATE, IDC_DT_END_DATE})
    ::SendDlgItemMessageW(m_hWnd, id, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
  if (!m_title.IsEmpty()) SetWindowText(m_title);
  PrepareTimes();
  if (m_allDay) {
    // An all-day appointment has no times; the next full hour is offered, but never
    // so late that the hour after it leaves the day: OK cuts the times off again, and
    // an offered end at midnight would add a day to the appointment.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const double hour = OfferedHour(now.wHour) / 24.0;
    const BOOL sameDay = VariantDateFloor(m_start) == VariantDateFloor(m_end);
    m_start = VariantDateFloor(m_start) + hour;
    m_end = sameDay ? m_start + 1 / 24.0 : VariantDateFloor(m_end) + hour;
  }
  ::CheckDlgButton(m_hWnd, IDC_DT_ALL_DAY, m_allDay ? BST_CHECKED : BST_UNCHECKED);
  ShowStart();
  ShowEnd();
  CValueEntryDlg::InitReminderLists(GetDlgItem(IDC_DT_REMINDER_COUNT), GetDlgItem(IDC_DT_REMINDER_UNIT), m_count,
                                    m_unit);
  m_duration = m_end - m_start;
  UpdateEnables();
  GetTranslator().TranslateDialog(m_hWnd);
  ::SetFocus(GetDlgItem(IDC_DT_START_DATE));
  return FALSE;
}

LRESULT CDateTimeDlg::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) {
    handled = FALSE;
    return 0;
  }
  const UINT id = static_cast<UINT>(header->idFrom);
  if (header->code == static_cast<UINT>(DTN_DATETIMECHANGE)) {
    if (id == IDC_DT_START_TIME || id == IDC_DT_END_TIME) SyncCombo(id);
    OnDateTimeChange(id);
    return 0;
  }
  if (header->code == static_cast<UINT>(DTN_DROPDOWN) && IsDatePicker(id)) {
    OpenMonthPopup(header->hwndFrom);
    return 0;
  }
  handled = FALSE;
  return 0;
}

void CDateTimeDlg::OpenMonthPopup(HWND picker) {
  // The picker's own calendar is only hidden: closing it would leave the picker
  // holding a destroyed window.
  CWindow own;
  if (DlgGetDatePickerMonthCal(picker, own)) own.ShowWindow(SW_HIDE);
  m_popupPicker = picker;
  RECT place{};
  ::GetWindowRect(picker, &place);
  double date = kNoDate;
  DlgGetDatePickerValue(picker, &date);
  m_calendar.Open(m_hWnd, place, this, MONTH_POPUP_PICKER, date);
}

void CDateTimeDlg::OnPeriodChosen(double from, double) {
  if (!m_hWnd || !m_popupPicker || !::IsWindow(m_popupPicker) || from == kNoDate) return;
  DlgSetDatePickerValue(m_popupPicker, VariantDateFloor(from));
  OnDateTimeChange(static_cast<UINT>(::GetDlgCtrlID(m_popupPicker)));
}

LRESULT CDateTimeDlg::OnHalfHour(WORD, WORD id, HWND, BOOL&) {
  SyncPicker(id);
  OnDateTimeChange(id);
  return 0;
}

LRESULT CDateTimeDlg::OnCheck(WORD, WORD, HWND, BOOL&) {
  UpdateEnables();
  return 0;
}

LRESULT CDateTimeDlg::OnUnitChange(WORD, WORD, HWND, BOOL&) {
  FillReminderCounts();
  return 0;
}

LRESULT CDateTimeDlg::OnOK(WORD, WORD, HWND, BOOL&) {
  ReadControls();
  if (m_allDay) {
    m_start = VariantDateFloor(m_start);
    m_end = VariantDateFloor(m_end);
  }
  if (m_calendar.IsCreated() && m_calendar.m_hWnd) ::DestroyWindow(m_calendar.m_hWnd);
  EndDialog(IDOK);
  return 0;
}

LRESULT CDateTimeDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  if (m_calendar.IsCreated() && m_calendar.m_hWnd) ::DestroyWindow(m_calendar.m_hWnd);
  EndDialog(IDCANCEL);
  return 0;
}
