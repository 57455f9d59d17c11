#include "settings/pages/NotesCommonPage.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"

namespace {
const DWORD kGroupByValues[] = {501, 559, 551};
}

int CNotesCommonPage::GroupByItemFor(DWORD value) {
  for (int i = 0; i < 3; ++i)
    if (kGroupByValues[i] == value) return i;
  return 0;
}

DWORD CNotesCommonPage::GroupByValueFor(int item) {
  return item >= 0 && item < 3 ? kGroupByValues[item] : kGroupByValues[0];
}

BOOL CNotesCommonPage::OnInitPage() {
  GetViewSettings().Load();
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    SelectComboItem(m_hWnd, kNotesGroupByCombo, GroupByItemFor(key.GetDWORD(L"NotesGroupBy", 559)));
    SelectComboItem(m_hWnd, kNotesSortCombo, static_cast<int>(key.GetDWORD(L"NoteSortOrder", 1)));
    SelectComboItem(m_hWnd, kNotesOneTapCombo, static_cast<int>(key.GetDWORD(L"NotesOneTap", 2)));
  }
  m_layouts.Load(m_hWnd);
  return TRUE;
}

LRESULT CNotesCommonPage::OnLayoutChanged(WORD, WORD, HWND, BOOL&) {
  m_layouts.OnSelectionChanged(GetViewSettings().PhoneKeyb_DisableLangSwitch);
  return 0;
}

BOOL CNotesCommonPage::OnApply() {
  m_layouts.Save();
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"NotesGroupBy", GroupByValueFor(GetComboSelection(m_hWnd, kNotesGroupByCombo)));
    // A stored value the box has no item for selects nothing and is kept.
    const int oneTap = GetComboSelection(m_hWnd, kNotesOneTapCombo);
    if (oneTap >= 0) key.SetDWORD(L"NotesOneTap", static_cast<DWORD>(oneTap));
    const int sort = GetComboSelection(m_hWnd, kNotesSortCombo);
    if (sort >= 0) key.SetDWORD(L"NoteSortOrder", static_cast<DWORD>(sort));
  }
  GetViewSettings().Save();
  return TRUE;
}

void CNotesCommonPage::OnReset() { GetViewSettings().Load(); }
