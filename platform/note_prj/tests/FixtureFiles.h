// Files for tests of the file-system stand-ins: folder trees of a test's own under the
// temporary folder, and changes made by another program.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace fixture {

inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

inline bool WriteText(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
  return ok && written == strlen(text);
}

// Runs a command in another program (the system's command interpreter) and waits for it;
// false, with the reason on the error output, when it did not run to a clean end.
// Starting two programs can take seconds while many test programs run side by side.
inline bool RunOther(const std::wstring& command) {
  std::wstring line = L"cmd.exe /c " + command;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "RunOther: %ls: not started, error %lu\n", line.c_str(), GetLastError());
    return false;
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) std::fprintf(stderr, "RunOther: %ls: still running after two minutes\n", line.c_str());
  else if (code != 0) std::fprintf(stderr, "RunOther: %ls: exit code %lu\n", line.c_str(), code);
  return waited == WAIT_OBJECT_0 && code == 0;
}

// A folder of this test program's own under the temporary folder, removed afterwards.
class Scratch {
 public:
  explicit Scratch(const wchar_t* name) {
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~Scratch() { RemoveTree(path_); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

}  // namespace fixture
