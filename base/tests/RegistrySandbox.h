// Registry helpers of the tests. Test programs run side by side on one Wine
// prefix, so every test key carries the process id.
#pragma once
#include <windows.h>

#include <string>

// Raw access to one key, bypassing the code under test.
class CRegistryView {
 public:
  CRegistryView(HKEY root, std::wstring path) : m_root(root), m_path(std::move(path)) {}

  HKEY Root() const { return m_root; }
  // Without a leading backslash.
  const wchar_t* Path() const { return m_path.c_str(); }
  // As the device writes it: rooted.
  std::wstring DevicePath() const { return L"\\" + m_path; }
  std::wstring Sub(const wchar_t* name) const { return m_path + L"\\" + name; }

  bool Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  void Delete() const { RegDeleteTreeW(m_root, m_path.c_str()); }
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
  // A REG_SZ value's text; false when missing or of another type.
  bool ReadString(const wchar_t* name, std::wstring& text) const {
    DWORD type = 0;
    if (!Read(name, type, text) || type != REG_SZ) return false;
    text = text.c_str();
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

// A key of this test process alone, emptied before and deleted after.
class CRegistrySandbox : public CRegistryView {
 public:
  explicit CRegistrySandbox(const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE)
      : CRegistryView(root, L"Software\\TarvoTests\\" + std::wstring(name) + L"-" +
                                std::to_wstring(GetCurrentProcessId())) {
    Delete();
  }
  ~CRegistrySandbox() { Delete(); }
  CRegistrySandbox(const CRegistrySandbox&) = delete;
  CRegistrySandbox& operator=(const CRegistrySandbox&) = delete;
};

// HKEY_LOCAL_MACHINE of this process redirected into an empty sandbox key for as
// long as the object lives: code that opens the product key (or any machine key)
// by its real path reads and writes the sandbox, and other test programs running
// beside this one never see it.
class CLocalMachineSandbox {
 public:
  explicit CLocalMachineSandbox(const wchar_t* name) : m_sandbox(name, HKEY_CURRENT_USER) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_sandbox.Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_key) != ERROR_SUCCESS) {
      if (m_key) RegCloseKey(m_key);
      m_key = nullptr;
    }
  }
  ~CLocalMachineSandbox() {
    if (!m_key) return;
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(m_key);
  }
  CLocalMachineSandbox(const CLocalMachineSandbox&) = delete;
  CLocalMachineSandbox& operator=(const CLocalMachineSandbox&) = delete;

  bool Redirected() const { return m_key != nullptr; }
  // A key below the redirected HKEY_LOCAL_MACHINE, by its machine path ("\" allowed).
  CRegistryView Key(const wchar_t* path) const {
    while (*path == L'\\') ++path;
    return CRegistryView(HKEY_CURRENT_USER, std::wstring(m_sandbox.Path()) + L"\\" + path);
  }

 private:
  CRegistrySandbox m_sandbox;
  HKEY m_key = nullptr;
};
