// The Notes sheet's show page: which kinds of note files the Notes tab lists
// ("NotesType%dEnabled"), PhatPad notes only with PhatPad or its viewer installed,
// and PhatNotes notes only with PhatNotes. A kind the page cannot offer keeps its
// stored value.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kNoteKindBoxes[7] = {1016, 1017, 1018, 1019, 0, 1021, 1022};  // 0: kind 4 has no box
const int kPhatNotesBox = 1020;
const int kPhatPadKind = 5;

class CNotesShowPage : public COptionsPage<CNotesShowPage> {
 public:
  enum { IDD = FindPage(4, 1).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(4, 1).helpTopic; }

 private:
  BOOL m_phatPad = FALSE;
  BOOL m_phatNotes = FALSE;
  int m_kinds[7] = {};
  int m_phatNotesEnabled = 0;
};
