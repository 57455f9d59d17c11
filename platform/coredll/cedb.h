// The device's property databases: object store, mounted volumes, records of typed
// properties, record streams and change notifications, as coredll.dll offers them.
#pragma once
#include "platform/coredll/ce.h"

typedef DWORD CEOID;
typedef CEOID* PCEOID;
typedef DWORD CEPROPID;
typedef CEPROPID* PCEPROPID;

// A volume's identity. All zero is the object store; all 0xFF ("invalid") means
// "the object store and every mounted volume" where a name is searched.
typedef struct _CEGUID {
  DWORD Data1;
  DWORD Data2;
  DWORD Data3;
  DWORD Data4;
} CEGUID, *PCEGUID;

#define CREATE_SYSTEMGUID(pguid) (memset((pguid), 0, sizeof(CEGUID)))
#define CREATE_INVALIDGUID(pguid) (memset((pguid), -1, sizeof(CEGUID)))

// Property types: the low word of a CEPROPID; the identifier is the high word.
#define CEVT_I2 2
#define CEVT_UI2 18
#define CEVT_I4 3
#define CEVT_UI4 19
#define CEVT_FILETIME 64
#define CEVT_LPWSTR 31
#define CEVT_BLOB 65
#define CEVT_BOOL 11
#define CEVT_R8 5
#define CEVT_I8 20
#define CEVT_UI8 21
#define CEVT_STREAM 100
#define CEVT_RECID 102
#define CEVT_AUTO_I4 103
#define CEVT_AUTO_I8 104

#define TypeFromPropID(propid) LOWORD(propid)
#define PropIdFromPropID(propid) HIWORD(propid)

typedef struct _CEBLOB {
  DWORD dwCount;
  LPBYTE lpb;
} CEBLOB;

typedef union _CEVALUNION {
  short iVal;
  USHORT uiVal;
  long lVal;
  ULONG ulVal;
  FILETIME filetime;
  LPWSTR lpwstr;
  CEBLOB blob;
  BOOL boolVal;
  double dblVal;
  LARGE_INTEGER llVal;
  ULARGE_INTEGER ullVal;
} CEVALUNION;

// 16 bytes on the device; the pointers inside make it 24 here: callers use sizeof.
typedef struct _CEPROPVAL {
  CEPROPID propid;
  WORD wLenData;
  WORD wFlags;
  CEVALUNION val;
} CEPROPVAL, *PCEPROPVAL;

// CEPROPVAL.wFlags
#define CEDB_PROPNOTFOUND 0x0100
#define CEDB_PROPDELETE 0x0200

#define CEDB_MAXDBASENAMELEN 32
#define CEDB_MAXSORTORDER 4
#define CEDB_MAXSORTPROP 3
#define CEDB_MAXPROPDATASIZE 0xFFFF
#define CEDB_MAXRECORDSIZE (128 * 1024)

// Sort flags, per property of a sort order.
#define CEDB_SORT_DESCENDING 0x00000001
#define CEDB_SORT_CASEINSENSITIVE 0x00000002
#define CEDB_SORT_UNKNOWNFIRST 0x00000004
#define CEDB_SORT_GENERICORDER 0x00000008
// SORTORDERSPECEX.wKeyFlags
#define CEDB_SORT_UNIQUE 0x00000200

typedef struct _SORTORDERSPEC {
  CEPROPID propid;
  DWORD dwFlags;
} SORTORDERSPEC;

#define SORTORDERSPECEX_VERSION 1
typedef struct _SORTORDERSPECEX {
  WORD wVersion;
  WORD wNumProps;
  WORD wKeyFlags;
  CEPROPID rgPropID[CEDB_MAXSORTPROP];
  DWORD rgdwFlags[CEDB_MAXSORTPROP];
} SORTORDERSPECEX;

// Which members of a database description are valid.
#define CEDB_VALIDNAME 0x0001
#define CEDB_VALIDTYPE 0x0002
#define CEDB_VALIDSORTSPEC 0x0004
#define CEDB_VALIDMODTIME 0x0008
#define CEDB_VALIDDBFLAGS 0x0010
#define CEDB_VALIDCREATE (CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS)

