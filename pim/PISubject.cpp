#include "pim/PISubject.h"

#include "base/DateTime.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"

namespace {

bool IsDigit(WCHAR c) { return c >= L'0' && c <= L'9'; }
bool IsBlank(WCHAR c) { return c == L' ' || c == L'\t'; }

CString Trimmed(LPCWSTR begin, LPCWSTR end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return CString(begin, static_cast<int>(end - begin));
}

// Decimal digits at p up to limit; the position after them, or null when there are
// none or the number passes limit.
LPCWSTR ReadNumber(LPCWSTR p, DWORD limit, DWORD* value) {
  ULONG64 n = 0;
  LPCWSTR start = p;
  while (IsDigit(*p)) {
    n = n * 10 + static_cast<ULONG64>(*p - L'0');
    if (n > limit) return nullptr;
    ++p;
  }
  if (p == start) return nullptr;
  *value = static_cast<DWORD>(n);
  return p;
}

}  // namespace

BOOL ParsePISubjectId(LPCWSTR subject, CString& text, double date, DWORD* number) {
  text = subject ? subject : L"";
  if (!subject || subject[0] != L'|') return FALSE;
  DWORD value = 0;
  LPCWSTR p = ReadNumber(subject + 1, kMaxPISubjectId, &value);
  if (!p || *p != L':') return FALSE;
  ++p;
  if (*p == L' ') ++p;
  if (!*p) return FALSE;
  if (number) *number = value;
  if (date == kNoDate) {
    text = p;
    return TRUE;
  }
  CString completed, day;
  LoadTranslatedString(completed, IDS_COMPLETED);
  SYSTEMTIME time;
  WCHAR buffer[128] = {};
  if (VariantDateToSystemTime(date, &time) &&
      GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, 128))
    day = buffer;
  text.Format(L"%s %s: %s", p, static_cast<LPCWSTR>(completed), static_cast<LPCWSTR>(day));
  return TRUE;
}

DWORD ParsePISubjectCodes(LPCWSTR subject, CString& text, PI_SUBJECT_CODES* codes) {
  PI_SUBJECT_CODES found;
  DWORD flags = 0;
  LPCWSTR p = subject ? subject : L"";
  const WCHAR kTemplate[] = L"[TEMPLATE:";
  const int kTemplateLength = static_cast<int>(wcslen(kTemplate));
  if (wcsncmp(p, kTemplate, kTemplateLength) == 0) {
    LPCWSTR close = wcschr(p + kTemplateLength, L']');
    if (close) {
      found.templateName = Trimmed(p + kTemplateLength, close);
      flags |= PI_CODE_TEMPLATE;
      p = close + 1;
    }
  }

  LPCWSTR rest = p;
  if (wcschr(p, L':')) {
    PI_SUBJECT_CODES parsed = found;
    DWORD codeFlags = 0;
    LPCWSTR q = p;
    bool ok = true;
    while (ok && *q != L':') {
      if (*q == L'|') {
        DWORD id = 0;
        LPCWSTR after = ReadNumber(q + 1, 0x7FFFFFFF, &id);
        ok = after && *after == L':';
        if (ok) {
          parsed.identifier = id;
          codeFlags |= PI_CODE_IDENTIFIER;
          q = after;
        }
      } else if (*q >= L'A' && *q <= L'Z') {
        parsed.priorityClass = *q - L'A';
        codeFlags |= PI_CODE_PRIORITY_CLASS;
        ++q;
        if (IsDigit(q[0]) && IsDigit(q[1])) {
          parsed.priorityNumber = (q[0] - L'0') * 10 + (q[1] - L'0');
          codeFlags |= PI_CODE_PRIORITY_NUMBER;
          q += 2;
        }
        ok = *q == L'|' || *q == L':';
      } else {
        ok = false;
      }
    }
    if (ok && codeFlags) {
      found = parsed;
      flags |= codeFlags;
      rest = q + 1;
    }
  }
  text = Trimmed(rest, rest + wcslen(rest));
  if (codes) *codes = found;
  return flags;
}
