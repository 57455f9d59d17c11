#include "controls/VirtualRoot.h"

#include <windowsx.h>

#include "controls/HardwareKeys.h"
#include "controls/LiveElements.h"
#include "controls/TextRunList.h"

CVirtualRoot::CVirtualRoot()
    : m_pFocused(nullptr), m_pCaptured(nullptr), m_bKeyDownSeen(FALSE), m_background(RGB(255, 255, 255)) {
  CLiveElements::Get().AddRoot(this);
}

CVirtualRoot::~CVirtualRoot() { CLiveElements::Get().RemoveRoot(this); }

BOOL CVirtualRoot::RequestFocus(CVirtualWnd* requester) {
  if (requester == m_pFocused) return TRUE;
  CVirtualWnd* previous = m_pFocused;
  m_pFocused = requester;
  if (previous) previous->KillFocus();
  return TRUE;
}

BOOL CVirtualRoot::SetCapture(CVirtualWnd* requester) {
  m_pCaptured = requester;
  if (m_hWnd && ::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
  return TRUE;
}

void CVirtualRoot::ReleaseCapture() {
  m_bPressed = FALSE;
  m_bCaptured = FALSE;
  m_pCaptured = nullptr;
  // Only a capture this window still holds: on WM_CAPTURECHANGED another window of
  // the thread may just have taken it.
  if (m_hWnd && ::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CVirtualRoot::ForgetElement(CVirtualWnd* element) {
  if (m_pFocused == element) m_pFocused = nullptr;
  if (m_pCaptured == element) m_pCaptured = nullptr;
}

void CVirtualRoot::AttachHost(HWND host) {
  m_hWnd = host;
  m_bKeyDownSeen = FALSE;
  if (!host) m_backBuffer.Clear();
}

void CVirtualRoot::ForgetFocused() {
  CVirtualWnd* focused = m_pFocused;
  m_pFocused = nullptr;
  if (focused) focused->KillFocus();
}

BOOL CVirtualRoot::OnHostTimer(UINT_PTR) { return FALSE; }

void CVirtualRoot::PaintBackground(CTextRunList* context) {
  HBRUSH brush = CreateSolidBrush(m_background);
  FillRect(context->GetDC(), &context->GetClip(), brush);
  DeleteObject(brush);
}

BOOL CVirtualRoot::RenderBackBuffer(const RECT& clip) {
  if (!m_hWnd) return FALSE;
  RECT client;
  GetClientRect(m_hWnd, &client);
  if (client.right <= 0 || client.bottom <= 0) return FALSE;
  if (m_backBuffer.GetWidth() != client.right || m_backBuffer.GetHeight() != client.bottom) {
    m_backBuffer.Clear();
    if (!m_backBuffer.Create(client.right, client.bottom)) return FALSE;
  }
  RECT area;
  if (!IntersectRect(&area, &clip, &client)) return TRUE;
  HDC hdc = m_backBuffer.GetDC();
  if (!hdc) return FALSE;
  // Shapes stay inside the area too, so the buffer outside it keeps what it showed.
  HRGN region = CreateRectRgnIndirect(&area);
  SelectClipRgn(hdc, region);
  CTextRunList context(&m_backBuffer, area);
  PaintBackground(&context);
  Paint(&context);
  context.Draw(hdc, 0, 0);
  SelectClipRgn(hdc, nullptr);
  DeleteObject(region);
  return TRUE;
}

BOOL CVirtualRoot::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                        DWORD mapId) {
  if (mapId != 0) return FALSE;
  result = 0;
  if (message == WM_CREATE) {
    AttachHost(hWnd);
    // A window made at its final size may never see a position change.
    RECT client;
    GetClientRect(hWnd, &client);
    SetRect(&client);
    return FALSE;
  }
  // Nothing for a window this root does not host (or no longer hosts).
  if (!m_hWnd || hWnd != m_hWnd) return FALSE;
  switch (message) {
    case WM_WINDOWPOSCHANGED: {
      RECT client;
      GetClientRect(hWnd, &client);
      SetRect(&client);
      return FALSE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
      return OnPointerMessage(message, lParam);
    case WM_LBUTTONDBLCLK:
      return OnDoubleClick(lParam);
    case WM_CAPTURECHANGED:
      // Setting the capture again on this window tells it too: nothing was lost.
      if (reinterpret_cast<HWND>(lParam) != m_hWnd) OnCaptureChanged();
      return FALSE;
    case WM_KEYDOWN:
      result = OnKeyDown(wParam);
      return TRUE;
    case WM_KEYUP:
      OnKeyUp(wParam);
      return TRUE;
    case WM_SETFOCUS:
      ForgetFocused();
      SetFocus();
      return FALSE;
    case WM_KILLFOCUS:
      ForgetFocused();
      return FALSE;
    case WM_TIMER:
      return OnTimerMessage(wParam);
    case WM_ERASEBKGND:
      // The back buffer covers every pixel.
      result = 1;
      return TRUE;
    case WM_PAINT:
      OnPaintMessage();
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      if (message == GetVirtualMessageId()) {
        result = OnVirtualMessageArrived(wParam, lParam);
        return TRUE;
      }
      return FALSE;
  }
}

BOOL CVirtualRoot::OnPointerMessage(UINT message, LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  BOOL (CVirtualWnd::*handler)(POINT*) = message == WM_LBUTTONDOWN ? &CVirtualWnd::OnLButtonDown
                                         : message == WM_LBUTTONUP ? &CVirtualWnd::OnLButtonUp
                                                                   : &CVirtualWnd::OnMouseMove;
  if (CVirtualWnd* captured = m_pCaptured) {
    (captured->*handler)(&point);
    return TRUE;
  }
  return (this->*handler)(&point);
}

BOOL CVirtualRoot::OnDoubleClick(LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  CVirtualWnd* target = m_pCaptured ? m_pCaptured : this;
  return target->OnLButtonDblClk(&point);
}

void CVirtualRoot::OnCaptureChanged() {
  if (CVirtualWnd* captured = m_pCaptured) {
    captured->ReleaseCapture();
    // Also when the element has left the tree and its release never got here.
    m_pCaptured = nullptr;
  } else if (m_bCaptured) {
    ReleaseCapture();
  }
}

LRESULT CVirtualRoot::OnKeyDown(WPARAM wParam) {
  DWORD code = static_cast<DWORD>(wParam);
  CHardwareKeys::Instance().Translate(code);
  CVirtualWnd* target = m_pFocused ? m_pFocused : this;
  m_bKeyDownSeen = TRUE;
  target->OnKey(code);
  return 0;
}

void CVirtualRoot::OnKeyUp(WPARAM wParam) {
  DWORD code = static_cast<DWORD>(wParam);
  const BOOL mapped = CHardwareKeys::Instance().Translate(code);
  // A key that went down in another window is not this tree's to finish; a mapped
  // button is the "close" key on both edges.
  if (!m_bKeyDownSeen && !mapped) return;
  m_bKeyDownSeen = FALSE;
  CVirtualWnd* target = m_pFocused ? m_pFocused : this;
  target->OnKey(mapped ? code : code + VK_KEYUP_FLAG);
}

BOOL CVirtualRoot::OnTimerMessage(UINT_PTR id) {
  if (OnHostTimer(id)) return TRUE;
  CVirtualWnd* element = FromTimer(m_hWnd, id);
  if (!element) return FALSE;
  element->OnTimer();
  return TRUE;
}

LRESULT CVirtualRoot::OnVirtualMessageArrived(WPARAM wParam, LPARAM lParam) {
  CVirtualWnd* element = FromVirtualMessage(m_hWnd, wParam);
  return element ? element->OnVirtualMessage(lParam) : 0;
}

void CVirtualRoot::OnPaintMessage() {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(m_hWnd, &paint);
  if (!screen) return;
  if (RenderBackBuffer(paint.rcPaint)) {
    const RECT& r = paint.rcPaint;
    BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, m_backBuffer.GetDC(), r.left, r.top, SRCCOPY);
  }
  EndPaint(m_hWnd, &paint);
}

void CVirtualRoot::OnDestroy() {
  ForgetFocused();
  if (CVirtualWnd* captured = m_pCaptured) captured->ReleaseCapture();
  m_pCaptured = nullptr;
  DestroyChildren();
  AttachHost(nullptr);
}
