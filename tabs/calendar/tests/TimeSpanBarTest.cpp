// The time-span bar: slots from records and from month replies, the slot formula
// at every dpi, the drawing on a small bitmap, and the options program's rules.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "base/tests/RegistrySandbox.h"
#include "tabs/calendar/BusyIntervals.h"
#include "tabs/calendar/MonthReply.h"
#include "tabs/calendar/TimeSpanBar.h"

namespace {

const LONG kDay = 46000;

double At(int dayOffset, int hour, int minute = 0) { return kDay + dayOffset + (hour * 60 + minute) / 1440.0; }

struct Appt {
  double start, end;
  LONG status;
  BOOL allDay;
};

// Records and their busy intervals, as the list keeps them.
struct Records {
  explicit Records(const std::vector<Appt>& appts) {
    for (const Appt& a : appts) {
      auto* r = new CAppointmentRecord;
      r->m_start = a.start;
      r->m_end = a.end;
      r->m_busyStatus = a.status;
      r->m_allDay = a.allDay;
      owned.emplace_back(r);
      records.push_back(r);
      busy.Add(a.start, a.end, *r);
    }
  }
  std::vector<std::unique_ptr<CAppointmentRecord>> owned;
  std::vector<const CAppointmentRecord*> records;
  CBusyIntervals busy;
};

std::vector<int> Marked(const CTimeSpanBar& bar) {
  std::vector<int> slots;
  for (int k = 0; k < bar.GetSlotCount(); ++k)
    if (bar.GetLevel(k) != -1) slots.push_back(k);
  return slots;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> out;
  for (int k = from; k <= to; ++k) out.push_back(k);
  return out;
}

class TimeSpanBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine.Redirected());
    SetScreenDpi(96, 96);
    GetViewSettings().App_MarkConflicting = 1;
  }
  void TearDown() override {
    CTimeSpanBar::FreeStatusBrushes();
    CTimeSpanBar::SetOptionsProgramRules(FALSE);
  }
  CLocalMachineSandbox machine{L"TimeSpanBarTest"};
};

