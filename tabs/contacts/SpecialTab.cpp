#include "tabs/contacts/SpecialTab.h"

#include <cmath>
#include <memory>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "panel/DueDateGroupHeader.h"
#include "panel/PanelClock.h"
#include "panel/ScheduledChange.h"
#include "panel/SortMenu.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabFilterSet.h"
#include "panel/TabMakers.h"
#include "pim/OndrelClient.h"
#include "tabs/contacts/ContactEventRow.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/PellamRowRenderer.h"
#include "tabs/contacts/PellamScheduled.h"

namespace {

const int kPeriodDays[7] = {62, 7, 14, 31, 92, 184, 365};
// The header shown when nothing is listed: a text header row.
const int kTextHeaderKind = 558;
const GROUP_BY_CHOICE kGroupByChoices[] = {{CSpecialTab::kGroupByDate, 162}, {CSpecialTab::kGroupByNone, 80}};

CScrollPanel* MakeSpecialTab(CVirtualWnd* owner) { return new CSpecialTab(owner); }

void ScheduledChanged() { CPellamScheduled::GetGlobal().OnScheduledChanged(); }

}  // namespace

CSpecialTab::CSpecialTab(CVirtualWnd* owner, CContactsList* contacts, CPellamScheduled* transactions)
    : CContactRowsTab(owner, contacts, FILTER_KIND_SPECIAL, L"SpecialGroupBy", kGroupByChoices,
                      static_cast<int>(sizeof(kGroupByChoices) / sizeof(kGroupByChoices[0])), kGroupByDate,
                      kGroupByDate),
      m_transactions(transactions),
      m_showTransactions(FALSE),
      m_showBirthdays(TRUE),
      m_registered(FALSE),
      m_firstDay(0),
      m_lastDay(0) {}

CSpecialTab::~CSpecialTab() {
  if (m_registered) {
    Contacts().RemoveListener(this);
    Transactions().RemoveListener(this);
  }
}

void CSpecialTab::Install() {
  SetTabMaker(TAB_SPECIAL, &MakeSpecialTab);
  CTabFilterMenu::SetTransactionsLibraryTest(&CPellamScheduled::IsApiPresent);
  SetScheduledChangedHandler(&ScheduledChanged);
}

int CSpecialTab::PeriodDays(int value) { return value >= 0 && value <= 6 ? kPeriodDays[value] : kPeriodDays[0]; }

CPellamScheduled& CSpecialTab::Transactions() const {
  return m_transactions ? *m_transactions : CPellamScheduled::GetGlobal();
}

void CSpecialTab::RegisterListeners() {
  if (m_registered) return;
  Transactions().AddListener(this);
  Contacts().AddListener(this);
  m_registered = TRUE;
}

void CSpecialTab::NewItem() {
  const double start = PanelNow() + 1.0;
  COndrelClient::Instance().NewItemEx(1, nullptr, &start, nullptr, nullptr, 0);
}

void CSpecialTab::LoadSettings() {
  LoadOneTap();
  CListPanelView::LoadSettings();
}

void CSpecialTab::Activate() {
  RegisterListeners();
  // A tab left alone over midnight starts from the new day.
  if (GetContentList() && std::floor(PanelNow()) != m_firstDay) m_bNeedsRebuild = TRUE;
  CListPanelView::Activate();
}

int CSpecialTab::ReadPeriod() {
  CViewSettings& settings = GetViewSettings();
  if (settings.SpecialPeriod < 0 || settings.SpecialPeriod > 6) {
    // Only the seven periods can be chosen: anything else is the default, kept so.
    settings.SpecialPeriod = 0;
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"SpecialPeriod", 0);
  }
  return settings.SpecialPeriod;
}

int CSpecialTab::RebuildContent() {
  Rebuild();
  return CListPanelView::RebuildContent();
}

