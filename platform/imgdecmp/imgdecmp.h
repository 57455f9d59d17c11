#pragma once
// The device's image decompression library (imgdecmp.dll): one call that reads
// an image through the caller's read callback and hands back a bitmap.
#include <windows.h>

struct IImageRender;

typedef DWORD(CALLBACK* GETDATAFUNC)(LPSTR buffer, DWORD bufferMax, LPARAM lParam);
typedef void(CALLBACK* PROGRESSFUNC)(IImageRender* render, BOOL complete, LPARAM lParam);

// Fifteen fields. On the device every one is four bytes (60 in all); here the
// pointers and handles are eight, so dwSize must be sizeof(DecompressImageInfo)
// of this build, never the device's 60.
struct DecompressImageInfo {
  DWORD dwSize;
  BYTE* pbBuffer;
  DWORD dwBufferMax;
  DWORD dwBufferCurrent;
  HBITMAP* phBM;
  IImageRender** ppImageRender;
  int iBitDepth;
  LPARAM lParam;
  HDC hdc;
  int iScale;
  int iMaxWidth;
  int iMaxHeight;
  GETDATAFUNC pfnGetData;
  PROGRESSFUNC pfnImageProgress;
  COLORREF crTransparentOverride;
};

extern "C" HRESULT WINAPI DecompressImageIndirect(DecompressImageInfo* info);
