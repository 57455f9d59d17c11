// CFilterEditDlg: the editor of the named category filters, opened from a list tab's
// filter selector with the tab's filter kind and the name of its choice value. It
// stores what it decides before it ends: the filter set, the kind's recent list and the
// tab's choice.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/CheckListView.h"
#include "controls/DialogBase.h"
#include "panel/CategoryFilter.h"
#include "panel/TabFilterSet.h"
#include "platform/windowlib/String.h"
#include "res/TarvoResIds.h"

class CFilterEditDlg : public CDialogBase {
 public:
  enum { IDD = IDD_FILTER_EDIT };
  // Longest name read from the name field, and the length a composed name is cut to.
  static constexpr int kMaxNameLength = 200;
  static constexpr int kComposedNameLimit = 30;

  CFilterEditDlg(LPCWSTR choiceValue, int kind);

  // 1 when something was stored or deleted, 2 otherwise (also when the dialog could not
  // be made).
  INT_PTR DoModal(HWND owner);
  // What the filter selector's edit entry runs.
  static int Run(HWND owner, int kind, LPCWSTR choiceValue);

  // Trailing digits read as n and taken off, a blank unless there is one, then n + 1.
  static void MakeUniqueName(CString& name);
  // A composed name longer than the limit: its first limit - 3 characters and "...".
  static void CutComposedName(CString& name);

  BEGIN_MSG_MAP(CFilterEditDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_HELP, OnHelp)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    COMMAND_HANDLER(IDC_FILTER_NAME, CBN_SELCHANGE, OnComboSelChange)
    COMMAND_HANDLER(IDC_FILTER_NAME, CBN_EDITCHANGE, OnNameEdited)
    COMMAND_HANDLER(IDC_FILTER_NAME, CBN_KILLFOCUS, OnNameKillFocus)
    COMMAND_ID_HANDLER(IDC_FILTER_DELETE, OnDelete)
    COMMAND_ID_HANDLER(IDC_FILTER_MARK_ALL, OnMarkAll)
    COMMAND_ID_HANDLER(IDC_FILTER_CLEAR_ALL, OnClearAll)
    COMMAND_ID_HANDLER(IDC_FILTER_MATCH_ANY, OnControlChanged)
    COMMAND_ID_HANDLER(IDC_FILTER_MATCH_ALL, OnControlChanged)
    COMMAND_ID_HANDLER(IDC_FILTER_EXCLUDE, OnControlChanged)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHelp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnComboSelChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnNameEdited(WORD, WORD, HWND, BOOL&);
  LRESULT OnNameKillFocus(WORD, WORD, HWND, BOOL&);
  LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
  LRESULT OnMarkAll(WORD, WORD, HWND, BOOL&);
  LRESULT OnClearAll(WORD, WORD, HWND, BOOL&);
  LRESULT OnControlChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  void FillRows();
  void FillCombo();
  void ShowFilter(const CCategoryFilter& filter);
  void ReadFilter(CCategoryFilter& filter);
  void ShowEntry(int entry);
  void Change();
  void SetAllMarks(BOOL marked);
  void SetName(LPCWSTR name);
  void Layout();
  // The row marked: in exclude mode the rows that do not belong to the filter.
  BOOL RowBelongs(int row, BOOL exclude);
  int CategoryCount() const;
  // The stored slot of a combo entry, -1 for entry 0 or beyond.
  int SlotOfEntry(int entry) const;
  void StoreChoice(int slot);

  CString m_choiceValue;
  int m_kind;
  CCheckListView m_list;
  BOOL m_filling = FALSE;
  BOOL m_nameTyped = FALSE;
  BOOL m_deleted = FALSE;
  BOOL m_changed = FALSE;
  int m_current = 0;
  HWND m_menuBar = nullptr;
  CCategoryFilter m_default;
  CTabFilterSet m_set;
  std::vector<int> m_sorted;
  // The category record of each row after row 0, in the rows' order.
  std::vector<int> m_rowCategories;
};
