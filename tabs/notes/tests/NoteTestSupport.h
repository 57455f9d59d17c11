// Shared by the note viewer and PhatPad tests: a PhatPad installation in a folder of
// the test's own (the view libraries copied from where the build puts them), and a
// top-level owner window that keeps what is posted to it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "pim/tests/PhatPadInstall.h"

namespace notetest {

using phatpadtest::MakeInstallFolder;
using phatpadtest::RemoveFolder;
using phatpadtest::TempFolder;
using phatpadtest::WriteBytes;

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
