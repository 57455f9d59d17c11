#include "settings/pages/LayoutCombo.h"

#include "base/Translator.h"
#include "settings/pages/LayoutSelectDlg.h"

namespace {

const UINT kNoLayoutText = 276;
const UINT kChooseLayoutsText = 277;

INT_PTR RunLayoutDialog(HWND owner, CKeyLayoutList& layouts, int& disableLangSwitch) {
  CLayoutSelectDlg dialog(layouts, disableLangSwitch);
  return dialog.DoModal(owner);
}

PFN_LAYOUT_SELECT g_runner = &RunLayoutDialog;

}  // namespace

PFN_LAYOUT_SELECT SetLayoutSelectRunner(PFN_LAYOUT_SELECT runner) {
  PFN_LAYOUT_SELECT previous = g_runner;
  g_runner = runner ? runner : &RunLayoutDialog;
  return previous;
}

void CLayoutCombo::Load(HWND page) {
  m_page = page;
  m_layouts.RemoveAll();
  int active = -1;
  CKeyLayouts::Instance().LoadGroupLayouts(m_group, m_layouts, active);
  Fill(active >= 0 && active < m_layouts.GetSize() ? m_layouts[active] : nullptr);
}

void CLayoutCombo::Fill(CKeyLayout* active) {
  m_entries.clear();
  m_kinds.clear();
  m_selected = 0;
  CKeyLayouts& all = CKeyLayouts::Instance();
  for (int i = 0; i < m_layouts.GetSize(); ++i) {
    if (active && m_layouts[i] == active) m_selected = i;
    m_entries.push_back({m_layouts[i], all.GetLayoutName(m_layouts[i])});
    m_kinds.push_back(kLayoutEntry);
  }
  CString text;
  LoadUIString(text, kNoLayoutText);
  if (!active) m_selected = static_cast<int>(m_entries.size());
  m_entries.push_back({nullptr, text});
  m_kinds.push_back(kNoneEntry);
  LoadUIString(text, kChooseLayoutsText);
  m_entries.push_back({nullptr, text});
  m_kinds.push_back(kChooseEntry);
  // An active layout that is not among the chosen ones selects the first item.
  if (active && m_selected >= static_cast<int>(m_entries.size()) - 2) m_selected = 0;
  HWND combo = ::GetDlgItem(m_page, m_combo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const Entry& entry : m_entries) {
    const LRESULT item =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(entry.text)));
    ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(entry.layout));
  }
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(m_selected), 0);
}

void CLayoutCombo::OnSelectionChanged(int& disableLangSwitch) {
  const int index = static_cast<int>(::SendDlgItemMessageW(m_page, m_combo, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= static_cast<int>(m_kinds.size())) return;
  if (m_kinds[size_t(index)] != kChooseEntry) {
    m_selected = index;
    return;
  }
  CKeyLayout* previous = m_entries[size_t(m_selected)].layout;
  HWND owner = ::GetActiveWindow();
  if (g_runner(owner ? owner : m_page, m_layouts, disableLangSwitch) == IDOK) {
    Fill(previous);
  } else {
    ::SendDlgItemMessageW(m_page, m_combo, CB_SETCURSEL, static_cast<WPARAM>(m_selected), 0);
  }
}

BOOL CLayoutCombo::Save() {
  const int index = static_cast<int>(::SendDlgItemMessageW(m_page, m_combo, CB_GETCURSEL, 0, 0));
  int active = -1;
  if (index >= 0 && index < static_cast<int>(m_kinds.size()) && m_kinds[size_t(index)] == kLayoutEntry) active = index;
  return CKeyLayouts::Instance().SaveGroupLayouts(m_group, m_layouts, active);
}
