// The .zip reader the programs were written against: open an archive, walk or
// locate its entries, read one entry at a time. Entries are stored (method 0) or
// deflated (method 8); nothing else, no encryption, no spanning, no Zip64.
//
// What callers may rely on beyond the classic reader:
// - an entry never yields more bytes than its declared uncompressed size;
// - a damaged archive (offsets or sizes outside the file, truncated data, data
//   that ends early or inflates beyond its declared size, a wrong CRC) gives an
//   error code, never a read outside the file or the caller's buffer;
// - entry names of any length are found (the classic reader stops at 255);
// - unzOpen also takes a UTF-16 path.
#pragma once
#include <windows.h>

// Results. Reads return a byte count (> 0), 0 at the end, or one of the negatives.
#define UNZ_OK 0
#define UNZ_END_OF_LIST_OF_FILE (-100)
#define UNZ_ERRNO (-1)
#define UNZ_EOF 0
#define UNZ_PARAMERROR (-102)
#define UNZ_BADZIPFILE (-103)
#define UNZ_INTERNALERROR (-104)
#define UNZ_CRCERROR (-105)

typedef struct unz_archive_s* unzFile;

typedef struct tm_unz_s {
  unsigned int tm_sec;   // 0-59
  unsigned int tm_min;   // 0-59
  unsigned int tm_hour;  // 0-23
  unsigned int tm_mday;  // 1-31
  unsigned int tm_mon;   // 0-11
  unsigned int tm_year;  // full year
} tm_unz;

typedef struct unz_global_info_s {
  unsigned long number_entry;
  unsigned long size_comment;
} unz_global_info;

// One entry as its central directory record gives it.
typedef struct unz_file_info_s {
  unsigned long version;
  unsigned long version_needed;
  unsigned long flag;
  unsigned long compression_method;
  unsigned long dosDate;
  unsigned long crc;
  unsigned long compressed_size;
  unsigned long uncompressed_size;
  unsigned long size_filename;
  unsigned long size_file_extra;
  unsigned long size_file_comment;
  unsigned long disk_num_start;
  unsigned long internal_fa;
  unsigned long external_fa;
  tm_unz tmu_date;
} unz_file_info;

// Null for a missing, unreadable or damaged archive. The narrow path is in the
// ANSI code page. The archive starts at its first entry.
unzFile unzOpen(const char* path);
unzFile unzOpen(const wchar_t* path);
int unzClose(unzFile file);
int unzGetGlobalInfo(unzFile file, unz_global_info* info);

// Entries in the archive's own order; UNZ_END_OF_LIST_OF_FILE past the last one
// (the current entry then stays where it was).
int unzGoToFirstFile(unzFile file);
int unzGoToNextFile(unzFile file);

// caseSensitivity: 1 exact, 2 ignoring ASCII case, 0 the system's default, which
// on this platform ignores case. The whole stored name is compared. A name not
// found gives UNZ_END_OF_LIST_OF_FILE and leaves the current entry as it was.
int unzLocateFile(unzFile file, const char* name, int caseSensitivity);

// Any of the out buffers may be null. The name and the comment are cut to fit
// and always terminated when their buffer has room for anything; the extra
// field is copied raw.
int unzGetCurrentFileInfo(unzFile file, unz_file_info* info, char* fileName, unsigned long fileNameBufferSize,
                          void* extraField, unsigned long extraFieldBufferSize, char* comment,
                          unsigned long commentBufferSize);

// Reads the current entry's local header; one entry is open at a time (opening
// closes the previous one).
int unzOpenCurrentFile(unzFile file);
// Up to len bytes of the open entry. The call that returns 0 at the end also
// checks that the data ended where its size said and that the CRC matches.
int unzReadCurrentFile(unzFile file, void* buffer, unsigned len);
// UNZ_CRCERROR when the whole entry was read and its CRC does not match.
int unzCloseCurrentFile(unzFile file);
