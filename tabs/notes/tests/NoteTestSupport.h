// Shared by the note viewer and PhatPad tests: a PhatPad installation in a folder of
// the test's own (the view libraries copied from where the build puts them), and a
// top-level owner window that keeps what is posted to it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace notetest {

// The folder for this process's files under the temp folder, with its final "\".
std::wstring TempFolder(const wchar_t* name);
// Writes bytes into a file (created or emptied).
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// A folder with what the flags say: "PhatPad.exe" / "PhatPadViewer.exe" (empty files:
// only their presence counts) and the two view libraries.
void MakeInstallFolder(const std::wstring& folder, bool padExe, bool viewerExe, bool libraries);
// Removes the folder's files (those a loaded library keeps stay) and the folder.
void RemoveFolder(const std::wstring& folder);

class COwnerWindow {
 public:
  COwnerWindow();
  ~COwnerWindow();
  HWND Handle() const { return m_hwnd; }
  // Takes the key messages posted to the window, in order, as {message, key}.
  std::vector<std::pair<UINT, WPARAM>> TakeKeys();

 private:
  HWND m_hwnd = nullptr;
};

}  // namespace notetest
