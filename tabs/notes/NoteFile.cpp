#include "tabs/notes/NoteFile.h"

#include <wchar.h>

#include <new>

#include "base/DateTime.h"
#include "platform/aygshell/aygshell.h"
#include "tabs/notes/NoteFiles.h"

namespace {

struct ExtensionType {
  const wchar_t* extension;
  int type;
};
const ExtensionType kTypes[] = {
    {L"txt", NOTE_TYPE_TEXT}, {L"wav", NOTE_TYPE_VOICE},     {L"psw", NOTE_TYPE_WORD},
    {L"doc", NOTE_TYPE_WORD}, {L"pwi", NOTE_TYPE_INK},       {L"rtf", NOTE_TYPE_RICH_TEXT},
    {L"pmi", NOTE_TYPE_PICTURE}, {L"xls", NOTE_TYPE_SHEET},  {L"pxl", NOTE_TYPE_SHEET},
};

PFN_STORAGE_CARD_TEST g_cardTest = nullptr;

const size_t kVoiceHeader = 38;

DWORD ReadLittle32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}

// The text after the last '.' of the last element; null when there is none.
LPCWSTR ExtensionOf(LPCWSTR path) {
  if (!path) return nullptr;
  LPCWSTR element = path;
  for (LPCWSTR p = path; *p; ++p)
    if (*p == L'\\' || *p == L'/') element = p + 1;
  LPCWSTR dot = wcsrchr(element, L'.');
  return dot ? dot + 1 : nullptr;
}

}  // namespace

int NoteTypeFromExtension(LPCWSTR extension) {
  if (!extension || !*extension) return NOTE_TYPE_NONE;
  for (const ExtensionType& row : kTypes)
    if (_wcsicmp(row.extension, extension) == 0) return row.type;
  return NOTE_TYPE_NONE;
}

BOOL HasNoteExtension(LPCWSTR path) { return NoteTypeFromExtension(ExtensionOf(path)) != NOTE_TYPE_NONE; }

PFN_STORAGE_CARD_TEST SetStorageCardTest(PFN_STORAGE_CARD_TEST test) {
  PFN_STORAGE_CARD_TEST previous = g_cardTest;
  g_cardTest = test;
  return previous;
}

BOOL IsOnStorageCard(LPCWSTR path) {
  if (!path || path[0] != L'\\') return FALSE;
  LPCWSTR end = wcschr(path + 1, L'\\');
  const CString top = end ? CString(path, static_cast<int>(end - path)) : CString(path);
  if (top.GetLength() < 2) return FALSE;
  if (g_cardTest) return g_cardTest(top);
  const DWORD attributes = GetFileAttributesW(top);
  const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & card) == card;
}

DWORD VoiceDurationFromHeader(const BYTE* bytes, size_t count, DWORD fileSize) {
  if (!bytes || count < kVoiceHeader || fileSize < kVoiceHeader) return 0;
  if (memcmp(bytes + 8, "WAVEfmt", 7) != 0) return 0;
  const DWORD average = ReadLittle32(bytes + 28);
  if (average == 0) return 0;
  // The product of size and 100 needs more than 32 bits beyond some 42 MB.
  const unsigned long long duration = static_cast<unsigned long long>(fileSize) * 100 / average * 10;
  return duration > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(duration);
}

DWORD ReadVoiceDuration(LPCWSTR path, DWORD fileSize) {
  if (!path || fileSize < kVoiceHeader) return 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BYTE header[kVoiceHeader] = {};
  DWORD read = 0;
  const BOOL ok = ReadFile(file, header, sizeof header, &read, nullptr);
  CloseHandle(file);
  return ok ? VoiceDurationFromHeader(header, read, fileSize) : 0;
}

CNoteFile* CNoteFile::New() {
  CNoteFile* note = new (std::nothrow) CNoteFile;
  if (note) note->CRefObjectCounted();
  return note;
}

CString CNoteFile::GetExtension() const {
  LPCWSTR extension = ExtensionOf(fullPath);
  return extension ? CString(extension) : CString();
}

BOOL CNoteFile::Read(const NOTE_FIND_DATA& data, LPCWSTR folderName, BOOL registerFolder, CNoteFiles* files) {
  if (data.attributes & FILE_ATTRIBUTE_HIDDEN) return FALSE;
  if (!files) files = &CNoteFiles::Instance();
  // The name field may hold a full path that fills it: take at most its length.
  const CString fileName(data.fileName, static_cast<int>(wcsnlen(data.fileName, MAX_PATH)));
  if (folderName && *folderName) {
    fullPath = folderName;
    if (fullPath[fullPath.GetLength() - 1] != L'\\') fullPath += L'\\';
    fullPath += fileName;
  } else {
    fullPath = fileName;
  }
  const int slash = fullPath.ReverseFind(L'\\');
  const int dot = fullPath.ReverseFind(L'.');
  // The dot must not open the name: ".pwi" is no note.
  if (dot <= slash + 1) return FALSE;
  type = NoteTypeFromExtension(static_cast<LPCWSTR>(fullPath) + dot + 1);
  if (type == NOTE_TYPE_NONE) return FALSE;
  folderPath = slash >= 0 ? fullPath.Left(slash) : CString();
  name = fullPath.Mid(slash + 1, dot - slash - 1);
  objectId = data.objectId;
  onStorageCard = IsOnStorageCard(fullPath);
  FILETIME local;
  modified = 0;
  if (FileTimeToLocalFileTime(&data.lastWrite, &local)) FileTimeToVariantDate(local, &modified);
  size = data.sizeLow;
  sizeValue = type == NOTE_TYPE_VOICE ? ReadVoiceDuration(fullPath, size) : size;
  folder = nullptr;
  if (registerFolder) {
    // The documents folder of the file's volume holds the notes of the unnamed folder.
    CString volume(L"\\");
    if (onStorageCard) {
      const int end = fullPath.Find(L'\\', 1);
      volume = end > 0 ? fullPath.Left(end) : fullPath;
    }
    WCHAR documents[MAX_PATH + 1] = {};
    if (!SHGetDocumentsFolder(volume, documents)) documents[0] = 0;
    documents[MAX_PATH] = 0;
    const BOOL root = documents[0] && _wcsicmp(documents, folderPath) == 0;
    folder = files->AddFolder(folderPath, TRUE, root);
  } else {
    folder = files->FindPathFolder(folderPath);
  }
  return TRUE;
}

BOOL CNoteFile::ReadPath(LPCWSTR path, CNoteFiles* files) {
  WIN32_FIND_DATAW found;
  HANDLE find = path && *path ? FindFirstFileW(path, &found) : INVALID_HANDLE_VALUE;
  if (find == INVALID_HANDLE_VALUE) {
    dateText.Empty();
    sizeText.Empty();
    return FALSE;
  }
  FindClose(find);
  const size_t length = wcslen(path);
  if (length >= MAX_PATH) return FALSE;
  NOTE_FIND_DATA data;
  data.attributes = found.dwFileAttributes;
  data.lastWrite = found.ftLastWriteTime;
  data.sizeHigh = found.nFileSizeHigh;
  data.sizeLow = found.nFileSizeLow;
  wmemcpy(data.fileName, path, length + 1);
  return Read(data, nullptr, TRUE, files);
}
