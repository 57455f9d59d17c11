// The PIM programs' shared date text.
#include "platform/pimutil/pimutil.h"

extern "C" int WINAPI PimGetDateFormat(const SYSTEMTIME* date, DWORD format, LPWSTR buffer, int size) {
  if (buffer && size > 0) buffer[0] = 0;
  if (!date || !buffer || size <= 0 || (format != PIM_DATE_SHORT && format != PIM_DATE_LONG)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD flags = format == PIM_DATE_LONG ? DATE_LONGDATE : DATE_SHORTDATE;
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, date, nullptr, buffer, size);
  if (n <= 0) {
    buffer[0] = 0;
    return 0;
  }
  return n - 1;
}
