// How the device's image decompression library behaves for the one call programs make.
#include "platform/imgdecmp/imgdecmp.h"
#include "platform/tests/ByteMutator.h"
#include "platform/imaging/tests/EncodedImage.h"

#include <gtest/gtest.h>

namespace {

struct Source {
  const std::vector<BYTE>* bytes;
  size_t at = 0;
  int calls = 0;
  int completions = 0;
};

DWORD CALLBACK ReadSource(LPSTR buffer, DWORD max, LPARAM lParam) {
  Source* s = reinterpret_cast<Source*>(lParam);
  s->calls++;
  const size_t n = std::min<size_t>(max, s->bytes->size() - s->at);
  memcpy(buffer, s->bytes->data() + s->at, n);
  s->at += n;
  return DWORD(n);
}

void CALLBACK Progress(IImageRender*, BOOL complete, LPARAM lParam) {
  if (complete) reinterpret_cast<Source*>(lParam)->completions++;
}

class ImgDecmp : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }

  HRESULT Decompress(Source& source, HBITMAP* bitmap, int scale = 100, int maxWidth = 10000, int maxHeight = 10000) {
    DecompressImageInfo info = {};
    info.dwSize = sizeof(info);
    info.pbBuffer = buffer_;
    info.dwBufferMax = sizeof(buffer_);
    info.phBM = bitmap;
    info.iBitDepth = 24;
    info.lParam = reinterpret_cast<LPARAM>(&source);
    info.iScale = scale;
    info.iMaxWidth = maxWidth;
    info.iMaxHeight = maxHeight;
    info.pfnGetData = ReadSource;
    info.pfnImageProgress = Progress;
    info.crTransparentOverride = 0xFFFFFFFF;
    return DecompressImageIndirect(&info);
  }

  BYTE buffer_[16];  // small, so that a picture takes many reads
};

DWORD Halves(int x, int) { return x < 2 ? RGB(255, 0, 0) : RGB(0, 0, 255); }

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

TEST_F(ImgDecmp, EachFormatDecodesToABitmapOfThePicturesSize) {
  for (const GUID* container :
       {&GUID_ContainerFormatPng, &GUID_ContainerFormatJpeg, &GUID_ContainerFormatGif, &GUID_ContainerFormatBmp}) {
    const auto bytes = fixtures::Encode(*container, 4, 3, Halves);
    ASSERT_FALSE(bytes.empty());
    Source source{&bytes};
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(Decompress(source, &bitmap), S_OK);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(SizeOf(bitmap).cx, 4);
    EXPECT_EQ(SizeOf(bitmap).cy, 3);
    EXPECT_GT(source.calls, 1) << "read through the callback until it gives 0";
    EXPECT_EQ(source.completions, 1);
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, bitmap);
    const COLORREF left = GetPixel(hdc, 0, 1), right = GetPixel(hdc, 3, 1);
    EXPECT_GT(GetRValue(left), 200);
    EXPECT_LT(GetBValue(left), 60);
    EXPECT_GT(GetBValue(right), 200);
    EXPECT_LT(GetRValue(right), 60);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    DeleteObject(bitmap);
  }
}

TEST_F(ImgDecmp, ScaleAndMaximumSizeShrinkThePicture) {
  const auto bytes = fixtures::Encode(GUID_ContainerFormatPng, 8, 4, Halves);
  struct Case {
    int scale, maxWidth, maxHeight;
    LONG width, height;
  } const cases[] = {{100, 10000, 10000, 8, 4}, {50, 10000, 10000, 4, 2}, {100, 4, 10000, 4, 2}, {100, 10000, 1, 2, 1}};
  for (const Case& c : cases) {
    Source source{&bytes};
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(Decompress(source, &bitmap, c.scale, c.maxWidth, c.maxHeight), S_OK);
    EXPECT_EQ(SizeOf(bitmap).cx, c.width);
    EXPECT_EQ(SizeOf(bitmap).cy, c.height);
    DeleteObject(bitmap);
  }
}

TEST_F(ImgDecmp, NoDataOrNoPictureGivesAFailureAndNoBitmap) {
  const std::vector<BYTE> none;
  const std::vector<BYTE> junk(100, 0x5A);
  for (const auto* bytes : {&none, &junk}) {
    Source source{bytes};
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_TRUE(FAILED(Decompress(source, &bitmap)));
    EXPECT_EQ(bitmap, nullptr);
  }
}

