#include "controls/PopupWindow.h"

#include <windowsx.h>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/LiveElements.h"
#include "controls/MenuBarHook.h"
#include "controls/TextRunList.h"
#include "graphics/TextFit.h"
#include "platform/coredll/ce.h"

namespace {

const int kTitleHeight = 22;
const int kCloseButtonSize = 20;
const int kWorkAreaBottomMargin = 26;
const UINT kCloseImage = 137;
const UINT kClosePressedImage = 136;
const DWORD kStyleHidden = 0x86810000;
const DWORD kStyleShown = 0x96810000;
const DWORD kExStyle = 0x20000008;

HRGN MakeFrameRegion(const RECT& rect, int thickX, int thickY) {
  HRGN outer = CreateRectRgnIndirect(&rect);
  HRGN inner = CreateRectRgn(rect.left + thickX, rect.top + thickY, rect.right - thickX, rect.bottom - thickY);
  CombineRgn(outer, outer, inner, RGN_DIFF);
  DeleteObject(inner);
  return outer;
}

void InvertRegion(HDC hdc, HRGN region, HBRUSH brush) {
  RECT box;
  if (GetRgnBox(region, &box) == NULLREGION) return;
  SelectClipRgn(hdc, region);
  HGDIOBJ old = SelectObject(hdc, brush);
  PatBlt(hdc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
  SelectObject(hdc, old);
  SelectClipRgn(hdc, nullptr);
}

HBRUSH MakeHalftoneBrush() {
  const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  if (!pattern) return nullptr;
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

}  // namespace

UINT GetPopupClosedMessageId() {
  static const UINT id = RegisterWindowMessageW(L"QelTarvo_CalendarWndClosed");
  return id;
}

void DrawDragFrame(HDC hdc, const RECT* rect, int thickX, int thickY, const RECT* last, int lastThickX,
                   int lastThickY, HBRUSH brush, HBRUSH lastBrush) {
  if (!hdc) return;
  HRGN fresh = rect ? MakeFrameRegion(*rect, thickX, thickY) : CreateRectRgn(0, 0, 0, 0);
  HRGN old = last ? MakeFrameRegion(*last, lastThickX, lastThickY) : CreateRectRgn(0, 0, 0, 0);
  if (!lastBrush) lastBrush = brush;
  if (brush == lastBrush) {
    // Pixels in both frames would be inverted twice: leave them alone.
    CombineRgn(fresh, fresh, old, RGN_XOR);
    InvertRegion(hdc, fresh, brush);
  } else {
    InvertRegion(hdc, old, lastBrush);
    InvertRegion(hdc, fresh, brush);
  }
  DeleteObject(fresh);
  DeleteObject(old);
}

// --- the root -------------------------------------------------------------------------

BOOL CPopupRoot::OnChildKey(CVirtualWnd* sender, DWORD key) {
  if ((key == VK_LEFT || key == VK_RIGHT || key == VK_CLOSE_KEY) && OnKey(key)) return TRUE;
  return CVirtualRoot::OnChildKey(sender, key);
}

void CPopupRoot::SetFocus() {
  CVirtualRoot::SetFocus();
  if (!(m_pPopup->m_dwStyle & POPUP_STYLE_NO_CLOSE_FOCUS)) m_pPopup->m_closeButton.SetFocus();
}

LRESULT CPopupRoot::OnVirtualMessage(LPARAM code) {
  if (code != POPUP_FOCUS_CLOSE_CODE) return CVirtualRoot::OnVirtualMessage(code);
  m_pPopup->m_nFocusIndex = -1;
  m_pPopup->m_closeButton.SetFocus();
  return 0;
}

LRESULT CPopupRoot::OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) {
  CPopupWindow* popup = m_pPopup;
  if (sender == &popup->m_closeButton) {
    popup->PostClose(TRUE);
    return 1;
  }
  for (int i = 0; i < popup->m_toolButtons.GetSize(); ++i) {
    if (popup->m_toolButtons[i] != sender) continue;
    const UINT command = popup->m_toolCommands[i];
    if (!popup->OnCommand(command)) {
      CVirtualWnd* owner = popup->m_pOwnerControl;
      if (owner && CLiveElements::Get().IsLive(owner)) owner->PostVirtualMessage(command);
    }
    return 1;
  }
  return CVirtualRoot::OnChildCommand(sender, code, param);
}

void CPopupRoot::SetRect(const RECT* rect) {
  CVirtualRoot::SetRect(rect);
  // The buttons keep their places; giving them their bounds again re-anchors hints.
  for (int i = 0; i < GetChildCount(); ++i) {
    CVirtualWnd* child = GetChild(i);
    RECT bounds = child->GetBounds();
    child->SetRect(&bounds);
  }
}

BOOL CPopupRoot::OnKey(DWORD key) {
  CPopupWindow* popup = m_pPopup;
  const int count = popup->m_toolButtons.GetSize();
  switch (key) {
    case VK_CLOSE_KEY:
      popup->PostClose(TRUE);
      return TRUE;
    case VK_LEFT:
      popup->MoveFocus(popup->m_nFocusIndex + 1 >= count ? -1 : popup->m_nFocusIndex + 1);
      return TRUE;
    case VK_RIGHT:
      popup->MoveFocus(popup->m_nFocusIndex - 1 < -1 ? count - 1 : popup->m_nFocusIndex - 1);
      return TRUE;
    default:
      return CVirtualRoot::OnKey(key);
  }
}

// --- the window -----------------------------------------------------------------------

CPopupWindow::CPopupWindow()
    : m_root(this),
      m_closeButton(L"", 0, kCloseButtonSize, kCloseButtonSize),
      m_nFocusIndex(-1),
      m_dwStyle(0),
      m_bCreated(FALSE),
      m_bClosed(FALSE),
      m_hOwner(nullptr),
      m_closedMessage(0),
      m_bButtonDown(FALSE),
      m_bDragging(FALSE),
      m_ptPress(),
      m_rcLastFrame(),
      m_hScreenDC(nullptr),
      m_hHalftone(nullptr),
      m_rcTitle(),
      m_nTitleRight(0),
      m_nTitleHeight(kTitleHeight),
      m_pOwnerControl(nullptr) {}

CPopupWindow::~CPopupWindow() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
  EndDragDC();
  if (m_hHalftone) DeleteObject(m_hHalftone);
  DestroyToolButtons();
  m_root.RemoveChild(&m_closeButton);
}

