#include "controls/IconGrid.h"

#include <windowsx.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "controls/ControlArt.h"
#include "graphics/FontCache.h"
#include "graphics/SkinColors.h"
#include "graphics/TextFit.h"

namespace {

BOOL g_optionsRules = FALSE;

const int kHeader = 15;
const int kIndent = 20;
const int kCellGap = 2;
const int kSign = 9;
const int kLine = 10;
const DWORD kTodayTextColor = 0x10000004;

}  // namespace

void CIconGrid::SetOptionsProgramRules(BOOL options) { g_optionsRules = options; }
BOOL CIconGrid::IsOptionsProgramRules() { return g_optionsRules; }

CIconGrid::CIconGrid()
    : m_database(nullptr),
      m_background(nullptr),
      m_scrollBar(FALSE),
      m_totalHeight(0),
      m_scrollPosition(0),
      m_captured(FALSE),
      m_current(-1),
      m_currentTop(0) {}

CIconGrid::~CIconGrid() {
  if (IsWindow()) DestroyWindow();
}

HWND CIconGrid::Create(HWND parent, const RECT& rect, DWORD style, UINT id) {
  if (!style) style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  m_current = -1;
  return CWindowImpl<CIconGrid>::Create(parent, &rect, nullptr, style, 0, id);
}

const CIconCategory* CIconGrid::GroupOf(const Section& section) const {
  return m_database ? m_database->GetGroup(section.group) : nullptr;
}

void CIconGrid::LayoutSection(Section& section, const CIconCategory& group, int width) {
  section.width = width;
  const int count = group.GetIconCount();
  if (!count) {
    section.columns = section.rowsHeight = 0;
    return;
  }
  int largestWidth = 0, largestHeight = 0;
  for (int i = 0; i < count; ++i) {
    const SIZE size = group.GetIcon(i)->GetSize();
    largestWidth = std::max(largestWidth, static_cast<int>(size.cx));
    largestHeight = std::max(largestHeight, static_cast<int>(size.cy));
  }
  if (largestWidth && largestHeight) {
    section.cellWidth = largestWidth + ScaleX(kCellGap);
    section.cellHeight = largestHeight + ScaleY(kCellGap);
  }
  if (section.cellWidth <= 0) return;
  // A grid narrower than the indent and one cell still shows one column, cut.
  section.columns = std::max(1, (width - ScaleX(kIndent)) / section.cellWidth);
  const int rows = (count + section.columns - 1) / section.columns;
  section.rowsHeight = rows * section.cellHeight;
}

int CIconGrid::SectionHeight(const Section& section) {
  return ScaleY(kHeader) + (section.collapsed ? 0 : section.rowsHeight);
}

int CIconGrid::HitIcon(const Section& section, int iconCount, int x, int y) {
  x -= ScaleX(kIndent);
  y -= ScaleY(kHeader);
  if (x < 0 || y < 0 || section.cellWidth <= 0 || section.cellHeight <= 0 || section.collapsed) return -1;
  const int column = x / section.cellWidth;
  // The margin right of the last column belongs to no icon.
  if (column >= section.columns) return -1;
  const int index = (y / section.cellHeight) * section.columns + column;
  return index < iconCount ? index : -1;
}

void CIconGrid::Rebuild() {
  m_sections.clear();
  m_current = -1;
  for (int g = 0; m_database && g < m_database->GetGroupCount(); ++g) {
    if (m_database->GetGroup(g)->GetIconCount() <= 0) continue;
    Section section;
    section.group = g;
    m_sections.push_back(section);
  }
  Sort();
  Layout();
  if (IsWindow()) InvalidateRect(nullptr, FALSE);
}

void CIconGrid::Sort() {
  size_t first = !m_sections.empty() && m_sections[0].group == 0 ? 1 : 0;
  for (size_t i = first; i + 1 < m_sections.size(); ++i) {
    // Scanning from the end and taking a later one only when strictly smaller
    // puts the later of equal names first.
    size_t best = m_sections.size() - 1;
    for (size_t j = best; j-- > i;) {
      if (wcscmp(GroupOf(m_sections[j])->GetTitle(), GroupOf(m_sections[best])->GetTitle()) < 0) best = j;
    }
    std::swap(m_sections[i].group, m_sections[best].group);
  }
}

