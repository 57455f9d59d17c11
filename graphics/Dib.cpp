#include "graphics/Dib.h"

#include "platform/imaging/imaging.h"
#include "platform/imgdecmp/imgdecmp.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const WORD kBmpType = 0x4D42;  // "BM"
const DWORD kFileHeaderSize = 14;
const DWORD kInfoHeaderSize = 40;
const DWORD kBmpHeaderSize = kFileHeaderSize + kInfoHeaderSize;
const LONG kPixelsPerMetre = 3780;

WORD ReadWord(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD ReadDword(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }
void PutWord(BYTE* p, WORD v) { p[0] = BYTE(v); p[1] = BYTE(v >> 8); }
void PutDword(BYTE* p, DWORD v) { for (int i = 0; i < 4; i++) p[i] = BYTE(v >> (8 * i)); }

IImagingFactory* g_pImagingFactory = nullptr;

DWORD CALLBACK ReadFromHandle(LPSTR buffer, DWORD bufferMax, LPARAM lParam) {
  HANDLE file = reinterpret_cast<HANDLE>(lParam);
  DWORD read = 0;
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return 0;
  if (!ReadFile(file, buffer, bufferMax, &read, nullptr)) return 0;
  return read;
}

void CALLBACK IgnoreProgress(IImageRender*, BOOL, LPARAM) {}

}  // namespace

CDib::CDib() = default;

CDib::~CDib() { Clear(); }

void CDib::SetSize(int width, int height) {
  m_nWidth = width;
  m_nHeight = height;
  m_nStride = StrideFor(width);
  SetRect(&m_rcBounds, 0, 0, width, height);
}

BOOL CDib::Create(int width, int height) {
  Clear();
  if (width < 0 || height < 0) return FALSE;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = DWORD(StrideFor(width)) * DWORD(height);
  info.bmiHeader.biXPelsPerMeter = kPixelsPerMetre;
  info.bmiHeader.biYPelsPerMeter = kPixelsPerMetre;
  HDC screen = ::GetDC(nullptr);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ::ReleaseDC(nullptr, screen);
  if (!section) return FALSE;
  if (!bits) {
    DeleteObject(section);
    return FALSE;
  }
  m_hBitmap = section;
  m_pBits = static_cast<BYTE*>(bits);
  SetSize(width, height);
  return TRUE;
}

BOOL CDib::CreateChecked(int width, int height) {
  if (width < 1 || height < 1) return FALSE;
  return Create(width, height);
}

BOOL CDib::CreateFilled(int width, int height, COLORREF colour) {
  if (!Create(width, height)) return FALSE;
  const BYTE b = GetBValue(colour), g = GetGValue(colour), r = GetRValue(colour);
  for (int y = 0; y < m_nHeight; y++) {
    BYTE* p = Row(y);
    for (int x = 0; x < m_nWidth; x++, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
  return TRUE;
}

BOOL CDib::CreateMemory(int width, int height) {
  Clear();
  if (width < 0 || height < 0) return FALSE;
  const ULONGLONG size = ULONGLONG(StrideFor(width)) * ULONGLONG(height);
  if (size > ULONGLONG(INT_MAX)) return FALSE;
  BYTE* bits = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, size ? SIZE_T(size) : 1));
  if (!bits) return FALSE;
  m_pBits = bits;
  SetSize(width, height);
  return TRUE;
}

BOOL CDib::CreateFromBitmap(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) {
    Clear();
    return FALSE;
  }
  if (!Create(info.bmWidth, std::abs(info.bmHeight))) return FALSE;
  HDC target = GetDC();
  HDC screen = ::GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  BOOL ok = FALSE;
  if (target && source) {
    HGDIOBJ old = SelectObject(source, bitmap);
    if (old) {
      ok = BitBlt(target, 0, 0, m_nWidth, m_nHeight, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
    }
  }
  if (source) DeleteDC(source);
  ReleaseDC();
  if (!ok) Clear();
  return ok;
}

BOOL CDib::CopyFromDC(HDC hdc, const RECT& rect) {
  if (!Create(rect.right - rect.left, rect.bottom - rect.top)) return FALSE;
  HDC target = GetDC();
  BOOL ok = target && BitBlt(target, 0, 0, m_nWidth, m_nHeight, hdc, rect.left, rect.top, SRCCOPY);
  ReleaseDC();
  if (!ok) Clear();
  return ok;
}

