// A font with its metrics and a cache of character widths. Widths are kept in
// pages of 256 characters sharing a high byte, the most recently used page
// first, so text in one script finds its page in one step.
#pragma once
#include <windows.h>

class CFontInfo {
 public:
  CFontInfo() = default;
  ~CFontInfo() { Destroy(); }
  CFontInfo(const CFontInfo&) = delete;
  CFontInfo& operator=(const CFontInfo&) = delete;

  // Takes the font (deleted with this object when owns is set) and reads its
  // height and ascent on a screen DC. FALSE without a font or a screen DC.
  BOOL Create(HFONT font, BOOL owns);
  // Frees the width pages and, when owned, the font.
  void Destroy();
  // Forgets every measured width (the font stays).
  void ClearWidthCache();
  void ClearWidths() { ClearWidthCache(); }

  // The width of one character in this font, measured on dc the first time.
  // The font is selected around the measurement: a DC holding another font
  // must not leave a wrong width in the cache.
  int GetCharWidth(HDC dc, WCHAR ch);
  // right = left + the sum of the character widths; bottom = top + height.
  void MeasureText(HDC dc, LPCWSTR text, RECT* rect);
  void MeasureText(HDC dc, LPCWSTR text, int length, RECT* rect);
  void MeasureChar(HDC dc, WCHAR ch, RECT* rect);
  // The sum of the cached widths of the first length characters.
  int GetTextWidth(HDC dc, LPCWSTR text, int length);

  HFONT GetFont() const { return m_font; }
  operator HFONT() const { return m_font; }
  int GetHeight() const { return m_height; }
  int GetAscent() const { return m_ascent; }
  // Pages held (for tests of the cache's order).
  int GetPageCount() const { return m_pageCount; }
  BYTE GetPageKey(int index) const { return m_keys[index]; }

 private:
  int* FindPage(BYTE high);
  int Measure(HDC dc, WCHAR ch);

  HFONT m_font = nullptr;
  BOOL m_owns = FALSE;
  int** m_pages = nullptr;
  BYTE* m_keys = nullptr;
  int m_pageCount = 0;
  int m_pageCapacity = 0;
  int m_height = 0;
  int m_ascent = 0;
};
