#include "settings/shell/PageServices.h"

#include <cwchar>
#include <vector>

#include "base/ScreenDpi.h"
#include "platform/windowlib/Module.h"

namespace {

const WORD kListAddOld = 0x0401;
const WORD kComboAddOld = 0x0403;

}  // namespace

int GetPageHeaderHeight() { return ScaleY(23); }

BOOL FillDialogFromInitData(HWND dialog, const BYTE* data, DWORD size) {
  DWORD at = 0;
  while (at + 2 <= size) {
    WORD control = static_cast<WORD>(data[at] | data[at + 1] << 8);
    if (control == 0) return TRUE;
    if (size - at < 8) return FALSE;
    WORD message = static_cast<WORD>(data[at + 2] | data[at + 3] << 8);
    DWORD length = static_cast<DWORD>(data[at + 4]) | static_cast<DWORD>(data[at + 5]) << 8 |
                   static_cast<DWORD>(data[at + 6]) << 16 | static_cast<DWORD>(data[at + 7]) << 24;
    at += 8;
    if (length > size - at) return FALSE;
    UINT send = 0;
    if (message == kListAddOld || message == LB_ADDSTRING)
      send = LB_ADDSTRING;
    else if (message == kComboAddOld || message == CB_ADDSTRING)
      send = CB_ADDSTRING;
    if (send) {
      // A copy of its own, always terminated, whatever the data holds.
      std::vector<WCHAR> text(length / sizeof(WCHAR) + 1, L'\0');
      memcpy(text.data(), data + at, length / sizeof(WCHAR) * sizeof(WCHAR));
      LRESULT added = SendDlgItemMessageW(dialog, control, send, 0, reinterpret_cast<LPARAM>(text.data()));
      if (added == LB_ERR || added == LB_ERRSPACE) return FALSE;
    }
    at += length;
  }
  return TRUE;
}

BOOL LoadTranslatedDialogTexts(HWND dialog, UINT templateId) {
  if (templateId == 0) return TRUE;
  HINSTANCE instance = GetModule().GetResourceInstance();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(240));
  if (!found) return TRUE;
  HGLOBAL loaded = LoadResource(instance, found);
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!data) return FALSE;
  try {
    return FillDialogFromInitData(dialog, data, SizeofResource(instance, found));
  } catch (...) {
    return FALSE;
  }
}
