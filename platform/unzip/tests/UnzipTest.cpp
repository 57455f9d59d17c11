// How the .zip reader behaves for the archives the programs read (skins, tab
// icons, key layouts) and for damaged ones.
#include "platform/unzip/unzip.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/unzip/tests/ZipWriter.h"

using namespace ziptest;

namespace {

Bytes Pattern(size_t size, unsigned seed) {
  Bytes b(size);
  unsigned v = seed;
  for (size_t i = 0; i < size; i++) {
    v = v * 1103515245u + 12345u;
    b[i] = BYTE((i % 7 == 0) ? (v >> 16) : (i / 13));  // compressible, yet not trivially
  }
  return b;
}

long long Crc(const Bytes& data, size_t size) { return (long long)crc32(0, data.data(), uInt(size)); }

// Result of reading the open entry to its end.
struct ReadOutcome {
  Bytes data;
  std::vector<int> results;  // every call's result
  int last = 0;
};

// Reads in chunks until a call gives 0 or less, into a buffer exactly the declared
// size with guard bytes after it; the guards must survive.
ReadOutcome ReadEntry(unzFile zip, unsigned chunk) {
  ReadOutcome out;
  unz_file_info info = {};
  EXPECT_EQ(UNZ_OK, unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0));
  const size_t declared = info.uncompressed_size;
  Bytes buffer(declared + 64, 0xCD);
  size_t at = 0;
  for (int calls = 0; calls < 100000; calls++) {
    // Asks for the whole chunk even where less room remains: the declared size caps it.
    const int n = unzReadCurrentFile(zip, buffer.data() + at, chunk);
    out.results.push_back(n);
    out.last = n;
    if (n <= 0) break;
    at += size_t(n);
    if (at > declared) break;
  }
  EXPECT_LE(at, declared);
  for (size_t i = declared; i < buffer.size(); i++) EXPECT_EQ(0xCD, buffer[i]) << "written past the declared size";
  out.data.assign(buffer.begin(), buffer.begin() + ptrdiff_t(at < declared ? at : declared));
  return out;
}

class UnzipTest : public ::testing::Test {
 protected:
  UnzipTest() : m_folder(L"unzip_test") {}

  // Writes the archive and opens it; null when the reader refuses it.
  unzFile OpenBytes(const Bytes& zip, const wchar_t* name = L"test.zip") {
    const std::wstring path = m_folder.File(name);
    EXPECT_TRUE(WriteBytes(path, zip));
    return unzOpen(path.c_str());
  }

  TempFolder m_folder;
};

struct Closer {
  unzFile zip;
  ~Closer() {
    if (zip) unzClose(zip);
  }
};

TEST_F(UnzipTest, EntriesComeInArchiveOrderWithTheirCentralInfo) {
  std::vector<ZipEntry> entries = {
      {"first.bmp", Pattern(3000, 1), 0},
      {"second.bmp", Pattern(5000, 2), 8},
      {"empty.txt", {}, 0},
      {"empty-deflated.txt", {}, 8},
  };
  // The data follows the local header's own extra field, which the central record does not have.
  entries[1].localExtra = Bytes(12, 0x55);
  unzFile zip = OpenBytes(BuildZip(entries, "skin comment"));
  ASSERT_NE(nullptr, zip);
  Closer closer{zip};
  unz_global_info global = {};
  ASSERT_EQ(UNZ_OK, unzGetGlobalInfo(zip, &global));
  EXPECT_EQ(4u, global.number_entry);
  EXPECT_EQ(12u, global.size_comment);

  ASSERT_EQ(UNZ_OK, unzGoToFirstFile(zip));
  for (size_t i = 0; i < entries.size(); i++) {
    SCOPED_TRACE(entries[i].name);
    if (i) {
      ASSERT_EQ(UNZ_OK, unzGoToNextFile(zip));
    }
    unz_file_info info = {};
    char name[260];
    ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0));
    EXPECT_STREQ(entries[i].name.c_str(), name);
    EXPECT_EQ(entries[i].data.size(), info.uncompressed_size);
    EXPECT_EQ(entries[i].method, info.compression_method);
    EXPECT_EQ(entries[i].name.size(), info.size_filename);
    EXPECT_EQ(2025u, info.tmu_date.tm_year);
    EXPECT_EQ(3u, info.tmu_date.tm_mon);
    EXPECT_EQ(12u, info.tmu_date.tm_mday);
    ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
    ReadOutcome read = ReadEntry(zip, 10240);
    EXPECT_EQ(0, read.last);
    EXPECT_EQ(entries[i].data, read.data);
    EXPECT_EQ(UNZ_OK, unzCloseCurrentFile(zip));
  }
  EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, unzGoToNextFile(zip));
  // Past the end the last entry stays current.
  char name[64];
  ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0));
  EXPECT_STREQ("empty-deflated.txt", name);
}

