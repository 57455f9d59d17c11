// The process's tasks: read straight from "Tasks Database" in either store layout,
// kept current from the database's change notifications, and told to the listeners.
// Also the small operations the task rows start: importance and privacy written into
// the store, completion, deletion and new dates through the item-operations program,
// the month popup to move a task, the note viewer, the dates dialog, and the older
// store's reminders with the system notification they register.
#pragma once
#include <windows.h>

#include <vector>

#include "base/DbRecord.h"
#include "controls/MonthPopup.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TaskNoteViewer.h"
#include "tabs/tasks/TaskSource.h"
#include "tabs/tasks/TasksListener.h"

class COndrelClient;

class CTasksList : public ITaskSource, private IDatePeriodListener {
 public:
  enum { kRecordDeleted = 1027, kReloadAll = 1032 };
  // The completed-tasks mark while completed tasks are not loaded.
  static constexpr double kCompletedNotLoaded = 50000.0;
  // A template's due date: 31 December 2999.
  static constexpr double kTemplateDue = 401768.0;
  // The month popup's mode when a task's due date is picked.
  static constexpr UINT kPickDueMode = 7;
  // What the reminder registers under.
  static constexpr const wchar_t* kNotificationApp = L"TASKS.EXE";

  CTasksList();
  ~CTasksList() override;
  CTasksList(const CTasksList&) = delete;
  CTasksList& operator=(const CTasksList&) = delete;
  static CTasksList& GetGlobal();

  // Where the database notifications go; used at the next open.
  void SetNotifyWindow(HWND window) { m_notifyWindow = window; }
  void CloseDatabase();
  void Reset();
  void AddListener(ITasksListener* listener);
  void RemoveListener(ITasksListener* listener);

  // Loads what is asked for, rewinds and gives the first task (borrowed); FALSE when empty.
  BOOL EnsureLoaded(TASK_ITEM** first, BOOL includeCompleted, double date) override;
  BOOL GetNextTask(TASK_ITEM** task);
  // The templates (Pocket Informant's task templates, by subject).
  BOOL GetNextItem(TASK_ITEM** item);
  DWORD GetItemField(int index) const;
  int GetTaskCount() const override { return static_cast<int>(m_tasks.size()); }
  TASK_ITEM* GetTaskAt(int index) const override { return m_tasks[index]; }
  int GetTemplateCount() const { return static_cast<int>(m_templates.size()); }
  TASK_ITEM* GetTemplateAt(int index) const { return m_templates[index]; }
  BOOL IsLoaded() const { return m_loaded; }
  double GetCompletedMark() const { return m_completedMark; }
  // Index in the tasks array, else (asked) in the templates array (*inTemplates set),
  // else -1. The item identifier in the older store, the record's in the newer.
  int FindByOid(DWORD oid, BOOL templatesToo, BOOL* inTemplates = nullptr) const;

  // A database notification. byHand: the caller's (made from an object-model event,
  // which may carry the item identifier); otherwise the list frees it.
  void OnDBNotification(CENOTIFICATION* notification, BOOL byHand);

  // Written straight into the record; FALSE when it cannot be.
  BOOL SetImportance(DWORD oid, int importance);
  BOOL SetPrivate(DWORD oid, int value);
  // Asked of the item-operations program (which toggles completion: nothing is sent
  // when the task already is as asked). The list changes when the notification comes.
  LRESULT CompleteTask(DWORD oid, BOOL complete);
  LRESULT DeleteTask(DWORD oid);
  // The note viewer beside place; FALSE when the task has no note or cannot be read.
  BOOL ShowTaskNote(const RECT& place, HWND owner, DWORD oid);
  // The month popup over place at the task's due date; the chosen day moves the task.
  BOOL PickDueDate(DWORD oid, HWND owner, const RECT& place);
  void OnDateChosen(double date);
  // The task dates dialog (modal); TRUE when its new dates were sent or written.
  BOOL EditTaskDates(DWORD oid, LPCWSTR title, HWND owner);

  // Older store reminders (the newer store keeps the time with the task).
  double GetReminderTime(DWORD oid, BOOL repair);
  BOOL UpdateReminder(DWORD oid, double reminder);
  // The system notification for a reminder; its handle, 0 when none was registered.
  DWORD SetReminderNotification(LPCWSTR subject, double start, double due, double reminder);

  // Seams: the item-operations client (default the process's), the note viewer and
  // the month popup (default the dialogs' one). Not owned.
  void SetClient(COndrelClient* client) { m_client = client; }
  void SetNoteViewer(ITaskNoteViewer* viewer) { m_noteViewer = viewer; }
  void SetMonthPopup(IMonthPopup* popup) { m_monthPopup = popup; }

 private:
  void OnPeriodChosen(double from, double) override { OnDateChosen(from); }

  BOOL OpenHandles();
  void PrepareReadList(CDbRecord& reader) const;
  // Fills item from what reader holds (oid: the CE record). FALSE: not a task.
  BOOL FillItem(const CDbRecord& reader, CEOID oid, TASK_ITEM* item);
  void ApplyPocketInformant(TASK_ITEM* item, double completed) const;
  BOOL Load(BOOL skipCompleted);
  void InsertTemplate(TASK_ITEM* item);
  COndrelClient& Client() const;
  BOOL IsPocketInformant() const;
  // The record of oid (item identifier in the newer store) on the plain handle, read
  // with the read list; its CE record or 0.
  CEOID ReadByOid(CDbRecord& reader, DWORD oid) const;
  BOOL WriteValue(DWORD oid, CEPROPID id, LONG value);

  HANDLE m_notifyDb;
  HANDLE m_plainDb;
  HWND m_notifyWindow;
  CENOTIFYREQUEST m_request;
  std::vector<TASK_ITEM*> m_tasks;
  std::vector<TASK_ITEM*> m_templates;
  size_t m_taskCursor;
  size_t m_templateCursor;
  BOOL m_loaded;
  double m_completedMark;
  std::vector<ITasksListener*> m_listeners;
  ITaskNoteViewer* m_noteViewer;
  IMonthPopup* m_monthPopup;
  COndrelClient* m_client;
  DWORD m_pickingOid;
};
