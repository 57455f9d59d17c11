#include "controls/HardwareKeys.h"

#include <cwchar>

#include "base/RegKey.h"
#include "controls/VirtualWnd.h"

namespace {

// The shell marks a button that should close the foreground popup with this value.
const DWORD kCloseFlags = 10;

}  // namespace

CHardwareKeys& CHardwareKeys::Instance() {
  static CHardwareKeys keys;
  return keys;
}

CHardwareKeys::CHardwareKeys() : m_hWnd(nullptr) { Clear(); }

void CHardwareKeys::Clear() {
  for (LONG& entry : m_map) entry = -1;
}

void CHardwareKeys::Init(HWND panel) {
  m_hWnd = panel;
  Clear();
  Load();
}

void CHardwareKeys::Load() {
  Clear();
  // These are the system shell's keys: open them, never create them, and read
  // "Flags" without the settings convention of writing a default back.
  CRegKey keys(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shell\\Keys", FALSE, FALSE);
  if (!keys.IsOpen()) return;
  CString name;
  for (BOOL more = keys.EnumFirstSubKey(name); more; more = keys.EnumNextSubKey(name)) {
    unsigned int number = 0;
    if (swscanf(name, L"%X", &number) != 1) continue;
    const DWORD code = number - 0x4000;
    if (code < kFirstButton || code > kLastButton) continue;
    CString path = L"SOFTWARE\\Microsoft\\Shell\\Keys\\";
    path += name;
    CRegKey button(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
    if (button.IsOpen() && button.QueryDWORD(L"Flags") == kCloseFlags)
      m_map[code - kFirstButton] = static_cast<LONG>(VK_CLOSE_KEY);
  }
}

BOOL CHardwareKeys::Translate(DWORD& code) const {
  if (code < kFirstButton || code > kLastButton) return FALSE;
  const LONG mapped = m_map[code - kFirstButton];
  if (mapped < 0) return FALSE;
  code = static_cast<DWORD>(mapped);
  return TRUE;
}

BOOL CHardwareKeys::TranslateWord(WORD& code) const {
  DWORD wide = code;
  if (!Translate(wide)) return FALSE;
  code = static_cast<WORD>(wide);
  return TRUE;
}
