#include "settings/shell/ColorsListWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "platform/windowlib/PaintDC.h"

namespace {

const COLORREF kColors[kColorRows][kColorColumns] = {
    {kNoColor, 0x00002AA5, 0x00404000, 0x00005500, 0x005E0000, 0x008B0000, 0x0082004B, 0x00282828},
    {0x0000008B, 0x002068FF, 0x00008B8B, 0x00009300, 0x008E8E38, 0x00FF0000, 0x00C07B7B, 0x00666666},
    {0x000000FF, 0x005BADFF, 0x0032CD32, 0x0071B33C, 0x00D4FF7F, 0x00C09E7D, 0x00800080, 0x007F7F7F},
    {0x00CBC0FF, 0x0000D7FF, 0x0000FFFF, 0x0000FF00, 0x00D0E040, 0x00FFFFC0, 0x00480048, 0x00C0C0C0},
    {0x00E1E4FF, 0x008CB4D2, 0x00E0FFFF, 0x0098FB98, 0x00EEEEAF, 0x008B8368, 0x00FAE6E6, 0x00FFFFFF},
};

// Logical units.
const int kCell = 12;
const int kGap = 6;
const int kMargin = 4;
const int kHighlight = 3;

int PenWidth() { return std::max(1, (GetScreenDpiX() + 48) / 96); }

}  // namespace

CColorsListWindow::~CColorsListWindow() {
  if (m_hWnd) DestroyWindow();
  if (m_greyPen) DeleteObject(m_greyPen);
  if (m_buffer) DeleteObject(m_buffer);
}

SIZE CColorsListWindow::GetControlSize() {
  // As the device has it: the width's margins scale with the vertical dpi.
  SIZE size;
  size.cx = ScaleX(kColorColumns * kCell + (kColorColumns - 1) * kGap) + ScaleY(2 * kMargin + 2);
  size.cy = ScaleY(kColorRows * kCell + (kColorRows - 1) * kGap + 2 * kMargin + 2);
  return size;
}

BOOL CColorsListWindow::Create(int x, int y, HWND parent) {
  const SIZE size = GetControlSize();
  RECT place = {x, y, x + size.cx, y + size.cy};
  if (!CWindowImpl<CColorsListWindow>::Create(parent, &place, nullptr, WS_POPUP | WS_BORDER, WS_EX_TOPMOST))
    return FALSE;
  if (!m_greyPen) m_greyPen = CreatePen(PS_SOLID, PenWidth(), RGB(0x80, 0x80, 0x80));
  HDC screen = ::GetDC(nullptr);
  if (!m_buffer) m_buffer = CreateCompatibleBitmap(screen, size.cx, size.cy);
  ::ReleaseDC(nullptr, screen);
  return m_buffer != nullptr;
}

void CColorsListWindow::SelectValue(COLORREF color) {
  m_row = m_column = 0;
  for (int r = 0; r < kColorRows; ++r)
    for (int c = 0; c < kColorColumns; ++c)
      if (kColors[r][c] == color) {
        m_row = r;
        m_column = c;
        if (m_hWnd) Invalidate();
        return;
      }
  if (m_hWnd) Invalidate();
}

COLORREF CColorsListWindow::GetSelectedValue() const { return kColors[m_row][m_column]; }

RECT CColorsListWindow::CellRect(int row, int column) const {
  RECT cell;
  cell.left = ScaleX(kMargin + column * (kCell + kGap));
  cell.top = ScaleY(kMargin + row * (kCell + kGap));
  cell.right = cell.left + ScaleX(kCell);
  cell.bottom = cell.top + ScaleY(kCell);
  return cell;
}

void CColorsListWindow::InvalidateCell(int row, int column) {
  RECT cell = CellRect(row, column);
  InflateRect(&cell, ScaleX(kGap / 2), ScaleY(kGap / 2));
  ::InvalidateRect(m_hWnd, &cell, FALSE);
}

void CColorsListWindow::DrawCell(HDC dc, int row, int column) {
  const RECT cell = CellRect(row, column);
  if (row == m_row && column == m_column) {
    const int width = PenWidth();
    HPEN frame = CreatePen(PS_SOLID, width, 0x7F0000);
    HBRUSH light = CreateSolidBrush(0xD4D4D4);
    HGDIOBJ oldPen = SelectObject(dc, frame);
    HGDIOBJ oldBrush = SelectObject(dc, light);
    const int half = width / 2;
    Rectangle(dc, cell.left - ScaleX(kHighlight) + half, cell.top - ScaleY(kHighlight) + half,
              cell.right + ScaleX(kHighlight) - half, cell.bottom + ScaleY(kHighlight) - half);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(frame);
    DeleteObject(light);
  }
  const COLORREF color = kColors[row][column];
  HBRUSH fill = CreateSolidBrush(color == kNoColor ? RGB(255, 255, 255) : color);
  HGDIOBJ oldPen = SelectObject(dc, m_greyPen ? static_cast<HGDIOBJ>(m_greyPen) : GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
  if (color == kNoColor) {
    MoveToEx(dc, cell.left, cell.top, nullptr);
    LineTo(dc, cell.right, cell.bottom);
    MoveToEx(dc, cell.right - 1, cell.top, nullptr);
    LineTo(dc, cell.left - 1, cell.bottom);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(fill);
}

LRESULT CColorsListWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  RECT client = {};
  GetClientRect(&client);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = m_buffer ? SelectObject(memory, m_buffer) : nullptr;
  HDC target = m_buffer ? memory : static_cast<HDC>(dc);
  FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int r = 0; r < kColorRows; ++r)
    for (int c = 0; c < kColorColumns; ++c) DrawCell(target, r, c);
  if (m_buffer) {
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
  }
  DeleteDC(memory);
  return 0;
}

LRESULT CColorsListWindow::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  int row = m_row, column = m_column;
  switch (wParam) {
    case VK_LEFT: --column; break;
    case VK_RIGHT: ++column; break;
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    default:
      handled = FALSE;
      return 0;
  }
  row = std::clamp(row, 0, kColorRows - 1);
  column = std::clamp(column, 0, kColorColumns - 1);
  if (row != m_row || column != m_column) {
    InvalidateCell(m_row, m_column);
    m_row = row;
    m_column = column;
    InvalidateCell(m_row, m_column);
  }
  return 0;
}

LRESULT CColorsListWindow::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  // As the device has it: one step, horizontal scaling, for both directions.
  const int step = std::max(1, ScaleX(kCell + kGap));
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const int column = (x - ScaleX(kMargin)) / step;
  const int row = (y - ScaleY(kMargin)) / step;
  m_column = std::clamp(column, 0, kColorColumns - 1);
  m_row = std::clamp(row, 0, kColorRows - 1);
  Invalidate();
  UpdateWindow();
  return 0;
}

LRESULT CColorsListWindow::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
  ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  return 0;
}
