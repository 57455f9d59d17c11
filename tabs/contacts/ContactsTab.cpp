#include "tabs/contacts/ContactsTab.h"

#include <climits>
#include <memory>

#include "base/InstallPath.h"
#include "base/MergeSort.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/GridElement.h"
#include "panel/FoldingState.h"
#include "panel/TabFilterMenu.h"
#include "panel/TabFilterSet.h"
#include "panel/TabMakers.h"
#include "panel/TaskGroupHeaders.h"
#include "panel/TextGroupHeader.h"
#include "pim/OndrelClient.h"
#include "tabs/contacts/ContactListItem.h"
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactsList.h"

namespace {

const int kTextHeaderKind = 558;
const int kDigitCommand = 50;
const GROUP_BY_CHOICE kGroupByChoices[] = {{CContactsTab::kGroupByNone, 80},
                                           {CContactsTab::kGroupByCompany, 81},
                                           {CContactsTab::kGroupByCategory, 82}};
const WCHAR kBackspace = 8;

CScrollPanel* MakeContactsTab(CVirtualWnd* owner) { return new CContactsTab(owner); }

void DeviceBeep() { MessageBeep(static_cast<UINT>(-1)); }
CContactsTab::BeepFn g_beep = &DeviceBeep;

BOOL IsPhotoEntry(const CContactsTab::Entry& entry) {
  return !entry.textOnly && entry.contact->HasPhoto();
}

struct SortContext {
  int groupBy;
};

int CompareEntries(const SortContext* context, const CContactsTab::Entry& a, const CContactsTab::Entry& b) {
  if (context->groupBy == CContactsTab::kGroupByCompany) {
    const int company = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a.contact->m_company,
                                       -1, b.contact->m_company, -1);
    if (company != CSTR_EQUAL) return company - CSTR_EQUAL;
  } else if (context->groupBy == CContactsTab::kGroupByCategory && a.categoryOrder != b.categoryOrder) {
    return a.categoryOrder < b.categoryOrder ? -1 : 1;
  }
  // A photo-first entry puts photos before text rows.
  const BOOL photoA = IsPhotoEntry(a), photoB = IsPhotoEntry(b);
  if ((a.photoFirst || b.photoFirst) && photoA != photoB) return photoA ? -1 : 1;
  const int name = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                                  a.contact->m_listName, -1, b.contact->m_listName, -1);
  return name == 0 ? 0 : name - CSTR_EQUAL;
}

// The stored photo mode of the filter's photo switch: 0 none, 1 photos first, 2 in
// name order; a value the switch never writes counts as 1.
int ReadPhotoMode() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD value = key.GetDWORD(L"ContactsShowPhotoContacts", 0);
  return value <= 2 ? static_cast<int>(value) : 1;
}

}  // namespace

CContactsTab::BeepFn CContactsTab::SetBeep(BeepFn beep) {
  BeepFn previous = g_beep == &DeviceBeep ? nullptr : g_beep;
  g_beep = beep ? beep : &DeviceBeep;
  return previous;
}

CContactsTab::CContactsTab(CVirtualWnd* owner, CContactsList* contacts)
    : CContactRowsTab(owner, contacts, FILTER_KIND_CONTACTS, L"ContactsGroupBy", kGroupByChoices,
                      static_cast<int>(sizeof(kGroupByChoices) / sizeof(kGroupByChoices[0])), kGroupByCategory,
                      kGroupByNone),
      m_letterBar(this, this),
      m_subscribed(FALSE),
      m_categories(nullptr),
      m_lastCount(0),
      m_letterBarShown(FALSE),
      m_photoMode(0) {
  AddChild(&m_letterBar);
  m_letterBar.SetVisible(FALSE);
}

CContactsTab::~CContactsTab() {
  Unsubscribe();
  RemoveChild(&m_letterBar);
}

void CContactsTab::Install() { SetTabMaker(TAB_CONTACTS, &MakeContactsTab); }

