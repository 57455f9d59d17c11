// The Calendar tab on the emulated device: the Today screen loads QelTarvo.dll over the
// device's sample week, and an appointment moved by an hour as a person moves it (a
// tap and hold on its row, the menu's move entry, the start time in the date and time
// dialog, OK) reaches the store through the real item-operations program and comes
// back to the screen by the store's notification, its time changed and its conflict
// with the meeting before it gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/join/tests/DeviceTestSupport.h"

namespace {

using devicetest::Screen;
using devicetest::Shoot;
using devicetest::WaitFor;

const CEPROPID kSubjectProp = 0x0020001F;
const CEPROPID kStartProp = 0x10420040;
const CEPROPID kDurationProp = 0x10400013;
// The newer store names an item by its own identifier, with the appointment kind's bit.
const CEPROPID kItemIdProp = 0x10000066;
const DWORD kAppointmentItem = 0x40000000;
// Monday's meetings: the call starts half an hour before the review ends.
const wchar_t kMoved[] = L"Budget call";
const wchar_t kOverlapped[] = L"Design review";
const double kHour = 1.0 / 24;

// A local time of day as the script gives it to a time picker.
std::wstring ClockText(double date) {
  SYSTEMTIME t = {};
  VariantTimeToSystemTime(date, &t);
  wchar_t text[16];
  swprintf(text, 16, L"%02u:%02u", t.wHour, t.wMinute);
  return text;
}

struct Stored {
  DWORD item = 0;
  double start = 0;  // the device's local time
  long minutes = 0;
};

// The newer store's appointment with that subject; item 0 when not found.
Stored StoredAppointment(const wchar_t* subject) {
  Stored found;
  for (const pimtest::RawRecord& r : pimtest::ReadRaw(L"Appointments Database", true)) {
    auto text = r.texts.find(kSubjectProp);
    if (text == r.texts.end() || text->second != subject) continue;
    auto start = r.values.find(kStartProp);
    auto duration = r.values.find(kDurationProp);
    auto id = r.values.find(kItemIdProp);
    double utc = 0;
    if (start == r.values.end() || duration == r.values.end() || id == r.values.end() ||
        !FileTimeToVariantDate(start->second.val.filetime, &utc))
      continue;
    found.item = static_cast<DWORD>(id->second.val.lVal) | kAppointmentItem;
    found.start = UtcToLocalDate(nullptr, utc);
    found.minutes = duration->second.val.lVal;
  }
  return found;
}

// A conflicting appointment's time is drawn in the skin's alarm red.
bool IsConflictRed(COLORREF c) { return GetRValue(c) >= 0xA0 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }

// Where the screen holds conflict red text: one rectangle per band of rows a few
// pixels apart (a row's time), as wide as the red in it. A row of a status bar or an
// icon holds only a few red pixels and is no text.
std::vector<RECT> RedBands(const Screen& screen) {
  std::vector<RECT> bands;
  for (int y = 0; y < screen.height; ++y) {
    int left = screen.width, right = -1, count = 0;
    for (int x = 0; x < screen.width; ++x)
      if (IsConflictRed(screen.At(x, y))) {
        left = std::min(left, x);
        right = x;
        ++count;
      }
    if (count < 8) continue;
    if (!bands.empty() && y - bands.back().bottom <= 3) {
      RECT& band = bands.back();
      band.bottom = y + 1;
      band.left = std::min<LONG>(band.left, left);
      band.right = std::max<LONG>(band.right, right + 1);
    } else {
      bands.push_back({left, y, right + 1, y + 1});
    }
  }
  return bands;
}

bool HasRed(const Screen& screen, const RECT& area) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (IsConflictRed(screen.At(x, y))) return true;
  return false;
}

// Is there ink, whatever its colour: black and the alarm red both lack a channel, so
// the weakest channel tells ink at any coverage of a smoothed edge.
bool IsInk(COLORREF c) { return std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) < 0x80; }

struct InkChange {
  int changed = 0, ink = 0;
};
// How the writing in the area changed between two screens.
InkChange CompareInk(const Screen& a, const Screen& b, const RECT& area) {
  InkChange change;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const bool inA = IsInk(a.At(x, y)), inB = IsInk(b.At(x, y));
      change.changed += inA != inB;
      change.ink += inA || inB;
    }
  return change;
}

