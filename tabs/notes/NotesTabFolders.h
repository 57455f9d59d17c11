// CNotesTabFolders: the panel's way to the note files and the note programs (its
// INoteFolderSource), over the process's note files, PhatNotes source and PhatPad.
#pragma once
#include "panel/NoteFolderSource.h"

class CNotesTabFolders : public INoteFolderSource {
 public:
  // The process's one source, installed with SetNoteFolderSource.
  static void Install();

  void GetFoldersWithEntries(std::vector<CString>& folders) override;
  void GetPhatNotesFolders(std::vector<CString>& folders) override;
  BOOL IsPhatNotesInstalled() override;
  BOOL IsPhatPadAvailable() override;
};
