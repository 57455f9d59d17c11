// The Calendar sheet's icons page: the leading icon of an appointment row (combo
// 1014) and its trailing icons (the icon strip 112), kept as the letters of
// "CurAppPattern" in the shared view settings: the prefix the leading letter, the
// suffix the trailing ones in the strip's order.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/pages/PatternIcons.h"

// The calendar's icon letters in strip order, with their skin icons and labels.
constexpr IconLetter kCalendarIconLetters[] = {{L'n', 0, 32797}, {L'q', 3, 32798}, {L'r', 4, 32799},
                                               {L's', 5, 10},    {L'a', 7, 32801}, {L'c', 6, 91}};

class CCalendarIconsPage : public COptionsPage<CCalendarIconsPage> {
 public:
  enum { IDD = FindPage(1, 5).templateId };

  CCalendarIconsPage() : m_letters(kCalendarIconLetters, sizeof(kCalendarIconLetters) / sizeof(IconLetter)) {}
  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(1, 5).helpTopic; }
  // The pattern's prefix and suffix from the controls.
  void UpdateIconLetters();
  CIconAssignList& GetIconList() { return m_letters.GetIconList(); }

  BEGIN_MSG_MAP(CCalendarIconsPage)
    COMMAND_HANDLER(kLeadingIconCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kIconAssignListId, 1, OnChange)
    CHAIN_MSG_MAP(COptionsPage<CCalendarIconsPage>)
  END_MSG_MAP()

 private:
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateIconLetters();
    return 0;
  }

  CPatternIcons m_letters;
  BOOL m_ready = FALSE;
};
