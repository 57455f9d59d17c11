// Cost of laying out 1,000 list rows (wrapped text followed by two icons) with
// the cached character widths, beside measuring the same 1,000 texts once each
// with GetTextExtentPoint32W in the same run. Also the layout measured through
// GDI, for comparison. Exits with 1 when the cached layout costs more than
// kLimit times the plain measurement.
#include "bench/BenchClock.h"
#include "graphics/TextLayout.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRows = 1000;
const int kRowWidth = 220;
const double kLimit = 3.0;

// Rows like a task list's: a few words of varying length, some long enough to wrap.
std::vector<std::wstring> MakeRows() {
  static const wchar_t* const words[] = {L"Call",    L"the",   L"office", L"about",  L"quarterly", L"report",
                                         L"buy",     L"milk",  L"and",    L"bread",  L"meeting",   L"with",
                                         L"Johanna", L"review", L"draft", L"renew",  L"insurance", L"Übersicht"};
  const int wordCount = sizeof words / sizeof *words;
  std::vector<std::wstring> rows;
  unsigned seed = 12345;
  for (int i = 0; i < kRows; i++) {
    seed = seed * 1103515245u + 12345u;
    const int length = 2 + int((seed >> 16) % 10);
    std::wstring row;
    for (int w = 0; w < length; w++) {
      seed = seed * 1103515245u + 12345u;
      if (w) row += L' ';
      row += words[(seed >> 16) % wordCount];
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

int main() {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTW logFont = {};
  logFont.lfHeight = 12;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfPitchAndFamily = 0x20;
  lstrcpynW(logFont.lfFaceName, L"Tahoma", LF_FACESIZE);
  CFontInfo font;
  font.Create(CreateFontIndirectW(&logFont), TRUE);
  HGDIOBJ old = SelectObject(dc, font.GetFont());
  const std::vector<std::wstring> rows = MakeRows();

  long sink = 0;
  const double measure = bench::SecondsPerRun([&] {
    for (const std::wstring& row : rows) {
      SIZE size;
      GetTextExtentPoint32W(dc, row.c_str(), int(row.size()), &size);
      sink += size.cx;
    }
  });
  auto layoutRows = [&](BOOL cached) {
    return [&, cached] {
      CTextLayout layout;
      layout.SetDC(dc);
      layout.SetFont(&font);
      layout.SetCachedWidths(cached);
      layout.AddBox(16, 16);
      layout.AddBox(16, 16);
      for (const std::wstring& row : rows) {
        CString text = row.c_str();
        RECT rect = {0, 0, kRowWidth, 0};
        layout.Layout(text, rect, FALSE);
        sink += rect.bottom;
      }
    };
  };
  const double cached = bench::SecondsPerRun(layoutRows(TRUE));
  const double gdi = bench::SecondsPerRun(layoutRows(FALSE));
  SelectObject(dc, old);
  DeleteDC(dc);

  const double ratio = cached / measure;
  printf("%d rows, wrapped at %d pixels with two icons after the text\n", kRows, kRowWidth);
  printf("GetTextExtentPoint32W of each row: %10.1f us\n", measure * 1e6);
  printf("layout, cached widths:             %10.1f us  (ratio %.2f, limit %.1f)\n", cached * 1e6, ratio, kLimit);
  printf("layout, measured through GDI:      %10.1f us  (ratio %.2f)\n", gdi * 1e6, gdi / measure);
  if (sink == 42) printf(" ");
  return ratio > kLimit ? 1 : 0;
}
