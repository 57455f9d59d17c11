// The texts of a note row: its date (its size text is base's FormatSizeText), and the
// names a copy or a converted voice note gets.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

// The date of another day, or today's time of day without seconds, lower-cased.
CString FormatNoteDate(double modified);

// The name a template makes: "%s" the note's name, "%d" the counter, "%%" a percent
// sign; any other '%' stays as it is. Nothing of the name or the folder is ever read
// as a format.
CString ExpandNameTemplate(LPCWSTR pattern, LPCWSTR name, int counter);
