// CContactRowsTab: what the Contacts and Special events tabs share: rows that stand for
// contacts, opened by one tap as "ContactsOneTap" says (1 show, 2 edit, 3 the contact's
// popup, 0 the list's usual); the popup and the contact's note placed at the row; the
// category filter of the tab's filter selector; and a group-by selector whose value is
// kept under the tab's own registry name.
#pragma once
#include <windows.h>

#include <memory>

#include "panel/CategoryFilter.h"
#include "panel/ListPanelView.h"
#include "tabs/contacts/ContactPopup.h"
#include "tabs/contacts/ContactsListener.h"

class CContactsList;
class CTabFilterMenu;

// A group-by choice: the value stored and chosen, and its text.
struct GROUP_BY_CHOICE {
  int value;
  UINT text;
};

class CContactRowsTab : public CListPanelView, public IContactsListener {
 public:
  // The row event that opens the contact's popup.
  enum { kEventContactPopup = 1026 };

  ~CContactRowsTab() override = default;

  CVirtualDropDown* CreateSortMenu() override;
  CVirtualDropDown* CreateFilterMenu() override;
  // The stored group-by; a value that is no choice is the fallback, written back.
  void LoadGroupBy() override;
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  // A group-by value, a filter or a switch: the rebuild reads them again.
  void OnItemChosen(int commandId) override;

  int GetGroupBy() const { return m_groupBy; }
  int GetOneTapMode() const { return m_oneTap; }
  CContactPopup& GetPopup() { return m_popup; }
  const CCategoryFilter& GetCategoryFilter() const { return m_filter; }

 protected:
  // contacts null: the process's list. filterKind: the kind of both selectors.
  // groupByName: the registry value of the group-by; choices: its values in menu
  // order; initial: the value when none is stored; fallback: the value taken for one
  // that is no choice.
  CContactRowsTab(CVirtualWnd* owner, CContactsList* contacts, int filterKind, LPCWSTR groupByName,
                  const GROUP_BY_CHOICE* choices, int choiceCount, int initial, int fallback);

  CContactsList& Contacts() const;
  // Reads "ContactsOneTap" (3 when missing) and makes it the tab's one-tap mode.
  void LoadOneTap();
  // The stored filter into the category filter; the selector it was read from (a
  // stand-in kept in standIn before the selector is made), for its switches.
  CTabFilterMenu& ReadCategoryFilter(std::unique_ptr<CTabFilterMenu>& standIn);
  BOOL IsGroupByChoice(int value) const;
  // The choice, or the fallback.
  int ValidGroupBy(int value) const;
  // The group-by submenu of the context menu (text 79), the current value checked.
  void AppendGroupByMenu(HMENU menu);
  // The fold entries for a group header the context menu was opened on, and a separator.
  void AppendFoldEntries(HMENU menu);
  // What a one tap on a contact's row does for modes 1 to 3.
  void OpenByOneTap(CListItem* row, CONTACT_ITEM* contact);
  // The row's rectangle in the host's client (empty when it is not laid out).
  RECT GetRowRect(CListItem* row);
  void ShowPopup(CListItem* row, CONTACT_ITEM* contact);
  void ShowNote(CListItem* row, CONTACT_ITEM* contact);

  CContactsList* m_contacts;
  CCategoryFilter m_filter;
  CContactPopup m_popup;
  int m_oneTap;
  int m_groupBy;

 private:
  int m_filterKind;
  LPCWSTR m_groupByName;
  const GROUP_BY_CHOICE* m_choices;
  int m_choiceCount;
  int m_initialGroupBy;
  int m_fallbackGroupBy;
};
