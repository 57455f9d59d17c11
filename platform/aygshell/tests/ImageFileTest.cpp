#include "platform/aygshell/aygshell.h"

#include <gtest/gtest.h>

#include "platform/imaging/tests/EncodedImage.h"
#include "platform/windowlib/ComPtr.h"

#include <string>
#include <vector>

namespace {

std::wstring TempPath(const wchar_t* name) {
  WCHAR dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"ayg_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

void Write(const std::wstring& path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void Put16(std::vector<BYTE>& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v));
  b.push_back(static_cast<BYTE>(v >> 8));
}
void Put32(std::vector<BYTE>& b, unsigned v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A 2 x 1 24-bit bitmap: red, then blue.
std::vector<BYTE> Bmp() {
  std::vector<BYTE> b = {'B', 'M'};
  Put32(b, 14 + 40 + 8);
  Put32(b, 0);
  Put32(b, 14 + 40);
  Put32(b, 40);
  Put32(b, 2);
  Put32(b, 1);
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  const BYTE pixels[] = {0, 0, 255, 255, 0, 0, 0, 0};  // BGR red, BGR blue, row padding
  b.insert(b.end(), pixels, pixels + 8);
  return b;
}

// A 1 x 1 GIF whose one pixel is green.
std::vector<BYTE> Gif() {
  return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,  // screen, 2-colour table
          0, 255, 0, 0, 0, 0,                                      // green, black
          ',', 0, 0, 0, 0, 1, 0, 1, 0, 0,                          // image descriptor
          2, 2, 0x44, 0x01, 0,                                     // LZW data: one pixel of colour 0
          ';'};
}

COLORREF PixelAt(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

// The shell's image loader turns .bmp and .gif files into bitmaps of their own size.
TEST(ImageFile, LoadsBmpAndGif) {
  struct Case {
    const wchar_t* name;
    std::vector<BYTE> bytes;
    LONG width;
    COLORREF first;
  };
  const Case cases[] = {{L"two.bmp", Bmp(), 2, RGB(255, 0, 0)}, {L"one.gif", Gif(), 1, RGB(0, 255, 0)}};
  for (const Case& c : cases) {
    std::wstring path = TempPath(c.name);
    Write(path, c.bytes);
    HBITMAP bitmap = SHLoadImageFile(path.c_str());
    DeleteFileW(path.c_str());
    ASSERT_NE(bitmap, nullptr) << c.width;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), c.first);
    if (c.width == 2) {
      EXPECT_EQ(PixelAt(bitmap, 1, 0), RGB(0, 0, 255));
    }
    DeleteObject(bitmap);
  }
}

TEST(ImageFile, MissingOrUnreadableGivesNull) {
  EXPECT_EQ(SHLoadImageFile(TempPath(L"missing.gif").c_str()), nullptr);
  std::wstring junk = TempPath(L"junk.gif");
  Write(junk, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  EXPECT_EQ(SHLoadImageFile(junk.c_str()), nullptr);
  DeleteFileW(junk.c_str());
  EXPECT_EQ(SHLoadImageFile(nullptr), nullptr);
  EXPECT_EQ(SHLoadImageFile(L""), nullptr);
}

}  // namespace

namespace {

// A 2 x 1 PNG whose IHDR says width x height; the rest of the file is whatever a
// writer left. Wine's decoder trusts these numbers.
std::vector<BYTE> PngClaiming(unsigned width, unsigned height) {
  std::vector<BYTE> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (unsigned v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<BYTE>(v >> shift));
  }
  const BYTE rest[] = {8, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  b.insert(b.end(), rest, rest + sizeof rest);
  return b;
}

}  // namespace

// The shell's loader is one of the device's image readers: a header declaring a
// picture no device could hold is refused before any decoder allocates for it.
TEST(ImageFile, AbsurdDeclaredSizesAreRefusedBeforeDecoding) {
  const struct {
    unsigned width, height;
  } cases[] = {{0x7FFFFFFF, 1}, {1, 0x7FFFFFFF}, {0x80000000, 0x80000000}, {0xFFFFFFFF, 2}, {0x4001, 1}, {0, 1}};
  for (const auto& c : cases) {
    std::wstring path = TempPath(L"huge.png");
    Write(path, PngClaiming(c.width, c.height));
    EXPECT_EQ(SHLoadImageFile(path.c_str()), nullptr) << c.width << " x " << c.height;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
    DeleteFileW(path.c_str());
  }
}

// A semi-transparent pixel comes out as the imaging factory and the decompression
// library give it: drawn over black.
TEST(ImageFile, SemiTransparentPixelsAreDrawnOverBlack) {
  CComInitScope com;
  const std::vector<BYTE> png =
      fixtures::Encode(GUID_ContainerFormatPng, 1, 1, [](int, int) -> DWORD { return 0x80FFFFFF; }, true);
  ASSERT_FALSE(png.empty());
  std::wstring path = TempPath(L"half.png");
  Write(path, png);
  HBITMAP bitmap = SHLoadImageFile(path.c_str());
  DeleteFileW(path.c_str());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(128, 128, 128));
  DeleteObject(bitmap);
}
