#include "tabs/tasks/TasksTab.h"

#include "base/DateTime.h"
#include "base/MergeSort.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "controls/GroupHeaderItem.h"
#include "panel/FoldingState.h"
#include "panel/SortMenu.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabMakers.h"
#include "pim/OndrelClient.h"
#include "res/TarvoResIds.h"
#include "tabs/tasks/TaskReminder.h"
#include "tabs/tasks/TaskRowRenderer.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/TasksNotifyWnd.h"

namespace {

const int kTaskKind = 13;
const int kNewTaskType = 3;
const double kNoOccurrence = 949998.0;
const int kFilterKindTasks = 0;

// The group-by selector's entries, in its order.
const int kGroupByEntries[7][2] = {{kGroupByCategory, IDS_SORT_CATEGORY},    {kGroupByComplete, IDS_TASKS_GROUP_COMPLETE},
                                   {kGroupByDue, IDS_TASKS_GROUP_DUE},        {kGroupByImportance, IDS_SORT_IMPORTANCE},
                                   {kGroupByPrivate, IDS_TASKS_GROUP_PRIVATE}, {kGroupByStart, IDS_TASKS_GROUP_START},
                                   {kGroupByNone, IDS_GROUP_BY_NONE}};

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

BOOL IsGroupByValue(int value) { return value == kGroupByNone || (value >= kGroupByCategory && value <= kGroupByPrivate); }

BOOL IsFoldableKind(int kind) {
  return kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}

}  // namespace

CTasksTab::CTasksTab(CVirtualWnd* owner, ITaskSource* source, CTasksList* list)
    : CListPanelView(owner),
      m_source(source),
      m_list(list),
      m_categories(nullptr),
      m_registered(FALSE),
      m_mode(0),
      m_groupBy(kDefaultGroupBy),
      m_today(0) {
  if (!m_list && !m_source) m_list = &CTasksList::GetGlobal();
  if (!m_source) m_source = m_list;
}

CTasksTab::~CTasksTab() {
  // The rows go before the listeners: nothing may reach a half-destroyed tab.
  SetContentList(nullptr);
  if (m_registered && m_list) m_list->RemoveListener(this);
  if (m_categories && m_categories == CCategoriesList::GetCurrent()) m_categories->Unsubscribe(this);
}

CScrollPanel* CTasksTab::Make(CVirtualWnd* owner) { return new CTasksTab(owner); }

void CTasksTab::Install() { SetTabMaker(TAB_TASKS, &CTasksTab::Make); }

void CTasksTab::EnsureRegistered() {
  if (m_registered) return;
  m_registered = TRUE;
  if (m_list) {
    // The database's changes reach the list through a window of its own.
    m_sink.reset(new CTasksNotifyWnd(m_list));
    m_sink->Attach();
    m_list->AddListener(this);
  }
  m_categories = CCategoriesList::GetCurrent();
  if (m_categories) m_categories->Subscribe(this);
  CTaskRowRenderer::SetCommandWindow(GetHwnd());
}

int CTasksTab::ValidateGroupBy(int value) {
  if (value >= kGroupByCategory && value <= kGroupByPrivate) return value;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"TasksGroupBy", kGroupByNone);
  return kGroupByNone;
}

void CTasksTab::LoadGroupBy() {
  int value;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    value = static_cast<int>(key.GetDWORD(L"TasksGroupBy", kDefaultGroupBy));
  }
  m_groupBy = value == kGroupByNone ? kGroupByNone : ValidateGroupBy(value);
  if (!m_pSort) return;
  m_pSort->RemoveAllItems();
  for (const auto& entry : kGroupByEntries) m_pSort->AddItem(CMenuEntry(entry[0], Text(static_cast<UINT>(entry[1]))));
  m_pSort->SetCaption(Text(IDS_GROUP_BY_LABEL));
  m_pSort->SetSelection(m_groupBy, FALSE);
}

CVirtualDropDown* CTasksTab::CreateSortMenu() {
  auto* menu = new CSortMenu(kFilterKindTasks);
  menu->SetStyle(DROPDOWN_ALIGN_LEFT);
  return menu;
}

CVirtualDropDown* CTasksTab::CreateFilterMenu() {
  auto* menu = new CTabFilterMenu(kFilterKindTasks);
  menu->Load();
  return menu;
}

int CTasksTab::FilterChoice() const { return m_pFilter ? m_pFilter->GetSelectedId() : 0; }

