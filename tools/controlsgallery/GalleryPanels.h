// The gallery's second tour: a scrolling panel of many rows and a popup window.
#pragma once
#include <windows.h>

#include <string>

// Plays the tour and saves OUTDIR\pNN-step.png after each step; 0 when every step
// was done and saved.
int RunPanelTour(const std::wstring& folder);
