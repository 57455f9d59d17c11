#include "controls/VirtualWnd.h"

#include "controls/LiveElements.h"
#include "controls/TextRunList.h"

namespace {

// Where a walk over the children goes on after the child at index i (followed by
// next when the walk reached it) ran a handler: the handler may have taken that
// child or others out of the tree, and the sibling that followed must still be
// visited. Only addresses are compared; a removed child may be gone.
int IndexAfter(const CSimpleValArray<CVirtualWnd*>& children, int i, CVirtualWnd* child, CVirtualWnd* next) {
  if (i < children.GetSize() && children[i] == child) return i + 1;
  if (next) {
    const int at = children.Find(next);
    if (at >= 0) return at;
  }
  const int self = children.Find(child);
  return self >= 0 ? self + 1 : i;
}

}  // namespace

UINT GetVirtualMessageId() {
  static const UINT id = RegisterWindowMessageW(L"QelTarvo_SendVirtualMessage");
  return id;
}

CVirtualWnd::CVirtualWnd()
    : m_bVisible(TRUE),
      m_hWnd(nullptr),
      m_pParent(nullptr),
      m_rect{0, 0, 0, 0},
      m_bPressed(FALSE),
      m_bCaptured(FALSE),
      m_bFocused(FALSE),
      m_ptLast{0, 0},
      m_hTimerWnd(nullptr) {
  CLiveElements::Get().Add(this);
}

CVirtualWnd::~CVirtualWnd() {
  if (m_hTimerWnd) ::KillTimer(m_hTimerWnd, reinterpret_cast<UINT_PTR>(this));
  CLiveElements::Get().Remove(this);
  // Neither the parent nor the children may keep a pointer to what is going away.
  if (m_pParent) m_pParent->m_children.Remove(this);
  for (int i = 0; i < m_children.GetSize(); ++i) m_children[i]->m_pParent = nullptr;
  m_children.RemoveAll();
}

POINT* CVirtualWnd::GetAnchorPoint(POINT* out) {
  out->x = m_rect.left + (m_rect.right - m_rect.left) / 2;
  out->y = m_rect.top + (m_rect.bottom - m_rect.top) / 2;
  return out;
}

BOOL CVirtualWnd::OnChildKey(CVirtualWnd* sender, DWORD key) {
  return m_pParent ? m_pParent->OnChildKey(sender, key) : FALSE;
}

void CVirtualWnd::KillFocus() {
  m_bFocused = FALSE;
  Invalidate();
}

void CVirtualWnd::SetFocus() {
  if (!RequestFocus(this)) return;
  m_bFocused = TRUE;
  Invalidate();
}

BOOL CVirtualWnd::RequestFocus(CVirtualWnd* requester) {
  return m_pParent ? m_pParent->RequestFocus(requester) : FALSE;
}

LRESULT CVirtualWnd::OnVirtualMessage(LPARAM) { return 0; }

LRESULT CVirtualWnd::OnChildCommand(CVirtualWnd*, int, LPARAM) { return 0; }

void CVirtualWnd::RemoveChild(CVirtualWnd* child) {
  if (!child) return;
  child->m_pParent = nullptr;
  m_children.Remove(child);
}

BOOL CVirtualWnd::OnContextMenu(POINT* screenPoint) {
  for (int i = 0; i < m_children.GetSize();) {
    CVirtualWnd* child = m_children[i];
    CVirtualWnd* next = i + 1 < m_children.GetSize() ? m_children[i + 1] : nullptr;
    if (child->IsVisible() && child->OnContextMenu(screenPoint)) return TRUE;
    i = IndexAfter(m_children, i, child, next);
  }
  return FALSE;
}

void CVirtualWnd::UpdateWindow() {
  if (HWND hwnd = GetHwnd()) ::UpdateWindow(hwnd);
}

HWND CVirtualWnd::GetHwnd() {
  if (m_hWnd) return m_hWnd;
  return m_pParent ? m_pParent->GetHwnd() : nullptr;
}

void CVirtualWnd::ReleaseCapture() {
  m_bPressed = FALSE;
  m_bCaptured = FALSE;
  if (m_pParent) m_pParent->ReleaseCapture();
}

BOOL CVirtualWnd::SetCapture(CVirtualWnd* requester) {
  return m_pParent ? m_pParent->SetCapture(requester) : FALSE;
}

void CVirtualWnd::Capture() {
  if (SetCapture(this)) m_bCaptured = TRUE;
}

void CVirtualWnd::RefreshSkin() {
  if (IsRectEmpty(&m_rect)) return;
  for (int i = 0; i < m_children.GetSize(); ++i)
    if (m_children[i]->IsVisible()) m_children[i]->RefreshSkin();
}

void CVirtualWnd::SetRect(const RECT* rect) { m_rect = *rect; }

// Every visible child under the point gets the event, not only the topmost one.
// A handler may take children out of the tree; the siblings after it still get theirs.
BOOL CVirtualWnd::RouteToChildren(BOOL (CVirtualWnd::*handler)(POINT*), POINT* point) {
  BOOL handled = FALSE;
  for (int i = 0; i < m_children.GetSize();) {
    CVirtualWnd* child = m_children[i];
    CVirtualWnd* next = i + 1 < m_children.GetSize() ? m_children[i + 1] : nullptr;
    if (child->IsVisible() && child->HitTest(point) && (child->*handler)(point)) handled = TRUE;
    i = IndexAfter(m_children, i, child, next);
  }
  return handled;
}

