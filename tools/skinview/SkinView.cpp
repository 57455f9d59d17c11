// Renders every element of a skin into one .bmp, so that a person can see a skin:
//   skinview.exe SKIN OUT.bmp [DPI]
// SKIN is a skin folder or .zip. Rows: a caption with the completeness verdict, the
// 49 item icons, the scroll bar (the skin's seven parts or the strip that stands
// in), the tab icons (normal and selected) and the small icons of TarvoRes.Dll,
// each element on a light and on a dark tile so that masks and keys show.
#include <cstdio>
#include <cwchar>
#include <string>

#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "graphics/RasterOps.h"
#include "graphics/Skin.h"
#include "platform/windowlib/Module.h"

namespace {

const COLORREF kLight = RGB(236, 236, 236);
const COLORREF kDark = RGB(48, 56, 72);
const int kGap = 4;

struct Canvas {
  CDib dib;
  int y = kGap;

  void Caption(const std::wstring& text) {
    HDC hdc = dib.GetDC();
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    TextOutW(hdc, kGap, y, text.c_str(), static_cast<int>(text.size()));
    y += 18;
  }

  // A light and a dark tile side by side at x; returns the x after them.
  void Tiles(int x, int width, int height) {
    const BYTE light[3] = {GetBValue(kLight), GetGValue(kLight), GetRValue(kLight)};
    const BYTE dark[3] = {GetBValue(kDark), GetGValue(kDark), GetRValue(kDark)};
    FillRect24(dib, {x, y, x + width, y + height}, light);
    FillRect24(dib, {x + width, y, x + 2 * width, y + height}, dark);
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: skinview SKIN OUT.bmp [DPI]\n");
    return 2;
  }
  const int dpi = argc > 3 ? _wtoi(argv[3]) : 96;
  SetScreenDpi(dpi > 0 ? dpi : 96, dpi > 0 ? dpi : 96);

  // TarvoRes.Dll beside this program gives the fallback strip and the small icons.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring resPath = self;
  resPath = resPath.substr(0, resPath.rfind(L'\\') + 1) + L"TarvoRes.Dll";
  HMODULE resources = LoadLibraryExW(resPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (resources) GetModule().SetResourceInstance(resources);

  CSkin& skin = CSkin::Instance();
  skin.UseSkinPath(argv[1]);
  const BOOL complete = skin.IsComplete();
  const int cell = CSkin::GetSizeSuffix() * 2 + kGap;

  Canvas canvas;
  const int width = 10 * 2 * cell + 2 * kGap;
  if (!canvas.dib.CreateFilled(width, 1200, RGB(255, 255, 255)) || !canvas.dib.GetDC()) {
    fwprintf(stderr, L"skinview: no bitmap\n");
    return 1;
  }

  std::wstring caption = std::wstring(argv[1]) + (complete ? L": complete" : L": not complete");
  if (skin.LoadIcon(-1) != CSkin::kLoaded) caption += L" (does not open)";
  canvas.Caption(caption);

  canvas.Caption(L"Item icons");
  for (int id = 0; id < CSkin::kIconCount; id++) {
    const int column = id % 10;
    const int x = kGap + column * 2 * cell;
    const SIZE size = skin.GetIconSize(id);
    const int rowHeight = cell;
    canvas.Tiles(x, cell, rowHeight);
    if (size.cx) {
      skin.DrawIcon(id, &canvas.dib, x + kGap / 2, canvas.y + kGap / 2, nullptr);
      skin.DrawIcon(id, &canvas.dib, x + cell + kGap / 2, canvas.y + kGap / 2, nullptr);
    }
    if (column == 9 || id == CSkin::kIconCount - 1) canvas.y += rowHeight + kGap;
  }

  const int scroll = skin.LoadScrollBar();
  canvas.Caption(skin.HasScrollBar() ? L"Scroll bar: the skin's parts"
                 : scroll == CSkin::kFailed ? L"Scroll bar: none"
                 : skin.IsScrollBitmapFromSkin() ? L"Scroll bar: the skin's strip"
                                                 : L"Scroll bar: the resource strip");
  int x = kGap, tallest = 0;
  const int parts = skin.HasScrollBar() ? CSkin::kScrollPartCount
                    : skin.GetScrollBitmap() ? skin.GetScrollBitmap()->GetPartCount() : 0;
  for (int i = 0; i < parts; i++) {
    const SIZE size = skin.HasScrollBar() ? skin.GetScrollPartSize(i) : skin.GetScrollBitmap()->GetPartSize(i);
    const int w = size.cx + kGap, h = size.cy + kGap;
    canvas.Tiles(x, w, h);
    for (int tile = 0; tile < 2; tile++) {
      const int at = x + tile * w + kGap / 2;
      if (skin.HasScrollBar())
        skin.DrawScrollPart(i, &canvas.dib, at, canvas.y + kGap / 2, nullptr);
      else
        skin.GetScrollBitmap()->DrawPart(i, canvas.dib, at, canvas.y + kGap / 2);
    }
    x += 2 * w + kGap;
    if (h > tallest) tallest = h;
  }
  canvas.y += tallest + kGap;

  canvas.Caption(L"Tab icons: normal, selected");
  if (skin.LoadTabIcons() == CSkin::kLoaded) {
    const int n = CSkin::GetTabIconSize() + kGap;
    for (int row = 0; row < skin.GetTabIcons()->GetRowCount(); row++) {
      const int at = kGap + row * (4 * n + kGap);
      canvas.Tiles(at, 2 * n, n);
      for (int tile = 0; tile < 2; tile++)
        for (int selected = 0; selected < 2; selected++)
          skin.DrawTabIcon(row, canvas.dib.GetDC(), at + tile * 2 * n + selected * n + kGap / 2,
                           canvas.y + kGap / 2, selected);
    }
    canvas.y += n + kGap;
  }

  canvas.Caption(L"Small icons: 111, 112, collapsed, open, drop-down");
  const HICON icons[] = {skin.GetSmallIcon(0), skin.GetSmallIcon(1), skin.GetSignIcon(TRUE), skin.GetSignIcon(FALSE),
                         skin.GetDropDownIcon()};
  x = kGap;
  for (HICON icon : icons) {
    const int w = ScaleX(13) + kGap, h = ScaleY(9) + kGap;
    canvas.Tiles(x, w, h);
    if (icon) {
      DrawIconEx(canvas.dib.GetDC(), x + kGap / 2, canvas.y + kGap / 2, icon, 0, 0, 0, nullptr, DI_NORMAL);
      DrawIconEx(canvas.dib.GetDC(), x + w + kGap / 2, canvas.y + kGap / 2, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    x += 2 * w + kGap;
  }
  canvas.y += ScaleY(9) + 2 * kGap;
  GdiFlush();

  // Only as high as what was drawn.
  CDib out;
  const RECT used = {0, 0, width, canvas.y};
  if (!out.CopyFromDC(canvas.dib.GetDC(), used) || !out.SaveBmp(argv[2])) {
    fwprintf(stderr, L"skinview: cannot write %ls\n", argv[2]);
    return 1;
  }
  skin.Release();
  wprintf(L"%ls: %ls\n", argv[2], complete ? L"complete" : L"not complete");
  return 0;
}
