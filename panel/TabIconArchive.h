// The custom tabs' icon pictures: "TabIcons.zip" in the install folder, else the
// folder "TabIcons" there, read through the skin archive's reader. One archive
// for the process, opened on the first request that finds it.
#pragma once
#include <windows.h>

#include "graphics/Dib.h"

class CSkinArchive;

// The open archive, or null when neither the .zip nor the folder is there (looked
// for again at the next request).
CSkinArchive* GetTabIconArchive();
// Lets the archive go, so the next request looks again (a new install folder).
void CloseTabIconArchive();

// Cuts a tab icon member (the .bmp bytes) into its two cells: the picture on the
// left, its mask on the right. The member must be exactly 2 * width wide and
// height high; FALSE (both images empty) for any other size or bytes that do not
// decode.
BOOL SplitTabIconCells(const BYTE* bytes, DWORD length, int width, int height, CDib& picture, CDib& mask);
