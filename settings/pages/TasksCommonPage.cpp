#include "settings/pages/TasksCommonPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "res/TarvoResIds.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/TaskLineMode.h"
#include "settings/shell/ChoiceTable.h"

namespace {

// The items as they stand, untranslated, with the number each stands for.
struct SubjectItem {
  LPCWSTR text;
  int number;
};
const SubjectItem kSubjectItems[] = {{L"Whole subject", 1}, {L"Whole subject for selected", 3}, {L"One line", 2}};

const IdChoice kTasksStyles[] = {{0, IDS_FILTER_TASKS_STYLE_0},
                                 {1, IDS_FILTER_TASKS_STYLE_1},
                                 {2, IDS_FILTER_TASKS_STYLE_2},
                                 {3, IDS_SORT_CATEGORY},
                                 {0, -1}};

}  // namespace

int CTasksCommonPage::SubjectItemFor(int number) {
  for (int i = 0; i < static_cast<int>(sizeof(kSubjectItems) / sizeof(kSubjectItems[0])); ++i)
    if (kSubjectItems[i].number == number) return i;
  return -1;
}

BOOL CTasksCommonPage::OnInitPage() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  TickBox(m_hWnd, kTaskCompletedMessageBox, key.GetDWORD(L"Task_DisplayComplMsg", 1) != 0);
  HWND subject = GetDlgItem(kTaskSubjectCombo);
  ::SendMessageW(subject, CB_RESETCONTENT, 0, 0);
  for (const SubjectItem& item : kSubjectItems) {
    const LRESULT index = ::SendMessageW(subject, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text));
    ::SendMessageW(subject, CB_SETITEMDATA, static_cast<WPARAM>(index), item.number);
  }
  SelectComboItem(m_hWnd, kTaskSubjectCombo, SubjectItemFor(CTaskLineMode::Get(GetParent())));
  HWND style = GetDlgItem(kTasksStyleCombo);
  ::SendMessageW(style, CB_RESETCONTENT, 0, 0);
  FillComboFromTable(kTasksStyles, style);
  const DWORD stored = key.GetDWORD(L"Tasks_ShowTasksStyle", 1);
  // A style the box has no item for selects nothing and is kept.
  m_tasksStyle = stored < 4 ? static_cast<int>(stored) : -1;
  SelectComboItem(m_hWnd, kTasksStyleCombo, m_tasksStyle);
  TickBox(m_hWnd, kTasksAllCategoriesBox, GetViewSettings().ShowTasksInAllCategories != 0);
  return TRUE;
}

BOOL CTasksCommonPage::OnSetActive() {
  // The view-style page may have changed the number since.
  SelectComboItem(m_hWnd, kTaskSubjectCombo, SubjectItemFor(CTaskLineMode::Get(GetParent())));
  return COptionsPage<CTasksCommonPage>::OnSetActive();
}

LRESULT CTasksCommonPage::OnSubjectChanged(WORD, WORD, HWND, BOOL&) {
  const int number = GetSelectedComboData(m_hWnd, kTaskSubjectCombo, 0);
  if (number > 0) CTaskLineMode::Set(GetParent(), number);
  return 0;
}

LRESULT CTasksCommonPage::OnStyleChanged(WORD, WORD, HWND, BOOL&) {
  const int index = GetComboSelection(m_hWnd, kTasksStyleCombo);
  if (index >= 0) m_tasksStyle = index;
  return 0;
}

LRESULT CTasksCommonPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  CTaskLineMode::Forget(GetParent());
  handled = FALSE;
  return 0;
}

BOOL CTasksCommonPage::OnApply() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"Task_DisplayComplMsg", IsBoxTicked(m_hWnd, kTaskCompletedMessageBox) ? 1 : 0);
  CViewSettings& view = GetViewSettings();
  view.ShowTasksInAllCategories = IsBoxTicked(m_hWnd, kTasksAllCategoriesBox) ? 1 : 0;
  const int number = CTaskLineMode::Get(GetParent());
  if (number > 0) view.TaskPattern.count = number;
  view.Save();
  if (m_tasksStyle >= 0) key.SetDWORD(L"Tasks_ShowTasksStyle", static_cast<DWORD>(m_tasksStyle));
  return TRUE;
}