BOOL CDib::CreateFromRgb(const BYTE* rgb, int width, int height) {
  if (!rgb || !Create(width, height)) return FALSE;
  for (int y = 0; y < m_nHeight; y++) {
    const BYTE* s = rgb + size_t(y) * size_t(width) * 3;
    BYTE* d = Row(y);
    for (int x = 0; x < m_nWidth; x++, s += 3, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
  return TRUE;
}

HBITMAP CDib::HBitmapFromRgb(const BYTE* rgb, int width, int height) {
  CDib dib;
  if (!dib.CreateFromRgb(rgb, width, height)) return nullptr;
  HBITMAP section = dib.m_hBitmap;
  dib.SetOwnsBitmap(FALSE);
  dib.Clear();
  return section;
}

void CDib::Attach(HBITMAP section, BYTE* bits, int width, int height) {
  Clear();
  m_hBitmap = section;
  m_pBits = bits;
  SetSize(width, height);
}

void CDib::TakeOver(CDib& other) {
  if (&other == this) return;
  other.ReleaseDC();
  Clear();
  m_hBitmap = other.m_hBitmap;
  m_pBits = other.m_pBits;
  SetSize(other.m_nWidth, other.m_nHeight);
  m_bOwns = TRUE;
  // The other keeps no pointer into pixels it no longer owns.
  other.m_bOwns = FALSE;
  other.Clear();
  other.m_bOwns = TRUE;
}

void CDib::CopyConstruct(const CDib& other) {
  if (&other == this) return;
  Clear();
  m_hBitmap = other.m_hBitmap;
  m_pBits = other.m_pBits;
  m_bOwns = other.m_bOwns;
  SetSize(other.m_nWidth, other.m_nHeight);
}

HDC CDib::GetDC() {
  if (m_hdc) return m_hdc;
  if (!m_hBitmap) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC hdc = CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  if (!hdc) return nullptr;
  HGDIOBJ old = SelectObject(hdc, m_hBitmap);
  if (!old) {
    DeleteDC(hdc);
    return nullptr;
  }
  m_hdc = hdc;
  m_hOldObject = old;
  return m_hdc;
}

void CDib::ReleaseDC() {
  if (!m_hdc) return;
  SelectObject(m_hdc, m_hOldObject);
  DeleteDC(m_hdc);
  m_hdc = nullptr;
  m_hOldObject = nullptr;
}

BOOL CDib::Draw(HDC hdc, int x, int y) {
  ReleaseDC();
  if (!m_hBitmap || !hdc) return FALSE;
  HDC source = CreateCompatibleDC(hdc);
  if (!source) return FALSE;
  HGDIOBJ old = SelectObject(source, m_hBitmap);
  BOOL ok = old && BitBlt(hdc, x, y, m_nWidth, m_nHeight, source, 0, 0, SRCCOPY);
  if (old) SelectObject(source, old);
  DeleteDC(source);
  return ok;
}

BOOL CDib::SetOwnsBitmap(BOOL owns) {
  BOOL previous = m_bOwns;
  m_bOwns = owns;
  return previous;
}

void CDib::Clear() {
  ReleaseDC();
  if (m_bOwns) {
    if (m_hBitmap)
      DeleteObject(m_hBitmap);
    else if (m_pBits)
      LocalFree(m_pBits);
  }
  m_hBitmap = nullptr;
  m_pBits = nullptr;
  m_nWidth = m_nHeight = m_nStride = 0;
  SetRectEmpty(&m_rcBounds);
}

void CDib::ScrollRowsDown(int n) {
  if (!m_pBits || n <= 0) return;
  if (n > m_nHeight) n = m_nHeight;
  const size_t moved = size_t(m_nHeight - n) * m_nStride;
  memmove(Row(n), Row(0), moved);
  memset(Row(0), 0, size_t(n) * m_nStride);
}

void CDib::ScrollRowsUp(int n) {
  if (!m_pBits || n <= 0) return;
  if (n > m_nHeight) n = m_nHeight;
  const size_t moved = size_t(m_nHeight - n) * m_nStride;
  memmove(Row(0), Row(n), moved);
  memset(Row(m_nHeight - n), 0, size_t(n) * m_nStride);
}

// Moving the whole buffer at once shifts every row together; what spills over a
// row's end lands in the next row's first pixels, which are cleared anyway.
void CDib::ScrollColumnsRight(int n) {
  if (!m_pBits || n <= 0) return;
  if (n > m_nWidth) n = m_nWidth;
  const size_t total = size_t(m_nHeight) * m_nStride;
  const size_t shift = size_t(n) * 3;
  memmove(m_pBits + shift, m_pBits, total - shift);
  for (int y = 0; y < m_nHeight; y++) memset(Row(y), 0, shift);
}

void CDib::ScrollColumnsLeft(int n) {
  if (!m_pBits || n <= 0) return;
  if (n > m_nWidth) n = m_nWidth;
  const size_t total = size_t(m_nHeight) * m_nStride;
  const size_t shift = size_t(n) * 3;
  memmove(m_pBits, m_pBits + shift, total - shift);
  for (int y = 0; y < m_nHeight; y++) memset(Row(y) + size_t(m_nWidth - n) * 3, 0, shift);
}

BOOL CDib::SaveBmp(LPCWSTR path) const {
  if (!m_pBits || m_nWidth < 1 || m_nHeight < 1 || !path) return FALSE;
  const DWORD imageSize = DWORD(m_nStride) * DWORD(m_nHeight);
  BYTE header[kBmpHeaderSize] = {};
  PutWord(header + 0, kBmpType);
  PutDword(header + 2, kBmpHeaderSize + imageSize);
  PutDword(header + 10, kBmpHeaderSize);
  PutDword(header + 14, kInfoHeaderSize);
  PutDword(header + 18, DWORD(m_nWidth));
  PutDword(header + 22, DWORD(m_nHeight));
  PutWord(header + 26, 1);
  PutWord(header + 28, 24);
  PutDword(header + 34, imageSize);
  PutDword(header + 38, kPixelsPerMetre);
  PutDword(header + 42, kPixelsPerMetre);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  BOOL ok = WriteFile(file, header, sizeof(header), &written, nullptr) && written == sizeof(header);
  for (int y = m_nHeight - 1; ok && y >= 0; y--)
    ok = WriteFile(file, Row(y), DWORD(m_nStride), &written, nullptr) && written == DWORD(m_nStride);
  CloseHandle(file);
  if (!ok) DeleteFileW(path);
  return ok;
}

BOOL CDib::LoadBmpFromMemory(const BYTE* bytes, DWORD size) {
  if (!bytes || size < kBmpHeaderSize) return FALSE;
  if (ReadWord(bytes) != kBmpType || ReadDword(bytes + 2) != size) return FALSE;
  const DWORD offBits = ReadDword(bytes + 10);
  const BYTE* info = bytes + kFileHeaderSize;
  const LONG width = LONG(ReadDword(info + 4));
  const LONG height = LONG(ReadDword(info + 8));
  if (ReadWord(info + 14) != 24 || ReadDword(info + 16) != BI_RGB) return FALSE;
  // A negative width or the one height without a magnitude are as corrupt as zero.
  if (width <= 0 || height == 0 || height == LONG_MIN) return FALSE;
  const int rows = height < 0 ? -height : height;
  const ULONGLONG stride = ULONGLONG(StrideFor(width));
  if (width > (INT_MAX - 3) / 3) return FALSE;
  // Every row must lie within the buffer: a truncated file is refused, never read past its end.
  if (offBits < kBmpHeaderSize || ULONGLONG(offBits) + stride * ULONGLONG(rows) > size) return FALSE;
  if (!CreateMemory(width, rows)) return FALSE;
  const BYTE* pixels = bytes + offBits;
  for (int y = 0; y < rows; y++) {
    const int fileRow = height > 0 ? rows - 1 - y : y;
    memcpy(Row(y), pixels + size_t(fileRow) * m_nStride, m_nStride);
  }
  return TRUE;
}

BOOL CDib::LoadWithImaging(IStream* stream) {
  Clear();
  if (!stream) return FALSE;
  if (!g_pImagingFactory &&
      FAILED(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                              reinterpret_cast<void**>(&g_pImagingFactory)))) {
    g_pImagingFactory = nullptr;
    return FALSE;
  }
  IImage* image = nullptr;
  if (FAILED(g_pImagingFactory->CreateImageFromStream(stream, &image)) || !image) return FALSE;
  ImageInfo info = {};
  BOOL ok = SUCCEEDED(image->GetImageInfo(&info)) && info.Width <= INT_MAX && info.Height <= INT_MAX &&
            CreateChecked(int(info.Width), int(info.Height));
  if (ok) {
    HDC hdc = GetDC();
    RECT whole = {0, 0, m_nWidth, m_nHeight};
    ok = hdc && SUCCEEDED(image->Draw(hdc, &whole, nullptr));
    ReleaseDC();
  }
  image->Release();
  if (!ok) Clear();
  return ok;
}

void CDib::ReleaseImagingFactory() {
  if (g_pImagingFactory) g_pImagingFactory->Release();
  g_pImagingFactory = nullptr;
}

BOOL CDib::LoadWithImgDecmp(LPCWSTR path) {
  Clear();
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  BYTE buffer[1024];
  HBITMAP bitmap = nullptr;
  HDC screen = ::GetDC(nullptr);
  DecompressImageInfo request = {};
  request.dwSize = sizeof(request);
  request.pbBuffer = buffer;
  request.dwBufferMax = sizeof(buffer);
  request.phBM = &bitmap;
  request.iBitDepth = GetDeviceCaps(screen, BITSPIXEL);
  request.lParam = reinterpret_cast<LPARAM>(file);
  request.hdc = screen;
  request.iScale = 100;
  request.iMaxWidth = 10000;
  request.iMaxHeight = 10000;
  request.pfnGetData = ReadFromHandle;
  request.pfnImageProgress = IgnoreProgress;
  request.crTransparentOverride = 0xFFFFFFFF;
  HRESULT hr = DecompressImageIndirect(&request);
  CloseHandle(file);
  ::ReleaseDC(nullptr, screen);
  if (FAILED(hr) || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    return FALSE;
  }
  BOOL ok = CreateFromBitmap(bitmap);
  DeleteObject(bitmap);
  return ok;
}
