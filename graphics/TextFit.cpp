#include "graphics/TextFit.h"

#include <vector>

namespace {

BOOL g_trailingSpacesCounted = TRUE;

int Length(LPCWSTR text) { return text ? static_cast<int>(wcslen(text)) : 0; }

int Extent(HDC dc, LPCWSTR text, int length) {
  SIZE size = {0, 0};
  if (length <= 0 || !GetTextExtentExPointW(dc, text, length, 0, nullptr, nullptr, &size)) return 0;
  return size.cx;
}

// The first `length` characters followed by the ellipsis.
CString Ellipsized(LPCWSTR text, int length) {
  CString result(text, length);
  result += kEllipsis;
  return result;
}

void FitWordsByRule(HDC dc, LPCWSTR text, int limit, BOOL spacesCounted, int& width, int& count) {
  const int length = Length(text);
  const int whole = Extent(dc, text, length);
  if (whole < limit) {
    width = whole;
    count = length;
    return;
  }
  width = 0;
  count = 0;
  int end = 0;
  // Spaces before the first word belong to it.
  while (end < length && text[end] == L' ') end++;
  while (end < length) {
    while (end < length && text[end] != L' ') end++;
    const int wordEnd = end;
    while (end < length && text[end] == L' ') end++;
    const int measured = Extent(dc, text, spacesCounted ? end : wordEnd);
    if (count > 0 && measured > limit) break;
    width = measured;
    count = end;
    if (measured >= limit) break;
  }
  if (count == 0) {
    // Nothing but spaces.
    width = whole;
    count = length;
  }
}

}  // namespace

void SetGdiWrapTrailingSpaces(BOOL counted) { g_trailingSpacesCounted = counted; }
BOOL GetGdiWrapTrailingSpaces() { return g_trailingSpacesCounted; }

CString FitTextCached(CFontInfo* font, HDC dc, LPCWSTR text, int& width) {
  const int length = Length(text);
  const int whole = font->GetTextWidth(dc, text, length);
  if (whole <= width) {
    width = whole;
    return CString(text, length);
  }
  const int ellipsis = font->GetCharWidth(dc, kEllipsis);
  int sum = 0;
  int kept = 0;
  while (kept < length) {
    const int next = font->GetCharWidth(dc, text[kept]);
    if (sum + next + ellipsis > width) break;
    sum += next;
    kept++;
  }
  width = sum + ellipsis;
  return Ellipsized(text, kept);
}

CString FitTextGdi(HDC dc, HFONT font, LPCWSTR text, int& width) {
  const int length = Length(text);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  CString result(text, length);
  const int whole = Extent(dc, text, length);
  if (whole <= width) {
    width = whole;
  } else {
    int low = 0;
    int high = length;
    while (low + 1 < high) {
      const int middle = (low + high) / 2;
      const CString candidate = Ellipsized(text, middle);
      if (Extent(dc, candidate, candidate.GetLength()) > width)
        high = middle;
      else
        low = middle;
    }
    result = Ellipsized(text, low);
    width = Extent(dc, result, result.GetLength());
  }
  if (old) SelectObject(dc, old);
  return result;
}

CString WrapTextCached(LPCWSTR text, CFontInfo* font, HDC dc, int width, int& lineHeight, int& totalHeight,
                       int& lastLineWidth) {
  const int length = Length(text);
  struct Line {
    int start, end, width;
  };
  std::vector<Line> lines;
  const int space = length ? font->GetCharWidth(dc, L' ') : 0;
  BOOL open = FALSE;
  Line line = {0, 0, 0};
  int position = 0;
  while (position < length) {
    const int spaceStart = position;
    int spaceWidth = 0;
    while (position < length && text[position] == L' ') {
      spaceWidth += space;
      position++;
    }
    if (position == length) break;  // trailing spaces belong to no line
    const int wordStart = position;
    int wordWidth = 0;
    while (position < length && text[position] != L' ') wordWidth += font->GetCharWidth(dc, text[position++]);
    const int candidate = (open ? line.width : 0) + spaceWidth + wordWidth;
    if (candidate > width) {
      if (open) {
        lines.push_back(line);
        line = {wordStart, position, wordWidth};
      } else {
        // Too wide alone: a line of its own whose width is its real width, so
        // whatever follows the text is placed after it, not over it.
        lines.push_back({spaceStart, position, candidate});
      }
    } else {
      if (!open) line.start = spaceStart;
      open = TRUE;
      line.end = position;
      line.width = candidate;
    }
  }
  if (open) lines.push_back(line);

  CString result;
  for (size_t i = 0; i < lines.size(); i++) {
    if (i) result += L'\n';
    result.Append(text + lines[i].start, lines[i].end - lines[i].start);
  }
  lineHeight = font->GetHeight();
  totalHeight = lineHeight * (lines.empty() ? 1 : static_cast<int>(lines.size()));
  lastLineWidth = lines.empty() ? 0 : lines.back().width;
  return result;
}

CString WrapTextGdi(LPCWSTR text, CFontInfo* font, HDC dc, int width, int& lineHeight, int& totalHeight,
                    int& lastLineWidth) {
  const int length = Length(text);
  lineHeight = font->GetHeight();
  lastLineWidth = 0;
  int lines = 0;
  CString result;
  HGDIOBJ old = font->GetFont() ? SelectObject(dc, font->GetFont()) : nullptr;
  for (int start = 0; start < length; lines++) {
    int count = 0;
    FitWordsByRule(dc, text + start, width, g_trailingSpacesCounted, lastLineWidth, count);
    if (count <= 0) count = length - start;
    if (lines) result += L'\n';
    result.Append(text + start, count);
    start += count;
  }
  if (old) SelectObject(dc, old);
  totalHeight = lineHeight * (lines ? lines : 1);
  return result;
}

void FitWordsGdi(HDC dc, LPCWSTR text, int limit, int& width, int& count) {
  FitWordsByRule(dc, text, limit, TRUE, width, count);
}

void FitWords(HDC dc, LPCWSTR text, int limit, int& width, int& count) {
  FitWordsByRule(dc, text, limit, FALSE, width, count);
}
