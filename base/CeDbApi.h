// The CE property database functions as the programs use them. The classic functions
// work on the object store; on newer devices (the newer-store flag) the functions bound
// by name from "coredll.dll" work on the "pim.vol" volume, where the PIM databases live.
#pragma once
#include <windows.h>

#include "platform/coredll/cedb.h"

// The process-wide newer-store flag: set once at start-up from IsPocketPC (system
// version 5 or later on a Pocket PC). It selects the bound functions, the PIM volume
// and the lookup of records by the value of their record-identifier property.
BOOL IsNewerStore();
void SetNewerStore(BOOL newer);

// The seek property of the newer store: property 0x1000 of type CEVT_RECID.
const CEPROPID kRecordIdPropId = 0x10000066;

class CCeDbApi {
 public:
  typedef HANDLE(WINAPI* OpenStreamFn)(HANDLE, CEPROPID, DWORD);
  typedef BOOL(WINAPI* StreamReadFn)(HANDLE, LPBYTE, DWORD, LPDWORD);
  typedef BOOL(WINAPI* StreamWriteFn)(HANDLE, LPBYTE, DWORD, LPDWORD);
  typedef BOOL(WINAPI* StreamSaveChangesFn)(HANDLE);
  typedef BOOL(WINAPI* StreamSeekFn)(HANDLE, DWORD, DWORD, LPDWORD);
  typedef BOOL(WINAPI* StreamSetSizeFn)(HANDLE, DWORD);
  typedef HANDLE(WINAPI* OpenDatabaseEx2Fn)(PCEGUID, PCEOID, LPWSTR, SORTORDERSPECEX*, DWORD,
                                            CENOTIFYREQUEST*);
  typedef CEOID(WINAPI* ReadRecordPropsExFn)(HANDLE, DWORD, LPWORD, CEPROPID*, LPBYTE*, LPDWORD,
                                             HANDLE);
  typedef CEOID(WINAPI* SeekDatabaseExFn)(HANDLE, DWORD, DWORD_PTR, WORD, LPDWORD);
  typedef BOOL(WINAPI* OidGetInfoEx2Fn)(PCEGUID, CEOID, CEOIDINFOEX*);
  typedef HANDLE(WINAPI* OpenDatabaseInSessionFn)(HANDLE, PCEGUID, PCEOID, LPWSTR, SORTORDERSPECEX*,
                                                  DWORD, CENOTIFYREQUEST*);

  CCeDbApi();
  virtual ~CCeDbApi();
  CCeDbApi(const CCeDbApi&) = delete;
  CCeDbApi& operator=(const CCeDbApi&) = delete;

  BOOL HasExApi() const { return m_pfnOpenDatabaseEx2 != nullptr; }

  // The GUID of the mounted volume named "pim.vol" (any case). The volumes are
  // enumerated once per process; FALSE, and the GUID all zero, when there is none.
  BOOL FindPimVolume(CEGUID* guid);

  // Opens by name on the volume given (none: the object store, for the classic
  // functions also every mounted volume). The newer functions reopen a database on a
  // volume with the last sort order that lists sortPropId (none: no order).
  HANDLE OpenDatabaseByName(LPCWSTR name, BOOL autoIncrement, CEPROPID sortPropId,
                            CENOTIFYREQUEST* request, CEOID* oid, const CEGUID* guid);
  // The same, the newer functions defaulting to the PIM volume and choosing the sort
  // order by its index; the classic functions take sortSelector as a sort property.
  HANDLE OpenDatabase(LPCWSTR name, BOOL autoIncrement, DWORD sortSelector,
                      CENOTIFYREQUEST* request, CEOID* oid, const CEGUID* guid = nullptr);

  CEOID Seek(HANDLE db, DWORD seekType, DWORD_PTR value, DWORD* index);
  // Always with CEDB_ALLOWREALLOC: the store grows the buffer in place.
  CEOID ReadRecord(HANDLE db, WORD* count, CEPROPID* ids, BYTE** buffer, DWORD* size);
  CEOID WriteRecord(HANDLE db, CEOID oid, WORD count, CEPROPVAL* values);
  BOOL DeleteRecord(HANDLE db, CEOID oid);
  BOOL OidGetInfo(CEGUID* guid, CEOID oid, CEOIDINFOEX* info);

  // The heap the newer store reads records into (CeReadRecordPropsEx): none, the
  // plug-in's choice, means the store's local allocations; the options program reads
  // into its process heap. A record's buffer lives in the heap it was read into.
  void SetReadHeap(HANDLE heap) { m_readHeap = heap; }
  // The heap reads go to now: null for LocalAlloc.
  HANDLE GetReadHeap() const { return IsNewerStore() ? m_readHeap : nullptr; }

  // Bound for the link and picture databases; null where the system lacks them.
  OpenStreamFn m_pfnOpenStream;
  StreamReadFn m_pfnStreamRead;
  StreamWriteFn m_pfnStreamWrite;
  StreamSaveChangesFn m_pfnStreamSaveChanges;
  StreamSeekFn m_pfnStreamSeek;
  StreamSetSizeFn m_pfnStreamSetSize;
  OpenDatabaseEx2Fn m_pfnOpenDatabaseEx2;
  ReadRecordPropsExFn m_pfnReadRecordPropsEx;
  SeekDatabaseExFn m_pfnSeekDatabaseEx;
  OidGetInfoEx2Fn m_pfnOidGetInfoEx2;
  OpenDatabaseInSessionFn m_pfnOpenDatabaseInSession;

 private:
  void BindFunctions();
  HANDLE Reopen(LPCWSTR name, DWORD flags, CENOTIFYREQUEST* request, CEOID* oid, CEGUID* guid,
                int sortIndex, CEPROPID sortPropId);

  CEGUID m_pimVolume;
  BOOL m_pimSearched;
  HANDLE m_readHeap;
  // Not counted by GetModuleHandleW, so never freed: the importers keep it loaded.
  HMODULE m_module;
};

// The process's object, built on first use.
CCeDbApi* GetCeDbApi();
