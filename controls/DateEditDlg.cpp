#include "controls/DateEditDlg.h"

#include <commctrl.h>

#include "base/DatePicker.h"
#include "base/DateTime.h"
#include "base/DialogPlacement.h"
#include "base/Platform.h"
#include "base/Translator.h"
#include "controls/ScrollDialog.h"
#include "graphics/FontCache.h"
#include "platform/aygshell/aygshell.h"

namespace {

const UINT kDatePickers[] = {IDC_REMINDER_DATE, IDC_START_DATE, IDC_DUE_DATE};
const int kHalfHours = 48;

CDateEditRules::Field FieldOf(UINT id) {
  switch (id) {
    case IDC_START_DATE: return CDateEditRules::kStart;
    case IDC_DUE_DATE: return CDateEditRules::kDue;
    case IDC_REMINDER_DATE: return CDateEditRules::kReminder;
    default: return CDateEditRules::kNoField;
  }
}

bool IsDatePicker(UINT id) { return FieldOf(id) != CDateEditRules::kNoField; }

}  // namespace

CDateEditDlg::CDateEditDlg(LPCWSTR caption, BOOL reminderOn, double reminder, double start, double due)
    : m_caption(caption ? caption : L""),
      m_reminderOn(reminderOn),
      m_reminder(reminder),
      m_start(start),
      m_due(due),
      m_rules(IsPocketPC(), GetTodayDate()) {}

BOOL CDateEditDlg::RemoveSeconds(LPCWSTR picture, CString& out) {
  out.Empty();
  if (!picture) return FALSE;
  CString text = picture;
  int at = 0;
  while (at < text.GetLength() && text[at] != L's' && text[at] != L'S') ++at;
  if (at == text.GetLength()) return FALSE;
  int length = 1;
  if (at + 1 < text.GetLength() && (text[at + 1] == L's' || text[at + 1] == L'S')) length = 2;
  if (at > 0) {
    --at;
    ++length;
  }
  text.Delete(at, length);
  out = text;
  return TRUE;
}

void CDateEditDlg::SetTimeFormat() {
  WCHAR picture[80] = L"";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, picture, ARRAYSIZE(picture));
  CString format;
  // A picture without seconds is shown as the locale gives it.
  if (!RemoveSeconds(picture, format)) format = picture;
  ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_SETFORMATW, 0,
                      reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(format)));
}

void CDateEditDlg::FillHalfHours() { FillHalfHourList(GetDlgItem(IDC_HALF_HOURS)); }

void CDateEditDlg::FillHalfHourList(HWND combo) {
  const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (int item = 0; item < kHalfHours; ++item) {
    SYSTEMTIME time = {};
    time.wYear = 2000;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = static_cast<WORD>(item / 2);
    time.wMinute = static_cast<WORD>(30 * (item % 2));
    WCHAR text[64] = L"";
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text, ARRAYSIZE(text)))
      wsprintfW(text, L"%02d:%02d", time.wHour, time.wMinute);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  ::SendMessageW(combo, CB_SETCURSEL, selected, 0);
}

void CDateEditDlg::FollowTimePicker() {
  SYSTEMTIME time = {};
  if (::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) !=
      GDT_VALID)
    return;
  ::SendDlgItemMessageW(m_hWnd, IDC_HALF_HOURS, CB_SETCURSEL, time.wHour * 2 + time.wMinute / 30, 0);
}

void CDateEditDlg::ShowDates() {
  DlgSetDatePickerValue(GetDlgItem(IDC_START_DATE), m_rules.GetStart());
  DlgSetDatePickerValue(GetDlgItem(IDC_DUE_DATE), m_rules.GetDue());
  DlgSetDatePickerValue(GetDlgItem(IDC_REMINDER_DATE), m_rules.GetReminder());
}