int CPopupWindow::GetTitleHeight() const { return ScaleY(m_nTitleHeight); }

void CPopupWindow::DestroyToolButtons() {
  for (int i = 0; i < m_toolButtons.GetSize(); ++i) delete m_toolButtons[i];
  m_toolButtons.RemoveAll();
  m_toolCommands.RemoveAll();
}

void CPopupWindow::FitToWorkArea(RECT* rect) {
  RECT work;
  ::GetWindowRect(::GetDesktopWindow(), &work);
  work.bottom -= ScaleY(kWorkAreaBottomMargin);
  if (rect->top < work.top) OffsetRect(rect, 0, work.top - rect->top);
  if (rect->bottom > work.bottom) OffsetRect(rect, 0, work.bottom - rect->bottom);
  if (rect->right > work.right) OffsetRect(rect, work.right - rect->right, 0);
}

BOOL CPopupWindow::Create(HWND owner, const RECT* rect, LPCWSTR title, BOOL show) {
  // Checked first: the tool buttons of a live popup are still in its tree.
  if (m_bCreated || !rect) return FALSE;
  m_nFocusIndex = -1;
  DestroyToolButtons();

  m_root.RemoveChild(&m_closeButton);
  m_root.AddChild(&m_closeButton);
  m_bCreated = TRUE;
  m_bClosed = FALSE;
  m_title = title ? title : L"";
  m_hOwner = owner;
  m_bButtonDown = FALSE;
  m_bDragging = FALSE;
  EndDragDC();
  m_closedMessage = GetPopupClosedMessageId();

  POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  if (owner) {
    ::ClientToScreen(owner, &corners[0]);
    ::ClientToScreen(owner, &corners[1]);
  }
  RECT at = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  FitToWorkArea(&at);

  ATOM atom = GetPopupClassInfo().Register();
  // The device's "above the start-up screen" bit means nothing to the desktop.
  const DWORD exStyle = kExStyle & ~static_cast<DWORD>(WS_EX_ABOVESTARTUP);
  if (!atom || !CWindowImplBase::Create(owner, &at, m_title, show ? kStyleShown : kStyleHidden, exStyle, 0, atom)) {
    m_bCreated = FALSE;
    m_root.RemoveChild(&m_closeButton);
    return FALSE;
  }

  RECT client;
  ::GetClientRect(m_hWnd, &client);
  m_rcTitle = client;
  m_rcTitle.bottom = client.top + GetTitleHeight();
  RECT close = {m_rcTitle.right - ScaleX(kCloseButtonSize), m_rcTitle.top, m_rcTitle.right, m_rcTitle.bottom};
  m_closeButton.SetRect(&close);
  const BOOL swapped = (m_dwStyle & POPUP_STYLE_NO_CLOSE_FOCUS) != 0;
  m_closeButton.SetIcon(swapped ? kClosePressedImage : kCloseImage, kCloseButtonSize, kCloseButtonSize);
  m_closeButton.SetPressedIcon(swapped ? kCloseImage : kClosePressedImage, kCloseButtonSize, kCloseButtonSize);
  if (!swapped) m_closeButton.SetFocus();
  m_nTitleRight = close.left - 1;
  m_rcTitle.left += ScaleX(1);

  m_memDC.Create(client.right - client.left, client.bottom - client.top);
  if (!swapped) m_root.PostVirtualMessage(POPUP_FOCUS_CLOSE_CODE);
  return TRUE;
}

