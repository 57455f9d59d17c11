#pragma once
// A line appended to a log file of the device ("\Windows\<name>" under the device root),
// for the stand-in programs that only report what they were asked to do.
#include <windows.h>

#include <string>

#include "platform/coredll/DeviceIdentity.h"

class CDeviceLog {
 public:
  static std::wstring Path(const wchar_t* name) {
    std::wstring root = CDeviceIdentity::Root();
    if (root.back() != L'\\') root += L'\\';
    return root + L"Windows\\" + name;
  }

  static bool Append(const wchar_t* name, const std::wstring& line) {
    std::wstring path = Path(name);
    CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    std::string bytes;
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    if (n > 0) {
      bytes.resize(n);
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], n, nullptr, nullptr);
    }
    bytes += "\r\n";
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    return ok;
  }
};
