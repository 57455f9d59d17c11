#include "settings/base/PreviewTexts.h"

#include <cmath>

namespace {

CString Lower(LPCWSTR text) {
  CString out = text ? text : L"";
  out.MakeLower();
  return out;
}

}  // namespace

CString BuildDayHeaderTitle(double day, double today, BOOL showToday, int offsetMode, LPCWSTR longDate,
                            LPCWSTR todayWord, LPCWSTR tomorrowWord) {
  const long count = static_cast<long>(std::floor(day) - std::floor(today));
  CString title;
  BOOL named = FALSE;
  if (showToday && (count == 0 || count == 1)) {
    title = count == 0 ? todayWord : tomorrowWord;
    title += L", ";
    named = TRUE;
  }
  title += longDate ? longDate : L"";
  if (offsetMode == 0 || named) return title;
  WCHAR label[24];
  wsprintfW(label, count < 1 ? L"[%ld]" : L"[+%ld]", count);
  CString out;
  if (offsetMode == 1) {
    out = label;
    out += L" ";
    out += title;
  } else {
    out = title;
    out += L" ";
    out += label;
  }
  return out;
}

CString BuildAppointmentTimeText(LPCWSTR startTime, LPCWSTR endTime, const AppointmentDays& days, BOOL allDayStyle,
                                 BOOL startOnly, LPCWSTR allDayText, LPCWSTR continuedText) {
  if (days.allDay) return allDayStyle ? CString() : CString(allDayText);
  if (days.multiDay && !days.firstDay && !days.lastDay) return allDayStyle ? CString() : CString(continuedText);
  CString text = days.multiDay && !days.firstDay ? CString(continuedText) : Lower(startTime);
  if (startOnly) return text;
  text += L"-";
  text += days.multiDay && !days.lastDay ? CString(continuedText) : Lower(endTime);
  return text;
}

AppointmentPattern SplitAppointmentPattern(LPCWSTR pattern) {
  AppointmentPattern split = {CString(), 0, CString()};
  const CString text = pattern ? pattern : L"";
  const int length = text.GetLength();
  int digit = 0;
  while (digit < length && !(text[digit] >= L'0' && text[digit] <= L'9')) ++digit;
  if (digit == length) {
    split.before = text;
    return split;
  }
  split.before = text.Left(digit);
  split.mode = text[digit] - L'0';
  split.after = text.Mid(digit + 1);
  return split;
}
