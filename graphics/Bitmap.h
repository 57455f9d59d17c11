// CBitmap: a strip of control images (the parts of a scroll bar, ...) in one
// 24-bit bitmap whose left half holds the pictures and whose right half their
// opacity masks. Rows whose first mask pixel is pure magenta end a part.
// Also the small helpers controls share: the wait cursor and the text hash.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BitmapDC.h"
#include "graphics/Dib.h"

class CBitmap : public CDib {
 public:
  CBitmap();
  ~CBitmap() override;

  // The bitmap resource of that id from the resource library (the module's
  // resource instance) or from the module given.
  BOOL LoadResource(UINT id);
  BOOL LoadResource(HINSTANCE module, UINT id);
  // A .bmp file through the platform's DIB loader.
  BOOL LoadFile(LPCWSTR path);
  // A member of the current skin, through the skin archive's cache.
  BOOL LoadSkinFile(LPCWSTR name);
  BOOL LoadSkinBitmap(LPCWSTR name) { return LoadSkinFile(name); }
  // Takes the picture of bitmap, which is deleted in every case.
  BOOL LoadFromBitmap(HBITMAP bitmap);
  void Free();

  int GetPartCount() const { return static_cast<int>(m_parts.size()); }
  // The part's rectangle in the left half; an empty one outside the list.
  RECT GetPart(int i) const;
  SIZE GetPartSize(int i) const;
  SIZE GetSize() const { return {GetWidth(), GetHeight()}; }
  int GetHalfWidth() const { return m_halfWidth; }

  // Part i at (x, y) of a DC: its masked-out pixels leave the DC as it was
  // (the picture must be white there, as every strip draws it).
  BOOL DrawTransparent(HDC hdc, int i, int x, int y);
  // Puts the picture of source at (x, y) into part i's place (the half width by
  // the part's height) and whitens it where the part's mask is black, so that the
  // part draws transparently there as every strip does. The mask is read from the
  // mask half beside the part (useRightEdge: from the column of the part's right
  // edge); the mask itself is left as it was.
  BOOL ComposeFrom(HDC source, int i, int x, int y, BOOL useRightEdge = FALSE);
  // Part i blended into target at (x, y), its opacity from the mask half times alpha.
  void DrawPart(int i, CDib& target, int x, int y, int alpha = 255) const;
  // The same with source colours replaced (from[k] laid as to[k]).
  void DrawPartReplacing(int i, CDib& target, int x, int y, const COLORREF* from, const COLORREF* to,
                         int count) const;
  // Sums the pixels of image that part i, laid at (x, y), would cover.
  void SumUnderPart(int i, const CDib& image, int x, int y, DWORD sums[3], DWORD* count) const;

 private:
  int m_halfWidth;
  CBitmapDC m_imageDC;
  CBitmapDC m_maskDC;
  std::vector<RECT> m_parts;
};

// h = h * 33 + c over the UTF-16 characters, from 0; 0 for null or empty.
DWORD HashWideString(LPCWSTR text);

// The system wait cursor, remembering the cursor it replaces; RestoreCursor sets
// that one again.
void ShowWaitCursor();
void RestoreCursor();
