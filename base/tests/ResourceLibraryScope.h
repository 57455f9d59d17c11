#pragma once
// Test helper: a resource library beside the test program, loaded as data the way
// the programs load TarvoRes.Dll, and the module's resource instance while this lives.
#include <windows.h>

#include <string>

#include "platform/windowlib/Module.h"

class CResourceLibraryScope {
 public:
  explicit CResourceLibraryScope(const wchar_t* fileName = L"TarvoRes.Dll") {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file = path;
    file = file.substr(0, file.rfind(L'\\') + 1) + fileName;
    m_module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    m_previous = GetModule().SetResourceInstance(m_module);
  }
  ~CResourceLibraryScope() {
    GetModule().SetResourceInstance(m_previous);
    if (m_module) FreeLibrary(m_module);
  }
  CResourceLibraryScope(const CResourceLibraryScope&) = delete;
  CResourceLibraryScope& operator=(const CResourceLibraryScope&) = delete;

  HMODULE Module() const { return m_module; }
  bool Loaded() const { return m_module != nullptr; }

 private:
  HMODULE m_module;
  HINSTANCE m_previous;
};
