#include "controls/HintWnd.h"

#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "platform/aygshell/CeControls.h"
#include "platform/coredll/ce.h"

namespace {

// A bordered popup; 0x00010000 is what the device's tooltips carry besides.
const DWORD kHintStyle = WS_POPUP | WS_BORDER | 0x00010000;
// Topmost, never activated, above the start-up screen (dropped on the desktop).
const DWORD kHintExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_ABOVESTARTUP;

}  // namespace

CHintWnd::CHintWnd() : m_hOwner(nullptr), m_rcAnchor{0, 0, 0, 0}, m_bCreated(FALSE), m_state(0) {}

CHintWnd::~CHintWnd() { Destroy(); }

SIZE CHintWnd::MeasureHint() {
  SIZE size = MeasureControlText(GetControlDefaultFont(), m_text);
  size.cx += ScaleX(4);
  size.cy += ScaleY(4);
  return size;
}

RECT CHintWnd::GetPlacement() {
  const SIZE size = MeasureHint();
  POINT corner = {m_rcAnchor.left, m_rcAnchor.top};
  POINT below = {m_rcAnchor.left, m_rcAnchor.bottom};
  if (m_hOwner) {
    ::ClientToScreen(m_hOwner, &corner);
    ::ClientToScreen(m_hOwner, &below);
  }
  RECT rect = {corner.x - size.cx, corner.y - size.cy, corner.x, corner.y};
  RECT desktop;
  if (!::GetWindowRect(::GetDesktopWindow(), &desktop)) return rect;
  // Above the button when there is room, else below it; then moved inside the
  // screen on every side (a button near an edge still gets a readable hint).
  if (rect.top < desktop.top) OffsetRect(&rect, 0, below.y - rect.top);
  if (rect.right > desktop.right) OffsetRect(&rect, desktop.right - rect.right, 0);
  if (rect.left < desktop.left) OffsetRect(&rect, desktop.left - rect.left, 0);
  if (rect.bottom > desktop.bottom) OffsetRect(&rect, 0, desktop.bottom - rect.bottom);
  if (rect.top < desktop.top) OffsetRect(&rect, 0, desktop.top - rect.top);
  return rect;
}

void CHintWnd::SetText(HWND owner, const RECT* anchor, LPCWSTR text) {
  Destroy();
  if (!owner) return;
  m_state = 0;
  m_rcAnchor = anchor ? *anchor : RECT{0, 0, 0, 0};
  m_hOwner = owner;
  m_text = text ? text : L"";
  m_text.Remove(L'&');
  RECT rect = GetPlacement();
  if (!Create(owner, &rect, L"", kHintStyle, kHintExStyle)) return;
  m_bCreated = TRUE;
  SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  // The hint stays above the task bar.
  if (HWND taskBar = FindCeWindow(CE_TASKBAR_CLASSNAME, nullptr))
    ::SetWindowPos(taskBar, m_hWnd, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CHintWnd::StartShow(int x, int y) {
  POINT point = {x, y};
  if (!m_bCreated || !PtInRect(&m_rcAnchor, point)) return;
  ::SetCapture(m_hOwner);
  m_state = kPressed | kTimerRunning;
  SetTimer(kShowTimer, kShowDelay);
}

void CHintWnd::Track(int x, int y) {
  if (!m_bCreated || !(m_state & kPressed)) return;
  POINT point = {x, y};
  const BOOL inside = PtInRect(&m_rcAnchor, point);
  if (!inside && (m_state & kTimerRunning)) {
    KillTimer(kShowTimer);
    m_state &= ~kTimerRunning;
  } else if (inside && !(m_state & kTimerRunning)) {
    SetTimer(kShowTimer, kShowDelay);
    m_state |= kTimerRunning;
  }
}

void CHintWnd::Hide(int, int) {
  if (!m_bCreated || !(m_state & kPressed)) return;
  KillTimer(kShowTimer);
  m_state = 0;
  ShowWindow(SW_HIDE);
}

void CHintWnd::Destroy() {
  if (m_hWnd) DestroyWindow();
  m_bCreated = FALSE;
  m_state = 0;
  m_text.Empty();
}

LRESULT CHintWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != kShowTimer) {
    handled = FALSE;
    return 0;
  }
  KillTimer(kShowTimer);
  m_state &= ~kTimerRunning;
  const RECT rect = GetPlacement();
  MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  // The device never activates a no-activate window; the desktop's SW_SHOW would.
  ShowWindow(SW_SHOWNA);
  return 0;
}

void CHintWnd::DrawHint(HDC dc) {
  RECT client;
  GetClientRect(&client);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, GetControlDefaultFont());
  DrawTextW(dc, m_text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

LRESULT CHintWnd::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (dc) DrawHint(dc);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CHintWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  m_bCreated = FALSE;
  m_state = 0;
  handled = FALSE;
  return 0;
}
