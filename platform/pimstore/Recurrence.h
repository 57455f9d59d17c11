// A series' recurrence as the store keeps it: the recurrence blob (pattern, end,
// deleted and moved days, and the moved occurrences with what they override), and the
// walk over the days it falls on. All times are minutes since 1601-01-01, local.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CRecurrence {
 public:
  struct Exception {
    DWORD start = 0;
    DWORD end = 0;
    DWORD originalStart = 0;
    bool hasSubject = false;
    std::wstring subject;
    bool hasLocation = false;
    std::wstring location;
    bool hasBusyStatus = false;
    DWORD busyStatus = 0;
    bool hasAllDay = false;
    bool allDay = false;
  };
  struct Occurrence {
    DWORD start;
    DWORD end;
    DWORD originalStart;
    const Exception* exception;  // null for a regular occurrence
  };
  enum { kNoEnd = 0x5AE980DF };

  // Object-model pattern (olRecurs* numbers) and its fields.
  long type = 0;
  long interval = 1;
  long dayOfWeekMask = 0;
  long dayOfMonth = 0;
  long monthOfYear = 0;
  long instance = 0;
  bool otherCalendar = false;  // decoded from another calendar: kept, never walked
  DWORD startDay = 0;  // midnight of the first day
  DWORD endDay = kNoEnd;
  long occurrences = 0;  // > 0: ends after that many
  DWORD startOffset = 0;  // minutes after midnight
  DWORD duration = 0;
  std::vector<DWORD> deleted;  // original days taken out
  std::vector<Exception> exceptions;

  std::vector<BYTE> Encode() const;
  // false for a blob that is short, or whose counts or lengths run past its end.
  bool Decode(const BYTE* blob, size_t size);

  bool IsRegularDay(DWORD day) const;
  // The occurrences that start in [from, to), by start.
  std::vector<Occurrence> Between(DWORD from, DWORD to) const;
  // The last day of a series that ends after a count of occurrences.
  DWORD LastDay() const;

  static DWORD DateToMinutes(double date);
  static double MinutesToDate(DWORD minutes);
};
