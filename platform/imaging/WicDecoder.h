#pragma once
// Decoding through Wine's own codecs (windowscodecs): the first frame of a PNG,
// JPEG, GIF or BMP, read from a stream, converted and scaled on request. Shared
// by the imaging factory and the image decompression library.
#include <windows.h>
#include <wincodec.h>

#include <vector>

class CWicDecoder {
 public:
  CWicDecoder() = default;
  ~CWicDecoder();
  CWicDecoder(const CWicDecoder&) = delete;
  CWicDecoder& operator=(const CWicDecoder&) = delete;

  // COM must be initialised on the calling thread.
  HRESULT Decode(IStream* stream);
  // Pixels of the frame in `format`, scaled to width x height, top-down rows of
  // width * bytesPerPixel bytes padded to `stride`.
  HRESULT CopyPixels(REFWICPixelFormatGUID format, UINT width, UINT height, UINT stride, std::vector<BYTE>& pixels) const;

  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }
  double XDpi() const { return m_xdpi; }
  double YDpi() const { return m_ydpi; }
  bool HasAlpha() const { return m_hasAlpha; }
  const GUID& Container() const { return m_container; }

 private:
  IWICImagingFactory* m_factory = nullptr;
  IWICBitmapSource* m_frame = nullptr;
  UINT m_width = 0, m_height = 0;
  double m_xdpi = 96, m_ydpi = 96;
  bool m_hasAlpha = false;
  GUID m_container = {};
};
