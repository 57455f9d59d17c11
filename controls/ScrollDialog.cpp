#include "controls/ScrollDialog.h"

#include <vector>

#include "platform/aygshell/aygshell.h"

namespace {

// What the companion data calls the add-string messages.
const WORD kListAddText = 0x0401;
const WORD kComboAddText = 0x0403;

DWORD ReadWord(const BYTE* p) { return p[0] | (p[1] << 8); }
DWORD ReadLong(const BYTE* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

}  // namespace

int ApplyDialogInitRecords(HWND dialog, const BYTE* data, DWORD size) {
  if (!data) return 0;
  int added = 0;
  DWORD at = 0;
  std::vector<WCHAR> text;
  while (size - at >= 2) {
    const WORD control = static_cast<WORD>(ReadWord(data + at));
    if (control == 0 || size - at < 8) break;
    WORD message = static_cast<WORD>(ReadWord(data + at + 2));
    const DWORD count = ReadLong(data + at + 4);
    at += 8;
    if (count > size - at) break;
    const BYTE* bytes = data + at;
    at += count;
    if (message == kListAddText) message = LB_ADDSTRING;
    if (message == kComboAddText) message = CB_ADDSTRING;
    if (message != LB_ADDSTRING && message != CB_ADDSTRING) continue;
    // The control gets a terminated copy: the block may end without a terminator
    // and lives in read-only memory.
    text.assign(count / 2 + 1, L'\0');
    for (DWORD i = 0; i + 1 < count; i += 2) text[i / 2] = static_cast<WCHAR>(ReadWord(bytes + i));
    const LRESULT result =
        SendDlgItemMessageW(dialog, control, message, 0, reinterpret_cast<LPARAM>(text.data()));
    if (result == -1) break;
    ++added;
  }
  return added;
}

int ApplyDialogInitData(HWND dialog, HINSTANCE instance, UINT id) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(240));
  if (!found) return 0;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return 0;
  return ApplyDialogInitRecords(dialog, static_cast<const BYTE*>(data), SizeofResource(instance, found));
}

HWND CreateDialogMenuBar(HWND dialog, UINT menuId) {
  SHMENUBARINFO bar = {};
  bar.cbSize = sizeof(bar);
  bar.hwndParent = dialog;
  bar.dwFlags = menuId ? SHCMBF_HMENU : SHCMBF_EMPTYBAR;
  bar.nToolBarId = menuId;
  bar.hInstRes = GetModule().GetResourceInstance();
  return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
}

BOOL InitFullScreenDialog(HWND dialog) {
  SHINITDLGINFO info = {};
  info.dwMask = SHIDIM_FLAGS;
  info.hDlg = dialog;
  info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
  return SHInitDialog(&info);
}

void PlaceDialogAboveSip(HWND dialog) {
  RECT desktop{}, window{};
  if (!GetWindowRect(GetDesktopWindow(), &desktop) || !GetWindowRect(dialog, &window)) return;
  const int limit = desktop.bottom - ScaleY(50);
  if (window.top <= limit) return;
  POINT topLeft{window.left, limit};
  HWND parent = GetParent(dialog);
  if (parent && (GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CHILD)) ScreenToClient(parent, &topLeft);
  SetWindowPos(dialog, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CaptionHeaderStrip(int clientWidth, int oldPosition, int newPosition) {
  RECT strip{0, 0, clientWidth, 0};
  const int bottom = 1 + ScaleY(kCaptionHeaderHeight) - (oldPosition < newPosition ? oldPosition : newPosition);
  if (bottom > 0 && clientWidth > 0) strip.bottom = bottom;
  return strip;
}
