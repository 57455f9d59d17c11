// The size text of a note row: a voice note's length ("3.45S", "1.50M"), any other
// note's size in bytes ("500B", "20.9K", "120K", "1.50M", "2.00G"). At most four
// characters of number, the decimal separator the locale's.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

const int kVoiceNoteKind = 1;

// The text for a note of the kind, its size in bytes and, for a voice note, its length
// in milliseconds; separator null takes the locale's.
CString FormatNoteSize(int kind, DWORD bytes, DWORD milliseconds, LPCWSTR separator = nullptr);
