// The .zip reader over zlib's raw inflate. Every offset and length read from the
// archive is checked against the file before it is used, so a damaged archive
// fails with a code instead of reading outside the file.
#include "platform/unzip/unzip.h"

#include <zlib.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

const DWORD kEndSignature = 0x06054b50;
const DWORD kCentralSignature = 0x02014b50;
const DWORD kLocalSignature = 0x04034b50;
const DWORD kEndRecordSize = 22;
const DWORD kCentralRecordSize = 46;
const DWORD kLocalRecordSize = 30;
const DWORD kMaxCommentSize = 0xFFFF;
const DWORD kInputChunk = 16384;
const unsigned long kFlagEncrypted = 1;
const unsigned long kMethodStored = 0;
const unsigned long kMethodDeflated = 8;

WORD Word(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD Dword(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

struct Entry {
  unz_file_info info;
  std::string name;
  std::vector<BYTE> extra;
  std::string comment;
  DWORD localOffset;
};

// The entry being read.
struct OpenEntry {
  bool deflated = false;
  bool streamInit = false;
  bool streamEnded = false;
  z_stream stream = {};
  ULONGLONG dataPos = 0;       // next compressed byte in the file
  DWORD compressedLeft = 0;    // compressed bytes not yet taken from the file
  DWORD uncompressedLeft = 0;  // bytes the caller may still receive
  uLong crc = 0;
  int error = UNZ_OK;          // once set, every later read gives it
  bool endChecked = false;
  std::vector<BYTE> input;
};

}  // namespace

struct unz_archive_s {
  HANDLE file = INVALID_HANDLE_VALUE;
  ULONGLONG fileSize = 0;
  std::vector<Entry> entries;
  unsigned long commentSize = 0;
  size_t current = 0;
  OpenEntry* open = nullptr;
};

namespace {

bool ReadAt(unzFile zip, ULONGLONG offset, void* buffer, DWORD size) {
  if (offset > zip->fileSize || size > zip->fileSize - offset) return false;
  LARGE_INTEGER at;
  at.QuadPart = LONGLONG(offset);
  if (!SetFilePointerEx(zip->file, at, nullptr, FILE_BEGIN)) return false;
  DWORD done = 0;
  return ::ReadFile(zip->file, buffer, size, &done, nullptr) && done == size;
}

void DosDateToTm(unsigned long dosDate, tm_unz& tm) {
  const unsigned long date = dosDate >> 16;
  tm.tm_mday = unsigned(date & 0x1F);
  const unsigned month = unsigned((date >> 5) & 0x0F);
  tm.tm_mon = month ? month - 1 : 0;
  tm.tm_year = unsigned(((date >> 9) & 0x7F) + 1980);
  tm.tm_hour = unsigned((dosDate >> 11) & 0x1F);
  tm.tm_min = unsigned((dosDate >> 5) & 0x3F);
  tm.tm_sec = unsigned((dosDate & 0x1F) * 2);
}

// The end record: the last signature within the final 64 KiB + 22 bytes whose
// record lies wholly in the file.
bool FindEndRecord(unzFile zip, ULONGLONG& endPos, std::vector<BYTE>& record) {
  if (zip->fileSize < kEndRecordSize) return false;
  const ULONGLONG span = zip->fileSize < kMaxCommentSize + kEndRecordSize ? zip->fileSize
                                                                          : kMaxCommentSize + kEndRecordSize;
  const ULONGLONG start = zip->fileSize - span;
  std::vector<BYTE> tail(static_cast<size_t>(span));
  if (!ReadAt(zip, start, tail.data(), DWORD(span))) return false;
  for (size_t i = size_t(span) - kEndRecordSize + 1; i-- > 0;) {
    if (Dword(&tail[i]) == kEndSignature) {
      endPos = start + i;
      record.assign(tail.begin() + ptrdiff_t(i), tail.begin() + ptrdiff_t(i + kEndRecordSize));
      return true;
    }
  }
  return false;
}

bool ReadDirectory(unzFile zip) {
  ULONGLONG endPos = 0;
  std::vector<BYTE> end;
  if (!FindEndRecord(zip, endPos, end)) return false;
  const WORD disk = Word(&end[4]);
  const WORD directoryDisk = Word(&end[6]);
  const WORD entriesHere = Word(&end[8]);
  const WORD entries = Word(&end[10]);
  const DWORD directorySize = Dword(&end[12]);
  const DWORD directoryOffset = Dword(&end[16]);
  zip->commentSize = Word(&end[20]);
  if (disk != 0 || directoryDisk != 0 || entriesHere != entries) return false;
  if (ULONGLONG(directoryOffset) + directorySize > endPos) return false;
  std::vector<BYTE> directory(directorySize);
  if (directorySize && !ReadAt(zip, directoryOffset, directory.data(), directorySize)) return false;

  zip->entries.reserve(entries);
  size_t at = 0;
  for (unsigned i = 0; i < entries; i++) {
    if (directorySize - at < kCentralRecordSize) return false;
    const BYTE* r = &directory[at];
    if (Dword(r) != kCentralSignature) return false;
    Entry e = {};
    e.info.version = Word(r + 4);
    e.info.version_needed = Word(r + 6);
    e.info.flag = Word(r + 8);
    e.info.compression_method = Word(r + 10);
    e.info.dosDate = Dword(r + 12);
    e.info.crc = Dword(r + 16);
    e.info.compressed_size = Dword(r + 20);
    e.info.uncompressed_size = Dword(r + 24);
    e.info.size_filename = Word(r + 28);
    e.info.size_file_extra = Word(r + 30);
    e.info.size_file_comment = Word(r + 32);
    e.info.disk_num_start = Word(r + 34);
    e.info.internal_fa = Word(r + 36);
    e.info.external_fa = Dword(r + 38);
    e.localOffset = Dword(r + 42);
    DosDateToTm(e.info.dosDate, e.info.tmu_date);
    const size_t variable = size_t(e.info.size_filename) + e.info.size_file_extra + e.info.size_file_comment;
    if (directorySize - at - kCentralRecordSize < variable) return false;
    const char* text = reinterpret_cast<const char*>(r + kCentralRecordSize);
    e.name.assign(text, e.info.size_filename);
    e.extra.assign(r + kCentralRecordSize + e.info.size_filename,
                   r + kCentralRecordSize + e.info.size_filename + e.info.size_file_extra);
    e.comment.assign(text + e.info.size_filename + e.info.size_file_extra, e.info.size_file_comment);
    zip->entries.push_back(std::move(e));
    at += kCentralRecordSize + variable;
  }
  return true;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool NamesEqual(const std::string& stored, const char* name, bool ignoreCase) {
  const size_t length = strlen(name);
  if (stored.size() != length) return false;
  if (!ignoreCase) return memcmp(stored.data(), name, length) == 0;
  for (size_t i = 0; i < length; i++)
    if (FoldAscii(stored[i]) != FoldAscii(name[i])) return false;
  return true;
}

void CopyText(const std::string& text, char* buffer, unsigned long size) {
  if (!buffer || size == 0) return;
  const size_t n = text.size() < size ? text.size() : size - 1;
  memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

void FreeOpenEntry(unzFile zip) {
  if (!zip->open) return;
  if (zip->open->streamInit) inflateEnd(&zip->open->stream);
  delete zip->open;
  zip->open = nullptr;
}

// Moves more compressed bytes into the stream's input; false when there are none
// left or the file cannot be read.
bool Refill(unzFile zip, OpenEntry& e) {
  if (e.compressedLeft == 0) return false;
  const DWORD n = e.compressedLeft < kInputChunk ? e.compressedLeft : kInputChunk;
  if (!ReadAt(zip, e.dataPos, e.input.data(), n)) return false;
  e.dataPos += n;
  e.compressedLeft -= n;
  e.stream.next_in = e.input.data();
  e.stream.avail_in = n;
  return true;
}

// Inflates into out until it is full or the stream ends; the count produced, or
// a negative code.
long long InflateInto(unzFile zip, OpenEntry& e, BYTE* out, DWORD size) {
  e.stream.next_out = out;
  e.stream.avail_out = size;
  while (e.stream.avail_out > 0 && !e.streamEnded) {
    if (e.stream.avail_in == 0 && !Refill(zip, e)) {
      // No input left yet the stream has not ended: truncated or a lying size.
      return e.compressedLeft == 0 ? UNZ_BADZIPFILE : UNZ_ERRNO;
    }
    const uInt inBefore = e.stream.avail_in;
    const uInt outBefore = e.stream.avail_out;
    const int result = inflate(&e.stream, Z_SYNC_FLUSH);
    if (result == Z_STREAM_END) {
      e.streamEnded = true;
    } else if (result != Z_OK && result != Z_BUF_ERROR) {
      return UNZ_BADZIPFILE;
    } else if (e.stream.avail_in == inBefore && e.stream.avail_out == outBefore) {
      return UNZ_BADZIPFILE;
    }
  }
  return (long long)(size - e.stream.avail_out);
}

// The end of the declared data: nothing may follow it and the CRC must match.
int CheckEnd(unzFile zip, OpenEntry& e, const Entry& entry) {
  if (e.deflated && !e.streamEnded) {
    BYTE spare = 0;
    const long long n = InflateInto(zip, e, &spare, 1);
    if (n < 0) return int(n);
    // Inflating past the declared size: the archive lies about this entry.
    if (n > 0 || !e.streamEnded) return UNZ_BADZIPFILE;
  }
  return e.crc == entry.info.crc ? UNZ_OK : UNZ_CRCERROR;
}

}  // namespace

unzFile unzOpen(const wchar_t* path) {
  if (!path || !*path) return nullptr;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  unzFile zip = new unz_archive_s;
  zip->file = file;
  LARGE_INTEGER size;
  // Offsets in the archive are 32-bit; a larger file is not one this reader knows.
  const bool sized = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && ULONGLONG(size.QuadPart) <= 0xFFFFFFFFull;
  if (sized) zip->fileSize = ULONGLONG(size.QuadPart);
  if (!sized || !ReadDirectory(zip)) {
    unzClose(zip);
    return nullptr;
  }
  return zip;
}

unzFile unzOpen(const char* path) {
  if (!path || !*path) return nullptr;
  const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (n <= 0) return nullptr;
  std::wstring wide(size_t(n), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n) != n) return nullptr;
  return unzOpen(wide.c_str());
}

int unzClose(unzFile zip) {
  if (!zip) return UNZ_PARAMERROR;
  FreeOpenEntry(zip);
  if (zip->file != INVALID_HANDLE_VALUE) CloseHandle(zip->file);
  delete zip;
  return UNZ_OK;
}

int unzGetGlobalInfo(unzFile zip, unz_global_info* info) {
  if (!zip || !info) return UNZ_PARAMERROR;
  info->number_entry = (unsigned long)zip->entries.size();
  info->size_comment = zip->commentSize;
  return UNZ_OK;
}

int unzGoToFirstFile(unzFile zip) {
  if (!zip) return UNZ_PARAMERROR;
  if (zip->entries.empty()) return UNZ_END_OF_LIST_OF_FILE;
  FreeOpenEntry(zip);
  zip->current = 0;
  return UNZ_OK;
}

int unzGoToNextFile(unzFile zip) {
  if (!zip) return UNZ_PARAMERROR;
  if (zip->current + 1 >= zip->entries.size()) return UNZ_END_OF_LIST_OF_FILE;
  FreeOpenEntry(zip);
  zip->current++;
  return UNZ_OK;
}

int unzLocateFile(unzFile zip, const char* name, int caseSensitivity) {
  if (!zip || !name) return UNZ_PARAMERROR;
  const bool ignoreCase = caseSensitivity != 1;
  for (size_t i = 0; i < zip->entries.size(); i++) {
    if (NamesEqual(zip->entries[i].name, name, ignoreCase)) {
      FreeOpenEntry(zip);
      zip->current = i;
      return UNZ_OK;
    }
  }
  return UNZ_END_OF_LIST_OF_FILE;
}

int unzGetCurrentFileInfo(unzFile zip, unz_file_info* info, char* fileName, unsigned long fileNameBufferSize,
                          void* extraField, unsigned long extraFieldBufferSize, char* comment,
                          unsigned long commentBufferSize) {
  if (!zip) return UNZ_PARAMERROR;
  if (zip->current >= zip->entries.size()) return UNZ_END_OF_LIST_OF_FILE;
  const Entry& e = zip->entries[zip->current];
  if (info) *info = e.info;
  CopyText(e.name, fileName, fileNameBufferSize);
  if (extraField && extraFieldBufferSize) {
    const size_t n = e.extra.size() < extraFieldBufferSize ? e.extra.size() : extraFieldBufferSize;
    if (n) memcpy(extraField, e.extra.data(), n);
  }
  CopyText(e.comment, comment, commentBufferSize);
  return UNZ_OK;
}

int unzOpenCurrentFile(unzFile zip) {
  if (!zip) return UNZ_PARAMERROR;
  if (zip->current >= zip->entries.size()) return UNZ_END_OF_LIST_OF_FILE;
  FreeOpenEntry(zip);
  const Entry& entry = zip->entries[zip->current];
  if (entry.info.flag & kFlagEncrypted) return UNZ_BADZIPFILE;
  if (entry.info.compression_method != kMethodStored && entry.info.compression_method != kMethodDeflated)
    return UNZ_BADZIPFILE;
  BYTE local[kLocalRecordSize];
  if (!ReadAt(zip, entry.localOffset, local, kLocalRecordSize) || Dword(local) != kLocalSignature)
    return UNZ_BADZIPFILE;
  // The local name and extra field may differ in length from the central ones.
  const ULONGLONG dataPos = ULONGLONG(entry.localOffset) + kLocalRecordSize + Word(local + 26) + Word(local + 28);
  if (dataPos > zip->fileSize || entry.info.compressed_size > zip->fileSize - dataPos) return UNZ_BADZIPFILE;

  OpenEntry* e = new OpenEntry;
  e->deflated = entry.info.compression_method == kMethodDeflated;
  e->dataPos = dataPos;
  e->compressedLeft = DWORD(entry.info.compressed_size);
  e->uncompressedLeft = DWORD(entry.info.uncompressed_size);
  e->crc = crc32(0L, Z_NULL, 0);
  if (e->deflated) {
    e->input.resize(kInputChunk);
    if (inflateInit2(&e->stream, -MAX_WBITS) != Z_OK) {
      delete e;
      return UNZ_INTERNALERROR;
    }
    e->streamInit = true;
  }
  zip->open = e;
  return UNZ_OK;
}

int unzReadCurrentFile(unzFile zip, void* buffer, unsigned len) {
  if (!zip || !zip->open) return UNZ_PARAMERROR;
  OpenEntry& e = *zip->open;
  if (e.error != UNZ_OK) return e.error;
  if (e.uncompressedLeft == 0) {
    if (!e.endChecked) {
      e.error = CheckEnd(zip, e, zip->entries[zip->current]);
      e.endChecked = true;
    }
    return e.error;
  }
  if (len == 0) return 0;
  if (!buffer) return UNZ_PARAMERROR;
  DWORD want = len < e.uncompressedLeft ? len : e.uncompressedLeft;
  if (want > INT_MAX) want = INT_MAX;
  BYTE* out = static_cast<BYTE*>(buffer);
  long long got = 0;
  if (e.deflated) {
    got = InflateInto(zip, e, out, want);
    // The stream ended before the declared size: the data is shorter than it says.
    if (got >= 0 && DWORD(got) < want && e.streamEnded) got = UNZ_BADZIPFILE;
  } else {
    if (e.compressedLeft < want) {
      got = UNZ_BADZIPFILE;
    } else if (!ReadAt(zip, e.dataPos, out, want)) {
      got = UNZ_ERRNO;
    } else {
      e.dataPos += want;
      e.compressedLeft -= want;
      got = want;
    }
  }
  if (got < 0) {
    e.error = int(got);
    return e.error;
  }
  e.crc = crc32(e.crc, out, uInt(got));
  e.uncompressedLeft -= DWORD(got);
  return int(got);
}

int unzCloseCurrentFile(unzFile zip) {
  if (!zip || !zip->open) return UNZ_PARAMERROR;
  OpenEntry& e = *zip->open;
  int result = UNZ_OK;
  if (e.uncompressedLeft == 0 && (e.error == UNZ_OK || e.error == UNZ_CRCERROR) &&
      e.crc != zip->entries[zip->current].info.crc)
    result = UNZ_CRCERROR;
  FreeOpenEntry(zip);
  return result;
}
