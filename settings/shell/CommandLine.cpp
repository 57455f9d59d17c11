#include "settings/shell/CommandLine.h"

#include <cwchar>

HRESULT ParseCommandLine(HWND window, LPCWSTR commandLine) {
  if (!commandLine) return S_OK;
  HRESULT result = S_OK;
  for (LPCWSTR dash = wcschr(commandLine, L'-'); dash; dash = wcschr(dash + 1, L'-')) {
    int section = 0, page = 0;
    if ((dash[1] == L'p' || dash[1] == L'P') && swscanf(dash + 2, L"%d:%d", &section, &page) == 2)
      PostMessageW(window, WM_OPENSECTION, static_cast<WPARAM>(section), static_cast<LPARAM>(page));
    else
      result = E_FAIL;
  }
  return result;
}
