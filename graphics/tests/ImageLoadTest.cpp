#include "graphics/Dib.h"
#include "graphics/SkinArchive.h"
#include "graphics/tests/TestImages.h"
#include "platform/imaging/ImagingRegistration.h"
#include "platform/imaging/tests/EncodedImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

using testimg::PixelOf;

namespace {

// Quadrants of 8 x 8, the block size of JPEG, so that its colours stay apart.
const int kSide = 16;

DWORD Quadrants(int x, int y) {
  static const DWORD colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  return colours[(x >= kSide / 2 ? 1 : 0) + (y >= kSide / 2 ? 2 : 0)];
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

struct Format {
  const char* name;
  const GUID* container;
  int tolerance;  // JPEG is lossy
} const kFormats[] = {{"PNG", &GUID_ContainerFormatPng, 0},
                      {"JPEG", &GUID_ContainerFormatJpeg, 40},
                      {"GIF", &GUID_ContainerFormatGif, 0},
                      {"BMP", &GUID_ContainerFormatBmp, 0}};

void ExpectQuadrants(const CDib& dib, const Format& f) {
  ASSERT_EQ(dib.GetWidth(), kSide) << f.name;
  ASSERT_EQ(dib.GetHeight(), kSide) << f.name;
  for (POINT p : {POINT{0, 0}, POINT{kSide - 1, 0}, POINT{0, kSide - 1}, POINT{kSide - 1, kSide - 1}, POINT{3, 11}})
    EXPECT_TRUE(Near(PixelOf(dib, p.x, p.y), Quadrants(p.x, p.y), f.tolerance))
        << f.name << " at " << p.x << "," << p.y << ": " << std::hex << PixelOf(dib, p.x, p.y);
}

class ImageLoading : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override {
    // The library's order at exit: the factory goes before COM does.
    CDib::ReleaseImagingFactory();
    delete registration_;
    CoUninitialize();
  }
  void Register() {
    registration_ = new CImagingRegistration;
    ASSERT_TRUE(registration_->IsRegistered());
  }
  BOOL LoadThroughImaging(CDib& dib, const std::vector<BYTE>& bytes) {
    IStream* stream = fixtures::StreamOver(bytes);
    BOOL ok = dib.LoadWithImaging(stream);
    stream->Release();
    return ok;
  }
  BOOL LoadThroughDecompression(CDib& dib, const std::vector<BYTE>& bytes) {
    const std::wstring path = WriteTemp(bytes);
    const BOOL ok = dib.LoadWithImgDecmp(path.c_str());
    DeleteFileW(path.c_str());
    return ok;
  }
  std::wstring WriteTemp(const std::vector<BYTE>& bytes) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"tarvo-graphics-image.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  CImagingRegistration* registration_ = nullptr;
};

TEST_F(ImageLoading, EveryFormatLoadsThroughTheImagingFactory) {
  Register();
  for (const Format& f : kFormats) {
    CDib dib;
    ASSERT_TRUE(LoadThroughImaging(dib, fixtures::Encode(*f.container, kSide, kSide, Quadrants))) << f.name;
    EXPECT_NE(dib.GetBitmap(), nullptr);
    ExpectQuadrants(dib, f);
  }
}

TEST_F(ImageLoading, EveryFormatLoadsThroughTheDecompressionLibrary) {
  for (const Format& f : kFormats) {
    CDib dib;
    ASSERT_TRUE(LoadThroughDecompression(dib, fixtures::Encode(*f.container, kSide, kSide, Quadrants))) << f.name;
    ExpectQuadrants(dib, f);
  }
}

TEST_F(ImageLoading, CorruptOrTruncatedPicturesAreRefusedAndLeaveTheImageEmpty) {
  Register();
  auto png = fixtures::Encode(GUID_ContainerFormatPng, 4, 4, Quadrants);
  const std::vector<BYTE> truncated(png.begin(), png.begin() + png.size() / 2);
  const std::vector<BYTE> junk(64, 0x33);
  for (const auto* bytes : {&truncated, &junk}) {
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(2, 2, RGB(1, 2, 3)));
    EXPECT_FALSE(LoadThroughImaging(dib, *bytes));
    EXPECT_TRUE(dib.IsEmpty());
    const std::wstring path = WriteTemp(*bytes);
    ASSERT_TRUE(dib.CreateFilled(2, 2, RGB(1, 2, 3)));
    EXPECT_FALSE(dib.LoadWithImgDecmp(path.c_str()));
    DeleteFileW(path.c_str());
    EXPECT_TRUE(dib.IsEmpty());
  }
  CDib dib;
  EXPECT_FALSE(dib.LoadWithImgDecmp(L"Z:\\no-such-folder-tarvo\\none.png"));
  EXPECT_FALSE(dib.LoadWithImaging(nullptr));
}

