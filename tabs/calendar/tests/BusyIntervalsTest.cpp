#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tabs/calendar/BusyIntervals.h"

namespace {

const double kDay = 46000.0;  // any whole day

double At(int hour, int minute = 0) { return kDay + (hour * 60 + minute) / 1440.0; }
DWORD MinuteAt(int hour, int minute = 0) { return static_cast<DWORD>(kDay) * 1440 + hour * 60 + minute; }

struct Span {
  int fromH, fromM, toH, toM;
  LONG status;
  BOOL allDay;
};

struct Expected {
  int fromH, fromM, toH, toM;
  LONG level;
};

// Records are reference counted and not copyable: one built in place per call.
struct Record {
  Record(LONG status, BOOL allDay) {
    r.m_busyStatus = status;
    r.m_allDay = allDay;
  }
  operator const CAppointmentRecord&() const { return r; }
  CAppointmentRecord r;
};

struct AddCase {
  const char* name;
  std::vector<Span> spans;
  std::vector<int> results;  // what each Add returns
  std::vector<Expected> intervals;
};

const AddCase kAddCases[] = {
    {"two apart keep their levels", {{9, 0, 10, 0, 2, FALSE}, {11, 0, 12, 0, 1, FALSE}}, {1, 1},
     {{9, 0, 10, 0, 2}, {11, 0, 12, 0, 1}}},
    {"a span across both splits the edges and marks the overlaps",
     {{9, 0, 10, 0, 2, FALSE}, {11, 0, 12, 0, 1, FALSE}, {9, 30, 11, 30, 2, FALSE}},
     {1, 1, 0},
     {{9, 0, 9, 30, 2}, {9, 30, 10, 0, 5}, {10, 0, 11, 0, 2}, {11, 0, 11, 30, 5}, {11, 30, 12, 0, 1}}},
    {"touching spans do not overlap", {{9, 0, 10, 0, 2, FALSE}, {10, 0, 11, 0, 3, FALSE}}, {1, 1},
     {{9, 0, 10, 0, 2}, {10, 0, 11, 0, 3}}},
    {"inserted before and between keep the order",
     {{14, 0, 15, 0, 2, FALSE}, {8, 0, 9, 0, 1, FALSE}, {10, 0, 11, 0, 3, FALSE}}, {1, 1, 1},
     {{8, 0, 9, 0, 1}, {10, 0, 11, 0, 3}, {14, 0, 15, 0, 2}}},
    {"a span inside another splits it in three",
     {{9, 0, 12, 0, 2, FALSE}, {10, 0, 11, 0, 1, FALSE}}, {1, 0},
     {{9, 0, 10, 0, 2}, {10, 0, 11, 0, 5}, {11, 0, 12, 0, 2}}},
    {"a conflict widens instead of splitting",
     {{9, 0, 10, 0, 2, FALSE}, {9, 0, 10, 0, 2, FALSE}, {9, 30, 10, 30, 2, FALSE}}, {1, 0, 0},
     {{9, 0, 10, 0, 5}, {10, 0, 10, 30, 2}}},
    {"overlapped neighbours that touch become one conflict",
     {{9, 0, 10, 0, 2, FALSE}, {10, 0, 11, 0, 1, FALSE}, {8, 0, 12, 0, 3, FALSE}}, {1, 1, 0},
     {{8, 0, 9, 0, 3}, {9, 0, 11, 0, 5}, {11, 0, 12, 0, 3}}},
    {"all-day, free and empty spans take no time",
     {{9, 0, 10, 0, 2, TRUE}, {9, 0, 10, 0, 0, FALSE}, {9, 0, 9, 0, 2, FALSE}, {10, 0, 9, 0, 2, FALSE}},
     {1, 1, 1, 1},
     {}},
};

void ExpectIntervals(const CBusyIntervals& busy, const std::vector<Expected>& expected, const char* name) {
  const auto& got = busy.GetIntervals();
  ASSERT_EQ(got.size(), expected.size()) << name;
  for (size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].start, MinuteAt(expected[k].fromH, expected[k].fromM)) << name << " #" << k;
    EXPECT_EQ(got[k].end, MinuteAt(expected[k].toH, expected[k].toM)) << name << " #" << k;
    EXPECT_EQ(got[k].level, expected[k].level) << name << " #" << k;
  }
}

