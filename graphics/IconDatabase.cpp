#include "graphics/IconDatabase.h"

#include <cstring>
#include <string>

#include "base/InstallPath.h"
#include "base/MD5.h"
#include "base/ScreenDpi.h"

namespace {

BOOL g_optionsRules = FALSE;

DWORD ReadU32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (DWORD(p[3]) << 24); }

// The files of folder matching "*.bmp" that are no folders and do not begin with
// "."; FALSE when the search found nothing at all.
BOOL ListBitmaps(LPCWSTR folder, std::vector<CString>& paths) {
  CString base(folder ? folder : L"");
  EnsureTrailingBackslash(base);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(base + L"*.bmp", &found);
  if (find == INVALID_HANDLE_VALUE) return FALSE;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.')
      paths.push_back(base + found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return TRUE;
}

BOOL LoadSmallIcon(LPCWSTR path, CKeyedBitmap& icon) {
  if (!icon.LoadFile(path)) return FALSE;
  const SIZE size = icon.GetSize();
  if (size.cx > ScaleX(CIconDatabase::kMaxIconSize) || size.cy > ScaleY(CIconDatabase::kMaxIconSize)) {
    icon.Free();
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void CIconDatabase::SetOptionsProgramRules(BOOL options) { g_optionsRules = options; }
BOOL CIconDatabase::IsOptionsProgramRules() { return g_optionsRules; }

CIconDatabase::CIconDatabase() : m_prepared(FALSE), m_file(INVALID_HANDLE_VALUE), m_mapping(nullptr), m_view(nullptr) {}

CIconDatabase::~CIconDatabase() { Close(); }

BOOL CIconDatabase::ParseGroups(const BYTE* data, DWORD size, std::vector<FileGroup>& groups) {
  groups.clear();
  if (!data || size < 4) return FALSE;
  const DWORD count = ReadU32(data);
  // Every group needs at least 4 bytes of name and 4 of digest count.
  if (count > (size - 4) / 8) return FALSE;
  std::vector<FileGroup> found(count);
  DWORD pos = 4;
  for (DWORD i = 0; i < count; ++i) {
    const DWORD start = pos;
    DWORD end = start;
    while (true) {
      if (size - end < 2) return FALSE;
      if (data[end] == 0 && data[end + 1] == 0) break;
      end += 2;
    }
    const int length = static_cast<int>((end - start) / 2);
    std::wstring text(size_t(length), L'\0');
    if (length) std::memcpy(&text[0], data + start, size_t(length) * 2);
    found[i].name = text.c_str();
    pos = end + 2;
    pos = (pos + 3) & ~DWORD(3);
    if (pos > size) return FALSE;
  }
  for (DWORD i = 0; i < count; ++i) {
    if (size - pos < 4) return FALSE;
    const DWORD digests = ReadU32(data + pos);
    pos += 4;
    if (digests > (size - pos) / 16) return FALSE;
    found[i].digestCount = digests;
    found[i].digests = data + pos;
    pos += digests * 16;
  }
  groups.swap(found);
  return TRUE;
}

BOOL CIconDatabase::Open(LPCWSTR path) {
  Close();
  CString file;
  if (path)
    file = path;
  else
    GetInstallPath(file, L"icons.dat");
  m_file = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD high = 0;
  const DWORD size = GetFileSize(m_file, &high);
  if (size != INVALID_FILE_SIZE && !high && size)
    m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (m_mapping) m_view = static_cast<const BYTE*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
  if (!m_view || !ParseGroups(m_view, size, m_fileGroups)) {
    Close();
    return FALSE;
  }
  return TRUE;
}

void CIconDatabase::Close() {
  if (m_view) UnmapViewOfFile(m_view);
  if (m_mapping) CloseHandle(m_mapping);
  if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  m_view = nullptr;
  m_mapping = nullptr;
  m_file = INVALID_HANDLE_VALUE;
  m_fileGroups.clear();
  m_groups.clear();
  m_prepared = FALSE;
}

void CIconDatabase::ResetGroups() {
  m_groups.clear();
  m_groups.emplace_back(new CIconCategory(L"Other Icons"));
  for (FileGroup& group : m_fileGroups) group.displayGroup = -1;
  m_cache.clear();
  m_prepared = TRUE;
}

int CIconDatabase::FindDigest(const BYTE digest[16]) const {
  for (size_t i = 0; i < m_fileGroups.size(); ++i) {
    const FileGroup& group = m_fileGroups[i];
    for (DWORD d = 0; d < group.digestCount; ++d)
      if (std::memcmp(group.digests + d * 16, digest, 16) == 0) return static_cast<int>(i);
  }
  return -1;
}

const CIconDatabase::FileGroup* CIconDatabase::GetFileGroup(int index) const {
  return index >= 0 && index < GetFileGroupCount() ? &m_fileGroups[size_t(index)] : nullptr;
}

CIconCategory* CIconDatabase::GetGroup(int index) const {
  return index >= 0 && index < GetGroupCount() ? m_groups[size_t(index)].get() : nullptr;
}

BOOL CIconDatabase::DigestFile(LPCWSTR path, BYTE digest[16]) {
  // Read sharing: an icon another reader holds open is still digested, and the
  // load that follows (a second open of the same file) is never refused. Every
  // handle is closed again before that load anyway.
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  BOOL done = FALSE;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  if (size && size != INVALID_FILE_SIZE && !high) {
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping) {
      const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
      if (view) {
        MD5_CTX context;
        MD5Init(&context);
        MD5Update(&context, view, size);
        MD5Final(&context, digest);
        UnmapViewOfFile(view);
        done = TRUE;
      }
      CloseHandle(mapping);
    }
  }
  CloseHandle(file);
  return done;
}

BOOL CIconDatabase::FolderHasIcons(LPCWSTR folder) {
  if (!folder || !*folder) return FALSE;
  std::vector<CString> paths;
  ListBitmaps(folder, paths);
  for (const CString& path : paths) {
    CKeyedBitmap icon;
    if (LoadSmallIcon(path, icon)) return TRUE;
  }
  return FALSE;
}

int CIconDatabase::AddToGroup(int fileGroup, CKeyedBitmap& icon, LPCWSTR path) {
  int display = 0;
  if (fileGroup >= 0) {
    FileGroup& group = m_fileGroups[size_t(fileGroup)];
    if (group.displayGroup < 0) {
      m_groups.emplace_back(new CIconCategory(group.name));
      group.displayGroup = GetGroupCount() - 1;
    }
    display = group.displayGroup;
  }
  m_groups[size_t(display)]->Add(icon, path);
  return display;
}

int CIconDatabase::ClassifyFolder(LPCWSTR folder) {
  if (!m_prepared) ResetGroups();
  const CString key(folder ? folder : L"");
  for (const CachedFolder& cached : m_cache)
    if (cached.folder.Compare(key) == 0) return cached.count;
  std::vector<CString> paths;
  if (!ListBitmaps(key, paths) && g_optionsRules) return 0;
  int count = 0;
  for (const CString& path : paths) {
    BYTE digest[16];
    if (!DigestFile(path, digest)) continue;
    const int fileGroup = FindDigest(digest);
    CKeyedBitmap icon;
    if (!LoadSmallIcon(path, icon)) continue;
    ++count;
    AddToGroup(fileGroup, icon, path);
  }
  m_cache.push_back({key, count});
  return count;
}