// One picture with an opaque, a half-transparent, a nearly and a wholly
// transparent pixel, as a PNG and as a 32-bit .bmp with an opacity mask (Wine's
// encoder writes no opacity into a .bmp): every loader gives the same 24 bits,
// each colour weighted by its opacity (drawn over the black of a new buffer).
TEST_F(ImageLoading, EveryLoaderDrawsSemiTransparentPixelsOverBlack) {
  Register();
  const DWORD picture[4] = {0xFF3264C8u, 0x803264C8u, 0x01FFFFFFu, 0x00123456u};
  auto pixel = [&](int x, int) { return picture[x]; };
  auto expected = [&](int x) {
    const DWORD c = picture[x], a = c >> 24;
    auto weigh = [a](DWORD v) { return DWORD((v * a + 127) / 255); };
    return RGB(weigh(GetRValue(c)), weigh(GetGValue(c)), weigh(GetBValue(c)));
  };
  // In an uncompressed 32-bit .bmp the fourth byte is unused, not an opacity,
  // whatever masks its header carries: every loader shows the colours as they are.
  std::vector<BYTE> unusedFourthByte = fixtures::BmpWithOpacity(4, 1, pixel);
  fixtures::PutLe(unusedFourthByte, 30, BI_RGB);
  const struct {
    const char* name;
    std::vector<BYTE> bytes;
    bool bmp;
    bool opaque;
  } pictures[] = {
      {"PNG", fixtures::Encode(GUID_ContainerFormatPng, 4, 1, pixel, true), false, false},
      {"BMP with an opacity mask", fixtures::BmpWithOpacity(4, 1, pixel), true, false},
      {"BMP without compression", unusedFourthByte, true, true},
  };
  struct Loader {
    const char* name;
    std::function<BOOL(CDib&, const std::vector<BYTE>&)> load;
    bool bmpOnly;
  } const loaders[] = {
      {"imaging", [&](CDib& dib, const std::vector<BYTE>& b) { return LoadThroughImaging(dib, b); }, false},
      {"decompression", [&](CDib& dib, const std::vector<BYTE>& b) { return LoadThroughDecompression(dib, b); },
       false},
      {"skin archive",
       [&](CDib& dib, const std::vector<BYTE>& b) {
         void* bits = nullptr;
         HBITMAP section = DibFromBmpBytes(b.data(), DWORD(b.size()), &bits);
         const BOOL ok = section && dib.CreateFromBitmap(section);
         if (section) DeleteObject(section);
         return ok;
       },
       true},
  };
  for (const auto& p : pictures) {
    ASSERT_FALSE(p.bytes.empty()) << p.name;
    for (const Loader& loader : loaders) {
      if (loader.bmpOnly && !p.bmp) continue;
      SCOPED_TRACE(::testing::Message() << loader.name << ", " << p.name);
      CDib dib;
      ASSERT_TRUE(loader.load(dib, p.bytes));
      ASSERT_EQ(dib.GetWidth(), 4);
      for (int x = 0; x < 4; x++)
        EXPECT_EQ(PixelOf(dib, x, 0), p.opaque ? picture[x] & 0xFFFFFF : expected(x))
            << "at " << x << ": " << std::hex << PixelOf(dib, x, 0);
    }
  }
}

TEST_F(ImageLoading, WithoutTheFactoryImagingLoadsNothing) {
  CDib dib;
  EXPECT_FALSE(LoadThroughImaging(dib, fixtures::Encode(GUID_ContainerFormatPng, 2, 2, Quadrants)));
  EXPECT_TRUE(dib.IsEmpty());
}

TEST_F(ImageLoading, TheFactoryIsKeptUntilReleasedExplicitly) {
  Register();
  typedef HRESULT(WINAPI * CanUnload)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"imaging.dll"), "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  CDib dib;
  ASSERT_TRUE(LoadThroughImaging(dib, fixtures::Encode(GUID_ContainerFormatBmp, 2, 2, Quadrants)));
  EXPECT_EQ(canUnload(), S_FALSE) << "kept for the next picture";
  CDib::ReleaseImagingFactory();
  EXPECT_EQ(canUnload(), S_OK) << "nothing of the server is held once released";
  ASSERT_TRUE(LoadThroughImaging(dib, fixtures::Encode(GUID_ContainerFormatBmp, 2, 2, Quadrants)))
      << "made again on the next use";
}

}  // namespace
