#include "tabs/calendar/TimeSpanBar.h"

#include <cmath>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/ItemPalette.h"
#include "pim/ApptStatusColors.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/MonthReply.h"

namespace {

BOOL g_optionsRules = FALSE;

// Statuses -1 to 5, made on first use and kept for the process.
class CStatusBrushes {
 public:
  ~CStatusBrushes() { Free(); }
  HBRUSH Get(int status) {
    if (status < -1 || status > 5) status = -1;
    HBRUSH& brush = m_brushes[status + 1];
    if (!brush) brush = CreateSolidBrush(LoadApptStatusColors(status));
    return brush;
  }
  void Free() {
    for (HBRUSH& brush : m_brushes) {
      if (brush) DeleteObject(brush);
      brush = nullptr;
    }
  }

 private:
  HBRUSH m_brushes[7] = {};
};

CStatusBrushes& Brushes() {
  static CStatusBrushes brushes;
  return brushes;
}

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top || !brush) return;
  RECT rect = {left, top, right, bottom};
  FillRect(dc, &rect, brush);
}

}  // namespace

CTimeSpanBar::CTimeSpanBar(int slotCount)
    : m_levels(slotCount > 0 ? slotCount : 0, g_optionsRules ? 0 : -1), m_allDayLevel(g_optionsRules ? 0 : -1) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_newStyle = key.GetDWORD(L"TimeSpanNewStyle", 0) != 0;
}

CTimeSpanBar::~CTimeSpanBar() { SetBackground(nullptr); }

void CTimeSpanBar::SetOptionsProgramRules(BOOL options) { g_optionsRules = options; }
BOOL CTimeSpanBar::GetOptionsProgramRules() { return g_optionsRules; }
HBRUSH CTimeSpanBar::GetStatusBrush(int status) { return Brushes().Get(status); }
void CTimeSpanBar::FreeStatusBrushes() { Brushes().Free(); }

int CTimeSpanBar::MonthCellSlots() { return ScaleX(48); }
int CTimeSpanBar::DayScheduleSlots() { return 48 * ScaleX(4); }
int CTimeSpanBar::DayHeaderSlots() { return ScaleX(24); }

void CTimeSpanBar::SetDay(LONG day) {
  m_day = day;
  m_computed = FALSE;
}

void CTimeSpanBar::ResetMarks() {
  for (int& level : m_levels) level = -1;
  m_allDayLevel = -1;
  m_morningEmpty = m_afternoonEmpty = TRUE;
}

int CTimeSpanBar::GetLevel(int slot) const {
  if (slot < 0 || slot >= GetSlotCount()) return -1;
  return m_levels[slot];
}

void CTimeSpanBar::SetLevel(int slot, int level) {
  if (slot >= 0 && slot < GetSlotCount()) m_levels[slot] = level;
}

void CTimeSpanBar::MarkSlot(int slot, int level) {
  if (slot < 0 || slot >= GetSlotCount()) return;
  if (level > m_levels[slot]) m_levels[slot] = level;
  if (2 * slot < GetSlotCount()) m_morningEmpty = FALSE;
  else m_afternoonEmpty = FALSE;
}

void CTimeSpanBar::Compute(CAppointmentsList* list) {
  if (!list) list = &CAppointmentsList::GetGlobal();
  std::vector<const CAppointmentRecord*> records;
  records.reserve(list->GetCount());
  for (int i = 0; i < list->GetCount(); ++i) records.push_back(list->GetAt(i));
  Compute(records, list);
}

void CTimeSpanBar::Compute(const std::vector<const CAppointmentRecord*>& records, const CBusyIntervals* busy) {
  ResetMarks();
  const int n = GetSlotCount();
  const double day = m_day, next = m_day + 1.0;
  for (const CAppointmentRecord* record : records) {
    if (!record) continue;
    if (record->m_allDay) {
      if (record->m_start >= next || CAppointmentsList::EffectiveEnd(*record) <= day) continue;
      if (record->m_busyStatus > m_allDayLevel) m_allDayLevel = record->m_busyStatus;
      m_morningEmpty = m_afternoonEmpty = FALSE;
      continue;
    }
    const double start = record->m_start, end = record->m_end;
    if (start >= next) continue;
    if (end < start || (end == start ? start < day : end <= day)) continue;
    const double s = start - day > 0 ? start - day : 0.0;
    const double e = end - day < 1.0 ? end - day : 1.0;
    const int level = static_cast<int>(record->m_busyStatus);
    int slot = static_cast<int>(n * s + 0.000001);
    if (s == e) {
      // Inside a slot it marks that slot; on an edge it covers no time at all.
      if (n * s - slot > 0.000001) MarkSlot(slot, level);
      continue;
    }
    // An end on a slot's edge does not reach into that slot, whatever the rounding.
    for (; slot < n && slot + 0.000001 < n * e; ++slot) MarkSlot(slot, level);
  }
  if (busy && GetViewSettings().App_MarkConflicting && n > 0) {
    for (int k = 0; k < n; ++k) {
      const LONG level =
          busy->MaxLevel(day + static_cast<double>(k) / n, day + static_cast<double>(k + 1) / n, m_levels[k]);
      if (level > m_levels[k]) MarkSlot(k, static_cast<int>(level));
    }
  }
  m_computed = TRUE;
}

