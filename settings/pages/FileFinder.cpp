#include "settings/pages/FileFinder.h"

#include <cwchar>

CString CFileFinder::AcceptedName(LPCWSTR name, BOOL folder) {
  if (!name || !name[0] || name[0] == L'.') return CString();
  if (folder) return CString(name);
  const wchar_t* dot = std::wcschr(name, L'.');
  if (!dot || ::lstrcmpiW(dot + 1, L"zip") != 0) return CString();
  return CString(name).Left(static_cast<int>(dot - name));
}

CString CFileFinder::FindFirst(LPCWSTR folder) {
  Close();
  CString pattern(folder ? folder : L"");
  if (!pattern.IsEmpty() && pattern[pattern.GetLength() - 1] != L'\\') pattern += L"\\";
  pattern += L"*.*";
  m_search = ::FindFirstFileW(pattern, &m_data);
  return Scan(TRUE);
}

CString CFileFinder::FindNext() { return Scan(FALSE); }

CString CFileFinder::Scan(BOOL first) {
  if (m_search == INVALID_HANDLE_VALUE) return CString();
  BOOL have = first;
  for (;;) {
    if (!have && !::FindNextFileW(m_search, &m_data)) break;
    have = FALSE;
    // The find data's name is bounded by its array; terminate it whatever came back.
    m_data.cFileName[MAX_PATH - 1] = L'\0';
    CString name = AcceptedName(m_data.cFileName, (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    if (!name.IsEmpty()) return name;
  }
  Close();
  return CString();
}

void CFileFinder::Close() {
  if (m_search != INVALID_HANDLE_VALUE) ::FindClose(m_search);
  m_search = INVALID_HANDLE_VALUE;
}
