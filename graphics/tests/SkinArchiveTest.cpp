// A skin read from a folder and from a .zip (stored or deflated) gives the same
// members and the same bitmaps: every case below runs against all three.
#include "graphics/SkinArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/tests/TestImages.h"
#include "platform/tests/ByteMutator.h"
#include "platform/imaging/tests/EncodedImage.h"
#include "platform/unzip/tests/ZipWriter.h"

using ziptest::Bytes;
using ziptest::TempFolder;
using ziptest::ZipEntry;

namespace {

enum SourceKind { kFolder, kZipStored, kZipDeflated };

const int kWidth = 6;
const int kHeight = 4;

// A 5 x 3 picture of 8 bits with a four-colour table.
Bytes MakePaletteBmp() {
  const int width = 5, height = 3, stride = 8;
  Bytes b(70 + stride * height, 0);
  testimg::Put16(b, 0, 0x4D42);
  testimg::Put32(b, 2, DWORD(b.size()));
  testimg::Put32(b, 10, 70);
  testimg::Put32(b, 14, 40);
  testimg::Put32(b, 18, width);
  testimg::Put32(b, 22, height);
  testimg::Put16(b, 26, 1);
  testimg::Put16(b, 28, 8);
  testimg::Put32(b, 46, 4);
  const COLORREF table[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  for (int i = 0; i < 4; i++) testimg::Put32(b, 54 + 4 * i, DWORD(GetBValue(table[i]) | (GetGValue(table[i]) << 8) | (GetRValue(table[i]) << 16)));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) b[70 + size_t(height - 1 - y) * stride + x] = BYTE((x + y) % 4);
  return b;
}

COLORREF PaletteColour(int x, int y) {
  const COLORREF table[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  return table[(x + y) % 4];
}

// The pixels of any bitmap, read back as 0x00BBGGRR, rows from the top.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int& width, int& height) {
  BITMAP info = {};
  width = height = 0;
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {};
  width = info.bmWidth;
  height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  BITMAPINFO request = {};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = width;
  request.bmiHeader.biHeight = -height;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  std::vector<DWORD> raw(size_t(width) * height);
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, UINT(height), raw.data(), &request, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (rows != height) return {};
  std::vector<COLORREF> pixels;
  for (DWORD p : raw) pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return pixels;
}

// Checks a bitmap pixel by pixel against colour(x, y).
void ExpectPixels(HBITMAP bitmap, int width, int height, COLORREF (*colour)(int, int), int dx = 0, int dy = 0) {
  int w = 0, h = 0;
  const std::vector<COLORREF> pixels = PixelsOf(bitmap, w, h);
  ASSERT_EQ(width, w);
  ASSERT_EQ(height, h);
  ASSERT_EQ(size_t(w) * h, pixels.size());
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      EXPECT_EQ(colour(x + dx, y + dy), pixels[size_t(y) * w + x]) << "at " << x << "," << y;
}

// The bits per pixel of a DIB section; 0 for any other bitmap. (GetObject gives
// every section's height as positive: the row order shows only in the bits.)
int DibBitCount(HBITMAP bitmap) {
  DIBSECTION section;
  return GetObjectW(bitmap, sizeof section, &section) == sizeof section ? section.dsBm.bmBitsPixel : 0;
}

struct BitmapHolder {
  HBITMAP bitmap;
  ~BitmapHolder() {
    if (bitmap) DeleteObject(bitmap);
  }
};

// The options program's choice for whole uncached DIBs, the library's again afterwards.
struct WholeDibFormat {
  explicit WholeDibFormat(BOOL memberFormat) { CSkinArchive::SetWholeDibInMemberFormat(memberFormat); }
  ~WholeDibFormat() { CSkinArchive::SetWholeDibInMemberFormat(FALSE); }
};

// 25000 bytes that do not repeat: more than two reads of the .zip reader's chunk.
Bytes LargeMember() {
  Bytes b(25000);
  DWORD x = 12345;
  for (BYTE& c : b) {
    x = x * 1103515245 + 12345;
    c = BYTE(x >> 16);
  }
  return b;
}

class SkinArchiveTest : public ::testing::TestWithParam<SourceKind> {
 protected:
  SkinArchiveTest() : m_root(L"skin_archive_test") {
    m_pattern = testimg::MakeBmp(kWidth, kHeight, false, testimg::Pattern);
    m_name260 = std::wstring(200, L'l') + L"\\" + std::wstring(55, L'm') + L".bmp";
    m_name261 = std::wstring(200, L'l') + L"\\" + std::wstring(56, L'm') + L".bmp";
    Bytes shortBmp = m_pattern;
    shortBmp.resize(shortBmp.size() - 10);
    const std::vector<std::pair<std::wstring, Bytes>> members = {
        {L"pattern.bmp", m_pattern},
        {L"topdown.bmp", testimg::MakeBmp(kWidth, kHeight, true, testimg::Pattern)},
        {L"palette.bmp", MakePaletteBmp()},
        {L"short.bmp", shortBmp},
        {m_name260, m_pattern},
        {m_name261, m_pattern},
        {L"large.bin", LargeMember()},
    };
    m_folder = m_root.File(L"skin");
    CreateDirectoryW(m_folder.c_str(), nullptr);
    CreateDirectoryW((m_folder + L"\\" + std::wstring(200, L'l')).c_str(), nullptr);
    std::vector<ZipEntry> entries;
    for (const auto& member : members) {
      ziptest::WriteBytes(m_folder + L"\\" + member.first, member.second);
      entries.emplace_back(std::string(member.first.begin(), member.first.end()), member.second,
                           GetParam() == kZipStored ? 0 : 8);
    }
    m_zip = m_root.File(L"skin.zip");
    ziptest::WriteBytes(m_zip, ziptest::BuildZip(entries));
  }

