#include "ondrel/OndrelLog.h"

#include <string>

#include "base/InstallPath.h"

void COndrelLog::Append(LPCWSTR line) {
  if (!line) return;
  CString path;
  GetModuleDirPath(path, L"Ondrel.log");
  std::wstring text = line;
  std::string bytes;
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n > 0) {
    bytes.resize(n);
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
  }
  bytes += "\r\n";
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}
