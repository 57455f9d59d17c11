#include "tabs/contacts/tests/PellamTestSupport.h"

namespace {

template <typename T>
T Export(HMODULE module, const char* name) {
  return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::wstring ProgramFolder() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe, n);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return folder;
}

}  // namespace

CPellamDevice::CPellamDevice(Library library) {
  m_library = static_cast<LPCWSTR>(CPellamScheduled::GetLibraryPath());
  m_windows = m_library.substr(0, m_library.find_last_of(L'\\'));
  CreateDirectoryW(m_windows.c_str(), nullptr);
  DeleteFileW(m_library.c_str());
  switch (library) {
    case kStandIn:
      CopyFileW((ProgramFolder() + L"optional\\pellam\\QelPellamScheduledAPI.dll").c_str(), m_library.c_str(), FALSE);
      m_held = LoadLibraryW(m_library.c_str());
      break;
    case kWithoutEntryPoints:
      // A real library that is not the finance program's.
      CopyFileW((ProgramFolder() + L"pimutil.dll").c_str(), m_library.c_str(), FALSE);
      break;
    case kNoLibrary: {
      HANDLE file = CreateFileW(m_library.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, "MZ not a library", 16, &written, nullptr);
        CloseHandle(file);
      }
      break;
    }
    case kNone:
      break;
  }
}

CPellamDevice::~CPellamDevice() {
  if (m_held) FreeLibrary(m_held);
  DeleteFileW(m_library.c_str());
  DeleteFileW((m_windows + L"\\QelPellamScheduled.txt").c_str());
}

void CPellamDevice::WriteSchedule(const std::string& bytes) {
  HANDLE file = CreateFileW((m_windows + L"\\QelPellamScheduled.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  // A time of its own for every write: the stand-in reads a file again when it changed.
  FILETIME stamp;
  GetSystemTimeAsFileTime(&stamp);
  stamp.dwLowDateTime += static_cast<DWORD>(++m_writes);
  SetFileTime(file, nullptr, nullptr, &stamp);
  CloseHandle(file);
}

int CPellamDevice::AskedCount() const {
  auto count = Export<int(WINAPI*)()>(m_held, "PellamTestGetAskedCount");
  return count ? count() : -1;
}

int CPellamDevice::AskedDay(int index) const {
  auto day = Export<int(WINAPI*)(int)>(m_held, "PellamTestGetAskedDay");
  return day ? day(index) : -1;
}

int CPellamDevice::RunCount() const {
  auto runs = Export<int(WINAPI*)()>(m_held, "PellamTestGetRunCount");
  return runs ? runs() : -1;
}

void CPellamDevice::ResetRecord() const {
  if (auto reset = Export<void(WINAPI*)()>(m_held, "PellamTestReset")) reset();
}
