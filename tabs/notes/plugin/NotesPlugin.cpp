// Linked into the plug-in library: as the library loads, the Notes tab takes its place
// in the panel's tab factory, and the note files become the panel's folder source
// (the note files hear of file changes through the library's one data-list router,
// tabs/join). Only pointers are stored here, as the loader lock allows.
#include "tabs/notes/NotesList.h"
#include "tabs/notes/NotesTabFolders.h"

namespace {

struct CNotesPlugin {
  CNotesPlugin() {
    CNotesList::Install();
    CNotesTabFolders::Install();
  }
} g_notesPlugin;

}  // namespace
