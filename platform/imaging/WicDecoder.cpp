#include "platform/imaging/WicDecoder.h"

#include "platform/imaging/ImageHeader.h"
#include "platform/imaging/ImageRules.h"

#include <shlwapi.h>

namespace {

template <typename T>
void SafeRelease(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// Straight (not premultiplied) 32-bit pixels of a source, width * 4 bytes a row.
HRESULT CopyBgra(IWICBitmapSource* source, UINT width, UINT height, std::vector<BYTE>& pixels) {
  IWICBitmapSource* converted = nullptr;
  HRESULT hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, source, &converted);
  if (FAILED(hr)) return hr;
  const UINT stride = width * 4;  // width is at most kMaxImageSide: no wrap
  pixels.assign(size_t(stride) * height, 0);
  hr = converted->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data());
  converted->Release();
  return hr;
}

}  // namespace

CWicDecoder::~CWicDecoder() {
  SafeRelease(m_frame);
  SafeRelease(m_factory);
}

HRESULT CWicDecoder::ReadAll(IStream* stream, std::vector<BYTE>& bytes) {
  if (!stream) return E_POINTER;
  bytes.clear();
  BYTE chunk[16384];
  for (;;) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(chunk, sizeof(chunk), &read);
    if (FAILED(hr)) return hr;
    if (read == 0) break;
    if (read > sizeof(chunk)) return E_FAIL;
    if (bytes.size() + read > kMaxInput) return E_OUTOFMEMORY;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  return S_OK;
}

HRESULT CWicDecoder::Decode(const std::vector<BYTE>& bytes) {
  SafeRelease(m_frame);
  m_width = m_height = 0;
  if (bytes.empty() || bytes.size() > kMaxInput) return E_FAIL;
  HRESULT hr = CheckImageHeader(bytes.data(), bytes.size());
  if (FAILED(hr)) return hr;
  if (!m_factory)
    hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                          reinterpret_cast<void**>(&m_factory));
  if (FAILED(hr)) return hr;
  IStream* stream = SHCreateMemStream(bytes.data(), UINT(bytes.size()));
  if (!stream) return E_OUTOFMEMORY;
  IWICBitmapDecoder* decoder = nullptr;
  hr = m_factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnLoad, &decoder);
  stream->Release();
  if (FAILED(hr)) return hr;
  decoder->GetContainerFormat(&m_container);
  IWICBitmapFrameDecode* frame = nullptr;
  hr = decoder->GetFrame(0, &frame);
  decoder->Release();
  if (FAILED(hr)) return hr;
  UINT width = 0, height = 0;
  hr = frame->GetSize(&width, &height);
  // The decoder's own idea of the size is held to the same limit as the header's.
  if (SUCCEEDED(hr) && (!ImageSideFits(width) || !ImageSideFits(height))) hr = E_FAIL;
  if (FAILED(hr)) {
    frame->Release();
    return hr;
  }
  if (FAILED(frame->GetResolution(&m_xdpi, &m_ydpi))) m_xdpi = m_ydpi = 96;
  WICPixelFormatGUID format = {};
  m_hasAlpha = false;
  if (SUCCEEDED(frame->GetPixelFormat(&format))) {
    IWICComponentInfo* info = nullptr;
    if (SUCCEEDED(m_factory->CreateComponentInfo(format, &info))) {
      IWICPixelFormatInfo2* pixelInfo = nullptr;
      if (SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo2, reinterpret_cast<void**>(&pixelInfo)))) {
        BOOL transparent = FALSE;
        if (SUCCEEDED(pixelInfo->SupportsTransparency(&transparent))) m_hasAlpha = transparent != FALSE;
        pixelInfo->Release();
      }
      info->Release();
    }
  }
  m_frame = frame;
  m_width = width;
  m_height = height;
  return S_OK;
}

HRESULT CWicDecoder::CopyOverBlack(UINT width, UINT height, std::vector<BYTE>& pixels) const {
  if (!m_frame) return E_UNEXPECTED;
  if (!ImageSideFits(width) || !ImageSideFits(height)) return E_INVALIDARG;
  std::vector<BYTE> whole;
  HRESULT hr = CopyBgra(m_frame, m_width, m_height, whole);
  if (FAILED(hr)) return hr;
  for (size_t i = 0; i + 3 < whole.size(); i += 4) {
    const BYTE alpha = whole[i + 3];
    if (alpha == 255) continue;
    for (size_t c = 0; c < 3; c++) whole[i + c] = OverBlack(whole[i + c], alpha);
  }
  if (width == m_width && height == m_height) {
    pixels.swap(whole);
    return S_OK;
  }
  // Scaled after the weighting, so that no colour of a transparent pixel bleeds in.
  IWICBitmap* weighted = nullptr;
  hr = m_factory->CreateBitmapFromMemory(m_width, m_height, GUID_WICPixelFormat32bppPBGRA, m_width * 4,
                                         UINT(whole.size()), whole.data(), &weighted);
  if (FAILED(hr)) return hr;
  IWICBitmapScaler* scaler = nullptr;
  hr = m_factory->CreateBitmapScaler(&scaler);
  if (SUCCEEDED(hr)) hr = scaler->Initialize(weighted, width, height, WICBitmapInterpolationModeFant);
  if (SUCCEEDED(hr)) {
    pixels.assign(size_t(width) * 4 * height, 0);
    hr = scaler->CopyPixels(nullptr, width * 4, UINT(pixels.size()), pixels.data());
  }
  if (scaler) scaler->Release();
  weighted->Release();
  return hr;
}