void CDateEditDlg::UpdateEnabling() {
  const BOOL usable = m_rules.UpdateEnabling();
  ::EnableWindow(GetDlgItem(IDC_REMINDER_ON), usable);
  if (!m_rules.IsReminderOn() && ::IsDlgButtonChecked(m_hWnd, IDC_REMINDER_ON) == BST_CHECKED) {
    ::CheckDlgButton(m_hWnd, IDC_REMINDER_ON, BST_UNCHECKED);
    DlgSetDatePickerValue(GetDlgItem(IDC_REMINDER_DATE), m_rules.GetReminder());
  }
  const BOOL on = m_rules.IsReminderOn();
  ::EnableWindow(GetDlgItem(IDC_REMINDER_DATE), on);
  ::EnableWindow(GetDlgItem(IDC_REMINDER_TIME), on);
  ::EnableWindow(GetDlgItem(IDC_HALF_HOURS), on);
}

void CDateEditDlg::DateChanged(UINT controlId) {
  double value = kNoDate;
  DlgGetDatePickerValue(GetDlgItem(controlId), &value);
  m_rules.Change(FieldOf(controlId), value);
  ShowDates();
  UpdateEnabling();
}

LRESULT CDateEditDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  DlgCenterWindow(m_hWnd, nullptr);
  ApplyDialogFonts(GetFontCache(), m_hWnd);
  CreateDialogMenuBar(m_hWnd, 0);
  if (!m_caption.IsEmpty()) SetWindowText(m_caption);
  SYSTEMTIME range[2] = {};
  range[0].wYear = 1900;
  range[0].wMonth = range[0].wDay = 1;
  range[1].wYear = 2999;
  range[1].wMonth = 12;
  range[1].wDay = 31;
  for (UINT id : kDatePickers)
    ::SendDlgItemMessageW(m_hWnd, id, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
  DlgFitControlBeside(m_hWnd, GetDlgItem(IDC_REMINDER_TIME), GetDlgItem(IDC_HALF_HOURS),
                      GetDlgItem(IDC_REMINDER_DATE));
  SetTimeFormat();
  FillHalfHours();

  SYSTEMTIME time = {};
  if (m_reminder == kNoDate || !VariantDateToSystemTime(m_reminder, &time)) {
    VariantDateToSystemTime(GetTodayDate(), &time);
    time.wHour = 8;
    time.wMinute = time.wSecond = time.wMilliseconds = 0;
  }
  ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  FollowTimePicker();
  ::CheckDlgButton(m_hWnd, IDC_REMINDER_ON, m_reminderOn ? BST_CHECKED : BST_UNCHECKED);

  m_rules.Init(m_start, m_due, m_reminderOn ? m_reminder : kNoDate, m_reminderOn);
  ShowDates();
  UpdateEnabling();
  m_startHook.SubclassWindow(GetDlgItem(IDC_START_DATE));
  m_dueHook.SubclassWindow(GetDlgItem(IDC_DUE_DATE));
  SHDoneButton(m_hWnd, 0);
  GetTranslator().TranslateDialog(m_hWnd);
  return TRUE;
}

LRESULT CDateEditDlg::OnMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  PlaceDialogAboveSip(m_hWnd);
  handled = FALSE;
  return 0;
}

LRESULT CDateEditDlg::OnSettingChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  SetTimeFormat();
  FillHalfHours();
  ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, msg, wParam, lParam);
  handled = FALSE;
  return 0;
}

LRESULT CDateEditDlg::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(DTN_DATETIMECHANGE))
    return OnDateTimeChange(static_cast<int>(wParam), header, handled);
  if (header && header->code == static_cast<UINT>(DTN_DROPDOWN))
    return OnDropDown(static_cast<int>(wParam), header, handled);
  handled = FALSE;
  return 0;
}

LRESULT CDateEditDlg::OnDateTimeChange(int, NMHDR* header, BOOL& handled) {
  if (header->idFrom == IDC_REMINDER_TIME) {
    FollowTimePicker();
  } else if (IsDatePicker(static_cast<UINT>(header->idFrom))) {
    DateChanged(static_cast<UINT>(header->idFrom));
  } else {
    handled = FALSE;
  }
  return 0;
}

