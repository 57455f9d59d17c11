// One directory search at a time over a folder: its sub-folders by name and its
// ".zip" files by the name before the extension. Names beginning with "." and every
// other file are passed over.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CFileFinder {
 public:
  CFileFinder() = default;
  ~CFileFinder() { Close(); }
  CFileFinder(const CFileFinder&) = delete;
  CFileFinder& operator=(const CFileFinder&) = delete;

  // Closes any open search and starts one over the folder; the first name, or an
  // empty text (and the search closed) when there is none.
  CString FindFirst(LPCWSTR folder);
  // The next name; an empty text at the end, the search then closed.
  CString FindNext();
  void Close();

  // The name an entry lists as, or an empty text when it is not listed: a folder
  // whole, a file whose text after the first "." is "zip" in any case without it.
  static CString AcceptedName(LPCWSTR name, BOOL folder);

 private:
  CString Scan(BOOL first);

  HANDLE m_search = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW m_data = {};
};
