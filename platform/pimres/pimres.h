// pimres.dll: the PIM programs' resource library. Besides its string table it exports,
// under ordinal 12 only, a loader of its own texts.
#pragma once
#include <windows.h>

// Ordinal 12: the text id into buffer (size characters, terminated, cut to fit); its
// length, 0 when there is no such text or no room (the buffer then holds "").
typedef int(WINAPI* PFN_PIM_LOAD_STRING)(UINT id, LPWSTR buffer, int size);
constexpr WORD kPimLoadStringOrdinal = 12;
