#pragma once
// Test fixtures: small pictures encoded in code with Wine's own encoders, so no
// image file is kept in the tree.
#include <windows.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

// The colour of each pixel, 0x00BBGGRR; with alpha, the top byte is the opacity.
using PixelFn = std::function<DWORD(int x, int y)>;

// Encodes a width x height picture into `container` (PNG, JPEG, GIF or BMP).
// GIF goes through a palette of the picture's colours (at most 256); `alpha`
// keeps the top byte as opacity (PNG; Wine's other encoders keep none). Empty on
// failure. COM must be initialised.
inline std::vector<BYTE> Encode(const GUID& container, int width, int height, const PixelFn& pixel, bool alpha = false) {
  std::vector<BYTE> result;
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return result;
  IStream* stream = SHCreateMemStream(nullptr, 0);
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  IWICPalette* palette = nullptr;
  const bool indexed = container == GUID_ContainerFormatGif;
  bool ok = stream && SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
            SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(width, height));
  WICPixelFormatGUID format = indexed ? GUID_WICPixelFormat8bppIndexed
                              : alpha ? GUID_WICPixelFormat32bppBGRA
                                      : GUID_WICPixelFormat24bppBGR;
  const int bpp = indexed ? 1 : alpha ? 4 : 3;
  const UINT stride = UINT(((width * bpp) + 3) & ~3);
  std::vector<BYTE> pixels(size_t(stride) * height);
  std::vector<WICColor> colours;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      const DWORD c = pixel(x, y);
      BYTE* p = &pixels[size_t(y) * stride + size_t(x) * bpp];
      if (indexed) {
        const WICColor argb = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        size_t i = 0;
        while (i < colours.size() && colours[i] != argb) i++;
        if (i == colours.size()) colours.push_back(argb);
        p[0] = BYTE(i);
      } else {
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
        if (alpha) p[3] = BYTE(c >> 24);
      }
    }
  }
  if (ok && indexed) {
    ok = colours.size() <= 256 && SUCCEEDED(factory->CreatePalette(&palette)) &&
         SUCCEEDED(palette->InitializeCustom(colours.data(), UINT(colours.size()))) &&
         SUCCEEDED(frame->SetPalette(palette));
  }
  // An encoder that cannot keep the format answers with another: the rows below
  // would be read wrongly, so that is a failure.
  const WICPixelFormatGUID wanted = format;
  ok = ok && SUCCEEDED(frame->SetPixelFormat(&format)) && format == wanted;
  ok = ok && SUCCEEDED(frame->WritePixels(height, stride, UINT(pixels.size()), pixels.data())) &&
       SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  if (ok) {
    STATSTG stat = {};
    LARGE_INTEGER zero = {};
    if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
      result.resize(size_t(stat.cbSize.QuadPart));
      ULONG read = 0;
      if (FAILED(stream->Read(result.data(), ULONG(result.size()), &read)) || read != result.size()) result.clear();
    }
  }
  if (palette) palette->Release();
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (stream) stream->Release();
  factory->Release();
  return result;
}

inline void PutLe(std::vector<BYTE>& b, size_t at, DWORD v, size_t n = 4) {
  for (size_t i = 0; i < n; i++) b[at + i] = BYTE(v >> (8 * i));
}
inline void PutBe(std::vector<BYTE>& b, size_t at, DWORD v, size_t n = 4) {
  for (size_t i = 0; i < n; i++) b[at + i] = BYTE(v >> (8 * (n - 1 - i)));
}

