#pragma once
// The device's imaging library: the imaging factory and the image objects it
// makes, as far as programs use them. Declared here in the order of the
// platform's interfaces, so that a program built against this header calls the
// same slots on the device.
#include <windows.h>
#include <objidl.h>

typedef INT PixelFormatID;

const PixelFormatID PixelFormat24bppRGB = 0x00021808;
const PixelFormatID PixelFormat32bppARGB = 0x0026200A;

// ImageInfo.Flags
const UINT ImageFlagsHasAlpha = 0x0002;
const UINT ImageFlagsColorSpaceRGB = 0x0010;

struct ImageInfo {
  GUID RawDataFormat;
  PixelFormatID PixelFormat;
  UINT Width;
  UINT Height;
  UINT TileWidth;
  UINT TileHeight;
  double Xdpi;
  double Ydpi;
  UINT Flags;
};

// {327ABDA8-072B-11D3-9D7B-0000F81EF32E}
inline const CLSID CLSID_ImagingFactory = {0x327abda8, 0x072b, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
// {327ABDA7-072B-11D3-9D7B-0000F81EF32E}
inline const IID IID_IImagingFactory = {0x327abda7, 0x072b, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
// {327ABDA9-072B-11D3-9D7B-0000F81EF32E}
inline const IID IID_IImage = {0x327abda9, 0x072b, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Raw data formats reported in ImageInfo.RawDataFormat.
inline const GUID ImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline const GUID ImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline const GUID ImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline const GUID ImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

struct IImageSink;
struct IImageDecoder;
struct IImageEncoder;
struct IBitmapImage;
struct BitmapData;
struct ImageCodecInfo;

struct IImage : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetPhysicalDimension(SIZE* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE PushIntoSink(IImageSink* sink) = 0;
  virtual HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* dstRect, const RECT* srcRect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImageInfo(ImageInfo* info) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetImageFlags(UINT flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetThumbnail(UINT width, UINT height, IImage** thumbnail) = 0;
};

struct IImagingFactory : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateImageFromStream(IStream* stream, IImage** image) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateImageFromFile(const WCHAR* path, IImage** image) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateImageFromBuffer(const void* buffer, UINT size, UINT disposal, IImage** image) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateNewBitmap(UINT width, UINT height, PixelFormatID format, IBitmapImage** bitmap) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateBitmapFromImage(IImage* image, UINT width, UINT height, PixelFormatID format, UINT hints, IBitmapImage** bitmap) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateBitmapFromBuffer(BitmapData* data, IBitmapImage** bitmap) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateImageDecoder(IStream* stream, UINT flags, IImageDecoder** decoder) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateImageEncoderToStream(const CLSID* clsid, IStream* stream, IImageEncoder** encoder) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateImageEncoderToFile(const CLSID* clsid, const WCHAR* path, IImageEncoder** encoder) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInstalledDecoders(UINT* count, ImageCodecInfo** decoders) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInstalledEncoders(UINT* count, ImageCodecInfo** encoders) = 0;
  virtual HRESULT STDMETHODCALLTYPE InstallImageCodec(const ImageCodecInfo* codec) = 0;
  virtual HRESULT STDMETHODCALLTYPE UninstallImageCodec(const WCHAR* name, UINT flags) = 0;
};
