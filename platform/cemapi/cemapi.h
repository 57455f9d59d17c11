#pragma once
// The device's messaging library (cemapi.dll): session, message stores, folders,
// messages, tables, property streams and change notifications, as far as programs
// use them; and the mail transport interfaces the inbox loads. Interfaces are
// declared in the platform's slot order, so a program built against this header
// calls the same slots on the device. Structures hold pointers, so their sizes are
// ours (callers use sizeof), not the device's 32-bit ones.
#include <windows.h>
#include <objidl.h>

typedef const IID* LPCIID;

struct ENTRYID {
  BYTE abFlags[4];
  BYTE ab[1];
};
typedef ENTRYID* LPENTRYID;

struct SBinary {
  ULONG cb;
  LPBYTE lpb;
};

struct SBinaryArray {
  ULONG cValues;
  SBinary* lpbin;
};
typedef SBinaryArray ENTRYLIST;
typedef ENTRYLIST* LPENTRYLIST;

struct SPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[1];
};
typedef SPropTagArray* LPSPropTagArray;

// An SPropTagArray of a fixed number of tags, laid out the same.
template <ULONG N>
struct SizedSPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[N];
  operator LPSPropTagArray() { return reinterpret_cast<LPSPropTagArray>(this); }
};

union _PV {
  short int i;
  LONG l;
  ULONG ul;
  float flt;
  double dbl;
  unsigned short int b;
  FILETIME ft;
  LPSTR lpszA;
  SBinary bin;
  LPWSTR lpszW;
  LARGE_INTEGER li;
  LONG err;
  LONG x;
};

struct SPropValue {
  ULONG ulPropTag;
  ULONG dwAlignPad;
  _PV Value;
};
typedef SPropValue* LPSPropValue;

struct SPropProblem {
  ULONG ulIndex;
  ULONG ulPropTag;
  LONG scode;
};
struct SPropProblemArray {
  ULONG cProblem;
  SPropProblem aProblem[1];
};
typedef SPropProblemArray* LPSPropProblemArray;

struct SRow {
  ULONG ulAdrEntryPad;
  ULONG cValues;
  LPSPropValue lpProps;
};
struct SRowSet {
  ULONG cRows;
  SRow aRow[1];
};
typedef SRowSet* LPSRowSet;

// Property types and tags.
const ULONG PT_UNSPECIFIED = 0x0000;
const ULONG PT_NULL = 0x0001;
const ULONG PT_I2 = 0x0002;
const ULONG PT_LONG = 0x0003;
const ULONG PT_ERROR = 0x000A;
const ULONG PT_BOOLEAN = 0x000B;
const ULONG PT_I8 = 0x0014;
const ULONG PT_STRING8 = 0x001E;
const ULONG PT_UNICODE = 0x001F;
const ULONG PT_SYSTIME = 0x0040;
const ULONG PT_BINARY = 0x0102;

inline constexpr ULONG PROP_TYPE(ULONG tag) { return tag & 0xFFFF; }
inline constexpr ULONG PROP_ID(ULONG tag) { return tag >> 16; }
inline constexpr ULONG PROP_TAG(ULONG type, ULONG id) { return (id << 16) | type; }
inline constexpr ULONG CHANGE_PROP_TYPE(ULONG tag, ULONG type) { return (tag & 0xFFFF0000) | type; }

