// The appointments of one date range, read straight from "Appointments Database" in
// either store layout, every recurring series expanded into one record per occurrence.
// Records stay in CompareAppointments order and current from the database's change
// notifications; the busy intervals (the base) follow the records.
//
// The item-operations program builds the same class with notifications suspended.
#pragma once
#include <windows.h>

#include <vector>

#include "base/AppointmentRecord.h"
#include "base/DbRecord.h"
#include "tabs/calendar/AppointmentRequests.h"
#include "tabs/calendar/AppointmentsListener.h"
#include "tabs/calendar/BusyIntervals.h"
#include "tabs/calendar/NoteViewer.h"

class RecurrencePattern;

class CAppointmentsList : public CBusyIntervals {
 public:
  // Notification types the list acts on.
  enum {
    kRecordCreated = 1025,
    kRecordDeleted = 1027,
    kRecordChanged = 1030,
    kResetAll = 1032,
  };
  static constexpr double kUnset = -1.0;

  explicit CAppointmentsList(BOOL suspendNotifications = FALSE);
  // The process's list, made on first use; the month calendar owns another.
  static CAppointmentsList& GetGlobal();
  // The panel's notification, as WM_DBNOTIFICATION brought it. keep 0: the list frees
  // it (CeFreeNotification); keep 1: it is the caller's (a notification made from an
  // object-model event, which may carry the item identifier instead of the record).
  virtual BOOL OnDatabaseNotify(CENOTIFICATION* notification, BOOL keep);
  virtual BOOL ApplyNotification(CENOTIFICATION* notification, BOOL keep);
  ~CAppointmentsList() override;
  CAppointmentsList(const CAppointmentsList&) = delete;
  CAppointmentsList& operator=(const CAppointmentsList&) = delete;

  // Both bounds >= 0 set the range; anything else leaves it unset (both -1). The same
  // range again keeps what is loaded.
  void SetRange(double from, double to);
  double GetFrom() const { return m_from; }
  double GetTo() const { return m_to; }
  BOOL IsRangeSet() const { return m_from >= 0 && m_to >= 0; }
  void SetNotifyWindow(HWND window) { m_notifyWindow = m_suspended ? nullptr : window; }

  // Opens the database when needed and loads the range; FALSE when it cannot be opened.
  BOOL Open();
  BOOL IsLoaded() const { return m_loaded; }
  // Borrowed records (no reference taken); FALSE at the end.
  BOOL GetFirst(CAppointmentRecord** record);
  BOOL GetNext(CAppointmentRecord** record);
  int GetCount() const { return static_cast<int>(m_records.size()); }
  CAppointmentRecord* GetAt(int index) const { return m_records[index]; }
  int FindByItemId(DWORD itemId) const;
  int FindByRecordId(DWORD recordId) const;

  void Clear();
  void Close();
  void SetListener(IAppointmentsListener* listener) { m_listener = listener; }
  void RemoveListener() { m_listener = nullptr; }

  // Where requests to the item-operations program go (not owned); none: they fail.
  void SetRequests(IAppointmentRequests* requests) { m_requests = requests; }
  // Written straight into the record on the plain handle. FALSE when it cannot be.
  BOOL SetPrivate(const CAppointmentRecord* record, LONG value);
  // Statuses 0 to 3. A single appointment's is written straight into the store; a
  // recurring one's is asked of the item-operations program, for the occurrence or
  // (wholeSeries) the series.
  BOOL SetBusyStatus(const CAppointmentRecord* record, LONG status, BOOL wholeSeries = FALSE);
  // Both ask the item-operations program; the list changes when the store's
  // notification arrives.
  BOOL DeleteAppointment(const CAppointmentRecord* record, BOOL wholeSeries);
  BOOL SetReminder(const CAppointmentRecord* record, LONG minutes);

  // New times through the date and time dialog (owned by the panel window); a
  // recurring appointment first asks whether only this occurrence changes. FALSE
  // when cancelled or nothing could be asked.
  BOOL EditTimes(const CAppointmentRecord* record);
  // The notes in the note viewer beside rect; read from the store when the record
  // holds none in memory. FALSE when there are none or no viewer.
  BOOL ShowNotes(HWND owner, const RECT& rect, const CAppointmentRecord* record);
  void SetPanelWindow(HWND panel) { m_panelWindow = panel; }
  void SetNoteViewer(INoteViewer* viewer) { m_noteViewer = viewer; }
  // The occurrence question goes through this (null restores MessageBoxW).
  typedef int (*PFN_MESSAGE_BOX)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
  static PFN_MESSAGE_BOX SetMessageBoxHandler(PFN_MESSAGE_BOX handler);

  // End plus a day for an all-day appointment: where it stops taking the calendar.
  static double EffectiveEnd(const CAppointmentRecord& record);
  void RebuildBusyIntervals();

 private:
  struct Props;
  BOOL OpenHandles();
  // The series' master record by its item identifier; FALSE when it cannot be read.
  BOOL ReadMaster(DWORD itemId, CAppointmentRecord* master);
  // The whole read list, or only what places a record in time.
  void PrepareReadList(CDbRecord& reader, BOOL timesOnly) const;
  // Start, end, all-day, duration and recurring from either read list.
  void ReadTimes(const CDbRecord& reader, CAppointmentRecord* record) const;
  // Whether a walk in start order can stop at this record.
  BOOL PastRange(const CAppointmentRecord& record) const;
  // A single appointment that cannot touch the range (never a series).
  BOOL OutsideRange(const CAppointmentRecord& record) const;
  // Reads the record whole and keeps it (singles) or its occurrences (series).
  BOOL LoadWhole(CDbRecord& full, CEOID oid, BOOL singles, BOOL series);
  // Fills record from what reader holds; a recurring record with a decodable pattern
  // gets one (the caller owns it). FALSE when the record is to be skipped.
  BOOL FillRecord(const CDbRecord& reader, CEOID oid, CAppointmentRecord* record,
                  RecurrencePattern** pattern) const;
  void LoadLegacy();
  void LoadNewer();
  // Occurrences of the series over the range, appended to out.
  void Expand(CAppointmentRecord* master, RecurrencePattern* pattern,
              std::vector<CAppointmentRecord*>* out) const;
  // A fresh record read by its CE record, or null.
  CAppointmentRecord* ReadFresh(CEOID recordOid);
  BOOL OverlapsRange(const CAppointmentRecord& record) const;
  void Resort(int index);
  BOOL ReloadSeries(DWORD itemId, BOOL deletedOnly);
  void RemoveAt(int index);
  void Tell();

  std::vector<CAppointmentRecord*> m_records;
  BOOL m_loaded;
  int m_cursor;
  double m_from;
  double m_to;
  HANDLE m_notifyDb;
  HANDLE m_plainDb;
  HWND m_notifyWindow;
  BOOL m_suspended;
  CENOTIFYREQUEST m_request;
  LONG m_bias;
  // The device's zone as it was at the load, for every series it expands.
  TIME_ZONE_INFORMATION m_zone;
  IAppointmentsListener* m_listener;
  IAppointmentRequests* m_requests;
  HWND m_panelWindow = nullptr;
  INoteViewer* m_noteViewer = nullptr;
};
