#pragma once
// Decoding through Wine's own codecs (windowscodecs): the first frame of a PNG,
// JPEG, GIF or BMP held in memory, its header checked first (ImageHeader.h),
// its pixels handed out drawn over black and scaled on request. Shared by the
// imaging factory and the image decompression library.
#include <windows.h>
#include <wincodec.h>

#include <vector>

class CWicDecoder {
 public:
  // Far beyond any picture file the device can show; a source that never ends stops here.
  static const size_t kMaxInput = 64u << 20;

  CWicDecoder() = default;
  ~CWicDecoder();
  CWicDecoder(const CWicDecoder&) = delete;
  CWicDecoder& operator=(const CWicDecoder&) = delete;

  // The whole of a stream, at most kMaxInput bytes (E_OUTOFMEMORY beyond).
  static HRESULT ReadAll(IStream* stream, std::vector<BYTE>& bytes);

  // COM must be initialised on the calling thread.
  HRESULT Decode(const std::vector<BYTE>& bytes);
  // Pixels of the frame scaled to width x height (each at most kMaxImageSide):
  // 32-bit rows of width * 4 bytes, top-down, blue, green, red, opacity, the
  // colours already weighted by the opacity (OverBlack), as AlphaBlend takes them.
  HRESULT CopyOverBlack(UINT width, UINT height, std::vector<BYTE>& pixels) const;

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