const ULONG PR_ENTRYID = 0x0FFF0102;
const ULONG PR_OBJECT_TYPE = 0x0FFE0003;
const ULONG PR_PARENT_ENTRYID = 0x0E090102;
const ULONG PR_SUBJECT_W = 0x0037001F;
const ULONG PR_SENDER_EMAIL_ADDRESS_W = 0x0C1F001F;
const ULONG PR_SENDER_NAME_W = 0x0C1A001F;
const ULONG PR_MESSAGE_CLASS_W = 0x001A001F;
const ULONG PR_MESSAGE_FLAGS = 0x0E070003;
const ULONG PR_HASATTACH = 0x0E1B000B;
const ULONG PR_MESSAGE_DELIVERY_TIME = 0x0E060040;
const ULONG PR_MESSAGE_SIZE = 0x0E080003;
const ULONG PR_LAST_MODIFICATION_TIME = 0x30080040;
const ULONG PR_MSG_STATUS = 0x0E170003;
const ULONG PR_DISPLAY_TO_W = 0x0E04001F;
const ULONG PR_PRIORITY = 0x00260003;
const ULONG PR_BODY_W = 0x1000001F;
const ULONG PR_BODY = 0x1000001E;
const ULONG PR_BODY_HTML = 0x1013001E;
const ULONG PR_CE_MIME_TEXT = 0x81030102;  // the message's stored Internet (MIME) source
const ULONG PR_DISPLAY_NAME_W = 0x3001001F;
const ULONG PR_CE_TRANSPORT_NAME_W = 0x8117001F;      // stores of Pocket PC 5 and later
const ULONG PR_CE_TRANSPORT_NAME_OLD_W = 0x8302001F;  // stores before
const ULONG PR_IPM_SUBTREE_ENTRYID = 0x35E00102;
const ULONG PR_IPM_OUTBOX_ENTRYID = 0x35E20102;
const ULONG PR_IPM_WASTEBASKET_ENTRYID = 0x35E30102;
const ULONG PR_IPM_SENTMAIL_ENTRYID = 0x35E40102;
const ULONG PR_CE_IPM_DRAFTS_ENTRYID = 0x81040102;
const ULONG PR_CE_IPM_INBOX_ENTRYID = 0x81060102;
const ULONG PR_FOLDER_TYPE = 0x36010003;  // the folder's kind bits below
const ULONG PR_SUBFOLDERS = 0x360A000B;
const ULONG PR_RECIPIENT_TYPE = 0x0C150003;
const ULONG PR_ADDRTYPE_W = 0x3002001F;
const ULONG PR_EMAIL_ADDRESS_W = 0x3003001F;

// PR_MESSAGE_FLAGS, PR_MSG_STATUS.
const ULONG MSGFLAG_READ = 0x1;
const ULONG MSGSTATUS_REMOTE_DOWNLOAD = 0x1000;
const ULONG MSGSTATUS_HEADERONLY = 0x100000;
// PR_FOLDER_TYPE bits of the special folders.
const ULONG FOLDER_INBOX = 0x40000;
const ULONG FOLDER_DELETED = 0x80000;
const ULONG FOLDER_DRAFTS = 0x100000;
const ULONG FOLDER_OUTBOX = 0x200000;
const ULONG FOLDER_SENT = 0x400000;
// PR_RECIPIENT_TYPE.
const ULONG MAPI_TO = 1;
const ULONG MAPI_CC = 2;
const ULONG MAPI_BCC = 3;

// Object types.
const ULONG MAPI_STORE = 1;
const ULONG MAPI_FOLDER = 3;
const ULONG MAPI_MESSAGE = 5;

// Flags.
const ULONG MAPI_UNICODE = 0x80000000;
const ULONG MAPI_MODIFY = 0x1;
const ULONG MESSAGE_MOVE = 0x1;
const ULONG MAPI_CREATE = 0x2;

// Results.
const HRESULT MAPI_E_CALL_FAILED = static_cast<HRESULT>(0x80004005);
const HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102);
const HRESULT MAPI_E_NOT_ENOUGH_MEMORY = static_cast<HRESULT>(0x8007000E);
const HRESULT MAPI_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80070057);
const HRESULT MAPI_E_INTERFACE_NOT_SUPPORTED = static_cast<HRESULT>(0x80004002);
const HRESULT MAPI_E_NO_ACCESS = static_cast<HRESULT>(0x80070005);
const HRESULT MAPI_E_INVALID_ENTRYID = static_cast<HRESULT>(0x80040107);
const HRESULT MAPI_E_NOT_FOUND = static_cast<HRESULT>(0x8004010F);
const HRESULT MAPI_E_CORRUPT_STORE = static_cast<HRESULT>(0x80040600);
const HRESULT MAPI_E_COMPUTED = static_cast<HRESULT>(0x8004011A);
const HRESULT MAPI_E_NOT_INITIALIZED = static_cast<HRESULT>(0x80040605);
const HRESULT MAPI_E_UNEXPECTED_TYPE = static_cast<HRESULT>(0x80040112);
const HRESULT MAPI_W_ERRORS_RETURNED = static_cast<HRESULT>(0x00040380);
const HRESULT MAPI_W_PARTIAL_COMPLETION = static_cast<HRESULT>(0x00040680);

