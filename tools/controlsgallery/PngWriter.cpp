#include "tools/controlsgallery/PngWriter.h"

#include <wincodec.h>

#include "platform/windowlib/ComPtr.h"

#include "graphics/Dib.h"

BOOL SavePng(const CDib& picture, LPCWSTR path) {
  if (picture.IsEmpty()) return FALSE;
  CComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return FALSE;
  CComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(path, GENERIC_WRITE)))
    return FALSE;
  CComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)))
    return FALSE;
  CComPtr<IWICBitmapFrameEncode> frame;
  CComPtr<IPropertyBag2> properties;
  const UINT width = picture.GetWidth(), height = picture.GetHeight();
  if (FAILED(encoder->CreateNewFrame(&frame, &properties)) || FAILED(frame->Initialize(properties.p)) ||
      FAILED(frame->SetSize(width, height)))
    return FALSE;
  // The picture's rows are already what the encoder takes: top-down blue, green, red.
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return FALSE;
  const UINT stride = static_cast<UINT>(picture.GetStride());
  if (FAILED(frame->WritePixels(height, stride, stride * height, picture.GetBits()))) return FALSE;
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}