  // The path of this run's source.
  std::wstring SourcePath() const { return GetParam() == kFolder ? m_folder : m_zip; }

  TempFolder m_root;
  std::wstring m_folder, m_zip;
  Bytes m_pattern;
  std::wstring m_name260, m_name261;
  CSkinArchive m_archive;
};

INSTANTIATE_TEST_SUITE_P(Sources, SkinArchiveTest, ::testing::Values(kFolder, kZipStored, kZipDeflated),
                         [](const ::testing::TestParamInfo<SourceKind>& info) {
                           return std::string(info.param == kFolder      ? "Folder"
                                              : info.param == kZipStored ? "ZipStored"
                                                                         : "ZipDeflated");
                         });

// A .zip lists every entry in its order, with its folder part; a folder lists its
// own files only. A name is given only with room for its terminator.
TEST_P(SkinArchiveTest, FilesAreListedInTheArchivesOrder) {
  WCHAR name[600];
  EXPECT_EQ(m_archive.GetFileCount(), 0);
  EXPECT_FALSE(m_archive.GetFileName(0, name, ARRAYSIZE(name)));
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  std::vector<std::wstring> expected = {L"pattern.bmp", L"topdown.bmp", L"palette.bmp", L"short.bmp"};
  if (GetParam() != kFolder) {
    expected.push_back(m_name260);
    expected.push_back(m_name261);
  }
  expected.push_back(L"large.bin");
  ASSERT_EQ(m_archive.GetFileCount(), int(expected.size()));
  std::vector<std::wstring> listed;
  for (int i = 0; i < m_archive.GetFileCount(); ++i) {
    ASSERT_TRUE(m_archive.GetFileName(i, name, ARRAYSIZE(name))) << i;
    listed.push_back(name);
  }
  if (GetParam() == kFolder) {
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(listed, expected);
  const int last = m_archive.GetFileCount();
  for (int index : {-1, last}) {
    name[0] = L'x';
    EXPECT_FALSE(m_archive.GetFileName(index, name, ARRAYSIZE(name))) << index;
    EXPECT_EQ(name[0], L'\0');
  }
  // Find where "pattern.bmp" (11 characters) is listed, then give it 11 and 12.
  int at = -1;
  for (int i = 0; i < last && at < 0; ++i)
    if (m_archive.GetFileName(i, name, ARRAYSIZE(name)) && std::wstring(name) == L"pattern.bmp") at = i;
  ASSERT_GE(at, 0);
  EXPECT_FALSE(m_archive.GetFileName(at, name, 11));
  EXPECT_EQ(name[0], L'\0');
  EXPECT_TRUE(m_archive.GetFileName(at, name, 12));
  EXPECT_FALSE(m_archive.GetFileName(at, nullptr, 12));
  // A long name is refused whole, never cut to the buffer.
  if (GetParam() != kFolder) {
    EXPECT_FALSE(m_archive.GetFileName(5, name, 261));
    EXPECT_TRUE(m_archive.GetFileName(5, name, 262));
    EXPECT_EQ(std::wstring(name), m_name261);
  }
}

TEST_P(SkinArchiveTest, MembersAreFoundByNameUpTo260Characters) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  struct Case {
    const wchar_t* what;
    LPCWSTR name;
    bool present;
  } const cases[] = {
      {L"plain", L"pattern.bmp", true},
      {L"other case", L"PATTERN.BMP", true},
      {L"missing", L"missing.bmp", false},
      {L"260 characters", m_name260.c_str(), true},
      {L"261 characters, though present", m_name261.c_str(), false},
      {L"empty", L"", false},
      {L"null", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.what)));
    const DWORD size = DWORD(m_pattern.size());
    EXPECT_EQ(c.present ? size : 0u, m_archive.GetFileSize(c.name));

