#include "settings/pages/VisiblePageSize.h"

#include <algorithm>

#include "platform/aygshell/aygshell.h"

SIZE GetVisiblePageSize(HWND page) {
  RECT client = {};
  ::GetClientRect(page, &client);
  SIZE size = {client.right, client.bottom};
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  if (SipGetInfo(&sip)) {
    const LONG width = sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left;
    const LONG height = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
    if (width > 0) size.cx = std::min(size.cx, width);
    if (height > 0) size.cy = std::min(size.cy, height);
  }
  return size;
}
