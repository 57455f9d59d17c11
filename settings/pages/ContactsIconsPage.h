// The Contacts sheet's icons page: the leading icon of a contact row (combo 1014) and
// its trailing icons (the icon strip 112) as the letters of "CurContactPattern",
// and whether names without a leading icon start at the left edge (box 1060 ticked:
// "ContLeftIdent" 0). A leading icon always indents the name.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"
#include "settings/pages/PatternIcons.h"

const int kLeftIndentBox = 1060;

constexpr IconLetter kContactIconLetters[] = {{L'n', 0, 32797}, {L'c', 6, 91}};

class CContactsIconsPage : public COptionsPage<CContactsIconsPage> {
 public:
  enum { IDD = FindPage(3, 3).templateId };

  CContactsIconsPage() : m_letters(kContactIconLetters, sizeof(kContactIconLetters) / sizeof(IconLetter)) {}
  BOOL OnInitPage();
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc, &DrawLeadingIcon, m_hWnd); }
  CPagePreview& GetPreview() { return m_preview; }
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(3, 3).helpTopic; }
  // The pattern's letters from the controls; applying, a leading icon sets the indent.
  void UpdateIconLetters(BOOL applying);
  // Ticked: no indent (ContLeftIdent 0); cleared: indent (1).
  LRESULT OnLeftIndentClicked();
  CIconAssignList& GetIconList() { return m_letters.GetIconList(); }

  BEGIN_MSG_MAP(CContactsIconsPage)
    COMMAND_HANDLER(kLeftIndentBox, BN_CLICKED, OnLeftIndentCommand)
    COMMAND_HANDLER(kLeadingIconCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kIconAssignListId, 1, OnChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CContactsIconsPage>)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  static void DrawLeadingIcon(CTextRunList& context, void* page) {
    CPatternIcons::DrawLeadingIcon(static_cast<HWND>(page), kLeadingIconCombo, context);
  }
  LRESULT OnLeftIndentCommand(WORD, WORD, HWND, BOOL&) { return OnLeftIndentClicked(); }
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_initialised) UpdateIconLetters(FALSE);
    return 0;
  }
  // 1060 for a leading row (-1: none).
  void ShowIndentBox(int leading);

  CPatternIcons m_letters;
  BOOL m_initialised = FALSE;
  CPagePreview m_preview;
};
