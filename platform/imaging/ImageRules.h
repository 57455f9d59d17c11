#pragma once
// What every image reader of the device agrees on, whoever decodes the bytes.
#include <windows.h>

// The largest picture side any reader decodes. The device has nowhere near the
// memory for more; a header that says more is damaged, and is refused before
// anything is allocated or decoded.
const UINT kMaxImageSide = 0x4000;

inline bool ImageSideFits(ULONGLONG side) { return side >= 1 && side <= kMaxImageSide; }

// A picture with an opacity lands in a 24-bit buffer as if drawn over black:
// each channel is weighted by the pixel's opacity (0 transparent, 255 opaque),
// rounded to nearest. The imaging factory draws into a new, black bitmap; the
// decompression library and the .bmp reader give the same pixels.
inline BYTE OverBlack(BYTE channel, BYTE alpha) { return BYTE((UINT(channel) * alpha + 127) / 255); }