void CIconGrid::Layout() {
  m_rects.assign(m_sections.size(), RECT{});
  RECT window{}, client{};
  if (IsWindow()) {
    GetWindowRect(&window);
    GetClientRect(&client);
  }
  int width = window.right - window.left;
  const int height = client.bottom;
  m_scrollBar = FALSE;
  int total = 0;
  for (size_t i = 0; i < m_sections.size(); ++i) {
    Section& section = m_sections[i];
    if (const CIconCategory* group = GroupOf(section)) LayoutSection(section, *group, width);
    const int h = SectionHeight(section);
    m_rects[i] = RECT{0, total, width, total + h};
    total += h;
    if (total > height && !m_scrollBar) {
      width -= GetSystemMetrics(SM_CXVSCROLL);
      m_scrollBar = TRUE;
      total = 0;
      i = size_t(-1);
    }
  }
  m_totalHeight = total;
  // A grid that fits shows its top: the position never goes below 0.
  const int last = std::max(0, total - height);
  if (!m_scrollBar || m_scrollPosition > last) m_scrollPosition = last;
  if (IsWindow()) {
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, total, UINT(std::max(0, height)), m_scrollPosition, 0};
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  }
}

void CIconGrid::SetScrollPosition(int position) {
  RECT client{};
  GetClientRect(&client);
  position = std::min(position, m_totalHeight - static_cast<int>(client.bottom));
  position = std::max(position, 0);
  if (position == m_scrollPosition) return;
  m_scrollPosition = position;
  SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, position, 0};
  SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  InvalidateRect(nullptr, FALSE);
}

void CIconGrid::SetAllExpanded(BOOL expanded) {
  for (Section& section : m_sections) {
    section.collapsed = !expanded;
    section.selected = -1;
  }
  Layout();
  if (IsWindow()) InvalidateRect(nullptr, FALSE);
}

CString CIconGrid::GetSelectedPath() const {
  if (m_current < 0 || m_current >= GetSectionCount()) return CString();
  const Section& section = m_sections[size_t(m_current)];
  const CIconCategory* group = GroupOf(section);
  if (!group || section.selected < 0) return CString();
  return CString(group->GetName(section.selected));
}

int CIconGrid::SectionAt(int x, int y) const {
  const POINT point = {x, y + m_scrollPosition};
  for (size_t i = 0; i < m_rects.size(); ++i)
    if (PtInRect(&m_rects[i], point)) return static_cast<int>(i);
  return -1;
}

void CIconGrid::InvalidateSection(int index) {
  if (index < 0 || index >= GetSectionCount() || !IsWindow()) return;
  RECT r = m_rects[size_t(index)];
  OffsetRect(&r, 0, -m_scrollPosition);
  InvalidateRect(&r, FALSE);
}

void CIconGrid::MakeCurrent(int index) {
  if (index == m_current) return;
  if (m_current >= 0 && m_current < GetSectionCount() && m_sections[size_t(m_current)].selected >= 0) {
    m_sections[size_t(m_current)].selected = -1;
    InvalidateSection(m_current);
  }
  m_current = index;
}

void CIconGrid::Tap(int x, int y, BOOL fold) {
  const int index = SectionAt(x, y);
  MakeCurrent(index);
  if (index < 0) return;
  Section& section = m_sections[size_t(index)];
  const int top = m_rects[size_t(index)].top - m_scrollPosition;
  m_currentTop = top;
  const int inY = y - top;
  if (inY < ScaleY(kHeader)) {
    if (!fold) return;
    section.collapsed = !section.collapsed;
    section.selected = -1;
    Layout();
    InvalidateRect(nullptr, FALSE);
    return;
  }
  const CIconCategory* group = GroupOf(section);
  const int hit = HitIcon(section, group ? group->GetIconCount() : 0, x, inY);
  if (hit >= 0 && hit != section.selected) {
    section.selected = hit;
    InvalidateSection(index);
  }
}

LRESULT CIconGrid::OnButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  Tap(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), TRUE);
  SetCapture();
  m_captured = TRUE;
  return 0;
}

LRESULT CIconGrid::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_captured) Tap(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), FALSE);
  return 0;
}

LRESULT CIconGrid::OnButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (g_optionsRules && m_captured) MakeCurrent(SectionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
  m_captured = FALSE;
  if (::GetCapture() == m_hWnd) ReleaseCapture();
  return 0;
}

LRESULT CIconGrid::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == kTapAndHoldNotify) return 1;
  handled = FALSE;
  return 0;
}

