#include "panel/TabFilterMenu.h"

#include <algorithm>
#include <vector>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "panel/TabFilterSet.h"
#include "pim/SystemUtils.h"
#include "res/TarvoResIds.h"

namespace {

CTabFilterMenu::FilterEditor g_editor = nullptr;
CTabFilterMenu::LibraryTest g_libraryTest = nullptr;

BOOL TransactionsLibraryPresent() { return g_libraryTest ? g_libraryTest() : IsPellamPresent(); }

// One show option: which kind shows it, where it is stored, and its menu entry.
struct ShowOption {
  int kind;
  LPCWSTR value;
  DWORD defaultValue;
  UINT text;  // 0: no menu entry
  DWORD command;
  FilterShowSwitch which;
  bool libraryDependent;
  bool separatorBefore;
  bool tasksRelated;  // greyed and unchecked while show tasks is off
  bool greyedByRestriction;
};

const ShowOption kOptions[] = {
    {FILTER_KIND_CALENDAR, L"CalendarShowPastAppts", 1, IDS_FILTER_SHOW_PAST_APPTS, 0x80000006,
     SHOW_PAST_APPOINTMENTS, false, false, false, true},
    {FILTER_KIND_CALENDAR, L"CalendarShowFreeAppts", 1, IDS_FILTER_SHOW_FREE_APPTS, 0x8000000C,
     SHOW_FREE_APPOINTMENTS, false, false, false, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowEmptyDays", 0, IDS_FILTER_SHOW_EMPTY_DAYS, 0x80000007, SHOW_EMPTY_DAYS,
     false, false, false, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowEmails", 1, IDS_FILTER_SHOW_EMAILS, 0x8000000D, SHOW_EMAILS, false,
     false, false, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowTransactions", 1, IDS_FILTER_SHOW_TRANSACTIONS, 0x8000000A,
     SHOW_TRANSACTIONS, true, false, false, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowBirthdays", 1, IDS_FILTER_SHOW_BIRTHDAYS, 0x8000000B, SHOW_BIRTHDAYS,
     false, false, false, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowTasks", 1, IDS_SECTION_TASKS, 0x80000004, SHOW_TASKS, false, true, false,
     false},
    {FILTER_KIND_CALENDAR, L"CalendarShowOverdueTasks", 1, IDS_FILTER_SHOW_OVERDUE_TASKS, 0x80000005,
     SHOW_OVERDUE_TASKS, false, false, true, true},
    {FILTER_KIND_CALENDAR, L"CalendarShowCompletedTasks", 0, IDS_FILTER_SHOW_COMPLETED_TASKS, 0x80000002,
     SHOW_COMPLETED_TASKS, false, false, true, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowUndatedTasks", 0, IDS_FILTER_SHOW_UNDATED_TASKS, 0x80000008,
     SHOW_UNDATED_TASKS, false, false, true, false},
    {FILTER_KIND_CALENDAR, L"CalendarShowTodayAlways", 1, 0, 0x80000009, SHOW_TODAY_ALWAYS, false, false, false,
     false},
    {FILTER_KIND_CONTACTS, L"ContactsShowPhotoContacts", 0, IDS_FILTER_SHOW_PHOTO_CONTACTS, 0x8000000E,
     SHOW_PHOTO_CONTACTS, false, false, false, false},
    {FILTER_KIND_SPECIAL, L"SpecialShowTransactions", 1, IDS_FILTER_SHOW_TRANSACTIONS, 0x8000000A,
     SHOW_TRANSACTIONS, true, false, false, false},
    {FILTER_KIND_SPECIAL, L"SpecialShowBirthdays", 1, IDS_FILTER_SHOW_BIRTHDAYS, 0x8000000B, SHOW_BIRTHDAYS,
     false, false, false, false},
};

const UINT kTasksStyleTexts[4] = {IDS_FILTER_TASKS_STYLE_0, IDS_FILTER_TASKS_STYLE_1, IDS_FILTER_TASKS_STYLE_2,
                                  IDS_SORT_CATEGORY};

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

}  // namespace

