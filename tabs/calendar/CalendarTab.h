// CCalendarTab: the panel's Calendar tab (identifier 1). Its header holds the period
// selector and the filter selector, its content is the day list. It listens to the
// lists whose items it shows and refreshes when they change in a way it shows,
// keeps the folds of its fixed groups, and carries the Calendar's context menu, new
// appointments and the application start.
#pragma once
#include <windows.h>

#include "panel/CategoryFilter.h"
#include "panel/ListPanelView.h"
#include "pim/CategoriesList.h"
#include "tabs/calendar/AppointmentsListener.h"
#include "tabs/calendar/CalendarDayList.h"
#include "tabs/calendar/DaySchedulePopup.h"
#include "tabs/contacts/ContactPopup.h"
#include "tabs/contacts/ContactsListener.h"
#include "tabs/tasks/TasksListener.h"

class CCalendarPeriodSelector;
class CTabFilterMenu;
class ICalendarDaySources;

class CCalendarTab : public CListPanelView,
                     private IAppointmentsListener,
                     private ITasksListener,
                     private IContactsListener,
                     private ICategoriesListener,
                     private IDayScheduleListener {
 public:
  enum {
    kTabIcon = 147,
    kCmdNewTask = 1040,
    kCmdNewAppointment = 1041,
    kCmdTasksProgram = 1020,
    kCmdCalendarProgram = 1021,
    kCmdUnfoldAll = 1022,
    kCmdFoldAll = 1023,
    kCmdUnfoldAllFolded = 1024,
    kCmdFoldAllFolded = 1025,
    kCmdTransactionsProgram = 1029,
    kCmdEmailProgram = 1030,
  };
  // Row events the tab acts on.
  enum {
    kEventTaskNote = 256,
    kEventAppointmentNotes = 512,
    kEventDaySchedule = 768,
    kEventForecast = 769,
    kEventContactPopup = 1026,
    kEventContactNotes = 1280,
    kEventCategories = 1552,
  };

  explicit CCalendarTab(CVirtualWnd* owner = nullptr);
  ~CCalendarTab() override;

  // Installs the tab's maker with the panel.
  static void Install();

  // Tab operations.
  BOOL ResetView(BOOL alreadyCurrent) override;
  void LoadSettings() override;
  void Activate() override;
  int GetTabId() override { return 1; }
  UINT GetTabIcon() override { return kTabIcon; }
  UINT GetTabIconId(int) override { return kTabIcon; }
  int GetSkinTabIndex() override { return 0; }
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;
  BOOL IsOneTap(CListItem* row) override;
  void GetApplicationArgs(CString& args) override;
  void NewItem() override;
  BOOL DeleteItem(CListItem*) override { return FALSE; }
  void GetApplicationName(CString& name) override { name = L"Calendar"; }
  void GetItemTypeName(CString& name) override { name = L"Appointment"; }
  BOOL OpenItem(CListItem*, BOOL) override { return FALSE; }
  void OnFilterChanged(BOOL flag) override;
  void LoadGroupBy() override {}
  int RebuildContent() override;
  CVirtualDropDown* CreateSortMenu() override;
  CVirtualDropDown* CreateFilterMenu() override;
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override;

  // Row events and folds.
  void OnItemNotify(CListItem* item, LPARAM value) override;
  // A tap on a birthday or anniversary row, by the contacts' one-tap mode: the list's
  // own way (0), the contact opened (1) or edited (2), or its popup (3 and more).
  void OnItemReleased(CListItem* item) override;
  void OnItemFolded(CListItem* item, BOOL folded) override;
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int commandId) override;

  // The time the shown list next changes: kept by the panel, whose clock refreshes
  // the lists once it has passed.
  void StartRefreshTimer(double time);

  // What the day list shows beside appointments and events (not owned); null: nothing.
  void SetDaySources(ICalendarDaySources* sources) { m_dayList.SetSources(sources); }
  CCalendarDayList& GetDayList() { return m_dayList; }
  CCalendarPeriodSelector* GetPeriodSelector() const;
  CContactPopup& GetContactPopup() { return m_popup; }
  CTabFilterMenu* GetFilterMenu() const;
  BOOL AreListenersRegistered() const { return m_registered; }
  BOOL IsOpenTasksSet() const { return m_openTasks; }
  // Now, for tests (0: the clock).
  static void SetClock(double now);

  // The seam of new items (kind 1 appointment, 3 task): the item-operations program's
  // client unless a test sets another.
  typedef BOOL (*PFN_NEW_ITEM)(int kind, const double* start, const double* end);
  static PFN_NEW_ITEM SetNewItemHandler(PFN_NEW_ITEM handler);

  // The listeners, public for the lists' tests of the tab's choices.
  void OnAppointmentsChanged() override;
  void OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) override;
  void OnTaskAdded(TASK_ITEM* task, int count) override;
  void OnTaskRemoved(TASK_ITEM* task, int count) override;
  void OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) override;
  void OnContactAdded(CONTACT_ITEM* contact, int count) override;
  void OnContactRemoved(CONTACT_ITEM* contact, int count) override;
  void OnCategoryAdded(int index) override;
  void OnCategoryDeleted(int index) override;
  void OnTimeSpanChosen(const SYSTEMTIME& start, const SYSTEMTIME& end) override;

 private:
  void RegisterListeners();
  void UnregisterListeners();
  BOOL TaskMatters(const TASK_ITEM* task) const;
  void RebuildAndShow();
  // The row's rectangle in the panel window's client coordinates.
  BOOL GetRowRect(CListItem* row, RECT* out);
  HWND PanelWindow();
  static double Now();

  BOOL m_registered;
  DWORD m_contactOneTap;
  BOOL m_openTasks;
  CContactPopup m_popup;
  CCategoryFilter m_filter;
  CDaySchedulePopup m_schedule;
  CCalendarDayList m_dayList;
  // The panel's fresh-view flag as the tab keeps it: set when made and when the day
  // changes.
  BOOL m_reset;
  LONG m_lastDay;
};
