#include "settings/pages/RegistryValues.h"

#include "base/RegKey.h"

BOOL CRegistryValues::Take(HKEY root, LPCWSTR path) {
  m_root = root;
  m_path = path ? path : L"";
  m_values.clear();
  CRegKey key(root, m_path.c_str(), FALSE, FALSE);
  if (!key.IsOpen()) return FALSE;
  DWORD count = 0, longestName = 0;
  if (RegQueryInfoKeyW(key.GetHandle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return FALSE;
  std::vector<WCHAR> name(longestName + 2);
  for (DWORD i = 0; i < count; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD size = 0;
    Value value;
    // The data's own size first: given room, a text without its terminator would
    // come back with one added.
    if (RegEnumValueW(key.GetHandle(), i, name.data(), &nameLength, nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS)
      return FALSE;
    const std::wstring valueName(name.data(), nameLength);
    value.data.resize(size);
    DWORD read = size;
    if (size && RegQueryValueExW(key.GetHandle(), valueName.c_str(), nullptr, &value.type, value.data.data(),
                                 &read) != ERROR_SUCCESS)
      return FALSE;
    value.data.resize(read < size ? read : size);
    m_values[valueName] = std::move(value);
  }
  return TRUE;
}

BOOL CRegistryValues::Write(HKEY key, const std::wstring& name, const Value& value) {
  // The registry takes a text whose next character is a zero as one that forgot its
  // terminator and stores one more character; a non-zero word after the data keeps
  // the bytes exactly as they were (and keeps that look inside the buffer).
  std::vector<BYTE> padded(value.data);
  padded.push_back(0xFF);
  padded.push_back(0xFF);
  return RegSetValueExW(key, name.c_str(), 0, value.type, padded.data(), static_cast<DWORD>(value.data.size())) ==
         ERROR_SUCCESS;
}

BOOL CRegistryValues::Restore() const {
  if (!m_root) return FALSE;
  CRegistryValues now;
  now.Take(m_root, m_path.c_str());
  CRegKey key(m_root, m_path.c_str(), TRUE, TRUE);
  if (!key.IsOpen()) return FALSE;
  BOOL ok = TRUE;
  for (const auto& [name, value] : now.m_values)
    if (!m_values.count(name) && RegDeleteValueW(key.GetHandle(), name.c_str()) != ERROR_SUCCESS) ok = FALSE;
  for (const auto& [name, value] : m_values) {
    auto current = now.m_values.find(name);
    if ((current == now.m_values.end() || !(current->second == value)) && !Write(key.GetHandle(), name, value))
      ok = FALSE;
  }
  return ok;
}

BOOL CRegistryValues::WriteChangesSince(const CRegistryValues& base) const {
  if (!m_root) return FALSE;
  CRegKey key(m_root, m_path.c_str(), TRUE, TRUE);
  if (!key.IsOpen()) return FALSE;
  BOOL ok = TRUE;
  for (const auto& [name, value] : m_values) {
    auto before = base.m_values.find(name);
    if ((before == base.m_values.end() || !(before->second == value)) && !Write(key.GetHandle(), name, value))
      ok = FALSE;
  }
  return ok;
}
