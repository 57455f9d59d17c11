// Which device the programs run on. The answers are asked once per process; the
// newer PIM store (the "pim.vol" volume, record lookup by value) is used only on
// a Pocket PC of system version 5 or later.
#pragma once
#include <windows.h>

// A Pocket PC (platform type "PocketPC") with system major version 5 or later.
BOOL IsPocketPC();
// A Pocket PC with system major version exactly 5.
BOOL IsPocketPCVersion5();

// The system version when the device is a Pocket PC (platform type "PocketPC"),
// else FALSE with both 0. Asked anew at every call; the tests above and the
// theme's platform tests keep what they derive from it.
BOOL GetPocketPCVersion(DWORD* major, DWORD* minor);

// Forgets the cached answers so the next call asks the device again; for tests
// that switch the device identity.
void ResetPlatformTests();
