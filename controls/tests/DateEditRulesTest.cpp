// The date and reminder rules on day numbers (variant dates; N stands for none).
#include <windows.h>
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "controls/DateEditRules.h"

namespace {

const double N = kNoDate;
const double kToday = 45300;  // the device's today in these cases

struct Step {
  CDateEditRules::Field field;  // kNoField: the check box, to value != 0
  double value;
};

struct Case {
  const char* name;
  BOOL newerDevice;
  double start, due, reminder;
  BOOL on;
  std::initializer_list<Step> steps;
  double wantStart, wantDue, wantReminder;
  BOOL wantOn;
  int wantLead, wantDistance;
};

void RunCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    CDateEditRules rules(c.newerDevice, kToday);
    rules.Init(c.start, c.due, c.reminder, c.on);
    for (const Step& step : c.steps) {
      if (step.field == CDateEditRules::kNoField) {
        rules.SetReminderOn(step.value != 0);
      } else {
        rules.Change(step.field, step.value);
      }
      rules.UpdateEnabling();
    }
    EXPECT_EQ(rules.GetStart(), c.wantStart) << c.name;
    EXPECT_EQ(rules.GetDue(), c.wantDue) << c.name;
    EXPECT_EQ(rules.GetReminder(), c.wantReminder) << c.name;
    EXPECT_EQ(rules.IsReminderOn(), c.wantOn) << c.name;
    EXPECT_EQ(rules.GetLeadMinutes(), c.wantLead) << c.name;
    EXPECT_EQ(rules.GetDistanceDays(), c.wantDistance) << c.name;
  }
}

using F = CDateEditRules;

TEST(DateEditRules, StartAndDueMoveTogether) {
  RunCases({
      {"a new start keeps the distance", FALSE, 100, 103, N, FALSE, {{F::kStart, 110}}, 110, 113, N, FALSE,
       kNoLeadTime, 3},
      {"a start without a due date gives the due date", FALSE, N, N, N, FALSE, {{F::kStart, 110}}, 110, 110, N,
       FALSE, kNoLeadTime, 0},
      {"a due date before the start drags the start", FALSE, 100, 103, N, FALSE, {{F::kDue, 95}}, 95, 95, N, FALSE,
       kNoLeadTime, 0},
      {"a later due date leaves the start", FALSE, 100, 103, N, FALSE, {{F::kDue, 120}}, 100, 120, N, FALSE,
       kNoLeadTime, 20},
      {"clearing the due date clears the start", FALSE, 100, 103, N, FALSE, {{F::kDue, N}}, N, N, N, FALSE,
       kNoLeadTime, -1},
      {"clearing the start keeps the due date", FALSE, 100, 103, N, FALSE, {{F::kStart, N}}, N, 103, N, FALSE,
       kNoLeadTime, -1},
      {"times of day are dropped", FALSE, 100.75, 103.5, N, FALSE, {}, 100, 103, N, FALSE, kNoLeadTime, 3},
  });
}

TEST(DateEditRules, TheReminderFollowsItsReference) {
  RunCases({
      {"ticking with only a due date reminds on the due day", FALSE, N, 200, N, FALSE, {{F::kNoField, 1}}, N, 200,
       200, TRUE, 0, -1},
      {"a lead time of two days follows the start", FALSE, 100, 105, 98, TRUE, {{F::kStart, 110}}, 110, 115, 108,
       TRUE, 2880, 5},
      {"a reminder chosen before the reference sets the lead time", FALSE, 100, 105, 100, TRUE,
       {{F::kReminder, 97}}, 100, 105, 97, TRUE, 4320, 5},
      {"a reminder after the due date is held to the due date", FALSE, 100, 105, 100, TRUE, {{F::kReminder, 109}},
       100, 105, 105, TRUE, -5 * 1440, 5},
      {"switching off clears the reminder, on again brings it back", FALSE, 100, 105, 98, TRUE,
       {{F::kNoField, 0}, {F::kNoField, 1}}, 100, 105, 98, TRUE, 2880, 5},
  });
}

TEST(DateEditRules, LeadTimeIsCappedBeforeTheNewerDevices) {
  RunCases({
      {"capped at 44 days", FALSE, 200, 200, 200, TRUE, {{F::kReminder, 150}}, 200, 200, 156, TRUE, 63360, 0},
      {"not capped on a newer device", TRUE, 200, 200, 200, TRUE, {{F::kReminder, 150}}, 200, 200, 150, TRUE,
       50 * 1440, 0},
  });
}

TEST(DateEditRules, AClearedReminderNeverFallsAfterItsReference) {
  RunCases({
      {"emptied reminder picker with the reminder on: on the due day", FALSE, N, 200, 198, TRUE,
       {{F::kReminder, N}}, N, 200, 200, TRUE, 0, -1},
      {"the same with a start date: on the start day", TRUE, 150, 200, 140, TRUE, {{F::kReminder, N}}, 150, 200,
       150, TRUE, 0, 50},
  });
}

TEST(DateEditRules, WithoutDatesTheReminderNeedsANewerDevice) {
  RunCases({
      {"older device: no dates switch the reminder off", FALSE, N, 200, 200, TRUE, {{F::kDue, N}}, N, N, N, FALSE,
       kNoLeadTime, -1},
      {"newer device: today is the reference", TRUE, N, N, N, FALSE, {{F::kNoField, 1}}, N, N, kToday, TRUE,
       kNoLeadTime, -1},
      {"newer device: a reminder day before today", TRUE, N, N, N, TRUE, {{F::kReminder, kToday - 1}}, N, N,
       kToday - 1, TRUE, kNoLeadTime, -1},
  });
  CDateEditRules older(FALSE, kToday), newer(TRUE, kToday);
  older.Init(N, N, N, FALSE);
  newer.Init(N, N, N, FALSE);
  EXPECT_FALSE(older.UpdateEnabling());
  EXPECT_TRUE(newer.UpdateEnabling());
  older.Init(N, 5, N, FALSE);
  EXPECT_TRUE(older.UpdateEnabling());
}

}  // namespace
