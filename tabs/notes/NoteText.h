// The texts of a note row: its size (or a voice note's length) and its date, and the
// names a copy or a converted voice note gets.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// value: bytes, or milliseconds for a voice note. Two figures after the separator at
// most, four characters before the unit: 1,536 bytes "1.51K", 5,500 ms "5.50S".
CString FormatNoteSize(DWORD value, BOOL voice, LPCWSTR decimalSeparator);
// The date of another day, or today's time of day without seconds, lower-cased.
CString FormatNoteDate(double modified);

// The name a template makes: "%s" the note's name, "%d" the counter, "%%" a percent
// sign; any other '%' stays as it is. Nothing of the name or the folder is ever read
// as a format.
CString ExpandNameTemplate(LPCWSTR pattern, LPCWSTR name, int counter);
