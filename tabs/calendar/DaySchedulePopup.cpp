#include "tabs/calendar/DaySchedulePopup.h"

#include <algorithm>

#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "tabs/calendar/AppointmentsList.h"

namespace {

const COLORREF kLightColor = 0x82FFFF;
const COLORREF kDarkColor = 0x313439;

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top || !brush) return;
  RECT rect = {left, top, right, bottom};
  FillRect(dc, &rect, brush);
}

}  // namespace

CDaySchedulePopup::CDaySchedulePopup() : m_bar(CTimeSpanBar::DayScheduleSlots()) {}

CDaySchedulePopup::~CDaySchedulePopup() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  if (m_lightBrush) DeleteObject(m_lightBrush);
  if (m_darkBrush) DeleteObject(m_darkBrush);
}

int CDaySchedulePopup::HalfHourWidth() { return ScaleX(4) > 0 ? ScaleX(4) : 1; }

int CDaySchedulePopup::OffsetToMinutes(int offset) {
  const int w2 = 2 * HalfHourWidth();
  if (offset < 0) offset = 0;
  const int minutes = offset / w2 * 60 + (offset % w2) * 60 / w2;
  return std::min(minutes, 1440);
}

CString CDaySchedulePopup::FormatMinutes(int minutes) {
  SYSTEMTIME time = {2000, 1, 0, 1, 0, 0, 0, 0};
  minutes %= 1440;
  time.wHour = static_cast<WORD>(minutes / 60);
  time.wMinute = static_cast<WORD>(minutes % 60);
  WCHAR text[64] = L"";
  if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text, ARRAYSIZE(text)))
    wsprintfW(text, L"%02d:%02d", time.wHour, time.wMinute);
  CharLowerW(text);
  return text;
}

CString CDaySchedulePopup::FormatHour(int hour) {
  SYSTEMTIME time = {2000, 1, 0, 1, static_cast<WORD>(hour % 24), 0, 0, 0};
  WCHAR text[64] = L"";
  if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOMINUTESORSECONDS, &time, nullptr, text, ARRAYSIZE(text)))
    wsprintfW(text, L"%d", hour % 24);
  CharLowerW(text);
  return text;
}

std::vector<CDaySchedulePopup::HourLabel> CDaySchedulePopup::LayoutHourLabels(HFONT font, int barLeft, int top) {
  const int spacing = 8 * HalfHourWidth(), gap = ScaleX(2), height = ScaleY(11);
  std::vector<HourLabel> labels;
  for (int form = 0; form < 3; ++form) {
    labels.clear();
    BOOL apart = TRUE;
    for (int hour = 4; hour < 24; hour += 4) {
      CString text;
      if (form == 2) {
        text.Format(L"%d", hour);
      } else {
        const CString full = FormatHour(hour);
        for (int i = 0; i < full.GetLength(); ++i)
          if (form == 0 || full[i] != L' ') text += full[i];
      }
      const int width = MeasureControlText(font, text).cx;
      const int centre = barLeft + hour * spacing / 4;
      const RECT rect = {centre - width / 2, top, centre - width / 2 + width, top + height};
      if (!labels.empty() && labels.back().rect.right + gap > rect.left) apart = FALSE;
      labels.push_back(HourLabel{hour, text, rect});
    }
    if (apart) break;
  }
  return labels;
}

BOOL CDaySchedulePopup::SetDay(HWND parent, const RECT& anchor, LPCWSTR title, double day,
                               IDayScheduleListener* listener) {
  if (IsCreated()) return FALSE;
  RECT rect = {anchor.right - ScaleX(kWidth), anchor.top, anchor.right, anchor.top + ScaleY(kHeight)};
  m_listener = listener;
  m_day = VariantDateFloor(day);
  m_selStart = m_selEnd = -1;
  m_selText.Empty();
  m_dragging = FALSE;
  if (!m_lightBrush) m_lightBrush = CreateSolidBrush(kLightColor);
  if (!m_darkBrush) m_darkBrush = CreateSolidBrush(kDarkColor);
  if (!CPopupWindow::Create(parent, &rect, title, FALSE)) return FALSE;
  m_barRect = RECT{ScaleX(kBarLeft), ScaleY(kBarTop), ScaleX(kBarLeft) + m_bar.GetSlotCount() + 1,
                   ScaleY(kBarTop + kBarHeight)};
  m_bar.SetDay(static_cast<LONG>(m_day));
  m_bar.Compute(m_list);
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  return TRUE;
}

int CDaySchedulePopup::OffsetAt(POINT point) const {
  int offset = point.x - m_barRect.left;
  offset = std::max(0, std::min(offset, m_bar.GetSlotCount()));
  return offset - offset % HalfHourWidth();
}

void CDaySchedulePopup::UpdateText() {
  const int low = std::min(m_selStart, m_selEnd), high = std::max(m_selStart, m_selEnd);
  if (low < 0) {
    m_selText.Empty();
    return;
  }
  const CString from = FormatMinutes(OffsetToMinutes(low));
  if (low == high) {
    m_selText = from;
    return;
  }
  m_selText.Format(L"%s - %s", static_cast<LPCWSTR>(from), static_cast<LPCWSTR>(FormatMinutes(OffsetToMinutes(high))));
}