void CTasksTab::ReadFilter() {
  m_filter = CCategoryFilter();
  m_mode = 0;
  if (auto* filter = static_cast<CTabFilterMenu*>(m_pFilter)) {
    filter->GetCurrentFilter(m_filter);
    m_mode = filter->GetTasksStyle();
  }
  if (m_mode < 0 || m_mode > 3) m_mode = 0;
}

void CTasksTab::ConfigureQuery(CTaskQuery& query) const {
  if (m_today) query.SetToday(m_today);
  query.SetFilter(&m_filter, m_mode == 0 || m_mode == 3);
  query.SetMode(m_mode);
  if (m_mode == 1) query.SetTodayReference();
}

void CTasksTab::ApplySortLetters(CTaskQuery& query) const {
  CString letters;
  if (auto* sort = static_cast<CSortMenu*>(m_pSort)) letters = sort->GetActiveOrderText();
  for (int i = letters.GetLength() - 1; i >= 0; --i) {
    switch (letters[i]) {
      case L'C': query.AddSortKeyComplete(); break;
      case L'D': query.AddSortKeyDueDateAsc(); break;
      case L'd': query.AddSortKeyDueDateDesc(); break;
      case L'I': query.AddSortKeyImportance(); break;
      case L'T': query.AddSortKeyStartDate(); break;
      default: break;
    }
  }
}

CTaskRowRenderer* CTasksTab::NewRow(TASK_ITEM* task, CContainerElement* parent) {
  return new CTaskRowRenderer(task, parent);
}

void CTasksTab::ShowNoTasksHeader() {
  if (m_pContent && m_pContent->GetChildCount() == 0)
    m_pContent->AddChild(new CGroupHeaderItem(m_pContent, Text(IDS_TASKS_NONE)));
}

void CTasksTab::RemoveNoTasksHeader() {
  if (!m_pContent) return;
  for (int i = m_pContent->GetChildCount() - 1; i >= 0; --i)
    if (m_pContent->GetChild(i)->GetKind() == ITEM_KIND_GROUP_HEADER) m_pContent->RemoveChild(i);
}

int CTasksTab::RebuildContent() {
  EnsureRegistered();
  LoadGroupBy();
  ReadFilter();
  auto* content = new CContainerElement(this);
  SetContentList(content);
  m_strategy = CTaskGroupStrategy::Make(m_groupBy);
  m_filterQuery.reset();
  m_sortQuery.reset();
  if (!m_strategy) return CListPanelView::RebuildContent();
  if (m_today) m_strategy->SetToday(m_today);
  m_strategy->SetFilterCategory(m_filter.GetSingleCategory());

  CFoldingState folding;
  folding.Load(GetTabId(), FilterChoice());

  m_filterQuery.reset(new CTaskQuery(m_source));
  ConfigureQuery(*m_filterQuery);
  m_sortQuery.reset(new CTaskQuery(m_source));
  ApplySortLetters(*m_sortQuery);

  CTaskQuery query(m_source);
  ConfigureQuery(query);
  m_strategy->ApplySortKey(query);

  // The rows of each group are gathered first and sorted by the selector's keys.
  std::vector<std::pair<CContainerElement*, std::vector<TASK_ITEM*>>> groups;
  CListItem* last = nullptr;
  TASK_ITEM* task = nullptr;
  int category = -1;
  for (BOOL more = query.GetFirst(&task, &category); more; more = query.GetNext(&task, &category)) {
    CContainerElement* target = content;
    if (!m_strategy->IsFlat()) {
      CListItem* group = m_strategy->FindOrCreateGroup(content, last, task, category);
      if (!group) continue;
      if (group != last) {
        CListGroupHeader* header = AsListGroupHeader(group);
        CString key;
        if (header) header->GetKey(key);
        if (header && folding.Query(key)) header->SetState(TRUE, FALSE);
      }
      last = group;
      target = static_cast<CContainerElement*>(group);
    }
    if (groups.empty() || groups.back().first != target) groups.push_back({target, {}});
    groups.back().second.push_back(task);
  }
  if (groups.empty()) {
    ShowNoTasksHeader();
  } else {
    const CTaskQuery* keys = m_sortQuery.get();
    for (auto& group : groups) {
      std::vector<TASK_ITEM*>& tasks = group.second;
      MergeSort(tasks.data(), static_cast<int>(tasks.size()), keys,
                [](const CTaskQuery* q, TASK_ITEM* const& a, TASK_ITEM* const& b) { return q->Compare(a, b); });
      for (TASK_ITEM* t : tasks) group.first->AddChild(NewRow(t, group.first));
    }
  }
  return CListPanelView::RebuildContent();
}

