// Where the panel passes the finance program's change message ("QelPellam_ScheduledChanged"):
// the folder that reads the scheduled transactions installs its handler here.
#pragma once

typedef void (*PFN_SCHEDULED_CHANGED)();

// Returns the previous handler; null: the message changes nothing.
PFN_SCHEDULED_CHANGED SetScheduledChangedHandler(PFN_SCHEDULED_CHANGED handler);
// Calls the handler, if one is installed.
void OnScheduledChanged();
