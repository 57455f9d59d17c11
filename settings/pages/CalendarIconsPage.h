// The Calendar sheet's icons page: the leading icon of an appointment row (combo
// 1014) and its trailing icons (the icon strip 112), kept as the letters of
// "CurAppPattern" in the shared view settings: the prefix the leading letter, the
// suffix the trailing ones in the strip's order.
#pragma once
#include <windows.h>

#include "settings/pages/PatternIconsPage.h"
#include "settings/pages/PreviewSamples.h"

// The calendar's icon letters in strip order, with their skin icons and labels.
constexpr IconLetter kCalendarIconLetters[] = {{L'n', 0, 32797}, {L'q', 3, 32798}, {L'r', 4, 32799},
                                               {L's', 5, 10},    {L'a', 7, 32801}, {L'c', 6, 91}};

class CCalendarIconsPage : public CPatternIconsPage<CCalendarIconsPage> {
 public:
  enum { IDD = FindPage(1, 5).templateId };

  CCalendarIconsPage() : CPatternIconsPage(kCalendarIconLetters, sizeof(kCalendarIconLetters) / sizeof(IconLetter)) {}
  static CListItem* NewPreviewRow() { return NewSampleAppointmentRow(TRUE); }
  static CItemPattern& GetPattern(CViewSettings& settings) { return settings.AppPattern; }
  LPCWSTR GetHelpTopic() { return FindPage(1, 5).helpTopic; }
};
