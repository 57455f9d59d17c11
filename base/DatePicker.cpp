#include "base/DatePicker.h"

#include <commctrl.h>

#include "base/DateTime.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"

namespace {

const LONG_PTR kMarkedEmpty = 1;

bool IsMarkedEmpty(HWND picker) { return GetWindowLongPtrW(picker, GWLP_USERDATA) == kMarkedEmpty; }

void ShowNoDate(HWND picker) {
  CString text;
  LoadUIString(text, IDS_NO_DATE);
  CString format;
  format.Format(L"'%s'", static_cast<LPCWSTR>(text));
  SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(format)));
  // The control keeps the old picture on screen until it repaints with the new one.
  InvalidateRect(picker, nullptr, TRUE);
  UpdateWindow(picker);
  SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(format)));
}

}  // namespace

void DlgSetDatePickerValue(HWND picker, double date) {
  if (date == kNoDate) {
    if (IsMarkedEmpty(picker)) return;
    SetWindowLongPtrW(picker, GWLP_USERDATA, kMarkedEmpty);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
    ShowNoDate(picker);
    return;
  }
  SYSTEMTIME wanted;
  if (!VariantDateToSystemTime(date, &wanted)) return;
  bool wasEmpty = IsMarkedEmpty(picker);
  if (wasEmpty) {
    SetWindowLongPtrW(picker, GWLP_USERDATA, 0);
    SendMessageW(picker, DTM_SETFORMATW, 0, 0);
  }
  // A day written back on the day the picker holds keeps the time the user set there
  // (the month popup only knows days). An emptied picker's stale value says nothing
  // about what it shows, so it always takes the date.
  SYSTEMTIME current{};
  if (!wasEmpty && SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&current)) == GDT_VALID &&
      DaysBetweenDates(current, wanted) == 0)
    return;
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&wanted));
}

void DlgGetDatePickerValue(HWND picker, double* date, SYSTEMTIME* time) {
  if (IsMarkedEmpty(picker)) {
    if (date) *date = kNoDate;
    return;
  }
  SYSTEMTIME current{};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&current));
  if (time) *time = current;
  double value = kNoDate;
  current.wDayOfWeek = 0;
  SystemTimeToVariantDate(current, &value);
  if (date) *date = value;
}

BOOL DlgGetDatePickerMonthCal(HWND picker, CWindow& monthCal) {
  monthCal = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
  return monthCal.m_hWnd != nullptr;
}
