#include "settings/pages/CalendarCommonPage.h"

#include <oleauto.h>

#include <cwchar>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "settings/base/DatePictures.h"

namespace {

const UINT kChooseDateText = 313;

CString DayWithoutYear(double variantDate) {
  SYSTEMTIME date = {};
  if (!VariantTimeToSystemTime(variantDate, &date)) return CString();
  WCHAR picture[80] = L"";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, picture, 80);
  const CString withoutYear = ParseDatePicture(picture, FALSE, FALSE, FALSE, FALSE);
  WCHAR text[128] = L"";
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &date, withoutYear, text, 128);
  return CString(text);
}

}  // namespace

BOOL CCalendarCommonPage::OnInitPage() {
  HWND calendar = ::GetDlgItem(m_hWnd, kFirstWeekDatePicker);
  if (calendar && !m_datePicker.m_hWnd) m_datePicker.SubclassWindow(calendar);

  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_customDate = kNoCustomFirstWeek;
  const DWORD custom = key.GetDWORD(L"Calendar_CustomFirstYearWeek", 0xFFFFFFFF);
  if (custom != 0xFFFFFFFF) m_customDate = static_cast<double>(static_cast<LONG>(custom));
  FillFirstWeekItems();
  m_firstWeekSelection = static_cast<int>(key.GetDWORD(L"Calendar_FirstYearWeek", 0));
  SendDlgItemMessage(kFirstWeekCombo, CB_SETCURSEL, static_cast<WPARAM>(m_firstWeekSelection), 0);

  m_storedPeriod = key.GetDWORD(L"CalendarPeriod", 7);
  WCHAR number[16] = L"";
  swprintf(number, 16, L"%d", static_cast<int>(m_storedPeriod));
  const LRESULT found = SendDlgItemMessage(kCalendarPeriodCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(number));
  SendDlgItemMessage(kCalendarPeriodCombo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);

  const CViewSettings& settings = GetViewSettings();
  CheckDlgButton(kCollapseButTodayBox, settings.App_CollapseButToday ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kMarkConflictingBox, settings.App_MarkConflicting ? BST_CHECKED : BST_UNCHECKED);
  if (calendar) ::ShowWindow(calendar, SW_HIDE);
  return TRUE;
}

void CCalendarCommonPage::FillFirstWeekItems() {
  HWND combo = GetDlgItem(kFirstWeekCombo);
  while (::SendMessageW(combo, CB_GETCOUNT, 0, 0) > kFixedFirstWeekItems)
    ::SendMessageW(combo, CB_DELETESTRING, kFixedFirstWeekItems, 0);
  if (HasCustomDate()) {
    const CString day = DayWithoutYear(m_customDate);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(day)));
  }
  CString choose;
  LoadUIString(choose, kChooseDateText);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(choose)));
}

LRESULT CCalendarCommonPage::OnFirstWeekChanged(WORD, WORD, HWND, BOOL&) {
  const int selection = static_cast<int>(SendDlgItemMessage(kFirstWeekCombo, CB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(SendDlgItemMessage(kFirstWeekCombo, CB_GETCOUNT, 0, 0));
  if (selection != count - 1) {
    m_firstWeekSelection = selection;
    return 0;
  }
  ShowDatePicker();
  return 0;
}

void CCalendarCommonPage::ShowDatePicker() {
  HWND calendar = m_datePicker.m_hWnd;
  if (!calendar) return;
  RECT minimum = {};
  ::SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
  RECT combo = {};
  ::GetWindowRect(GetDlgItem(kFirstWeekCombo), &combo);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&combo), 2);
  RECT client = {};
  GetClientRect(&client);
  const int width = minimum.right - minimum.left, height = minimum.bottom - minimum.top;
  int top = combo.top;
  if (top + height > client.bottom) top = client.bottom - height;
  if (top < 0) top = 0;
  if (HasCustomDate()) {
    SYSTEMTIME date = {};
    if (VariantTimeToSystemTime(m_customDate, &date)) {
      SYSTEMTIME now = {};
      GetLocalTime(&now);
      date.wYear = now.wYear;
      // 29 February of a year without one shows 28 February.
      if (date.wMonth == 2 && date.wDay == 29 && !(now.wYear % 4 == 0 && (now.wYear % 100 != 0 || now.wYear % 400 == 0)))
        date.wDay = 28;
      date.wDayOfWeek = 0;
      ::SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
    }
  }
  ::SetWindowPos(calendar, HWND_TOP, combo.right - width, top, width, height, SWP_SHOWWINDOW);
  ::SetFocus(calendar);
}

LRESULT CCalendarCommonPage::OnDatePicked(int, NMHDR* header, BOOL&) {
  ::SetFocus(GetDlgItem(kFirstWeekCombo));
  const SYSTEMTIME date = reinterpret_cast<const DatePickedNotify*>(header)->date;
  if (date.wMonth == 1 && date.wDay == 1) {
    m_customDate = kNoCustomFirstWeek;
    FillFirstWeekItems();
    m_firstWeekSelection = 1;
  } else {
    SYSTEMTIME day = date;
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    double picked = 0;
    if (SystemTimeToVariantTime(&day, &picked) && picked != m_customDate) {
      m_customDate = picked;
      FillFirstWeekItems();
    }
    m_firstWeekSelection = static_cast<int>(SendDlgItemMessage(kFirstWeekCombo, CB_GETCOUNT, 0, 0)) - 2;
  }
  SendDlgItemMessage(kFirstWeekCombo, CB_SETCURSEL, static_cast<WPARAM>(m_firstWeekSelection), 0);
  return 0;
}

LRESULT CCalendarCommonPage::OnDateComboDropDown(int, NMHDR*, BOOL&) {
  ::SetFocus(GetDlgItem(kFirstWeekCombo));
  SendDlgItemMessage(kFirstWeekCombo, CB_SETCURSEL, static_cast<WPARAM>(m_firstWeekSelection), 0);
  return 0;
}

BOOL CCalendarCommonPage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const LRESULT selection = SendDlgItemMessage(kFirstWeekCombo, CB_GETCURSEL, 0, 0);
  key.SetDWORD(L"Calendar_FirstYearWeek", static_cast<DWORD>(selection));
  key.SetDWORD(L"Calendar_CustomFirstYearWeek",
               HasCustomDate() ? static_cast<DWORD>(static_cast<LONG>(m_customDate)) : kNoCustomFirstWeek);
  // No item (a stored period the box does not offer) keeps what is stored, instead
  // of the empty text's 0.
  const LRESULT period = SendDlgItemMessage(kCalendarPeriodCombo, CB_GETCURSEL, 0, 0);
  if (period >= 0) {
    WCHAR text[32] = L"";
    if (SendDlgItemMessage(kCalendarPeriodCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(period), 0) < 32) {
      SendDlgItemMessage(kCalendarPeriodCombo, CB_GETLBTEXT, static_cast<WPARAM>(period), reinterpret_cast<LPARAM>(text));
      key.SetDWORD(L"CalendarPeriod", static_cast<DWORD>(_wtoi(text)));
    }
  }
  CViewSettings& settings = GetViewSettings();
  settings.App_MarkConflicting = IsDlgButtonChecked(kMarkConflictingBox) == BST_CHECKED;
  settings.App_CollapseButToday = IsDlgButtonChecked(kCollapseButTodayBox) == BST_CHECKED;
  settings.Save();
  return TRUE;
}
