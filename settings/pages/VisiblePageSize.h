// How much of a page the user sees while the input panel may be up: the page's
// client size, or the panel's visible desktop where that is smaller. Pages that
// move their lower controls out of the panel's way ask it on SPI_SETSIPINFO.
#pragma once
#include <windows.h>

// A width or height the panel reports as zero leaves the page's own.
SIZE GetVisiblePageSize(HWND page);
