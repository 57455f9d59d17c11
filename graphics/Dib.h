#pragma once
// CDib: the one pixel buffer of the system. 24 bits per pixel, rows top-down,
// bytes blue, green, red, stride a multiple of 4. Backed either by a DIB section
// (GDI can draw into it through GetDC) or by plain zero-filled memory (decoded
// .bmp bytes, which only the raster operations read).
#include <windows.h>
#include <objidl.h>

class CDib {
 public:
  CDib();
  virtual ~CDib();
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  static int StrideFor(int width) { return ((width + 1) * 3) & ~3; }

  BOOL Create(int width, int height);
  BOOL CreateChecked(int width, int height);
  BOOL CreateFilled(int width, int height, COLORREF colour);
  BOOL CreateMemory(int width, int height);
  BOOL CreateFromBitmap(HBITMAP bitmap);
  BOOL CopyFromDC(HDC hdc, const RECT& rect);
  BOOL CopyFromHdc(HDC hdc, const RECT& rect) { return CopyFromDC(hdc, rect); }
  BOOL CreateFromRgb(const BYTE* rgb, int width, int height);
  static HBITMAP HBitmapFromRgb(const BYTE* rgb, int width, int height);
  void Attach(HBITMAP section, BYTE* bits, int width, int height);
  // The other image ends empty; this one owns what it held.
  void TakeOver(CDib& other);
  // Shares the other's pixels and section (not its DC); the caller settles who
  // owns them with SetOwnsBitmap before either is cleared.
  void CopyConstruct(const CDib& other);

  HDC GetDC();
  void ReleaseDC();
  BOOL Draw(HDC hdc, int x, int y);
  BOOL SetOwnsBitmap(BOOL owns);
  void Clear();

  void ScrollRowsDown(int n);
  void ScrollRowsUp(int n);
  void ScrollColumnsRight(int n);
  void ScrollColumnsLeft(int n);

  BOOL SaveBmp(LPCWSTR path) const;
  BOOL LoadBmpFromMemory(const BYTE* bytes, DWORD size);
  BOOL LoadWithImaging(IStream* stream);
  BOOL LoadWithImgDecmp(LPCWSTR path);
  // The imaging factory is kept from its first use until this is called; the
  // library calls it before uninitialising COM, so that no release ever reaches
  // an in-process server that is already gone.
  static void ReleaseImagingFactory();

  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  int GetStride() const { return m_nStride; }
  BYTE* GetBits() const { return m_pBits; }
  BYTE* Row(int y) const { return m_pBits + y * m_nStride; }
  BYTE* Pixel(int x, int y) const { return m_pBits + y * m_nStride + x * 3; }
  HBITMAP GetBitmap() const { return m_hBitmap; }
  const RECT& GetBounds() const { return m_rcBounds; }
  BOOL IsEmpty() const { return m_pBits == nullptr; }

 private:
  void SetSize(int width, int height);

  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nStride = 0;
  BYTE* m_pBits = nullptr;
  HBITMAP m_hBitmap = nullptr;
  BOOL m_bOwns = TRUE;
  RECT m_rcBounds = {0, 0, 0, 0};
  HDC m_hdc = nullptr;
  HGDIOBJ m_hOldObject = nullptr;
};
