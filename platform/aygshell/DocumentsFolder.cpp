#include "platform/aygshell/aygshell.h"

#include <string>

namespace {
const wchar_t kDocuments[] = L"\\My Documents";
}

AYG_API BOOL WINAPI SHGetDocumentsFolder(LPCWSTR volume, LPWSTR documents) {
  if (!documents) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  documents[0] = L'\0';
  std::wstring root = volume ? volume : L"";
  while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
  if (!root.empty()) {
    // A storage card that is not there has no documents folder.
    DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return FALSE;
    }
  }
  std::wstring path = root + kDocuments;
  if (path.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  path.copy(documents, path.size());
  documents[path.size()] = L'\0';
  return TRUE;
}
