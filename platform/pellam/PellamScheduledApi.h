// "QelPellamScheduledAPI.dll": the scheduled-transactions library of the Pellam finance
// program. The program's own library on the device; a caller binds it at run time and
// treats its absence as no transactions. Our own declarations, with this platform's
// pointer size: the one layout both the library and its callers compile.
#pragma once
#include <windows.h>

#include <cstddef>

#ifdef TARVO_BUILDING_PELLAM
#define PELLAM_API extern "C" __declspec(dllexport)
#else
#define PELLAM_API extern "C" __declspec(dllimport)
#endif

// Where the program installs the library on the device.
#define PELLAM_SCHEDULED_LIBRARY L"\\Windows\\QelPellamScheduledAPI.dll"
// The registered message the program posts to every top-level window when its
// schedule changed.
#define PELLAM_SCHEDULED_CHANGED_MESSAGE L"QelPellam_ScheduledChanged"

// One scheduled transaction. The texts are zero-terminated and may be null; the record
// and its texts belong to the library and last until its next call.
struct PELLAM_SCHEDULED_RECORD {
  DWORD dwReserved;
  LPCWSTR pszFirst;
  LPCWSTR pszSecond;
  LPCWSTR pszThird;
  WORD wYear;
  WORD wMonth;  // 1-12
  WORD wDay;
  WORD wReserved;
  DWORD dwReminder;  // non-zero: the transaction has a reminder
  DWORD dwId;
};
// The device's 32-bit layout puts the pointers at 4, 8 and 12; here they are as wide as
// a pointer, and every field after them moves with them.
static_assert(offsetof(PELLAM_SCHEDULED_RECORD, pszFirst) == sizeof(void*), "first text after the first word");
static_assert(offsetof(PELLAM_SCHEDULED_RECORD, wYear) == 4 * sizeof(void*), "year after the three texts");
static_assert(offsetof(PELLAM_SCHEDULED_RECORD, dwReminder) == 4 * sizeof(void*) + 8, "reminder after the date");
static_assert(offsetof(PELLAM_SCHEDULED_RECORD, dwId) == 4 * sizeof(void*) + 12, "identifier last");
static_assert(sizeof(PELLAM_SCHEDULED_RECORD) == (sizeof(void*) == 8 ? 48 : 32), "the record's size");

// The number of transactions scheduled on the day; 0 for a day that is no date.
typedef int(WINAPI* PFN_GET_DAY_SCHEDULED_COUNT)(int year, int month, int day);
// The index-th (0-based) transaction of the day in *record; FALSE when there is none
// (*record is then null).
typedef BOOL(WINAPI* PFN_GET_SCHEDULED)(int index, int year, int month, int day, PELLAM_SCHEDULED_RECORD** record);
// Starts the program.
typedef void(WINAPI* PFN_RUN_QEL_PELLAM)();

PELLAM_API int WINAPI GetDayScheduledCount(int year, int month, int day);
PELLAM_API BOOL WINAPI GetScheduled(int index, int year, int month, int day, PELLAM_SCHEDULED_RECORD** record);
PELLAM_API void WINAPI RunQelPellam();

// The stand-in's own exports for tests (not on the device): the days asked with
// GetDayScheduledCount and the program's starts while the library stayed loaded. A test
// keeps its own reference to the library so the record outlives its callers' loads.
PELLAM_API int WINAPI PellamTestGetAskedCount();
// The index-th day asked as year * 10000 + month * 100 + day; -1 past the end.
PELLAM_API int WINAPI PellamTestGetAskedDay(int index);
PELLAM_API int WINAPI PellamTestGetRunCount();
PELLAM_API void WINAPI PellamTestReset();
