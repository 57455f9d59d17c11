#include "platform/pimstore/tests/PimTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace pimtest {
namespace {

const wchar_t kChildSwitch[] = L"--pim-child";

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      else DeleteFileW(full.c_str());
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryW(dir.c_str());
}

std::wstring g_root;

class RootCleanup : public ::testing::Environment {
 public:
  void TearDown() override { RemoveTree(g_root); }
};

struct Startup {
  Startup() {
    std::wstring cmd = GetCommandLineW();
    size_t at = cmd.find(kChildSwitch);
    if (at != std::wstring::npos) {
      // "--pim-child JOB ARG"
      size_t job = cmd.find_first_not_of(L' ', at + wcslen(kChildSwitch));
      size_t jobEnd = cmd.find(L' ', job);
      std::wstring name = cmd.substr(job, jobEnd == std::wstring::npos ? std::wstring::npos : jobEnd - job);
      std::wstring arg = jobEnd == std::wstring::npos ? std::wstring() : cmd.substr(jobEnd + 1);
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      int code = ChildJob(name, arg);
      CoUninitialize();
      ExitProcess(static_cast<UINT>(code));
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    g_root = std::wstring(temp) + L"pimtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount());
    CreateDirectoryW(g_root.c_str(), nullptr);
    SetEnvironmentVariableW(L"CEDEVICE_ROOT", g_root.c_str());
    ::testing::AddGlobalTestEnvironment(new RootCleanup);
  }
} startup;

}  // namespace

void UseLayout(bool newer) {
  SetEnvironmentVariableW(L"CEDEVICE_PLATFORMTYPE", L"PocketPC");
  SetEnvironmentVariableW(L"CEDEVICE_VERSION", newer ? L"5.1" : L"4.21");
}

void ClearStores() {
  const wchar_t* names[] = {L"Appointments Database", L"Tasks Database", L"Contacts Database",
                            L"\\Categories Database", L"CategoryMainDB", L"CategoryAssocDB"};
  std::vector<CEGUID> volumes(1);
  CREATE_SYSTEMGUID(&volumes[0]);
  CEGUID cursor;
  CREATE_INVALIDGUID(&cursor);
  WCHAR name[MAX_PATH];
  while (CeEnumDBVolumes(&cursor, name, MAX_PATH))
    if (_wcsicmp(name, L"pim.vol") == 0) volumes.push_back(cursor);
  for (CEGUID& guid : volumes)
    for (const wchar_t* db : names) {
      CEOID oid = 0;
      HANDLE h = CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(db), nullptr, 0, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      CloseHandle(h);
      CeDeleteDatabaseEx(&guid, oid);
    }
}

IPOutlookApp* CreateApp() {
  IPOutlookApp* app = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, 0x17, IID_IPOutlookApp, reinterpret_cast<void**>(&app));
  EXPECT_HRESULT_SUCCEEDED(hr);
  return SUCCEEDED(hr) ? app : nullptr;
}

int RunChild(const wchar_t* job, const std::wstring& arg) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(self) + L"\" " + kChildSwitch + L" " + job + L" " + arg;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  // A safety bound only: a stuck child must not hang the suite.
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

}  // namespace pimtest
