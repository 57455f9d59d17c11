#pragma once
// Test fixtures: small pictures encoded in code with Wine's own encoders, so no
// image file is kept in the tree.
#include <windows.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <functional>
#include <vector>

namespace fixtures {

// The colour of each pixel, 0x00BBGGRR; with alpha, the top byte is the opacity.
using PixelFn = std::function<DWORD(int x, int y)>;

// Encodes a width x height picture into `container` (PNG, JPEG, GIF or BMP).
// GIF goes through a palette of the picture's colours (at most 256); `alpha`
// keeps the top byte as opacity (PNG). Empty on failure. COM must be initialised.
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
  ok = ok && SUCCEEDED(frame->SetPixelFormat(&format));
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

// A read-only stream over a copy of the bytes; the caller releases it.
inline IStream* StreamOver(const std::vector<BYTE>& bytes) {
  return SHCreateMemStream(bytes.data(), UINT(bytes.size()));
}

}  // namespace fixtures
