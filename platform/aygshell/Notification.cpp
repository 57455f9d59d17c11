#include "platform/aygshell/aygshell.h"

// Nothing here shows notification bubbles, so there is never one to remove.
AYG_API LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id) {
  if (!clsid || id == 0) return ERROR_INVALID_PARAMETER;
  return ERROR_NOT_FOUND;
}
