#include "tabs/notes/NoteFiles.h"

#include <wchar.h>

#include <new>

#include "base/CeDbApi.h"
#include "platform/aygshell/aygshell.h"
#include "platform/note_prj/note_prj.h"

namespace {

// The notes library, bound by ordinal once and kept for the process.
struct NotesLibrary {
  typedef int(WINAPI* EnumProjectsFn)(PROJECTS_ENUMPROC_EX, DWORD, DWORD, LPARAM);
  typedef int(WINAPI* EnumFilesFn)(PROJECTSFILES_ENUMPROC_EX, DWORD, DWORD, LPCWSTR, LPCWSTR, LPARAM);
  typedef BOOL(WINAPI* IsItemPathFn)(LPCWSTR);
  EnumProjectsFn enumProjects = nullptr;
  EnumFilesFn enumFiles = nullptr;
  IsItemPathFn isItemPath = nullptr;

  static const NotesLibrary& Get() {
    static const NotesLibrary library = Bind();
    return library;
  }

 private:
  static NotesLibrary Bind() {
    NotesLibrary library;
    if (HMODULE module = LoadLibraryW(L"note_prj.dll")) {
      library.enumProjects = reinterpret_cast<EnumProjectsFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(21))));
      library.enumFiles = reinterpret_cast<EnumFilesFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(22))));
      library.isItemPath = reinterpret_cast<IsItemPathFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(39))));
    }
    return library;
  }
};

// A record's path, ended within the record; empty for anything else.
CString RecordPath(const PAstruct* record) {
  const size_t length = wcsnlen(record->m_szPathname, PA_MAX_PATHNAME);
  return length < PA_MAX_PATHNAME ? CString(record->m_szPathname, static_cast<int>(length)) : CString();
}

// What the object store says of an object identifier.
BOOL ObjectInfo(DWORD oid, CEOIDINFOEX& info) {
  info = CEOIDINFOEX();
  info.wVersion = CEOIDINFOEX_VERSION;
  CEGUID guid;
  CREATE_SYSTEMGUID(&guid);
  return GetCeDbApi()->OidGetInfo(&guid, oid, &info);
}

BOOL CALLBACK EnumFolder(PAstruct* record, LPARAM param) {
  auto* files = reinterpret_cast<CNoteFiles*>(param);
  if (!record || !files) return TRUE;
  if (record->m_IDtype != FILE_ID_TYPE_OID) {
    files->OnEnumFolder(RecordPath(record));
  } else {
    CEOIDINFOEX info;
    if (ObjectInfo(record->m_fileOID, info) && info.wObjType == OBJTYPE_DIRECTORY) {
      const WCHAR* name = info.infDirectory.szDirName;
      files->OnEnumFolder(CString(name, static_cast<int>(wcsnlen(name, MAX_PATH))));
    }
  }
  return TRUE;
}

BOOL CALLBACK EnumFile(PAstruct* record, LPARAM param) {
  auto* files = reinterpret_cast<CNoteFiles*>(param);
  if (!record || !files) return TRUE;
  if (record->m_IDtype != FILE_ID_TYPE_OID) {
    files->OnEnumFile(RecordPath(record), nullptr);
    return TRUE;
  }
  CEOIDINFOEX info;
  if (!ObjectInfo(record->m_fileOID, info) || info.wObjType != OBJTYPE_FILE) return TRUE;
  NOTE_FIND_DATA data;
  const size_t length = wcsnlen(info.infFile.szFileName, MAX_PATH);
  if (length >= MAX_PATH) return TRUE;
  wmemcpy(data.fileName, info.infFile.szFileName, length);
  data.fileName[length] = 0;
  data.attributes = info.infFile.dwAttributes;
  data.lastWrite = info.infFile.ftLastChanged;
  data.sizeLow = info.infFile.dwLength;
  data.objectId = record->m_fileOID;
  files->OnEnumFile(data.fileName, &data);
  return TRUE;
}

// The last element of a path ("" when it ends in a backslash or has none).
CString LastElement(const CString& path) {
  const int slash = path.ReverseFind(L'\\');
  return path.Mid(slash + 1);
}

}  // namespace

CNoteFiles& CNoteFiles::Instance() {
  static CNoteFiles files;
  return files;
}

CNoteFiles::~CNoteFiles() { Clear(); }

BOOL CNoteFiles::GetFirst(CNoteFile** note) {
  if (!note) return FALSE;
  *note = nullptr;
  if (!m_loaded && !Load()) return FALSE;
  m_cursor = 0;
  return GetNext(note);
}

BOOL CNoteFiles::GetNext(CNoteFile** note) {
  if (!note) return FALSE;
  *note = nullptr;
  if (m_cursor < 0 || m_cursor >= m_notes.GetSize()) return FALSE;
  *note = m_notes[m_cursor++];
  return TRUE;
}

BOOL CNoteFiles::StartNotifications() {
  SHCHANGENOTIFYENTRY entry = {kWatchedEvents, nullptr, TRUE};
  const BOOL registered = m_notifyWindow && SHChangeNotifyRegisterCE(m_notifyWindow, &entry);
  Clear();
  return registered;
}

