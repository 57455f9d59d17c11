#include "graphics/IniFile.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

CString Widen(const char* bytes, int length, UINT codePage) {
  if (length <= 0) return CString();
  const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
  if (needed <= 0) return CString();
  CString text;
  LPWSTR buffer = text.GetBufferSetLength(needed);
  MultiByteToWideChar(codePage, 0, bytes, length, buffer, needed);
  text.ReleaseBuffer(needed);
  return text;
}

// A value read with a scanf format; the output is left alone unless it reads.
template <typename T>
BOOL Scan(const CString* text, LPCWSTR format, T& value) {
  T read = T();
  if (!text || text->IsEmpty() || swscanf(*text, format, &read) != 1) return FALSE;
  value = read;
  return TRUE;
}

// One line of any length without its line feed; FALSE at the end of the file.
BOOL ReadLine(FILE* file, std::string& line) {
  line.clear();
  char chunk[1024];
  while (fgets(chunk, sizeof chunk, file)) {
    line += chunk;
    if (!line.empty() && line.back() == '\n') return TRUE;
  }
  return !line.empty();
}

}  // namespace

void CIniFile::Clear() {
  m_fileName.Empty();
  m_sections.clear();
  m_keys.clear();
  m_values.clear();
}

BOOL CIniFile::Load(LPCWSTR path) {
  Clear();
  FILE* file = path ? _wfopen(path, L"rt") : nullptr;
  if (!file) return FALSE;
  CIniFile* current = this;
  std::string line;
  // A line longer than any buffer is still one line: a tail read on its own
  // could pass for a key of its own.
  bool first = true;
  while (ReadLine(file, line)) {
    // Editors that save UTF-8 start the file with a byte-order mark: it belongs to no
    // line, and left in place it would hide the first section.
    if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    first = false;
    AddLine(line.data(), static_cast<int>(line.size()), current);
  }
  fclose(file);
  m_fileName = path;
  return TRUE;
}

void CIniFile::AddLine(const char* bytes, int length, CIniFile*& current) {
  while (length > 0 && (bytes[length - 1] == ' ' || bytes[length - 1] == '\n')) length--;
  CString line = Widen(bytes, length, CP_ACP);
  line.TrimLeft(L' ');
  if (line.GetLength() <= 3 || line[0] == L';') return;
  if (line[0] == L'[' && line[line.GetLength() - 1] == L']') {
    std::unique_ptr<CIniFile> section(new CIniFile);
    section->m_name = line.Mid(1, line.GetLength() - 2);
    section->m_parent = this;
    current = section.get();
    m_sections.push_back(std::move(section));
    return;
  }
  const int equals = line.Find(L'=');
  if (equals <= 0) return;
  CString value = line.Mid(equals + 1);
  // The mark is only seen in the raw bytes: widening has already changed them.
  // No code page has '=' as part of a multibyte character, so the first '='
  // byte is the first '=' character.
  const char* raw = static_cast<const char*>(memchr(bytes, '=', length));
  const int after = raw ? length - static_cast<int>(raw + 1 - bytes) : 0;
  if (value.GetLength() >= 3 && after >= 3 && !memcmp(raw + 1, "\xEF\xBB\xBF", 3)) {
    const CString decoded = Widen(raw + 4, after - 3, CP_UTF8);
    if (!decoded.IsEmpty()) value = decoded;
  }
  current->SetValue(line.Left(equals), value);
}

CIniFile* CIniFile::GetSection(int index) const {
  if (index < 0 || index >= GetSectionCount()) return nullptr;
  return m_sections[index].get();
}

CIniFile* CIniFile::FindSection(LPCWSTR name) const {
  if (!name) return nullptr;
  for (const auto& section : m_sections)
    if (!_wcsicmp(section->m_name, name)) return section.get();
  return nullptr;
}

const CString* CIniFile::Find(LPCWSTR key) const {
  if (!key) return nullptr;
  for (size_t i = 0; i < m_keys.size(); i++)
    if (m_keys[i] == key) return &m_values[i];
  return nullptr;
}

void CIniFile::SetValue(LPCWSTR key, LPCWSTR value) {
  if (!key) return;
  for (size_t i = 0; i < m_keys.size(); i++) {
    if (m_keys[i] == key) {
      m_values[i] = value;
      return;
    }
  }
  m_keys.emplace_back(key);
  m_values.emplace_back(value);
}

BOOL CIniFile::GetValue(LPCWSTR key, CString& value) const {
  const CString* found = Find(key);
  if (!found) return FALSE;
  value = *found;
  return TRUE;
}

BOOL CIniFile::GetInt(LPCWSTR key, int& value) const { return Scan(Find(key), L"%d", value); }

BOOL CIniFile::GetDouble(LPCWSTR key, double& value) const { return Scan(Find(key), L"%lf", value); }

BOOL CIniFile::GetBool(LPCWSTR key, BYTE& value) const {
  const CString* found = Find(key);
  if (!found) return FALSE;
  if (!found->CompareNoCase(L"TRUE")) {
    value = 1;
  } else if (!found->CompareNoCase(L"FALSE")) {
    value = 0;
  } else {
    return FALSE;
  }
  return TRUE;
}
