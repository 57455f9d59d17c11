#include "graphics/FontInfo.h"

#include <cstring>
#include <new>

BOOL CFontInfo::Create(HFONT font, BOOL owns) {
  Destroy();
  m_font = font;
  m_owns = owns;
  if (!font) return FALSE;
  HDC screen = ::GetDC(nullptr);
  if (!screen) return FALSE;
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics;
  BOOL measured = GetTextMetricsW(screen, &metrics);
  if (measured) {
    m_height = metrics.tmHeight;
    m_ascent = metrics.tmAscent;
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return measured;
}

void CFontInfo::Destroy() {
  ClearWidthCache();
  delete[] m_pages;
  delete[] m_keys;
  m_pages = nullptr;
  m_keys = nullptr;
  m_pageCapacity = 0;
  if (m_font && m_owns) DeleteObject(m_font);
  m_font = nullptr;
  m_owns = FALSE;
  m_height = 0;
  m_ascent = 0;
}

void CFontInfo::ClearWidthCache() {
  for (int i = 0; i < m_pageCount; i++) delete[] m_pages[i];
  m_pageCount = 0;
}

int* CFontInfo::FindPage(BYTE high) {
  int found = 0;
  while (found < m_pageCount && m_keys[found] != high) found++;
  if (found == m_pageCount) {
    if (m_pageCount == m_pageCapacity) {
      const int capacity = m_pageCapacity ? m_pageCapacity * 2 : 4;
      int** pages = new (std::nothrow) int*[capacity];
      BYTE* keys = new (std::nothrow) BYTE[capacity];
      if (!pages || !keys) {
        delete[] pages;
        delete[] keys;
        return nullptr;
      }
      if (m_pageCount) {
        memcpy(pages, m_pages, m_pageCount * sizeof *pages);
        memcpy(keys, m_keys, m_pageCount);
      }
      delete[] m_pages;
      delete[] m_keys;
      m_pages = pages;
      m_keys = keys;
      m_pageCapacity = capacity;
    }
    int* page = new (std::nothrow) int[256];
    if (!page) return nullptr;
    memset(page, 0xFF, 256 * sizeof *page);
    m_pages[m_pageCount] = page;
    m_keys[m_pageCount] = high;
    m_pageCount++;
  }
  // Most recently used first.
  int* page = m_pages[found];
  memmove(m_pages + 1, m_pages, found * sizeof *m_pages);
  memmove(m_keys + 1, m_keys, found);
  m_pages[0] = page;
  m_keys[0] = high;
  return page;
}

int CFontInfo::Measure(HDC dc, WCHAR ch) {
  HGDIOBJ old = m_font ? SelectObject(dc, m_font) : nullptr;
  SIZE size = {0, 0};
  const BOOL measured = GetTextExtentExPointW(dc, &ch, 1, 0, nullptr, nullptr, &size);
  if (old) SelectObject(dc, old);
  // A failed measurement is not cached: the next call with a working DC measures again.
  if (!measured) return -1;
  if (m_height <= 0) m_height = size.cy;
  return size.cx;
}

int CFontInfo::GetCharWidth(HDC dc, WCHAR ch) {
  int* page = FindPage(static_cast<BYTE>(ch >> 8));
  int width = page ? page[ch & 0xFF] : -1;
  if (width < 0) {
    width = Measure(dc, ch);
    if (width < 0) return 0;
    if (page) page[ch & 0xFF] = width;
  }
  return width;
}

int CFontInfo::GetTextWidth(HDC dc, LPCWSTR text, int length) {
  int width = 0;
  for (int i = 0; i < length; i++) width += GetCharWidth(dc, text[i]);
  return width;
}

void CFontInfo::MeasureText(HDC dc, LPCWSTR text, int length, RECT* rect) {
  rect->right = rect->left + GetTextWidth(dc, text, length);
  rect->bottom = rect->top + m_height;
}

void CFontInfo::MeasureText(HDC dc, LPCWSTR text, RECT* rect) {
  MeasureText(dc, text, text ? static_cast<int>(wcslen(text)) : 0, rect);
}

void CFontInfo::MeasureChar(HDC dc, WCHAR ch, RECT* rect) { MeasureText(dc, &ch, 1, rect); }
