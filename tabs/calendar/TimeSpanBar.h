// CTimeSpanBar: one day as a row of slots coloured by the busy status of what
// covers them (-1 nothing, 0 free, 1 tentative, 2 busy, 3 out of office, 4 not
// loaded, 5 conflict), with an all-day strip. The month calendar keeps one per
// day (filled from an appointments list or from a month reply), the day headers
// and the day schedule popup hold their own.
//
// The options program draws the same bar in its previews with its own rules
// (SetOptionsProgramRules): a new bar's slots and strip start at 0 rather than -1,
// and a bar without a background brush makes its frame brush from the colour of
// the device context's pen.
#pragma once
#include <windows.h>

#include <vector>

class CAppointmentRecord;
class CAppointmentsList;
class CBusyIntervals;
class CMonthReply;

class CTimeSpanBar {
 public:
  // slotCount: the bar's width in device pixels.
  explicit CTimeSpanBar(int slotCount);
  ~CTimeSpanBar();
  CTimeSpanBar(const CTimeSpanBar&) = delete;
  CTimeSpanBar& operator=(const CTimeSpanBar&) = delete;

  // The options program's rules; set once at its start.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL GetOptionsProgramRules();
  // The shared brush of a status; statuses outside -1 to 5 use that of -1.
  static HBRUSH GetStatusBrush(int status);
  // Deletes the shared brushes (they are made again on next use, with the colours
  // then stored).
  static void FreeStatusBrushes();

  // The slot counts of the three users, at the screen's dpi.
  static int MonthCellSlots();
  static int DayScheduleSlots();
  static int DayHeaderSlots();

  void SetDay(LONG day);
  LONG GetDay() const { return m_day; }
  // Every slot and the all-day strip -1, both halves empty.
  void ResetMarks();
  // From a list (null: the global list): timed appointments mark the slots they
  // overlap, all-day ones raise the strip; with "App_MarkConflicting" a slot takes
  // the highest level of the list's busy intervals over it (5 where they collide).
  // A zero-length appointment marks the slot it lies inside, and nothing when it
  // lies on a slot's edge, as the month reply counts it.
  void Compute(CAppointmentsList* list = nullptr);
  // The same over any records, with the busy intervals to mark conflicts from (none:
  // no conflict overlay).
  void Compute(const std::vector<const CAppointmentRecord*>& records, const CBusyIntervals* busy);
  // From a month reply, for the day with that index in the reply's month. Each bar
  // slot reads the reply slot whose half hour it falls in, whatever the slot count.
  void FillFromReply(int dayIndex, const CMonthReply& reply);

  int GetSlotCount() const { return static_cast<int>(m_levels.size()); }
  int GetLevel(int slot) const;
  void SetLevel(int slot, int level);
  int GetAllDayLevel() const { return m_allDayLevel; }
  void SetAllDayLevel(int level) { m_allDayLevel = level; }
  BOOL IsMorningEmpty() const { return m_morningEmpty; }
  BOOL IsAfternoonEmpty() const { return m_afternoonEmpty; }
  BOOL IsComputed() const { return m_computed; }
  BOOL IsNewStyle() const { return m_newStyle; }

  // The reply slot a bar slot reads: the half hour it falls in.
  static int ReplySlot(int dayIndex, int slot, int slotCount);

  // Replaces the owned background (frame) brush; the bar deletes it.
  void SetBackground(HBRUSH brush);
  // The frame brush: the bar's own; else, under the options program's rules and with
  // a device context, one made in the colour of its pen (owned).
  HBRUSH GetFrameBrush(HDC dc);

  // Part 0 the whole day in one row, 1 the morning, 2 the afternoon.
  void Draw(HDC dc, POINT at, int part);
  // The month cell: the morning row at the point, the afternoon 3 logical pixels
  // lower, each only when not empty and only for a month-cell bar.
  void DrawDay(HDC dc, POINT at);
  // The frame of a day without data yet.
  static void DrawPlaceholder(HDC dc, POINT at, HBRUSH frame);

 private:
  void MarkSlot(int slot, int level);

  HBRUSH m_background = nullptr;
  BOOL m_ownsBackground = FALSE;
  BOOL m_morningEmpty = TRUE;
  BOOL m_afternoonEmpty = TRUE;
  BOOL m_computed = FALSE;
  LONG m_day = 0;
  std::vector<int> m_levels;
  int m_allDayLevel = -1;
  BOOL m_newStyle = FALSE;
};