BOOL CPopupWindow::AddToolButton(UINT imageId, UINT pressedImageId, UINT command, int hintId) {
  if (!m_bCreated) return FALSE;
  CVirtualButton* button = new CVirtualButton(L"", 0, 16, 16);
  button->SetIcon(imageId, kCloseButtonSize, kCloseButtonSize);
  button->SetPressedIcon(pressedImageId, kCloseButtonSize, kCloseButtonSize);
  if (hintId != -1) {
    CString hint;
    LoadTranslatedString(hint, static_cast<UINT>(hintId));
    button->SetHintText(hint);
  }
  RECT bounds = m_closeButton.GetBounds();
  bounds.right -= ScaleX(2);
  const int width = bounds.right - bounds.left;
  OffsetRect(&bounds, -(m_toolButtons.GetSize() + 1) * width, 0);
  if (!m_toolButtons.Add(button)) {
    delete button;
    return FALSE;
  }
  if (!m_toolCommands.Add(command)) {
    m_toolButtons.RemoveAt(m_toolButtons.GetSize() - 1);
    delete button;
    return FALSE;
  }
  m_nTitleRight = bounds.left - 1;
  m_root.AddChild(button);
  button->SetRect(&bounds);
  button->SetVisible(TRUE);
  return TRUE;
}

CVirtualButton* CPopupWindow::ButtonAt(int index) {
  if (index < 0 || index >= m_toolButtons.GetSize()) return &m_closeButton;
  return m_toolButtons[index];
}

void CPopupWindow::MoveFocus(int index) {
  CVirtualButton* previous = ButtonAt(m_nFocusIndex);
  m_nFocusIndex = index;
  CVirtualButton* next = ButtonAt(index);
  if (previous != next) previous->KillFocus();
  next->SetFocus();
}

void CPopupWindow::PostClose(BOOL notifyOwner) {
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, notifyOwner ? m_closedMessage : 0, 0);
}

BOOL CPopupWindow::OnCommand(UINT) { return FALSE; }
BOOL CPopupWindow::OnLButtonDown(POINT*) { return FALSE; }
void CPopupWindow::OnLButtonUp(POINT*) {}
void CPopupWindow::OnMouseMove(POINT*) {}
void CPopupWindow::OnPopupDestroy() {}
void CPopupWindow::PaintContent(CTextRunList*) {}

BOOL CPopupWindow::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                        DWORD mapId) {
  if (mapId != 0) return FALSE;
  result = 0;
  // The title band is ours to paint; the tree paints into the same picture.
  if (message == WM_PAINT) {
    OnPaint();
    return TRUE;
  }
  // The tree's dispatch leaves WM_CREATE and WM_DESTROY to the lines below.
  if (m_root.ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId)) return TRUE;
  result = 0;
  switch (message) {
    case WM_CLOSE:
      // Without an owner the message would land in the thread's own queue.
      if (wParam && m_hOwner) ::PostMessageW(m_hOwner, static_cast<UINT>(wParam), 0, 0);
      ::DestroyWindow(hWnd);
      return TRUE;
    case WM_DESTROY:
      OnDestroyMessage();
      return TRUE;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) PostClose(FALSE);
      return FALSE;
    case WM_CANCELMODE:
      PostClose(FALSE);
      return TRUE;
    case WM_ERASEBKGND:
      result = 1;
      return TRUE;
    case WM_SETTINGCHANGE:
      return TRUE;
    case WM_LBUTTONDOWN:
      OnStylusDown(lParam);
      return TRUE;
    case WM_MOUSEMOVE:
      OnStylusMove(lParam);
      return TRUE;
    case WM_LBUTTONUP:
      OnStylusUp(lParam);
      return TRUE;
    case WM_ENTERMENULOOP:
      HookMenuBarKeys();
      return TRUE;
    default:
      return FALSE;
  }
}

void CPopupWindow::OnDestroyMessage() {
  OnPopupDestroy();
  EndDragDC();
  m_bDragging = FALSE;
  m_bButtonDown = FALSE;
  DestroyToolButtons();
  if (CVirtualWnd* owner = m_pOwnerControl) {
    m_pOwnerControl = nullptr;
    // The control may have gone while its popup was open.
    if (CLiveElements::Get().IsLive(owner)) owner->PostVirtualMessage(POPUP_CLOSED_CODE);
  }
  m_bClosed = TRUE;
  m_memDC.Release();
  m_bCreated = FALSE;
}

void CPopupWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC screen = ::BeginPaint(m_hWnd, &paint);
  if (!screen) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const SIZE size = m_memDC.GetSize();
  if (!m_memDC.GetDC() || size.cx != client.right || size.cy != client.bottom) m_memDC.Create(client.right, client.bottom);
  HDC hdc = m_memDC.GetDC();
  if (!hdc) {
    ::EndPaint(m_hWnd, &paint);
    return;
  }
  const RECT& update = paint.rcPaint;
  HRGN clip = CreateRectRgnIndirect(&update);
  SelectClipRgn(hdc, clip);

  const int titleBottom = client.top + GetTitleHeight();
  const BOOL content = update.bottom > titleBottom + ScaleY(1);
  if (content) FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
  RECT band = {client.left, client.top, client.right, titleBottom - ScaleY(1)};
  FillRect(hdc, &band, GetSysColorBrush(COLOR_ACTIVECAPTION));
  HFONT font = GetControlBoldFont();
  int width = m_nTitleRight - m_rcTitle.left;
  if (width < 0) width = 0;
  CString text = FitTextGdi(hdc, font, m_title, width);
  RECT textRect = {m_rcTitle.left, m_rcTitle.top, m_nTitleRight, m_rcTitle.bottom - ScaleY(1)};
  HGDIOBJ oldFont = SelectObject(hdc, font);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
  DrawTextW(hdc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(hdc, oldFont);
  RECT line = {client.left, titleBottom - ScaleY(1), client.right, titleBottom};
  FillRect(hdc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));

  CTextRunList context(hdc, update);
  if (content) PaintContent(&context);
  // The buttons and the content controls; the clip keeps a title-only repaint short.
  m_root.Paint(&context);
  context.Draw(hdc, 0, 0);

  SelectClipRgn(hdc, nullptr);
  DeleteObject(clip);
  BitBlt(screen, update.left, update.top, update.right - update.left, update.bottom - update.top, hdc, update.left,
         update.top, SRCCOPY);
  ::EndPaint(m_hWnd, &paint);
}

RECT CPopupWindow::DraggedRect(LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ClientToScreen(m_hWnd, &point);
  RECT rect;
  ::GetWindowRect(m_hWnd, &rect);
  OffsetRect(&rect, point.x - m_ptPress.x, point.y - m_ptPress.y);
  return rect;
}

void CPopupWindow::EndDragDC() {
  if (m_hScreenDC) ::ReleaseDC(nullptr, m_hScreenDC);
  m_hScreenDC = nullptr;
}

void CPopupWindow::OnStylusDown(LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (OnLButtonDown(&point)) return;
  m_bButtonDown = TRUE;
  RECT band = {0, 0, 0, 0};
  ::GetClientRect(m_hWnd, &band);
  band.bottom = band.top + GetTitleHeight();
  if (PtInRect(&band, point)) {
    EndDragDC();
    m_hScreenDC = ::GetDC(nullptr);
    if (!m_hHalftone) m_hHalftone = MakeHalftoneBrush();
    ::GetWindowRect(m_hWnd, &m_rcLastFrame);
    DrawDragFrame(m_hScreenDC, &m_rcLastFrame, ScaleX(1), ScaleY(1), nullptr, 0, 0, m_hHalftone, m_hHalftone);
    m_bDragging = TRUE;
    m_ptPress = point;
    ::ClientToScreen(m_hWnd, &m_ptPress);
  }
  ::SetCapture(m_hWnd);
}

void CPopupWindow::OnStylusMove(LPARAM lParam) {
  if (m_bDragging) {
    RECT rect = DraggedRect(lParam);
    DrawDragFrame(m_hScreenDC, &rect, ScaleX(1), ScaleY(1), &m_rcLastFrame, ScaleX(1), ScaleY(1), m_hHalftone,
                  m_hHalftone);
    m_rcLastFrame = rect;
  }
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  OnMouseMove(&point);
}

void CPopupWindow::OnStylusUp(LPARAM lParam) {
  if (m_bDragging) {
    RECT rect = DraggedRect(lParam);
    RECT desktop;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    if (rect.top < desktop.top) OffsetRect(&rect, 0, desktop.top - rect.top);
    DrawDragFrame(m_hScreenDC, nullptr, 0, 0, &m_rcLastFrame, ScaleX(1), ScaleY(1), m_hHalftone, m_hHalftone);
    EndDragDC();
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  }
  m_bDragging = FALSE;
  m_bButtonDown = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  OnLButtonUp(&point);
}
