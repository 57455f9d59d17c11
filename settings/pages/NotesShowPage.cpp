#include "settings/pages/NotesShowPage.h"

#include "base/ViewSettings.h"
#include "pim/PhatPad.h"
#include "settings/base/VendorPresence.h"
#include "settings/pages/PageControls.h"

BOOL CNotesShowPage::OnInitPage() {
  m_phatNotes = GetFirstExistingKeyIndex(nullptr);
  m_phatPad = CPhatPad::Instance().IsAvailable();
  CViewSettings& view = GetViewSettings();
  view.Load();
  for (int kind = 0; kind < 7; ++kind)
    m_kinds[kind] = kind == kPhatPadKind && !m_phatPad ? 0 : view.NotesTypeEnabled[kind];
  m_phatNotesEnabled = m_phatNotes ? view.PhatNotesEnabled : 0;
  for (int kind = 0; kind < 7; ++kind)
    if (kNoteKindBoxes[kind]) TickBox(m_hWnd, kNoteKindBoxes[kind], m_kinds[kind] != 0);
  TickBox(m_hWnd, kPhatNotesBox, m_phatNotesEnabled != 0);
  ::EnableWindow(GetDlgItem(kPhatNotesBox), m_phatNotes);
  ::EnableWindow(GetDlgItem(kNoteKindBoxes[kPhatPadKind]), m_phatPad);
  return TRUE;
}

BOOL CNotesShowPage::OnApply() {
  CViewSettings& view = GetViewSettings();
  for (int kind = 0; kind < 7; ++kind) {
    if (kind == kPhatPadKind && !m_phatPad) continue;
    // Kind 4 has no box: what was read goes back unchanged.
    if (kNoteKindBoxes[kind]) m_kinds[kind] = IsBoxTicked(m_hWnd, kNoteKindBoxes[kind]) ? 1 : 0;
    view.NotesTypeEnabled[kind] = m_kinds[kind];
  }
  if (m_phatNotes) view.PhatNotesEnabled = IsBoxTicked(m_hWnd, kPhatNotesBox) ? 1 : 0;
  view.Save();
  return TRUE;
}