BOOL CDaySchedulePopup::OnLButtonDown(POINT* point) {
  if (!PtInRect(&m_barRect, *point)) return FALSE;
  m_selStart = m_selEnd = OffsetAt(*point);
  m_dragging = TRUE;
  UpdateText();
  ::SetCapture(m_hWnd);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return TRUE;
}

void CDaySchedulePopup::OnMouseMove(POINT* point) {
  if (!m_dragging) return;
  // The press stays one edge of the span; the stylus is the other, either side.
  m_selEnd = OffsetAt(*point);
  UpdateText();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CDaySchedulePopup::OnLButtonUp(POINT* point) {
  if (!m_dragging) return;
  OnMouseMove(point);
  m_dragging = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_selStart == m_selEnd) {
    m_selStart = m_selEnd = -1;
    m_selText.Empty();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return;
  }
  if (m_noMenu) {
    Choose();
    return;
  }
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  CString text;
  LoadUIString(text, kCmdNewAppointment);
  AppendMenuW(menu, MF_STRING, kCmdNewAppointment, text);
  POINT screen = {point->x, point->y - ScaleY(10)};
  ::ClientToScreen(m_hWnd, &screen);
  const int command = CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN, screen.x, screen.y, m_hWnd);
  DestroyMenu(menu);
  if (command == static_cast<int>(kCmdNewAppointment)) Choose();
}

void CDaySchedulePopup::Choose() {
  const int low = std::min(m_selStart, m_selEnd), high = std::max(m_selStart, m_selEnd);
  SYSTEMTIME start = {}, end = {};
  VariantDateToSystemTime(m_day + OffsetToMinutes(low) / 1440.0, &start);
  // 24:00 is midnight of the next day.
  VariantDateToSystemTime(m_day + OffsetToMinutes(high) / 1440.0, &end);
  ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  if (m_listener) m_listener->OnTimeSpanChosen(start, end);
}

void CDaySchedulePopup::OnPopupDestroy() {
  m_dragging = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

BOOL CDaySchedulePopup::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD mapId) {
  if (mapId == 0 && message == WM_KEYDOWN && wParam == VK_RETURN) {
    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    result = 0;
    return TRUE;
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}

void CDaySchedulePopup::PaintContent(CTextRunList* context) {
  HDC dc = context->GetDC();
  if (!dc) return;
  const RECT& bar = m_barRect;
  const int n = m_bar.GetSlotCount();
  HGDIOBJ oldFont = SelectObject(dc, GetControlListFont());
  SetBkMode(dc, TRANSPARENT);
  const int low = std::min(m_selStart, m_selEnd), high = std::max(m_selStart, m_selEnd);
  if (low >= 0) {
    // Between the title band and the bar: the chosen half hours, and their times.
    const int top = GetTitleHeight() + ScaleY(2), bottom = bar.top - ScaleY(2);
    Fill(dc, bar.left + low, top, bar.left + std::max(high, low + 1), bottom, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT text = {ScaleX(2), top, ScaleX(kWidth) - ScaleX(2), bottom};
    SetTextColor(dc, kDarkColor);
    DrawTextW(dc, m_selText, -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  Fill(dc, bar.left - 1, bar.top - 1, bar.left + n + 1, bar.bottom + 1, m_darkBrush);
  Fill(dc, bar.left, bar.top, bar.left + n, bar.bottom, CTimeSpanBar::GetStatusBrush(-1));
  const int allDay = m_bar.GetAllDayLevel();
  if (allDay != -1) {
    const int quarter = (bar.bottom - bar.top) / 4;
    const int top = m_bar.IsNewStyle() ? bar.top + quarter : bar.top;
    const int bottom = m_bar.IsNewStyle() ? bar.bottom - quarter : bar.bottom;
    Fill(dc, bar.left, top, bar.left + n, bottom, CTimeSpanBar::GetStatusBrush(allDay));
  }
  for (int start = 0; start < n;) {
    const int level = m_bar.GetLevel(start);
    int end = start + 1;
    while (end < n && m_bar.GetLevel(end) == level) ++end;
    if (level != -1) Fill(dc, bar.left + start, bar.top, bar.left + end, bar.bottom, CTimeSpanBar::GetStatusBrush(level));
    start = end;
  }
  if (low >= 0) {
    // The chosen span shows through the bar's lower edge.
    Fill(dc, bar.left + low, bar.bottom - ScaleY(3), bar.left + std::max(high, low + 1), bar.bottom,
         GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  const int w = HalfHourWidth();
  SetTextColor(dc, kDarkColor);
  for (int tick = 1; tick < 48; ++tick) {
    const int x = bar.left + tick * w;
    const BOOL major = tick % 8 == 0;
    Fill(dc, x, bar.bottom + 1, x + 1, bar.bottom + 1 + ScaleY(major ? 5 : 2), m_darkBrush);
  }
  for (HourLabel& label : LayoutHourLabels(GetControlListFont(), bar.left, bar.bottom + ScaleY(6)))
    DrawTextW(dc, label.text, -1, &label.rect, DT_CENTER | DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_NOCLIP);
  SelectObject(dc, oldFont);
}
