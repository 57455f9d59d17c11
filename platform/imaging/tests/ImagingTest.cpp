// How the device's imaging factory behaves for the calls programs make.
#include "platform/imaging/ImagingRegistration.h"
#include "platform/imaging/imaging.h"
#include "platform/tests/ByteMutator.h"
#include "platform/imaging/tests/EncodedImage.h"

#include <gtest/gtest.h>

namespace {

class Imaging : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    registration_ = new CImagingRegistration;
    ASSERT_TRUE(registration_->IsRegistered());
    ASSERT_EQ(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                               reinterpret_cast<void**>(&factory_)),
              S_OK);
  }
  void TearDown() override {
    if (factory_) factory_->Release();
    delete registration_;
    CoUninitialize();
  }

  IImage* ImageOf(const std::vector<BYTE>& bytes, HRESULT* result = nullptr) {
    IStream* stream = fixtures::StreamOver(bytes);
    IImage* image = nullptr;
    HRESULT hr = factory_->CreateImageFromStream(stream, &image);
    stream->Release();
    if (result) *result = hr;
    return image;
  }

  CImagingRegistration* registration_ = nullptr;
  IImagingFactory* factory_ = nullptr;
};

DWORD Quadrants(int x, int y) {
  static const DWORD colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  return colours[(x >= 2 ? 1 : 0) + (y >= 2 ? 2 : 0)];
}

TEST_F(Imaging, AnImageFromAStreamReportsItsSizeAndRawFormat) {
  struct Case {
    const GUID* container;
    const GUID* raw;
  } const cases[] = {{&GUID_ContainerFormatPng, &ImageFormatPNG},
                     {&GUID_ContainerFormatJpeg, &ImageFormatJPEG},
                     {&GUID_ContainerFormatGif, &ImageFormatGIF},
                     {&GUID_ContainerFormatBmp, &ImageFormatBMP}};
  for (const Case& c : cases) {
    const auto bytes = fixtures::Encode(*c.container, 4, 3, Quadrants);
    ASSERT_FALSE(bytes.empty());
    IImage* image = ImageOf(bytes);
    ASSERT_NE(image, nullptr);
    ImageInfo info = {};
    EXPECT_EQ(image->GetImageInfo(&info), S_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Height, 3u);
    EXPECT_TRUE(info.RawDataFormat == *c.raw);
    image->Release();
  }
}

COLORREF At(const BYTE* bits, int stride, int x, int y) {
  const BYTE* p = bits + y * stride + x * 3;
  return RGB(p[2], p[1], p[0]);
}

// A 24-bit top-down section selected into a memory DC, for Draw to paint into.
struct DrawTarget {
  DrawTarget(int width, int height) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    hdc = CreateCompatibleDC(nullptr);
    section = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(hdc, section);
  }
  ~DrawTarget() {
    SelectObject(hdc, old);
    DeleteObject(section);
    DeleteDC(hdc);
  }
  const BYTE* Bits() const {
    GdiFlush();
    return static_cast<const BYTE*>(bits);
  }

  HDC hdc = nullptr;
  HBITMAP section = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
};

