// CSkinImage: a grid of equal cells cut from one skin member (the tab icons),
// drawn with magenta as the transparent key colour.
#pragma once
#include <windows.h>

#include "base/BitmapDC.h"

class CSkinArchive;

class CSkinImage {
 public:
  static constexpr COLORREF kKeyColor = 0x00FF00FF;

  CSkinImage();
  virtual ~CSkinImage();
  CSkinImage(const CSkinImage&) = delete;
  CSkinImage& operator=(const CSkinImage&) = delete;

  // The whole member from the current skin's archive, or from the one given;
  // cells are cellWidth x cellHeight device pixels. FALSE when the member cannot
  // be loaded or a cell size is below 1.
  BOOL Load(LPCWSTR name, int cellWidth, int cellHeight);
  BOOL Load(CSkinArchive& archive, LPCWSTR name, int cellWidth, int cellHeight);
  // Cell (row, column) at (x, y), its key-coloured pixels left out.
  BOOL Draw(HDC hdc, int row, int x, int y, int column);
  // Whole rows of cells in the bitmap; 0 when nothing is loaded.
  int GetRowCount() const;

  int GetCellWidth() const { return m_cellWidth; }
  int GetCellHeight() const { return m_cellHeight; }
  const CBitmapDC& GetBitmapDC() const { return m_bitmap; }

 private:
  int m_cellWidth;
  int m_cellHeight;
  CBitmapDC m_bitmap;
  COLORREF m_keyColor;
};
