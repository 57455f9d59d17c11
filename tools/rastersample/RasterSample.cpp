// Renders one tile per raster operation and resampling mode into a .bmp, so that
// a person can look at what the operations do:
//   rastersample.exe out.bmp
#include "graphics/BitmapResampler.h"
#include "graphics/Dib.h"
#include "graphics/RasterOps.h"

#include <cmath>
#include <cstdio>

namespace {

const int kTile = 64;
const int kColumns = 6;
const int kRows = 3;

// A colourful test picture: hue across, brightness down.
void Picture(CDib& dib, int w, int h) {
  dib.Create(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      BYTE* p = dib.Pixel(x, y);
      p[0] = BYTE(255 * x / (w - 1 ? w - 1 : 1));
      p[1] = BYTE(255 * y / (h - 1 ? h - 1 : 1));
      p[2] = BYTE(255 - 255 * x / (w - 1 ? w - 1 : 1));
    }
}

// A soft disc: opaque in the middle, fading at the rim.
void Disc(CDib& mask, int size) {
  mask.Create(size, size);
  const double r = size / 2.0;
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      const double d = std::hypot(x + 0.5 - r, y + 0.5 - r);
      const int v = d > r ? 0 : d < r - 8 ? 255 : int(255 * (r - d) / 8);
      BYTE* p = mask.Pixel(x, y);
      p[0] = p[1] = p[2] = BYTE(v);
    }
}

void Checker(CDib& dib, int size) {
  dib.Create(size, size);
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      BYTE* p = dib.Pixel(x, y);
      p[0] = p[1] = p[2] = ((x / 8 + y / 8) & 1) ? 200 : 90;
    }
}

void Resampled(CDib& canvas, int cx, int cy, const CDib& src, int w, int h, int turns) {
  CDib target;
  CBitmapResampler resampler;
  if (!CBitmapResampler::CreateTarget(w, h, turns, target) ||
      !resampler.Prepare(src.GetWidth(), src.GetHeight(), w, h, turns, target))
    return;
  for (int y = 0; y < src.GetHeight(); y++) resampler.Resample(src.Row(y));
  CopyRect24(canvas, cx, cy, target.GetWidth(), target.GetHeight(), target, 0, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fwprintf(stderr, L"usage: rastersample OUT.bmp\n");
    return 2;
  }
  CDib canvas, picture, disc, checker, magenta;
  canvas.CreateFilled(kTile * kColumns, kTile * kRows, RGB(255, 255, 255));
  Picture(picture, kTile, kTile);
  Disc(disc, kTile);
  Checker(checker, kTile);
  magenta.CreateFilled(kTile, kTile, RGB(255, 0, 255));
  for (int y = 16; y < 48; y++) CopyRect24(magenta, 16, y, 32, 1, picture, 16, y);

  auto tile = [](int column, int row) { return RECT{column * kTile, row * kTile, (column + 1) * kTile, (row + 1) * kTile}; };
  auto put = [&](int column, int row, const CDib& what) {
    CopyRect24(canvas, column * kTile, row * kTile, kTile, kTile, what, 0, 0);
  };

  // Row 0: rectangle operations on the picture.
  put(0, 0, picture);
  put(1, 0, picture);
  BlendColorRect(canvas, tile(1, 0), g_bgrBlue, 128);
  put(2, 0, picture);
  GradientTintRect(canvas, tile(2, 0), RGB(255, 255, 255), true);
  put(3, 0, picture);
  GradientTintRect(canvas, tile(3, 0), RGB(0, 0, 0), false);
  put(4, 0, magenta);
  GreyRectExceptKey(canvas, tile(4, 0), RGB(255, 0, 255));
  CDib light;
  Picture(light, kTile, kTile);
  LightenBuffer(light);
  put(5, 0, light);

  // Row 1: masked and keyed blits over a checkerboard.
  for (int c = 0; c < kColumns; c++) put(c, 1, checker);
  DrawSkinPiece(canvas, 0, kTile, kTile, kTile, picture, 0, 0, disc, 0, 0, 255);
  DrawSkinPiece(canvas, kTile, kTile, kTile, kTile, picture, 0, 0, disc, 0, 0, 128);
  BlitByMaskRecolor(canvas, 2 * kTile, kTile, kTile, kTile, magenta, 0, 0, disc, 0, 0, 255, RGB(0, 160, 0));
  BlitByBinaryMask(canvas, 3 * kTile, kTile, kTile, kTile, picture, 0, 0, disc, 0, 0);
  CopyRectKeyed(canvas, 4 * kTile, kTile, kTile, kTile, magenta, 0, 0, RGB(255, 0, 255));
  BlendRectThreeWay(canvas, 5 * kTile, kTile, kTile, kTile, picture, 0, 0, disc, 0, 0, 20, 100);

  // Row 2: the resampler's modes and a quarter turn of a 48 x 32 picture.
  CDib wide;
  Picture(wide, 48, 32);
  Resampled(canvas, 0, 2 * kTile, wide, 48, 32, 0);        // copy
  Resampled(canvas, kTile, 2 * kTile, wide, 24, 16, 0);    // 2x2 average
  Resampled(canvas, 2 * kTile, 2 * kTile, wide, 16, 32, 0);  // area weighting
  Resampled(canvas, 3 * kTile, 2 * kTile, wide, 48, 32, 1);  // a quarter turn
  CDib small;
  Picture(small, 16, 16);
  Resampled(canvas, 4 * kTile, 2 * kTile, small, 48, 48, 0);  // 3x replicate
  Resampled(canvas, 5 * kTile, 2 * kTile, small, 60, 60, 2);  // area weighting, upside down

  if (!canvas.SaveBmp(argv[1])) {
    fwprintf(stderr, L"rastersample: cannot write %ls (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  return 0;
}
