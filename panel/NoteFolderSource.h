// INoteFolderSource: how the panel reaches the note files and the note programs. The
// Notes tab installs one for the process; the Notes folder selector and the stored
// filters' notes-folder seeding both ask it. Without a source there are no folders
// and neither program.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

class INoteFolderSource {
 public:
  // The note files' folders that have entries, in the note files' order (the main
  // folder as the empty name).
  virtual void GetFoldersWithEntries(std::vector<CString>& folders) = 0;
  // The distinct PhatNotes folder names.
  virtual void GetPhatNotesFolders(std::vector<CString>& folders) = 0;
  virtual BOOL IsPhatNotesInstalled() = 0;
  virtual BOOL IsPhatPadAvailable() = 0;

 protected:
  ~INoteFolderSource() = default;
};

// Installs the process's source; returns the previous one. Null: none.
INoteFolderSource* SetNoteFolderSource(INoteFolderSource* source);
INoteFolderSource* GetNoteFolderSource();
