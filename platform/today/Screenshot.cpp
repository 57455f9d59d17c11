// Screenshots go out as PNG through the system's own image encoders.
#include <wincodec.h>

#include "platform/windowlib/ComPtr.h"

#include <vector>

#include "platform/today/PngFile.h"
#include "platform/today/TodayHost.h"

bool WritePngFile(const std::wstring& path, HBITMAP bitmap) {
  DIBSECTION dib;
  if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32) return false;
  const UINT width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
  // Rows of three bytes, the one layout every PNG encoder takes.
  const UINT stride = (width * 3 + 3) & ~3u;
  std::vector<BYTE> rows(stride * height);
  const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) rows[y * stride + x * 3 + c] = bits[(y * width + x) * 4 + c];

  CComInitScope com;
  CComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return false;
  CComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
    return false;
  CComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)))
    return false;
  CComPtr<IWICBitmapFrameEncode> frame;
  CComPtr<IPropertyBag2> properties;
  if (FAILED(encoder->CreateNewFrame(&frame, &properties)) || FAILED(frame->Initialize(properties.p)) ||
      FAILED(frame->SetSize(width, height)))
    return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return false;
  if (FAILED(frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data()))) return false;
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

HBITMAP CaptureWindowDib(HWND window, int width, int height) {
  void* bits = nullptr;
  HBITMAP shot = CreateTopDownDib(width, height, &bits);
  if (!shot) return nullptr;
  HDC screen = GetDCEx(window, nullptr, DCX_WINDOW | DCX_CACHE);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, shot);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  GdiFlush();
  return shot;
}

bool CTodayHost::SaveScreenshot(const std::wstring& path) const {
  HBITMAP shot = Capture();
  if (!shot) return false;
  bool written = WritePngFile(path, shot);
  DeleteObject(shot);
  return written;
}
