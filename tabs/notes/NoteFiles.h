// CNoteFiles: the one collection of the user's note files, found through the notes
// project library, grouped by folder (a folder of one name on main memory and on
// the cards is one folder), kept current from the shell's file-change notices, and
// told to its listeners.
#pragma once
#include <windows.h>

#include "base/FilterList.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"
#include "tabs/notes/NoteFile.h"

// A notes folder: its name (empty: the documents folder itself), how many notes it
// holds, and how many paths name it.
struct NOTE_FOLDER {
  CString name;
  int count = 0;
  int refs = 0;
};

// What the Notes tab hears, in this order of slots.
class INoteFilesListener {
 public:
  virtual void OnNoteChanged(CNoteFile* oldNote, CNoteFile* newNote) = 0;
  // A null note: everything was dropped and loads again on the next GetFirst.
  virtual void OnNoteAdded(CNoteFile* note, BOOL flag) = 0;
  virtual void OnNoteRemoved(CNoteFile* note, BOOL flag) = 0;

 protected:
  ~INoteFilesListener() = default;
};

class CNoteFiles {
 public:
  // The shell events that reach OnFileChange.
  enum : DWORD {
    kWatchedEvents = 0x229FF,
    kFolderEvents = 0x201F0,      // folder removed or renamed, media or drive came or went
    kFolderGoneEvents = 0x20010,  // folder removed or renamed
    kDeletedEvent = 0x4,
    kWrittenEvents = 0x2002,      // created or updated
  };

  static CNoteFiles& Instance();
  CNoteFiles() = default;
  ~CNoteFiles();
  CNoteFiles(const CNoteFiles&) = delete;
  CNoteFiles& operator=(const CNoteFiles&) = delete;

  // Loads on first use; FALSE when there is no note.
  BOOL GetFirst(CNoteFile** note);
  BOOL GetNext(CNoteFile** note);

  void SetNotifyWindow(HWND window) { m_notifyWindow = window; }
  HWND GetNotifyWindow() const { return m_notifyWindow; }
  // Registers the window for the shell's file changes (all folders, recursive) and
  // drops what was loaded; Stop deregisters and drops it too.
  BOOL StartNotifications();
  void StopNotifications();

  void AddListener(INoteFilesListener* listener);
  void RemoveListener(INoteFilesListener* listener);

  // One shell change: the item's path and the event bits. Ignored until loaded.
  void OnFileChange(LPCWSTR path, DWORD events);

  int GetFolderCount() const { return m_folders.GetSize(); }
  CString GetFolderName(int index) const;
  BOOL GetFolderName(CString& out, int index) const;
  int GetFolderData(int index) const;
  // Index in the sorted folder list, -1 when absent; insertAt: where the name goes.
  int FindFolder(LPCWSTR name, int* insertAt = nullptr) const;
  // The path of the first path entry whose folder has that name; empty when none.
  CString GetFolderPath(LPCWSTR name) const;
  BOOL GetFolderOfPath(CString& out, LPCWSTR name) const;

  // The last element of the path's folder (isFile) or of the path, lower-cased, is
  // not a hidden folder.
  BOOL IsFolderShown(LPCWSTR path, BOOL isFile) const;
  // A note the notes library accepts, its attributes (when readable) not hidden.
  BOOL IsVisibleNoteFile(LPCWSTR path) const;

  // The folder entry of a path, registering the path; null when the path names no
  // folder. knownFolder / documentsRoot: a path already known keeps its folder.
  NOTE_FOLDER* AddFolder(LPCWSTR path, BOOL knownFolder, BOOL documentsRoot);
  // The folder entry of a known path (exact comparison), or null.
  NOTE_FOLDER* FindPathFolder(LPCWSTR path) const;

  BOOL Load();
  // Releases every note and folder; the next GetFirst loads again.
  void Clear();
  BOOL IsLoaded() const { return m_loaded; }
  int GetNoteCount() const { return m_notes.GetSize(); }
  CNoteFile* GetNote(int index) const { return index >= 0 && index < m_notes.GetSize() ? m_notes[index] : nullptr; }
  int GetPathCount() const { return m_paths.GetSize(); }
  const CFilterList& GetHiddenFolders() const { return m_hiddenFolders; }

  // Called by the notes library's enumerations.
  void OnEnumFolder(LPCWSTR path);
  void OnEnumFile(LPCWSTR path, const NOTE_FIND_DATA* known);

 private:
  struct PathEntry {
    CString path;
    NOTE_FOLDER* folder;
  };
  int FindNote(LPCWSTR path) const;
  int FindPath(LPCWSTR path) const;
  void Prune();
  void ReleaseFolder(NOTE_FOLDER* folder);

  CSimpleArray<NOTE_FOLDER*> m_folders;  // sorted by name, ordinal order
  CSimpleArray<PathEntry> m_paths;
  CSimpleArray<CNoteFile*> m_notes;
  CSimpleArray<INoteFilesListener*> m_listeners;
  int m_cursor = 0;
  HWND m_notifyWindow = nullptr;
  BOOL m_loaded = FALSE;
  CFilterList m_hiddenFolders;
};
