#include "tabs/notes/NoteSortEntry.h"

#include "controls/ContainerElement.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/NoteFiles.h"
#include "tabs/notes/NoteItem.h"
#include "tabs/notes/PhatNoteItem.h"
#include "tabs/notes/PhatNoteRecord.h"

CNoteFileEntry::CNoteFileEntry(CNoteFile* note) : m_note(note) {
  if (m_note) m_note->AddRef();
}

CNoteFileEntry::~CNoteFileEntry() {
  if (m_note) m_note->Release();
}

CString CNoteFileEntry::GetName() const { return m_note ? m_note->name : CString(); }
double CNoteFileEntry::GetDate() const { return m_note ? m_note->modified : 0; }
CString CNoteFileEntry::GetFolder() const { return m_note && m_note->folder ? m_note->folder->name : CString(); }
int CNoteFileEntry::GetType() const { return m_note ? m_note->type : NOTE_TYPE_NONE; }
DWORD CNoteFileEntry::GetSize() const { return m_note ? m_note->sizeValue : 0; }

CListItem* CNoteFileEntry::CreateRow(const NOTE_ROW_LOOK& look, CContainerElement* group) {
  auto* row = new CNoteItem(m_note, group);
  row->SetIndented(look.indented);
  row->SetColumnWidths(look.dateWidth, look.sizeWidth);
  return row;
}

CPhatNoteEntry::CPhatNoteEntry(CPhatNoteRecord* note, CPhatNotesSource* source, int matchStart, int matchLength,
                               BOOL matchFlag)
    : m_note(note), m_source(source), m_matchStart(matchStart), m_matchLength(matchLength), m_matchFlag(matchFlag) {
  if (m_note) m_note->AddRef();
}

CPhatNoteEntry::~CPhatNoteEntry() {
  if (m_note) m_note->Release();
}

CString CPhatNoteEntry::GetName() const { return m_note ? m_note->title : CString(); }
double CPhatNoteEntry::GetDate() const { return m_note ? m_note->modified : 0; }
CString CPhatNoteEntry::GetFolder() const { return m_note ? m_note->folder : CString(); }

CListItem* CPhatNoteEntry::CreateRow(const NOTE_ROW_LOOK& look, CContainerElement* group) {
  auto* row = new CPhatNoteItem(m_note, m_source, group);
  row->SetIndented(look.indented);
  row->SetDateWidth(look.dateWidth);
  row->SetMatch(m_matchStart, m_matchLength, m_matchFlag);
  return row;
}
