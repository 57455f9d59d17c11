// CTabFilterMenu: the filter selector in a list tab's header: all items, the tab's
// recent filters sorted by text, and in its menu the tab's show options and the entry
// to the filter edit dialog. The tab's choice is a DWORD under the product key (a slot
// of the filter set, or -1 for all items); the show options are DWORDs there too, read
// at construction and written back after every choice.
#pragma once
#include <windows.h>

#include "controls/VirtualDropDown.h"
#include "panel/CategoryFilter.h"

// Commands of the selector's menu.
const int FILTER_CMD_ALL_ITEMS = 1;
const int FILTER_CMD_EDIT = static_cast<int>(0x80000001);
const int FILTER_CMD_TASKS_STYLE = 0x70000001;  // + style 0 to 3

// The switches of the show options, in the order of the selector's fields.
enum FilterShowSwitch {
  SHOW_COMPLETED_TASKS,
  SHOW_TASKS,
  SHOW_OVERDUE_TASKS,
  SHOW_UNDATED_TASKS,
  SHOW_FREE_APPOINTMENTS,
  SHOW_PAST_APPOINTMENTS,
  SHOW_EMPTY_DAYS,
  SHOW_TRANSACTIONS,
  SHOW_EMAILS,
  SHOW_BIRTHDAYS,
  SHOW_TODAY_ALWAYS,
  SHOW_PHOTO_CONTACTS,
  SHOW_SWITCH_COUNT
};

class CTabFilterMenu : public CVirtualDropDown {
 public:
  // Runs the filter edit dialog over owner for the kind and the tab's choice value;
  // its answer (2: nothing stored).
  typedef int (*FilterEditor)(HWND owner, int kind, LPCWSTR choiceValue);
  // Returns the previous editor; without one the edit entry stores nothing.
  static FilterEditor SetFilterEditor(FilterEditor editor);
  // Whether the scheduled-transactions library is there (tests replace it).
  typedef BOOL (*LibraryTest)();
  static LibraryTest SetTransactionsLibraryTest(LibraryTest test);

  explicit CTabFilterMenu(int kind);
  ~CTabFilterMenu() override;

  void Load();
  // The tab's current filter: all items for -1 or a choice whose slot is free (the
  // choice is then reset to -1).
  void GetCurrentFilter(CCategoryFilter& filter);
  void GetSingleCategory(CBitSet& set);

  void FillMenuExtra(HMENU menu, int position) override;
  int OnItemChosen(int commandId) override;

  int GetKind() const { return m_kind; }
  int GetTasksStyle() const { return m_tasksStyle; }
  BOOL GetSwitch(FilterShowSwitch which) const { return m_switches[which]; }
  // Set by the tab: greys the past-appointments and overdue-tasks entries.
  void SetRestricting(BOOL restricting) { m_restricting = restricting; }
  LPCWSTR GetChoiceValueName() const { return m_choiceValue; }

  // The choice value of a filter kind ("TasksFilterID", ...); empty for kind 4 and
  // unknown kinds.
  static LPCWSTR ChoiceValueName(int kind);

  // The show options as stored: read at construction, and again when the tab loads
  // its settings anew (the options program may have changed them meanwhile).
  void ReadOptions();

 private:
  // The stored choice, -1 when missing or pointing at a free slot (then reset).
  int ReadChoice();
  void WriteOptions() const;
  HMENU BuildOptionsMenu() const;

  int m_tasksStyle;
  BOOL m_switches[SHOW_SWITCH_COUNT];
  BOOL m_restricting;
  CString m_choiceValue;
  int m_kind;
};
