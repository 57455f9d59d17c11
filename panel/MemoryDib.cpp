#include "panel/MemoryDib.h"

namespace {

// 3780 pixels per metre is 96 dpi.
const LONG kPixelsPerMetre = 3780;

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

}  // namespace

CMemoryDib::~CMemoryDib() { Destroy(); }

void CMemoryDib::Destroy() {
  ReleaseDC();
  if (m_bitmap) DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_bits = nullptr;
  m_width = m_height = m_bitsPerPixel = 0;
}

BOOL CMemoryDib::Create(int width, int height, int kind) {
  Destroy();
  static const int kBits[] = {1, 4, 8, 16, 24};
  if (width < 1 || height < 1 || kind < kMono || kind > kRgb24) return FALSE;
  const int bits = kBits[kind];
  // A section beyond what a 32-bit size can hold is refused, not wrapped.
  const LONGLONG stride = ((static_cast<LONGLONG>(width) * bits + 31) / 32) * 4;
  if (stride * height > 0x7FFFFFFF) return FALSE;
  DibInfo info = {};
  BITMAPINFOHEADER& header = info.header;
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = BI_RGB;
  header.biXPelsPerMeter = header.biYPelsPerMeter = kPixelsPerMetre;
  if (kind <= kGrey256) {
    const int levels = 1 << bits;
    header.biClrUsed = static_cast<DWORD>(levels);
    for (int i = 0; i < levels; ++i) {
      // Black to white in equal steps: 0 and 255 for one bit, i * 16 for four.
      const BYTE grey = kind == kMono ? static_cast<BYTE>(i * 255) : kind == kGrey16 ? static_cast<BYTE>(i * 16)
                                                                                      : static_cast<BYTE>(i);
      info.colours[i] = {grey, grey, grey, 0};
    }
  } else if (kind == kRgb565) {
    header.biCompression = BI_BITFIELDS;
    DWORD* masks = reinterpret_cast<DWORD*>(info.colours);
    masks[0] = 0xF800;
    masks[1] = 0x07E0;
    masks[2] = 0x001F;
  }
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!bitmap || !pixels) {
    if (bitmap) DeleteObject(bitmap);
    return FALSE;
  }
  m_bitmap = bitmap;
  m_bits = static_cast<BYTE*>(pixels);
  m_width = width;
  m_height = height;
  m_bitsPerPixel = bits;
  return TRUE;
}

HDC CMemoryDib::GetDC() {
  if (m_dc || !m_bitmap) return m_dc;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  m_savedDC = SaveDC(dc);
  SelectObject(dc, m_bitmap);
  m_dc = dc;
  return m_dc;
}

void CMemoryDib::ReleaseDC() {
  if (!m_dc) return;
  // Whatever a drawer left selected goes with the saved state; the section is
  // free again before it may be deleted.
  RestoreDC(m_dc, m_savedDC);
  DeleteDC(m_dc);
  m_dc = nullptr;
  m_savedDC = 0;
}
