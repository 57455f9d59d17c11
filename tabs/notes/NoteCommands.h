// The commands of a note row: open, delete, copy, save as, send, and turning a voice
// note into an ink note. Requests to the item-operations program, the save dialog and
// the questions go through seams a test can answer.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/windowlib/String.h"

class CNoteFile;

enum NoteCommand : UINT {
  NOTE_CMD_OPEN = 1001,
  NOTE_CMD_EDIT = 1002,
  NOTE_CMD_DELETE = 1003,
  NOTE_CMD_COPY = 1006,
  NOTE_CMD_SAVE_AS = 1007,
  NOTE_CMD_SETTINGS = 1027,
  NOTE_CMD_TAP_ICON = 1280,
  NOTE_CMD_SEND_FIRST = 1404,
  NOTE_CMD_SEND_LAST = 1406,
  NOTE_CMD_TO_INK = 1407,
};

// Where note requests go: the item-operations program and the document list.
class INoteRequests {
 public:
  virtual BOOL OpenDocument(LPCWSTR path, int type) = 0;
  virtual BOOL OpenItemByPath(LPCWSTR path, int target, BOOL temporary) = 0;
  virtual BOOL OnDocListCommand(UINT command, LPCWSTR path) = 0;

 protected:
  ~INoteRequests() = default;
};
// Returns the previous one; null restores the item-operations program.
INoteRequests* SetNoteRequests(INoteRequests* requests);

// The platform's save dialog (null restores GetSaveFileNameW).
typedef BOOL (*PFN_SAVE_DIALOG)(OPENFILENAMEW* dialog);
PFN_SAVE_DIALOG SetNoteSaveDialog(PFN_SAVE_DIALOG dialog);

// Carries out a command on the note; TRUE for the commands handled here. owner: the
// window the dialogs and questions belong to.
BOOL RunNoteCommand(CNoteFile* note, UINT command, HWND owner);

// The target of a copy beside the note: the name text 154 makes, then the text-155
// names with a counter from 2 while such a file exists; empty when none is free.
CString MakeCopyTarget(const CNoteFile& note);
// The copy (never over an existing file); the target written or empty.
CString CopyNote(const CNoteFile& note);
// Save As: the dialog, pre-filled with the note's path; the chosen file is written
// (a name other than the note's own). The file written or empty.
CString SaveNoteAs(const CNoteFile& note, HWND owner);
// Asks (twice for a read-only file) and deletes; TRUE when deleted.
BOOL DeleteNote(const CNoteFile& note, HWND owner);

// An ink note holding a recording: the template with the recording's length at byte
// 408, the 1,046-byte voice block, the recording, the 18-byte trailer. Empty when the
// template is too short to hold the length.
std::vector<BYTE> BuildInkFromVoice(const BYTE* inkTemplate, size_t templateSize, const BYTE* voice, size_t voiceSize);
// The voice note as an ink note: beside it (name.pwi, else name(1).pwi, ...) or, with
// temporary, a new file in "\TEMP". The file written or empty.
CString ConvertVoiceToInk(const CNoteFile& note, BOOL temporary);