    Bytes buffer(size, 0xEE);
    EXPECT_EQ(c.present, !!m_archive.ReadFile(c.name, buffer.data(), size));
    if (c.present) {
      EXPECT_EQ(m_pattern, buffer);
    }

    // A buffer one byte short is refused before anything is written to it.
    Bytes small(size - 1, 0xEE);
    EXPECT_FALSE(m_archive.ReadFile(c.name, small.data(), size - 1));
    EXPECT_EQ(Bytes(size - 1, 0xEE), small);

    DWORD memberSize = 123;
    BYTE* member = m_archive.ReadMember(c.name, &memberSize);
    EXPECT_EQ(c.present, member != nullptr);
    if (member) {
      ASSERT_EQ(size, memberSize);
      EXPECT_EQ(m_pattern, Bytes(member, member + memberSize));
      LocalFree(member);
    } else {
      EXPECT_EQ(0u, memberSize);
    }

    BitmapHolder bitmap{m_archive.LoadBitmap(c.name, 0, 0, -1, -1, FALSE)};
    EXPECT_EQ(c.present, bitmap.bitmap != nullptr);
  }
}

TEST_P(SkinArchiveTest, BitmapsComeOutPixelForPixel) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  for (BOOL cached : {FALSE, TRUE}) {
    SCOPED_TRACE(cached);
    BitmapHolder whole{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, cached)};
    ExpectPixels(whole.bitmap, kWidth, kHeight, testimg::Pattern);
    EXPECT_EQ(0, DibBitCount(whole.bitmap)) << "a bitmap compatible with the screen";

    // Rows stored top-down come out the same.
    BitmapHolder topDown{m_archive.LoadBitmap(L"topdown.bmp", 0, 0, -1, -1, cached)};
    ExpectPixels(topDown.bitmap, kWidth, kHeight, testimg::Pattern);

    BitmapHolder part{m_archive.LoadBitmap(L"pattern.bmp", 2, 1, 3, 2, cached)};
    ExpectPixels(part.bitmap, 3, 2, testimg::Pattern, 2, 1);

    void* bits = nullptr;
    BitmapHolder dibPart{m_archive.LoadDib(L"topdown.bmp", 1, 2, 4, -1, &bits, cached)};
    ASSERT_EQ(24, DibBitCount(dibPart.bitmap));
    ASSERT_NE(nullptr, bits);
    const BYTE* rows = static_cast<const BYTE*>(bits);
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 4; x++) {
        const BYTE* p = rows + y * CDib::StrideFor(4) + x * 3;
        EXPECT_EQ(testimg::Pattern(x + 1, y + 2), RGB(p[2], p[1], p[0])) << "at " << x << "," << y;
      }
    // -1 takes the member's own height; only the rows inside it are checked above.
    int w = 0, h = 0;
    PixelsOf(dibPart.bitmap, w, h);
    EXPECT_EQ(4, w);
    EXPECT_EQ(kHeight, h);

    BitmapHolder palette{m_archive.LoadBitmap(L"palette.bmp", 0, 0, -1, -1, cached)};
    ExpectPixels(palette.bitmap, 5, 3, PaletteColour);
  }
}

TEST_P(SkinArchiveTest, BadMembersGiveNoBitmapAndTheArchiveStaysUsable) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  void* bits = reinterpret_cast<void*>(1);
  for (BOOL cached : {FALSE, TRUE}) {
    EXPECT_EQ(nullptr, m_archive.LoadBitmap(L"short.bmp", 0, 0, -1, -1, cached));
    EXPECT_EQ(nullptr, m_archive.LoadDib(L"short.bmp", 0, 0, -1, -1, &bits, cached));
    EXPECT_EQ(nullptr, bits);
    EXPECT_EQ(nullptr, m_archive.LoadBitmap(L"missing.bmp", 0, 0, 2, 2, cached));
    EXPECT_EQ(nullptr, m_archive.LoadBitmap(L"pattern.bmp", 0, 0, 0, 2, cached));
  }
  BitmapHolder good{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, FALSE)};
  ExpectPixels(good.bitmap, kWidth, kHeight, testimg::Pattern);
}

