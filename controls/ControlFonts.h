// The fonts controls draw with, from the process's font cache, with the system's
// font standing in before there is a cache.
#pragma once
#include <windows.h>

// The bold list font.
HFONT GetControlBoldFont();
// The normal list font.
HFONT GetControlListFont();
// The font the cache's screen DC and every fresh DC hold before one is selected:
// the system font. Hints measure and draw in it.
HFONT GetControlDefaultFont();
// The size of a single-line text in a font, measured on the cache's screen DC.
SIZE MeasureControlText(HFONT font, LPCWSTR text);