// A 32-bit .bmp with a 124-byte header whose masks give an opacity byte (the
// form drawing programs save a picture with transparency in); pixel(x, y) as
// for Encode with alpha, rows written bottom-up.
inline std::vector<BYTE> BmpWithOpacity(int width, int height, const PixelFn& pixel) {
  const size_t offBits = 14 + 124;
  std::vector<BYTE> b(offBits + size_t(width) * height * 4, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLe(b, 2, DWORD(b.size()));
  PutLe(b, 10, DWORD(offBits));
  PutLe(b, 14, 124);
  PutLe(b, 18, DWORD(width));
  PutLe(b, 22, DWORD(height));
  PutLe(b, 26, 1, 2);
  PutLe(b, 28, 32, 2);
  PutLe(b, 30, BI_BITFIELDS);
  PutLe(b, 34, DWORD(width * height * 4));
  PutLe(b, 54, 0x00FF0000);
  PutLe(b, 58, 0x0000FF00);
  PutLe(b, 62, 0x000000FF);
  PutLe(b, 66, 0xFF000000);
  PutLe(b, 70, 0x73524742);  // sRGB
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const DWORD c = pixel(x, y);
      BYTE* p = &b[offBits + (size_t(height - 1 - y) * width + x) * 4];
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      p[3] = BYTE(c >> 24);
    }
  return b;
}

// The smallest GIF: one pixel from a two-colour table, written by hand as the
// classic tools write it; the image descriptor's size is at bytes 24 and 26.
inline std::vector<BYTE> TinyGif() {
  return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
          0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
}

struct DamagedPicture {
  std::string what;
  std::vector<BYTE> bytes;
};

// Pictures whose headers no reader may take on trust (absurd sizes, a GIF frame
// without colours): each must be refused before it is decoded. COM must be
// initialised.
inline std::vector<DamagedPicture> PicturesToRefuse() {
  auto quad = [](int x, int y) -> DWORD { return (x + y) % 2 ? RGB(255, 0, 0) : RGB(0, 0, 255); };
  const std::vector<BYTE> bmp = Encode(GUID_ContainerFormatBmp, 2, 2, quad);
  const std::vector<BYTE> png = Encode(GUID_ContainerFormatPng, 2, 2, quad);
  const std::vector<BYTE> jpeg = Encode(GUID_ContainerFormatJpeg, 8, 8, quad);
  const std::vector<BYTE> gif = TinyGif();
  size_t sof = 2;
  while (sof + 9 < jpeg.size() && !(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0)) sof++;
  auto with = [](std::vector<BYTE> b, size_t at, DWORD v, bool bigEndian, size_t n = 4) {
    if (at + n <= b.size()) bigEndian ? PutBe(b, at, v, n) : PutLe(b, at, v, n);
    return b;
  };
  return {
      {"BMP width -1", with(bmp, 18, 0xFFFFFFFF, false)},
      {"BMP width 0x7FFFFFFF", with(bmp, 18, 0x7FFFFFFF, false)},
      {"BMP height -2147483648", with(bmp, 22, 0x80000000, false)},
      {"BMP height 0", with(bmp, 22, 0, false)},
      {"BMP one column past the limit", with(bmp, 18, 0x4001, false)},
      {"BMP rows past its end", with(bmp, 22, 0x4000, false)},
      {"PNG width 0x7FFFFFFF", with(png, 16, 0x7FFFFFFF, true)},
      {"PNG height 0xFFFFFFFF", with(png, 20, 0xFFFFFFFF, true)},
      {"PNG one row past the limit", with(png, 20, 0x4001, true)},
      {"GIF screen 65535 wide", with(gif, 6, 0xFFFF, false, 2)},
      {"GIF frame 65535 high", with(gif, 26, 0xFFFF, false, 2)},
      {"GIF frame without any colour table", [&] {
         std::vector<BYTE> b = gif;
         b[10] = 0;  // no global table, and the frame has none of its own
         b.erase(b.begin() + 13, b.begin() + 19);
         return b;
       }()},
      {"JPEG frame 65535 x 65535", with(with(jpeg, sof + 5, 0xFFFF, true, 2), sof + 7, 0xFFFF, true, 2)},
      {"JPEG height 0", with(jpeg, sof + 5, 0, true, 2)},
  };
}

// A read-only stream over a copy of the bytes; the caller releases it.
inline IStream* StreamOver(const std::vector<BYTE>& bytes) {
  return SHCreateMemStream(bytes.data(), UINT(bytes.size()));
}

}  // namespace fixtures