BOOL CVirtualWnd::OnLButtonDblClk(POINT* point) {
  m_ptLast = *point;
  BOOL handled = RouteToChildren(&CVirtualWnd::OnLButtonDblClk, point);
  if (!handled) m_bPressed = FALSE;
  return handled;
}

BOOL CVirtualWnd::OnLButtonDown(POINT* point) {
  m_ptLast = *point;
  if (m_bCaptured) {
    m_bPressed = TRUE;
    return FALSE;
  }
  BOOL handled = RouteToChildren(&CVirtualWnd::OnLButtonDown, point);
  if (!handled) m_bPressed = TRUE;
  return handled;
}

BOOL CVirtualWnd::OnLButtonUp(POINT* point) {
  m_ptLast = *point;
  BOOL handled = RouteToChildren(&CVirtualWnd::OnLButtonUp, point);
  if (!handled) ReleaseCapture();
  return handled;
}

BOOL CVirtualWnd::OnMouseMove(POINT* point) { return RouteToChildren(&CVirtualWnd::OnMouseMove, point); }

BOOL CVirtualWnd::OnKey(DWORD key) { return OnChildKey(this, key); }

void CVirtualWnd::Draw(HDC hdc) {
  const RECT noClip = {0, 0, 0, 0};
  CTextRunList context(hdc, noClip);
  Paint(&context);
  context.Draw(hdc, 0, 0);
}

void CVirtualWnd::Paint(CTextRunList* context) {
  RECT clip = context->GetClip();
  if (IsRectEmpty(&clip)) clip = m_rect;
  for (int i = 0; i < m_children.GetSize(); ++i) {
    CVirtualWnd* child = m_children[i];
    RECT common;
    if (child->IsVisible() && IntersectRect(&common, &child->m_rect, &clip)) child->Paint(context);
  }
}

BOOL CVirtualWnd::HitTest(POINT* point) { return PtInRect(&m_rect, *point); }

void CVirtualWnd::KillTimer() {
  HWND hwnd = m_hTimerWnd ? m_hTimerWnd : GetHwnd();
  if (hwnd) ::KillTimer(hwnd, reinterpret_cast<UINT_PTR>(this));
  m_hTimerWnd = nullptr;
}

void CVirtualWnd::OnTimer() {}

BOOL CVirtualWnd::AddChild(CVirtualWnd* child) {
  if (!child) return FALSE;
  if (!m_children.Add(child)) return FALSE;
  if (child->m_pParent && child->m_pParent != this) child->m_pParent->m_children.Remove(child);
  child->m_pParent = this;
  return TRUE;
}

BOOL CVirtualWnd::SetVisible(BOOL show) {
  BOOL previous = m_bVisible;
  m_bVisible = show;
  if (show)
    Invalidate();
  else if (m_bFocused)
    KillFocus();
  return previous;
}

void CVirtualWnd::Invalidate() {
  RECT grown = m_rect;
  grown.right += 1;
  grown.bottom += 1;
  InvalidateRect(&grown);
}

void CVirtualWnd::InvalidateRect(const RECT* rect) {
  if (HWND hwnd = GetHwnd()) ::InvalidateRect(hwnd, rect, FALSE);
}

void CVirtualWnd::SetTimer(UINT milliseconds) {
  HWND hwnd = GetHwnd();
  if (!hwnd) return;
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
  if (m_hTimerWnd && m_hTimerWnd != hwnd) ::KillTimer(m_hTimerWnd, id);
  m_hTimerWnd = ::SetTimer(hwnd, id, milliseconds, nullptr) ? hwnd : nullptr;
}

LRESULT CVirtualWnd::NotifyParent(int code, LPARAM param) {
  return m_pParent ? m_pParent->OnChildCommand(this, code, param) : 0;
}

LRESULT CVirtualWnd::SendVirtualMessage(LPARAM code) {
  HWND hwnd = GetHwnd();
  if (!hwnd) return 0;
  CLiveElements::Get().AddPending(this);
  return ::SendMessageW(hwnd, GetVirtualMessageId(), reinterpret_cast<WPARAM>(this), code);
}

void CVirtualWnd::PostVirtualMessage(LPARAM code) {
  HWND hwnd = GetHwnd();
  if (!hwnd) return;
  CLiveElements::Get().AddPending(this);
  ::PostMessageW(hwnd, GetVirtualMessageId(), reinterpret_cast<WPARAM>(this), code);
}

void CVirtualWnd::DestroyChildren() {
  for (int i = 0; i < m_children.GetSize(); ++i) {
    m_children[i]->DestroyChildren();
    m_children[i]->m_pParent = nullptr;
  }
  m_children.RemoveAll();
}

CVirtualWnd* CVirtualWnd::FromTimer(HWND host, UINT_PTR id) {
  CVirtualWnd* element = reinterpret_cast<CVirtualWnd*>(id);
  if (!host || !CLiveElements::Get().IsLive(element)) return nullptr;
  return element->m_hTimerWnd == host ? element : nullptr;
}

CVirtualWnd* CVirtualWnd::FromVirtualMessage(HWND host, WPARAM wParam) {
  CVirtualWnd* element = reinterpret_cast<CVirtualWnd*>(wParam);
  if (!host || !CLiveElements::Get().IsLive(element) || element->GetHwnd() != host) return nullptr;
  return CLiveElements::Get().TakePending(element) ? element : nullptr;
}