TEST_F(UnzipTest, AnEntryOf25000BytesComesIn10240ByteChunksThenZero) {
  for (WORD method : {WORD(0), WORD(8)}) {
    SCOPED_TRACE(method);
    const Bytes data = Pattern(25000, 7);
    unzFile zip = OpenBytes(BuildZip({{"layout.txt", data, method}}));
    ASSERT_NE(nullptr, zip);
    Closer closer{zip};
    ASSERT_EQ(UNZ_OK, unzLocateFile(zip, "layout.txt", 0));
    ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
    ReadOutcome read = ReadEntry(zip, 10240);
    EXPECT_EQ((std::vector<int>{10240, 10240, 4520, 0}), read.results);
    EXPECT_EQ(data, read.data);
    // Reading on at the end keeps giving 0.
    BYTE more[16];
    EXPECT_EQ(0, unzReadCurrentFile(zip, more, sizeof more));
    EXPECT_EQ(UNZ_OK, unzCloseCurrentFile(zip));
  }
}

TEST_F(UnzipTest, LocateComparesTheWholeNameIgnoringAsciiCaseByDefault) {
  const std::string longName = std::string(200, 'n') + "\\" + std::string(55, 'm') + ".bmp";
  ASSERT_EQ(260u, longName.size());
  unzFile zip = OpenBytes(BuildZip({
      {"NOTE_16.bmp", ToBytes("upper"), 0},
      {"note_16.BMP", ToBytes("lower"), 0},
      {"Skins/HOME_16.bmp", ToBytes("in folder"), 8},
      {"\xC9t\xE9.bmp", ToBytes("accented"), 0},
      {longName, ToBytes("long"), 8},
  }));
  ASSERT_NE(nullptr, zip);
  Closer closer{zip};

  struct Case {
    const char* query;
    int rule;
    const char* found;  // content of the entry found, null when none
  } const cases[] = {
      {"NOTE_16.bmp", 0, "upper"},
      {"note_16.bmp", 0, "upper"},  // the first of the names equal ignoring case
      {"note_16.BMP", 1, "lower"},
      {"Note_16.Bmp", 1, nullptr},
      {"Note_16.Bmp", 2, "upper"},
      {"HOME_16.bmp", 0, nullptr},  // no path stripping
      {"skins/home_16.BMP", 0, "in folder"},
      {"NOTE_16", 0, nullptr},
      {"NOTE_16.bmp2", 0, nullptr},
      {"", 0, nullptr},
      {"\xC9T\xE9.BMP", 0, "accented"},
      {"\xE9t\xE9.bmp", 0, nullptr},  // only ASCII letters fold
      {longName.c_str(), 0, "long"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    ASSERT_EQ(UNZ_OK, unzGoToFirstFile(zip));
    ASSERT_EQ(UNZ_OK, unzGoToNextFile(zip));
    const int result = unzLocateFile(zip, c.query, c.rule);
    if (!c.found) {
      EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, result);
      char name[32];
      ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0));
      EXPECT_STREQ("note_16.BMP", name) << "a failed lookup moved the current entry";
      continue;
    }
    ASSERT_EQ(UNZ_OK, result);
    ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
    EXPECT_EQ(ToBytes(c.found), ReadEntry(zip, 10240).data);
    unzCloseCurrentFile(zip);
  }
}

TEST_F(UnzipTest, AShortNameBufferGetsACutTerminatedName) {
  unzFile zip = OpenBytes(BuildZip({{"scrollbar_up_16.bmp", ToBytes("x"), 0}}));
  ASSERT_NE(nullptr, zip);
  Closer closer{zip};
  char name[8];
  memset(name, 'Z', sizeof name);
  unz_file_info info = {};
  ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0));
  EXPECT_STREQ("scrollb", name);
  EXPECT_EQ(19u, info.size_filename);
}