TEST_F(ImgDecmp, DamagedOrOversizedHeadersAreRefusedBeforeDecoding) {
  for (const auto& picture : fixtures::PicturesToRefuse()) {
    Source source{&picture.bytes};
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_TRUE(FAILED(Decompress(source, &bitmap, 100, 0, 0))) << picture.what;
    EXPECT_EQ(bitmap, nullptr) << picture.what;
    EXPECT_EQ(source.completions, 0) << picture.what;
  }
  const auto widest = fixtures::Encode(GUID_ContainerFormatBmp, 0x4000, 1, Halves);
  Source source{&widest};
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(Decompress(source, &bitmap, 100, 0, 0), S_OK);
  EXPECT_EQ(SizeOf(bitmap).cx, 0x4000);
  DeleteObject(bitmap);
  // A scale that would make the result larger than the limit is refused too.
  const auto small = fixtures::Encode(GUID_ContainerFormatBmp, 4, 3, Halves);
  for (int scale : {409700, 0x7FFFFFFF}) {
    Source scaled{&small};
    bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_TRUE(FAILED(Decompress(scaled, &bitmap, scale, 0, 0))) << scale;
    EXPECT_EQ(bitmap, nullptr);
  }
}

TEST_F(ImgDecmp, SemiTransparentPixelsComeOutDrawnOverBlack) {
  const auto png = fixtures::Encode(
      GUID_ContainerFormatPng, 3, 1,
      [](int x, int) -> DWORD { return x == 0 ? 0xFF3264C8u : x == 1 ? 0x803264C8u : 0x00FFFFFFu; }, true);
  Source source{&png};
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(Decompress(source, &bitmap), S_OK);
  HDC hdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(hdc, bitmap);
  EXPECT_EQ(GetPixel(hdc, 0, 0), RGB(0xC8, 0x64, 0x32));
  EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(0x64, 0x32, 0x19)) << "each channel times 128/255, rounded";
  EXPECT_EQ(GetPixel(hdc, 2, 0), RGB(0, 0, 0));
  SelectObject(hdc, old);
  DeleteDC(hdc);
  DeleteObject(bitmap);
}

// Mutated pictures read through the callback: a bitmap within the limit or a
// failure, never a crash or a hang.
TEST_F(ImgDecmp, MutatedPicturesGiveABitmapOrAFailure) {
  const std::vector<std::vector<BYTE>> bases = {
      fixtures::Encode(GUID_ContainerFormatPng, 4, 3, Halves),
      fixtures::Encode(GUID_ContainerFormatJpeg, 8, 8, Halves),
      fixtures::Encode(GUID_ContainerFormatGif, 4, 3, Halves),
      fixtures::Encode(GUID_ContainerFormatBmp, 4, 3, Halves),
      fixtures::TinyGif(),
      fixtures::BmpWithOpacity(3, 2, [](int x, int y) -> DWORD { return DWORD(x * 90 + y) << 24 | 0x204080; }),
  };
  fixtures::ByteMutator mutator(424242);
  int decoded = 0;
  for (const auto& base : bases) {
    ASSERT_FALSE(base.empty());
    for (int i = 0; i < 700; i++) {
      const std::vector<BYTE> bytes = mutator.Mutate(base);
      Source source{&bytes};
      HBITMAP bitmap = nullptr;
      const HRESULT hr = Decompress(source, &bitmap, 100, 64, 64);
      ASSERT_EQ(bitmap != nullptr, SUCCEEDED(hr));
      if (!bitmap) continue;
      decoded++;
      EXPECT_TRUE(SizeOf(bitmap).cx >= 1 && SizeOf(bitmap).cx <= 64 && SizeOf(bitmap).cy >= 1 && SizeOf(bitmap).cy <= 64);
      DeleteObject(bitmap);
    }
  }
  EXPECT_GT(decoded, 0) << "some mutations leave a picture";
}

TEST_F(ImgDecmp, TheRecordSizeIsThisBuildsNotTheDevices60) {
  static_assert(sizeof(DecompressImageInfo) > 60, "pointers are eight bytes here");
  const auto bytes = fixtures::Encode(GUID_ContainerFormatBmp, 2, 2, Halves);
  Source source{&bytes};
  HBITMAP bitmap = nullptr;
  DecompressImageInfo info = {};
  info.dwSize = 60;
  info.pbBuffer = buffer_;
  info.dwBufferMax = sizeof(buffer_);
  info.phBM = &bitmap;
  info.lParam = reinterpret_cast<LPARAM>(&source);
  info.iScale = 100;
  info.pfnGetData = ReadSource;
  EXPECT_EQ(DecompressImageIndirect(&info), E_INVALIDARG);
  EXPECT_EQ(source.calls, 0);
  EXPECT_EQ(bitmap, nullptr);
}

TEST_F(ImgDecmp, TheCallIsOrdinalOne) {
  HMODULE module = GetModuleHandleW(L"imgdecmp.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))),
            reinterpret_cast<void*>(GetProcAddress(module, "DecompressImageIndirect")));
  EXPECT_NE(GetProcAddress(module, MAKEINTRESOURCEA(1)), nullptr);
}

}  // namespace