void CNoteFiles::StopNotifications() {
  if (m_notifyWindow) SHChangeNotifyDeregisterCE(m_notifyWindow);
  Clear();
}

void CNoteFiles::AddListener(INoteFilesListener* listener) {
  if (listener && m_listeners.Find(listener) < 0) m_listeners.Add(listener);
}

void CNoteFiles::RemoveListener(INoteFilesListener* listener) {
  while (m_listeners.Remove(listener)) {
  }
}

CString CNoteFiles::GetFolderName(int index) const {
  return index >= 0 && index < m_folders.GetSize() ? m_folders[index]->name : CString();
}

BOOL CNoteFiles::GetFolderName(CString& out, int index) const {
  out = GetFolderName(index);
  return index >= 0 && index < m_folders.GetSize();
}

int CNoteFiles::GetFolderData(int index) const {
  return index >= 0 && index < m_folders.GetSize() ? m_folders[index]->count : 0;
}

int CNoteFiles::FindFolder(LPCWSTR name, int* insertAt) const {
  const LPCWSTR key = name ? name : L"";
  int low = 0, high = m_folders.GetSize();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (wcscmp(m_folders[middle]->name, key) < 0)
      low = middle + 1;
    else
      high = middle;
  }
  if (insertAt) *insertAt = low;
  return low < m_folders.GetSize() && wcscmp(m_folders[low]->name, key) == 0 ? low : -1;
}

CString CNoteFiles::GetFolderPath(LPCWSTR name) const {
  const LPCWSTR key = name ? name : L"";
  for (int i = 0; i < m_paths.GetSize(); ++i)
    if (m_paths[i].folder && wcscmp(m_paths[i].folder->name, key) == 0) return m_paths[i].path;
  return CString();
}

BOOL CNoteFiles::GetFolderOfPath(CString& out, LPCWSTR name) const {
  out = GetFolderPath(name);
  return !out.IsEmpty();
}

BOOL CNoteFiles::IsFolderShown(LPCWSTR path, BOOL isFile) const {
  CString folder(path);
  if (isFile) {
    const int slash = folder.ReverseFind(L'\\');
    folder = slash >= 0 ? folder.Left(slash) : CString();
  }
  CString element = LastElement(folder);
  element.MakeLower();
  return m_hiddenFolders.Find(element) < 0;
}

BOOL CNoteFiles::IsVisibleNoteFile(LPCWSTR path) const {
  if (!path || !HasNoteExtension(path)) return FALSE;
  const NotesLibrary& library = NotesLibrary::Get();
  if (!library.isItemPath || !library.isItemPath(path)) return FALSE;
  const DWORD attributes = GetFileAttributesW(path);
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_HIDDEN);
}

NOTE_FOLDER* CNoteFiles::AddFolder(LPCWSTR path, BOOL knownFolder, BOOL documentsRoot) {
  const CString folderPath(path);
  CString name;
  if (!documentsRoot) {
    name = LastElement(folderPath);
    if (name.IsEmpty()) return nullptr;
  }
  if (knownFolder || documentsRoot) {
    const int known = FindPath(folderPath);
    if (known >= 0) return m_paths[known].folder;
  }
  int insertAt = 0;
  int index = FindFolder(name, &insertAt);
  NOTE_FOLDER* folder = nullptr;
  if (index >= 0) {
    folder = m_folders[index];
  } else {
    folder = new (std::nothrow) NOTE_FOLDER;
    if (!folder) return nullptr;
    folder->name = name;
    if (!m_folders.InsertAt(insertAt, folder)) {
      delete folder;
      return nullptr;
    }
  }
  if (!m_paths.Add(PathEntry{folderPath, folder})) {
    if (folder->refs == 0) ReleaseFolder(folder);
    return nullptr;
  }
  ++folder->refs;
  return folder;
}

NOTE_FOLDER* CNoteFiles::FindPathFolder(LPCWSTR path) const {
  const int index = FindPath(path);
  return index >= 0 ? m_paths[index].folder : nullptr;
}

int CNoteFiles::FindPath(LPCWSTR path) const {
  const LPCWSTR key = path ? path : L"";
  for (int i = 0; i < m_paths.GetSize(); ++i)
    if (wcscmp(m_paths[i].path, key) == 0) return i;
  return -1;
}

int CNoteFiles::FindNote(LPCWSTR path) const {
  const LPCWSTR key = path ? path : L"";
  for (int i = 0; i < m_notes.GetSize(); ++i)
    if (_wcsicmp(m_notes[i]->fullPath, key) == 0) return i;
  return -1;
}

void CNoteFiles::ReleaseFolder(NOTE_FOLDER* folder) {
  m_folders.Remove(folder);
  delete folder;
}

