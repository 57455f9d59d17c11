// Another PIM program as a stand-in: it shows nothing and appends the arguments it
// was started with, as one line, to "\Windows\<its name>.log" of the device (the
// name without ".exe", in lower case).
#include <windows.h>

#include <cwctype>
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

// The command line without the program's own name when it comes first (the desktop
// convention; the device passes the arguments alone).
std::wstring Arguments(const wchar_t* cmd, const std::wstring& self) {
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
  if (first.empty() || _wcsicmp(BaseName(first).c_str(), self.c_str()) != 0) return start;
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = BaseName(path);
  std::wstring log = self;
  for (wchar_t& c : log) c = static_cast<wchar_t>(towlower(c));
  return CDeviceLog::Append((log + L".log").c_str(), Arguments(GetCommandLineW(), self)) ? 0 : 1;
}
