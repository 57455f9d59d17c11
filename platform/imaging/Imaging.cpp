// The imaging factory's COM classes over Wine's codecs. Only what programs call
// is built: CreateImageFromStream, and on the image GetImageInfo,
// GetPhysicalDimension and Draw over a whole destination rectangle; every
// other slot answers E_NOTIMPL, as a device without that codec would.
#include "platform/imaging/imaging.h"
#include "platform/imaging/WicDecoder.h"

#include <new>
#include <vector>

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

const GUID& FormatOfContainer(const GUID& container) {
  if (container == GUID_ContainerFormatPng) return ImageFormatPNG;
  if (container == GUID_ContainerFormatJpeg) return ImageFormatJPEG;
  if (container == GUID_ContainerFormatGif) return ImageFormatGIF;
  if (container == GUID_ContainerFormatBmp) return ImageFormatBMP;
  return container;
}

// Reference counting and QueryInterface of an object with one interface; every
// live object keeps the server loaded.
template <typename Interface, const IID& kIid>
class CSingleInterface : public Interface {
 public:
  CSingleInterface() { InterlockedIncrement(&g_objects); }
  virtual ~CSingleInterface() { InterlockedDecrement(&g_objects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIid) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return ULONG(refs);
  }

 private:
  LONG m_refs = 1;
};

class CImage : public CSingleInterface<IImage, IID_IImage> {
 public:

  // May throw std::bad_alloc; the factory's method catches it.
  HRESULT Load(IStream* stream) {
    std::vector<BYTE> bytes;
    HRESULT hr = CWicDecoder::ReadAll(stream, bytes);
    if (SUCCEEDED(hr)) hr = m_decoder.Decode(bytes);
    if (FAILED(hr)) return hr;
    // Premultiplied, as AlphaBlend takes it; an opaque picture has alpha 255 throughout.
    return m_decoder.CopyOverBlack(m_decoder.Width(), m_decoder.Height(), m_pixels);
  }

  HRESULT STDMETHODCALLTYPE GetPhysicalDimension(SIZE* size) override {
    if (!size) return E_POINTER;
    // Hundredths of a millimetre, from the picture's resolution.
    size->cx = LONG(m_decoder.Width() * 2540.0 / (m_decoder.XDpi() > 0 ? m_decoder.XDpi() : 96));
    size->cy = LONG(m_decoder.Height() * 2540.0 / (m_decoder.YDpi() > 0 ? m_decoder.YDpi() : 96));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PushIntoSink(IImageSink*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* dstRect, const RECT* srcRect) override {
    if (!hdc || !dstRect) return E_INVALIDARG;
    if (srcRect) return E_NOTIMPL;
    const int w = int(m_decoder.Width()), h = int(m_decoder.Height());
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
      if (section) DeleteObject(section);
      return E_OUTOFMEMORY;
    }
    memcpy(bits, m_pixels.data(), m_pixels.size());
    HDC source = CreateCompatibleDC(hdc);
    HGDIOBJ old = source ? SelectObject(source, section) : nullptr;
    BOOL ok = FALSE;
    if (old) {
      const int dw = dstRect->right - dstRect->left, dh = dstRect->bottom - dstRect->top;
      if (m_decoder.HasAlpha()) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ok = AlphaBlend(hdc, dstRect->left, dstRect->top, dw, dh, source, 0, 0, w, h, blend);
      } else {
        int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
        ok = StretchBlt(hdc, dstRect->left, dstRect->top, dw, dh, source, 0, 0, w, h, SRCCOPY);
        SetStretchBltMode(hdc, oldMode);
      }
      SelectObject(source, old);
    }
    if (source) DeleteDC(source);
    DeleteObject(section);
    return ok ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE GetImageInfo(ImageInfo* info) override {
    if (!info) return E_POINTER;
    *info = ImageInfo{};
    info->RawDataFormat = FormatOfContainer(m_decoder.Container());
    info->PixelFormat = m_decoder.HasAlpha() ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    info->Width = m_decoder.Width();
    info->Height = m_decoder.Height();
    info->TileWidth = m_decoder.Width();
    info->TileHeight = 1;
    info->Xdpi = m_decoder.XDpi();
    info->Ydpi = m_decoder.YDpi();
    info->Flags = ImageFlagsColorSpaceRGB | (m_decoder.HasAlpha() ? ImageFlagsHasAlpha : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetImageFlags(UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetThumbnail(UINT, UINT, IImage**) override { return E_NOTIMPL; }

 private:
  CWicDecoder m_decoder;
  std::vector<BYTE> m_pixels;
};

class CImagingFactory : public CSingleInterface<IImagingFactory, IID_IImagingFactory> {
 public:

  HRESULT STDMETHODCALLTYPE CreateImageFromStream(IStream* stream, IImage** image) override {
    if (!image) return E_POINTER;
    *image = nullptr;
    if (!stream) return E_INVALIDARG;
    CImage* created = new (std::nothrow) CImage;
    if (!created) return E_OUTOFMEMORY;
    HRESULT hr;
    try {
      hr = created->Load(stream);
    } catch (...) {
      hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) {
      created->Release();
      return hr;
    }
    *image = created;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateImageFromFile(const WCHAR*, IImage**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateImageFromBuffer(const void*, UINT, UINT, IImage**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateNewBitmap(UINT, UINT, PixelFormatID, IBitmapImage**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateBitmapFromImage(IImage*, UINT, UINT, PixelFormatID, UINT, IBitmapImage**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateBitmapFromBuffer(BitmapData*, IBitmapImage**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateImageDecoder(IStream*, UINT, IImageDecoder**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateImageEncoderToStream(const CLSID*, IStream*, IImageEncoder**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateImageEncoderToFile(const CLSID*, const WCHAR*, IImageEncoder**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetInstalledDecoders(UINT*, ImageCodecInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInstalledEncoders(UINT*, ImageCodecInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InstallImageCodec(const ImageCodecInfo*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UninstallImageCodec(const WCHAR*, UINT) override { return E_NOTIMPL; }
};

class CClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // One static object for the life of the module; locks keep the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CImagingFactory* factory = new (std::nothrow) CImagingFactory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

CClassFactory g_classFactory;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_ImagingFactory) return CLASS_E_CLASSNOTAVAILABLE;
  return g_classFactory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE; }