TEST_F(UnzipTest, AnEmptyArchiveOpensWithNoEntries) {
  unzFile zip = OpenBytes(BuildZip({}));
  ASSERT_NE(nullptr, zip);
  Closer closer{zip};
  unz_global_info global = {};
  ASSERT_EQ(UNZ_OK, unzGetGlobalInfo(zip, &global));
  EXPECT_EQ(0u, global.number_entry);
  EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, unzGoToFirstFile(zip));
  EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, unzLocateFile(zip, "NOTE_16.bmp", 0));
  EXPECT_EQ(UNZ_END_OF_LIST_OF_FILE, unzOpenCurrentFile(zip));
  EXPECT_EQ(UNZ_PARAMERROR, unzReadCurrentFile(zip, nullptr, 0));
}

TEST_F(UnzipTest, OpensByWideAndByAnsiPath) {
  const Bytes zip = BuildZip({{"a.txt", ToBytes("wide"), 8}});
  const std::wstring wide = m_folder.File(L"\x0160k\x00EDn \x05D0\x4E2D.zip");
  ASSERT_TRUE(WriteBytes(wide, zip));
  unzFile opened = unzOpen(wide.c_str());
  ASSERT_NE(nullptr, opened);
  unzClose(opened);

  const std::wstring plain = m_folder.File(L"plain.zip");
  ASSERT_TRUE(WriteBytes(plain, zip));
  char ansi[MAX_PATH * 2];
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, plain.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr), 0);
  opened = unzOpen(ansi);
  ASSERT_NE(nullptr, opened);
  unzClose(opened);

  EXPECT_EQ(nullptr, unzOpen(m_folder.File(L"missing.zip").c_str()));
  EXPECT_EQ(nullptr, unzOpen(L""));
  EXPECT_EQ(nullptr, unzOpen(""));
  const std::wstring text = m_folder.File(L"not-a-zip.bmp");
  ASSERT_TRUE(WriteBytes(text, ToBytes(std::string(300, 'B'))));
  EXPECT_EQ(nullptr, unzOpen(text.c_str()));
  EXPECT_EQ(nullptr, unzOpen(m_folder.Path().c_str()));
}