int CTimeSpanBar::ReplySlot(int dayIndex, int slot, int slotCount) {
  if (slotCount <= 0 || slot < 0 || slot >= slotCount) return -1;
  // k * 48 / n keeps every bar slot inside its own day for any slot count; the
  // count of bar slots per reply slot is no divisor below 48 slots (low dpi) nor
  // exact when the count is no multiple of 48.
  return dayIndex * CMonthReply::kSlotsPerDay +
         static_cast<int>(static_cast<long long>(slot) * CMonthReply::kSlotsPerDay / slotCount);
}

void CTimeSpanBar::FillFromReply(int dayIndex, const CMonthReply& reply) {
  ResetMarks();
  const int n = GetSlotCount();
  if (dayIndex >= 0 && dayIndex < CMonthReply::kDays) {
    for (int k = 0; k < n; ++k) {
      const int status = reply.GetStatus(ReplySlot(dayIndex, k, n));
      if (status >= 0) MarkSlot(k, status);
    }
  }
  m_computed = TRUE;
}

void CTimeSpanBar::SetBackground(HBRUSH brush) {
  if (m_background && m_ownsBackground && m_background != brush) DeleteObject(m_background);
  m_background = brush;
  m_ownsBackground = brush != nullptr;
}

HBRUSH CTimeSpanBar::GetFrameBrush(HDC dc) {
  if (!m_background && g_optionsRules && dc) {
    LOGPEN pen = {};
    HGDIOBJ current = GetCurrentObject(dc, OBJ_PEN);
    COLORREF color = RGB(0, 0, 0);
    if (current && GetObjectW(current, sizeof(pen), &pen) == sizeof(pen)) color = pen.lopnColor;
    SetBackground(CreateSolidBrush(color));
  }
  return m_background;
}

void CTimeSpanBar::Draw(HDC dc, POINT at, int part) {
  const int n = GetSlotCount();
  const int width = part == 0 ? n : n / 2;
  const int height = ScaleY(part == 0 ? 5 : 2);
  const int x = at.x, y = at.y;
  HBRUSH frame = GetFrameBrush(dc);
  if (!frame) frame = GetItemPalette().GetBrush(1);
  const int one = ScaleX(1) > 0 ? ScaleX(1) : 1;
  const int oneY = ScaleY(1) > 0 ? ScaleY(1) : 1;
  Fill(dc, x - one, y - oneY, x + width + one, y + height + oneY, frame);
  Fill(dc, x, y, x + width, y + height, GetStatusBrush(-1));
  if (m_allDayLevel != -1) {
    const int top = m_newStyle ? y + height - ScaleY(2) : y;
    Fill(dc, x, top > y ? top : y, x + width, y + height, GetStatusBrush(m_allDayLevel));
  }
  const int first = part == 2 ? n / 2 : 0;
  int runStart = 0;
  while (runStart < width) {
    const int level = GetLevel(first + runStart);
    int runEnd = runStart + 1;
    while (runEnd < width && GetLevel(first + runEnd) == level) ++runEnd;
    if (level != -1) Fill(dc, x + runStart, y, x + runEnd, y + height, GetStatusBrush(level));
    runStart = runEnd;
  }
  if (part == 0) {
    HBRUSH tick = GetItemPalette().GetBrush(1);
    for (int quarter = 1; quarter <= 3; ++quarter) {
      const int tx = x + quarter * (width / 4);
      Fill(dc, tx, y, tx + 1, y + 1, tick);
    }
  }
}

void CTimeSpanBar::DrawDay(HDC dc, POINT at) {
  if (GetSlotCount() != MonthCellSlots()) return;
  if (!m_morningEmpty) Draw(dc, at, 1);
  if (!m_afternoonEmpty) Draw(dc, POINT{at.x, at.y + ScaleY(3)}, 2);
}

void CTimeSpanBar::DrawPlaceholder(HDC dc, POINT at, HBRUSH frame) {
  const int left = at.x - ScaleX(1), top = at.y - ScaleY(1);
  const int right = at.x + ScaleX(24), bottom = at.y + ScaleY(5);
  Fill(dc, left, top, right, bottom, frame);
  Fill(dc, left + ScaleX(1), top + ScaleY(1), right - ScaleX(1), bottom - ScaleY(1), GetStatusBrush(4));
}
