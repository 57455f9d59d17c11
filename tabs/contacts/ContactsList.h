// The process's contacts: every record of "Contacts Database" read straight from the
// store in either layout, the birthday and anniversary events derived from them, the
// day queries of the calendar and special-events views, change notifications, the
// default communication field, notes and pictures.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/coredll/cedb.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsListener.h"
#include "tabs/contacts/SpecialEventItem.h"

class CDbRecord;
class CContactTextPool;
class CDib;
class CONTACT_DETAILS;
class IContactNoteViewer;
class IContactRequests;

class CContactsList {
 public:
  enum { kRecordDeleted = 1027, kResetAll = 1032 };

  CContactsList();
  virtual ~CContactsList();
  CContactsList(const CContactsList&) = delete;
  CContactsList& operator=(const CContactsList&) = delete;
  static CContactsList& GetGlobal();

  // Stores the window that receives the database's notifications and selects the
  // field table of the current layout. Without a window the database is never opened.
  void SetNotifyWindow(HWND window);
  void AddListener(IContactsListener* listener);
  void RemoveListener(IContactsListener* listener);
  // Where deletions go (not owned; null: the item-operations program).
  void SetRequests(IContactRequests* requests) { m_requests = requests; }
  IContactRequests& GetRequests();
  // The note viewer DisplayNote shows notes in (not owned; null: none).
  void SetNoteViewer(IContactNoteViewer* viewer) { m_noteViewer = viewer; }

  // Opens and loads; FALSE when the database cannot be opened.
  BOOL Open();
  BOOL IsLoaded() const { return m_loaded; }
  // Borrowed records; FALSE at the end (or when the list cannot be loaded).
  BOOL GetFirst(CONTACT_ITEM** contact);
  BOOL GetNext(CONTACT_ITEM** contact);
  int GetCount() const { return static_cast<int>(m_contacts.size()); }
  CONTACT_ITEM* GetAt(int index) const;
  int FindIndexByOid(DWORD itemOid) const;
  int FindIndexByRecordOid(DWORD recordOid) const;
  CONTACT_ITEM* FindByOid(DWORD itemOid) const;
  // The events are made from the loaded contacts when first asked for.
  int GetEventCount();
  // The event at an index of the list's order: by day, names of a day as the user's
  // locale sorts them (ignoring case, kana type and width).
  CSpecialEventItem* GetEventAt(int index);

  // Closes the database, frees every contact and event.
  void Close();
  void CloseDatabase() { Close(); }

  // Reads one record into item: by its item oid, else its record oid, else the record
  // the database stands on. FALSE when it cannot seek or read.
  BOOL ReadRecord(CONTACT_ITEM* item);
  // With read set first reads the contact itself; then the popup's further texts.
  BOOL ReadContactDetails(CONTACT_DETAILS* details, BOOL read);
  // Asks the item-operations program to delete the contact; its result.
  LRESULT DeleteContact(DWORD itemOid);
  // The stored default field of a contact: its index, -1 when missing or unknown.
  int GetDefaultField(DWORD itemOid);
  // Stores the field in the loaded contact and in its record; the write's result.
  BOOL SetDefaultField(DWORD itemOid, int index);
  // Shows the contact's note in the note viewer beside rect; FALSE when nothing shown.
  BOOL DisplayNote(HWND owner, const RECT& rect, DWORD itemOid);
  // Newer store: whether the current record has a picture (8 bytes can be read).
  BOOL HasPicture();
  // Newer store: the record's picture decoded, or null.
  static CDib* OpenPictureStream(DWORD recordOid);

  // Day queries: each empties list first and returns the number of events placed.
  int GetEventsOfDay(double day, std::vector<CSpecialEventItem*>& list);
  int GetNextEventDay(std::vector<CSpecialEventItem*>& list);
  int GetEventsOnDate(double date, std::vector<CSpecialEventItem*>& list);
  // The day number of the date's month and day in the year 2000.
  static int DayInYear2000(double day);
  // The same for a date already split (0 when its month or day is out of range).
  static int DayInYear2000(const SYSTEMTIME& parts);

  // A database notification (synthetic: made by the program, not to be freed).
  virtual BOOL OnDBNotification(CENOTIFICATION* notification, BOOL synthetic);

 private:
  BOOL OpenDatabase();
  void LoadAll();
  void FreeAll();
  void PrepareReadList(CDbRecord& reader) const;
  BOOL ReadInto(CDbRecord& reader, CONTACT_ITEM* item);
  void AddEvents(CONTACT_ITEM* contact, int index, BOOL* added);
  BOOL RemoveEvents(CONTACT_ITEM* contact);
  // Orders the events by day; the names within a day are ordered when the day is first
  // asked for (OrderNamesOfDay), so a load does no locale work it may never need.
  void SortEvents();
  // Makes the events of every loaded contact, once per load.
  void BuildEvents();
  int EventCount() const { return static_cast<int>(m_events.size()); }
  void OrderNamesOfDay(int day);
  void NoteEventIndices(int from, int to);
  void TellChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy);

  enum { kDaysIn2000 = 366 };
  int m_feb29;
  // Per day of 2000 from 1 January: whether its events are in name order.
  std::vector<BYTE> m_namesOrdered;
  std::vector<CONTACT_ITEM*> m_contacts;
  std::vector<CSpecialEventItem*> m_events;
  int m_eventCursor;
  int m_cursorDay;
  int m_jan1;
  int m_dec31;
  const CEPROPID* m_fieldTable;
  int m_contactCursor;
  HANDLE m_db;
  HWND m_notifyWindow;
  CENOTIFYREQUEST m_request;
  BOOL m_loaded;
  std::vector<IContactsListener*> m_listeners;
  IContactRequests* m_requests;
  IContactNoteViewer* m_noteViewer;
  // While loading: the pool the records' texts go to.
  CContactTextPool* m_loadPool;
  BOOL m_eventsBuilt;
};
