// The system mail program "\Windows\tmail.exe" as a stand-in: it shows nothing and
// appends the arguments it was started with, as one line, to "\Windows\tmail.log".
#include <windows.h>

#include <string>

#include "platform/cemapi/DeviceLog.h"

namespace {

std::wstring BaseName(std::wstring path) {
  size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos) path.erase(0, slash + 1);
  size_t dot = path.rfind(L'.');
  if (dot != std::wstring::npos && _wcsicmp(path.c_str() + dot, L".exe") == 0) path.erase(dot);
  return path;
}

// The device starts a program with its arguments alone as the command line
// (CreateProcessW("\Windows\tmail.exe", L"-sync", ...)); the desktop convention puts
// the program's name first. Both are taken: a first word naming this program is not
// an argument.
std::wstring Arguments(const wchar_t* cmd) {
  const wchar_t* p = cmd;
  while (*p == L' ' || *p == L'\t') ++p;
  const wchar_t* start = p;
  std::wstring first;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') first += *p++;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') first += *p++;
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (first.empty() || _wcsicmp(BaseName(first).c_str(), BaseName(self).c_str()) != 0) return start;
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  return CDeviceLog::Append(L"tmail.log", Arguments(GetCommandLineW())) ? 0 : 1;
}
