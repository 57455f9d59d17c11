#include "settings/base/IconAssignList.h"

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "platform/windowlib/Module.h"
#include "platform/windowlib/PaintDC.h"
#include "res/TarvoResIds.h"

namespace {

const UINT_PTR kHoldTimer = 1;
const UINT kHoldMillis = 1000;
// Topmost, never activated, and the device's "no animation" bit.
const DWORD kHintExStyle = 0x88000008;
const WORD kSelectionChanged = 1;

BOOL InMask(DWORD mask, int i) { return i >= 0 && i < 32 && (mask >> i) & 1; }

POINT PointOf(LPARAM lParam) {
  POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return point;
}

}  // namespace

CIconAssignList::CIconAssignList(BOOL multiSelect) : m_multiSelect(multiSelect) {}

CIconAssignList::~CIconAssignList() {
  if (m_hint) ::DestroyWindow(m_hint);
}

void CIconAssignList::SetItems(const int* icons, int count) {
  m_items.clear();
  if (icons && count > 0) m_items.assign(icons, icons + count);
}

CString CIconAssignList::GetIconName(int icon) {
  static const UINT kNames[8] = {IDS_ROW_NOTE, 0, IDS_ROW_IMPORTANCE, IDS_ROW_RECURS,
                                 IDS_ROW_REMINDER, IDS_ROW_CATEGORIES, IDS_ROW_PRIVATE, IDS_ROW_ATTENDEES};
  CString name;
  if (icon == 1)
    name = L"Low Priority";
  else if (icon >= 0 && icon < 8)
    LoadTranslatedString(name, kNames[icon]);
  return name;
}

RECT CIconAssignList::GetCellRect(int i) const {
  RECT rect = {m_cellWidth * i, 0, m_cellWidth * (i + 1) + 1, m_cellHeight + 1};
  return rect;
}

int CIconAssignList::HitTest(POINT point) const {
  for (int i = 0; i < GetItemCount(); ++i) {
    const RECT cell = GetCellRect(i);
    if (PtInRect(&cell, point)) return i;
  }
  return -1;
}

void CIconAssignList::InvalidateCell(int i) {
  if (!m_hWnd) return;
  if (i < 0) {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return;
  }
  const RECT cell = GetCellRect(i);
  ::InvalidateRect(m_hWnd, &cell, FALSE);
}

void CIconAssignList::SetCurSel(int i) {
  if (m_multiSelect) {
    if (i < 0) {
      m_selection = 0;
      InvalidateCell(-1);
    } else {
      if (i < 32) m_selection ^= 1u << i;
      InvalidateCell(i);
    }
  } else if (i != m_current) {
    if (m_current >= 0) InvalidateCell(m_current);
    m_current = i;
    InvalidateCell(i);
  }
  if (m_hWnd)
    ::PostMessageW(::GetParent(m_hWnd), WM_COMMAND,
                   MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(m_hWnd)), kSelectionChanged),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL CIconAssignList::IsSelected(int i) const {
  return m_multiSelect ? InMask(m_selection, i) : (i == m_current && i >= 0);
}

void CIconAssignList::ToggleItem(int i) {
  if (i < 0) {
    m_marked = 0;
    InvalidateCell(-1);
    return;
  }
  if (i < 32) m_marked ^= 1u << i;
  InvalidateCell(i);
}

BOOL CIconAssignList::IsChecked(int i) const { return InMask(m_marked, i); }

LRESULT CIconAssignList::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  // The device gives a top-level window without WS_POPUP no caption; the desktop
  // adds one, so WS_POPUP keeps the hint a bare bordered box on both.
  m_hint = ::CreateWindowExW(kHintExStyle, L"STATIC", L"", WS_POPUP | WS_BORDER | SS_CENTER, 0, 0, 0, 0, nullptr, nullptr,
                             GetModule().GetModuleInstance(), nullptr);
  return 0;
}

LRESULT CIconAssignList::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::KillTimer(m_hWnd, kHoldTimer);
  if (m_hint) ::DestroyWindow(m_hint);
  m_hint = nullptr;
  handled = FALSE;
  return 0;
}

LRESULT CIconAssignList::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  // A strip without items has no cells (and nothing to divide by).
  m_cellWidth = m_items.empty() ? 0 : client.right / GetItemCount();
  m_cellHeight = client.bottom - 1;
  return 0;
}

