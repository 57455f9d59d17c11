// "phone.dll" of phone editions of the device: placing a voice call. Only some devices
// have the library, so callers load it at run time and treat its absence as no phone.
// Our own declarations, with this platform's pointer size.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_PHONE
#define PHONE_API extern "C" __declspec(dllexport)
#else
#define PHONE_API extern "C" __declspec(dllimport)
#endif

// Dial without asking the user first.
#define PMCF_DEFAULT 0x00000001
#define PMCF_PROMPTBEFORECALLING 0x00000002

struct PHONEMAKECALLINFO {
  DWORD cbSize;  // sizeof(PHONEMAKECALLINFO) here
  DWORD dwFlags;
  LPCWSTR pszDestAddress;
  LPCWSTR pszAppName;
  LPCWSTR pszCalledParty;
  LPCWSTR pszComment;
};

// 0 when the call was placed; an error code for a missing or malformed description.
typedef LONG(WINAPI* PFN_PHONEMAKECALL)(PHONEMAKECALLINFO* info);
PHONE_API LONG WINAPI PhoneMakeCall(PHONEMAKECALLINFO* info);

// The stand-in's own exports for tests (not on the device): the calls placed while the
// library stayed loaded, oldest first. A test keeps its own reference to the library so
// the record outlives its callers' loads.
PHONE_API int WINAPI PhoneTestGetCallCount();
// Copies call index's number (cut to size characters) and flags; FALSE past the end.
PHONE_API BOOL WINAPI PhoneTestGetCall(int index, LPWSTR number, int size, DWORD* flags);
PHONE_API void WINAPI PhoneTestReset();
