// Layout files built in code: UTF-16 texts with or without the byte-order mark,
// written into a folder "layouts" or a "layouts.zip" of a temporary folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/unzip/tests/ZipWriter.h"

namespace layouttest {

using ziptest::Bytes;

// The text's UTF-16LE bytes, after the byte-order mark when bom.
inline Bytes Utf16(const std::wstring& text, bool bom = true) {
  Bytes bytes;
  if (bom) bytes = {0xFF, 0xFE};
  for (wchar_t c : text) {
    bytes.push_back(BYTE(c & 0xFF));
    bytes.push_back(BYTE(c >> 8));
  }
  return bytes;
}

struct LayoutFile {
  std::string name;
  Bytes bytes;
};

// A folder whose "layouts" sub-folder or "layouts.zip" holds the files.
class CLayoutSource {
 public:
  enum Kind { kFolder, kZip };

  explicit CLayoutSource(const wchar_t* tag) : m_root(tag) {}

  const std::wstring& Path() const { return m_root.Path(); }

  void Write(Kind kind, const std::vector<LayoutFile>& files) {
    if (kind == kZip) {
      std::vector<ziptest::ZipEntry> entries;
      for (const LayoutFile& file : files) entries.emplace_back(file.name, file.bytes);
      WriteZip(entries);
      return;
    }
    const std::wstring folder = m_root.File(L"layouts");
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const LayoutFile& file : files) AddFile(file);
  }
  void WriteZip(const std::vector<ziptest::ZipEntry>& entries) {
    ziptest::WriteBytes(m_root.File(L"layouts.zip"), ziptest::BuildZip(entries));
  }
  void AddFile(const LayoutFile& file) {
    const std::wstring folder = m_root.File(L"layouts");
    CreateDirectoryW(folder.c_str(), nullptr);
    ziptest::WriteBytes(folder + L"\\" + std::wstring(file.name.begin(), file.name.end()), file.bytes);
  }

 private:
  ziptest::TempFolder m_root;
};

}  // namespace layouttest