LRESULT CIconGrid::OnKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled) {
  if (key == VK_UP) return SendMessage(WM_VSCROLL, SB_LINEUP, 0);
  if (key == VK_DOWN) return SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  handled = FALSE;
  return 0;
}

LRESULT CIconGrid::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  RECT client{};
  GetClientRect(&client);
  const int page = client.bottom;
  int position = m_scrollPosition;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= ScaleY(kLine); break;
    case SB_LINEDOWN: position += ScaleY(kLine); break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBPOSITION: position = HIWORD(wParam); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = m_totalHeight - page; break;
    default: return 0;
  }
  SetScrollPosition(position);
  return 0;
}

LRESULT CIconGrid::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const int width = LOWORD(lParam), height = HIWORD(lParam);
  // The surface is made again at the new size; the old one goes with it.
  m_surface.Clear();
  if (width > 0 && height > 0) m_surface.Create(width, height);
  Layout();
  return 0;
}

void CIconGrid::DrawSection(HDC dc, CDib& surface, int index, int x, int y, const RECT& clip) {
  const Section& section = m_sections[size_t(index)];
  const CIconCategory* group = GroupOf(section);
  if (!group) return;
  const int header = ScaleY(kHeader);
  if (y + header > clip.top) {
    RECT bar = {x, y, x + section.width, y + std::max(1, ScaleY(1))};
    HBRUSH brush = CreateSolidBrush(GetThemeColor(6, 0x00CE8231));
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
    WCHAR count[32];
    wsprintfW(count, L" (%d)", group->GetIconCount());
    HFONT font = GetFontCache()->GetHeaderFont(TRUE);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE countSize{};
    GetTextExtentPoint32W(dc, count, lstrlenW(count), &countSize);
    int room = section.width - ScaleX(kIndent) - ScaleX(kCellGap) - countSize.cx;
    CString text = room > 0 ? FitTextGdi(dc, font, group->GetTitle(), room) : CString();
    text += count;
    RECT textRect = {x + ScaleX(kIndent) + ScaleX(kCellGap), y, x + section.width, y + header};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetTodayColor(kTodayTextColor));
    DrawTextW(dc, text, text.GetLength(), &textRect, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (HICON sign = GetControlArt().GetSignIcon(section.collapsed)) {
      DrawIconEx(dc, x + ScaleX(kIndent) - ScaleX(kCellGap) - ScaleX(kSign), y + (header - ScaleY(kSign)) / 2, sign,
                 ScaleX(kSign), ScaleY(kSign), 0, nullptr, DI_NORMAL);
    }
  }
  if (section.collapsed || section.columns <= 0) return;
  const int x0 = x + ScaleX(kIndent), y0 = y + header;
  for (int i = 0; i < group->GetIconCount(); ++i) {
    const int cellX = x0 + (i % section.columns) * section.cellWidth;
    const int cellY = y0 + (i / section.columns) * section.cellHeight;
    if (cellY + section.cellHeight <= clip.top) continue;
    if (cellY >= clip.bottom) break;
    if (i == section.selected) {
      RECT cell = {cellX, cellY, cellX + section.cellWidth, cellY + section.cellHeight};
      FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    CKeyedBitmap* icon = group->GetIcon(i);
    const SIZE size = icon->GetSize();
    icon->DrawTransparent(&surface, cellX + (section.cellWidth - size.cx) / 2, cellY + (section.cellHeight - size.cy) / 2);
  }
}

LRESULT CIconGrid::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC target = ::BeginPaint(m_hWnd, &paint);
  RECT client{};
  GetClientRect(&client);
  if (m_surface.GetWidth() == client.right && m_surface.GetHeight() == client.bottom && m_surface.GetBits()) {
    HDC dc = m_surface.GetDC();
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (m_background && m_background->GetBits()) {
      StretchBlt(dc, 0, 0, client.right, client.bottom, m_background->GetDC(), 0, 0, m_background->GetWidth(),
                 m_background->GetHeight(), SRCCOPY);
    }
    const int left = g_optionsRules ? ScaleX(1) : 0;
    int y = -m_scrollPosition;
    for (int i = 0; i < GetSectionCount(); ++i) {
      const int h = m_rects[size_t(i)].bottom - m_rects[size_t(i)].top;
      if (y + h >= 1 && y < client.bottom) {
        GdiFlush();
        DrawSection(dc, m_surface, i, left, y, paint.rcPaint);
      }
      y += h;
    }
    GdiFlush();
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  }
  ::EndPaint(m_hWnd, &paint);
  return 0;
}
