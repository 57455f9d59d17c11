// The device's Pocket Outlook object model as programs call it: the application
// object, folders, item collections, appointments with recurrence, tasks, contacts and
// the generic item. The classes live in "pimstore.dll", an in-process COM server over
// the PIM property databases of coredll.
//
// The interfaces hold the members programs here call, declared from the public
// documentation of the object model. Members this stand-in does not serve answer
// E_NOTIMPL. The identifiers the programs name are the device's; the others are ours.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "platform/coredll/cedb.h"

// {05058F23-20BE-11D2-8F18-0000F87A4335}
inline const GUID CLSID_Application = {0x05058F23, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
// {05058F22-20BE-11D2-8F18-0000F87A4335}
inline const GUID IID_IPOutlookApp = {0x05058F22, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
// {AF7D0DC7-3D35-424B-AA60-27A38B8B629E}
inline const GUID IID_IPOutlookApp2 = {0xAF7D0DC7, 0x3D35, 0x424B, {0xAA, 0x60, 0x27, 0xA3, 0x8B, 0x8B, 0x62, 0x9E}};
// {FB8998D0-38F0-4D12-AC56-4EC8FCE9F3D5}
inline const GUID IID_IItem = {0xFB8998D0, 0x38F0, 0x4D12, {0xAC, 0x56, 0x4E, 0xC8, 0xFC, 0xE9, 0xF3, 0xD5}};
// Ours: {6E0B3C10-5A1D-4C52-9E0F-7A2D41C8B001} ... B006.
inline const GUID IID_IFolder = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x01}};
inline const GUID IID_IPOutlookItemCollection = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x02}};
inline const GUID IID_IAppointment = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x03}};
inline const GUID IID_ITask = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x04}};
inline const GUID IID_IContact = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x05}};
inline const GUID IID_IRecurrencePattern = {0x6E0B3C10, 0x5A1D, 0x4C52, {0x9E, 0x0F, 0x7A, 0x2D, 0x41, 0xC8, 0xB0, 0x06}};

// Folders (GetDefaultFolder) and item types (CreateItem, AddItemToInfraredFolder).
enum OlDefaultFolders { olFolderCalendar = 9, olFolderContacts = 10, olFolderTasks = 13, olFolderInfrared = 102 };
enum OlItemType { olAppointmentItem = 1, olContactItem = 2, olTaskItem = 3 };
enum OlBusyStatus { olFree = 0, olTentative = 1, olBusy = 2, olOutOfOffice = 3 };
enum OlRecurrenceType { olRecursDaily = 0, olRecursWeekly = 1, olRecursMonthly = 2, olRecursMonthNth = 3,
                        olRecursYearly = 5, olRecursYearNth = 6 };

// Item notifications posted to every logon window: wParam the item's oid, lParam its
// folder (9, 10, 13). The second three are the same events from a remote change.
#define PIM_ITEM_CREATED_LOCAL 0x8100
#define PIM_ITEM_DELETED_LOCAL 0x8101
#define PIM_ITEM_CHANGED_LOCAL 0x8102
#define PIM_ITEM_CREATED_REMOTE 0x8105
#define PIM_ITEM_DELETED_REMOTE 0x8106
#define PIM_ITEM_CHANGED_REMOTE 0x8107

// The "no date" value of the object model's dates.
#define PIM_NO_DATE 949998.0

// Item properties for IItem::GetProps / SetProps.
#define PIMPR_FOLDER_CATEGORIES 0x101A001F
#define PIMPR_SUBJECT 0x0020001F
#define PIMPR_CATEGORIES 0x0025001F
#define PIMPR_OID 0x10000013

struct IFolder;
struct IPOutlookItemCollection;
struct IRecurrencePattern;
struct IAppointment;
struct ITask;
struct IContact;

