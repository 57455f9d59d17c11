// The order of the appointments list and of every view over it: start minute, then
// busy status (free first), then subject as the user's locale sorts it.
#pragma once
#include "base/AppointmentRecord.h"

// Negative, 0 or positive as a sorts before, with or after b.
int CompareAppointments(const CAppointmentRecord& a, const CAppointmentRecord& b);

// The start minute the order uses (truncated toward zero).
LONGLONG AppointmentStartMinute(double date);
// The flags the subjects are compared with, for sort keys that order the same way.
const DWORD kAppointmentSubjectFlags = NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;
