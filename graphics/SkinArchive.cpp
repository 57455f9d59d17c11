#include "graphics/SkinArchive.h"

#include "platform/imaging/ImageRules.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const DWORD kFileHeaderSize = 14;
const DWORD kInfoHeaderSize = 40;
const LONG kPixelsPerMetre = 3780;

BOOL g_wholeDibInMemberFormat = FALSE;

WORD ReadWord(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD ReadDword(const BYTE* p) {
  return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

BOOL IsValidName(LPCWSTR name) {
  return name && *name && wcsnlen(name, CSkinArchive::kMaxName + 1) <= size_t(CSkinArchive::kMaxName);
}

// Member names in a .zip are in the ANSI code page. A name with a character that
// code page lacks cannot be stored there, so it is refused rather than looked up
// with a substitute that might name another member.
BOOL NameToAnsi(LPCWSTR name, std::string& ansi) {
  DWORD flags = WC_COMPOSITECHECK;
  BOOL defaulted = FALSE;
  int n = WideCharToMultiByte(CP_ACP, flags, name, -1, nullptr, 0, nullptr, &defaulted);
  if (n <= 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    // A UTF-8 code page takes no flags and has every character.
    flags = 0;
    n = WideCharToMultiByte(CP_ACP, flags, name, -1, nullptr, 0, nullptr, nullptr);
  }
  if (n <= 0 || defaulted) return FALSE;
  ansi.assign(size_t(n), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, name, -1, &ansi[0], n, nullptr, nullptr) != n) return FALSE;
  ansi.resize(size_t(n) - 1);
  return TRUE;
}

}  // namespace

struct CSkinArchive::CacheEntry {
  CString name;
  HBITMAP dib = nullptr;
  HBITMAP compatible = nullptr;  // made from dib on first demand
  void* bits = nullptr;          // dib's pixels
};

// A decoded member: the cache's own, or made for this call (fresh).
struct CSkinArchive::Source {
  HBITMAP bitmap = nullptr;
  void* bits = nullptr;
  BOOL fresh = FALSE;
};

CSkinArchive::CSkinArchive() : m_zip(nullptr), m_folder(FALSE), m_lastBitmap(nullptr) { m_path[0] = L'\0'; }

CSkinArchive::~CSkinArchive() {
  Close();
  SetLastBitmap(nullptr);
  ClearCache();
}

CSkinArchive& CSkinArchive::Instance() {
  static CSkinArchive archive;
  return archive;
}

void CSkinArchive::SetWholeDibInMemberFormat(BOOL memberFormat) { g_wholeDibInMemberFormat = memberFormat; }
BOOL CSkinArchive::IsWholeDibInMemberFormat() { return g_wholeDibInMemberFormat; }

BOOL CSkinArchive::Open(LPCWSTR path, BOOL noZip) {
  if (!path || !*path) return FALSE;
  const size_t length = wcsnlen(path, kMaxPath + 1);
  if (length > size_t(kMaxPath)) return FALSE;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  // A second Open must not leave the first archive's handle behind.
  Close();
  memcpy(m_path, path, length * sizeof(WCHAR));
  m_path[length] = L'\0';
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    if (m_path[length - 1] != L'\\') {
      m_path[length] = L'\\';
      m_path[length + 1] = L'\0';
    }
    m_folder = TRUE;
    return TRUE;
  }
  // The reader takes the path as it is: no ANSI round trip to lose characters.
  if (!noZip) m_zip = unzOpen(m_path);
  return m_zip != nullptr;
}

namespace {

// Calls take(name) for each listed file of a folder until it answers FALSE.
template <class Take>
void WalkFolder(const CString& pattern, Take take) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.' && !take(found.cFileName))
      break;
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

}  // namespace

int CSkinArchive::GetFileCount() {
  if (m_zip) {
    unz_global_info info = {};
    if (unzGetGlobalInfo(m_zip, &info) != UNZ_OK) return 0;
    return info.number_entry > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(info.number_entry);
  }
  int count = 0;
  if (m_folder) WalkFolder(MakePath(L"*.*"), [&count](LPCWSTR) { return ++count > 0; });
  return count;
}

