// The item card that Display and Edit show: a modal top-level "Dialog" window whose
// first child is a "Dialog" page holding a "SysListView32"; command 105 switches it to
// editing. For one occurrence of a series the card first asks whether to open the
// occurrence or the series: a "Dialog" whose third child is the button 8 ("this
// occurrence") and the next one the button 9 ("the series"). Each request is recorded
// with the answer; with an automatic close set, the question takes the occurrence and
// the card closes by itself, so nothing waits for a person.
#pragma once
#include <windows.h>

#include "platform/pimstore/pimstore.h"

class CItemCard {
 public:
  // Returns when the card closes; false when it could not be shown. askOccurrence:
  // *series tells whether the series was chosen (false when not asked).
  static bool Show(DWORD oid, DWORD folder, bool edit, bool askOccurrence = false, bool* series = nullptr);
  static void SetAutoClose(DWORD ms);
  static DWORD TakeRequests(PimCardRequest* requests, DWORD max);
};
