#include "tabs/calendar/CalendarDayList.h"

#include <math.h>

#include <new>
#include <vector>

#include "base/DateTime.h"
#include "base/Translator.h"
#include "controls/ContainerElement.h"
#include "controls/GroupElement.h"
#include "controls/GroupHeaderItem.h"
#include "panel/GroupHeaderRow.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/calendar/AppointmentItem2.h"
#include "tabs/calendar/AppointmentQuery.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CalendarDaySources.h"
#include "tabs/calendar/DayHeaderRow.h"
#include "tabs/calendar/SovelLink.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/tasks/TaskQuery.h"
#include "tabs/tasks/TasksList.h"

ICalendarDaySources& GetNullDaySources() {
  static ICalendarDaySources none;
  return none;
}

namespace {
ICalendarDaySources* g_defaultSources = nullptr;
}  // namespace

void CCalendarDayList::SetDefaultSources(ICalendarDaySources* sources) { g_defaultSources = sources; }

namespace {


CString LoadText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

BOOL IsLeapYear(int year) { return DaysInMonth(year, 2) == 29; }

SYSTEMTIME Parts(double day) {
  SYSTEMTIME parts = {};
  VariantDateToSystemTime(day, &parts);
  return parts;
}

// The task queries of the day list, all with the filter, sorted by the due date first.
void PrepareTaskQuery(CTaskQuery& query, const CALENDAR_DAY_INPUTS& inputs, BOOL includeCompleted, BOOL completeKey) {
  query.SetFilter(inputs.filter, includeCompleted);
  query.AddSortKeySubject();
  query.AddSortKeyImportance();
  if (completeKey) query.AddSortKeyComplete();
  query.AddSortKeyDueDateAsc();
}

// Whether "App_TaskShowMultiday" puts a task spanning [start, due] on day d.
BOOL SpanningTaskShownOn(int mode, double start, double due, double d, double today) {
  if (d < start || d > due) return FALSE;
  const BOOL running = d == today;
  switch (mode) {
    case 0: return d == start || running;
    case 1: return d == due;
    case 2: return d == start || d == due || running;
    default: return TRUE;
  }
}

}  // namespace

CCalendarDayList::CCalendarDayList() = default;

void CCalendarDayList::RememberFolds(CContainerElement* old, LONG today, BOOL defaultFold) {
  const CString overdueTitle = LoadText(kOverdueText);
  for (int i = 0; i < old->GetChildCount(); ++i) {
    CListItem* child = old->GetChild(i);
    const int kind = child->GetKind();
    if (kind == ITEM_KIND_GROUP) {
      CGroupElement* group = static_cast<CGroupElement*>(child);
      CString title;
      group->GetTitle(title);
      if (title == overdueTitle)
        foldOverdue = group->IsFolded();
      else
        foldUndated = group->IsFolded();
    } else if (kind == ITEM_KIND_GENERAL_HEADER) {
      foldEmails = static_cast<CGroupElement*>(child)->IsFolded();
    } else if (kind == CDayHeaderRow::kKind) {
      CDayHeaderRow* header = static_cast<CDayHeaderRow*>(child);
      const LONG day = static_cast<LONG>(header->GetDay());
      if (day == today)
        m_todayFold = header->IsFolded();
      else if (header->IsFolded() != defaultFold)
        m_remembered.insert(day);
      else
        m_remembered.erase(day);
    }
  }
}

