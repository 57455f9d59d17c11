#include "platform/imaging/WicDecoder.h"

namespace {

template <typename T>
void SafeRelease(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

CWicDecoder::~CWicDecoder() {
  SafeRelease(m_frame);
  SafeRelease(m_factory);
}

HRESULT CWicDecoder::Decode(IStream* stream) {
  if (!stream) return E_POINTER;
  SafeRelease(m_frame);
  HRESULT hr = S_OK;
  if (!m_factory)
    hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                          reinterpret_cast<void**>(&m_factory));
  if (FAILED(hr)) return hr;
  IWICBitmapDecoder* decoder = nullptr;
  hr = m_factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnLoad, &decoder);
  if (FAILED(hr)) return hr;
  decoder->GetContainerFormat(&m_container);
  IWICBitmapFrameDecode* frame = nullptr;
  hr = decoder->GetFrame(0, &frame);
  decoder->Release();
  if (FAILED(hr)) return hr;
  hr = frame->GetSize(&m_width, &m_height);
  if (SUCCEEDED(hr) && (m_width == 0 || m_height == 0)) hr = E_FAIL;
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
  return S_OK;
}

HRESULT CWicDecoder::CopyPixels(REFWICPixelFormatGUID format, UINT width, UINT height, UINT stride,
                                std::vector<BYTE>& pixels) const {
  if (!m_frame) return E_UNEXPECTED;
  if (width == 0 || height == 0) return E_INVALIDARG;
  IWICBitmapSource* converted = nullptr;
  HRESULT hr = WICConvertBitmapSource(format, m_frame, &converted);
  if (FAILED(hr)) return hr;
  IWICBitmapSource* source = converted;
  IWICBitmapScaler* scaler = nullptr;
  if (width != m_width || height != m_height) {
    hr = m_factory->CreateBitmapScaler(&scaler);
    if (SUCCEEDED(hr)) hr = scaler->Initialize(converted, width, height, WICBitmapInterpolationModeFant);
    source = scaler;
  }
  if (SUCCEEDED(hr)) {
    try {
      pixels.assign(size_t(stride) * height, 0);
      hr = source->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data());
    } catch (...) {
      hr = E_OUTOFMEMORY;
    }
  }
  if (scaler) scaler->Release();
  converted->Release();
  return hr;
}
