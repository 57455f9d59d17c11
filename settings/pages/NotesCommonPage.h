// The Notes sheet's common page: grouping, sort order and one-tap action of the
// Notes tab, and the key layouts of its letter bar.
#pragma once
#include <windows.h>

#include "settings/pages/LayoutCombo.h"
#include "settings/pages/PageTable.h"

const int kNotesGroupByCombo = 1058;
const int kNotesSortCombo = 1059;
const int kNotesOneTapCombo = 1061;
const int kNotesLayoutCombo = 1060;

class CNotesCommonPage : public COptionsPage<CNotesCommonPage> {
 public:
  enum { IDD = FindPage(4, 0).templateId };

  CNotesCommonPage() : m_layouts(kNotesLayoutCombo, L"Notes") {}
  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(4, 0).helpTopic; }

  // "NotesGroupBy" and the items of 1058: 501 item 0, 559 item 1, 551 item 2; any
  // other value shows item 0 and is written back as 501.
  static int GroupByItemFor(DWORD value);
  static DWORD GroupByValueFor(int item);

  BEGIN_MSG_MAP(CNotesCommonPage)
    COMMAND_HANDLER(kNotesLayoutCombo, CBN_SELCHANGE, OnLayoutChanged)
    CHAIN_MSG_MAP(COptionsPage<CNotesCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnLayoutChanged(WORD, WORD, HWND, BOOL&);

  CLayoutCombo m_layouts;
};
