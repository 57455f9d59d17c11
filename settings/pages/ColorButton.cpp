#include "settings/pages/ColorButton.h"

#include "base/ScreenDpi.h"

CColorButton::~CColorButton() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

BOOL CColorButton::Attach(HWND button) {
  if (!SubclassWindow(button)) return FALSE;
  RECT rect{};
  ::GetWindowRect(button, &rect);
  return m_grid.Create(rect.left, rect.bottom - ScaleY(1), ::GetParent(button));
}

void CColorButton::SetColor(COLORREF color) {
  m_color = color;
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

POINT CColorButton::PlaceGrid(const RECT& button, SIZE grid, SIZE screen) {
  POINT at{};
  // Below when there is as much room below as above, else above; left-aligned
  // when there is as much room to the right as to the left, else right-aligned.
  at.y = (screen.cy - button.bottom >= button.top - 1) ? button.bottom - 1 : button.top - grid.cy;
  at.x = (screen.cx - button.left >= button.right - 1) ? button.left : button.right - grid.cx;
  return at;
}

void CColorButton::OnClick() {
  if (!m_hWnd || !m_grid.m_hWnd) return;
  RECT rect{};
  ::GetWindowRect(m_hWnd, &rect);
  RECT gridRect{};
  ::GetWindowRect(m_grid.m_hWnd, &gridRect);
  const SIZE grid = {gridRect.right - gridRect.left, gridRect.bottom - gridRect.top};
  const SIZE screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const POINT at = PlaceGrid(rect, grid, screen);
  ::SetWindowPos(m_grid.m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  m_pressed = TRUE;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  m_grid.SelectValue(m_color);
  if (m_tracker.Track(m_grid.m_hWnd) == 1) {
    m_color = m_grid.GetSelectedValue();
    ::PostMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), kColorChosen),
                   reinterpret_cast<LPARAM>(m_hWnd));
  }
  m_pressed = FALSE;
  if (::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CColorButton::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
  if (::IsWindowEnabled(m_hWnd)) OnClick();
  return 0;
}

LRESULT CColorButton::OnKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled) {
  if (key != VK_RETURN && key != VK_SPACE) {
    handled = FALSE;
    return 0;
  }
  OnClick();
  return 0;
}

LRESULT CColorButton::OnRedraw(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  handled = FALSE;
  return 0;
}

LRESULT CColorButton::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  const int one = ScaleX(1);
  const int arrow = ScaleX(14);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  HPEN black = ::CreatePen(PS_SOLID, one, RGB(0, 0, 0));
  HGDIOBJ oldPen = ::SelectObject(dc, black);
  HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
  ::InflateRect(&client, -one, -one);
  RECT swatch = client;
  swatch.right -= arrow;
  ::InflateRect(&swatch, -one, -one);
  if (m_color == kNoColor) {
    ::FillRect(dc, &swatch, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::MoveToEx(dc, swatch.left, swatch.top, nullptr);
    ::LineTo(dc, swatch.right, swatch.bottom);
    ::MoveToEx(dc, swatch.left, swatch.bottom, nullptr);
    ::LineTo(dc, swatch.right, swatch.top);
  } else {
    HBRUSH fill = ::CreateSolidBrush(m_color);
    ::FillRect(dc, &swatch, fill);
    ::DeleteObject(fill);
  }
  if (::GetFocus() == m_hWnd) ::DrawFocusRect(dc, &swatch);
  // The drop-down arrow, sunk while the grid is open.
  const int cx = client.right - arrow / 2 + (m_pressed ? one : 0);
  const int cy = (client.top + client.bottom) / 2 + (m_pressed ? one : 0);
  const int half = arrow / 4;
  POINT points[3] = {{cx - half, cy - half / 2}, {cx + half, cy - half / 2}, {cx, cy + half / 2}};
  ::SelectObject(dc, ::GetStockObject(BLACK_BRUSH));
  ::Polygon(dc, points, 3);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(black);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}
