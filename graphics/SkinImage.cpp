#include "graphics/SkinImage.h"

#include "graphics/SkinArchive.h"
#include "platform/coredll/ce.h"

CSkinImage::CSkinImage() : m_cellWidth(0), m_cellHeight(0), m_keyColor(kKeyColor) {}

CSkinImage::~CSkinImage() {}

BOOL CSkinImage::Load(LPCWSTR name, int cellWidth, int cellHeight) {
  return Load(CSkinArchive::Instance(), name, cellWidth, cellHeight);
}

BOOL CSkinImage::Load(CSkinArchive& archive, LPCWSTR name, int cellWidth, int cellHeight) {
  // A zero cell would divide by zero in every row count.
  if (cellWidth < 1 || cellHeight < 1) return FALSE;
  HBITMAP bitmap = archive.LoadBitmap(name, 0, 0, -1, -1, FALSE);
  if (!bitmap) return FALSE;
  if (!m_bitmap.Attach(bitmap)) {
    DeleteObject(bitmap);
    return FALSE;
  }
  m_bitmap.SetOwnsBitmap(TRUE);
  m_cellWidth = cellWidth;
  m_cellHeight = cellHeight;
  return TRUE;
}

BOOL CSkinImage::Draw(HDC hdc, int row, int x, int y, int column) {
  if (!hdc || !m_bitmap.GetDC()) return FALSE;
  return TransparentImage(hdc, x, y, m_cellWidth, m_cellHeight, m_bitmap.GetDC(), column * m_cellWidth,
                          row * m_cellHeight, m_cellWidth, m_cellHeight, m_keyColor);
}

int CSkinImage::GetRowCount() const {
  if (!m_bitmap.GetBitmap() || m_cellHeight < 1) return 0;
  return m_bitmap.GetSize().cy / m_cellHeight;
}
