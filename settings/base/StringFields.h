// Texts split at a separator and joined again: the lists of names the options pages
// keep in one registry text.
#pragma once
#include <windows.h>

#include "base/StringList.h"
#include "platform/windowlib/String.h"

// SplitString and JoinStrings: base's (base/StringList.h), one copy for both programs.
// ch followed by text.
CString StringConcat(WCHAR ch, LPCWSTR text);