// Damaged archives: the reader refuses them at open, at the entry's open, or while
// reading; it never gives more than the declared size or reads beyond the file.
TEST_F(UnzipTest, DamagedArchivesGiveErrorsNeverExtraBytes) {
  const Bytes data = Pattern(20000, 3);
  const Bytes zeros(1 << 20, 0);
  enum Stage { kOpen, kOpenEntry, kRead, kCrc };
  struct Case {
    const char* what;
    std::vector<ZipEntry> entries;
    void (*damage)(Bytes& zip, const ZipLayout& layout);
    Stage failsAt;
  };
  auto none = [](Bytes&, const ZipLayout&) {};
  const Case cases[] = {
      {"deflated size larger than the data", {{"a", data, 8, 0, 30000}}, none, kRead},
      {"stored size larger than the file", {{"a", data, 0, 0, 30000, 30000}}, none, kOpenEntry},
      // The CRCs below are right for the declared bytes: only the data's end gives the lie away.
      {"zip bomb: 1 MiB of zeros declared as 100 bytes", {{"a", zeros, 8, 0, 100, -1, Crc(zeros, 100)}}, none, kRead},
      {"deflated size smaller than the data", {{"a", data, 8, 0, 19999, -1, Crc(data, 19999)}}, none, kRead},
      {"compressed size cut short", {{"a", data, 8, 0, -1, 100}}, none, kRead},
      {"compressed size past the end of the file", {{"a", data, 8, 0, -1, 0x7FFFFFF0}}, none, kOpenEntry},
      {"wrong CRC", {{"a", data, 8, 0, -1, -1, 0x12345678}}, none, kCrc},
      {"wrong CRC, stored", {{"a", data, 0, 0, -1, -1, 0x12345678}}, none, kCrc},
      {"encrypted", {{"a", data, 0, 1}}, none, kOpenEntry},
      {"unknown method", {{"a", data, 12}}, none, kOpenEntry},
      {"garbage deflate data",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) {
         for (size_t i = 0; i < 64; i++) zip[l.dataOffsets[0] + i] = BYTE(0xFF - i);
       },
       kRead},
      {"local header offset past the file",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { Set32(zip, l.centralOffset + 42, 0xFFFFFF00); },
       kOpenEntry},
      {"local header signature broken",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip[l.localOffsets[0]] = 'X'; },
       kOpenEntry},
      {"local extra length past the file",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip[l.localOffsets[0] + 28] = zip[l.localOffsets[0] + 29] = 0xFF; },
       kOpenEntry},
      {"central directory offset past the file",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { Set32(zip, l.endOffset + 16, 0x7FFFFFFF); },
       kOpen},
      {"central directory size past the end record",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { Set32(zip, l.endOffset + 12, l.centralSize + 100); },
       kOpen},
      {"more entries than the directory holds",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip[l.endOffset + 8] = zip[l.endOffset + 10] = 2; },
       kOpen},
      {"name length running out of the directory",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip[l.centralOffset + 29] = 0x40; },
       kOpen},
      {"central signature broken",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip[l.centralOffset] = 'X'; },
       kOpen},
      {"truncated inside the central directory",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) { zip.resize(l.centralOffset + 10); },
       kOpen},
      {"truncated inside the entry's data, end record moved up",
       {{"a", data, 8}},
       [](Bytes& zip, const ZipLayout& l) {
         Bytes tail(zip.begin() + l.centralOffset, zip.end());
         zip.resize(l.dataOffsets[0] + 50);
         const DWORD newCentral = DWORD(zip.size());
         zip.insert(zip.end(), tail.begin(), tail.end());
         Set32(zip, newCentral + (l.endOffset - l.centralOffset) + 16, newCentral);
       },
       kOpenEntry},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ZipLayout layout;
    Bytes bytes = BuildZip(c.entries, "", &layout);
    c.damage(bytes, layout);
    unzFile zip = OpenBytes(bytes);
    if (c.failsAt == kOpen) {
      EXPECT_EQ(nullptr, zip);
      if (zip) unzClose(zip);
      continue;
    }
    ASSERT_NE(nullptr, zip);
    Closer closer{zip};
    ASSERT_EQ(UNZ_OK, unzGoToFirstFile(zip));
    const int opened = unzOpenCurrentFile(zip);
    if (c.failsAt == kOpenEntry) {
      EXPECT_LT(opened, 0);
      EXPECT_EQ(UNZ_PARAMERROR, unzReadCurrentFile(zip, nullptr, 10));
      continue;
    }
    ASSERT_EQ(UNZ_OK, opened);
    ReadOutcome read = ReadEntry(zip, 10240);
    EXPECT_EQ(c.failsAt == kCrc ? UNZ_CRCERROR : UNZ_BADZIPFILE, read.last);
    // An error sticks until the entry is closed.
    BYTE more[8];
    EXPECT_EQ(read.last, unzReadCurrentFile(zip, more, sizeof more));
    if (c.failsAt == kCrc) {
      EXPECT_EQ(data, read.data);
      EXPECT_EQ(UNZ_CRCERROR, unzCloseCurrentFile(zip));
    }
  }
}

// Every single damaged byte and every truncation of a small archive: whatever the
// reader makes of it, it stays within the declared sizes and the file.
TEST_F(UnzipTest, AnyDamagedByteOrCutIsSurvived) {
  const Bytes good = BuildZip({
      {"stored.bmp", Pattern(120, 5), 0},
      {"deflated.bmp", Pattern(400, 6), 8},
  });
  auto walk = [&](const Bytes& bytes) {
    unzFile zip = OpenBytes(bytes);
    if (!zip) return;
    int result = unzGoToFirstFile(zip);
    while (result == UNZ_OK) {
      unz_file_info info = {};
      unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
      // A flipped size byte can claim gigabytes; the test's own buffer stays small.
      if (info.uncompressed_size <= (1u << 20) && unzOpenCurrentFile(zip) == UNZ_OK) {
        ReadEntry(zip, 64);
        unzCloseCurrentFile(zip);
      }
      result = unzGoToNextFile(zip);
    }
    unzClose(zip);
  };
  for (size_t i = 0; i < good.size(); i++) {
    SCOPED_TRACE(i);
    Bytes bytes = good;
    bytes[i] ^= 0xA5;
    walk(bytes);
    walk(Bytes(good.begin(), good.begin() + ptrdiff_t(i)));
  }
}

}  // namespace
