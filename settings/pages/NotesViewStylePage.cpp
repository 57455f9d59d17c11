#include "settings/pages/NotesViewStylePage.h"

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"

BOOL CNotesViewStylePage::OnInitPage() {
  m_ready = FALSE;
  m_preview.TakeBackground();
  m_preview.Place(m_hWnd, 110, 100);
  const CViewSettings& view = GetViewSettings();
  TickBox(m_hWnd, kNoteSizeBox, view.NoteDrawSize != 0);
  TickBox(m_hWnd, kNoteTimeBox, view.NoteDrawTime != 0);
  TickBox(m_hWnd, kNoteIndentBox, view.NoteMakeIndent != 0);
  BuildPreview();
  m_ready = TRUE;
  return TRUE;
}

void CNotesViewStylePage::UpdateSettings() {
  CViewSettings& view = GetViewSettings();
  view.NoteDrawSize = IsBoxTicked(m_hWnd, kNoteSizeBox) ? 1 : 0;
  view.NoteDrawTime = IsBoxTicked(m_hWnd, kNoteTimeBox) ? 1 : 0;
  view.NoteMakeIndent = IsBoxTicked(m_hWnd, kNoteIndentBox) ? 1 : 0;
  BuildPreview();
}

void CNotesViewStylePage::BuildPreview() {
  m_preview.SetRows(NewSampleNoteRow(0), NewSampleNoteRow(1));
  m_preview.Invalidate(m_hWnd);
}

BOOL CNotesViewStylePage::OnSetActive() {
  if (m_ready) UpdateSettings();
  return COptionsPage<CNotesViewStylePage>::OnSetActive();
}

BOOL CNotesViewStylePage::OnApply() {
  UpdateSettings();
  GetViewSettings().Save();
  return TRUE;
}

void CNotesViewStylePage::OnReset() { GetViewSettings().Load(); }
