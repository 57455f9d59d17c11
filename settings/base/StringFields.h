// Texts split at a separator and joined again: the lists of names the options pages
// keep in one registry text.
#pragma once
#include <windows.h>

#include "base/StringList.h"
#include "platform/windowlib/String.h"

// Empties fields, then appends every field of text between separators, empty fields
// included. A text without the separator is one field; an empty text gives none.
void SplitString(LPCWSTR text, WCHAR separator, CStringList& fields);
// The first field, then separator and field for each further one.
CString JoinStrings(const CStringList& fields, WCHAR separator);
// ch followed by text.
CString StringConcat(WCHAR ch, LPCWSTR text);
