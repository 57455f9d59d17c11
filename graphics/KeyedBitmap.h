// CKeyedBitmap: a picture with one transparent key colour (category icons, icon
// sets), drawn into a pixel buffer or a DC.
#pragma once
#include <windows.h>

#include "graphics/Dib.h"

class CKeyedBitmap {
 public:
  CKeyedBitmap();
  virtual ~CKeyedBitmap();
  CKeyedBitmap(const CKeyedBitmap&) = delete;
  CKeyedBitmap& operator=(const CKeyedBitmap&) = delete;

  // How a pixel buffer target leaves out the key: the library skips every pixel
  // near the key colour (within 10 in each channel, as the skin's keyed copy
  // does); the options program skips only pixels exactly equal to the key and
  // calls SetExactKeyInDib(TRUE) at start.
  static void SetExactKeyInDib(BOOL exact);
  static BOOL IsExactKeyInDib();

  // A .bmp file through the platform's DIB loader; FALSE leaves it not loaded.
  BOOL LoadFile(LPCWSTR path);
  // Takes the picture of bitmap, which is deleted in every case.
  BOOL LoadFromBitmap(HBITMAP bitmap);
  void Free();
  // Takes other's picture and key colour; other is left empty and not loaded.
  void TakeOver(CKeyedBitmap& other);
  // Drops the picture's memory DC (after drawing many icons into DCs).
  void ReleaseDC() { m_image.ReleaseDC(); }

  void SetKeyColor(COLORREF colour);
  COLORREF GetKeyColor() const { return m_keyColor; }
  // The key as blue, green, red: the byte order of a pixel.
  const BYTE* GetKeyBytes() const { return m_keyBytes; }

  BOOL IsLoaded() const { return m_loaded; }
  // 0 x 0 when not loaded.
  SIZE GetSize() const;
  const CDib& GetImage() const { return m_image; }

  // The whole picture at (x, y), its key pixels left out: into target when given,
  // else into hdc (TransparentImage with the key colour).
  BOOL DrawTransparent(CDib* target, int x, int y, HDC hdc = nullptr);
  BOOL Draw(CDib* target, int x, int y, HDC hdc) { return DrawTransparent(target, x, y, hdc); }

 private:
  COLORREF m_keyColor;
  BYTE m_keyBytes[3];
  CDib m_image;
  BOOL m_loaded;
};
