// CMemoryDib: an off-screen surface of a chosen pixel format, drawn into through
// its own memory device context. A tab plug-in renders the tab's icon into one.
#pragma once
#include <windows.h>

class CMemoryDib {
 public:
  // Pixel formats: 1 bit (black, white), 4 bits (16 grey levels), 8 bits (256 grey
  // levels), 16 bits (5-6-5 bit fields), 24 bits.
  enum Kind { kMono = 0, kGrey16 = 1, kGrey256 = 2, kRgb565 = 3, kRgb24 = 4 };

  CMemoryDib() = default;
  ~CMemoryDib();
  CMemoryDib(const CMemoryDib&) = delete;
  CMemoryDib& operator=(const CMemoryDib&) = delete;

  // FALSE for a side below 1, an unknown kind or a failed section; whatever was
  // held before is let go either way.
  BOOL Create(int width, int height, int kind);
  void Destroy();
  // The memory DC with the section selected, made on first request; null when
  // there is no section.
  HDC GetDC();
  void ReleaseDC();

  HBITMAP GetBitmap() const { return m_bitmap; }
  BYTE* GetBits() const { return m_bits; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetBitsPerPixel() const { return m_bitsPerPixel; }
  // Bytes per row: rows are padded to four bytes.
  int GetStride() const { return ((m_width * m_bitsPerPixel + 31) / 32) * 4; }

 private:
  HBITMAP m_bitmap = nullptr;
  BYTE* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_bitsPerPixel = 0;
  HDC m_dc = nullptr;
  int m_savedDC = 0;
};
