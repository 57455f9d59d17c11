// Cutting a text to a width with an ellipsis and breaking it into lines, each in
// two ways: adding up a CFontInfo's cached character widths (fast, what lists
// use), or measuring through the DC with the font selected. Results are new
// texts; widths are in pixels; lines are joined with a single "\n".
#pragma once
#include <windows.h>

#include "graphics/FontInfo.h"
#include "platform/windowlib/String.h"

// The ellipsis that ends a cut text.
const WCHAR kEllipsis = 0x2026;

// The text when it fits in width, else its longest start that fits together
// with "…", followed by "…". width comes back as the result's width.
CString FitTextCached(CFontInfo* font, HDC dc, LPCWSTR text, int& width);
// The same measured through dc with font selected (restored afterwards); the
// start is found by halving. A width too small for anything gives "…" alone.
CString FitTextGdi(HDC dc, HFONT font, LPCWSTR text, int& width);
inline CString FitTextCached(HDC dc, CFontInfo* font, LPCWSTR text, int& width) {
  return FitTextCached(font, dc, text, width);
}

// Greedy word wrap on cached widths. A word is its leading spaces and its other
// characters; a word that does not fit starts the next line without its spaces;
// a word wider than a line alone makes a line of its own and is never broken.
// lineHeight is the font's height, totalHeight lineHeight times the lines (one
// line for an empty text), lastLineWidth the width of the last line, also when
// that line is a single overlong word.
CString WrapTextCached(LPCWSTR text, CFontInfo* font, HDC dc, int width, int& lineHeight, int& totalHeight,
                       int& lastLineWidth);
// Word wrap measured through the DC: lines are taken from the text's start one
// after the other with the word fit the program chose (SetGdiWrapTrailingSpaces);
// a line keeps the spaces that follow its last word.
CString WrapTextGdi(LPCWSTR text, CFontInfo* font, HDC dc, int width, int& lineHeight, int& totalHeight,
                    int& lastLineWidth);
inline CString WrapTextCached(LPCWSTR text, HDC dc, CFontInfo* font, int width, int& lineHeight,
                              int& totalHeight, int& lastLineWidth) {
  return WrapTextCached(text, font, dc, width, lineHeight, totalHeight, lastLineWidth);
}
inline CString WrapTextGdi(LPCWSTR text, HDC dc, CFontInfo* font, int width, int& lineHeight, int& totalHeight,
                           int& lastLineWidth) {
  return WrapTextGdi(text, font, dc, width, lineHeight, totalHeight, lastLineWidth);
}

// How many characters of text make the next line at width, measured with the
// font selected in dc: the whole text when it is narrower, else whole words,
// the first always, so a line is never empty. count includes the spaces after
// the last word taken.
// The library's rule: a word carries its trailing spaces, which count toward
// the limit and the width; a word that reaches the limit exactly ends the line.
void FitWordsGdi(HDC dc, LPCWSTR text, int limit, int& width, int& count);
// The options program's rule: a line is measured up to its last word's end;
// the spaces behind it are counted but not measured.
void FitWords(HDC dc, LPCWSTR text, int limit, int& width, int& count);

// Which rule WrapTextGdi fits its lines with: TRUE (the library's, the
// default) FitWordsGdi, FALSE (the options program sets it at start) FitWords.
void SetGdiWrapTrailingSpaces(BOOL counted);
BOOL GetGdiWrapTrailingSpaces();