void CNoteFiles::Clear() {
  for (int i = 0; i < m_notes.GetSize(); ++i) {
    // Rows may keep a note beyond this: it must not point at a folder freed here.
    m_notes[i]->folder = nullptr;
    m_notes[i]->Release();
  }
  m_notes.RemoveAll();
  for (int i = 0; i < m_folders.GetSize(); ++i) delete m_folders[i];
  m_folders.RemoveAll();
  m_paths.RemoveAll();
  m_cursor = 0;
  m_loaded = FALSE;
}

BOOL CNoteFiles::Load() {
  m_hiddenFolders.Load(L"HiddenFolders");
  Clear();
  const NotesLibrary& library = NotesLibrary::Get();
  if (library.enumProjects)
    library.enumProjects(EnumFolder, 0, PRJ_ENUM_ALL_DEVICES, reinterpret_cast<LPARAM>(this));
  // The documents folder's own files belong to the unnamed folder: without the home
  // flag the library leaves them out.
  if (library.enumFiles)
    library.enumFiles(EnumFile, 0, PRJ_ENUM_ALL_DEVICES | PRJ_ENUM_ALL_PROJ | PRJ_ENUM_HOME_PROJ, nullptr, L"*.*",
                      reinterpret_cast<LPARAM>(this));
  m_loaded = TRUE;
  Prune();
  return TRUE;
}

void CNoteFiles::OnEnumFolder(LPCWSTR path) {
  if (path && *path && IsFolderShown(path, FALSE)) AddFolder(path, FALSE, FALSE);
}

void CNoteFiles::OnEnumFile(LPCWSTR path, const NOTE_FIND_DATA* known) {
  if (!path || !*path || !HasNoteExtension(path) || !IsFolderShown(path, TRUE)) return;
  NOTE_FIND_DATA data;
  if (known) {
    data = *known;
  } else {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &attributes) || attributes.nFileSizeHigh != 0) return;
    const size_t length = wcslen(path);
    if (length >= MAX_PATH) return;
    wmemcpy(data.fileName, path, length + 1);
    data.attributes = attributes.dwFileAttributes;
    data.lastWrite = attributes.ftLastWriteTime;
    data.sizeLow = attributes.nFileSizeLow;
  }
  if (data.sizeHigh != 0) return;
  CNoteFile* note = CNoteFile::New();
  if (!note) return;
  if (note->Read(data, nullptr, TRUE, this) && m_notes.Add(note)) {
    if (note->folder) ++note->folder->count;
  } else {
    note->Release();
  }
}

void CNoteFiles::Prune() {
  for (int i = m_paths.GetSize() - 1; i >= 0; --i) {
    NOTE_FOLDER* folder = m_paths[i].folder;
    if (folder && folder->count > 0) continue;
    m_paths.RemoveAt(i);
    if (folder && --folder->refs <= 0) ReleaseFolder(folder);
  }
}

void CNoteFiles::OnFileChange(LPCWSTR path, DWORD events) {
  if (!m_loaded || !path) return;
  if (events & kFolderEvents) {
    // A folder that never held notes going away changes nothing.
    if ((events & ~kFolderGoneEvents) == 0 && FindPath(path) < 0) return;
    Clear();
    CSimpleArray<INoteFilesListener*> listeners(m_listeners);
    for (int i = 0; i < listeners.GetSize(); ++i) listeners[i]->OnNoteAdded(nullptr, TRUE);
    return;
  }
  int index = FindNote(path);
  if ((events & kDeletedEvent) && index >= 0) {
    CNoteFile* note = m_notes[index];
    if (note->folder) --note->folder->count;
    m_notes.RemoveAt(index);
    CSimpleArray<INoteFilesListener*> listeners(m_listeners);
    for (int i = 0; i < listeners.GetSize(); ++i) listeners[i]->OnNoteRemoved(note, TRUE);
    note->Release();
    index = -1;
  }
  if (!(events & kWrittenEvents) || !IsFolderShown(path, TRUE)) return;
  CNoteFile* fresh = CNoteFile::New();
  if (!fresh) return;
  CSimpleArray<INoteFilesListener*> listeners(m_listeners);
  if (index < 0) {
    if (fresh->ReadPath(path, this) && m_notes.Add(fresh)) {
      if (fresh->folder) ++fresh->folder->count;
      for (int i = 0; i < listeners.GetSize(); ++i) listeners[i]->OnNoteAdded(fresh, TRUE);
    } else {
      fresh->Release();
    }
    return;
  }
  CNoteFile* old = m_notes[index];
  if (fresh->ReadPath(path, this)) {
    // The new record takes the old one's place and its count in the folder.
    if (old->folder) --old->folder->count;
    if (fresh->folder) ++fresh->folder->count;
    m_notes[index] = fresh;
    for (int i = 0; i < listeners.GetSize(); ++i) listeners[i]->OnNoteChanged(old, fresh);
  } else {
    if (old->folder) --old->folder->count;
    m_notes.RemoveAt(index);
    for (int i = 0; i < listeners.GetSize(); ++i) listeners[i]->OnNoteRemoved(old, TRUE);
    fresh->Release();
  }
  old->Release();
}
