// A registry key of this test process alone, emptied before and deleted after.
// Test programs run side by side on one Wine prefix, so the key name carries the
// process id.
#pragma once
#include <windows.h>

#include <string>

class CRegistrySandbox {
 public:
  explicit CRegistrySandbox(const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE) : m_root(root) {
    m_path = L"Software\\TarvoTests\\" + std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(m_root, m_path.c_str());
  }
  ~CRegistrySandbox() { RegDeleteTreeW(m_root, m_path.c_str()); }
  CRegistrySandbox(const CRegistrySandbox&) = delete;
  CRegistrySandbox& operator=(const CRegistrySandbox&) = delete;

  HKEY Root() const { return m_root; }
  // Without a leading backslash.
  const wchar_t* Path() const { return m_path.c_str(); }
  // As the device writes it: rooted.
  std::wstring DevicePath() const { return L"\\" + m_path; }
  std::wstring Sub(const wchar_t* name) const { return m_path + L"\\" + name; }

  // Raw access, bypassing the class under test.
  bool Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  bool Read(const wchar_t* name, DWORD& type, std::wstring& bytes) const {
    BYTE buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(m_root, m_path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size) !=
        ERROR_SUCCESS)
      return false;
    bytes.assign(reinterpret_cast<wchar_t*>(buffer), size / sizeof(wchar_t));
    if (size % sizeof(wchar_t)) bytes.push_back(static_cast<wchar_t>(buffer[size - 1]));
    return true;
  }
  bool ReadDWORD(const wchar_t* name, DWORD& value) const {
    DWORD type = 0, size = sizeof value;
    return RegGetValueW(m_root, m_path.c_str(), name, RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
  }
  bool Has(const wchar_t* name) const {
    return RegGetValueW(m_root, m_path.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }
  void Write(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  void WriteDWORD(const wchar_t* name, DWORD value) const { Write(name, REG_DWORD, &value, sizeof value); }
  void WriteString(const wchar_t* name, const wchar_t* text) const {
    Write(name, REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
  }
  void CreateSubKey(const wchar_t* name) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(m_root, Sub(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(key);
  }

 private:
  HKEY m_root;
  std::wstring m_path;
};
