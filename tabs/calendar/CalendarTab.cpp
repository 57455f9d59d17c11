#include "tabs/calendar/CalendarTab.h"

#include <math.h>

#include <new>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/GroupElement.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabFilterSet.h"
#include "panel/TabMakers.h"
#include "panel/TodayPanel.h"
#include "pim/OndrelClient.h"
#include "tabs/calendar/AppointmentItem.h"
#include "tabs/calendar/AppointmentItem2.h"
#include "tabs/calendar/AppointmentRowDialogs.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CalendarPeriodSelector.h"
#include "tabs/calendar/DayHeaderRow.h"
#include "tabs/calendar/OndrelAppointmentRequests.h"
#include "tabs/calendar/SovelLink.h"
#include "tabs/contacts/ContactCommands.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/SpecialEventItem.h"
#include "tabs/tasks/TaskItem.h"
#include "tabs/tasks/TasksList.h"

namespace {

const UINT kOverdueTitle = 73;
const int kEmailGroupKind = 560;
double g_clock = 0;

BOOL SendNewItem(int kind, const double* start, const double* end) {
  return COndrelClient::Instance().NewItemEx(kind, nullptr, start, end, nullptr, 0);
}
CCalendarTab::PFN_NEW_ITEM g_newItem = nullptr;
BOOL NewItemRequest(int kind, const double* start, const double* end) {
  return (g_newItem ? g_newItem : SendNewItem)(kind, start, end);
}

void AppendText(HMENU menu, UINT command, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING, command, text);
}

BOOL IsHeaderRowKind(int kind) {
  return kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}

void StoreFold(LPCWSTR name, BOOL folded) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  product.SetDWORD(name, folded ? 1 : 0);
}

}  // namespace

void CCalendarTab::SetClock(double now) { g_clock = now; }
double CCalendarTab::Now() { return g_clock ? g_clock : GetNowVariantTime(); }

CCalendarTab::PFN_NEW_ITEM CCalendarTab::SetNewItemHandler(PFN_NEW_ITEM handler) {
  PFN_NEW_ITEM previous = g_newItem;
  g_newItem = handler;
  return previous;
}

void CCalendarTab::Install() {
  SetTabMaker(TAB_CALENDAR, [](CVirtualWnd* owner) -> CScrollPanel* { return new (std::nothrow) CCalendarTab(owner); });
}

CCalendarTab::CCalendarTab(CVirtualWnd* owner)
    : CListPanelView(owner), m_registered(FALSE), m_contactOneTap(3), m_openTasks(FALSE), m_reset(TRUE), m_lastDay(0) {
  // Changes the rows ask for go to the item-operations program.
  CAppointmentsList& list = CAppointmentsList::GetGlobal();
  list.SetRequests(&COndrelAppointmentRequests::Instance());
}

CCalendarTab::~CCalendarTab() { UnregisterListeners(); }

void CCalendarTab::RegisterListeners() {
  if (m_registered) return;
  m_registered = TRUE;
  // The lists hear of the store's changes through the panel's window.
  if (HWND window = GetHwnd()) {
    CAppointmentsList::GetGlobal().SetNotifyWindow(window);
    CAppointmentsList::GetGlobal().SetPanelWindow(window);
    CContactsList::GetGlobal().SetNotifyWindow(window);
    CTasksList::GetGlobal().SetNotifyWindow(window);
  }
  CAppointmentsList::GetGlobal().SetListener(this);
  CTasksList::GetGlobal().AddListener(this);
  CContactsList::GetGlobal().AddListener(this);
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) categories->Subscribe(this);
}

void CCalendarTab::UnregisterListeners() {
  if (!m_registered) return;
  m_registered = FALSE;
  CAppointmentsList::GetGlobal().RemoveListener();
  CTasksList::GetGlobal().RemoveListener(this);
  CContactsList::GetGlobal().RemoveListener(this);
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) categories->Unsubscribe(this);
}