typedef struct _CEDBASEINFO {
  DWORD dwFlags;
  WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
  DWORD dwDbaseType;
  WORD wNumRecords;
  WORD wNumSortOrder;
  DWORD dwSize;
  FILETIME ftLastModified;
  SORTORDERSPEC rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFO;

#define CEDBASEINFOEX_VERSION 1
typedef struct _CEDBASEINFOEX {
  WORD wVersion;
  WORD wNumSortOrder;
  DWORD dwFlags;
  WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
  DWORD dwDbaseType;
  DWORD dwNumRecords;
  DWORD dwSize;
  FILETIME ftLastModified;
  SORTORDERSPECEX rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFOEX;

typedef struct _CEFILEINFO {
  DWORD dwAttributes;
  CEOID oidParent;
  WCHAR szFileName[MAX_PATH];
  FILETIME ftLastChanged;
  DWORD dwLength;
} CEFILEINFO;

typedef struct _CEDIRINFO {
  DWORD dwAttributes;
  CEOID oidParent;
  WCHAR szDirName[MAX_PATH];
} CEDIRINFO;

typedef struct _CERECORDINFO {
  CEOID oidParent;
} CERECORDINFO;

#define OBJTYPE_INVALID 0
#define OBJTYPE_FILE 1
#define OBJTYPE_DIRECTORY 2
#define OBJTYPE_DATABASE 3
#define OBJTYPE_RECORD 4

typedef struct _CEOIDINFO {
  WORD wObjType;
  WORD wPad;
  union {
    CEFILEINFO infFile;
    CEDIRINFO infDirectory;
    CEDBASEINFO infDatabase;
    CERECORDINFO infRecord;
  };
} CEOIDINFO;

#define CEOIDINFOEX_VERSION 1
typedef struct _CEOIDINFOEX {
  WORD wVersion;
  WORD wObjType;
  union {
    CEFILEINFO infFile;
    CEDIRINFO infDirectory;
    CEDBASEINFOEX infDatabase;
    CERECORDINFO infRecord;
  };
} CEOIDINFOEX;

// Open flags.
#define CEDB_AUTOINCREMENT 0x00000001
// Read flags.
#define CEDB_ALLOWREALLOC 0x00000001

// Seek types.
#define CEDB_SEEK_CEOID 0x00000001
#define CEDB_SEEK_BEGINNING 0x00000002
#define CEDB_SEEK_END 0x00000004
#define CEDB_SEEK_CURRENT 0x00000008
#define CEDB_SEEK_VALUESMALLER 0x00000010
#define CEDB_SEEK_VALUEFIRSTEQUAL 0x00000020
#define CEDB_SEEK_VALUEGREATER 0x00000040
#define CEDB_SEEK_VALUENEXTEQUAL 0x00000080
#define CEDB_SEEK_VALUESMALLEROREQUAL 0x00000100
#define CEDB_SEEK_VALUEGREATEROREQUAL 0x00000200

// Notifications: the message and its types.
#define WM_DBNOTIFICATION 0x03FD
#define DB_CEOID_CREATED (WM_USER + 0x1)
#define DB_CEOID_DATABASE_DELETED (WM_USER + 0x2)
#define DB_CEOID_RECORD_DELETED (WM_USER + 0x3)
#define DB_CEOID_FILE_DELETED (WM_USER + 0x4)
#define DB_CEOID_DIRECTORY_DELETED (WM_USER + 0x5)
#define DB_CEOID_CHANGED (WM_USER + 0x6)
// Changes the store could not list one by one: the receiver reads the database again.
#define DB_NOTIFY_DATABASE_CHANGED (WM_USER + 0x8)

#define CEDB_EXNOTIFICATION 0x00000001

// dwParam is pointer-sized here (a DWORD on the device): callers store object pointers in it.
typedef struct _CENOTIFYREQUEST {
  DWORD dwSize;
  HWND hwnd;
  DWORD dwFlags;
  HANDLE hHeap;
  DWORD_PTR dwParam;
} CENOTIFYREQUEST, *PCENOTIFYREQUEST;

typedef struct _CENOTIFICATION {
  DWORD dwSize;
  DWORD_PTR dwParam;
  UINT uType;
  CEGUID guid;
  CEOID oid;
  CEOID oidParent;
} CENOTIFICATION, *PCENOTIFICATION;

// Stream access (CeStreamSeek origins are the STREAM_SEEK_* values 0, 1, 2).
#define CEDB_STREAM_SEEK_SET 0
#define CEDB_STREAM_SEEK_CUR 1
#define CEDB_STREAM_SEEK_END 2

// Volumes.
CORE_API BOOL WINAPI CeMountDBVol(PCEGUID pguid, LPWSTR lpszVol, DWORD dwFlags);
CORE_API BOOL WINAPI CeUnmountDBVol(PCEGUID pguid);
CORE_API BOOL WINAPI CeEnumDBVolumes(PCEGUID pguid, LPWSTR lpBuf, DWORD dwNumChars);

// Not of the device: the volume loader's one durable step. Between the two calls this
// thread holds the volume, its changes are kept in memory, and other processes see the
// volume as it was; CedbEndVolumeLoad with fKeep writes the whole volume at once (a new file,
// flushed once, that replaces the old), without it drops every change since the begin.
CORE_API BOOL WINAPI CedbBeginVolumeLoad(PCEGUID pguid);
CORE_API BOOL WINAPI CedbEndVolumeLoad(PCEGUID pguid, BOOL fKeep);
// Not of the device either: the loader's bulk write, between the two calls above. Adds
// cRecords new records to the open database, each checked and filed as
// CeWriteRecordProps(hDatabase, 0, ...) would; pfnRecord hands out record iRecord's values
// (valid until its next call). Returns how many were filed: fewer than cRecords means the
// next one was refused, with the reason as the last error.
typedef const CEPROPVAL*(CALLBACK* CEDBLOADRECORD)(LPVOID pContext, DWORD iRecord, WORD* pcPropID);
CORE_API DWORD WINAPI CedbLoadRecords(HANDLE hDatabase, DWORD cRecords, CEDBLOADRECORD pfnRecord, LPVOID pContext);

// Databases.
CORE_API CEOID WINAPI CeCreateDatabaseEx(PCEGUID pguid, CEDBASEINFO* pInfo);
CORE_API CEOID WINAPI CeCreateDatabaseEx2(PCEGUID pguid, CEDBASEINFOEX* pInfo);
CORE_API BOOL WINAPI CeDeleteDatabase(CEOID oid);
CORE_API BOOL WINAPI CeDeleteDatabaseEx(PCEGUID pguid, CEOID oid);
CORE_API HANDLE WINAPI CeFindFirstDatabaseEx(PCEGUID pguid, DWORD dwDbaseType);
CORE_API CEOID WINAPI CeFindNextDatabaseEx(HANDLE hEnum, PCEGUID pguid);
CORE_API HANDLE WINAPI CeOpenDatabaseEx(PCEGUID pguid, PCEOID poid, LPWSTR lpszName, CEPROPID propid,
                                        DWORD dwFlags, CENOTIFYREQUEST* pRequest);
CORE_API HANDLE WINAPI CeOpenDatabaseEx2(PCEGUID pguid, PCEOID poid, LPWSTR lpszName,
                                         SORTORDERSPECEX* pSort, DWORD dwFlags,
                                         CENOTIFYREQUEST* pRequest);
CORE_API HANDLE WINAPI CeOpenDatabaseInSession(HANDLE hSession, PCEGUID pguid, PCEOID poid,
                                               LPWSTR lpszName, SORTORDERSPECEX* pSort,
                                               DWORD dwFlags, CENOTIFYREQUEST* pRequest);
CORE_API BOOL WINAPI CeOidGetInfoEx(PCEGUID pguid, CEOID oid, CEOIDINFO* pInfo);
CORE_API BOOL WINAPI CeOidGetInfoEx2(PCEGUID pguid, CEOID oid, CEOIDINFOEX* pInfo);

// Records. dwValue of a seek carries a CEPROPVAL pointer for the value seeks, hence pointer-sized.
CORE_API CEOID WINAPI CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue,
                                     LPDWORD lpdwIndex);
CORE_API CEOID WINAPI CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue,
                                       WORD wNumVals, LPDWORD lpdwIndex);