BOOL CSkinArchive::GetFileName(int index, LPWSTR buffer, int size) {
  if (!buffer || size <= 0) return FALSE;
  buffer[0] = L'\0';
  if (index < 0) return FALSE;
  if (m_zip) {
    int result = unzGoToFirstFile(m_zip);
    for (int i = 0; i < index && result == UNZ_OK; ++i) result = unzGoToNextFile(m_zip);
    unz_file_info info = {};
    if (result != UNZ_OK || unzGetCurrentFileInfo(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
      return FALSE;
    // The whole stored name, so that a long one is refused rather than cut.
    std::vector<char> name(size_t(info.size_filename) + 1, '\0');
    if (unzGetCurrentFileInfo(m_zip, nullptr, name.data(), info.size_filename + 1, nullptr, 0, nullptr, 0) != UNZ_OK)
      return FALSE;
    name.back() = '\0';
    const int needed = MultiByteToWideChar(CP_ACP, 0, name.data(), -1, nullptr, 0);
    if (needed <= 0 || needed > size) return FALSE;
    return MultiByteToWideChar(CP_ACP, 0, name.data(), -1, buffer, size) > 0;
  }
  if (!m_folder) return FALSE;
  BOOL found = FALSE;
  int at = 0;
  WalkFolder(MakePath(L"*.*"), [&](LPCWSTR name) {
    if (at++ < index) return TRUE;
    const size_t length = wcslen(name);
    if (length < size_t(size)) {
      memcpy(buffer, name, (length + 1) * sizeof(WCHAR));
      found = TRUE;
    }
    return FALSE;
  });
  return found;
}

void CSkinArchive::Close() {
  if (m_zip) unzClose(m_zip);
  m_zip = nullptr;
  m_folder = FALSE;
}

CString CSkinArchive::MakePath(LPCWSTR name) const {
  CString path(m_path);
  if (name) path += name;
  return path;
}

BOOL CSkinArchive::OpenZipMember(LPCWSTR name, DWORD* size) {
  std::string ansi;
  if (!m_zip || !NameToAnsi(name, ansi)) return FALSE;
  if (unzLocateFile(m_zip, ansi.c_str(), 0) != UNZ_OK || unzOpenCurrentFile(m_zip) != UNZ_OK) return FALSE;
  unz_file_info info;
  if (unzGetCurrentFileInfo(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    unzCloseCurrentFile(m_zip);
    return FALSE;
  }
  *size = DWORD(info.uncompressed_size);
  return TRUE;
}

DWORD CSkinArchive::GetFileSize(LPCWSTR name) {
  if (!IsValidName(name)) return 0;
  if (m_folder) {
    HANDLE file = CreateFileW(MakePath(name), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    const BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart <= LONGLONG(MAXDWORD);
    CloseHandle(file);
    return ok ? DWORD(size.QuadPart) : 0;
  }
  DWORD size = 0;
  if (!OpenZipMember(name, &size)) return 0;
  unzCloseCurrentFile(m_zip);
  return size;
}

BOOL CSkinArchive::ReadInto(LPCWSTR name, BYTE* buffer, DWORD bufferSize, DWORD* read) {
  *read = 0;
  if (!IsValidName(name) || (!buffer && bufferSize)) return FALSE;
  if (m_folder) {
    HANDLE file = CreateFileW(MakePath(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart <= LONGLONG(bufferSize);
    DWORD done = 0;
    ok = ok && (size.QuadPart == 0 || ::ReadFile(file, buffer, DWORD(size.QuadPart), &done, nullptr)) &&
         done == DWORD(size.QuadPart);
    CloseHandle(file);
    if (ok) *read = done;
    return ok;
  }
  DWORD size = 0;
  if (!OpenZipMember(name, &size)) return FALSE;
  BOOL ok = size <= bufferSize;
  DWORD at = 0;
  int n = 0;
  while (ok) {
    const DWORD room = bufferSize - at;
    n = unzReadCurrentFile(m_zip, buffer + at, room < kReadChunk ? unsigned(room) : kReadChunk);
    if (n <= 0) break;
    at += DWORD(n);
  }
  // The reader checks the data's end and CRC on the read that gives 0.
  ok = ok && n == 0 && at == size;
  unzCloseCurrentFile(m_zip);
  if (ok) *read = at;
  return ok;
}

BOOL CSkinArchive::ReadFile(LPCWSTR name, void* buffer, DWORD bufferSize) {
  DWORD read = 0;
  return ReadInto(name, static_cast<BYTE*>(buffer), bufferSize, &read);
}

BYTE* CSkinArchive::ReadMember(LPCWSTR name, DWORD* size) {
  if (size) *size = 0;
  const DWORD expected = GetFileSize(name);
  if (!expected) return nullptr;
  BYTE* block = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, expected));
  DWORD read = 0;
  if (!block || !ReadInto(name, block, expected, &read) || !read) {
    if (block) LocalFree(block);
    return nullptr;
  }
  // A folder's file may have shrunk since its size was asked: report what was read.
  if (size) *size = read;
  return block;
}

HBITMAP CSkinArchive::ReadDib(LPCWSTR name, void** bits) {
  DWORD size = 0;
  BYTE* bytes = ReadMember(name, &size);
  if (!bytes) return nullptr;
  HBITMAP dib = DibFromBmpBytes(bytes, size, bits);
  LocalFree(bytes);
  return dib;
}

CSkinArchive::CacheEntry* CSkinArchive::FindEntry(LPCWSTR name) const {
  for (size_t i = m_cache.size(); i-- > 0;)
    if (wcscmp(m_cache[i]->name, name) == 0) return m_cache[i];
  return nullptr;
}

CSkinArchive::Source CSkinArchive::Fetch(LPCWSTR name, BOOL cached, BOOL dib) {
  Source source;
  if (!IsValidName(name)) return source;
  CacheEntry* entry = FindEntry(name);
  if (!entry && cached) {
    if (m_cache.size() == m_cache.capacity()) m_cache.reserve(m_cache.size() + 128);
    entry = new CacheEntry;
    entry->name = name;
    m_cache.push_back(entry);
  }
  if (entry) {
    // A member that failed to load leaves its entry empty, to be tried again.
    if (!entry->dib) entry->dib = ReadDib(name, &entry->bits);
    if (!entry->dib) return source;
    if (dib) {
      source.bitmap = entry->dib;
      source.bits = entry->bits;
      return source;
    }
    if (!entry->compatible) entry->compatible = ToCompatibleBitmap(entry->dib);
    source.bitmap = entry->compatible;
    return source;
  }
  void* bits = nullptr;
  HBITMAP decoded = ReadDib(name, &bits);
  if (!decoded) return source;
  if (dib) {
    source.bitmap = decoded;
    source.bits = bits;
  } else {
    source.bitmap = ToCompatibleBitmap(decoded);
    DeleteObject(decoded);
  }
  source.fresh = source.bitmap != nullptr;
  return source;
}

void CSkinArchive::SetLastBitmap(HBITMAP bitmap) {
  if (m_lastBitmap && m_lastBitmap != bitmap) DeleteObject(m_lastBitmap);
  m_lastBitmap = bitmap;
}

HBITMAP CSkinArchive::Take(LPCWSTR name, BOOL cached, BOOL keep, BOOL dib, void** bits) {
  if (bits) *bits = nullptr;
  Source source = Fetch(name, cached, dib);
  if (!source.bitmap) return nullptr;
  if (!source.fresh) {
    if (!keep) {
      if (bits) *bits = source.bits;
      return source.bitmap;
    }
    // The caller owns what it keeps; the cache's own bitmap stays the cache's.
    return CopyBitmapPart(source.bitmap, 0, 0, -1, -1, dib, bits);
  }
  if (!keep) SetLastBitmap(source.bitmap);
  if (bits) *bits = source.bits;
  return source.bitmap;
}

HBITMAP CSkinArchive::GetBitmap(LPCWSTR name, BOOL cached, BOOL keep) {
  return Take(name, cached, keep, FALSE, nullptr);
}

HBITMAP CSkinArchive::GetDibSection(LPCWSTR name, BOOL cached, BOOL keep, void** bits) {
  return Take(name, cached, keep, TRUE, bits);
}

HBITMAP CSkinArchive::Load(LPCWSTR name, int srcX, int srcY, int width, int height, BOOL cached, BOOL dib,
                           void** bits) {
  if (bits) *bits = nullptr;
  HBITMAP result = nullptr;
  if ((width == -1 || width > 0) && (height == -1 || height > 0)) {
    Source source = Fetch(name, cached, dib);
    const BOOL whole = width == -1 && height == -1 && srcX == 0 && srcY == 0;
    if (source.fresh && whole && !cached && (!dib || g_wholeDibInMemberFormat)) {
      // A bitmap made for this call goes to the caller as it is.
      result = source.bitmap;
      if (bits) *bits = source.bits;
    } else if (source.bitmap) {
      result = CopyBitmapPart(source.bitmap, srcX, srcY, width, height, dib, bits);
      if (source.fresh) DeleteObject(source.bitmap);
    }
  }
  SetLastBitmap(nullptr);
  return result;
}

HBITMAP CSkinArchive::LoadBitmap(LPCWSTR name, int srcX, int srcY, int width, int height, BOOL cached) {
  return Load(name, srcX, srcY, width, height, cached, FALSE, nullptr);
}

HBITMAP CSkinArchive::LoadDib(LPCWSTR name, int srcX, int srcY, int width, int height, void** bits,
                              BOOL cached) {
  return Load(name, srcX, srcY, width, height, cached, TRUE, bits);
}

void CSkinArchive::ClearCache() {
  for (size_t i = m_cache.size(); i-- > 0;) {
    CacheEntry* entry = m_cache[i];
    if (entry->compatible) DeleteObject(entry->compatible);
    if (entry->dib) DeleteObject(entry->dib);
    delete entry;
  }
  std::vector<CacheEntry*>().swap(m_cache);
}

namespace {

const DWORD kCoreHeaderSize = 12;
const DWORD kAlphaMaskEnd = 56;  // the header sizes that carry an opacity mask

// The BITMAPINFO of a 12-byte core header, rebuilt as the 40-byte header with its
// RGBTRIPLE colours widened to RGBQUADs: the form every CreateDIBSection takes.
// Empty when the header or its colour table does not lie within the block.
std::vector<BYTE> InfoFromCoreHeader(const BYTE* block, DWORD blockSize) {
  std::vector<BYTE> info;
  if (blockSize < kCoreHeaderSize) return info;
  const WORD width = ReadWord(block + 4), height = ReadWord(block + 6), bitCount = ReadWord(block + 10);
  if (width == 0 || height == 0) return info;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return info;
  const DWORD colours = bitCount <= 8 ? 1u << bitCount : 0;
  if (kCoreHeaderSize + colours * 3 > blockSize) return info;
  info.assign(kInfoHeaderSize + colours * sizeof(RGBQUAD), 0);
  BITMAPINFOHEADER header = {};
  header.biSize = kInfoHeaderSize;
  header.biWidth = width;
  header.biHeight = height;  // always bottom-up
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = BI_RGB;
  header.biClrUsed = colours;
  memcpy(info.data(), &header, sizeof header);
  for (DWORD i = 0; i < colours; i++) memcpy(&info[kInfoHeaderSize + i * 4], block + kCoreHeaderSize + i * 3, 3);
  return info;
}

// The index of the lowest set bit and the width of a contiguous mask.
void MaskShape(DWORD mask, int* shift, int* bits) {
  *shift = 0;
  *bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++*shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++*bits;
  }
}

// A 32-bit picture whose header gives an opacity mask is drawn over black, as
// every image reader does (OverBlack); the section keeps no opacity.
void WeighByOpacity(BYTE* pixels, ULONGLONG count, const BYTE* header) {
  const DWORD masks[3] = {ReadDword(header + 40), ReadDword(header + 44), ReadDword(header + 48)};
  const DWORD alphaMask = ReadDword(header + 52);
  int alphaShift = 0, alphaBits = 0;
  MaskShape(alphaMask, &alphaShift, &alphaBits);
  if (alphaBits == 0 || alphaBits > 8) return;
  const DWORD alphaMax = (1u << alphaBits) - 1;
  for (ULONGLONG i = 0; i < count; i++) {
    BYTE* p = pixels + i * 4;
    DWORD v = ReadDword(p);
    const BYTE alpha = BYTE(((v & alphaMask) >> alphaShift) * 255 / alphaMax);
    if (alpha == 255) continue;
    DWORD out = v & ~(masks[0] | masks[1] | masks[2]) & ~alphaMask;
    for (DWORD mask : masks) {
      int shift = 0, bits = 0;
      MaskShape(mask, &shift, &bits);
      if (bits == 0 || bits > 8) {
        out |= v & mask;  // a channel wider than a byte is left as it is
        continue;
      }
      const DWORD channel = (v & mask) >> shift;
      out |= (DWORD(OverBlack(BYTE(channel), alpha)) << shift) & mask;
    }
    p[0] = BYTE(out);
    p[1] = BYTE(out >> 8);
    p[2] = BYTE(out >> 16);
    p[3] = BYTE(out >> 24);
  }
}

HBITMAP DecodeBmpBytes(const BYTE* bytes, DWORD size, void** bits) {
  // The pixel offset is checked before anything is measured from it: an offset
  // inside the file header would make every size below wrap.
  if (!bytes || size < kFileHeaderSize + 4) return nullptr;
  const DWORD offBits = ReadDword(bytes + 10);
  if (offBits < kFileHeaderSize || offBits > size) return nullptr;
  const BYTE* block = bytes + kFileHeaderSize;
  const DWORD blockSize = offBits - kFileHeaderSize;
  if (blockSize < 4) return nullptr;
  const DWORD headerSize = ReadDword(block);
  std::vector<BYTE> info;
  if (headerSize == kCoreHeaderSize) {
    info = InfoFromCoreHeader(block, blockSize);
  } else if (headerSize >= kInfoHeaderSize && headerSize <= blockSize) {
    info.assign(block, block + blockSize);
  }
  if (info.empty()) return nullptr;
  const BYTE* header = info.data();
  const DWORD infoSize = DWORD(info.size());
  const DWORD infoHeaderSize = ReadDword(header);
  const LONG width = LONG(ReadDword(header + 4));
  const LONG height = LONG(ReadDword(header + 8));
  const WORD bitCount = ReadWord(header + 14);
  const DWORD compression = ReadDword(header + 16);
  const DWORD coloursUsed = ReadDword(header + 32);
  if (width <= 0 || height == 0 || height == LONG_MIN) return nullptr;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return nullptr;
  // Compressed rows have no fixed stride to check the pixels against.
  if (compression != BI_RGB && compression != BI_BITFIELDS) return nullptr;
  // Everything CreateDIBSection will read of the header block must be in it.
  const ULONGLONG colours = coloursUsed ? coloursUsed : (bitCount <= 8 ? 1ull << bitCount : 0);
  const ULONGLONG masks = (compression == BI_BITFIELDS && infoHeaderSize == kInfoHeaderSize) ? 12 : 0;
  if (infoHeaderSize + masks + colours * sizeof(RGBQUAD) > infoSize) return nullptr;
  const ULONGLONG stride = ((ULONGLONG(bitCount) * ULONGLONG(width) + 7) / 8 + 3) & ~3ull;
  const ULONGLONG rows = ULONGLONG(height < 0 ? -LONGLONG(height) : LONGLONG(height));
  // A member shorter than its own header says is refused, never read past its end.
  if (stride * rows > size - offBits) return nullptr;

  HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  void* pixels = nullptr;
  HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, &pixels,
                                 nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!dib || !pixels) {
    if (dib) DeleteObject(dib);
    return nullptr;
  }
  memcpy(pixels, bytes + offBits, size_t(stride * rows));
  if (bitCount == 32 && compression == BI_BITFIELDS && infoHeaderSize >= kAlphaMaskEnd)
    WeighByOpacity(static_cast<BYTE*>(pixels), ULONGLONG(width) * rows, header);
  if (bits) *bits = pixels;
  return dib;
}

}  // namespace

HBITMAP DibFromBmpBytes(const BYTE* bytes, DWORD size, void** bits) {
  if (bits) *bits = nullptr;
  // Whatever the bytes say, the caller gets a bitmap or null, never an exception.
  try {
    return DecodeBmpBytes(bytes, size, bits);
  } catch (...) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
}

HBITMAP CopyBitmapPart(HBITMAP source, int srcX, int srcY, int width, int height, BOOL dib, void** bits) {
  if (bits) *bits = nullptr;
  BITMAP info;
  if (!source || !GetObjectW(source, sizeof info, &info)) return nullptr;
  if (width == -1) width = info.bmWidth;
  if (height == -1) height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  HBITMAP copy = nullptr;
  void* pixels = nullptr;
  if (dib) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biXPelsPerMeter = kPixelsPerMetre;
    header.biYPelsPerMeter = kPixelsPerMetre;
    header.biSizeImage = DWORD(4 * ((3 * ULONGLONG(width) + 3) / 4) * ULONGLONG(height));
    copy = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pixels, nullptr, 0);
  } else {
    copy = CreateCompatibleBitmap(screen, width, height);
  }
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BOOL ok = copy && from && to;
  HGDIOBJ oldFrom = ok ? SelectObject(from, source) : nullptr;
  HGDIOBJ oldTo = ok ? SelectObject(to, copy) : nullptr;
  ok = ok && oldFrom && oldTo && BitBlt(to, 0, 0, width, height, from, srcX, srcY, SRCCOPY);
  if (oldFrom) SelectObject(from, oldFrom);
  if (oldTo) SelectObject(to, oldTo);
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  if (!ok) {
    if (copy) DeleteObject(copy);
    return nullptr;
  }
  if (bits) *bits = pixels;
  return copy;
}

HBITMAP ToCompatibleBitmap(HBITMAP source) { return CopyBitmapPart(source, 0, 0, -1, -1, FALSE, nullptr); }