TEST(BusyIntervals, AddBuildsLevelsAndConflictsFromTable) {
  for (const AddCase& c : kAddCases) {
    CBusyIntervals busy;
    for (size_t k = 0; k < c.spans.size(); ++k) {
      const Span& s = c.spans[k];
      EXPECT_EQ(busy.Add(At(s.fromH, s.fromM), At(s.toH, s.toM), Record(s.status, s.allDay)), c.results[k])
          << c.name << " add #" << k;
    }
    ExpectIntervals(busy, c.intervals, c.name);
  }
}

TEST(BusyIntervals, RemoveTakesOutOnlyWhatItCanTakeOutPrecisely) {
  struct Case {
    const char* name;
    std::vector<Span> added;
    Span removed;
    int result;
    std::vector<Expected> intervals;
  };
  const Case cases[] = {
      {"a lone interval goes", {{9, 0, 10, 0, 2, FALSE}}, {9, 0, 10, 0, 2, FALSE}, 1, {}},
      {"same start keeps the tail", {{9, 0, 11, 0, 2, FALSE}}, {9, 0, 10, 0, 2, FALSE}, 1, {{10, 0, 11, 0, 2}}},
      {"same end keeps the head", {{9, 0, 11, 0, 2, FALSE}}, {10, 0, 11, 0, 2, FALSE}, 1, {{9, 0, 10, 0, 2}}},
      {"inside splits", {{9, 0, 12, 0, 2, FALSE}}, {10, 0, 11, 0, 2, FALSE}, 1,
       {{9, 0, 10, 0, 2}, {11, 0, 12, 0, 2}}},
      {"inside a conflict is refused", {{9, 0, 10, 0, 2, FALSE}, {9, 30, 10, 0, 2, FALSE}},
       {9, 30, 10, 0, 2, FALSE}, 0, {{9, 0, 9, 30, 2}, {9, 30, 10, 0, 5}}},
      {"across two intervals is refused", {{9, 0, 10, 0, 2, FALSE}, {10, 0, 11, 0, 2, FALSE}},
       {9, 0, 11, 0, 2, FALSE}, 0, {{9, 0, 10, 0, 2}, {10, 0, 11, 0, 2}}},
      {"where nothing is is refused", {{9, 0, 10, 0, 2, FALSE}}, {12, 0, 13, 0, 2, FALSE}, 0, {{9, 0, 10, 0, 2}}},
      {"all-day has nothing to remove", {{9, 0, 10, 0, 2, FALSE}}, {9, 0, 10, 0, 2, TRUE}, 1, {{9, 0, 10, 0, 2}}},
      {"free has nothing to remove", {{9, 0, 10, 0, 2, FALSE}}, {9, 0, 10, 0, 0, FALSE}, 1, {{9, 0, 10, 0, 2}}},
  };
  for (const Case& c : cases) {
    CBusyIntervals busy;
    for (const Span& s : c.added) busy.Add(At(s.fromH, s.fromM), At(s.toH, s.toM), Record(s.status, s.allDay));
    const Span& r = c.removed;
    EXPECT_EQ(busy.Remove(At(r.fromH, r.fromM), At(r.toH, r.toM), Record(r.status, r.allDay)), c.result) << c.name;
    ExpectIntervals(busy, c.intervals, c.name);
  }
}

