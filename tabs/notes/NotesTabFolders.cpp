#include "tabs/notes/NotesTabFolders.h"

#include "tabs/notes/NoteFiles.h"
#include "tabs/notes/PhatNotesSource.h"
#include "pim/PhatPad.h"

void CNotesTabFolders::Install() {
  static CNotesTabFolders source;
  SetNoteFolderSource(&source);
}

void CNotesTabFolders::GetFoldersWithEntries(std::vector<CString>& folders) {
  CNoteFiles& files = CNoteFiles::Instance();
  if (!files.IsLoaded()) files.Load();
  for (int i = 0; i < files.GetFolderCount(); ++i)
    if (files.GetFolderData(i) > 0) folders.push_back(files.GetFolderName(i));
}

void CNotesTabFolders::GetPhatNotesFolders(std::vector<CString>& folders) {
  GetPhatNotesSource().GetFolderNames(folders, TRUE);
}

BOOL CNotesTabFolders::IsPhatNotesInstalled() { return ::IsPhatNotesInstalled(nullptr) != 0; }

BOOL CNotesTabFolders::IsPhatPadAvailable() { return CPhatPad::Instance().IsAvailable(); }