TEST_P(SkinArchiveTest, ACachedMemberIsReadOnceUntilClearCache) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  HBITMAP shared = m_archive.GetBitmap(L"pattern.bmp", TRUE, FALSE);
  ASSERT_NE(nullptr, shared);
  EXPECT_EQ(shared, m_archive.GetBitmap(L"pattern.bmp", TRUE, FALSE));
  // With the archive closed nothing can be read: what still loads comes from the cache.
  m_archive.Close();
  EXPECT_FALSE(m_archive.IsOpen());
  EXPECT_EQ(0u, m_archive.GetFileSize(L"pattern.bmp"));
  BitmapHolder again{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, TRUE)};
  ExpectPixels(again.bitmap, kWidth, kHeight, testimg::Pattern);
  // Without the cache flag a cached name still comes from the cache, as the caller's own copy.
  BitmapHolder uncached{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, FALSE)};
  ASSERT_NE(shared, uncached.bitmap);
  ExpectPixels(uncached.bitmap, kWidth, kHeight, testimg::Pattern);
  void* bits = nullptr;
  BitmapHolder dib{m_archive.LoadDib(L"pattern.bmp", 0, 0, -1, -1, &bits, FALSE)};
  EXPECT_EQ(24, DibBitCount(dib.bitmap));
  ASSERT_NE(nullptr, bits);
  EXPECT_EQ(GetBValue(testimg::Pattern(0, 0)), static_cast<BYTE*>(bits)[0]) << "rows from the top";
  ExpectPixels(shared, kWidth, kHeight, testimg::Pattern);

  m_archive.ClearCache();
  EXPECT_EQ(nullptr, m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, TRUE));
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  BitmapHolder reread{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, TRUE)};
  ExpectPixels(reread.bitmap, kWidth, kHeight, testimg::Pattern);
}

TEST_P(SkinArchiveTest, TheLastUncachedBitmapIsTheArchivesUntilTheNextLoad) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  HBITMAP borrowed = m_archive.GetBitmap(L"pattern.bmp", FALSE, FALSE);
  ASSERT_NE(nullptr, borrowed);
  BitmapHolder kept{m_archive.GetBitmap(L"topdown.bmp", FALSE, TRUE)};
  ASSERT_NE(nullptr, kept.bitmap);
  BITMAP info;
  EXPECT_NE(0, GetObjectW(borrowed, sizeof info, &info)) << "keeping another bitmap leaves the last one";
  BitmapHolder loaded{m_archive.LoadBitmap(L"palette.bmp", 0, 0, 2, 2, FALSE)};
  EXPECT_EQ(0, GetObjectW(borrowed, sizeof info, &info)) << "a load deletes the archive's last bitmap";
  ExpectPixels(kept.bitmap, kWidth, kHeight, testimg::Pattern);
}

TEST_P(SkinArchiveTest, AMemberOfSeveralReadChunksComesWhole) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  const Bytes expected = LargeMember();
  ASSERT_GT(expected.size(), 2 * CSkinArchive::kReadChunk);
  EXPECT_EQ(expected.size(), m_archive.GetFileSize(L"large.bin"));
  Bytes buffer(expected.size() + 7, 0xEE);
  ASSERT_TRUE(m_archive.ReadFile(L"large.bin", buffer.data(), DWORD(buffer.size())));
  EXPECT_EQ(expected, Bytes(buffer.begin(), buffer.begin() + expected.size()));
  EXPECT_EQ(Bytes(7, 0xEE), Bytes(buffer.begin() + expected.size(), buffer.end())) << "nothing past the member";
}

// A whole uncached bitmap is handed over as the archive's last bitmap: the archive
// forgets it, so the next load that replaces the last bitmap leaves it alone.
TEST_P(SkinArchiveTest, AWholeBitmapHandedOverOutlivesTheNextLoad) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  BitmapHolder whole{m_archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, FALSE)};
  ASSERT_NE(nullptr, whole.bitmap);
  HBITMAP borrowed = m_archive.GetBitmap(L"topdown.bmp", FALSE, FALSE);
  ASSERT_NE(nullptr, borrowed);
  BitmapHolder part{m_archive.LoadBitmap(L"topdown.bmp", 0, 0, 2, 2, FALSE)};
  ASSERT_NE(nullptr, part.bitmap);
  BITMAP info;
  EXPECT_EQ(0, GetObjectW(borrowed, sizeof info, &info)) << "the last bitmap went with the load";
  ExpectPixels(whole.bitmap, kWidth, kHeight, testimg::Pattern);
  // The same for DIB sections, in the library's copy and in the member's own section.
  for (BOOL memberFormat : {FALSE, TRUE}) {
    SCOPED_TRACE(memberFormat);
    WholeDibFormat format(memberFormat);
    void* bits = nullptr;
    BitmapHolder dib{m_archive.LoadDib(L"pattern.bmp", 0, 0, -1, -1, &bits, FALSE)};
    ASSERT_NE(nullptr, dib.bitmap);
    BitmapHolder after{m_archive.LoadDib(L"topdown.bmp", 1, 1, 2, 2, &bits, FALSE)};
    ASSERT_NE(nullptr, after.bitmap);
    ExpectPixels(dib.bitmap, kWidth, kHeight, testimg::Pattern);
  }
}

