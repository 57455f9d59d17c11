#include "settings/pages/PreviewDateItem.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/KeyedBitmap.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "settings/base/PreviewTexts.h"

namespace {

CString MakeTitle(double day) {
  const CViewSettings& view = GetViewSettings();
  CString longDate;
  SYSTEMTIME time = {};
  if (VariantDateToSystemTime(VariantDateFloor(day), &time)) FormatLongDate(longDate, time);
  CString today;
  CString tomorrow;
  LoadTranslatedString(today, IDS_DAY_TODAY);
  LoadTranslatedString(tomorrow, IDS_DAY_TOMORROW);
  return BuildDayHeaderTitle(day, GetTodayDate(), view.AppGroup_Today, view.AppGroup_Offset, longDate, today,
                             tomorrow);
}

// The forecast column's sample picture for the screen's dpi, loaded once for the
// process; null when the resource library has none.
CKeyedBitmap* ForecastPicture() {
  static CKeyedBitmap pictures[2];
  static BOOL tried[2] = {FALSE, FALSE};
  const int vga = GetScreenDpiY() >= 144 ? 1 : 0;
  if (!tried[vga]) {
    tried[vga] = TRUE;
    const UINT id = vga ? IDB_FORECAST_VGA : IDB_FORECAST;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // Magenta is the picture's transparent colour.
    if (bitmap && pictures[vga].LoadFromBitmap(bitmap)) pictures[vga].SetKeyColor(RGB(255, 0, 255));
  }
  return pictures[vga].IsLoaded() ? &pictures[vga] : nullptr;
}

RECT Relative(const RECT& rect, const POINT* origin) {
  RECT out = rect;
  if (origin) OffsetRect(&out, -origin->x, -origin->y);
  return out;
}

}  // namespace

CPreviewDateItem::CPreviewDateItem(IListItemOwner* owner, double day)
    : CGroupElement(owner, MakeTitle(day)), m_day(day), m_bar(CTimeSpanBar::DayHeaderSlots()) {
  m_bar.SetDay(static_cast<LONG>(VariantDateFloor(day)));
}

void CPreviewDateItem::SetDate(double day) {
  m_day = day;
  m_title = MakeTitle(day);
  m_bar.SetDay(static_cast<LONG>(VariantDateFloor(day)));
  m_bar.ResetMarks();
  RelayoutHeader();
}

int CPreviewDateItem::GetHeaderIcons(CSimpleValArray<int>& widths) {
  widths.RemoveAll();
  if (m_forecast) widths.Add(ScaleX(16));
  if (GetViewSettings().AppGroup_Span) widths.Add(ScaleX(24));
  return widths.GetSize();
}

void CPreviewDateItem::DrawHeaderIcon(int index, HDC dc, CTextRunList* context, const RECT& column, int, int middleY,
                                      const POINT* origin) {
  if (m_forecast && index == 0) {
    const int side = column.right - column.left;
    const RECT square = {column.left, middleY - side / 2, column.right, middleY - side / 2 + side};
    m_forecastRect = Relative(square, origin);
    if (CKeyedBitmap* picture = ForecastPicture())
      picture->DrawTransparent(context ? context->GetTarget() : nullptr, square.left, square.top, dc);
    return;
  }
  const int top = middleY - ScaleY(2) - ScaleY(1) / 2;
  const RECT bar = {column.left, top, column.left + ScaleX(24), top + ScaleY(5)};
  m_spanRect = Relative(bar, origin);
  if (dc) m_bar.Draw(dc, POINT{bar.left, bar.top}, 0);
}

BOOL CPreviewDateItem::OnPress(POINT* point) {
  const RECT& fold = GetFoldIconRect();
  if (HasFoldIcon() && PtInRect(&fold, *point)) return CGroupElement::OnPress(point);
  if (m_pOwner && !IsRectEmpty(&m_spanRect) && PtInRect(&m_spanRect, *point)) {
    m_pOwner->OnItemCommand(this, kSpanColumnCommand);
    return TRUE;
  }
  if (m_pOwner && !IsRectEmpty(&m_forecastRect) && PtInRect(&m_forecastRect, *point)) {
    m_pOwner->OnItemCommand(this, kForecastCommand);
    return TRUE;
  }
  return CGroupElement::OnPress(point);
}
