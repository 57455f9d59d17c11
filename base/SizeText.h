// The short size texts of list rows: a file's or message's size in bytes ("500B",
// "20.9K", "120K", "1.50M", "2.00G") or a recording's length ("3.45S", "1.50M").
// At most four characters of number before the unit letter: the whole units, then the
// fraction as thousandths of the unit, cut (never rounded) to fit; a separator left
// last is dropped ("120K", not "120.K").
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

enum SizeTextUnits {
  SIZE_TEXT_BYTES = 0,         // B, K (1024), M (1024 K), G (1024 M)
  SIZE_TEXT_MILLISECONDS = 1,  // S below a minute, else M (minutes)
};

// separator null or empty: the locale's decimal separator (GetDecimalSeparator).
CString FormatSizeText(DWORD value, SizeTextUnits units, LPCWSTR separator = nullptr);