class DeviceCalendar : public devicetest::DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicecalendar", TARVO_DEVICE_CALENDAR));
    ASSERT_NE(StoredAppointment(kMoved).item, 0u);
    ASSERT_NE(StoredAppointment(kOverlapped).item, 0u);
    ASSERT_NO_FATAL_FAILURE(Start());
  }
  std::string Log(const wchar_t* name = L"DeviceCalendar") const { return DeviceToday::Log(name); }
};

TEST_F(DeviceCalendar, AMeetingMovedByAnHourLosesItsConflictOnTheScreen) {
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log();
  // The Calendar tab comes first: Monday's two meetings overlap, both times in red.
  std::vector<RECT> before;
  Screen shown;
  ASSERT_TRUE(WaitFor([&] {
    shown = Shoot(m_host);
    before = RedBands(shown);
    return before.size() >= 2;
  })) << "no conflicting times on the screen\n" << Log();
  std::string marked = "conflict marked at";
  for (const RECT& band : before)
    marked += " (" + std::to_string(band.left) + "," + std::to_string(band.top) + ")-(" + std::to_string(band.right) +
              "," + std::to_string(band.bottom) + ")";
  Log(L"DeviceCalendarBefore");
  const Stored moved = StoredAppointment(kMoved);
  const Stored overlapped = StoredAppointment(kOverlapped);
  ASSERT_LT(overlapped.start + overlapped.minutes / 1440.0, moved.start + kHour) << "an hour later is clear of it";

  // Hold the moved meeting's row (its time is the lower red band), choose the move
  // entry, start it an hour later (the end keeps the duration) and confirm.
  const RECT& row = before.back();
  const std::wstring steps = L"hold " + std::to_wstring((row.left + row.right) / 2) + L" " +
                             std::to_wstring((row.top + row.bottom) / 2) + L" 1500\n" +
                             L"menu #" + std::to_wstring(CAppointmentItem::kCmdMove) + L"\n" +
                             L"field " + std::to_wstring(IDC_DT_START_TIME) + L" " + ClockText(moved.start + kHour) +
                             L"\npress ok\n";
  ASSERT_TRUE(devicetest::RunSteps(m_host, steps)) << Log();
  Stored now;
  EXPECT_TRUE(WaitFor([&] {
    now = StoredAppointment(kMoved);
    return std::abs(now.start - (moved.start + kHour)) < 1.0 / 86400;
  })) << "the store does not have it an hour later\n" << Log();
  EXPECT_EQ(now.minutes, moved.minutes) << "the end did not keep the duration";

  // The store's notification redraws the list: where the conflict was marked, no red
  // is left ...
  Screen after;
  EXPECT_TRUE(WaitFor([&] {
    after = Shoot(m_host);
    for (const RECT& band : before)
      if (HasRed(after, band)) return false;
    return true;
  })) << "the conflict is still marked; " << marked << "\n" << Log();
  // ... the moved meeting's time (the lower of the two) reads otherwise, while the
  // meeting it overlapped keeps its time, now in the list's own colour. The alarm red
  // is drawn over the black, so even the same text differs at the edges of its strokes:
  // a changed text differs far more.
  const InkChange movedTime = CompareInk(shown, after, before.back());
  const InkChange keptTime = CompareInk(shown, after, before[before.size() - 2]);
  EXPECT_LT(keptTime.changed * 5, keptTime.ink) << "the overlapped meeting's time changed\n" << Log();
  EXPECT_GT(movedTime.changed, 2 * keptTime.changed) << "the moved meeting's time is the same\n" << Log();
}

// A device of the older layout keeps its appointments in the object store, written by
// the object model in that layout's properties: the Calendar tab reads the same week
// from there, Monday's overlapping meetings marked as on the newer device.
class DeviceCalendarOlder : public devicetest::DeviceToday {};

TEST_F(DeviceCalendarOlder, AppointmentsOfTheObjectStoreShowOnTheCalendarTab) {
  ASSERT_NO_FATAL_FAILURE(Prepare(L"devicecalendarolder", TARVO_DEVICE_CALENDAR_OLDER, true));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log(L"DeviceCalendarOlder");
  std::vector<RECT> marked;
  EXPECT_TRUE(WaitFor([&] {
    marked = RedBands(Shoot(m_host));
    return marked.size() >= 2;
  })) << "no conflicting times on the screen\n" << Log(L"DeviceCalendarOlder");
  // The object store holds the week, pim.vol nothing.
  EXPECT_GE(pimtest::ReadRaw(L"Appointments Database", false).size(), 8u);
  EXPECT_TRUE(pimtest::ReadRaw(L"Appointments Database", true).empty());
}

}  // namespace