CCalendarPeriodSelector* CCalendarTab::GetPeriodSelector() const {
  return static_cast<CCalendarPeriodSelector*>(m_pSort);
}
CTabFilterMenu* CCalendarTab::GetFilterMenu() const { return static_cast<CTabFilterMenu*>(m_pFilter); }

CVirtualDropDown* CCalendarTab::CreateSortMenu() {
  auto* selector = new (std::nothrow) CCalendarPeriodSelector();
  if (selector) selector->SetStyle(DROPDOWN_ALIGN_LEFT);
  return selector;
}

CVirtualDropDown* CCalendarTab::CreateFilterMenu() { return new (std::nothrow) CTabFilterMenu(1); }

BOOL CCalendarTab::ResetView(BOOL alreadyCurrent) {
  if (!alreadyCurrent || !GetPeriodSelector()) return FALSE;
  GetPeriodSelector()->OnSelect(CCalendarPeriodSelector::kCmdPickDates);
  return TRUE;
}

void CCalendarTab::LoadSettings() {
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_dayList.foldOverdue = product.GetDWORD(L"CalendarFoldOverdueTasks", 1) != 0;
    m_dayList.foldUndated = product.GetDWORD(L"CalendarFoldUndatedTasks", 1) != 0;
    m_dayList.foldEmails = product.GetDWORD(L"CalendarFoldEmails", 1) != 0;
    m_contactOneTap = product.GetDWORD(L"ContactsOneTap", 3);
  }
  if (GetPeriodSelector()) GetPeriodSelector()->LoadSettings();
  CListPanelView::LoadSettings();
}

void CCalendarTab::Activate() {
  RegisterListeners();
  CListPanelView::Activate();
  m_openTasks = FALSE;
}

HWND CCalendarTab::PanelWindow() {
  HWND window = GetHwnd();
  return window ? window : GetAppointmentRowOwner();
}

void CCalendarTab::StartRefreshTimer(double time) {
  if (auto* panel = dynamic_cast<CTodayPanel*>(GetOwner())) panel->SetNextChangeTime(time);
}

int CCalendarTab::RebuildContent() {
  RegisterListeners();
  if (!m_pSort || !m_pFilter) CListPanelView::LoadSettings();
  SetAppointmentRowOwner(PanelWindow());
  CTabFilterMenu* filterMenu = GetFilterMenu();
  CCalendarPeriodSelector* period = GetPeriodSelector();
  if (filterMenu) {
    filterMenu->Load();
    filterMenu->GetCurrentFilter(m_filter);
  }
  CALENDAR_DAY_INPUTS inputs;
  inputs.now = Now();
  const LONG today = static_cast<LONG>(floor(inputs.now));
  if (period) {
    period->GetRange(&inputs.first, &inputs.last);
    inputs.flat = period->IsFlatMode();
  } else {
    inputs.first = inputs.last = today;
  }
  if (m_lastDay != today) m_reset = TRUE;
  inputs.reset = m_reset;
  inputs.filter = m_filter.IsUnrestricted() ? nullptr : &m_filter;
  if (filterMenu) {
    filterMenu->SetRestricting(inputs.first != today);
    inputs.showTasks = filterMenu->GetSwitch(SHOW_TASKS);
    inputs.showOverdue = filterMenu->GetSwitch(SHOW_OVERDUE_TASKS);
    inputs.showUndated = filterMenu->GetSwitch(SHOW_UNDATED_TASKS);
    inputs.showCompleted = filterMenu->GetSwitch(SHOW_COMPLETED_TASKS);
    inputs.showPast = filterMenu->GetSwitch(SHOW_PAST_APPOINTMENTS);
    inputs.showEmptyDays = filterMenu->GetSwitch(SHOW_EMPTY_DAYS);
    inputs.showTodayAlways = filterMenu->GetSwitch(SHOW_TODAY_ALWAYS);
    inputs.showBirthdays = filterMenu->GetSwitch(SHOW_BIRTHDAYS);
    inputs.showTransactions = filterMenu->GetSwitch(SHOW_TRANSACTIONS);
    inputs.showEmails = filterMenu->GetSwitch(SHOW_EMAILS);
  }
  const CViewSettings& settings = GetViewSettings();
  inputs.taskShowMultiday = settings.App_TaskShowMultiday;
  inputs.sovel = settings.AppGroup_Sovel != 0;
  inputs.defaultFold = settings.App_CollapseButToday != 0;
  double refreshAt = 0;
  CContainerElement* content = m_dayList.Build(this, m_pContent, inputs, &refreshAt);
  m_reset = FALSE;
  m_lastDay = today;
  if (content) SetContentList(content);
  if (refreshAt > 0) StartRefreshTimer(refreshAt);
  return CListPanelView::RebuildContent();
}