TEST_F(TimeSpanBarTest, ComputeMarksTheSlotsAppointmentsCover) {
  struct Case {
    const char* name;
    std::vector<Appt> appts;
    std::vector<int> slots;
    int level;  // of the first marked slot
    BOOL morningEmpty, afternoonEmpty;
    int allDay;
  } cases[] = {
      {"11:30 to 12:30 spans both halves", {{At(0, 11, 30), At(0, 12, 30), 2, FALSE}}, {23, 24}, 2, FALSE, FALSE, -1},
      {"from the day before until 08:00", {{At(-1, 20), At(0, 8), 1, FALSE}}, Range(0, 15), 1, FALSE, TRUE, -1},
      {"until midnight stops at the last slot", {{At(0, 23), At(1, 0), 3, FALSE}}, {46, 47}, 3, TRUE, FALSE, -1},
      {"zero length on a slot edge covers no time", {{At(0, 10), At(0, 10), 2, FALSE}}, {}, -1, TRUE, TRUE, -1},
      {"zero length inside a slot marks it", {{At(0, 10, 15), At(0, 10, 15), 2, FALSE}}, {20}, 2, FALSE, TRUE, -1},
      {"another day marks nothing", {{At(1, 9), At(1, 10), 2, FALSE}, {At(-1, 9), At(-1, 10), 2, FALSE}}, {}, -1, TRUE,
       TRUE, -1},
      {"all day raises the strip only",
       {{At(0, 0), At(0, 0), 1, TRUE}, {At(-2, 0), At(0, 0), 3, TRUE}},
       {},
       -1,
       FALSE,
       FALSE,
       3},
      {"overlapping busy appointments conflict",
       {{At(0, 9), At(0, 10), 2, FALSE}, {At(0, 9, 30), At(0, 11), 1, FALSE}},
       Range(18, 21),
       2,
       FALSE,
       TRUE,
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Records records(c.appts);
    CTimeSpanBar bar(48);
    bar.SetDay(kDay);
    bar.Compute(records.records, &records.busy);
    EXPECT_TRUE(bar.IsComputed());
    EXPECT_EQ(Marked(bar), c.slots);
    if (!c.slots.empty()) {
      EXPECT_EQ(bar.GetLevel(c.slots[0]), c.level);
    }
    EXPECT_EQ(bar.IsMorningEmpty(), c.morningEmpty);
    EXPECT_EQ(bar.IsAfternoonEmpty(), c.afternoonEmpty);
    EXPECT_EQ(bar.GetAllDayLevel(), c.allDay);
  }
}

TEST_F(TimeSpanBarTest, ConflictOverlayOnlyWhereAppointmentsOverlapAndOnlyWhenSwitchedOn) {
  Records records({{At(0, 9), At(0, 10), 2, FALSE}, {At(0, 9, 30), At(0, 11), 2, FALSE}});
  for (int mark : {1, 0}) {
    SCOPED_TRACE(mark);
    GetViewSettings().App_MarkConflicting = mark;
    CTimeSpanBar bar(48);
    bar.SetDay(kDay);
    bar.Compute(records.records, &records.busy);
    EXPECT_EQ(bar.GetLevel(18), 2);
    EXPECT_EQ(bar.GetLevel(19), mark ? 5 : 2);
    EXPECT_EQ(bar.GetLevel(20), 2);
  }
}

TEST_F(TimeSpanBarTest, ReplySlotsReadAsStatuses) {
  CMonthReply reply;
  reply.SetSlot(2 * 48 + 20, TRUE, 2);   // busy
  reply.SetSlot(2 * 48 + 21, FALSE, 3);  // conflict
  reply.SetSlot(2 * 48 + 22, FALSE, 0);  // nothing
  reply.SetSlot(2 * 48 + 30, TRUE, 0);   // free
  for (int slots : {48, 96}) {
    SCOPED_TRACE(slots);
    CTimeSpanBar bar(slots);
    bar.FillFromReply(2, reply);
    const int per = slots / 48;
    EXPECT_EQ(bar.GetLevel(20 * per), 2);
    EXPECT_EQ(bar.GetLevel(20 * per + per - 1), 2);
    EXPECT_EQ(bar.GetLevel(21 * per), 5);
    EXPECT_EQ(bar.GetLevel(22 * per), -1);
    EXPECT_EQ(bar.GetLevel(30 * per), 0);
    EXPECT_FALSE(bar.IsMorningEmpty());
    EXPECT_FALSE(bar.IsAfternoonEmpty());
    EXPECT_TRUE(bar.IsComputed());
  }
  CTimeSpanBar other(48);
  other.FillFromReply(3, reply);
  EXPECT_TRUE(Marked(other).empty());
  EXPECT_TRUE(other.IsMorningEmpty());
  CTimeSpanBar outside(48);
  outside.FillFromReply(40, reply);
  EXPECT_TRUE(Marked(outside).empty());
}

// Slot counts at low and odd dpi: every bar slot reads a reply slot of its own day,
// in order, and the whole day is covered.
TEST_F(TimeSpanBarTest, ReplySlotNeverLeavesItsDayAtAnySlotCount) {
  for (int n : {1, 12, 24, 36, 47, 48, 60, 72, 96, 120, 144, 192}) {
    SCOPED_TRACE(n);
    for (int day : {0, 30, 31}) {
      int previous = -1;
      for (int k = 0; k < n; ++k) {
        const int r = CTimeSpanBar::ReplySlot(day, k, n);
        ASSERT_GE(r, day * 48);
        ASSERT_LT(r, day * 48 + 48);
        ASSERT_GE(r, previous);
        previous = r;
      }
      EXPECT_EQ(CTimeSpanBar::ReplySlot(day, 0, n), day * 48);
      if (n >= 48) {
        EXPECT_EQ(previous, day * 48 + 47);
      }
    }
    EXPECT_EQ(CTimeSpanBar::ReplySlot(0, n, n), -1);
    EXPECT_EQ(CTimeSpanBar::ReplySlot(0, -1, n), -1);
  }
  EXPECT_EQ(CTimeSpanBar::ReplySlot(0, 0, 0), -1);
}

TEST_F(TimeSpanBarTest, SlotCountsFollowTheScreen) {
  SetScreenDpi(192, 192);
  EXPECT_EQ(CTimeSpanBar::MonthCellSlots(), 96);
  EXPECT_EQ(CTimeSpanBar::DayScheduleSlots(), 384);
  EXPECT_EQ(CTimeSpanBar::DayHeaderSlots(), 48);
  SetScreenDpi(96, 96);
  EXPECT_EQ(CTimeSpanBar::MonthCellSlots(), 48);
  EXPECT_EQ(CTimeSpanBar::DayScheduleSlots(), 192);
}

// A 32-bit bitmap to draw into, read back pixel by pixel.
class CCanvas {
 public:
  CCanvas(int width, int height) : m_width(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = SelectObject(m_dc, m_bitmap);
    RECT all = {0, 0, width, height};
    FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~CCanvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  HDC DC() const { return m_dc; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD p = m_bits[y * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int m_width;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  DWORD* m_bits = nullptr;
};

TEST_F(TimeSpanBarTest, DrawShowsFrameBackgroundRunsStripAndTicks) {
  const COLORREF background = 0xCCCCCC, busy = 0xDC4040, tentative = 0xF7CBA5, frame = 0x123456;
  for (BOOL newStyle : {FALSE, TRUE}) {
    SCOPED_TRACE(newStyle ? "new style" : "old style");
    machine.Key(L"\\Software\\Korvel\\Qel Tarvo").WriteDWORD(L"TimeSpanNewStyle", newStyle);
    CTimeSpanBar bar(24);
    bar.SetBackground(CreateSolidBrush(frame));
    bar.SetLevel(2, 2);
    bar.SetLevel(3, 2);
    bar.SetLevel(4, 2);
    CCanvas canvas(40, 12);
    bar.Draw(canvas.DC(), POINT{4, 3}, 0);
    EXPECT_EQ(canvas.At(3, 2), frame);
    EXPECT_EQ(canvas.At(28, 8), frame);
    EXPECT_EQ(canvas.At(29, 8), 0xFFFFFFu);
    for (int slot : {2, 3, 4}) EXPECT_EQ(canvas.At(4 + slot, 5), busy);
    EXPECT_EQ(canvas.At(4 + 5, 5), background);
    EXPECT_EQ(canvas.At(4 + 1, 7), background);
    // Ticks at 06:00, 12:00 and 18:00 on the top row only.
    for (int x : {6, 12, 18}) EXPECT_NE(canvas.At(4 + x, 3), canvas.At(4 + x, 5)) << x;

    bar.SetAllDayLevel(1);
    CCanvas strip(40, 12);
    bar.Draw(strip.DC(), POINT{4, 3}, 0);
    EXPECT_EQ(strip.At(4 + 1, 7), tentative);
    EXPECT_EQ(strip.At(4 + 1, 4), newStyle ? background : tentative);

    // The afternoon half: 12 slots from slot 12, 2 pixels high.
    bar.SetAllDayLevel(-1);
    bar.SetLevel(12, 2);
    CCanvas half(40, 12);
    bar.Draw(half.DC(), POINT{4, 3}, 2);
    EXPECT_EQ(half.At(4, 3), busy);
    EXPECT_EQ(half.At(4, 4), busy);
    EXPECT_EQ(half.At(4, 5), frame);
    EXPECT_EQ(half.At(4 + 12, 3), frame);
  }
}

TEST_F(TimeSpanBarTest, PlaceholderIsAFrameAroundTheNotLoadedColour) {
  CCanvas canvas(40, 12);
  HBRUSH frame = CreateSolidBrush(0x010203);
  CTimeSpanBar::DrawPlaceholder(canvas.DC(), POINT{2, 2}, frame);
  DeleteObject(frame);
  EXPECT_EQ(canvas.At(1, 1), 0x010203u);
  EXPECT_EQ(canvas.At(25, 6), 0x010203u);
  EXPECT_EQ(canvas.At(26, 6), 0xFFFFFFu);
  EXPECT_EQ(canvas.At(10, 4), 0xD2FFFFu);
}

// The library's bars start empty (-1) and take the skin's frame; the options
// program's start at 0 and make their frame from the pen of the context.
TEST_F(TimeSpanBarTest, OptionsProgramRulesChooseStartLevelsAndFrameBothWays) {
  for (BOOL options : {FALSE, TRUE}) {
    SCOPED_TRACE(options ? "options program" : "library");
    CTimeSpanBar::SetOptionsProgramRules(options);
    CTimeSpanBar bar(24);
    EXPECT_EQ(bar.GetLevel(0), options ? 0 : -1);
    EXPECT_EQ(bar.GetAllDayLevel(), options ? 0 : -1);
    bar.ResetMarks();
    EXPECT_EQ(bar.GetLevel(0), -1);
    EXPECT_EQ(bar.GetAllDayLevel(), -1);
    CCanvas canvas(40, 12);
    HPEN pen = CreatePen(PS_SOLID, 1, 0x00AA00);
    HGDIOBJ old = SelectObject(canvas.DC(), pen);
    HBRUSH made = bar.GetFrameBrush(canvas.DC());
    EXPECT_EQ(made != nullptr, options != FALSE);
    bar.Draw(canvas.DC(), POINT{4, 3}, 0);
    EXPECT_EQ(canvas.At(3, 2) == 0x00AA00u, options != FALSE);
    SelectObject(canvas.DC(), old);
    DeleteObject(pen);
  }
}

TEST_F(TimeSpanBarTest, NewStyleIsReadAndWrittenBackWhenMissing) {
  CTimeSpanBar bar(48);
  EXPECT_FALSE(bar.IsNewStyle());
  DWORD stored = 7;
  EXPECT_TRUE(machine.Key(L"\\Software\\Korvel\\Qel Tarvo").ReadDWORD(L"TimeSpanNewStyle", stored));
  EXPECT_EQ(stored, 0u);
}

}  // namespace
