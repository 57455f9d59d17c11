// The Tasks sheet's icons page: the leading icon of a task row (combo 1014) and its
// trailing icons (the icon strip 112), kept as the letters of "CurTaskPattern".
#pragma once
#include <windows.h>

#include "settings/pages/PatternIconsPage.h"
#include "settings/pages/PreviewSamples.h"

// The task's icon letters in strip order, with their skin icons and labels.
constexpr IconLetter kTaskIconLetters[] = {{L'n', 0, 32797}, {L'p', 2, 32804}, {L'q', 3, 32798},
                                           {L'r', 4, 32799}, {L's', 5, 10},    {L'c', 6, 91}};

class CTasksIconsPage : public CPatternIconsPage<CTasksIconsPage> {
 public:
  enum { IDD = FindPage(2, 2).templateId };

  CTasksIconsPage() : CPatternIconsPage(kTaskIconLetters, sizeof(kTaskIconLetters) / sizeof(IconLetter)) {}
  static CListItem* NewPreviewRow() { return NewSampleTaskRow(); }
  static CItemPattern& GetPattern(CViewSettings& settings) { return settings.TaskPattern; }
  LPCWSTR GetHelpTopic() { return FindPage(2, 2).helpTopic; }
};
