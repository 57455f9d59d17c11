// The day header of the calendar pages' previews: the day's title with its day
// count label, and at the right the forecast square and the time-span column.
// A pen-down on the span column asks the owner for command 768, on the forecast
// square for 769.
#pragma once
#include <windows.h>

#include "controls/GroupElement.h"
#include "tabs/calendar/TimeSpanBar.h"

const int kPreviewDateItemKind = 557;
const LPARAM kSpanColumnCommand = 768;
const LPARAM kForecastCommand = 769;

class CPreviewDateItem : public CGroupElement {
 public:
  // day: a variant date; its whole day is shown.
  CPreviewDateItem(IListItemOwner* owner, double day);

  int GetKind() override { return kPreviewDateItemKind; }
  // The forecast column, when the forecast is shown, 16 px; then the span column,
  // when "AppGroup_Span" is set, 24 px.
  int GetHeaderIcons(CSimpleValArray<int>& widths) override;
  void DrawHeaderIcon(int index, HDC dc, CTextRunList* context, const RECT& column, int ruleOffset, int middleY,
                      const POINT* origin) override;
  BOOL OnPress(POINT* point) override;

  // A new day: the title is made again, the span bar moves to the day with no marks.
  void SetDate(double day);
  void ShowForecast(BOOL show) { m_forecast = show; }
  // Relative to the header's origin, as last drawn; empty before.
  const RECT& GetSpanRect() const { return m_spanRect; }
  const RECT& GetForecastRect() const { return m_forecastRect; }
  CTimeSpanBar& GetSpanBar() { return m_bar; }

 private:
  double m_day;
  CTimeSpanBar m_bar;
  BOOL m_forecast = FALSE;
  RECT m_spanRect = {};
  RECT m_forecastRect = {};
};