void CContactsTab::Subscribe() {
  if (m_subscribed) return;
  Contacts().AddListener(this);
  m_categories = CCategoriesList::GetCurrent();
  if (m_categories) m_categories->Subscribe(this);
  m_subscribed = TRUE;
}

void CContactsTab::Unsubscribe() {
  if (!m_subscribed) return;
  Contacts().RemoveListener(this);
  // The categories list may have been replaced since: only the one subscribed to.
  if (m_categories && m_categories == CCategoriesList::GetCurrent()) m_categories->Unsubscribe(this);
  m_categories = nullptr;
  m_subscribed = FALSE;
}

void CContactsTab::NewItem() { COndrelClient::Instance().NewItemEx(2, nullptr, nullptr, nullptr, nullptr, 0); }

BOOL CContactsTab::OpenItem(CListItem* row, BOOL edit) {
  CContactListItem* contactRow = AsContactRow(row);
  if (!contactRow || !contactRow->GetContact()) return CListPanelView::OpenItem(row, edit);
  return COndrelClient::Instance().DisplayItem(10, contactRow->GetContact()->m_itemOid, edit, 0);
}

CContactListItem* CContactsTab::AsContactRow(CListItem* item) const {
  return item && item->GetKind() == ITEM_KIND_CONTACT ? static_cast<CContactListItem*>(item) : nullptr;
}

// --- the letter bar -------------------------------------------------------------------

int CContactsTab::GetBottomBarHeight() { return m_letterBarShown ? ScaleY(kLetterBarRoom) : 0; }

void CContactsTab::PlaceLetterBar() {
  RECT content = GetContentRect();
  RECT bar = {m_rect.left, m_rect.bottom - ScaleY(kLetterBarHeight), content.right, m_rect.bottom};
  m_letterBar.SetRect(&bar);
  m_letterBar.SetVisible(m_letterBarShown);
}

void CContactsTab::SetRect(const RECT* rect) {
  CListPanelView::SetRect(rect);
  PlaceLetterBar();
}

BOOL CContactsTab::ClearTyping() {
  const BOOL any = m_letterBar.GetTypedCount() > 0 || !m_typed.IsEmpty();
  m_letterBar.ClearTyped();
  m_typed.Empty();
  return any;
}

BOOL CContactsTab::OnChar(WCHAR ch) {
  if (ch >= L'2' && ch <= L'9' && m_letterBarShown) {
    m_typed.Empty();
    // The bar tells this tab, which refreshes.
    if (m_letterBar.OnLetterCommand(kDigitCommand + (ch - L'2'))) return TRUE;
  }
  if (ch == kBackspace && m_letterBar.GetTypedCount() > 0 && m_typed.IsEmpty()) {
    m_letterBar.OnLetterCommand(kBackspace);
    return TRUE;
  }
  m_letterBar.ClearTyped();
  if (ch == kBackspace) {
    if (!m_typed.IsEmpty()) m_typed = m_typed.Left(m_typed.GetLength() - 1);
  } else {
    m_typed += ch;
  }
  RefreshNow();
  return TRUE;
}

void CContactsTab::OnLetterBarChanged(int code) {
  m_typed.Empty();
  if (code >= 0 && m_lastCount == 0) {
    // Nothing was listed, so nothing can match: the group goes again.
    m_letterBar.RemoveLastTyped();
    g_beep();
    return;
  }
  RefreshNow();
}

void CContactsTab::OpenKeyLayoutSettings() { RunSettingsProgram(L"-p3:0"); }

BOOL CContactsTab::OnKey(DWORD key) {
  const DWORD code = key & ~VK_KEYUP_FLAG;
  if (!(key & VK_KEYUP_FLAG) && code == VK_DOWN && m_letterBarShown) {
    // The list's last row hands the focus down to the bar.
    if (m_pContent && m_pContent->SelectNext()) {
      LayoutScrollBar();
      InvalidateContent(0);
      return TRUE;
    }
    RequestFocus(&m_letterBar);
    m_letterBar.SetFocus();
    Invalidate();
    return TRUE;
  }
  return CListPanelView::OnKey(key);
}

