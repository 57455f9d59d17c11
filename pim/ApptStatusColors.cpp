#include "pim/ApptStatusColors.h"

#include "base/RegKey.h"

COLORREF LoadApptStatusColors(int status) {
  struct Entry {
    LPCWSTR name;
    COLORREF defaultColor;
  };
  static const Entry kEntries[] = {
      {L"clrApptStatusBkg", 0xCCCCCC},         {L"clrApptStatusFree", 0xFFFFFF},
      {L"clrApptStatusTentative", 0xF7CBA5},   {L"clrApptStatusBusy", 0xDC4040},
      {L"clrApptStatusOutOfOffice", 0x840084}, {L"clrApptStatusNotloaded", 0xD2FFFF},
      // The stored name is spelt so on every device.
      {L"clrApptStatusConfliciting", 0x0000FF},
  };
  if (status < -1 || status > 5) return 0;
  const Entry& entry = kEntries[status + 1];
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return key.GetDWORD(entry.name, entry.defaultColor);
}
