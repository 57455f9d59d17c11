// What the two date pages share: the year rule between the box that leaves the year
// out and the short-year box, today's date in a picture, and the explanation at the
// page's bottom.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

const int kDateExplanation = 1048;

// With the year left out the short-year box is cleared and disabled, its state kept
// in remembered; with the year shown it is enabled and given the remembered state.
void ApplyYearRule(HWND page, int notYearBox, int shortYearBox, BOOL& remembered);
// Today in the picture, for the user's locale.
CString FormatToday(LPCWSTR picture);
// The explanation text (text id), 36 logical pixels high at the client's bottom:
// a read-only text control.
void CreateDateExplanation(HWND page, UINT textId);
// Back along the client's bottom (after a turn of the screen, or the sheet's sizing).
void MoveDateExplanation(HWND page);
// A control as the band of these pages' bottoms: 36 logical pixels high along the
// client's bottom, 5 in from each side (the Calendar titles page's link too).
void PlaceAtPageBottom(HWND page, HWND control);