TEST_F(Imaging, DrawScalesThePictureIntoTheDestinationRectangle) {
  IImage* image = ImageOf(fixtures::Encode(GUID_ContainerFormatPng, 4, 4, Quadrants));
  ASSERT_NE(image, nullptr);
  DrawTarget target(8, 8);
  RECT whole = {0, 0, 8, 8};
  EXPECT_EQ(image->Draw(target.hdc, &whole, nullptr), S_OK);
  const BYTE* b = target.Bits();
  EXPECT_EQ(At(b, 24, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(At(b, 24, 7, 0), RGB(0, 255, 0));
  EXPECT_EQ(At(b, 24, 0, 7), RGB(0, 0, 255));
  EXPECT_EQ(At(b, 24, 7, 7), RGB(255, 255, 255));
  EXPECT_EQ(image->Draw(target.hdc, nullptr, nullptr), E_INVALIDARG);
  image->Release();
}

TEST_F(Imaging, TransparentPixelsLeaveTheDestination) {
  const auto bytes = fixtures::Encode(
      GUID_ContainerFormatPng, 2, 1, [](int x, int) -> DWORD { return x ? 0x00000000u : 0xFF0000FFu; }, true);
  IImage* image = ImageOf(bytes);
  ASSERT_NE(image, nullptr);
  ImageInfo info = {};
  image->GetImageInfo(&info);
  EXPECT_NE(info.Flags & ImageFlagsHasAlpha, 0u);
  DrawTarget target(2, 1);
  memset(target.bits, 0x40, 8);
  RECT whole = {0, 0, 2, 1};
  EXPECT_EQ(image->Draw(target.hdc, &whole, nullptr), S_OK);
  EXPECT_EQ(At(target.Bits(), 8, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(At(target.Bits(), 8, 1, 0), RGB(0x40, 0x40, 0x40));
  image->Release();
}

TEST_F(Imaging, AStreamWithoutAPictureGivesAFailureAndNoImage) {
  HRESULT hr = S_OK;
  const std::vector<BYTE> junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  EXPECT_EQ(ImageOf(junk, &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));
  auto png = fixtures::Encode(GUID_ContainerFormatPng, 4, 4, Quadrants);
  png.resize(png.size() / 2);
  EXPECT_EQ(ImageOf(png, &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));
}

TEST_F(Imaging, DamagedOrOversizedHeadersAreRefusedBeforeDecoding) {
  for (const auto& picture : fixtures::PicturesToRefuse()) {
    HRESULT hr = S_OK;
    IImage* image = ImageOf(picture.bytes, &hr);
    EXPECT_EQ(image, nullptr) << picture.what;
    EXPECT_TRUE(FAILED(hr)) << picture.what;
    if (image) image->Release();
  }
  // The limit itself is a size the device decodes.
  IImage* widest = ImageOf(fixtures::Encode(GUID_ContainerFormatBmp, 0x4000, 1, Quadrants));
  ASSERT_NE(widest, nullptr);
  ImageInfo info = {};
  EXPECT_EQ(widest->GetImageInfo(&info), S_OK);
  EXPECT_EQ(info.Width, 0x4000u);
  widest->Release();
}

// An image that came out of a damaged picture: within the limit and drawable.
void ExpectSoundImage(IImage* image, HDC hdc) {
  ImageInfo info = {};
  ASSERT_EQ(image->GetImageInfo(&info), S_OK);
  EXPECT_TRUE(info.Width >= 1 && info.Width <= 0x4000 && info.Height >= 1 && info.Height <= 0x4000);
  RECT whole = {0, 0, 4, 4};
  EXPECT_EQ(image->Draw(hdc, &whole, nullptr), S_OK);
}

// Each byte, word and double word of the first 64 bytes of every format, in
// either byte order, set to the values that break unchecked size arithmetic.
TEST_F(Imaging, EveryHeaderFieldAtItsEdgeValuesGivesAnImageOrAFailure) {
  const std::vector<BYTE> bases[] = {
      fixtures::Encode(GUID_ContainerFormatPng, 4, 4, Quadrants),
      fixtures::Encode(GUID_ContainerFormatJpeg, 8, 8, Quadrants),
      fixtures::Encode(GUID_ContainerFormatBmp, 4, 4, Quadrants),
      fixtures::TinyGif(),
  };
  DrawTarget target(4, 4);
  for (const auto& base : bases) {
    ASSERT_FALSE(base.empty());
    for (size_t at = 0; at < base.size() && at < 64; at++) {
      for (DWORD value : {0u, 1u, 13u, 14u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        for (size_t width : {1, 2, 4}) {
          for (bool bigEndian : {false, true}) {
            if (width == 1 && bigEndian) continue;
            std::vector<BYTE> bytes = base;
            for (size_t k = 0; k < width && at + k < bytes.size(); k++)
              bytes[at + k] = BYTE(value >> (8 * (bigEndian ? width - 1 - k : k)));
            SCOPED_TRACE(::testing::Message() << "offset " << at << " value " << value << " width " << width);
            HRESULT hr = S_OK;
            IImage* image = ImageOf(bytes, &hr);
            ASSERT_EQ(image != nullptr, SUCCEEDED(hr));
            if (!image) continue;
            ExpectSoundImage(image, target.hdc);
            image->Release();
          }
        }
      }
    }
  }
}

// Mutated pictures of every format, from Wine's encoders and written by hand:
// each gives an image within the limit that draws, or a failure; never a crash.
TEST_F(Imaging, MutatedPicturesGiveAnImageOrAFailure) {
  const std::vector<std::vector<BYTE>> bases = {
      fixtures::Encode(GUID_ContainerFormatPng, 4, 4, Quadrants),
      fixtures::Encode(GUID_ContainerFormatPng, 3, 2, [](int x, int) -> DWORD { return DWORD(x * 100) << 24 | 0x336699; },
                       true),
      fixtures::Encode(GUID_ContainerFormatJpeg, 8, 8, Quadrants),
      fixtures::Encode(GUID_ContainerFormatGif, 4, 4, Quadrants),
      fixtures::Encode(GUID_ContainerFormatBmp, 4, 4, Quadrants),
      fixtures::TinyGif(),
      fixtures::BmpWithOpacity(3, 2, [](int x, int y) -> DWORD { return DWORD(x * 90 + y) << 24 | 0x204080; }),
  };
  fixtures::ByteMutator mutator(20261209);
  DrawTarget target(4, 4);
  int decoded = 0;
  for (const auto& base : bases) {
    ASSERT_FALSE(base.empty());
    for (int i = 0; i < 700; i++) {
      const std::vector<BYTE> bytes = mutator.Mutate(base);
      HRESULT hr = S_OK;
      IImage* image = ImageOf(bytes, &hr);
      ASSERT_EQ(image != nullptr, SUCCEEDED(hr));
      if (!image) continue;
      decoded++;
      ExpectSoundImage(image, target.hdc);
      image->Release();
    }
  }
  EXPECT_GT(decoded, 0) << "some mutations leave a picture";
}

TEST_F(Imaging, TheServerCanUnloadOnceEveryObjectIsReleased) {
  typedef HRESULT(WINAPI * CanUnload)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"imaging.dll"), "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  IImage* image = ImageOf(fixtures::Encode(GUID_ContainerFormatBmp, 1, 1, Quadrants));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(canUnload(), S_FALSE);
  image->Release();
  factory_->Release();
  factory_ = nullptr;
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
