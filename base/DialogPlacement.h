// Placement helpers the library's dialogs share.
#pragma once

#include <windows.h>

// Centres dialog on reference and keeps it inside its area. A child dialog
// (WS_CHILD) is centred on reference or its parent, inside the parent's client
// area; a top-level one on reference or its owner (only a visible one; else
// the work area), inside the work area. Size, Z order and activation stay.
void DlgCenterWindow(HWND dialog, HWND reference = nullptr);

// Puts control on neighbour's rectangle (dialog client coordinates) with its
// right edge pulled in by 13 logical pixels; optional, when given, keeps its
// position and width and takes the neighbour's height.
void DlgFitControlBeside(HWND dialog, HWND control, HWND neighbour, HWND optional = nullptr);
