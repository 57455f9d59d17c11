// How the Today screen stand-in asks an item for a text picture of its rows, so that a
// script or a test reads what the item shows instead of its pixels: WM_COPYDATA to the
// item's window with this tag, the data the output file's path in UTF-16 (a terminator
// may end it). An item that wrote the file answers 1; one that does not know the request
// answers 0. Only a request sent from the item's own thread is honoured: the Today
// screen drives its items from that thread, and no other program may have the shell
// write files.
#pragma once
#include <windows.h>

constexpr ULONG_PTR kRowDumpRequestTag = 0x51545244;
// A path longer than the longest the file functions take is no path.
constexpr DWORD kRowDumpMaxPathBytes = 32767 * sizeof(WCHAR);
