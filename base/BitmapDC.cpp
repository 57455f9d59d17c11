#include "base/BitmapDC.h"

BOOL CBitmapDC::Attach(HBITMAP bitmap) {
  Release();
  BITMAP info;
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return FALSE;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return FALSE;
  HGDIOBJ old = SelectObject(dc, bitmap);
  if (!old || old == HGDI_ERROR) {
    DeleteDC(dc);
    return FALSE;
  }
  m_dc = dc;
  m_oldObject = old;
  m_bitmap = bitmap;
  m_width = info.bmWidth;
  m_height = info.bmHeight;
  m_ownsBitmap = FALSE;
  return TRUE;
}

BOOL CBitmapDC::AttachOwned(HBITMAP bitmap) {
  if (!bitmap) return FALSE;
  if (!Attach(bitmap)) {
    DeleteObject(bitmap);
    return FALSE;
  }
  m_ownsBitmap = TRUE;
  return TRUE;
}

BOOL CBitmapDC::Create(int width, int height) {
  Release();
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = screen ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  return AttachOwned(bitmap);
}

BOOL CBitmapDC::CreateWithBitCount(int width, int height, int bitsPerPixel) {
  Release();
  return AttachOwned(CreateBitmap(width, height, 1, static_cast<UINT>(bitsPerPixel), nullptr));
}

BOOL CBitmapDC::CreateFilledWithBrush(int width, int height, HBRUSH brush) {
  if (!Create(width, height)) return FALSE;
  RECT all = {0, 0, width, height};
  FillRect(m_dc, &all, brush);
  return TRUE;
}

BOOL CBitmapDC::CreateFilled(int width, int height, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (!brush) return FALSE;
  BOOL done = CreateFilledWithBrush(width, height, brush);
  DeleteObject(brush);
  return done;
}

BOOL CBitmapDC::CreateCopy(const CBitmapDC& other) {
  if (&other == this || !other.m_dc || !Create(other.m_width, other.m_height)) return FALSE;
  return BitBlt(m_dc, 0, 0, m_width, m_height, other.m_dc, 0, 0, SRCCOPY);
}

void CBitmapDC::Release() {
  if (m_dc) {
    if (m_oldObject) SelectObject(m_dc, m_oldObject);
    DeleteDC(m_dc);
  }
  if (m_bitmap && m_ownsBitmap) DeleteObject(m_bitmap);
  m_dc = nullptr;
  m_oldObject = nullptr;
  m_bitmap = nullptr;
  m_ownsBitmap = FALSE;
  m_width = m_height = 0;
}