BOOL CTasksTab::AddTaskRows(TASK_ITEM* task) {
  if (!task || !m_pContent || !m_strategy || !m_filterQuery || !m_filterQuery->Matches(task)) return FALSE;
  RemoveNoTasksHeader();
  std::vector<CContainerElement*> targets;
  if (m_strategy->IsFlat()) {
    targets.push_back(m_pContent);
  } else {
    std::vector<int> at;
    m_strategy->FindTaskGroups(at, m_pContent, task, TRUE);
    for (int index : at)
      if (CContainerElement* group = CContainerElement::AsContainer(m_pContent->GetChild(index)))
        targets.push_back(group);
  }
  for (CContainerElement* group : targets) {
    int position = group->GetChildCount();
    for (int i = 0; i < group->GetChildCount(); ++i) {
      CListItem* child = group->GetChild(i);
      if (child->GetKind() != ITEM_KIND_TASK) continue;
      if (m_sortQuery->Compare(static_cast<CTaskRowRenderer*>(child)->GetTask(), task) > 0) {
        position = i;
        break;
      }
    }
    group->InsertChild(position, NewRow(task, group));
  }
  if (targets.empty() && m_pContent->GetChildCount() == 0) ShowNoTasksHeader();
  return !targets.empty();
}

BOOL CTasksTab::RemoveTaskRows(DWORD oid, const TASK_ITEM* task) {
  if (!m_pContent) return FALSE;
  BOOL removed = FALSE;
  auto matches = [oid, task](CListItem* row) -> bool {
    if (row->GetKind() != ITEM_KIND_TASK) return false;
    const TASK_ITEM* shown = static_cast<CTaskRowRenderer*>(row)->GetTask();
    return shown == task || (shown && oid && shown->itemOid == oid);
  };
  for (int i = m_pContent->GetChildCount() - 1; i >= 0; --i) {
    CListItem* child = m_pContent->GetChild(i);
    if (matches(child)) {
      m_pContent->RemoveChild(i);
      removed = TRUE;
      continue;
    }
    CListGroupHeader* group = AsListGroupHeader(child);
    if (!group) continue;
    for (int j = group->GetChildCount() - 1; j >= 0; --j)
      if (matches(group->GetChild(j))) {
        group->RemoveChild(j);
        removed = TRUE;
      }
    if (group->GetChildCount() == 0) m_pContent->RemoveChild(i);
  }
  if (removed) ShowNoTasksHeader();
  return removed;
}

void CTasksTab::Repaint() {
  LayoutScrollBar();
  InvalidateContent(0);
}

void CTasksTab::OnTaskAdded(TASK_ITEM* task, int count) {
  if (AddTaskRows(task) && count) Repaint();
}

void CTasksTab::OnTaskChanged(TASK_ITEM* task, TASK_ITEM* previous) {
  if (!task && !previous) {
    RequestRefresh();
    return;
  }
  const DWORD oid = previous ? previous->itemOid : task->itemOid;
  const BOOL removed = RemoveTaskRows(oid, task);
  const BOOL added = AddTaskRows(task);
  if (removed || added) Repaint();
}

void CTasksTab::OnTaskRemoved(TASK_ITEM* task, int) {
  if (task && RemoveTaskRows(task->itemOid, task)) Repaint();
}

void CTasksTab::OnCategoryAdded(int) { RequestRefresh(); }
void CTasksTab::OnCategoryDeleted(int) { RequestRefresh(); }

void CTasksTab::OnSelectionChanged(CVirtualDropDown* selector, int commandId) {
  CListPanelView::OnSelectionChanged(selector, commandId);
  if (selector != m_pSort || !IsGroupByValue(commandId) || commandId == m_groupBy) return;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"TasksGroupBy", static_cast<DWORD>(commandId));
  }
  RefreshNow();
}

void CTasksTab::OnItemChosen(int commandId) {
  CListPanelView::OnItemChosen(commandId);
  // A filter, a task mode, a sort order or an edited filter: the rows follow. A new
  // group-by value was followed when it was selected.
  if (commandId == 0 || (IsGroupByValue(commandId) && commandId == m_groupBy)) return;
  RefreshNow();
}