CTabFilterMenu::FilterEditor CTabFilterMenu::SetFilterEditor(FilterEditor editor) {
  FilterEditor old = g_editor;
  g_editor = editor;
  return old;
}

CTabFilterMenu::LibraryTest CTabFilterMenu::SetTransactionsLibraryTest(LibraryTest test) {
  LibraryTest old = g_libraryTest;
  g_libraryTest = test;
  return old;
}

LPCWSTR CTabFilterMenu::ChoiceValueName(int kind) {
  switch (kind) {
    case FILTER_KIND_TASKS:
      return L"TasksFilterID";
    case FILTER_KIND_CALENDAR:
      return L"CalendarFilterID";
    case FILTER_KIND_CONTACTS:
      return L"ContactsFilterID";
    case FILTER_KIND_NOTES:
      return L"NotesFilterID";
    case FILTER_KIND_SPECIAL:
      return L"SpecialFilterID";
    default:
      return L"";
  }
}

CTabFilterMenu::CTabFilterMenu(int kind)
    : m_tasksStyle(1), m_restricting(FALSE), m_choiceValue(ChoiceValueName(kind)), m_kind(kind) {
  std::fill(m_switches, m_switches + SHOW_SWITCH_COUNT, FALSE);
  ReadOptions();
}

CTabFilterMenu::~CTabFilterMenu() = default;

void CTabFilterMenu::ReadOptions() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (m_kind == FILTER_KIND_TASKS) {
    const DWORD style = key.GetDWORD(L"Tasks_ShowTasksStyle", 1);
    m_tasksStyle = style <= 3 ? static_cast<int>(style) : 1;
  }
  const BOOL library = TransactionsLibraryPresent();
  for (const ShowOption& o : kOptions) {
    if (o.kind != m_kind) continue;
    if (o.libraryDependent && !library) {
      m_switches[o.which] = FALSE;
      continue;
    }
    m_switches[o.which] = key.GetDWORD(o.value, o.defaultValue) != 0;
  }
}

void CTabFilterMenu::WriteOptions() const {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (m_kind == FILTER_KIND_TASKS) key.SetDWORD(L"Tasks_ShowTasksStyle", static_cast<DWORD>(m_tasksStyle));
  const BOOL library = TransactionsLibraryPresent();
  for (const ShowOption& o : kOptions)
    if (o.kind == m_kind && (!o.libraryDependent || library)) key.SetDWORD(o.value, m_switches[o.which] ? 1 : 0);
}

int CTabFilterMenu::ReadChoice() {
  if (m_choiceValue.IsEmpty()) return -1;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  int choice = static_cast<int>(key.GetDWORD(m_choiceValue, static_cast<DWORD>(-1)));
  if (choice == -1) return -1;
  CTabFilterSet set;
  set.Load();
  if (!set.IsUsed(choice)) {
    key.SetDWORD(m_choiceValue, static_cast<DWORD>(-1));
    choice = -1;
  }
  return choice;
}

void CTabFilterMenu::GetCurrentFilter(CCategoryFilter& filter) {
  const int choice = ReadChoice();
  if (choice < 0) {
    filter = CCategoryFilter();
    filter.all = TRUE;
    return;
  }
  CTabFilterSet set;
  set.Load();
  filter.Parse(set.GetText(choice));
}

void CTabFilterMenu::GetSingleCategory(CBitSet& out) {
  CCategoryFilter filter;
  GetCurrentFilter(filter);
  const int single = filter.GetSingleCategory();
  if (single >= 0) out.Set(single);
}

void CTabFilterMenu::Load() {
  RemoveAllItems();
  AddItem(CMenuEntry(FILTER_CMD_ALL_ITEMS, Text(m_kind == FILTER_KIND_TASKS ? IDS_FILTER_ALL_TASKS
                                                                           : IDS_FILTER_ALL_ITEMS)));
  const int choice = ReadChoice();
  CTabFilterSet set;
  set.Load();
  const CRecentFilterList& recent = set.GetRecentList(m_kind);
  std::vector<int> shown;
  for (int i = 0; i < recent.GetCount() && i < 7; ++i) shown.push_back(recent.GetAt(i));
  // An entry moves behind the next one only when it compares greater: a stable sort.
  std::stable_sort(shown.begin(), shown.end(), [&set](int a, int b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                          set.GetText(a), -1, set.GetText(b), -1) == CSTR_LESS_THAN;
  });
  for (int index : shown) {
    CCategoryFilter filter;
    filter.Parse(set.GetText(index));
    AddItem(CMenuEntry(index + 2, filter.name));
  }
  SetCaption(Text(IDS_PERIOD_TITLE));
  SetSelection(choice + 2, FALSE);
}