void CCalendarTab::RebuildAndShow() {
  RebuildContent();
  LayoutScrollBar();
  InvalidateContent(0);
}

void CCalendarTab::OnFilterChanged(BOOL) {
  if (CTabFilterMenu* filterMenu = GetFilterMenu()) {
    filterMenu->Load();
    filterMenu->GetCurrentFilter(m_filter);
  }
}

LRESULT CCalendarTab::OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) {
  if (sender && sender == m_pSort && code == CCalendarPeriodSelector::kChangedCode) {
    RebuildAndShow();
    return 0;
  }
  return CListPanelView::OnChildCommand(sender, code, param);
}

void CCalendarTab::OnSelectionChanged(CVirtualDropDown* selector, int commandId) {
  CListPanelView::OnSelectionChanged(selector, commandId);
  if (selector && selector == m_pFilter) RebuildAndShow();
}

void CCalendarTab::OnItemChosen(int commandId) {
  const DWORD command = static_cast<DWORD>(commandId);
  if (commandId == CCalendarPeriodSelector::kChangedCode || command == 0x80000001u || command == 0x80000002u ||
      (command >= 0x80000004u && command <= 0x8000000Du))
    RebuildAndShow();
  CListPanelView::OnItemChosen(commandId);
}

void CCalendarTab::FillContextMenu(HMENU menu, LPARAM argument) {
  CListItem* row = GetContextRow();
  if (row && row->GetKind() == ITEM_KIND_GROUP_HEADER) row = nullptr;
  // An item row fills its own menu.
  if (row && IsRecordRowKind(row->GetKind())) {
    CListPanelView::FillContextMenu(menu, argument);
    return;
  }
  CTabFilterMenu* filterMenu = GetFilterMenu();
  auto shown = [filterMenu](FilterShowSwitch which) { return !filterMenu || filterMenu->GetSwitch(which); };
  if (!row || row->GetKind() == CDayHeaderRow::kKind) {
    AppendText(menu, kCmdNewAppointment, 112);
    if (shown(SHOW_TASKS)) AppendText(menu, kCmdNewTask, 93);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  if (row && IsHeaderRowKind(row->GetKind())) {
    if (static_cast<CGroupElement*>(row)->IsFolded()) {
      AppendText(menu, kCmdUnfoldAllFolded, 97);
      AppendText(menu, kCmdFoldAllFolded, 98);
    } else {
      AppendText(menu, kCmdUnfoldAll, 95);
      AppendText(menu, kCmdFoldAll, 96);
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  AppendText(menu, kCmdCalendarProgram, 113);
  if (shown(SHOW_TASKS)) AppendText(menu, kCmdTasksProgram, 94);
  if (shown(SHOW_TRANSACTIONS)) AppendText(menu, kCmdTransactionsProgram, 178);
  if (shown(SHOW_EMAILS)) AppendText(menu, kCmdEmailProgram, 199);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  CListPanelView::FillContextMenu(menu, argument);
  if (IsHeaderMinimized() && GetPeriodSelector()) {
    HMENU period = CreatePopupMenu();
    if (period) {
      GetPeriodSelector()->FillMenuExtra(period, 0);
      CString title;
      LoadTranslatedString(title, 46);
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(period), title);
    }
  }
}

void CCalendarTab::OnMenuCommand(int command) {
  if (!m_registered) RegisterListeners();
  if (command == kCmdTasksProgram) m_openTasks = TRUE;
  if (IsHeaderMinimized() && GetPeriodSelector()) GetPeriodSelector()->OnSelect(command);
  CListPanelView::OnMenuCommand(command);
}

BOOL CCalendarTab::IsOneTap(CListItem* row) {
  if (row && row->GetKind() == ITEM_KIND_EVENT_ROW && m_contactOneTap == 0) return TRUE;
  return CListPanelView::IsOneTap(row);
}

void CCalendarTab::GetApplicationArgs(CString& args) {
  args = m_openTasks ? L"tasks" : L"calendar";
  m_openTasks = FALSE;
}

void CCalendarTab::NewItem() {
  const double start = Now() + 1.0;
  NewItemRequest(1, &start, nullptr);
}

BOOL CCalendarTab::GetRowRect(CListItem* row, RECT* out) {
  if (!row || !m_pContent) return FALSE;
  POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
  if (!m_pContent->GetItemRect(row, &origin, out)) return FALSE;
  if (IsGroupKind(row->GetKind()))
    if (auto* group = dynamic_cast<CGroupElement*>(row)) out->bottom = out->top + group->GetHeaderHeight();
  return TRUE;
}

void CCalendarTab::OnItemNotify(CListItem* item, LPARAM value) {
  CListPanelView::OnItemNotify(item, value);
  RECT rect;
  if (!item || !GetRowRect(item, &rect)) return;
  const int kind = item->GetKind();
  HWND window = PanelWindow();
  switch (value) {
    case kEventTaskNote:
      if (kind == ITEM_KIND_TASK)
        CTasksList::GetGlobal().ShowTaskNote(rect, window, static_cast<DWORD>(item->GetUserData()));
      break;
    case kEventAppointmentNotes:
      if (kind == ITEM_KIND_APPOINTMENT)
        CAppointmentsList::GetGlobal().ShowNotes(window, rect, static_cast<CAppointmentItem*>(item)->GetRecord());
      break;
    case kEventDaySchedule:
      if (kind == CDayHeaderRow::kKind) {
        auto* header = static_cast<CDayHeaderRow*>(item);
        CString title;
        header->GetTitle(title);
        m_schedule.SetDay(window, rect, title, header->GetDay(), this);
      }
      break;
    case kEventForecast:
      if (kind == CDayHeaderRow::kKind)
        OpenSovelDay(static_cast<int32_t>(static_cast<CDayHeaderRow*>(item)->GetDay() - floor(Now())));
      break;
    case kEventContactPopup:
      if (kind == ITEM_KIND_EVENT_ROW)
        if (CONTACT_ITEM* contact = static_cast<CAppointmentItem2*>(item)->FindContact())
          m_popup.Show(window, rect, contact);
      break;
    case kEventContactNotes:
      if (kind == ITEM_KIND_EVENT_ROW)
        if (CSpecialEventItem* event = static_cast<CAppointmentItem2*>(item)->GetRecord())
          CContactsList::GetGlobal().DisplayNote(window, rect, event->m_contactOid);
      break;
    case kEventCategories:
      if (kind == ITEM_KIND_APPOINTMENT) {
        CAppointmentRecord* record = static_cast<CAppointmentItem*>(item)->GetRecord();
        if (record)
          COndrelClient::Instance().EditItemCategories(POINT{rect.left, rect.bottom}, record->m_itemId,
                                                       record->m_subject, record->m_categories);
      } else if (kind == ITEM_KIND_EVENT_ROW) {
        if (CONTACT_ITEM* contact = static_cast<CAppointmentItem2*>(item)->FindContact()) {
          CString name;
          contact->GetDisplayName(name, FALSE, FALSE);
          COndrelClient::Instance().EditItemCategories(POINT{rect.left, rect.bottom}, contact->m_itemOid, name,
                                                       contact->m_categories);
        }
      }
      break;
    default:
      break;
  }
}

void CCalendarTab::OnItemReleased(CListItem* item) {
  if (!item || item->GetKind() != ITEM_KIND_EVENT_ROW || m_contactOneTap == 0) {
    CListPanelView::OnItemReleased(item);
    return;
  }
  if (m_contactOneTap == 1 || m_contactOneTap == 2) {
    if (CONTACT_ITEM* contact = static_cast<CAppointmentItem2*>(item)->FindContact())
      contact->DoCommand(m_contactOneTap == 1 ? 1001 : 1002);
    return;
  }
  OnItemNotify(item, kEventContactPopup);
}

void CCalendarTab::OnItemFolded(CListItem* item, BOOL folded) {
  if (item && item->GetKind() == ITEM_KIND_GROUP) {
    CString title, overdue;
    static_cast<CGroupElement*>(item)->GetTitle(title);
    LoadTranslatedString(overdue, kOverdueTitle);
    if (title == overdue) {
      m_dayList.foldOverdue = folded;
      StoreFold(L"CalendarFoldOverdueTasks", folded);
    } else {
      m_dayList.foldUndated = folded;
      StoreFold(L"CalendarFoldUndatedTasks", folded);
    }
  } else if (item && item->GetKind() == kEmailGroupKind) {
    m_dayList.foldEmails = folded;
    StoreFold(L"CalendarFoldEmails", folded);
  }
  CListPanelView::OnItemFolded(item, folded);
}

// ---- Listeners ----

void CCalendarTab::OnAppointmentsChanged() { RequestRefresh(); }

BOOL CCalendarTab::TaskMatters(const TASK_ITEM* task) const {
  if (!task) return FALSE;
  const BOOL undated = (task->start == 0 || task->start == kNoDate) && (task->due == 0 || task->due == kNoDate);
  if (!undated) return TRUE;
  const CTabFilterMenu* filterMenu = GetFilterMenu();
  return filterMenu && filterMenu->GetSwitch(SHOW_UNDATED_TASKS);
}

void CCalendarTab::OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) {
  if (!task && !previous) {
    RequestRefresh();
    return;
  }
  if (TaskMatters(task) || TaskMatters(previous)) RequestRefresh();
}

void CCalendarTab::OnTaskAdded(TASK_ITEM* task, int) {
  if (TaskMatters(task)) RequestRefresh();
}

void CCalendarTab::OnTaskRemoved(TASK_ITEM* task, int) {
  if (TaskMatters(task)) RequestRefresh();
}

namespace {
BOOL HasEvents(const CONTACT_ITEM* contact) {
  return contact && (contact->HasBirthday() || contact->HasAnniversary());
}
}  // namespace

void CCalendarTab::OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) {
  if ((!contact && !oldCopy) || HasEvents(contact) || HasEvents(oldCopy)) RequestRefresh();
}

void CCalendarTab::OnContactAdded(CONTACT_ITEM* contact, int) {
  if (HasEvents(contact)) RequestRefresh();
}

void CCalendarTab::OnContactRemoved(CONTACT_ITEM* contact, int) {
  if (HasEvents(contact)) RequestRefresh();
}

void CCalendarTab::OnCategoryAdded(int) {}

void CCalendarTab::OnCategoryDeleted(int) {
  // A filter naming the category must not keep it: the saved filters are read and
  // written back against the categories there are now.
  CTabFilterSet filters;
  filters.Load();
  filters.Save();
  RebuildAndShow();
}

void CCalendarTab::OnTimeSpanChosen(const SYSTEMTIME& start, const SYSTEMTIME& end) {
  double from = 0, to = 0;
  if (!SystemTimeToVariantDate(start, &from) || !SystemTimeToVariantDate(end, &to)) return;
  NewItemRequest(1, &from, &to);
}
