// The notes project library ("note_prj.dll"): the folders ("projects") that hold the
// user's documents in main memory and on storage cards, and the files in them.
// Programs bind it by ordinal (21, 22, 39).
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_NOTE_PRJ
#define NOTE_PRJ_API extern "C"
#else
#define NOTE_PRJ_API extern "C" __declspec(dllimport)
#endif

// How a record names its file or folder.
enum EFileIDType { FILE_ID_TYPE_OID = 0, FILE_ID_TYPE_PATH = 1, FILE_ID_LAST = 2 };

// The device's records hold 96 characters; here a record holds any path the file
// system can give, so no path is ever cut.
constexpr int PA_MAX_PATHNAME = MAX_PATH;

// What each enumeration callback receives. This library always gives paths.
struct PAstruct {
  EFileIDType m_IDtype;
  union {
    DWORD m_fileOID;  // CEOID, with FILE_ID_TYPE_OID
    WCHAR m_szPathname[PA_MAX_PATHNAME];
  };
};

// Return FALSE to stop the enumeration.
typedef BOOL(CALLBACK* PROJECTS_ENUMPROC_EX)(PAstruct* record, LPARAM param);
typedef BOOL(CALLBACK* PROJECTSFILES_ENUMPROC_EX)(PAstruct* record, LPARAM param);

// Where to look.
constexpr DWORD PRJ_ENUM_MEMORY = 0x1;       // main memory
constexpr DWORD PRJ_ENUM_FLASH = 0x2;        // storage cards (no card identifiers here: every card)
constexpr DWORD PRJ_ENUM_ALL_DEVICES = 0x4;  // main memory and every card
constexpr DWORD PRJ_ENUM_ALL_PROJ = 0x10;    // files: every folder, the folder name is ignored
constexpr DWORD PRJ_ENUM_HOME_PROJ = 0x100;  // the documents folder itself counts as a folder too

// Ordinal 21: the folders directly inside the documents folder of each volume the
// flags choose. Returns how many were reported (counted only, with a null callback).
NOTE_PRJ_API int WINAPI EnumProjectsEx(PROJECTS_ENUMPROC_EX callback, DWORD oidFlash, DWORD flags, LPARAM param);

// Ordinal 22: the files matching `pattern` ("*.*" when null) in the folder named
// `project` (a folder name, not a path; null: the documents folder itself) or, with
// PRJ_ENUM_ALL_PROJ, in every folder, on each volume the flags choose.
NOTE_PRJ_API int WINAPI EnumProjectsFilesEx(PROJECTSFILES_ENUMPROC_EX callback, DWORD oidFlash, DWORD flags,
                                            LPCWSTR project, LPCWSTR pattern, LPARAM param);

// Ordinal 39: TRUE when the path names an item of a notes folder: inside the documents
// folder of main memory or of a card, directly or in one of its folders.
NOTE_PRJ_API BOOL WINAPI IsProjectItemPath(LPCWSTR path);