// A whole member without the cache: the library always gets 24-bit top-down; the
// options program takes the member's own format.
TEST_P(SkinArchiveTest, AWholeUncachedDibIsInTheFormatTheProgramAsks) {
  ASSERT_TRUE(m_archive.Open(SourcePath().c_str()));
  for (BOOL memberFormat : {FALSE, TRUE}) {
    SCOPED_TRACE(memberFormat);
    WholeDibFormat format(memberFormat);
    void* bits = nullptr;
    BitmapHolder palette{m_archive.LoadDib(L"palette.bmp", 0, 0, -1, -1, &bits, FALSE)};
    EXPECT_EQ(memberFormat ? 8 : 24, DibBitCount(palette.bitmap));
    ASSERT_NE(nullptr, bits);
    // The first bytes: the bottom row's colour index as stored, or the top row's blue.
    EXPECT_EQ(memberFormat ? 2 : GetBValue(PaletteColour(0, 0)), static_cast<BYTE*>(bits)[0]);
    ExpectPixels(palette.bitmap, 5, 3, PaletteColour);
    // A part is a 24-bit top-down copy either way.
    BitmapHolder part{m_archive.LoadDib(L"palette.bmp", 1, 1, 2, 2, &bits, FALSE)};
    EXPECT_EQ(24, DibBitCount(part.bitmap));
    EXPECT_EQ(GetBValue(PaletteColour(1, 1)), static_cast<BYTE*>(bits)[0]);
    ExpectPixels(part.bitmap, 2, 2, PaletteColour, 1, 1);
  }
}

// Opening: a folder with or without its trailing backslash, paths of 260 and 261
// characters, and a failed open that leaves the open archive alone.
class SkinArchiveOpenTest : public ::testing::Test {
 protected:
  SkinArchiveOpenTest() : m_root(L"skin_open_test") {}

  // A folder or .zip whose path has exactly `length` characters, with pattern.bmp.
  std::wstring Make(size_t length, bool zip) {
    const std::wstring base = m_root.Path() + L"\\";
    const size_t suffix = zip ? 4 : 0;
    std::wstring path = base + std::wstring(length - base.size() - suffix, zip ? L'z' : L'f') + (zip ? L".zip" : L"");
    const Bytes bmp = testimg::MakeBmp(kWidth, kHeight, false, testimg::Pattern);
    if (zip) {
      ziptest::WriteBytes(path, ziptest::BuildZip({ZipEntry("pattern.bmp", bmp)}));
    } else {
      CreateDirectoryW(path.c_str(), nullptr);
      ziptest::WriteBytes(path + L"\\pattern.bmp", bmp);
    }
    return path;
  }

  TempFolder m_root;
};

TEST_F(SkinArchiveOpenTest, PathsUpTo260CharactersOpen) {
  struct Case {
    const char* what;
    size_t length;
    bool zip;
    bool trailingBackslash;
    bool opens;
  } const cases[] = {
      {"short folder", 60, false, false, true},
      {"short folder with backslash", 60, false, true, true},
      {"260-character folder", 260, false, false, true},
      {"259-character folder with backslash", 259, false, true, true},
      {"260-character folder with backslash is 261", 260, false, true, false},
      {"261-character folder", 261, false, false, false},
      {"short zip", 60, true, false, true},
      {"260-character zip", 260, true, false, true},
      {"261-character zip", 261, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring made = Make(c.length, c.zip);
    ASSERT_EQ(c.length, made.size());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(made.c_str())) << "the fixture could not be made";
    const std::wstring path = made + (c.trailingBackslash ? L"\\" : L"");
    CSkinArchive archive;
    EXPECT_EQ(c.opens, !!archive.Open(path.c_str()));
    EXPECT_EQ(c.opens, !!archive.IsOpen());
    if (!c.opens) continue;
    EXPECT_EQ(!c.zip, !!archive.IsFolder());
    EXPECT_EQ(c.zip ? made : made + L"\\", std::wstring(archive.GetPath()));
    BitmapHolder bitmap{archive.LoadBitmap(L"pattern.bmp", 0, 0, -1, -1, FALSE)};
    ExpectPixels(bitmap.bitmap, kWidth, kHeight, testimg::Pattern);
    EXPECT_EQ(std::wstring(archive.GetPath()) + L"x.bmp", std::wstring(archive.MakePath(L"x.bmp")));
  }
}