// Notifications.
const ULONG fnevCriticalError = 0x00000001;
const ULONG fnevNewMail = 0x00000002;
const ULONG fnevObjectCreated = 0x00000004;
const ULONG fnevObjectDeleted = 0x00000008;
const ULONG fnevObjectModified = 0x00000010;
const ULONG fnevObjectMoved = 0x00000020;
const ULONG fnevObjectCopied = 0x00000040;

struct NEWMAIL_NOTIFICATION {
  ULONG cbEntryID;
  LPENTRYID lpEntryID;
  ULONG cbParentID;
  LPENTRYID lpParentID;
  ULONG ulFlags;
  LPWSTR lpszMessageClass;
  ULONG ulMessageFlags;
};

struct OBJECT_NOTIFICATION {
  ULONG cbEntryID;
  LPENTRYID lpEntryID;
  ULONG ulObjType;
  ULONG cbParentID;
  LPENTRYID lpParentID;
  ULONG cbOldID;
  LPENTRYID lpOldID;
  ULONG cbOldParentID;
  LPENTRYID lpOldParentID;
  LPSPropTagArray lpPropTagArray;
};

struct NOTIFICATION {
  ULONG ulEventType;
  ULONG ulAlignPad;
  union {
    NEWMAIL_NOTIFICATION newmail;
    OBJECT_NOTIFICATION obj;
  } info;
};
typedef NOTIFICATION* LPNOTIFICATION;

struct IMAPIAdviseSink : public IUnknown {
  virtual ULONG STDMETHODCALLTYPE OnNotify(ULONG cNotif, LPNOTIFICATION lpNotifications) = 0;
};

struct IMAPITable;
struct IMAPIProgress;
struct IMsgStore;

struct IMAPIProp : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags, void** lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveChanges(ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray lpPropTagArray, ULONG ulFlags, ULONG* lpcValues,
                                             LPSPropValue* lppPropArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPropList(ULONG ulFlags, LPSPropTagArray* lppPropTagArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProperty(ULONG ulPropTag, LPCIID lpiid, ULONG ulInterfaceOptions,
                                                 ULONG ulFlags, IUnknown** lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProps(ULONG cValues, LPSPropValue lpPropArray,
                                             LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray lpPropTagArray, LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyTo(ULONG ciidExclude, LPCIID rgiidExclude, LPSPropTagArray lpExcludeProps,
                                           ULONG_PTR ulUIParam, IMAPIProgress* lpProgress, LPCIID lpInterface,
                                           void* lpDestObj, ULONG ulFlags, LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray lpIncludeProps, ULONG_PTR ulUIParam,
                                              IMAPIProgress* lpProgress, LPCIID lpInterface, void* lpDestObj,
                                              ULONG ulFlags, LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray* lppPropTags, LPGUID lpPropSetGuid,
                                                    ULONG ulFlags, ULONG* lpcPropNames, void*** lpppPropNames) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG cPropNames, void** lppPropNames, ULONG ulFlags,
                                                    LPSPropTagArray* lppPropTags) = 0;
};

struct IMsgStore : public IMAPIProp {
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                                           IMAPIAdviseSink* lpAdviseSink, ULONG* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG ulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                                    LPENTRYID lpEntryID2, ULONG ulFlags, ULONG* lpulResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                                              ULONG ulFlags, ULONG* lpulObjType, IUnknown** lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPWSTR lpszMessageClass, ULONG ulFlags, ULONG cbEntryID,
                                                     LPENTRYID lpEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPWSTR lpszMessageClass, ULONG ulFlags, ULONG* lpcbEntryID,
                                                     LPENTRYID* lppEntryID, LPWSTR* lppszExplicitClass) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* lpulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLockState(void* lpMessage, ULONG ulLockState) = 0;
  virtual HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION lpNotification) = 0;
};