void CTasksTab::OnItemNotify(CListItem* item, LPARAM value) {
  if (value == CTaskRowRenderer::kNotifyShowNote && item && item->GetKind() == ITEM_KIND_TASK && m_pContent) {
    const POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
    RECT place = {};
    if (m_pContent->GetItemRect(item, &origin, &place)) {
      if (HWND window = GetHwnd()) {
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&place), 2);
        if (m_list) m_list->ShowTaskNote(place, window, static_cast<DWORD>(item->GetUserData()));
      }
    }
    return;
  }
  CListPanelView::OnItemNotify(item, value);
}

void CTasksTab::NewItem() { COndrelClient::Instance().NewItemEx(kNewTaskType, nullptr, nullptr, nullptr, nullptr, 0); }

BOOL CTasksTab::OpenItem(CListItem* row, BOOL edit) {
  if (!row || row->GetKind() != ITEM_KIND_TASK) return FALSE;
  return COndrelClient::Instance().DisplayItem(kTaskKind, static_cast<DWORD>(row->GetUserData()), edit,
                                               kNoOccurrence);
}

void CTasksTab::FillContextMenu(HMENU menu, LPARAM argument) {
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, kCmdNewTask, Text(IDS_TASKS_MENU_NEW));
  // The templates of the other PIM, when it has any.
  const int templates = m_list ? m_list->GetTemplateCount() : 0;
  if (templates > 0) {
    if (HMENU sub = CreatePopupMenu()) {
      for (int i = 0; i < templates && i < 100; ++i)
        if (TASK_ITEM* t = m_list->GetTemplateAt(i)) AppendMenuW(sub, MF_STRING, kCmdFirstTemplate + i, t->subject);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), Text(IDS_TASKS_MENU_TEMPLATES));
    }
  }
  AppendMenuW(menu, MF_STRING, kCmdOpenTasks, Text(IDS_TASKS_MENU_OPEN_PROGRAM));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  CListItem* row = GetContextRow();
  if (row && IsFoldableKind(row->GetKind())) {
    auto* group = static_cast<CGroupElement*>(row);
    if (group->IsFolded()) {
      AppendMenuW(menu, MF_STRING, kCmdUnfoldGroup, Text(IDS_MENU_UNFOLD_GROUP));
      AppendMenuW(menu, MF_STRING, kCmdUnfoldAll, Text(IDS_MENU_UNFOLD_ALL));
    } else {
      AppendMenuW(menu, MF_STRING, kCmdFoldGroup, Text(IDS_MENU_FOLD_GROUP));
      AppendMenuW(menu, MF_STRING, kCmdFoldAll, Text(IDS_MENU_FOLD_ALL));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  CListPanelView::FillContextMenu(menu, argument);
  if (m_pSort && !IsHeaderHidden() && !IsHeaderMinimized()) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (HMENU groupBy = CreatePopupMenu()) {
      for (int i = 0; i < m_pSort->GetCount(); ++i) {
        const CMenuEntry& entry = m_pSort->GetItem(i);
        AppendMenuW(groupBy, MF_STRING | (entry.id == m_groupBy ? MF_CHECKED : 0), static_cast<UINT>(entry.id),
                    entry.text);
      }
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(groupBy), Text(IDS_GROUP_BY_LABEL));
    }
    if (HMENU sort = CreatePopupMenu()) {
      const int active = CSortMenu::GetActiveOrder(m_groupBy);
      std::vector<CString> orders;
      CSortMenu::BuildOrderEntries(CSortMenu::GetOrders(m_groupBy), active, TRUE, orders);
      for (int i = 0; i < static_cast<int>(orders.size()) && i < 30; ++i)
        if (!orders[i].IsEmpty())
          AppendMenuW(sort, MF_STRING | (i == active ? MF_CHECKED : 0), static_cast<UINT>(SORT_CMD_ORDER + i),
                      CSortMenu::OrderText(orders[i]));
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sort), Text(IDS_TASKS_SORT_BY));
    }
  }
}

void CTasksTab::OnMenuCommand(int command) {
  if (m_pSort && (IsGroupByValue(command) || (command >= SORT_CMD_ORDER && command < SORT_CMD_ORDER + 30))) {
    m_pSort->OnItemChosen(command);
    return;
  }
  if (command >= kCmdFirstTemplate && command < kCmdFirstTemplate + 100 && m_list) {
    // A new task from the template: the other PIM takes the template's word.
    const int index = command - kCmdFirstTemplate;
    const DWORD option = index < m_list->GetTemplateCount() ? m_list->GetItemField(index) : 0;
    COndrelClient::Instance().NewItemEx(kNewTaskType, nullptr, nullptr, nullptr, nullptr, option);
    return;
  }
  CListPanelView::OnMenuCommand(command);
}