TEST_F(SkinArchiveOpenTest, AFailedOpenLeavesTheOpenArchiveAlone) {
  const std::wstring zip = Make(60, true);
  const std::wstring folder = Make(70, false);
  CSkinArchive archive;
  ASSERT_TRUE(archive.Open(zip.c_str()));
  for (LPCWSTR bad : {L"", static_cast<LPCWSTR>(nullptr), L"C:\\no\\such\\skin.zip"}) {
    EXPECT_FALSE(archive.Open(bad));
    EXPECT_TRUE(archive.IsOpen());
    EXPECT_EQ(zip, std::wstring(archive.GetPath()));
    EXPECT_NE(0u, archive.GetFileSize(L"pattern.bmp"));
  }
  // Another open replaces the .zip: folder reads, no handle left behind.
  ASSERT_TRUE(archive.Open(folder.c_str()));
  EXPECT_TRUE(archive.IsFolder());
  EXPECT_TRUE(DeleteFileW(zip.c_str())) << "the .zip is still held open";
  // A file that is not a .zip, or one opened with noZip, leaves nothing open.
  const std::wstring bmp = folder + L"\\pattern.bmp";
  EXPECT_FALSE(archive.Open(bmp.c_str()));
  EXPECT_FALSE(archive.IsOpen());
  EXPECT_TRUE(archive.Open(folder.c_str()));
  EXPECT_FALSE(archive.Open(bmp.c_str(), TRUE));
  EXPECT_FALSE(archive.IsOpen());
  EXPECT_EQ(bmp, std::wstring(archive.GetPath()));
}

