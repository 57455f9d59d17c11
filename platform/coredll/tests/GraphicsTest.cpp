// Drawing helpers of the device's core library.
#include "platform/coredll/ce.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kInk = RGB(10, 20, 30);
const COLORREF kPaper = RGB(200, 210, 220);

// A 32-bit top-down DIB section selected into its own DC.
class CImage {
 public:
  CImage(int width, int height) : width_(width) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; i++) bits_[i] = 0;
  }
  ~CImage() {
    Deselect();
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void Deselect() {
    if (old_) SelectObject(dc_, old_);
    old_ = nullptr;
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  void Set(int x, int y, COLORREF c) { bits_[y * width_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

// A 2x1 source: ink on the left, the key colour on the right.
void MakeSource(CImage& src) {
  src.Set(0, 0, kInk);
  src.Set(1, 0, kKey);
}

void FillPaper(CImage& dst, int width, int height) {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) dst.Set(x, y, kPaper);
}

// On the device TransparentImage copies every pixel but the key colour, from a DC or a bitmap.
TEST(DeviceGraphics, TransparentImageLeavesOutTheKeyColour) {
  for (bool fromBitmap : {false, true}) {
    SCOPED_TRACE(fromBitmap ? "bitmap source" : "DC source");
    CImage src(2, 1);
    MakeSource(src);
    if (fromBitmap) src.Deselect();
    CImage dst(2, 1);
    FillPaper(dst, 2, 1);
    HANDLE from = fromBitmap ? static_cast<HANDLE>(src.bitmap()) : static_cast<HANDLE>(src.dc());
    ASSERT_TRUE(TransparentImage(dst.dc(), 0, 0, 2, 1, from, 0, 0, 2, 1, kKey));
    EXPECT_EQ(dst.At(0, 0), kInk);
    EXPECT_EQ(dst.At(1, 0), kPaper);
  }
}

// On the device TransparentImage stretches the source to the destination rectangle.
TEST(DeviceGraphics, TransparentImageStretches) {
  CImage src(2, 1);
  MakeSource(src);
  CImage dst(4, 2);
  FillPaper(dst, 4, 2);
  ASSERT_TRUE(TransparentImage(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, kKey));
  for (int y = 0; y < 2; y++) {
    EXPECT_EQ(dst.At(0, y), kInk);
    EXPECT_EQ(dst.At(1, y), kInk);
    EXPECT_EQ(dst.At(2, y), kPaper);
    EXPECT_EQ(dst.At(3, y), kPaper);
  }
}

TEST(DeviceGraphics, TransparentImageRefusesAMissingSource) {
  CImage dst(1, 1);
  EXPECT_FALSE(TransparentImage(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, 1, 1, kKey));
}

// A 3x2 24-bit .bmp file: bottom-up rows of 3 pixels padded to 12 bytes.
std::vector<BYTE> MakeBmpFile() {
  const COLORREF rows[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},      // bottom row
                               {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}};            // top row
  const DWORD stride = 12, pixels = stride * 2;
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + pixels;
  ih.biSize = sizeof ih;
  ih.biWidth = 3;
  ih.biHeight = 2;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = pixels;
  std::vector<BYTE> file(fh.bfSize, 0);
  memcpy(&file[0], &fh, sizeof fh);
  memcpy(&file[sizeof fh], &ih, sizeof ih);
  for (int r = 0; r < 2; r++)
    for (int x = 0; x < 3; x++) {
      BYTE* p = &file[fh.bfOffBits + r * stride + x * 3];
      p[0] = GetBValue(rows[r][x]);
      p[1] = GetGValue(rows[r][x]);
      p[2] = GetRValue(rows[r][x]);
    }
  return file;
}

// On the device SHLoadDIBitmap reads a .bmp file into a DIB section.
TEST(DeviceGraphics, SHLoadDIBitmapReadsABmpFile) {
  wchar_t dir[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"bmp", 0, path);
  std::vector<BYTE> bytes = MakeBmpFile();
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);

  HBITMAP bitmap = SHLoadDIBitmap(path);
  DeleteFileW(path);
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION dib = {};
  ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib)) << "not a DIB section";
  EXPECT_EQ(dib.dsBm.bmWidth, 3);
  EXPECT_EQ(dib.dsBm.bmHeight, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);

  EXPECT_EQ(SHLoadDIBitmap(path), nullptr) << "a missing file gives no bitmap";
}

}  // namespace