BOOL CContactsTab::OnChildKey(CVirtualWnd* sender, DWORD key) {
  if (sender == &m_letterBar && key == VK_UP) {
    m_letterBar.KillFocus();
    RequestFocus(this);
    CVirtualWnd::SetFocus();
    SelectBottomRow();
    Invalidate();
    return TRUE;
  }
  return CListPanelView::OnChildKey(sender, key);
}

// --- settings and selectors ----------------------------------------------------------

void CContactsTab::LoadSettings() {
  LoadOneTap();
  m_letterBar.Reset();
  m_letterBarShown = m_letterBar.SetLayout(L"Contacts");
  m_letterBar.ClearTyped();
  m_typed.Empty();
  CListPanelView::LoadSettings();
  PlaceLetterBar();
}

void CContactsTab::Activate() {
  Subscribe();
  if (ClearTyping()) m_bNeedsRebuild = TRUE;
  CListPanelView::Activate();
}

BOOL CContactsTab::Deactivate() {
  if (ClearTyping()) RefreshNow();
  return CListPanelView::Deactivate();
}

// --- the list ---------------------------------------------------------------------------

BOOL CContactsTab::MatchContact(CONTACT_ITEM* contact) {
  const BOOL text = !m_typed.IsEmpty();
  const BOOL groups = m_letterBar.GetTypedCount() > 0;
  if (!text && !groups) return TRUE;
  CString names[3];
  contact->GetDisplayName(names[0], FALSE, FALSE);
  contact->GetDisplayName(names[1], FALSE, TRUE);
  const int count = GetViewSettings().ContSearchCompany ? 3 : 2;
  if (count == 3) names[2] = contact->m_company;
  for (int i = 0; i < count; ++i) {
    int length = 0;
    BOOL rtl = FALSE;
    const int at = text ? CLetterBar::MatchItem(names[i], m_typed, &length) : m_letterBar.FindMatch(names[i], &length, &rtl);
    if (at < 0) continue;
    // Only the list form's match can be shown in the row.
    if (i == 0) {
      contact->m_matchStart = at;
      contact->m_matchLength = length;
      contact->m_matchRtl = text ? FALSE : rtl;
    }
    return TRUE;
  }
  return FALSE;
}

void CContactsTab::BuildEntries(std::vector<Entry>& entries, int groupBy, int single) {
  const CViewSettings& settings = GetViewSettings();
  CCategoriesList* categories = CCategoriesList::GetCurrent();
  // Category order: a category's place in the display order; none comes last.
  std::vector<int> order;
  if (categories) {
    order.assign(static_cast<size_t>(categories->GetCount()), INT_MAX - 1);
    for (int p = 0; p < categories->GetDisplayCount(); ++p) {
      const int index = categories->GetDisplayAt(p);
      if (index >= 0 && index < static_cast<int>(order.size())) order[static_cast<size_t>(index)] = p;
    }
  }
  auto orderOf = [&](int category) {
    return category >= 0 && category < static_cast<int>(order.size()) ? order[static_cast<size_t>(category)] : INT_MAX;
  };
  auto add = [&](CONTACT_ITEM* contact, int category) {
    const int order = orderOf(category);
    if (settings.ContactShowTextForPhotos && m_photoMode != 0 && contact->HasPhoto())
      entries.push_back({m_photoMode == 1, TRUE, order, category, contact});
    entries.push_back({m_photoMode == 1, m_photoMode == 0, order, category, contact});
  };
  CONTACT_ITEM* contact = nullptr;
  for (BOOL more = Contacts().GetFirst(&contact); more; more = Contacts().GetNext(&contact)) {
    contact->m_matchStart = 0;
    contact->m_matchLength = 0;
    contact->m_matchRtl = FALSE;
    if (!m_filter.Matches(contact->m_categories)) continue;
    // The order and the search read the list form of the name.
    CString listName;
    contact->GetDisplayName(listName, FALSE, FALSE);
    if (!MatchContact(contact)) continue;
    if (m_photoMode != 0) FindContactPhoto(contact);
    if (groupBy != kGroupByCategory || contact->m_categories.FindNext(0) < 0) {
      add(contact, -1);
      continue;
    }
    const BOOL onlyX = single >= 0 && contact->m_categories.FindNext(0) == single &&
                       contact->m_categories.FindNext(single + 1) < 0;
    for (int c = contact->m_categories.FindNext(0); c >= 0; c = contact->m_categories.FindNext(c + 1)) {
      if (single == -1 || onlyX) {
        add(contact, c);
        if (!settings.ShowContactsInAllCategories) break;
        continue;
      }
      if (c == single) continue;
      add(contact, c);
      if (!settings.ShowContactsInAllCategories) break;
    }
  }
}