LRESULT CDateEditDlg::OnDropDown(int, NMHDR* header, BOOL& handled) {
  if (!IsDatePicker(static_cast<UINT>(header->idFrom))) {
    handled = FALSE;
    return 0;
  }
  // The picker's own calendar is only hidden: closing it would leave the picker
  // holding a destroyed window on the desktop.
  CWindow calendar;
  if (DlgGetDatePickerMonthCal(header->hwndFrom, calendar)) calendar.ShowWindow(SW_HIDE);
  PostMessage(WM_OPEN_MONTH_POPUP, reinterpret_cast<WPARAM>(header->hwndFrom));
  return 0;
}

LRESULT CDateEditDlg::OnOpenMonthPopup(UINT, WPARAM wParam, LPARAM, BOOL&) {
  HWND picker = reinterpret_cast<HWND>(wParam);
  if (!picker || !::IsChild(m_hWnd, picker)) picker = GetDlgItem(static_cast<int>(wParam & 0xFFFF));
  if (!picker || !IsDatePicker(static_cast<UINT>(::GetDlgCtrlID(picker)))) return 0;
  CWindow calendar;
  if (DlgGetDatePickerMonthCal(picker, calendar)) calendar.ShowWindow(SW_HIDE);
  m_popupPicker = picker;
  IMonthPopup* popup = GetMonthPopup();
  if (!popup) return 0;
  RECT place{};
  ::GetWindowRect(picker, &place);
  double date = kNoDate;
  DlgGetDatePickerValue(picker, &date);
  const UINT mode = ::GetDlgCtrlID(picker) == IDC_REMINDER_DATE ? MONTH_POPUP_PICKER
                                                                : MONTH_POPUP_PICKER | MONTH_POPUP_NO_DATE;
  popup->Open(m_hWnd, place, this, mode, date);
  return 0;
}

void CDateEditDlg::OnPeriodChosen(double from, double) {
  if (!m_hWnd || !m_popupPicker || !::IsWindow(m_popupPicker)) return;
  DlgSetDatePickerValue(m_popupPicker, from);
  DateChanged(static_cast<UINT>(::GetDlgCtrlID(m_popupPicker)));
}

LRESULT CDateEditDlg::OnHalfHour(WORD, WORD, HWND, BOOL&) {
  const LRESULT item = ::SendDlgItemMessageW(m_hWnd, IDC_HALF_HOURS, CB_GETCURSEL, 0, 0);
  if (item < 0 || item >= kHalfHours) return 0;
  SYSTEMTIME time = {};
  ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  time.wHour = static_cast<WORD>(item / 2);
  time.wMinute = static_cast<WORD>(30 * (item % 2));
  time.wSecond = time.wMilliseconds = 0;
  ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  return 0;
}

LRESULT CDateEditDlg::OnReminderClick(WORD, WORD, HWND, BOOL&) {
  m_rules.SetReminderOn(::IsDlgButtonChecked(m_hWnd, IDC_REMINDER_ON) == BST_CHECKED);
  ShowDates();
  UpdateEnabling();
  return 0;
}

LRESULT CDateEditDlg::OnOK(WORD, WORD, HWND, BOOL&) {
  m_start = m_rules.GetStart();
  m_due = m_rules.GetDue();
  m_reminderOn = m_rules.IsReminderOn();
  m_reminder = kNoDate;
  SYSTEMTIME time = {};
  if (m_reminderOn && m_rules.GetReminder() != kNoDate &&
      ::SendDlgItemMessageW(m_hWnd, IDC_REMINDER_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) ==
          GDT_VALID)
    m_reminder = m_rules.GetReminder() + (time.wHour * 60 + time.wMinute) / 1440.0;
  EndDialog(IDOK);
  return 0;
}

LRESULT CDateEditDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}
