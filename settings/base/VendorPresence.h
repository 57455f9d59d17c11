// Which other programs and mail transports the device has: the options pages offer
// their choices only when the program behind them is installed.
#pragma once
#include <windows.h>

#include "pim/PocketInformantTools.h"
#include "pim/SystemUtils.h"
#include "platform/windowlib/String.h"

// Agenda Fusion and Agenda One: pim's IsAgendaFusionInstalled and IsAgendaOneInstalled
// (pim/SystemUtils.h), one copy for both programs.

// The Pocket Informant tools library, loaded (the caller frees it): pim's
// FindPIToolsLibrary, one copy for both programs.
// Whether one of those libraries is there. Asked without running the library's code.
BOOL FreeLibrarySafe();
// Pellam's library and the phone: pim's IsPellamPresent (pim/SystemUtils.h) and
// IsPhonePresent (pim/PimAddins.h), one copy for both programs.

// The inbox transports' names and presence: pim's GetInboxServiceFriendlyName and
// IsInboxServicePresent (pim/SystemUtils.h), one copy for both programs.

// The first installed PhatNotes version: its row (0 or 1) and code (0x405, 0x407).
// FALSE, -1 when none is. pim's FindPhatNotesKey, in the options program's terms.
BOOL FindFirstExistingKey(DWORD* code, int* row);
BOOL GetFirstExistingKeyIndex(DWORD* code);
