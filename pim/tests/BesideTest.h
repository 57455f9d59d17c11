// Files the build puts beside the test program (helper programs, fixture libraries).
#pragma once
#include <windows.h>

#include <string>

inline std::wstring BesideTest(const wchar_t* name) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module);
  return path.substr(0, path.rfind(L'\\') + 1) + name;
}