void CContactsTab::RefreshNow() {
  CListPanelView::RefreshNow();
  if (!m_letterBarShown) return;
  // A row the strip cut is drawn up to the bar: when the list gets shorter, that part goes too.
  RECT strip = GetContentBounds();
  strip.top = strip.bottom - ScaleY(kLetterBarRoom);
  strip.bottom = m_rect.bottom;
  InvalidateRect(&strip);
}

int CContactsTab::RebuildContent() {
  Rebuild();
  return CListPanelView::RebuildContent();
}

void CContactsTab::Rebuild() {
  Subscribe();
  // 1. The selectors as stored.
  std::unique_ptr<CTabFilterMenu> stored;
  ReadCategoryFilter(stored);
  LoadGroupBy();
  m_photoMode = ReadPhotoMode();
  const CViewSettings& settings = GetViewSettings();
  const int single = m_filter.all ? -1 : m_filter.GetSingleCategory();
  // The process's contacts load with the panel's window as their notification target.
  if (!m_contacts && !Contacts().IsLoaded() && GetHwnd()) Contacts().SetNotifyWindow(GetHwnd());

  // 2-7. The entries; typing that matches nothing is taken back with a beep.
  std::vector<Entry> entries;
  for (;;) {
    entries.clear();
    BuildEntries(entries, m_groupBy, single);
    const BOOL typing = !m_typed.IsEmpty() || m_letterBar.GetTypedCount() > 0;
    if (!entries.empty() || !typing) break;
    g_beep();
    if (m_typed.IsEmpty())
      m_letterBar.RemoveLastTyped();
    else
      m_typed = m_typed.Left(m_typed.GetLength() - 1);
  }
  m_lastCount = static_cast<int>(entries.size());

  auto* content = new CContainerElement(this);
  if (entries.empty()) {
    content->AddChild(new CListGroupHeader(content, TranslatedText(42), kTextHeaderKind, 0));
    SetContentList(content);
    return;
  }
  CFoldingState folding;
  LoadFoldingState(folding);

  // 10. Order.
  SortContext context = {m_groupBy};
  MergeSort(entries.data(), static_cast<int>(entries.size()), &context, &CompareEntries);

  // 11-12. Headers, grids and rows.
  CContainerElement* parent = content;
  CListGroupHeader* header = nullptr;
  CGridElement* grid = nullptr;
  const BOOL noCase = settings.ContactGroupCompanyNoCase != 0;
  int headerCategory = INT_MIN;
  CString headerCompany;
  // A grid is made when a group meets its first photo, so none stays empty.
  auto closeGrid = [&]() { grid = nullptr; };
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    const BOOL photo = IsPhotoEntry(entry);
    BOOL newHeader = FALSE;
    if (m_groupBy == kGroupByCompany) {
      const CString company = static_cast<LPCWSTR>(entry.contact->m_company);
      newHeader = !header || (noCase ? company.CompareNoCase(headerCompany) : company.Compare(headerCompany)) != 0;
      if (newHeader) {
        closeGrid();
        headerCompany = company;
        header = new CTextGroupHeader(content, company);
      }
    } else if (m_groupBy == kGroupByCategory) {
      newHeader = !header || entry.category != headerCategory;
      if (newHeader) {
        closeGrid();
        headerCategory = entry.category;
        header = new CCategoryGroupHeader(content, entry.category);
      }
    }
    if (newHeader) {
      header->SetDisplayCount(0);
      CString key;
      header->GetKey(key);
      if (folding.Query(key)) header->SetState(TRUE, FALSE);
      content->AddChild(header);
      parent = header;
    }
    if (photo && !grid) {
      grid = new CGridElement(parent);
      parent->AddChild(grid);
    }
    if (photo) {
      grid->AddChild(new CContactListItem(entry.contact, grid, m_photoMode != 0));
    } else {
      parent->AddChild(new CContactListItem(entry.contact, parent, FALSE));
    }
    if (header && (m_photoMode == 0 || !entry.textOnly)) header->SetDisplayCount(header->GetDisplayCount() + 1);
  }
  closeGrid();
  folding.Save();
  SetContentList(content);
}

