// The appointment status colours: COLORREF values under the product key, each
// written back with its default when missing.
#pragma once
#include <windows.h>

// status -1 background, 0 free, 1 tentative, 2 busy, 3 out of office, 4 not
// loaded, 5 conflicting; 0 (nothing read or written) for any other.
COLORREF LoadApptStatusColors(int status);
inline COLORREF LoadApptStatusColor(int status) { return LoadApptStatusColors(status); }
