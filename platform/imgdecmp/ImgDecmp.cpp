// DecompressImageIndirect over Wine's codecs: the whole file is read through the
// caller's callback, decoded, fitted to the scale and the maximum size, and
// handed back as a 24-bit DIB section the caller deletes.
#include "platform/imgdecmp/imgdecmp.h"
#include "platform/imaging/ImageRules.h"
#include "platform/imaging/WicDecoder.h"

#include <vector>

namespace {

class CComScope {
 public:
  CComScope() : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~CComScope() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
  }

 private:
  HRESULT m_hr;
};

HRESULT ReadAll(DecompressImageInfo* info, std::vector<BYTE>& data) {
  for (;;) {
    DWORD read = info->pfnGetData(reinterpret_cast<LPSTR>(info->pbBuffer), info->dwBufferMax, info->lParam);
    if (read == 0) break;
    if (read > info->dwBufferMax) return E_FAIL;
    if (data.size() + read > CWicDecoder::kMaxInput) return E_OUTOFMEMORY;
    data.insert(data.end(), info->pbBuffer, info->pbBuffer + read);
    info->dwBufferCurrent = read;
  }
  return data.empty() ? E_FAIL : S_OK;
}

void FitSize(const DecompressImageInfo* info, UINT width, UINT height, UINT* outWidth, UINT* outHeight) {
  double w = double(width) * info->iScale / 100.0, h = double(height) * info->iScale / 100.0;
  if (info->iMaxWidth > 0 && w > info->iMaxWidth) {
    h = h * info->iMaxWidth / w;
    w = info->iMaxWidth;
  }
  if (info->iMaxHeight > 0 && h > info->iMaxHeight) {
    w = w * info->iMaxHeight / h;
    h = info->iMaxHeight;
  }
  // Beyond the limit stays beyond it (and is refused), never wraps into range.
  auto side = [](double v) { return v < 1 ? 1u : v > kMaxImageSide ? kMaxImageSide + 1 : UINT(v + 0.5); };
  *outWidth = side(w);
  *outHeight = side(h);
}

// May throw std::bad_alloc; the export catches it.
HRESULT Decompress(DecompressImageInfo* info) {
  std::vector<BYTE> data;
  HRESULT hr = ReadAll(info, data);
  if (FAILED(hr)) return hr;
  CWicDecoder decoder;
  hr = decoder.Decode(data);
  if (FAILED(hr)) return hr;
  UINT width = 0, height = 0;
  FitSize(info, decoder.Width(), decoder.Height(), &width, &height);
  if (!ImageSideFits(width) || !ImageSideFits(height)) return E_OUTOFMEMORY;
  std::vector<BYTE> pixels;
  hr = decoder.CopyOverBlack(width, height, pixels);
  if (FAILED(hr)) return hr;
  const UINT stride = ((width + 1) * 3) & ~3u;

  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = LONG(width);
  bmi.bmiHeader.biHeight = -LONG(height);
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(info->hdc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return E_OUTOFMEMORY;
  }
  // The opacity byte goes: the colours were weighted by it already.
  for (UINT y = 0; y < height; y++) {
    const BYTE* s = &pixels[size_t(y) * width * 4];
    BYTE* d = static_cast<BYTE*>(bits) + size_t(y) * stride;
    for (UINT x = 0; x < width; x++, s += 4, d += 3) memcpy(d, s, 3);
  }
  *info->phBM = bitmap;
  return S_OK;
}

}  // namespace

extern "C" HRESULT WINAPI DecompressImageIndirect(DecompressImageInfo* info) {
  if (!info) return E_POINTER;
  if (info->dwSize != sizeof(DecompressImageInfo) || !info->pbBuffer || info->dwBufferMax == 0 || !info->phBM ||
      !info->pfnGetData || info->iScale <= 0)
    return E_INVALIDARG;
  *info->phBM = nullptr;
  CComScope com;
  HRESULT hr;
  try {
    hr = Decompress(info);
  } catch (...) {
    hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) return hr;
  if (info->pfnImageProgress) info->pfnImageProgress(nullptr, TRUE, info->lParam);
  return S_OK;
}
