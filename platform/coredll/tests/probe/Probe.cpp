// A program that names no call of coredll.dll: the build must still make it load
// the library, so that binding by name from "coredll.dll" works in every program.
#include <windows.h>

int main() { return GetModuleHandleW(L"coredll.dll") ? 0 : 1; }
