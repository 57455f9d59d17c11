#include "base/InstallPath.h"

#include "base/RegKey.h"
#include "platform/windowlib/Module.h"

namespace {

BOOL ShellLaunch(SHELLEXECUTEINFOW* info) { return ShellExecuteExW(info); }

PFN_PROGRAM_LAUNCHER g_launcher = nullptr;

}  // namespace

void GetInstallPath(CString& path, LPCWSTR fileName) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_INSTALL_KEY, FALSE, TRUE, 0);
  if (!key.IsOpen()) {
    GetModuleDirPath(path, fileName);
    return;
  }
  path = key.GetString(L"InstallDir", nullptr);
  if (fileName) {
    path += L'\\';
    path += fileName;
  }
}

void GetModuleDirPath(CString& path, LPCWSTR fileName) {
  WCHAR module[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(GetModule().GetModuleInstance(), module, MAX_PATH);
  if (length > MAX_PATH) length = MAX_PATH;
  CString folder(module, static_cast<int>(length));
  const int slash = folder.ReverseFind(L'\\');
  if (fileName) {
    path = slash < 0 ? CString() : folder.Left(slash + 1);
    path += fileName;
  } else {
    path = slash < 0 ? CString() : folder.Left(slash);
  }
}

void EnsureTrailingBackslash(CString& path) {
  if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\') path += L'\\';
}

BOOL RunSettingsProgram(LPCWSTR parameters) {
  CString file;
  GetInstallPath(file, L"TarvoSettings.exe");
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  // A missing program is a failure the caller reports; the shell's own error
  // box would wait for a person inside the host's thread.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  return LaunchProgram(&info);
}

PFN_PROGRAM_LAUNCHER SetProgramLauncher(PFN_PROGRAM_LAUNCHER launcher) {
  PFN_PROGRAM_LAUNCHER previous = g_launcher;
  g_launcher = launcher;
  return previous;
}

BOOL LaunchProgram(SHELLEXECUTEINFOW* info) { return g_launcher ? g_launcher(info) : ShellLaunch(info); }
