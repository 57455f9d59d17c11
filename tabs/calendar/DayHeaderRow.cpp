#include "tabs/calendar/DayHeaderRow.h"

#include <math.h>

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "platform/windowlib/SimpleArray.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/SovelLink.h"

CString CDayHeaderRow::MakeTitle(double day, double today) {
  const CViewSettings& settings = GetViewSettings();
  const LONG offset = static_cast<LONG>(floor(day) - floor(today));
  CString title;
  BOOL named = FALSE;
  if (settings.AppGroup_Today && (offset == 0 || offset == 1)) {
    LoadTranslatedString(title, offset == 0 ? IDS_DAY_TODAY : IDS_DAY_TOMORROW);
    title += L", ";
    named = TRUE;
  }
  SYSTEMTIME date = {};
  CString text;
  if (VariantDateToSystemTime(floor(day), &date)) FormatLongDate(text, date);
  title += text;
  if (settings.AppGroup_Offset && !named) {
    CString mark;
    mark.Format(offset < 1 ? L"[%d]" : L"[+%d]", static_cast<int>(offset));
    if (settings.AppGroup_Offset == 1)
      title = mark + L" " + title;
    else
      title = title + L" " + mark;
  }
  return title;
}

CDayHeaderRow::CDayHeaderRow(IListItemOwner* owner, double day, double today)
    : CListGroupHeader(owner, MakeTitle(day, today), kKind, static_cast<int>(floor(day))),
      m_day(floor(day)),
      m_bar(CTimeSpanBar::DayHeaderSlots()),
      m_sovelBitmap(nullptr),
      m_sovelPixels(nullptr),
      m_sovelHeight(0),
      m_sovelState(0) {
  m_bar.SetDay(static_cast<LONG>(m_day));
}

CDayHeaderRow::~CDayHeaderRow() {
  if (m_sovelBitmap) DeleteObject(m_sovelBitmap);
}

void CDayHeaderRow::GetKey(CString& out) { out.Format(L"%d", static_cast<int>(m_day)); }

BOOL CDayHeaderRow::IsSpanBarShown() const { return GetViewSettings().AppGroup_Span != 0; }

DWORD CDayHeaderRow::RequestSovelIcon(int dayOffset) {
  if (!m_sovelBitmap) {
    m_sovelHeight = GetScreenDpiY() >= 192 ? 32 : 16;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 2 * m_sovelHeight;
    info.bmiHeader.biHeight = -m_sovelHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_sovelBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_sovelPixels, nullptr, 0);
    if (!m_sovelBitmap) {
      m_sovelPixels = nullptr;
      m_sovelState = 0;
      return 0;
    }
  }
  m_sovelState = ::RequestSovelIcon(dayOffset, m_sovelPixels);
  RelayoutHeader();
  return m_sovelState;
}

void CDayHeaderRow::UpdateSpanBar(CAppointmentsList* list) {
  m_bar.SetDay(static_cast<LONG>(m_day));
  m_bar.Compute(list ? list : &CAppointmentsList::GetGlobal());
}

int CDayHeaderRow::GetHeaderIcons(CSimpleValArray<int>& widths) {
  widths.RemoveAll();
  if (HasSovelIcon()) widths.Add(m_sovelHeight);
  if (IsSpanBarShown()) widths.Add(m_bar.GetSlotCount());
  return widths.GetSize();
}

RECT CDayHeaderRow::GetHeaderIconRect(int which) {
  CSimpleValArray<int> widths;
  const int icons = GetHeaderIcons(widths);
  const int top = GetHeaderHeight() - m_nTitleHeight;
  int reserve = ScaleX(10);
  for (int i = 0; i < icons; ++i) reserve += widths[i] + ScaleX(5);
  int left = m_nContentWidth - reserve;
  const int wanted = which == 0 ? (HasSovelIcon() ? 0 : -1) : (IsSpanBarShown() ? (HasSovelIcon() ? 1 : 0) : -1);
  for (int i = 0; i < icons; ++i) {
    left += ScaleX(5);
    if (i == wanted) return RECT{left, top, left + widths[i], top + m_nTitleHeight};
    left += widths[i];
  }
  return RECT{};
}

BOOL CDayHeaderRow::OnPress(POINT* point) {
  if (point && point->y < GetHeaderHeight()) {
    for (int which = 0; which < 2; ++which) {
      RECT r = GetHeaderIconRect(which);
      if (!IsRectEmpty(&r) && PtInRect(&r, *point)) {
        if (m_pOwner) m_pOwner->OnItemNotify(this, which == 0 ? kNotifyForecast : kNotifySpanBar);
        return TRUE;
      }
    }
  }
  return CListGroupHeader::OnPress(point);
}

void CDayHeaderRow::DrawHeaderIcon(int index, HDC dc, CTextRunList*, const RECT& column, int, int middleY,
                                   const POINT*) {
  if (!dc) return;
  const int icon = HasSovelIcon() ? 0 : -1;
  if (index == icon) {
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, m_sovelBitmap);
    BitBlt(dc, column.left, middleY - m_sovelHeight / 2, m_sovelHeight, m_sovelHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return;
  }
  const int barHeight = ScaleY(7);
  POINT at = {column.left, middleY - barHeight / 2};
  m_bar.Draw(dc, at, 0);
}