HMENU CTabFilterMenu::BuildOptionsMenu() const {
  HMENU popup = CreatePopupMenu();
  if (!popup) return nullptr;
  if (m_kind == FILTER_KIND_TASKS) {
    for (int s = 0; s < 4; ++s) {
      AppendMenuW(popup, MF_STRING | (s == m_tasksStyle ? MF_CHECKED : 0), FILTER_CMD_TASKS_STYLE + s,
                  Text(kTasksStyleTexts[s]));
    }
    CheckMenuRadioItem(popup, 0, 3, static_cast<UINT>(m_tasksStyle), MF_BYPOSITION);
    return popup;
  }
  const BOOL library = TransactionsLibraryPresent();
  const BOOL tasksOn = m_switches[SHOW_TASKS];
  for (const ShowOption& o : kOptions) {
    if (o.kind != m_kind || !o.text || (o.libraryDependent && !library)) continue;
    if (o.separatorBefore) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    BOOL checked = m_switches[o.which];
    BOOL greyed = FALSE;
    if (o.tasksRelated && !tasksOn) {
      checked = FALSE;
      greyed = TRUE;
    }
    if (o.greyedByRestriction && m_restricting) {
      greyed = TRUE;
      if (o.which == SHOW_PAST_APPOINTMENTS) checked = FALSE;
    }
    AppendMenuW(popup, MF_STRING | (checked ? MF_CHECKED : 0) | (greyed ? MF_GRAYED : 0), o.command, Text(o.text));
  }
  return popup;
}

void CTabFilterMenu::FillMenuExtra(HMENU menu, int position) {
  (void)position;
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(FILTER_CMD_EDIT)), Text(IDS_FILTER_EDIT));
  if (m_kind != FILTER_KIND_TASKS && m_kind != FILTER_KIND_CALENDAR && m_kind != FILTER_KIND_CONTACTS &&
      m_kind != FILTER_KIND_SPECIAL)
    return;
  HMENU popup = BuildOptionsMenu();
  if (!popup) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Text(IDS_PERIOD_TITLE));
}

int CTabFilterMenu::OnItemChosen(int command) {
  if (command == 0) return 0;
  const DWORD c = static_cast<DWORD>(command);
  BOOL handled = FALSE;
  if (c >= 0x70000001 && c <= 0x70000004) {
    m_tasksStyle = static_cast<int>(c - 0x70000001);
    handled = TRUE;
  }
  for (const ShowOption& o : kOptions) {
    if (!handled && o.kind == m_kind && o.command == c) {
      m_switches[o.which] = !m_switches[o.which];
      handled = TRUE;
    }
  }
  if (!handled && command == FILTER_CMD_EDIT) {
    const int answer = g_editor ? g_editor(GetActiveWindow(), m_kind, m_choiceValue) : 2;
    if (answer == 2) return -2;
    handled = TRUE;
  }
  if (!handled && command > 0 && !m_choiceValue.IsEmpty()) {
    CTabFilterSet set;
    set.Load();
    if (command == FILTER_CMD_ALL_ITEMS || set.IsUsed(command - 2)) {
      CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
      key.SetDWORD(m_choiceValue, static_cast<DWORD>(command - 2));
      if (command != FILTER_CMD_ALL_ITEMS) {
        CRecentFilterList& recent = set.GetRecentList(m_kind);
        recent.MoveToFront(command - 2);
        recent.Save();
      }
    }
  }
  WriteOptions();
  return CVirtualDropDown::OnItemChosen(command);
}