// --- menus and row events ---------------------------------------------------------------

void CContactsTab::FillContextMenu(HMENU menu, LPARAM argument) {
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, LIST_CMD_NEW_CONTACT, TranslatedText(110));
  AppendMenuW(menu, MF_STRING, LIST_CMD_CONTACTS_VIEW, TranslatedText(109));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendFoldEntries(menu);
  CListPanelView::FillContextMenu(menu, argument);
  if (!m_pSort) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendGroupByMenu(menu);
}

void CContactsTab::OnMenuCommand(int command) {
  // The group-by entries are the selector's.
  if (m_pSort && IsGroupByChoice(command)) {
    m_pSort->OnItemChosen(command);
    return;
  }
  CListPanelView::OnMenuCommand(command);
}

BOOL CContactsTab::IsOneTap(CListItem* row) {
  if (AsContactRow(row)) return m_oneTap != 0;
  return CListPanelView::IsOneTap(row);
}

void CContactsTab::OnItemReleased(CListItem* item) {
  if (m_oneTap == 0 || !item) {
    CListPanelView::OnItemReleased(item);
    return;
  }
  // Only a contact's row answers a one tap; the tab's other rows take none.
  if (CContactListItem* row = AsContactRow(item)) OpenByOneTap(item, row->GetContact());
}

void CContactsTab::OnItemNotify(CListItem* item, LPARAM value) {
  CContactListItem* row = AsContactRow(item);
  CONTACT_ITEM* contact = row ? row->GetContact() : nullptr;
  if (contact && value == kEventShowNote) {
    ShowNote(item, contact);
    return;
  }
  if (contact && value == kEventChooseField) {
    const RECT rect = GetRowRect(item);
    POINT at = {rect.left, rect.bottom};
    if (HWND host = GetHwnd()) ClientToScreen(host, &at);
    if (row->ChooseDefaultField(GetHwnd(), at) >= 0) {
      LayoutScrollBar();
      InvalidateContent(0);
    }
    return;
  }
  if (contact && value == kEventContactPopup) {
    ShowPopup(item, contact);
    return;
  }
  CListPanelView::OnItemNotify(item, value);
}

// --- the lists' notifications ---------------------------------------------------------

void CContactsTab::OnContactChanged(CONTACT_ITEM*, CONTACT_ITEM*) { RequestRefresh(); }
void CContactsTab::OnContactAdded(CONTACT_ITEM*, int) { RequestRefresh(); }
void CContactsTab::OnContactRemoved(CONTACT_ITEM*, int) { RequestRefresh(); }

void CContactsTab::OnCategoryAdded(int) {
  if (auto* filter = dynamic_cast<CTabFilterMenu*>(m_pFilter)) filter->Load();
}

void CContactsTab::OnCategoryDeleted(int) {
  // Saved filters naming the category are made whole again before the list is.
  CTabFilterSet set;
  set.Load();
  set.Normalize();
  RefreshNow();
  if (auto* filter = dynamic_cast<CTabFilterMenu*>(m_pFilter)) filter->Load();
}
