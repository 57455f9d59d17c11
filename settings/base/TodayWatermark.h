// The Today screen's background for the options pages' previews: the theme's
// watermark, lightened, or else the start images of the device.
#pragma once
#include <windows.h>

#include "graphics/Dib.h"

// From HKCU "SOFTWARE\Microsoft\Today" ("Watermark", "UseStartImage"), images in
// "\windows\", the screen's size. *usedWatermark (when given) is 1 for the theme's
// watermark, else 0.
BOOL DrawTodayWatermark(CDib& out, int* usedWatermark = nullptr);

// The same from given settings: the watermark's file name (may be empty), whether the
// start image replaces "tdywater.gif", the folder of the images (ending in "\") and
// the screen. The watermark comes lightened at its own size; a start image comes in a
// square as large as the screen's longer side: doubled on a 480- or 640-wide screen
// when it is at most 320 high, repeated once to its right when the screen is wider.
// Without any image, a 20 x 20 bitmap.
BOOL DrawTodayWatermarkFrom(LPCWSTR folder, LPCWSTR watermark, BOOL useStartImage, int screenWidth, int screenHeight,
                            CDib& out, int* usedWatermark = nullptr);
