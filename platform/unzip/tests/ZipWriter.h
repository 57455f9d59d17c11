// A tiny .zip writer for tests: stored or raw-deflated entries, with every size,
// CRC and flag open to a lie, so damaged archives are built where the test shows them.
#pragma once
#include <windows.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace ziptest {

typedef std::vector<BYTE> Bytes;

struct ZipEntry {
  ZipEntry(std::string name_, Bytes data_, WORD method_ = 8, WORD flags_ = 0, long long size = -1,
           long long compressedSize = -1, long long crc = -1)
      : name(std::move(name_)), data(std::move(data_)), method(method_), flags(flags_), declaredSize(size),
        declaredCompressedSize(compressedSize), declaredCrc(crc) {}

  std::string name;
  Bytes data;
  WORD method = 8;  // 0 stored, 8 deflated
  WORD flags = 0;
  // What the records claim, when not the truth (-1).
  long long declaredSize = -1;
  long long declaredCompressedSize = -1;
  long long declaredCrc = -1;
  // Local header extra field, which the central record does not repeat.
  Bytes localExtra;
};

// Where the parts of a built archive lie.
struct ZipLayout {
  std::vector<DWORD> localOffsets;
  std::vector<DWORD> dataOffsets;
  DWORD centralOffset = 0;
  DWORD centralSize = 0;
  DWORD endOffset = 0;
};

inline Bytes Deflate(const Bytes& data, int level = Z_BEST_COMPRESSION) {
  z_stream s = {};
  deflateInit2(&s, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&s, uLong(data.size())) + 16);
  s.next_in = const_cast<BYTE*>(data.data());
  s.avail_in = uInt(data.size());
  s.next_out = out.data();
  s.avail_out = uInt(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void Put16(Bytes& b, DWORD v) {
  b.push_back(BYTE(v));
  b.push_back(BYTE(v >> 8));
}
inline void Put32(Bytes& b, DWORD v) {
  for (int i = 0; i < 4; i++) b.push_back(BYTE(v >> (8 * i)));
}
inline void Set32(Bytes& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; i++) b[at + i] = BYTE(v >> (8 * i));
}

inline Bytes BuildZip(const std::vector<ZipEntry>& entries, const std::string& comment = "",
                      ZipLayout* layout = nullptr) {
  Bytes zip, central;
  ZipLayout where;
  const DWORD dosTime = 0x5A8C6000;  // 2025-04-12 12:00:00
  for (const ZipEntry& e : entries) {
    const Bytes stored = e.method == 8 ? Deflate(e.data) : e.data;
    const DWORD crc = e.declaredCrc >= 0 ? DWORD(e.declaredCrc) : DWORD(crc32(0, e.data.data(), uInt(e.data.size())));
    const DWORD size = e.declaredSize >= 0 ? DWORD(e.declaredSize) : DWORD(e.data.size());
    const DWORD packed = e.declaredCompressedSize >= 0 ? DWORD(e.declaredCompressedSize) : DWORD(stored.size());
    const DWORD local = DWORD(zip.size());
    where.localOffsets.push_back(local);
    Put32(zip, 0x04034b50);
    Put16(zip, 20);
    Put16(zip, e.flags);
    Put16(zip, e.method);
    Put32(zip, dosTime);
    Put32(zip, crc);
    Put32(zip, packed);
    Put32(zip, size);
    Put16(zip, DWORD(e.name.size()));
    Put16(zip, DWORD(e.localExtra.size()));
    zip.insert(zip.end(), e.name.begin(), e.name.end());
    zip.insert(zip.end(), e.localExtra.begin(), e.localExtra.end());
    where.dataOffsets.push_back(DWORD(zip.size()));
    zip.insert(zip.end(), stored.begin(), stored.end());

    Put32(central, 0x02014b50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, e.flags);
    Put16(central, e.method);
    Put32(central, dosTime);
    Put32(central, crc);
    Put32(central, packed);
    Put32(central, size);
    Put16(central, DWORD(e.name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0);
    Put32(central, local);
    central.insert(central.end(), e.name.begin(), e.name.end());
  }
  where.centralOffset = DWORD(zip.size());
  where.centralSize = DWORD(central.size());
  zip.insert(zip.end(), central.begin(), central.end());
  where.endOffset = DWORD(zip.size());
  Put32(zip, 0x06054b50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, DWORD(entries.size()));
  Put16(zip, DWORD(entries.size()));
  Put32(zip, where.centralSize);
  Put32(zip, where.centralOffset);
  Put16(zip, DWORD(comment.size()));
  zip.insert(zip.end(), comment.begin(), comment.end());
  if (layout) *layout = where;
  return zip;
}

inline bool WriteBytes(const std::wstring& path, const Bytes& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

// A folder of this test process's own under the temporary folder, emptied.
class TempFolder {
 public:
  explicit TempFolder(const wchar_t* tag) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + tag + L"_" + std::to_wstring(GetCurrentProcessId());
    Remove(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~TempFolder() { Remove(m_path); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing backslash.
  const std::wstring& Path() const { return m_path; }
  std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

  static void Remove(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          Remove(path + L"\\" + name);
        else
          DeleteFileW((path + L"\\" + name).c_str());
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
  }

 private:
  std::wstring m_path;
};

}  // namespace ziptest
