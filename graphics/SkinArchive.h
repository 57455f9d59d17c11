// CSkinArchive: named .bmp files read from a folder or from a .zip file, one or
// the other (never a fallback between them), with a cache of decoded bitmaps.
// The skin keeps the process-wide one; tab icons and key layouts open their own.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/unzip/unzip.h"
#include "platform/windowlib/String.h"

class CSkinArchive {
 public:
  // The longest path Open takes and the longest member name, in characters.
  static constexpr int kMaxPath = 260;
  static constexpr int kMaxName = 260;
  // Members are read from a .zip in pieces of this size.
  static constexpr unsigned kReadChunk = 10240;

  CSkinArchive();
  virtual ~CSkinArchive();
  CSkinArchive(const CSkinArchive&) = delete;
  CSkinArchive& operator=(const CSkinArchive&) = delete;

  // The archive of the current skin: built on first call, destroyed at exit.
  static CSkinArchive& Instance();

  // How a whole member asked for without the cache comes out of LoadDib: the
  // library always gets a 24-bit top-down section; the options program takes the
  // member's section in its own format. Set once at program start.
  static void SetWholeDibInMemberFormat(BOOL memberFormat);
  static BOOL IsWholeDibInMemberFormat();

  // A folder (a trailing "\" is added when missing) or a .zip file, opened unless
  // noZip. Refuses a null, empty or missing path or one of more than kMaxPath
  // characters, leaving what was open as it was; otherwise what was open is
  // closed first. TRUE when a folder or a .zip is then open.
  BOOL Open(LPCWSTR path, BOOL noZip = FALSE);
  BOOL SetPath(LPCWSTR path, BOOL noOpen = FALSE) { return Open(path, noOpen); }
  // Closes the .zip and forgets the folder; the cache stays until ClearCache.
  void Close();
  BOOL IsOpen() const { return m_folder || m_zip; }
  BOOL IsFolder() const { return m_folder; }
  // As given to the last Open that found it; a folder's ends with "\".
  LPCWSTR GetPath() const { return m_path; }

  // Names are 1 to kMaxName characters; any other is refused by every operation.
  // A .zip member is found by its whole stored name, ignoring ASCII case.
  // Size in bytes; 0 when missing.
  DWORD GetFileSize(LPCWSTR name);
  // The whole member into buffer; FALSE when it is missing or does not fit.
  BOOL ReadFile(LPCWSTR name, void* buffer, DWORD bufferSize);
  // The whole member in a LocalAlloc block the caller frees with LocalFree, and its size.
  BYTE* ReadMember(LPCWSTR name, DWORD* size);
  // The folder path followed by the name.
  CString MakePath(LPCWSTR name) const;

  // The files of the open archive in its own order: a .zip's entries (their
  // stored names, folder parts included), a folder's files of "*.*" that are no
  // folders and do not begin with ".". 0 when nothing is open.
  int GetFileCount();
  // Entry index into buffer (emptied first); FALSE when there is no such entry or
  // its name and terminator do not fit size characters.
  BOOL GetFileName(int index, LPWSTR buffer, int size);

  // A screen-compatible bitmap (GetBitmap, LoadBitmap) or a DIB section (the Dib
  // forms, with its pixels through bits) of a .bmp member.
  //
  // The cache: with cached the member is decoded once and kept; without it a name
  // already in the cache still comes from there. GetBitmap and GetDibSection
  // answer the cache's own bitmap for a cached name; otherwise a new one, the
  // caller's with keep, else the archive's "last bitmap" that lives until the
  // next load.
  HBITMAP GetBitmap(LPCWSTR name, BOOL cached, BOOL keep);
  HBITMAP GetDibSection(LPCWSTR name, BOOL cached, BOOL keep, void** bits);
  // A new bitmap the caller owns: the member, or its part from (srcX, srcY) of the
  // given size (-1: the member's own width or height).
  HBITMAP LoadBitmap(LPCWSTR name, int srcX, int srcY, int width, int height, BOOL cached);
  // The same as a 24-bit top-down DIB section (see SetWholeDibInMemberFormat).
  HBITMAP LoadDib(LPCWSTR name, int srcX, int srcY, int width, int height, void** bits, BOOL cached);
  HBITMAP LoadDibSection(LPCWSTR name, int srcX, int srcY, int width, int height, void** bits, BOOL cached) {
    return LoadDib(name, srcX, srcY, width, height, bits, cached);
  }
  // Deletes every cached bitmap.
  void ClearCache();

 private:
  struct CacheEntry;
  struct Source;

  CacheEntry* FindEntry(LPCWSTR name) const;
  Source Fetch(LPCWSTR name, BOOL cached, BOOL dib);
  HBITMAP Take(LPCWSTR name, BOOL cached, BOOL keep, BOOL dib, void** bits);
  HBITMAP Load(LPCWSTR name, int srcX, int srcY, int width, int height, BOOL cached, BOOL dib, void** bits);
  HBITMAP ReadDib(LPCWSTR name, void** bits);
  BOOL ReadInto(LPCWSTR name, BYTE* buffer, DWORD bufferSize, DWORD* read);
  BOOL OpenZipMember(LPCWSTR name, DWORD* size);
  void SetLastBitmap(HBITMAP bitmap);

  unzFile m_zip;
  // Room for a kMaxPath folder path, the backslash it may get and the terminator.
  WCHAR m_path[kMaxPath + 2];
  BOOL m_folder;
  std::vector<CacheEntry*> m_cache;
  HBITMAP m_lastBitmap;
};

// The options program's name for the skin's archive.
inline CSkinArchive& GetSkinArchive() { return CSkinArchive::Instance(); }

// A DIB section made from the bytes of a whole .bmp file (any format the platform's
// CreateDIBSection takes), its pixels through bits; null when the header or the
// pixels do not lie within the bytes.
HBITMAP DibFromBmpBytes(const BYTE* bytes, DWORD size, void** bits);
inline HBITMAP BmpBytesToDibSection(const BYTE* bytes, DWORD size, void** bits) {
  return DibFromBmpBytes(bytes, size, bits);
}

// A copy of the part of source from (srcX, srcY) of the given size (-1: the
// source's own): a 24-bit top-down DIB section (its pixels through bits) or a
// bitmap compatible with the screen.
HBITMAP CopyBitmapPart(HBITMAP source, int srcX, int srcY, int width, int height, BOOL dib, void** bits);
// A screen-compatible copy of a bitmap.
HBITMAP ToCompatibleBitmap(HBITMAP source);
