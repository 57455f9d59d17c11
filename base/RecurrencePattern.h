// A recurring appointment's recurrence, decoded from the store's blob, walked one day at
// a time. All times of the blob are CE minute dates (minutes since 1601-01-01) on the
// series' own clock (its time-zone blob); occurrences come out on the device's clock.
//
// The walk goes over real calendar days. A day yields its moved-in (modified)
// occurrences first, then its regular one: a call that filled an occurrence and left
// another for the same day keeps the cursor on that day, every other call moves it on.
#pragma once
#include <windows.h>

#include <vector>

#include "base/AppointmentRecord.h"

class RecurrencePattern {
 public:
  enum PatternType { Daily = 0, Weekly = 1, MonthlyByDay = 2, MonthlyNth = 3 };
  enum { kFrequencyYearly = 0x200D, kNoEndDate = 0x5AE980DF, kTimeZoneBlobSize = 48 };
  // Exception override bits.
  enum {
    kOverrideSubject = 0x001,
    kOverrideLocation = 0x010,
    kOverrideBusyStatus = 0x020,
    kOverrideAllDay = 0x080,
    kOverrideDataBlock = 0x100,
  };

  struct Exception {
    DWORD start;          // minutes, the occurrence as moved
    DWORD end;
    DWORD originalStart;  // minutes, where the series put it
    WORD flags;
    CBlobObj data;        // the override items as stored, in bit order
  };

  explicit RecurrencePattern(CAppointmentRecord* owner);
  virtual ~RecurrencePattern();
  RecurrencePattern(const RecurrencePattern&) = delete;
  RecurrencePattern& operator=(const RecurrencePattern&) = delete;

  // FALSE, and nothing to walk, for a blob that is short, whose date counts run past
  // its end, or whose period is 0. A damaged exception record (cut short, or lengths
  // running past the end) ends the exception list: the series stands with the
  // exceptions before it. The zone blob is used when 48 bytes or more.
  BOOL Decode(const BYTE* blob, DWORD size, const BYTE* zoneBlob = nullptr, DWORD zoneSize = 0);

  // The device's zone for the conversions; null (the default) is the current zone.
  void SetDeviceZone(const TIME_ZONE_INFORMATION* zone);

  // The series' first occurrence into the owner's start and end.
  void GetEnd(LONG deviceBias);

  // Places the cursor on the day (a local variant date) and evaluates it.
  BOOL FirstOccurrence(double day, CAppointmentRecord* record);
  // FALSE once the series is over; else record->m_pattern says whether it was filled.
  BOOL NextOccurrence(CAppointmentRecord* record);
  // The day the next call evaluates (series clock), as a variant date.
  double GetCursorDay() const;

  // Series clock minus device clock at that moment of the series clock, in minutes;
  // 0 without a zone blob.
  LONG TimeZoneDelta(DWORD minutes) const;
  // The nth exception (0 first) whose start lies on the day, or -1.
  int FindException(DWORD day, int nth = 0) const;
  BOOL IsPeriodDay(DWORD monthStart, DWORD seriesStart, DWORD firstDateTime, DWORD period) const;
  // Bytes of an exception's override items from data, or 0xFFFFFFFF when they run past available.
  static DWORD ExceptionDataSize(WORD flags, const BYTE* data, DWORD available);

  // Decoded fields, for the appointments list.
  BOOL IsDecoded() const { return m_decoded; }
  WORD GetFrequency() const { return m_frequency; }
  DWORD GetPatternType() const { return m_patternType; }
  DWORD GetPeriod() const { return m_period; }
  DWORD GetStartDate() const { return m_startDate; }
  DWORD GetEndDate() const { return m_endDate; }
  DWORD GetEndType() const { return m_endType; }
  DWORD GetOccurrenceCount() const { return m_occurrenceCount; }
  DWORD GetStartOffset() const { return m_startOffset; }
  DWORD GetEndOffset() const { return m_endOffset; }
  const std::vector<DWORD>& GetDeletedDates() const { return m_deleted; }
  const std::vector<DWORD>& GetModifiedDates() const { return m_modified; }
  int GetExceptionCount() const { return static_cast<int>(m_exceptions.size()); }
  const Exception& GetException(int index) const { return *m_exceptions[index]; }

 private:
  void Clear();
  void PlaceCursor(DWORD day);
  void AdvanceDay();
  bool IsRegularDay() const;
  void MakeOccurrence(DWORD day, CAppointmentRecord* record, const Exception* exception) const;
  LONG DeviceBias(DWORD utcMinutes) const;

  BOOL m_decoded;
  // Header.
  WORD m_frequency;
  DWORD m_patternType;  // with the calendar type above it: non-Gregorian types never match
  DWORD m_firstDateTime;
  DWORD m_period;
  DWORD m_mask;         // weekly and n-th weekday: bit 0 Sunday
  DWORD m_dayOrN;       // monthly: day of month; n-th weekday: n (5 = last)
  DWORD m_endType;
  DWORD m_occurrenceCount;
  DWORD m_firstDayOfWeek;
  // Series part.
  DWORD m_startDate;
  DWORD m_endDate;
  DWORD m_startOffset;
  DWORD m_endOffset;
  std::vector<DWORD> m_deleted;
  std::vector<DWORD> m_modified;
  std::vector<Exception*> m_exceptions;

  BOOL m_hasZone;
  TIME_ZONE_INFORMATION m_zone;
  LONG m_bias;
  BOOL m_hasDeviceZone;
  TIME_ZONE_INFORMATION m_deviceZone;

  // Cursor: a real day at midnight of the series clock.
  DWORD m_day;
  int m_year;
  int m_month;
  int m_dayOfMonth;
  int m_weekday;  // 0 = Sunday
  size_t m_modifiedIndex;
  size_t m_deletedIndex;
  // What the cursor's day still owes: moved-in occurrences and the regular one.
  bool m_dayEvaluated;
  int m_pendingModified;
  int m_takenModified;
  bool m_pendingRegular;

  CAppointmentRecord* m_owner;
};

// Writes the minute date as "\ndd.mm.yyyy  hh:mm\n" to the debugger output.
void DebugPrintDate(DWORD minutes);
