#include "graphics/KeyedBitmap.h"

#include <cstring>

#include "graphics/RasterOps.h"
#include "platform/coredll/ce.h"

namespace {
BOOL g_exactKeyInDib = FALSE;
}

void CKeyedBitmap::SetExactKeyInDib(BOOL exact) { g_exactKeyInDib = exact; }
BOOL CKeyedBitmap::IsExactKeyInDib() { return g_exactKeyInDib; }

CKeyedBitmap::CKeyedBitmap() : m_keyColor(0), m_keyBytes{0, 0, 0}, m_loaded(FALSE) {}

CKeyedBitmap::~CKeyedBitmap() { Free(); }

BOOL CKeyedBitmap::LoadFile(LPCWSTR path) { return LoadFromBitmap(path ? SHLoadDIBitmap(path) : nullptr); }

BOOL CKeyedBitmap::LoadFromBitmap(HBITMAP bitmap) {
  Free();
  if (!bitmap) return FALSE;
  m_loaded = m_image.CreateFromBitmap(bitmap);
  DeleteObject(bitmap);
  return m_loaded;
}

void CKeyedBitmap::Free() {
  m_image.Clear();
  m_loaded = FALSE;
}

void CKeyedBitmap::TakeOver(CKeyedBitmap& other) {
  if (&other == this) return;
  SetKeyColor(other.m_keyColor);
  m_image.TakeOver(other.m_image);
  m_loaded = other.m_loaded;
  other.m_loaded = FALSE;
}

void CKeyedBitmap::SetKeyColor(COLORREF colour) {
  m_keyColor = colour;
  m_keyBytes[0] = GetBValue(colour);
  m_keyBytes[1] = GetGValue(colour);
  m_keyBytes[2] = GetRValue(colour);
}

SIZE CKeyedBitmap::GetSize() const {
  if (!m_loaded) return {0, 0};
  return {m_image.GetWidth(), m_image.GetHeight()};
}

BOOL CKeyedBitmap::DrawTransparent(CDib* target, int x, int y, HDC hdc) {
  if (!m_loaded) return FALSE;
  const int w = m_image.GetWidth(), h = m_image.GetHeight();
  if (target) {
    if (!g_exactKeyInDib) {
      CopyRectKeyed(*target, x, y, w, h, m_image, 0, 0, m_keyColor);
      return TRUE;
    }
    // Exact key: the same clipped copy, pixel by pixel.
    for (int row = 0; row < h; row++) {
      const int ty = y + row;
      if (ty < target->GetBounds().top || ty >= target->GetBounds().bottom || ty >= target->GetHeight()) continue;
      for (int col = 0; col < w; col++) {
        const int tx = x + col;
        if (tx < 0 || tx >= target->GetWidth()) continue;
        const BYTE* s = m_image.Pixel(col, row);
        if (memcmp(s, m_keyBytes, 3) != 0) memcpy(target->Pixel(tx, ty), s, 3);
      }
    }
    return TRUE;
  }
  if (!hdc) return FALSE;
  HDC source = m_image.GetDC();
  return source && TransparentImage(hdc, x, y, w, h, source, 0, 0, w, h, m_keyColor);
}
