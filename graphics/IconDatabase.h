// CIconDatabase: sorts the .bmp icons of icon-set folders into named groups. The
// groups come from "icons.dat" in the install folder (u32 N; N zero-terminated
// UTF-16 names, each followed by padding to a multiple of 4 bytes from the start
// of the file; then N lists of u32 M and M 16-byte MD5 digests of whole icon
// files). Icons no group lists go to group 0, "Other Icons".
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "graphics/IconCategory.h"
#include "platform/windowlib/String.h"

class CIconDatabase {
 public:
  // A group of the file: its name as stored (its display group shows it
  // translated) and its digests inside the view.
  struct FileGroup {
    CString name;
    DWORD digestCount = 0;
    const BYTE* digests = nullptr;
    int displayGroup = -1;
  };

  // The largest icon taken, in logical pixels each way.
  static constexpr int kMaxIconSize = 30;

  CIconDatabase();
  virtual ~CIconDatabase();
  CIconDatabase(const CIconDatabase&) = delete;
  CIconDatabase& operator=(const CIconDatabase&) = delete;

  // The options program keeps no count for a folder without any .bmp (it is
  // searched again next time); the library keeps it like any other.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL IsOptionsProgramRules();

  // Maps "icons.dat" of the install folder, or path, read-only. FALSE (and no
  // file groups) when it cannot be opened or mapped, or when any count or name
  // runs past its end: a damaged file is treated as absent.
  BOOL Open(LPCWSTR path = nullptr);
  // Unmaps; drops the file groups and the display groups. The folder cache stays
  // until the next ResetGroups.
  void Close();
  BOOL IsOpen() const { return m_view != nullptr; }

  // The groups of a whole file's bytes; FALSE (groups emptied) when a count or
  // a name runs past size. The groups point into data.
  static BOOL ParseGroups(const BYTE* data, DWORD size, std::vector<FileGroup>& groups);

  // Drops every display group, makes group 0 "Other Icons", forgets which file
  // group has a display group and empties the folder cache.
  void ResetGroups();
  BOOL IsPrepared() const { return m_prepared; }
  // Adds the icons of folder's .bmp files to the display groups and returns how
  // many it holds; a folder already classified since the last reset (same text,
  // case-sensitive) answers its count again and adds nothing.
  int ClassifyFolder(LPCWSTR folder);
  // The first file group, in file order, that lists digest; -1 for none.
  int FindDigest(const BYTE digest[16]) const;

  int GetFileGroupCount() const { return static_cast<int>(m_fileGroups.size()); }
  const FileGroup* GetFileGroup(int index) const;
  int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
  // Null outside the groups.
  CIconCategory* GetGroup(int index) const;

  // The MD5 of a whole file read through a mapping (opened with read sharing);
  // FALSE when it cannot be opened or mapped, or is empty. The file is closed
  // again before this returns.
  static BOOL DigestFile(LPCWSTR path, BYTE digest[16]);
  // Whether folder holds a .bmp that loads and is at most kMaxIconSize each way.
  static BOOL FolderHasIcons(LPCWSTR folder);

 private:
  struct CachedFolder {
    CString folder;
    int count;
  };

  int AddToGroup(int fileGroup, CKeyedBitmap& icon, LPCWSTR path);

  BOOL m_prepared;
  HANDLE m_file;
  HANDLE m_mapping;
  const BYTE* m_view;
  std::vector<FileGroup> m_fileGroups;
  std::vector<CachedFolder> m_cache;
  std::vector<std::unique_ptr<CIconCategory>> m_groups;
};