void CSpecialTab::Rebuild() {
  RegisterListeners();
  // 1. The filter's choices: the stored filter ("SpecialFilterID", all for -1) and the
  // two switches, as the selector has them (or would, before it is made).
  std::unique_ptr<CTabFilterMenu> stored;
  CTabFilterMenu& filter = ReadCategoryFilter(stored);
  m_showTransactions = filter.GetSwitch(SHOW_TRANSACTIONS);
  m_showBirthdays = filter.GetSwitch(SHOW_BIRTHDAYS);
  LoadGroupBy();
  const BOOL flat = m_groupBy == kGroupByNone;

  // 2-3. The days.
  const double now = PanelNow();
  const double today = std::floor(now);
  const double last = today + PeriodDays(ReadPeriod()) - 1;
  m_firstDay = today;
  m_lastDay = last;

  // 4. The transactions of the period, in day order.
  std::vector<CPellamTransactionItem*> transactions;
  if (m_showTransactions) {
    CPellamScheduled& source = Transactions();
    source.SetRange(today, last + 1);
    CPellamTransactionItem* item = nullptr;
    for (BOOL more = source.GetFirst(&item); more; more = source.GetNext(&item)) transactions.push_back(item);
  }
  // The process's contacts load with the panel's window as their notification target.
  if (m_showBirthdays && !m_contacts && !Contacts().IsLoaded() && GetHwnd()) Contacts().SetNotifyWindow(GetHwnd());

  // 5. The groups, against today.
  auto* content = new CContainerElement(this);
  DUE_DATE_GROUP_BOUNDS bounds = {};
  SYSTEMTIME local = {};
  VariantDateToSystemTime(now, &local);
  WCHAR firstDay[4] = {};
  const int weekStart =
      GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, firstDay, 4) > 0 ? firstDay[0] - L'0' : 0;
  InitDueDateGroupBounds(bounds, local, weekStart);
  CDueDateGroupHeader* header = nullptr;
  BOOL headerAdded = FALSE;
  int code = 0;
  auto closeHeader = [&]() {
    if (header && !headerAdded) delete header;
    header = nullptr;
    headerAdded = FALSE;
  };
  if (!flat) {
    code = ClassifyDueDate(bounds, today);
    header = new CDueDateGroupHeader(content, code, bounds);
  }

  // 6. Day by day.
  size_t nextTransaction = 0;
  std::vector<CSpecialEventItem*> events;
  for (double d = today; d <= last; d += 1) {
    if (!flat) {
      const int dayCode = ClassifyDueDate(bounds, d);
      if (dayCode != code) {
        closeHeader();
        code = dayCode;
        header = new CDueDateGroupHeader(content, code, bounds);
      }
    }
    // A row shows its date unless its group is one day.
    const int mode = flat || !IsSingleDayGroup(code) ? 1 : 0;
    CContainerElement* parent = flat ? content : header;
    if (m_showBirthdays) {
      Contacts().GetEventsOfDay(d, events);
      for (CSpecialEventItem* event : events) {
        CONTACT_ITEM* contact = Contacts().FindByOid(event->m_contactOid);
        if (!contact || !m_filter.Matches(contact->m_categories)) continue;
        // Nobody has a birthday before being born.
        if (std::floor(event->m_date) > d) continue;
        parent->AddChild(new CContactEventRow(event, &Contacts(), d, mode, parent));
      }
    }
    while (nextTransaction < transactions.size() && std::floor(transactions[nextTransaction]->m_date) <= d) {
      parent->AddChild(new CPellamRowRenderer(transactions[nextTransaction], parent, mode));
      ++nextTransaction;
    }
    if (!flat && !headerAdded && header->GetChildCount() > 0) {
      content->AddChild(header);
      headerAdded = TRUE;
    }
  }
  // 7. A last header without rows goes; with no rows at all one text header says so.
  closeHeader();
  if (content->GetChildCount() == 0) content->AddChild(new CListGroupHeader(content, TranslatedText(41), kTextHeaderKind, 0));
  SetContentList(content);
}

