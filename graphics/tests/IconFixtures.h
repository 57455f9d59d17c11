#pragma once
// Icon folders and icon databases built in code for the tests of the icon
// database, the icon grid and the icon-set chooser.
#include <windows.h>

#include <string>
#include <vector>

#include "base/FolderTree.h"
#include "base/MD5.h"
#include "graphics/tests/TestImages.h"

namespace icontest {

using Bytes = std::vector<BYTE>;

struct Digest {
  BYTE b[16];
};

inline Digest DigestOf(const Bytes& bytes) {
  Digest d;
  MD5_CTX context;
  MD5Init(&context);
  MD5Update(&context, bytes.data(), UINT(bytes.size()));
  MD5Final(&context, d.b);
  return d;
}

struct GroupSpec {
  std::wstring name;
  std::vector<Digest> digests;
};

// icons.dat as the maker writes it: count, padded names, digest lists.
inline Bytes MakeDatabase(const std::vector<GroupSpec>& groups) {
  Bytes b(4, 0);
  testimg::Put32(b, 0, DWORD(groups.size()));
  for (const GroupSpec& g : groups) {
    for (wchar_t c : g.name) {
      b.push_back(BYTE(c));
      b.push_back(BYTE(c >> 8));
    }
    b.push_back(0);
    b.push_back(0);
    while (b.size() % 4) b.push_back(0xEE);
  }
  for (const GroupSpec& g : groups) {
    const size_t at = b.size();
    b.resize(at + 4);
    testimg::Put32(b, at, DWORD(g.digests.size()));
    for (const Digest& d : g.digests) b.insert(b.end(), d.b, d.b + 16);
  }
  return b;
}

inline Bytes Icon(int width, int height, BYTE seed) {
  return testimg::MakeBmp(width, height, false, [seed](int x, int y) { return RGB(x * 5 + seed, y * 7, seed); });
}

inline void WriteBytes(const std::wstring& path, const Bytes& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// A scratch folder removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    WCHAR base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    m_path = std::wstring(base) + L"IconDb-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~TempFolder() { DeleteFolderTree(m_path); }
  const std::wstring& Path() const { return m_path; }
  std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

 private:
  std::wstring m_path;
};

}  // namespace icontest
