// CCalendarDayList: builds the Calendar tab's content for a period: the unread
// e-mail, overdue and undated task groups, then one day group per day holding that
// day's contact events, the appointments that run over it (each day its own row),
// its tasks and its scheduled transactions. It remembers the folds of the groups
// from one build to the next.
#pragma once
#include <windows.h>

#include <set>

#include "pim/CategoryFilter.h"

class CAppointmentsList;
class CContainerElement;
class CContactsList;
class CListItem;
class IListItemOwner;
class ICalendarDaySources;
class ITaskSource;

// What one build reads: the period, the switches of the filter selector and the view
// settings, now and the filter.
struct CALENDAR_DAY_INPUTS {
  LONG first = 0;
  LONG last = 0;
  BOOL flat = FALSE;
  double now = 0;  // local time
  const ICategoryFilter* filter = nullptr;
  // The panel's fresh-view flag: today's group unfolds and remembered days are dropped.
  BOOL reset = FALSE;
  BOOL showTasks = TRUE;
  BOOL showOverdue = TRUE;
  BOOL showUndated = FALSE;
  BOOL showCompleted = FALSE;
  BOOL showPast = TRUE;
  BOOL showEmptyDays = FALSE;
  BOOL showTodayAlways = TRUE;
  BOOL showBirthdays = TRUE;
  BOOL showTransactions = TRUE;
  BOOL showEmails = TRUE;
  int taskShowMultiday = 3;  // "App_TaskShowMultiday"
  BOOL sovel = TRUE;         // "AppGroup_Sovel"
  BOOL defaultFold = FALSE;  // the day groups' default fold
};

class CCalendarDayList {
 public:
  enum { kEmptyText = 41, kOverdueText = 73, kUndatedText = 179, kEmailText = 224 };

  CCalendarDayList();

  // Where the rows come from (not owned); null: the process's lists, no other sources.
  void SetAppointmentsList(CAppointmentsList* list) { m_appointments = list; }
  void SetContactsList(CContactsList* list) { m_contacts = list; }
  void SetTaskSource(ITaskSource* tasks) { m_tasks = tasks; }
  void SetSources(ICalendarDaySources* sources) { m_sources = sources; }
  // The sources of a day list given none (not owned; null: no other rows): the
  // plug-in library's, over the other tabs' lists.
  static void SetDefaultSources(ICalendarDaySources* sources);

  // Reads the folds of the old content (when given), then builds the new one with
  // owner as its owner. *refreshAt: the time today's list next changes (0: none).
  CContainerElement* Build(IListItemOwner* owner, CContainerElement* oldContent, const CALENDAR_DAY_INPUTS& inputs,
                           double* refreshAt);

  // Folds of the fixed groups (the tab keeps them in the registry too).
  BOOL foldOverdue = TRUE;
  BOOL foldUndated = TRUE;
  BOOL foldEmails = TRUE;
  BOOL GetTodayFold() const { return m_todayFold; }
  const std::set<LONG>& GetRememberedDays() const { return m_remembered; }

 private:
  void RememberFolds(CContainerElement* old, LONG today, BOOL defaultFold);

  CAppointmentsList* m_appointments = nullptr;
  CContactsList* m_contacts = nullptr;
  ITaskSource* m_tasks = nullptr;
  ICalendarDaySources* m_sources = nullptr;
  BOOL m_todayFold = FALSE;
  // Days whose fold differs from the default fold.
  std::set<LONG> m_remembered;
};