void CSpecialTab::FillContextMenu(HMENU menu, LPARAM argument) {
  if (!menu) return;
  BOOL added = FALSE;
  if (m_showBirthdays) {
    AppendMenuW(menu, MF_STRING, kCommandNewContact, TranslatedText(110));
    AppendMenuW(menu, MF_STRING, kCommandContactsView, TranslatedText(109));
    added = TRUE;
  }
  if (m_showTransactions) {
    AppendMenuW(menu, MF_STRING, kCommandRunPellam, TranslatedText(178));
    added = TRUE;
  }
  if (added) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendFoldEntries(menu);
  CListPanelView::FillContextMenu(menu, argument);
  if (!m_pSort || IsHeaderMinimized() || IsHeaderHidden()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendGroupByMenu(menu);
  // The period choices are the group-by selector's own: taken out of the place it puts them.
  if (HMENU holder = CreatePopupMenu()) {
    m_pSort->FillMenuExtra(holder, 0);
    const int count = GetMenuItemCount(holder);
    HMENU periods = count > 0 ? GetSubMenu(holder, count - 1) : nullptr;
    if (periods && RemoveMenu(holder, static_cast<UINT>(count - 1), MF_BYPOSITION))
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(periods), TranslatedText(46));
    DestroyMenu(holder);
  }
}

void CSpecialTab::OnMenuCommand(int command) {
  if (command == kCommandRunPellam) {
    CPellamScheduled::RunPellam();
    return;
  }
  // The group-by and period entries are the selector's.
  if (m_pSort && (IsGroupByChoice(command) || (command >= kCommandPeriod && command <= kCommandPeriod + 6))) {
    m_pSort->OnItemChosen(command);
    return;
  }
  CListPanelView::OnMenuCommand(command);
}

BOOL CSpecialTab::IsOneTap(CListItem* row) {
  if (row && row->GetKind() == ITEM_KIND_EVENT_ROW) return m_oneTap != 0;
  return CListPanelView::IsOneTap(row);
}

void CSpecialTab::OnItemReleased(CListItem* item) {
  auto* row = item && item->GetKind() == ITEM_KIND_EVENT_ROW ? static_cast<CContactEventRow*>(item) : nullptr;
  if (!row || m_oneTap == 0) {
    CListPanelView::OnItemReleased(item);
    return;
  }
  OpenByOneTap(item, row->GetContact());
}

void CSpecialTab::OnItemNotify(CListItem* item, LPARAM value) {
  auto* row = item && item->GetKind() == ITEM_KIND_EVENT_ROW ? static_cast<CContactEventRow*>(item) : nullptr;
  CONTACT_ITEM* contact = row ? row->GetContact() : nullptr;
  if (contact && (value == kEventContactPopup || value == kEventContactNote)) {
    if (value == kEventContactPopup)
      ShowPopup(item, contact);
    else
      ShowNote(item, contact);
    return;
  }
  CListPanelView::OnItemNotify(item, value);
}

BOOL CSpecialTab::HasEvents(CONTACT_ITEM* contact) const {
  return contact && (contact->m_birthdayEvent != -1 || contact->m_anniversaryEvent != -1);
}

void CSpecialTab::OnContactChanged(CONTACT_ITEM* contact, CONTACT_ITEM* oldCopy) {
  if ((!contact && !oldCopy) || HasEvents(contact) || HasEvents(oldCopy)) RequestRefresh();
}

void CSpecialTab::OnContactAdded(CONTACT_ITEM* contact, int) {
  if (HasEvents(contact)) RequestRefresh();
}

void CSpecialTab::OnContactRemoved(CONTACT_ITEM* contact, int) {
  if (HasEvents(contact)) RequestRefresh();
}

void CSpecialTab::OnPellamChanged() { RefreshNow(); }
