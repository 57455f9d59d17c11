// The order of the appointments list and of every view over it: start minute, then
// busy status (free first), then subject as the user's locale sorts it.
#pragma once
#include "base/AppointmentRecord.h"

// Negative, 0 or positive as a sorts before, with or after b.
int CompareAppointments(const CAppointmentRecord& a, const CAppointmentRecord& b);
