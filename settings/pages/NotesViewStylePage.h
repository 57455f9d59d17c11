// The Notes sheet's view-style page: whether a note row shows its size, its time,
// and an indent. Changes go into the shared view settings as they are made; apply
// saves them, cancel reloads them.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kNoteSizeBox = 1062;
const int kNoteTimeBox = 1063;
const int kNoteIndentBox = 1016;

class CNotesViewStylePage : public COptionsPage<CNotesViewStylePage> {
 public:
  enum { IDD = FindPage(4, 2).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(4, 2).helpTopic; }
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  // The boxes into the record; the sample notes made again.
  void UpdateSettings();
  CPagePreview& GetPreview() { return m_preview; }

  BEGIN_MSG_MAP(CNotesViewStylePage)
    COMMAND_HANDLER(kNoteSizeBox, BN_CLICKED, OnChange)
    COMMAND_HANDLER(kNoteTimeBox, BN_CLICKED, OnChange)
    COMMAND_HANDLER(kNoteIndentBox, BN_CLICKED, OnChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CNotesViewStylePage>)
  END_MSG_MAP()

 private:
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateSettings();
    return 0;
  }

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  void BuildPreview();

  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