struct IMAPIContainer : public IMAPIProp {
  virtual HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                                              ULONG ulFlags, ULONG* lpulObjType, IUnknown** lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSearchCriteria(void* lpRestriction, LPENTRYLIST lpContainerList,
                                                      ULONG ulSearchFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG ulFlags, void** lppRestriction,
                                                      LPENTRYLIST* lppContainerList, ULONG* lpulSearchState) = 0;
};

struct IMessage;

struct IMAPIFolder : public IMAPIContainer {
  virtual HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID lpInterface, ULONG ulFlags, IMessage** lppMessage) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST lpMsgList, LPCIID lpInterface, void* lpDestFolder,
                                                 ULONG_PTR ulUIParam, IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam,
                                                   IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFolder(ULONG ulFolderType, LPWSTR lpszFolderName,
                                                 LPWSTR lpszFolderComment, LPCIID lpInterface, ULONG ulFlags,
                                                 IMAPIFolder** lppFolder) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyFolder(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                                               void* lpDestFolder, LPWSTR lpszNewFolderName, ULONG_PTR ulUIParam,
                                               IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG_PTR ulUIParam,
                                                 IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam,
                                                 IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags,
                                                     ULONG* lpulMessageStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulNewStatus,
                                                     ULONG ulNewStatusMask, ULONG* lpulOldStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveContentsSort(void* lpSortCriteria, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR ulUIParam, IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
};

struct IMessage : public IMAPIProp {
  virtual HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAttach(ULONG ulAttachmentNum, LPCIID lpInterface, ULONG ulFlags,
                                               void** lppAttach) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID lpInterface, ULONG ulFlags, ULONG* lpulAttachmentNum,
                                                 void** lppAttach) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG ulAttachmentNum, ULONG_PTR ulUIParam,
                                                 IMAPIProgress* lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG ulFlags, void* lpMods) = 0;
  virtual HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG ulFlags) = 0;
};

struct IMAPITable : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags, void** lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG ulEventMask, IMAPIAdviseSink* lpAdviseSink,
                                           ULONG* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG ulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatus(ULONG* lpulTableStatus, ULONG* lpulTableType) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray lpPropTagArray, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColumns(ULONG ulFlags, LPSPropTagArray* lpPropTagArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowCount(ULONG ulFlags, ULONG* lpulCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRow(ULONG bkOrigin, LONG lRowCount, LONG* lplRowsSought) = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG ulNumerator, ULONG ulDenominator) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* lpulRow, ULONG* lpulNumerator,
                                                  ULONG* lpulDenominator) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindRow(void* lpRestriction, ULONG bkOrigin, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Restrict(void* lpRestriction, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateBookmark(ULONG* lpbkPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeBookmark(ULONG bkPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE SortTable(void* lpSortCriteria, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QuerySortOrder(void** lppSortCriteria) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryRows(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE Abort() = 0;
  virtual HRESULT STDMETHODCALLTYPE ExpandRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulRowCount,
                                              ULONG ulFlags, LPSRowSet* lppRows, ULONG* lpulMoreRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE CollapseRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulFlags,
                                                ULONG* lpulRowCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG ulFlags, ULONG ulTimeout, ULONG* lpulTableStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG ulFlags, ULONG cbInstanceKey, LPBYTE lpbInstanceKey,
                                                     ULONG* lpcbCollapseState, LPBYTE* lppbCollapseState) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG ulFlags, ULONG cbCollapseState,
                                                     LPBYTE pbCollapseState, ULONG* lpbkLocation) = 0;
};

const ULONG BOOKMARK_BEGINNING = 0;
const ULONG BOOKMARK_CURRENT = 1;
const ULONG BOOKMARK_END = 2;

struct IMAPISession : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags, void** lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR ulUIParam, ULONG cbEntryID, LPENTRYID lpEntryID,
                                                 LPCIID lpInterface, ULONG ulFlags, IMsgStore** lppMDB) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR ulUIParam, LPCIID lpInterface, ULONG ulFlags,
                                                    void** lppAdrBook) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProfileSection(LPCIID lpUID, LPCIID lpInterface, ULONG ulFlags,
                                                       void** lppProfSect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG ulFlags, IMAPITable** lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                                              ULONG ulFlags, ULONG* lpulObjType, IUnknown** lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                                    LPENTRYID lpEntryID2, ULONG ulFlags, ULONG* lpulResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                                           IMAPIAdviseSink* lpAdviseSink, ULONG* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG ulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR ulUIParam, ULONG ulFlags, LPWSTR lpszAdrType,
                                                   void* lpMessage) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPWSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues,
                                                           LPSPropValue* lppOptions) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG ulFlags, ULONG* lpcAdrTypes, LPWSTR** lpppszAdrTypes) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) = 0;
};

