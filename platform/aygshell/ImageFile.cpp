#include "platform/aygshell/aygshell.h"

#include <wincodec.h>

#include "platform/windowlib/ComPtr.h"

namespace {

HBITMAP Decode(LPCWSTR path) {
  CComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
    return nullptr;
  CComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder)))
    return nullptr;
  CComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  CComPtr<IWICBitmapSource> pixels;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.p, &pixels))) return nullptr;
  UINT width = 0, height = 0;
  if (FAILED(pixels->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x4000 ||
      height > 0x4000)
    return nullptr;

  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = static_cast<LONG>(width);
  bmi.bmiHeader.biHeight = -static_cast<LONG>(height);
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(pixels->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

}  // namespace

AYG_API HBITMAP WINAPI SHLoadImageFile(LPCWSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;  // keeps the system's error
  CComInitScope com;
  HBITMAP bitmap = Decode(path);
  if (!bitmap) SetLastError(ERROR_BAD_FORMAT);
  return bitmap;
}
