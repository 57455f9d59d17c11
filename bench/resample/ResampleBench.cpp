// Cost per output pixel of resampling a 480 x 640 picture, beside a plain
// StretchBlt between DIB sections of the same sizes measured in the same run.
#include "bench/BenchClock.h"
#include "graphics/BitmapResampler.h"
#include "graphics/Dib.h"

#include <cstdio>

namespace {

const int kSourceWidth = 480;
const int kSourceHeight = 640;

}  // namespace

int main() {
  CDib source;
  if (!source.Create(kSourceWidth, kSourceHeight)) return 1;
  for (int y = 0; y < kSourceHeight; y++)
    for (int x = 0; x < kSourceWidth; x++) {
      BYTE* p = source.Pixel(x, y);
      p[0] = BYTE(x * 7 + y);
      p[1] = BYTE(x ^ y);
      p[2] = BYTE(y * 3);
    }

  struct Case {
    const char* name;
    int width, height, turns;
  } const cases[] = {
      {"copy", 480, 640, 0},         {"2x2 average", 240, 320, 0}, {"4x4 average", 120, 160, 0},
      {"area, shrink", 300, 400, 0}, {"area, grow", 600, 800, 0},  {"2x replicate", 960, 1280, 0},
      {"area, turned", 300, 400, 1},
  };
  printf("source %d x %d; nanoseconds per output pixel\n", kSourceWidth, kSourceHeight);
  printf("%-14s %11s %6s %12s %12s %7s\n", "case", "target", "mode", "resampler", "StretchBlt", "ratio");
  for (const Case& c : cases) {
    CDib target, plain;
    CBitmapResampler resampler;
    if (!CBitmapResampler::CreateTarget(c.width, c.height, c.turns, target) ||
        !plain.Create(target.GetWidth(), target.GetHeight()))
      return 1;
    int mode = -1;
    const double resample = bench::SecondsPerRun([&] {
      memset(target.GetBits(), 0, size_t(target.GetStride()) * target.GetHeight());
      resampler.Prepare(kSourceWidth, kSourceHeight, c.width, c.height, c.turns, target);
      mode = resampler.GetMode();
      for (int y = 0; y < kSourceHeight; y++) resampler.Resample(source.Row(y));
    });
    HDC from = source.GetDC(), to = plain.GetDC();
    SetStretchBltMode(to, COLORONCOLOR);
    const double stretch = bench::SecondsPerRun([&] {
      StretchBlt(to, 0, 0, plain.GetWidth(), plain.GetHeight(), from, 0, 0, kSourceWidth, kSourceHeight, SRCCOPY);
      GdiFlush();
    });
    source.ReleaseDC();
    plain.ReleaseDC();
    const double pixels = double(c.width) * c.height;
    printf("%-14s %5d x %-4d %6d %12.2f %12.2f %7.2f\n", c.name, c.width, c.height, mode, resample * 1e9 / pixels,
           stretch * 1e9 / pixels, resample / stretch);
  }
  return 0;
}