CContainerElement* CCalendarDayList::Build(IListItemOwner* owner, CContainerElement* oldContent,
                                           const CALENDAR_DAY_INPUTS& inputs, double* refreshAt) {
  if (refreshAt) *refreshAt = 0;
  CAppointmentsList& appointments = m_appointments ? *m_appointments : CAppointmentsList::GetGlobal();
  CContactsList& contacts = m_contacts ? *m_contacts : CContactsList::GetGlobal();
  ICalendarDaySources& sources = m_sources ? *m_sources : g_defaultSources ? *g_defaultSources : GetNullDaySources();
  ITaskSource* taskSource = m_tasks ? m_tasks : &CTasksList::GetGlobal();

  const LONG first = inputs.first, last = inputs.last >= inputs.first ? inputs.last : inputs.first;
  appointments.SetRange(first, last + 1.0);
  const double now = inputs.now;
  const LONG today = static_cast<LONG>(floor(now));
  const BOOL startsToday = first == today;
  const BOOL pastFilter = startsToday && !inputs.showPast;

  if (oldContent) RememberFolds(oldContent, today, inputs.defaultFold);
  if (inputs.reset) {
    m_todayFold = FALSE;
    m_remembered.clear();
  }

  // Forecast days.
  BOOL forecast = FALSE;
  int32_t forecastFirst = 0, forecastLast = -1;
  if (inputs.sovel && ::GetSovelState() == kSovelReady)
    forecast = GetSovelForecastRange(&forecastFirst, &forecastLast);

  // Tasks.
  CTaskQuery undated(taskSource), overdue(taskSource), single(taskSource), spanning(taskSource);
  const BOOL runUndated = inputs.showTasks && inputs.showUndated;
  const BOOL runOverdue = inputs.showTasks && inputs.showOverdue && startsToday;
  if (runUndated) {
    PrepareTaskQuery(undated, inputs, inputs.showCompleted, TRUE);
    undated.SetUndatedOnly(TRUE);
  }
  if (runOverdue) {
    PrepareTaskQuery(overdue, inputs, FALSE, FALSE);
    overdue.SetDateFilter(1.0, today - 1.0);
  }
  if (inputs.showTasks) {
    PrepareTaskQuery(single, inputs, inputs.showCompleted, TRUE);
    single.SetDateFilter(first, last);
    single.SetExcludeSpanning(TRUE);
    PrepareTaskQuery(spanning, inputs, inputs.showCompleted, TRUE);
    spanning.SetDueFilter(first, last);
  }
  std::vector<TASK_ITEM*> singles, spans;
  if (inputs.showTasks) {
    TASK_ITEM* task = nullptr;
    for (BOOL more = single.GetFirst(&task); more; more = single.GetNext(&task)) singles.push_back(task);
    for (BOOL more = spanning.GetFirst(&task); more; more = spanning.GetNext(&task)) spans.push_back(task);
  }

  // Appointments: every record the query gives, less what the past filter hides.
  std::vector<CAppointmentRecord*> records;
  {
    CAppointmentQuery query(&appointments);
    query.SetRange(first, last + 1.0);
    query.SetCategoryFilter(inputs.filter);
    query.SetSkipContactEvents(inputs.showBirthdays);
    query.SetContactsList(&contacts);
    CAppointmentRecord* record = nullptr;
    while (query.GetNext(&record))
      if (!pastFilter || CAppointmentsList::EffectiveEnd(*record) > now) records.push_back(record);
  }
  size_t cursor = 0;
  std::vector<CAppointmentRecord*> ongoing;
  while (cursor < records.size() && records[cursor]->m_start < first) ongoing.push_back(records[cursor++]);

  // Transactions.
  int transactionCount = 0, transaction = 0;
  if (inputs.showTransactions) transactionCount = sources.SetTransactionRange(first, last + 1.0);

  CContainerElement* content = new (std::nothrow) CContainerElement(owner);
  if (!content) return nullptr;

  // E-mail group: the accounts with unread messages (flat: their rows straight into
  // the content); no such account, no group.
  if (inputs.showEmails) {
    CGroupHeaderRow* group = nullptr;
    if (!inputs.flat) group = new (std::nothrow) CGroupHeaderRow(content, LoadText(kEmailText), L"", 0);
    if (group || inputs.flat) {
      std::vector<CListItem*> rows;
      int messages = 0, unread = 0;
      sources.MakeEmailRows(group ? static_cast<IListItemOwner*>(group) : content, rows, &messages, &unread);
      for (CListItem* row : rows) (group ? static_cast<CContainerElement*>(group) : content)->AddChild(row);
      if (group && rows.empty()) {
        delete group;
      } else if (group) {
        group->SetDisplayCount(messages);
        group->SetUnreadCount(unread);
        group->SetState(foldEmails, FALSE);
        content->AddChild(group);
      }
    }
  }
  // Overdue and undated groups (flat: their rows straight into the content).
  auto addTaskGroup = [&](CTaskQuery& query, UINT titleId, BOOL folded, BOOL needsRows) {
    CGroupElement* group = nullptr;
    IListItemOwner* rowOwner = content;
    if (!inputs.flat) {
      group = new (std::nothrow) CGroupElement(content, LoadText(titleId));
      if (!group) return;
      rowOwner = group;
    }
    int rows = 0;
    TASK_ITEM* task = nullptr;
    for (BOOL more = query.GetFirst(&task); more; more = query.GetNext(&task))
      if (CListItem* row = sources.MakeTaskRow(task, rowOwner, FALSE, FALSE)) {
        (group ? static_cast<CContainerElement*>(group) : content)->AddChild(row);
        ++rows;
      }
    if (!group) return;
    if (rows == 0 && needsRows) {
      delete group;
      return;
    }
    group->SetState(folded, FALSE);
    content->AddChild(group);
  };
  if (runOverdue) addTaskGroup(overdue, kOverdueText, foldOverdue, TRUE);
  if (runUndated) addTaskGroup(undated, kUndatedText, foldUndated, FALSE);

  // Contact events: the first day places the cursor, each later day moves it on.
  std::vector<CSpecialEventItem*> events;
  size_t singleCursor = 0;
  double earliestEnd = 0;
  for (LONG d = first; d <= last; ++d) {
    CDayHeaderRow* header = nullptr;
    CContainerElement* target = content;
    if (!inputs.flat) {
      header = new (std::nothrow) CDayHeaderRow(content, d, today);
      if (!header) continue;
      target = header;
    }
    IListItemOwner* rowOwner = target;
    auto add = [&](CListItem* row) {
      if (row && !target->AddChild(row)) delete row;
    };
    const double dayStart = d, dayEnd = d + 1.0;

    if (header && forecast && d >= today + forecastFirst && d <= today + forecastLast)
      header->RequestSovelIcon(static_cast<int>(d - today));

    if (inputs.showBirthdays) {
      if (d == first) {
        contacts.GetEventsOfDay(d, events);
      } else {
        contacts.GetNextEventDay(events);
        // In a year without 29 February the events of that day are passed over.
        const SYSTEMTIME parts = Parts(d);
        if (parts.wMonth == 3 && parts.wDay == 1 && !IsLeapYear(parts.wYear)) contacts.GetNextEventDay(events);
      }
      for (CSpecialEventItem* event : events) {
        if (!event || event->m_date >= dayEnd) continue;
        if (inputs.filter) {
          CONTACT_ITEM* contact = contacts.FindByOid(event->m_contactOid);
          if (contact && !inputs.filter->Matches(contact->m_categories)) continue;
        }
        CAppointmentItem2* row = new (std::nothrow) CAppointmentItem2(event, rowOwner, 0);
        if (!row) continue;
        row->SetDay(d);
        add(row);
      }
    }

    const int appointmentRowsBefore = target->GetChildCount();
    std::vector<double> todaysEnds;
    // Appointments that began on an earlier day, each clipped to this one.
    for (size_t i = 0; i < ongoing.size();) {
      CAppointmentRecord* record = ongoing[i];
      const double effectiveEnd = CAppointmentsList::EffectiveEnd(*record);
      double from = record->m_start, to = record->m_end;
      if (!record->m_allDay) {
        if (from < dayStart) from = dayStart;
        if (to > dayEnd) to = dayEnd;
      }
      CAppointmentItem* row =
          new (std::nothrow) CAppointmentItem(record, appointments.HasConflict(from, to, *record), rowOwner);
      if (row) {
        row->SetDay(d);
        row->SetPast(effectiveEnd < now);
        add(row);
        todaysEnds.push_back(effectiveEnd);
      }
      if (effectiveEnd <= dayEnd)
        ongoing.erase(ongoing.begin() + static_cast<std::ptrdiff_t>(i));
      else
        ++i;
    }
    // The appointments starting on this day.
    while (cursor < records.size() && records[cursor]->m_start < dayEnd) {
      CAppointmentRecord* record = records[cursor++];
      const double effectiveEnd = CAppointmentsList::EffectiveEnd(*record);
      CAppointmentItem* row = new (std::nothrow)
          CAppointmentItem(record, appointments.HasConflict(record->m_start, record->m_end, *record), rowOwner);
      if (row) {
        row->SetDay(d);
        row->SetPast(effectiveEnd < now);
        add(row);
        todaysEnds.push_back(effectiveEnd);
      }
      if (effectiveEnd > dayEnd) ongoing.push_back(record);
    }
    // Today's next change: the earliest end still to come today.
    if (d == today && target->GetChildCount() > appointmentRowsBefore)
      for (double end : todaysEnds)
        if (end > now && end < dayEnd && (earliestEnd == 0 || end < earliestEnd)) earliestEnd = end;

    if (inputs.showTasks) {
      for (; singleCursor < singles.size(); ++singleCursor) {
        TASK_ITEM* task = singles[singleCursor];
        if (!(task->due < dayEnd)) break;
        add(sources.MakeTaskRow(task, rowOwner, TRUE, TRUE));
      }
      for (TASK_ITEM* task : spans)
        if (SpanningTaskShownOn(inputs.taskShowMultiday, floor(task->start), floor(task->due), d, today))
          add(sources.MakeTaskRow(task, rowOwner, floor(task->due) == d, TRUE));
    }
    for (; transaction < transactionCount; ++transaction) {
      if (sources.GetTransactionDay(transaction) > d) break;
      add(sources.MakeTransactionRow(transaction, rowOwner));
    }

    if (!header) continue;
    const BOOL keep = header->GetChildCount() > 0 || inputs.showEmptyDays || (d == today && inputs.showTodayAlways);
    if (!keep) {
      delete header;
      continue;
    }
    BOOL folded = inputs.defaultFold;
    if (d == today)
      folded = m_todayFold;
    else if (m_remembered.count(d))
      folded = !inputs.defaultFold;
    header->SetState(folded, FALSE);
    header->UpdateSpanBar(&appointments);
    if (!content->AddChild(header)) delete header;
  }
  if (refreshAt) *refreshAt = earliestEnd;

  if (content->GetChildCount() == 0)
    if (CGroupHeaderItem* empty = new (std::nothrow) CGroupHeaderItem(content, LoadText(kEmptyText)))
      if (!content->AddChild(empty)) delete empty;
  return content;
}
