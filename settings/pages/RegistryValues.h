// The values (not sub-keys) of one registry key held in memory: taken, compared and
// put back, so that an edit can be moved out of the registry and in again.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CRegistryValues {
 public:
  // Every value of the key root\path; empty when the key cannot be opened.
  BOOL Take(HKEY root, LPCWSTR path);
  // Makes the key hold exactly these values: writes each, deletes the others.
  BOOL Restore() const;
  // Writes the values of this set that base lacks or holds otherwise.
  BOOL WriteChangesSince(const CRegistryValues& base) const;

 private:
  struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
  };
  static BOOL Write(HKEY key, const std::wstring& name, const Value& value);

  HKEY m_root = nullptr;
  std::wstring m_path;
  std::map<std::wstring, Value> m_values;
};
