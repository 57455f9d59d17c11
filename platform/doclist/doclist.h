// "doclist.dll": the shell's document list control, which lists the documents of a
// folder and sends them on by infrared or e-mail. Not every device has it, so callers
// load it at run time. Our own declarations, with this platform's pointer size.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_DOCLIST
#define DOCLIST_API extern "C" __declspec(dllexport)
#else
#define DOCLIST_API extern "C" __declspec(dllimport)
#endif

// The device's record is 24 bytes with 32-bit pointers; dwStructSize must be sizeof of ours.
struct DOCLISTCREATE {
  DWORD dwStructSize;
  HWND hwndParent;
  LPCWSTR pszFolder;
  LPCWSTR pstrFilter;
  WORD wFilterIndex;
  WORD wId;
  DWORD dwFlags;
};

// Send the document whose path lParam holds by infrared, or by e-mail (wParam 0).
#define DLM_SENDIR 1641
#define DLM_SENDEMAIL 1642

// The name the shell gives the view of every folder ("All Folders").
#define IDS_DOCLIST_ALL_FOLDERS 115

// The list window (hidden here), or null for a missing or malformed description.
typedef HWND(WINAPI* PFN_DOCLIST_CREATE)(DOCLISTCREATE* create);
DOCLIST_API HWND WINAPI DocList_Create(DOCLISTCREATE* create);

// The stand-in's own exports for tests (not on the device): what the lists were made
// over and the documents they were asked to send, oldest first, while the library
// stayed loaded (a test keeps its own reference).
DOCLIST_API int WINAPI DocListTestGetCreateCount();
DOCLIST_API BOOL WINAPI DocListTestGetCreate(int index, LPWSTR folder, int folderSize, LPWSTR filter, int filterSize);
DOCLIST_API int WINAPI DocListTestGetSendCount();
// The message (DLM_SENDIR or DLM_SENDEMAIL) and the path of send index.
DOCLIST_API BOOL WINAPI DocListTestGetSend(int index, UINT* message, LPWSTR path, int size);
DOCLIST_API void WINAPI DocListTestReset();
