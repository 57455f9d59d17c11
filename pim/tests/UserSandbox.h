// HKEY_CURRENT_USER of a test process redirected into a key of its own, for other
// vendors' user keys.
#pragma once
#include <windows.h>

#include <string>

// HKEY_CURRENT_USER of this process redirected into an empty key of its own, for
// other vendors' user keys. Made after a CLocalMachineSandbox, it goes before it.
class CUserSandbox {
 public:
  explicit CUserSandbox(const wchar_t* name)
      : m_path(L"Software\\TarvoTests\\" + std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId())) {
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, m_key) != ERROR_SUCCESS)
      m_key = nullptr;
  }
  ~CUserSandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key) RegCloseKey(m_key);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }
  bool Redirected() const { return m_key != nullptr; }
  // Where the redirected keys really are, for other programs to write.
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
  HKEY m_key = nullptr;
};
