// Read-only INI files written by other programs. The file is the root node;
// each "[name]" section is a child node of the same class; pairs met before
// the first section belong to the root. Keys compare exactly, section names
// without case. Nothing is ever written back to the file.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/windowlib/String.h"

class CIniFile {
 public:
  CIniFile() = default;
  // Loads path at once.
  explicit CIniFile(LPCWSTR path) { Load(path); }
  virtual ~CIniFile() = default;
  CIniFile(const CIniFile&) = delete;
  CIniFile& operator=(const CIniFile&) = delete;

  // Builds the tree from the file, replacing what was loaded. A file that
  // cannot be opened leaves an empty tree without a file name (FALSE).
  // Lines are trimmed of spaces; lines of 3 characters or fewer, comments
  // (";") and lines without a key before "=" are skipped. A value whose bytes
  // begin with the UTF-8 byte-order mark is read as UTF-8, any other text in
  // the ANSI code page. A later duplicate key replaces the earlier value.
  BOOL Load(LPCWSTR path);
  // A file was read.
  BOOL HasFile() const { return !m_fileName.IsEmpty(); }
  // The path read (the root only).
  const CString& GetFileName() const { return m_fileName; }

  int GetSectionCount() const { return static_cast<int>(m_sections.size()); }
  CIniFile* GetSection(int index) const;
  CIniFile* GetSectionAt(int index) const { return GetSection(index); }
  // The first section of that name, ignoring case; null when there is none.
  CIniFile* FindSection(LPCWSTR name) const;

  // A section's name; null for the root.
  LPCWSTR GetName() const { return m_parent ? m_name.GetString() : nullptr; }
  CIniFile* GetParent() const { return m_parent; }

  // Lookups of this node's keys: FALSE (and the output untouched) when the key
  // is missing or its value does not read as asked.
  BOOL GetValue(LPCWSTR key, CString& value) const;
  BOOL GetString(LPCWSTR key, CString& value) const { return GetValue(key, value); }
  BOOL GetInt(LPCWSTR key, int& value) const;
  BOOL GetDouble(LPCWSTR key, double& value) const;
  // "TRUE" gives 1 and "FALSE" 0, in any case; nothing else is a bool.
  BOOL GetBool(LPCWSTR key, BYTE& value) const;
  int GetValueCount() const { return static_cast<int>(m_keys.size()); }
  // The value of this node's index-th pair in file order; null outside.
  const CString* GetValueAt(int index) const {
    return index >= 0 && index < GetValueCount() ? &m_values[static_cast<size_t>(index)] : nullptr;
  }

  // Replaces the value of an existing key, else adds the pair (in memory).
  void SetValue(LPCWSTR key, LPCWSTR value);

 private:
  const CString* Find(LPCWSTR key) const;
  void Clear();
  void AddLine(const char* bytes, int length, CIniFile*& current);

  CString m_name;
  CString m_fileName;
  CIniFile* m_parent = nullptr;
  std::vector<std::unique_ptr<CIniFile>> m_sections;
  std::vector<CString> m_keys;
  std::vector<CString> m_values;
};

// A section is a node of the same class as the file.
typedef CIniFile CIniSection;
