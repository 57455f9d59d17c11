// Declarations of the device's core library that desktop headers lack.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_COREDLL
#define CORE_API extern "C"
#else
#define CORE_API extern "C" __declspec(dllimport)
#endif

// Wide-name lookup of an export; an ordinal may be given with MAKEINTRESOURCEW.
CORE_API FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name);
