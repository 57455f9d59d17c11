#pragma once
// A font for the text tests with its expected widths taken from GDI itself, so
// the tests hold whatever face the system substitutes for the one asked for.
#include "graphics/FontInfo.h"

#include <windows.h>

namespace testfont {

class CTestFont {
 public:
  explicit CTestFont(int height = 16, LPCWSTR face = L"Tahoma") {
    m_dc = CreateCompatibleDC(nullptr);
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = 0x20;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    m_info.Create(CreateFontIndirectW(&font), TRUE);
  }
  ~CTestFont() { DeleteDC(m_dc); }
  CTestFont(const CTestFont&) = delete;
  CTestFont& operator=(const CTestFont&) = delete;

  HDC Dc() const { return m_dc; }
  CFontInfo* Info() { return &m_info; }
  HFONT Font() const { return m_info.GetFont(); }
  int Height() const { return m_info.GetHeight(); }

  // GDI's width of the whole string.
  int Extent(LPCWSTR text) const { return Measure(text, lstrlenW(text)); }
  // The sum of GDI's widths of each character alone, what the width cache adds up.
  int Sum(LPCWSTR text) const {
    int sum = 0;
    for (; *text; text++) sum += Measure(text, 1);
    return sum;
  }

 private:
  int Measure(LPCWSTR text, int length) const {
    HGDIOBJ old = SelectObject(m_dc, m_info.GetFont());
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_dc, text, length, &size);
    SelectObject(m_dc, old);
    return size.cx;
  }

  HDC m_dc;
  CFontInfo m_info;
};

}  // namespace testfont
