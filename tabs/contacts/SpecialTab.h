// CSpecialTab: the Special events tab: day by day over the coming period, the contacts'
// birthdays and anniversaries and the finance program's scheduled transactions, under
// due-date headers or in one flat list.
#pragma once
#include <windows.h>

#include "panel/DueDateGroups.h"
#include "tabs/contacts/ContactRowsTab.h"
#include "tabs/contacts/PellamListener.h"

class CPellamScheduled;

class CSpecialTab : public CContactRowsTab, public IPellamListener {
 public:
  enum { kGroupByDate = 559, kGroupByNone = 501 };
  // Row events the tab acts on.
  enum { kEventContactNote = 1280 };
  enum { kCommandRunPellam = 1029, kCommandNewContact = 1042, kCommandContactsView = 1019 };
  enum { kCommandPeriod = 5000 };

  // Null lists: the process's contacts and transactions.
  explicit CSpecialTab(CVirtualWnd* owner = nullptr, CContactsList* contacts = nullptr,
                       CPellamScheduled* transactions = nullptr);
  ~CSpecialTab() override;

  // Installs the tab's maker and the filter selector's test for the transactions library.
  static void Install();

  // The days a "SpecialPeriod" value shows; a value outside 0 to 6 is no period (0).
  static int PeriodDays(int value);
  // The text of the tab's title: 138 for title kind 1, else 142.
  static UINT GetTitleTextId(int titleKind) { return titleKind == 1 ? 138 : 142; }

  int GetTabId() override { return 6; }
  int GetSkinTabIndex() override { return 5; }
  UINT GetTabIcon() override { return 143; }
  UINT GetTabIconId(int) override { return 143; }
  void GetApplicationArgs(CString& args) override { args = L"special"; }
  void GetApplicationName(CString& name) override { name = L"Special"; }
  void GetItemTypeName(CString& name) override { name = L"Special"; }
  // A new appointment starting a day from now.
  void NewItem() override;
  // "ContactsOneTap" (3) is the one-tap mode, then the base.
  void LoadSettings() override;
  void Activate() override;
  int RebuildContent() override;

  // Context menu and commands.
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;

  // Taps, row events and the selectors.
  BOOL IsOneTap(CListItem* row) override;
  void OnItemReleased(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;

  // The lists' notifications.
  void OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) override;
  void OnContactAdded(CONTACT_ITEM* contact, int count) override;
  void OnContactRemoved(CONTACT_ITEM* contact, int count) override;
  void OnPellamChanged() override;

  // What the last rebuild used.
  double GetFirstDay() const { return m_firstDay; }
  double GetLastDay() const { return m_lastDay; }

 private:
  CPellamScheduled& Transactions() const;
  void RegisterListeners();
  // The stored period, written back as 0 when it is no period.
  int ReadPeriod();
  void Rebuild();
  BOOL HasEvents(CONTACT_ITEM* contact) const;

  CPellamScheduled* m_transactions;
  BOOL m_showTransactions;
  BOOL m_showBirthdays;
  BOOL m_registered;
  double m_firstDay;
  double m_lastDay;
};
