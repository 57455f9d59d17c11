// CNoteFile: one note file of the notes folders (ink, voice, text, word, rich text,
// picture or sheet), as the note-file collection and the note rows share it.
#pragma once
#include <windows.h>

#include "base/RefObject.h"
#include "platform/windowlib/String.h"

struct NOTE_FOLDER;
class CNoteFiles;

// Note types by extension.
enum NoteType {
  NOTE_TYPE_NONE = -1,
  NOTE_TYPE_INK = 0,
  NOTE_TYPE_VOICE = 1,
  NOTE_TYPE_TEXT = 2,
  NOTE_TYPE_WORD = 3,
  NOTE_TYPE_RICH_TEXT = 4,
  NOTE_TYPE_PICTURE = 5,
  NOTE_TYPE_SHEET = 6,
};

// The type of an extension (no dot, any case); -1 for null, empty or unknown.
int NoteTypeFromExtension(LPCWSTR extension);
// The text after the last '.' of the path's last element has a type.
BOOL HasNoteExtension(LPCWSTR path);

// The path's top folder (up to its second backslash) is a folder with the temporary
// attribute, as storage cards are on the device.
BOOL IsOnStorageCard(LPCWSTR path);
// Where the attribute cannot be trusted (Wine keeps none on folders) a test names
// the cards: the test gets the top folder ("\Storage Card"). Null: the attribute.
typedef BOOL (*PFN_STORAGE_CARD_TEST)(LPCWSTR topFolder);
PFN_STORAGE_CARD_TEST SetStorageCardTest(PFN_STORAGE_CARD_TEST test);

// A recording's length in milliseconds from the first bytes of its file (at least
// 38 of them) and its size: "WAVEfmt" at offset 8, the average bytes per second at
// offset 28; computed in 64 bits with the 10 ms grain of the format and held to 32
// bits. 0 for anything else.
DWORD VoiceDurationFromHeader(const BYTE* bytes, size_t count, DWORD fileSize);
// The same read from the file (opened shared for reading and writing); 0 when it
// cannot be read.
DWORD ReadVoiceDuration(LPCWSTR path, DWORD fileSize);

// What a note is read from: the device's find data (which carries the file's object
// identifier; the desktop's does not).
struct NOTE_FIND_DATA {
  DWORD attributes = 0;
  FILETIME lastWrite = {};
  DWORD sizeHigh = 0;
  DWORD sizeLow = 0;
  DWORD objectId = static_cast<DWORD>(-1);
  WCHAR fileName[MAX_PATH] = {};
};

class CNoteFile : public CRefObject {
 public:
  // A counted empty record (one reference held by the caller), or null.
  static CNoteFile* New();

  // Takes the file of the find data (its name a full path when folder is null) in the
  // folder. Refused: hidden files, names without a note extension. The folder entry
  // is registered with the collection (registerFolder) or looked up in its paths
  // (files: null for the process's collection).
  BOOL Read(const NOTE_FIND_DATA& data, LPCWSTR folder, BOOL registerFolder, CNoteFiles* files = nullptr);
  // Finds the file by its full path and reads it; FALSE (and the cached texts
  // cleared) when it is not there.
  BOOL ReadPath(LPCWSTR path, CNoteFiles* files = nullptr);

  NOTE_FOLDER* folder = nullptr;  // not owned; null: no path entry
  double modified = 0;            // local time, variant date
  CString folderPath;             // without the trailing backslash
  CString fullPath;
  CString name;                   // without folder and extension
  DWORD size = 0;                 // low 32 bits of the file size
  DWORD sizeValue = 0;            // the size, or a voice note's duration in ms
  int type = NOTE_TYPE_NONE;
  BOOL onStorageCard = FALSE;
  DWORD objectId = static_cast<DWORD>(-1);
  CString dateText;  // built on first use by the row
  CString sizeText;
  // Set by the tab's search: the match in the name, and whether it reads right to left.
  int matchStart = 0;
  int matchLength = 0;
  BOOL matchFlag = FALSE;

  // The extension after the last '.' of the full path (empty when none).
  CString GetExtension() const;

 private:
  CNoteFile() = default;
};
