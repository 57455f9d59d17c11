// The item card that Display and Edit show: a modal top-level "Dialog" window whose
// first child is a "Dialog" page holding a "SysListView32"; command 105 switches it to
// editing. Each request is recorded; with an automatic close set the card closes by
// itself, so nothing waits for a person.
#pragma once
#include <windows.h>

#include "platform/pimstore/pimstore.h"

class CItemCard {
 public:
  // Returns when the card closes; false when it could not be shown.
  static bool Show(DWORD oid, DWORD folder, bool edit);
  static void SetAutoClose(DWORD ms);
  static DWORD TakeRequests(PimCardRequest* requests, DWORD max);
};
