// Sort keys of texts in the user's locale: comparing two keys orders the texts as
// CompareStringW with the same flags does, without the locale's work for every pair.
// Lists that sort many texts work the keys out once per text (Wine's CompareStringW is
// slow).
#pragma once
#include <windows.h>

#include <vector>

// The key of the first length characters of text (-1: up to its terminator), ending in
// a zero byte; an empty text or a failure gives the key of the empty text.
void MakeLocaleSortKey(LPCWSTR text, int length, DWORD flags, std::vector<BYTE>* key);
// Negative, 0 or positive as key a sorts before, with or after key b.
int CompareLocaleSortKeys(const std::vector<BYTE>& a, const std::vector<BYTE>& b);
