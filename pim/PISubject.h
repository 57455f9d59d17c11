// Pocket Informant's conventions inside item subjects: an identifier prefix "|12: "
// on repeated items, and a code prefix of template, priority and identifier on tasks.
// Subjects come from the PIM stores, written by any program: the parsers take any text.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// The largest identifier a subject prefix may carry.
const DWORD kMaxPISubjectId = 1003520;

// "|digits:" with one optional blank after the colon and a non-empty rest: TRUE, the
// number and the rest (with a date other than the no-date value, the rest followed by
// the completed text and the date). Otherwise FALSE and the whole subject.
BOOL ParsePISubjectId(LPCWSTR subject, CString& text, double date, DWORD* number);

// What a code prefix gave.
enum PISubjectFlags {
  PI_CODE_TEMPLATE = 1,
  PI_CODE_PRIORITY_CLASS = 2,
  PI_CODE_PRIORITY_NUMBER = 4,
  PI_CODE_IDENTIFIER = 8,
};

struct PI_SUBJECT_CODES {
  CString templateName;
  DWORD identifier = 0;
  int priorityClass = -1;   // 0 for A .. 25 for Z
  int priorityNumber = -1;  // two digits
};

// "[TEMPLATE:name]" and then, before the first colon, any run of "|digits" and
// capital letters with an optional two-digit number, each followed by "|" or the
// colon. A prefix that is not such a run is part of the subject. The subject is the
// rest, trimmed of blanks; the result the flags of what was found.
DWORD ParsePISubjectCodes(LPCWSTR subject, CString& text, PI_SUBJECT_CODES* codes);