TEST(DibFromBmpBytes, TakesAnyFormatButNeverReadsPastTheBytes) {
  const Bytes good = testimg::MakeBmp(3, 2, false, testimg::Pattern);
  const Bytes palette = MakePaletteBmp();
  struct Case {
    const char* what;
    Bytes bytes;
    bool loads;
  };
  auto with = [](Bytes b, size_t at, DWORD v) {
    testimg::Put32(b, at, v);
    return b;
  };
  const Case cases[] = {
      {"24-bit", good, true},
      {"8-bit with a colour table", palette, true},
      {"no signature needed", with(good, 0, 0x00004444), true},
      {"one byte short of the pixels", Bytes(good.begin(), good.end() - 1), false},
      {"pixel offset past the end", with(good, 10, 0x7FFFFFF0), false},
      {"pixel offset inside the header", with(good, 10, 20), false},
      {"pixel offset inside the file header", with(good, 10, 4), false},
      {"colour table longer than the header block", with(palette, 46, 200), false},
      {"huge height", with(good, 22, 0x40000000), false},
      {"most negative height", with(good, 22, 0x80000000), false},
      {"zero width", with(good, 18, 0), false},
      {"run-length compressed", with(palette, 30, BI_RLE8), false},
      {"header too small", with(good, 14, 12), false},
      {"only the file header", Bytes(good.begin(), good.begin() + 20), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    void* bits = reinterpret_cast<void*>(1);
    HBITMAP dib = DibFromBmpBytes(c.bytes.data(), DWORD(c.bytes.size()), &bits);
    EXPECT_EQ(c.loads, dib != nullptr);
    EXPECT_EQ(c.loads, bits != nullptr);
    if (dib) DeleteObject(dib);
  }
}

// A 3 x 2 picture with the 12-byte core header: 1, 4 or 8 bits with a table of
// RGBTRIPLEs, or 24 bits; colour i of the table is CoreColour(i).
COLORREF CoreColour(int i) { return RGB(40 * i + 15, 255 - 30 * i, 7 * i); }
COLORREF CoreLargest(int x, int y) { return CoreColour((x + 2 * y) % 4); }
COLORREF CoreSmallest(int x, int y) { return CoreColour((x + y) % 2); }

Bytes MakeCoreBmp(int bitCount) {
  const int width = 3, height = 2;
  const int colours = bitCount <= 8 ? 1 << bitCount : 0;
  const int stride = ((bitCount * width + 31) / 32) * 4;
  const size_t offBits = 14 + 12 + size_t(colours) * 3;
  Bytes b(offBits + size_t(stride) * height, 0);
  testimg::Put16(b, 0, 0x4D42);
  testimg::Put32(b, 2, DWORD(b.size()));
  testimg::Put32(b, 10, DWORD(offBits));
  testimg::Put32(b, 14, 12);
  testimg::Put16(b, 18, width);
  testimg::Put16(b, 20, height);
  testimg::Put16(b, 22, 1);
  testimg::Put16(b, 24, WORD(bitCount));
  for (int i = 0; i < colours; i++) {
    b[26 + i * 3] = GetBValue(CoreColour(i));
    b[27 + i * 3] = GetGValue(CoreColour(i));
    b[28 + i * 3] = GetRValue(CoreColour(i));
  }
  for (int y = 0; y < height; y++) {
    BYTE* row = &b[offBits + size_t(height - 1 - y) * stride];
    for (int x = 0; x < width; x++) {
      const int index = bitCount == 1 ? (x + y) % 2 : (x + 2 * y) % 4;
      if (bitCount == 24) {
        const COLORREF c = CoreColour(index);
        row[x * 3] = GetBValue(c);
        row[x * 3 + 1] = GetGValue(c);
        row[x * 3 + 2] = GetRValue(c);
      } else {
        const int bit = x * bitCount;
        row[bit / 8] |= BYTE(index << (8 - bitCount - bit % 8));
      }
    }
  }
  return b;
}

TEST(DibFromBmpBytes, TakesTheCoreHeaderWithItsTripleColourTable) {
  for (int bitCount : {1, 4, 8, 24}) {
    SCOPED_TRACE(bitCount);
    const Bytes bytes = MakeCoreBmp(bitCount);
    void* bits = nullptr;
    BitmapHolder dib{DibFromBmpBytes(bytes.data(), DWORD(bytes.size()), &bits)};
    ASSERT_NE(dib.bitmap, nullptr);
    EXPECT_NE(bits, nullptr);
    ExpectPixels(dib.bitmap, 3, 2, bitCount == 1 ? CoreSmallest : CoreLargest);
  }
  auto with16 = [](Bytes b, size_t at, WORD v) {
    testimg::Put16(b, at, v);
    return b;
  };
  const Bytes eight = MakeCoreBmp(8);
  const struct {
    const char* what;
    Bytes bytes;
  } refused[] = {
      {"colour table cut short", with16(eight, 10, WORD(14 + 12 + 255 * 3))},
      {"16 bits", with16(MakeCoreBmp(24), 24, 16)},
      {"zero width", with16(eight, 18, 0)},
      {"zero height", with16(eight, 20, 0)},
      {"rows past the end", with16(eight, 20, 3)},
  };
  for (const auto& c : refused) {
    void* bits = nullptr;
    HBITMAP dib = DibFromBmpBytes(c.bytes.data(), DWORD(c.bytes.size()), &bits);
    EXPECT_EQ(dib, nullptr) << c.what;
    EXPECT_EQ(bits, nullptr) << c.what;
    if (dib) DeleteObject(dib);
  }
}

// What any result of the decoder must hold: a section whose rows lie within the
// bytes after the pixel offset.
void ExpectSound(const Bytes& bytes, HBITMAP dib, void* bits) {
  ASSERT_EQ(dib != nullptr, bits != nullptr);
  if (!dib) return;
  DIBSECTION section = {};
  ASSERT_EQ(GetObjectW(dib, sizeof section, &section), int(sizeof section));
  const DWORD offBits = DWORD(bytes[10]) | DWORD(bytes[11]) << 8 | DWORD(bytes[12]) << 16 | DWORD(bytes[13]) << 24;
  ASSERT_GE(offBits, 14u);
  ASSERT_LE(offBits, bytes.size());
  const ULONGLONG stride = (ULONGLONG(section.dsBm.bmBitsPixel) * section.dsBm.bmWidth + 31) / 32 * 4;
  EXPECT_LE(stride * ULONGLONG(section.dsBm.bmHeight), bytes.size() - offBits);
}

// Every header field of every kind of .bmp, one at a time, set to the values
// that break unchecked arithmetic: a result is sound or there is none, and
// nothing is thrown.
TEST(DibFromBmpBytes, EveryHeaderFieldAtItsEdgeValuesGivesASoundBitmapOrNone) {
  const Bytes bases[] = {
      testimg::MakeBmp(3, 2, false, testimg::Pattern),
      MakePaletteBmp(),
      MakeCoreBmp(8),
      MakeCoreBmp(1),
      fixtures::BmpWithOpacity(2, 2, [](int x, int y) -> DWORD { return DWORD(x * 100 + y * 50) << 24 | 0x406080; }),
  };
  const DWORD edges[] = {0, 1, 13, 14, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (const Bytes& base : bases) {
    const size_t offBits = base[10] | base[11] << 8;
    for (size_t at = 0; at < offBits + 4 && at < base.size(); at++) {
      for (DWORD value : edges) {
        for (size_t width : {1, 2, 4}) {
          Bytes bytes = base;
          for (size_t k = 0; k < width && at + k < bytes.size(); k++) bytes[at + k] = BYTE(value >> (8 * k));
          SCOPED_TRACE(::testing::Message() << "offset " << at << " value " << value << " width " << width);
          void* bits = nullptr;
          HBITMAP dib = DibFromBmpBytes(bytes.data(), DWORD(bytes.size()), &bits);
          ExpectSound(bytes, dib, bits);
          if (at == 10 && width == 4 && value < 14) {
            EXPECT_EQ(dib, nullptr) << "pixels inside the file header";
          }
          if (dib) DeleteObject(dib);
        }
      }
    }
  }
}

// Whatever the header says, a member decodes only into a section of the size it
// names, whose rows lie within its bytes, and never from bytes past its end (the
// copy is checked by the page after it). Members written by hand in every header
// form and by Wine's encoder.
TEST(DibFromBmpBytes, MutatedMembersDecodeSafely) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const Bytes written = fixtures::Encode(GUID_ContainerFormatBmp, 5, 3, testimg::Pattern);
  CoUninitialize();
  ASSERT_FALSE(written.empty());
  const Bytes seeds[] = {
      testimg::MakeBmp(5, 3, false, testimg::Pattern),
      MakePaletteBmp(),
      testimg::MakeBmp(2, 4, true, testimg::Pattern),
      written,
      MakeCoreBmp(4),
      MakeCoreBmp(24),
      fixtures::BmpWithOpacity(2, 2, [](int x, int y) -> DWORD { return DWORD(x * 100 + y * 50) << 24 | 0x406080; }),
  };
  const size_t seedCount = sizeof(seeds) / sizeof(seeds[0]);
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  fixtures::ByteMutator mutator(777);
  int loaded = 0;
  for (int round = 0; round < 4200; ++round) {
    const Bytes bytes = mutator.Mutate(seeds[round % seedCount]);
    // The member ends where readable memory ends.
    const size_t span = (bytes.size() + info.dwPageSize - 1) / info.dwPageSize * info.dwPageSize + info.dwPageSize;
    BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, span, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(pages, nullptr);
    BYTE* end = pages + span - info.dwPageSize;
    if (end != pages) {
      ASSERT_NE(VirtualAlloc(pages, span - info.dwPageSize, MEM_COMMIT, PAGE_READWRITE), nullptr);
    }
    BYTE* member = end - bytes.size();
    if (!bytes.empty()) memcpy(member, bytes.data(), bytes.size());
    void* bits = nullptr;
    HBITMAP dib = DibFromBmpBytes(member, DWORD(bytes.size()), &bits);
    if (dib) {
      loaded++;
      DIBSECTION section;
      ASSERT_EQ(sizeof section, size_t(GetObjectW(dib, sizeof section, &section))) << "round " << round;
      const bool core = *reinterpret_cast<const DWORD*>(member + 14) == 12;
      const LONG declared = core ? LONG(*reinterpret_cast<const WORD*>(member + 18))
                                 : LONG(*reinterpret_cast<const DWORD*>(member + 18));
      EXPECT_EQ(section.dsBmih.biWidth, declared) << "round " << round;
      ExpectSound(bytes, dib, bits);
      DeleteObject(dib);
    } else {
      EXPECT_EQ(bits, nullptr) << "round " << round;
    }
    VirtualFree(pages, 0, MEM_RELEASE);
  }
  EXPECT_GT(loaded, 0);
}

// Damaged .zip skins: opening, sizing, reading and decoding members never fault, and
// a member that reads reads whole.
TEST(SkinArchiveZip, MutatedArchivesReadSafely) {
  TempFolder root(L"skin_zip_fuzz");
  const Bytes bmp = testimg::MakeBmp(4, 3, false, testimg::Pattern);
  const Bytes seeds[] = {
      ziptest::BuildZip({ZipEntry("a.bmp", bmp, 0), ZipEntry("b.bmp", bmp, 8)}),
      ziptest::BuildZip({ZipEntry("b.bmp", MakePaletteBmp(), 8), ZipEntry("a.bmp", LargeMember(), 8)}),
  };
  const std::wstring path = root.File(L"damaged.zip");
  fixtures::ByteMutator mutator(31337);
  for (int round = 0; round < 1500; ++round) {
    ziptest::WriteBytes(path, mutator.Mutate(seeds[round % 2]));
    CSkinArchive archive;
    if (!archive.Open(path.c_str())) continue;
    for (LPCWSTR name : {L"a.bmp", L"b.bmp"}) {
      const DWORD size = archive.GetFileSize(name);
      DWORD read = 0;
      BYTE* member = archive.ReadMember(name, &read);
      if (member) {
        EXPECT_EQ(read, size) << "round " << round;
        LocalFree(member);
      }
      BitmapHolder bitmap{archive.LoadBitmap(name, 0, 0, -1, -1, round % 4 == 0)};
      void* bits = nullptr;
      BitmapHolder part{archive.LoadDib(name, 1, 1, 2, 2, &bits, FALSE)};
    }
  }
}

}  // namespace
