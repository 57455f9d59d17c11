// CBitmapDC: a memory device context with a bitmap selected into it, the
// drawing surface of every part that paints off screen. The bitmap is owned
// when this object made it (or was told so) and is then deleted on Release.
#pragma once

#include <windows.h>

class CBitmapDC {
public:
  CBitmapDC() = default;
  CBitmapDC(const CBitmapDC&) = delete;
  CBitmapDC& operator=(const CBitmapDC&) = delete;
  virtual ~CBitmapDC() { Release(); }

  // Releases what it held, then selects bitmap (not owned) into a new memory
  // DC compatible with the screen. FALSE, and nothing held, on failure.
  BOOL Attach(HBITMAP bitmap);
  // Owned bitmaps: compatible with the screen, or with a bit count (one plane).
  BOOL Create(int width, int height);
  BOOL CreateWithBitCount(int width, int height, int bitsPerPixel);
  BOOL CreateFilled(int width, int height, COLORREF color);
  BOOL CreateFilledWithBrush(int width, int height, HBRUSH brush);
  // A copy of the other's picture at its size.
  BOOL CreateCopy(const CBitmapDC& other);
  // Selects the old object back, deletes an owned bitmap and the DC.
  void Release();

  HBITMAP GetBitmap() const { return m_bitmap; }
  HDC GetDC() const { return m_dc; }
  HDC* GetDCPtr() { return &m_dc; }
  SIZE GetSize() const { return {m_width, m_height}; }
  // Returns the previous flag.
  BOOL SetOwnsBitmap(BOOL owns) {
    BOOL previous = m_ownsBitmap;
    m_ownsBitmap = owns;
    return previous;
  }

private:
  BOOL AttachOwned(HBITMAP bitmap);

  BOOL m_ownsBitmap = FALSE;
  HDC m_dc = nullptr;
  HGDIOBJ m_oldObject = nullptr;
  HBITMAP m_bitmap = nullptr;
  int m_width = 0;
  int m_height = 0;
};
