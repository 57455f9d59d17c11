// Contact photos: where a contact's photo is (the newer store's picture stream, or a
// file another program keeps: Agenda Fusion, Pocket Informant, the photo-contact
// folder, IA Caller ID) and the one 36 x 36 tile that rows, popups and the applet draw.
// Other programs' registry keys are only read: a missing key or value takes its
// default in memory and nothing is written into another program's settings.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CBitmapDC;
class CDib;
class CONTACT_ITEM;

const int kPhotoTileSize = 36;
const int kPhotoInnerSize = 34;

// The contact's photo state after looking it up once (2 becomes 0 or 1).
int FindContactPhoto(CONTACT_ITEM* contact);
// Loads the contact's picture and makes its tile; the placeholder when the picture
// cannot be decoded; null when the final copy fails.
CBitmapDC* BuildContactPhoto(CONTACT_ITEM* contact);
// The tile of a decoded picture (null source: the placeholder).
CBitmapDC* MakePhotoTile(CDib* source);
CBitmapDC* MakePhotoPlaceholder();
// The size a picture is resampled to before its centre block is taken, in logical
// pixels (wider than high: 34 high; else 34 wide).
SIZE PhotoResampleSize(int width, int height);

// The base path with ".jpg", ".gif", ".bmp" in that order: the first that exists.
BOOL ProbePhotoFile(const CString& basePath, CString& found);
// A folder with a backslash added when it is not empty and lacks one.
CString WithBackslash(const CString& folder);

// IA Caller ID's folders, worked out once per process: selector 1 folder A
// ("\Storage\Caller ID Photos\"), 0 folder B ("<My Documents>\Caller ID Photos\"), after
// the swap the program's "Values" asks for.
CString GetCallerIdFolder(int selector);
BOOL FindCallerIdPhoto(DWORD photoId, CString& path, int selector);
// The folders from the documents folder and the "Values" bytes (null: none).
void MakeCallerIdFolders(LPCWSTR documents, const BYTE* values, DWORD size, CString* folderA, CString* folderB);
// Forgets the kept folders (the next use works them out again).
void ResetCallerIdFolders();

// The photo-contact add-on's folder, when it is present (null: it is not).
typedef BOOL (*ContactPhotosFolderFn)(CString* folder);
void SetContactPhotosFolderSource(ContactPhotosFolderFn source);
// The PIM choice the lookup follows (null: COndrelClient's "CurrentPIM").
typedef int (*CurrentPimFn)();
void SetCurrentPimSource(CurrentPimFn source);

// CContactPhotos: the photo-contact add-on's folder, from the section "Photos" of
// "\Windows\PhotoContacts.ini" (read once, on first use; the section's first value is
// the folder, whatever the add-on names its key). Another program writes the file:
// nothing is written back.
class CContactPhotos {
 public:
  static CContactPhotos& Instance();
  CContactPhotos() = default;

  // Reads the file at a host path now, replacing what was read.
  BOOL Load(LPCWSTR path);
  // The file was read and the section found.
  BOOL IsAvailable() const { return m_available; }
  CString GetText() const { return m_text; }
  // The folder for the photo search (installed with SetContactPhotosFolderSource):
  // FALSE while the add-on's file gives none.
  static BOOL GetFolder(CString* folder);
  // The file's host path under the device root.
  static CString GetDefaultPath();

 private:
  BOOL m_loaded = FALSE;
  BOOL m_available = FALSE;
  CString m_text;
};
