// CHardwareKeys: the device's application buttons (virtual keys 0xC1 to 0xCA) that
// the shell's key settings mark with "Flags" 10 reach every control tree and popup
// as the "close" key (VK_CLOSE_KEY). The map is read from the shell's own keys and
// never written there.
#pragma once
#include <windows.h>

class CHardwareKeys {
 public:
  static const DWORD kFirstButton = 0xC1;
  static const DWORD kLastButton = 0xCA;

  // The one map of the process; nothing is mapped until Init or Load.
  static CHardwareKeys& Instance();

  // Remembers the panel window, clears the map and loads it.
  void Init(HWND panel);
  // Rebuilds the map from HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Shell\Keys".
  void Load();
  // TRUE when code is a mapped application button; code is then the mapped code.
  BOOL Translate(DWORD& code) const;
  BOOL TranslateWord(WORD& code) const;
  HWND GetWindow() const { return m_hWnd; }

 private:
  CHardwareKeys();
  void Clear();

  HWND m_hWnd;
  LONG m_map[kLastButton - kFirstButton + 1];
};
