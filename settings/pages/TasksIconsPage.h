// The Tasks sheet's icons page: the leading icon of a task row (combo 1014) and its
// trailing icons (the icon strip 112), kept as the letters of "CurTaskPattern".
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"
#include "settings/pages/PatternIcons.h"

// The task's icon letters in strip order, with their skin icons and labels.
constexpr IconLetter kTaskIconLetters[] = {{L'n', 0, 32797}, {L'p', 2, 32804}, {L'q', 3, 32798},
                                           {L'r', 4, 32799}, {L's', 5, 10},    {L'c', 6, 91}};

class CTasksIconsPage : public COptionsPage<CTasksIconsPage> {
 public:
  enum { IDD = FindPage(2, 2).templateId };

  CTasksIconsPage() : m_letters(kTaskIconLetters, sizeof(kTaskIconLetters) / sizeof(IconLetter)) {}
  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(2, 2).helpTopic; }
  void UpdateIconLetters();
  CIconAssignList& GetIconList() { return m_letters.GetIconList(); }

  BEGIN_MSG_MAP(CTasksIconsPage)
    COMMAND_HANDLER(kLeadingIconCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kIconAssignListId, 1, OnChange)
    CHAIN_MSG_MAP(COptionsPage<CTasksIconsPage>)
  END_MSG_MAP()

 private:
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateIconLetters();
    return 0;
  }

  CPatternIcons m_letters;
  BOOL m_ready = FALSE;
};