extern "C" {
HRESULT WINAPI MAPIInitialize(void* lpMapiInit);
void WINAPI MAPIUninitialize();
HRESULT WINAPI MAPILogonEx(ULONG_PTR ulUIParam, LPWSTR lpszProfileName, LPWSTR lpszPassword, ULONG ulFlags,
                           IMAPISession** lppSession);
ULONG WINAPI MAPIFreeBuffer(void* lpBuffer);
void WINAPI FreeProws(LPSRowSet lpRows);

// What a test does in place of the device's timing: with TRUE, changes made in this
// process reach this process's advise sinks before the changing call returns (changes
// of other processes still come on the relay thread); with FALSE (the default) every
// notification comes on the relay thread.
void WINAPI CeMapiTestSetSynchronousNotify(BOOL synchronous);
}

// Mail transports ("SOFTWARE\Microsoft\Inbox\Svc\<name>": "Name", "FriendlyName",
// "DLL"). The inbox loads the transport's library, calls its "OneStopFactory" and
// drives the handler; the transport calls back through IMailSyncCallBack.

// {447DAA3A-E420-4E87-B440-0045B9FE73BC}
inline const IID IID_IMailSyncCallBack = {0x447daa3a, 0xe420, 0x4e87, {0xb4, 0x40, 0x00, 0x45, 0xb9, 0xfe, 0x73, 0xbc}};

struct IMailSyncCallBack : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RequestSync(LPCWSTR pszProfile, DWORD dwCookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Progress(LPCWSTR pszProfile, void* pinfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGlobalSetting(int prop, void* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisplayMessageBox(LPCWSTR pszText, LPCWSTR pszCaption, UINT uType,
                                                      int* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE RequestCredentials(LPCWSTR pszProfile, void* pCredentials, UINT uFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE LogEvent(void* pEvent) = 0;
  virtual HRESULT STDMETHODCALLTYPE AllocateMem(DWORD cbSize, LPBYTE* ppb) = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeMem(void* pvmem) = 0;
};

// The first slots of a transport; the inbox calls no others here.
struct IMailSyncHandler : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Initialize(IMailSyncCallBack* pCallBack, LPCWSTR pszProfile,
                                               IMsgStore* pMsgStore) = 0;
  virtual HRESULT STDMETHODCALLTYPE ShutDown(DWORD dwReserved) = 0;
};

typedef HRESULT(WINAPI* ONESTOPFACTORYFUNC)(LPCWSTR pszType, IMailSyncHandler** ppObj);

// Interface ids.
inline const IID IID_IMAPISession = {0x00020300, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMAPITable = {0x00020301, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMAPIAdviseSink = {0x00020302, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMAPIProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMsgStore = {0x00020306, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMessage = {0x00020307, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMAPIContainer = {0x0002030B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const IID IID_IMAPIFolder = {0x0002030C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