CORE_API CEOID WINAPI CeReadRecordProps(HANDLE hDatabase, DWORD dwFlags, LPWORD lpcPropID,
                                        CEPROPID* rgPropID, LPBYTE* lplpBuffer, LPDWORD lpcbBuffer);
CORE_API CEOID WINAPI CeReadRecordPropsEx(HANDLE hDatabase, DWORD dwFlags, LPWORD lpcPropID,
                                          CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                                          LPDWORD lpcbBuffer, HANDLE hHeap);
CORE_API CEOID WINAPI CeWriteRecordProps(HANDLE hDatabase, CEOID oidRecord, WORD cPropID,
                                         CEPROPVAL* rgPropVal);
CORE_API BOOL WINAPI CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);
CORE_API BOOL WINAPI CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotification);

// Record streams: a CEVT_STREAM property of the record the database handle is positioned on.
CORE_API HANDLE WINAPI CeOpenStream(HANDLE hDatabase, CEPROPID propid, DWORD dwMode);
CORE_API BOOL WINAPI CeStreamRead(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbRead, LPDWORD pcbRead);
CORE_API BOOL WINAPI CeStreamWrite(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbWrite,
                                   LPDWORD pcbWritten);
CORE_API BOOL WINAPI CeStreamSaveChanges(HANDLE hStream);
CORE_API BOOL WINAPI CeStreamSeek(HANDLE hStream, DWORD cbMove, DWORD dwOrigin,
                                  LPDWORD pcbNewOffset);
CORE_API BOOL WINAPI CeStreamSetSize(HANDLE hStream, DWORD cbSize);
