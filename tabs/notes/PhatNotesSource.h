// CPhatNotesSource: the notes of PhatNotes, another vendor's notes program, listed
// beside the note files: its databases (every object-store database of type 0xF1305),
// their records read on first use, kept current from the databases' change
// notifications, and the changes and commands a note row makes.
#pragma once
#include <windows.h>

#include <vector>

#include "base/CeDatabase.h"
#include "platform/windowlib/String.h"
#include "tabs/notes/PhatNoteRecord.h"
#include "tabs/notes/PhatNotesIndex.h"


// The Notes tab: told of every change of the list.
class IPhatNotesListener {
 public:
  // Both null: everything was dropped and is read again on the next GetFirst.
  virtual void OnPhatNoteChanged(CPhatNoteRecord* fresh, CPhatNoteRecord* old) = 0;
  virtual void OnPhatNoteAdded(CPhatNoteRecord* note) = 0;
  virtual void OnPhatNoteRemoved(CPhatNoteRecord* note) = 0;

 protected:
  ~IPhatNotesListener() = default;
};

class CPhatNotesSource : public ICeDatabaseSink {
 public:
  enum : DWORD { kDatabaseType = CPhatNotesIndex::kDatabaseType };
  // PhatNotes' main window and the messages that open a note in it.
  enum : UINT { kMsgPrepare = 1670, kMsgSelectDatabase = 1666, kMsgOpenRecord = 1665 };

  CPhatNotesSource() = default;
  virtual ~CPhatNotesSource();
  CPhatNotesSource(const CPhatNotesSource&) = delete;
  CPhatNotesSource& operator=(const CPhatNotesSource&) = delete;

  // Opens every PhatNotes database with change notification to the window (null: no
  // notification); the ones that open are kept. TRUE when any opened.
  BOOL Load(HWND window);
  // Frees the records and closes the databases.
  void Unload();
  BOOL IsLoaded() const { return m_loaded; }
  int GetDatabaseCount() const { return static_cast<int>(m_databases.size()); }
  CCeDatabase* GetDatabase(int index) const { return m_databases[static_cast<size_t>(index)]; }
  // PhatNotes' index of its notebooks, open while loaded.
  const CPhatNotesIndex& GetIndex() const { return m_index; }

  // The records, read from every database on first use while "PhatNotesEnabled" is on.
  // The pointer stays the source's; FALSE at the end.
  BOOL GetFirst(CPhatNoteRecord** note);
  BOOL GetNext(CPhatNoteRecord** note);
  int GetCount() const { return static_cast<int>(m_records.size()); }

  // Each distinct folder name, walking the records from the last to the first; notes
  // without a folder add one empty name unless skipEmpty.
  void GetFolderNames(std::vector<CString>& names, BOOL skipEmpty);

  // The database notification for one of the databases: records created, deleted or
  // changed, or the database changed as a whole.
  void OnDatabaseNotification(CENOTIFICATION* notification, CCeDatabase* database) override;

  // The row's commands: each removes or changes the record, tells the listeners and
  // writes the database. SetPriority takes -1 (low), 0 (none) or 1 (high); SetColour the
  // choice 0-4 (0x40000, 0x80000, none, 0x20000, 0x10000).
  BOOL DeleteNote(CPhatNoteRecord* note);
  BOOL SetPriority(CPhatNoteRecord* note, int choice);
  BOOL SetColour(CPhatNoteRecord* note, int choice);
  // The note's text for the preview.
  BOOL ReadText(const CPhatNoteRecord* note, CString& text);

  // Hands the note to the running PhatNotes (its window "MainNotesWindow"); FALSE when
  // it is not running or refuses the database.
  BOOL OpenInPhatNotes(CEOID recordOid, CEOID databaseOid);
  // Where PhatNotes' window is looked for (null restores the item-operations client's
  // lookup) and how long a pause lasts; for tests.
  typedef HWND (*PFN_FIND_NOTES_WINDOW)();
  typedef void (*PFN_PAUSE)(DWORD milliseconds);
  static void SetWindowFinder(PFN_FIND_NOTES_WINDOW finder, PFN_PAUSE pause);

  void AddListener(IPhatNotesListener* listener);
  void RemoveListener(IPhatNotesListener* listener);

 private:
  void ReadAll();
  void DropRecords();
  int Find(CEOID databaseOid, CEOID recordOid) const;
  CCeDatabase* DatabaseOf(CEOID databaseOid) const;
  void OnRecordChanged(CCeDatabase* database, CEOID recordOid);
  BOOL WriteChange(CPhatNoteRecord* note, DWORD mask, DWORD value);

  CPhatNotesIndex m_index;
  std::vector<CCeDatabase*> m_databases;  // owned
  std::vector<CPhatNoteRecord*> m_records;
  std::vector<IPhatNotesListener*> m_listeners;
  BOOL m_loaded = FALSE;
  BOOL m_read = FALSE;
  int m_cursor = -1;
  HWND m_window = nullptr;
};

// The process's source, made on first use.
CPhatNotesSource& GetPhatNotesSource();

// 1 when PhatNotes is installed (its identifier out), else 0: pim's FindPhatNotesKey.
int IsPhatNotesInstalled(int* identifier);
