// CNoteSortEntry: one listed note as the Notes tab sorts and groups it: a note file or
// a PhatNotes note behind one face (name, date, folder, type, size), and the row it
// makes. The entry holds one reference to its note while it lives.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CContainerElement;
class CListItem;
class CNoteFile;
class CPhatNoteRecord;
class CPhatNotesSource;
class IListItemOwner;

// What a made row needs besides its note.
struct NOTE_ROW_LOOK {
  BOOL indented = FALSE;
  int dateWidth = 0;
  int sizeWidth = 0;
};

class CNoteSortEntry {
 public:
  virtual ~CNoteSortEntry() = default;
  virtual CString GetName() const = 0;
  // Local time, variant date.
  virtual double GetDate() const = 0;
  // Empty: the documents folder itself, or no folder.
  virtual CString GetFolder() const = 0;
  virtual int GetType() const = 0;
  virtual DWORD GetSize() const = 0;
  // The row under the group (its owner).
  virtual CListItem* CreateRow(const NOTE_ROW_LOOK& look, CContainerElement* group) = 0;
};

class CNoteFileEntry : public CNoteSortEntry {
 public:
  explicit CNoteFileEntry(CNoteFile* note);
  ~CNoteFileEntry() override;
  CString GetName() const override;
  double GetDate() const override;
  CString GetFolder() const override;
  int GetType() const override;
  DWORD GetSize() const override;
  CListItem* CreateRow(const NOTE_ROW_LOOK& look, CContainerElement* group) override;

 private:
  CNoteFile* m_note;
};

// A PhatNotes note sorts after every note file of the same size and type: its type is
// one past the note types. The record keeps no search match: the entry does.
class CPhatNoteEntry : public CNoteSortEntry {
 public:
  enum { kType = 7 };
  CPhatNoteEntry(CPhatNoteRecord* note, CPhatNotesSource* source, int matchStart = 0, int matchLength = 0,
                 BOOL matchFlag = FALSE);
  ~CPhatNoteEntry() override;
  CString GetName() const override;
  double GetDate() const override;
  CString GetFolder() const override;
  int GetType() const override { return kType; }
  DWORD GetSize() const override { return 0; }
  CListItem* CreateRow(const NOTE_ROW_LOOK& look, CContainerElement* group) override;

 private:
  CPhatNoteRecord* m_note;
  CPhatNotesSource* m_source;
  int m_matchStart;
  int m_matchLength;
  BOOL m_matchFlag;
};
