// Whether the device is a Pocket PC at all (system 4.21 or later with platform type
// "PocketPC"), as opposed to the newer-store test of base/Platform.h (version 5).
#pragma once
#include <windows.h>

// Asked once per process; a system below 4.21 is no Pocket PC without asking further.
BOOL IsPocketPCPlatform();
// For tests that switch the device identity.
void ResetPocketPCPlatform();