TEST(BusyIntervals, ConflictAndLevelQueries) {
  CBusyIntervals busy;
  busy.Add(At(9), At(10), Record(2, FALSE));
  busy.Add(At(11), At(12), Record(1, FALSE));
  busy.Add(At(9, 30), At(11, 30), Record(2, FALSE));
  struct Case {
    int fromH, fromM, toH, toM;
    LONG status;
    BOOL allDay;
    BOOL conflict;
    LONG initial, maxLevel;
  };
  const Case cases[] = {
      {9, 0, 9, 30, 2, FALSE, FALSE, 0, 2},
      {9, 0, 9, 31, 2, FALSE, TRUE, 0, 5},
      {10, 0, 11, 0, 2, FALSE, FALSE, 0, 2},
      {11, 30, 12, 0, 1, FALSE, FALSE, 0, 1},
      {11, 30, 12, 0, 1, FALSE, FALSE, 3, 3},  // a higher initial wins
      {12, 0, 13, 0, 2, FALSE, FALSE, 0, 0},   // touches the end only
      {8, 0, 13, 0, 2, TRUE, FALSE, 0, 5},     // all-day never conflicts
      {8, 0, 13, 0, 0, FALSE, FALSE, 0, 5},    // nor does free
  };
  for (const Case& c : cases) {
    EXPECT_EQ(busy.HasConflict(At(c.fromH, c.fromM), At(c.toH, c.toM), Record(c.status, c.allDay)), c.conflict)
        << c.fromH << ":" << c.fromM;
    EXPECT_EQ(busy.MaxLevel(At(c.fromH, c.fromM), At(c.toH, c.toM), c.initial), c.maxLevel)
        << c.fromH << ":" << c.fromM;
  }
}

TEST(BusyIntervals, MinuteRoundsUpTinyShortfallsAndClampsOutsideTheRange) {
  EXPECT_EQ(CBusyIntervals::MinuteOf(kDay + 600 / 1440.0 - 1e-9), MinuteAt(10));
  EXPECT_EQ(CBusyIntervals::MinuteOf(-5.0), 0u);
  EXPECT_EQ(CBusyIntervals::MinuteOf(1e300), 0xFFFFFFFFu);
}

// Against a plain model: each minute's level is 5 when two or more appointments cover
// it, else the level of the one that does. The array must stay sorted and disjoint, and a
// removal it accepts must leave what the model says.
TEST(BusyIntervals, AgreesWithMinuteByMinuteModelOverSeededSpans) {
  const int kWindow = 300;  // minutes from kDay 08:00
  std::mt19937 random(38);
  for (int round = 0; round < 300; ++round) {
    CBusyIntervals busy;
    struct Placed {
      int from, to;
      LONG status;
    };
    std::vector<Placed> placed;
    auto modelLevel = [&](int minute) {
      int count = 0;
      LONG level = 0;
      for (const Placed& p : placed) {
        if (p.status != 0 && p.from <= minute && minute < p.to) {
          ++count;
          level = p.status;
        }
      }
      return count >= 2 ? 5 : level;
    };
    auto check = [&](const char* step) {
      std::vector<LONG> got(kWindow, 0);
      DWORD base = MinuteAt(8);
      DWORD previousEnd = 0;
      for (const auto& iv : busy.GetIntervals()) {
        ASSERT_LT(iv.start, iv.end) << step << " round " << round;
        ASSERT_GE(iv.start, previousEnd) << step << " round " << round;
        previousEnd = iv.end;
        for (DWORD m = iv.start; m < iv.end; ++m) got[m - base] = iv.level;
      }
      for (int m = 0; m < kWindow; ++m) ASSERT_EQ(got[m], modelLevel(m)) << step << " round " << round << " minute " << m;
    };
    int count = 1 + static_cast<int>(random() % 8);
    for (int k = 0; k < count; ++k) {
      int from = static_cast<int>(random() % (kWindow - 1));
      int to = from + 1 + static_cast<int>(random() % (kWindow - from - 1 + 1));
      if (to > kWindow) to = kWindow;
      LONG status = static_cast<LONG>(random() % 4);
      bool overlapped = false;
      for (const Placed& p : placed) {
        if (p.status != 0 && status != 0 && p.from < to && from < p.to) overlapped = true;
      }
      placed.push_back(Placed{from, to, status});
      EXPECT_EQ(busy.Add(At(8, from), At(8, to), Record(status, FALSE)), overlapped ? 0 : 1) << "round " << round;
      check("add");
    }
    size_t victim = random() % placed.size();
    Placed gone = placed[victim];
    placed.erase(placed.begin() + victim);
    if (!busy.Remove(At(8, gone.from), At(8, gone.to), Record(gone.status, FALSE))) {
      busy.Clear();
      for (const Placed& p : placed) busy.Add(At(8, p.from), At(8, p.to), Record(p.status, FALSE));
    }
    check("remove");
  }
}

}  // namespace