LRESULT CIconAssignList::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int cell = HitTest(PointOf(lParam));
  if (cell < 0) return 0;
  m_tapped = cell;
  ::SetTimer(m_hWnd, kHoldTimer, kHoldMillis, nullptr);
  if (IsChecked(cell)) {
    MessageBeep(0xFFFFFFFF);
    return 0;
  }
  m_pressed = cell;
  m_pressedLook = TRUE;
  InvalidateCell(cell);
  ::SetCapture(m_hWnd);
  return 0;
}

LRESULT CIconAssignList::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_pressed < 0) return 0;
  const BOOL over = HitTest(PointOf(lParam)) == m_pressed;
  if (over != m_pressedLook) {
    m_pressedLook = over;
    InvalidateCell(m_pressed);
  }
  return 0;
}

LRESULT CIconAssignList::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_pressed >= 0 && HitTest(PointOf(lParam)) == m_pressed) SetCurSel(m_pressed);
  if (m_hint) ::ShowWindow(m_hint, SW_HIDE);
  ::KillTimer(m_hWnd, kHoldTimer);
  if (m_pressed >= 0) InvalidateCell(m_pressed);
  m_pressed = -1;
  m_pressedLook = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  return 0;
}

void CIconAssignList::ShowHint(int cell) {
  if (!m_hint || cell < 0 || cell >= GetItemCount()) return;
  const CString name = GetIconName(m_items[cell]);
  HFONT font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  ::SetWindowTextW(m_hint, name);
  ::SendMessageW(m_hint, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SIZE text = {};
  if (HDC screen = ::GetDC(nullptr)) {
    HGDIOBJ old = SelectObject(screen, font);
    GetTextExtentPoint32W(screen, name, name.GetLength(), &text);
    SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
  }
  const int width = text.cx + ScaleX(6);
  const int height = text.cy + ScaleY(4);
  RECT strip = {};
  ::GetWindowRect(m_hWnd, &strip);
  int left = strip.left + GetCellRect(cell).left;
  const int excess = left + width - GetSystemMetrics(SM_CXSCREEN);
  if (excess > 0) left -= excess;
  ::SetWindowPos(m_hint, HWND_TOPMOST, left, strip.top - height, width, height, SWP_NOACTIVATE);
  ::ShowWindow(m_hint, SW_SHOWNOACTIVATE);
  ::SetCapture(m_hWnd);
}

LRESULT CIconAssignList::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != kHoldTimer) {
    handled = FALSE;
    return 0;
  }
  if (m_tapped >= 0) ShowHint(m_tapped);
  ::KillTimer(m_hWnd, kHoldTimer);
  return 0;
}

LRESULT CIconAssignList::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC paint(m_hWnd);
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  CDib dib;
  if (client.right <= 0 || client.bottom <= 0 || !dib.Create(client.right, client.bottom)) return 0;
  HDC dc = dib.GetDC();
  if (!dc) return 0;
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const RECT frame = {client.left, client.top, client.right - 1, client.bottom - 1};
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) {
    const RECT cell = GetCellRect(i);
    if (IsSelected(i)) FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (IsChecked(i)) FillRect(dc, &cell, GetSysColorBrush(COLOR_GRAYTEXT));
  }
  if (m_pressedLook && m_pressed >= 0) {
    const RECT cell = GetCellRect(m_pressed);
    FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const int lineX = ScaleX(1);
  const int lineY = ScaleY(1);
  const RECT bars[4] = {
      {frame.left, frame.top, frame.right, frame.top + lineY},
      {frame.left, frame.top, frame.left + lineX, frame.bottom},
      {frame.left, frame.bottom - lineY / 2, frame.right, frame.bottom - lineY / 2 + lineY},
      {frame.right, frame.top, frame.right + lineX, frame.bottom},
  };
  for (const RECT& bar : bars) FillRect(dc, &bar, black);
  CSkin& skin = CSkin::Instance();
  for (int i = 0; i < count; ++i) {
    const RECT separator = {frame.left + m_cellWidth * i, frame.top, frame.left + m_cellWidth * i + lineX,
                            frame.bottom};
    FillRect(dc, &separator, black);
    const SIZE icon = skin.GetIconSize(m_items[i]);
    if (icon.cx <= 0 || icon.cy <= 0) continue;
    skin.DrawIcon(m_items[i], &dib, frame.left + m_cellWidth * i + (m_cellWidth - icon.cx) / 2 + 1,
                  frame.top + (m_cellHeight - icon.cy) / 2 + 1, nullptr);
  }
  BitBlt(paint, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  dib.ReleaseDC();
  return 0;
}