struct IPOutlookApp : public IDispatch {
  // hWnd: the window that hears item notifications (0 for none).
  virtual HRESULT STDMETHODCALLTYPE Logon(long hWnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE Logoff() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDefaultFolder(int folder, IFolder** result) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateItem(int itemType, IDispatch** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetItemFromOid(long oid, IDispatch** item) = 0;
};

struct IFolder : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Items(IPOutlookItemCollection** items) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DefaultItemType(int* itemType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** app) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddItemToInfraredFolder(int itemType, IDispatch* item) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendToInfrared() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReceiveFromInfrared(IPOutlookItemCollection** items) = 0;
};

struct IPOutlookItemCollection : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Add(IDispatch** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Count(int* count) = 0;
  // A restriction: terms "[Property] op value" joined by AND / OR (AND binds closer);
  // op one of = <> < <= > >=; value a number, "<" and a day number, or a quoted text.
  virtual HRESULT STDMETHODCALLTYPE Find(BSTR restriction, IDispatch** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindNext(IDispatch** item) = 0;
  // index counts from 1.
  virtual HRESULT STDMETHODCALLTYPE Item(int index, IDispatch** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE Remove(int index) = 0;
  virtual HRESULT STDMETHODCALLTYPE Restrict(BSTR restriction, IPOutlookItemCollection** items) = 0;
  // property: "[Name]".
  virtual HRESULT STDMETHODCALLTYPE Sort(BSTR property, VARIANT_BOOL descending) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IncludeRecurrences(VARIANT_BOOL* include) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IncludeRecurrences(VARIANT_BOOL include) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** app) = 0;
};

struct IItem : public IDispatch {
  // ids: the properties; values null: *size gets the bytes needed (a size query); a
  // buffer too small (without CEDB_ALLOWREALLOC) fails with the size needed. The buffer
  // holds CEPROPVAL entries followed by their texts.
  virtual HRESULT STDMETHODCALLTYPE GetProps(const CEPROPID* ids, ULONG flags, WORD count, CEPROPVAL** values,
                                             ULONG* size, HANDLE heap) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProps(ULONG flags, WORD count, CEPROPVAL* values) = 0;
  virtual HRESULT STDMETHODCALLTYPE Save() = 0;
  virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
  virtual HRESULT STDMETHODCALLTYPE Copy(IItem** copy) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Oid(long* oid) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DefaultItemType(int* itemType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Application(IPOutlookApp** app) = 0;
  virtual HRESULT STDMETHODCALLTYPE Display(HWND parent) = 0;
  virtual HRESULT STDMETHODCALLTYPE Edit(HWND parent) = 0;
};

struct IRecurrencePattern : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_RecurrenceType(long* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_RecurrenceType(long type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Interval(long* interval) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Interval(long interval) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DayOfWeekMask(long* mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DayOfWeekMask(long mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DayOfMonth(long* day) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DayOfMonth(long day) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MonthOfYear(long* month) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MonthOfYear(long month) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Instance(long* instance) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Instance(long instance) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PatternStartDate(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_PatternStartDate(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PatternEndDate(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_PatternEndDate(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Occurrences(long* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Occurrences(long count) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NoEndDate(VARIANT_BOOL* none) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_NoEndDate(VARIANT_BOOL none) = 0;
  // The occurrence that starts on the day of date.
  virtual HRESULT STDMETHODCALLTYPE GetOccurrence(DATE date, IAppointment** occurrence) = 0;
};

struct IAppointment : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetRecurrencePattern(IRecurrencePattern** pattern) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearRecurrencePattern() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRecurring(VARIANT_BOOL* recurring) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Subject(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Subject(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Location(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Location(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Categories(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Categories(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Start(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Start(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_End(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_End(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Duration(long* minutes) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Duration(long minutes) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AllDayEvent(VARIANT_BOOL* allDay) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AllDayEvent(VARIANT_BOOL allDay) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BusyStatus(long* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_BusyStatus(long status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Sensitivity(long* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Sensitivity(long value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReminderSet(VARIANT_BOOL* set) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ReminderSet(VARIANT_BOOL set) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReminderMinutesBeforeStart(long* minutes) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ReminderMinutesBeforeStart(long minutes) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Oid(long* oid) = 0;
  virtual HRESULT STDMETHODCALLTYPE Save() = 0;
  virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
  virtual HRESULT STDMETHODCALLTYPE Display() = 0;
  virtual HRESULT STDMETHODCALLTYPE Copy(IAppointment** copy) = 0;
};

struct ITask : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Subject(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Subject(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Categories(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Categories(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_StartDate(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_StartDate(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DueDate(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DueDate(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Importance(long* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Importance(long value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Complete(VARIANT_BOOL* complete) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Complete(VARIANT_BOOL complete) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Sensitivity(long* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Sensitivity(long value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReminderSet(VARIANT_BOOL* set) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ReminderSet(VARIANT_BOOL set) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReminderTime(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ReminderTime(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Oid(long* oid) = 0;
  virtual HRESULT STDMETHODCALLTYPE Save() = 0;
  virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
  virtual HRESULT STDMETHODCALLTYPE Display() = 0;
  virtual HRESULT STDMETHODCALLTYPE Copy(ITask** copy) = 0;
};

struct IContact : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_FirstName(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_FirstName(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MiddleName(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MiddleName(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastName(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_LastName(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Title(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Title(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Suffix(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Suffix(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CompanyName(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_CompanyName(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_FileAs(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_FileAs(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Birthday(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Birthday(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Anniversary(DATE* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Anniversary(DATE date) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MobileTelephoneNumber(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MobileTelephoneNumber(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Categories(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Categories(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_BodyInk(CEBLOB* ink) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Oid(long* oid) = 0;
  virtual HRESULT STDMETHODCALLTYPE Save() = 0;
  virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
  virtual HRESULT STDMETHODCALLTYPE Display() = 0;
  virtual HRESULT STDMETHODCALLTYPE Copy(IContact** copy) = 0;
};

// What the item card was asked, for programs and tests that drive it (pimstore.dll
// exports). Without an automatic close the card waits for its window to be closed.
struct PimCardRequest {
  DWORD oid;
  DWORD folder;      // 9, 10, 13
  DWORD edit;        // 1 for Edit, 0 for Display
  DWORD occurrence;  // the answer to the occurrence question: 8 this one, 9 the series,
                     // 2 closed without an answer, 0 not asked
};
extern "C" {
// ms: close every card this long after it opened; 0xFFFFFFFF: wait for the user.
void WINAPI PimCardSetAutoClose(DWORD ms);
// The requests since the last call (up to max, oldest first); returns how many.
DWORD WINAPI PimCardTakeRequests(PimCardRequest* requests, DWORD max);
// Items put into the infrared folder and sent (beaming is recorded, never sent).
DWORD WINAPI PimInfraredSentCount();
// Registers the application class in HKEY_CLASSES_ROOT for this prefix.
HRESULT WINAPI DllRegisterServer();
HRESULT WINAPI DllUnregisterServer();
}
