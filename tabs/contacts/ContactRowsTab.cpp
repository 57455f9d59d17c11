#include "tabs/contacts/ContactRowsTab.h"

#include "base/RegKey.h"
#include "base/Translator.h"
#include "controls/GroupElement.h"
#include "panel/ListGroupHeader.h"
#include "panel/SortMenu.h"
#include "panel/TabFilterMenu.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactsList.h"

CContactRowsTab::CContactRowsTab(CVirtualWnd* owner, CContactsList* contacts, int filterKind, LPCWSTR groupByName,
                                 const GROUP_BY_CHOICE* choices, int choiceCount, int initial, int fallback)
    : CListPanelView(owner),
      m_contacts(contacts),
      m_popup(contacts),
      m_oneTap(3),
      m_groupBy(initial),
      m_filterKind(filterKind),
      m_groupByName(groupByName),
      m_choices(choices),
      m_choiceCount(choiceCount),
      m_initialGroupBy(initial),
      m_fallbackGroupBy(fallback) {
  m_filter.all = TRUE;
}

CContactsList& CContactRowsTab::Contacts() const { return m_contacts ? *m_contacts : CContactsList::GetGlobal(); }

void CContactRowsTab::LoadOneTap() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_oneTap = static_cast<int>(key.GetDWORD(L"ContactsOneTap", 3));
  SetOneTap(static_cast<DWORD>(m_oneTap));
}

// --- the selectors ----------------------------------------------------------------------

BOOL CContactRowsTab::IsGroupByChoice(int value) const {
  for (int i = 0; i < m_choiceCount; ++i)
    if (m_choices[i].value == value) return TRUE;
  return FALSE;
}

int CContactRowsTab::ValidGroupBy(int value) const { return IsGroupByChoice(value) ? value : m_fallbackGroupBy; }

void CContactRowsTab::LoadGroupBy() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const int stored = static_cast<int>(key.GetDWORD(m_groupByName, static_cast<DWORD>(m_initialGroupBy)));
  m_groupBy = ValidGroupBy(stored);
  if (m_groupBy != stored) key.SetDWORD(m_groupByName, static_cast<DWORD>(m_groupBy));
  if (m_pSort) m_pSort->SetSelection(m_groupBy, FALSE);
}

CVirtualDropDown* CContactRowsTab::CreateSortMenu() {
  auto* menu = new CSortMenu(m_filterKind);
  menu->SetStyle(DROPDOWN_ALIGN_LEFT);
  menu->SetCaption(TranslatedText(79));
  for (int i = 0; i < m_choiceCount; ++i)
    menu->AddItem(CMenuEntry(m_choices[i].value, TranslatedText(m_choices[i].text)));
  return menu;
}

CVirtualDropDown* CContactRowsTab::CreateFilterMenu() {
  auto* menu = new CTabFilterMenu(m_filterKind);
  menu->Load();
  return menu;
}

CTabFilterMenu& CContactRowsTab::ReadCategoryFilter(std::unique_ptr<CTabFilterMenu>& standIn) {
  auto* filter = dynamic_cast<CTabFilterMenu*>(m_pFilter);
  if (!filter) {
    standIn.reset(new CTabFilterMenu(m_filterKind));
    filter = standIn.get();
  }
  m_filter = CCategoryFilter();
  m_filter.all = TRUE;
  filter->GetCurrentFilter(m_filter);
  return *filter;
}

void CContactRowsTab::OnSelectionChanged(CVirtualDropDown* selector, int commandId) {
  if (selector && selector == m_pSort && IsGroupByChoice(commandId)) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(m_groupByName, static_cast<DWORD>(commandId));
    return;
  }
  CListPanelView::OnSelectionChanged(selector, commandId);
}

void CContactRowsTab::OnItemChosen(int) { RefreshNow(); }

// --- the context menu -------------------------------------------------------------------

void CContactRowsTab::AppendGroupByMenu(HMENU menu) {
  HMENU groups = CreatePopupMenu();
  if (!groups) return;
  int checked = 0;
  for (int i = 0; i < m_choiceCount; ++i) {
    AppendMenuW(groups, MF_STRING, static_cast<UINT_PTR>(m_choices[i].value), TranslatedText(m_choices[i].text));
    if (m_choices[i].value == m_groupBy) checked = i;
  }
  CheckMenuRadioItem(groups, 0, static_cast<UINT>(m_choiceCount - 1), static_cast<UINT>(checked), MF_BYPOSITION);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(groups), TranslatedText(79));
}

void CContactRowsTab::AppendFoldEntries(HMENU menu) {
  auto* group = dynamic_cast<CGroupElement*>(AsListGroupHeader(GetContextRow()));
  if (!group) return;
  if (group->IsFolded()) {
    AppendMenuW(menu, MF_STRING, LIST_CMD_UNFOLD, TranslatedText(97));
    AppendMenuW(menu, MF_STRING, LIST_CMD_UNFOLD_ALL, TranslatedText(98));
  } else {
    AppendMenuW(menu, MF_STRING, LIST_CMD_FOLD, TranslatedText(95));
    AppendMenuW(menu, MF_STRING, LIST_CMD_FOLD_ALL, TranslatedText(96));
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

// --- rows -------------------------------------------------------------------------------

void CContactRowsTab::OpenByOneTap(CListItem* row, CONTACT_ITEM* contact) {
  if (m_oneTap == 1 || m_oneTap == 2) {
    if (contact) contact->DoCommand(m_oneTap == 1 ? 1001 : 1002);
    return;
  }
  OnItemNotify(row, kEventContactPopup);
}

RECT CContactRowsTab::GetRowRect(CListItem* row) {
  RECT rect = {};
  POINT origin = {GetContentBounds().left, GetContentBounds().top - ScrollPos()};
  if (GetContentList()) GetContentList()->GetItemRect(row, &origin, &rect);
  return rect;
}

void CContactRowsTab::ShowPopup(CListItem* row, CONTACT_ITEM* contact) {
  m_popup.Show(GetHwnd(), GetRowRect(row), contact);
}

void CContactRowsTab::ShowNote(CListItem* row, CONTACT_ITEM* contact) {
  Contacts().DisplayNote(GetHwnd(), GetRowRect(row), contact->m_itemOid);
}
