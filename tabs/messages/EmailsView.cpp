#include "tabs/messages/EmailsView.h"

#include <vector>

#include "base/MergeSort.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/GroupHeaderItem.h"
#include "panel/FoldingState.h"
#include "panel/GroupHeaderRow.h"
#include "panel/TabMakers.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/AccountIterator.h"
#include "tabs/messages/EmailAccountFilter.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailRowItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailPreviewWnd.h"

namespace {

const DWORD kCompareFlags = NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;  // 0x30001
const UINT kTextSortCaption = 129;
const UINT kSortTexts[CEmailsView::kSortOrders] = {IDS_MAIL_DATE, IDS_MAIL_FROM, IDS_SORT_SUBJECT, IDS_NOTE_ORDER_3};
const int kGroupBy = 551;  // one group per folder name: the rows are indented as grouped rows

enum Command {
  kCmdNewMessage = 1045,
  kCmdOpenAccount = 1030,
  kCmdSendReceive = 1425,
  kCmdFoldGroup = 1022,
  kCmdFoldAll = 1023,
  kCmdUnfoldGroup = 1024,
  kCmdUnfoldAll = 1025,
};

int CompareText(const CString& a, const CString& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, kCompareFlags, a, -1, b, -1) - CSTR_EQUAL;
}

BOOL SameFolderName(const CString& a, const CString& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

int Descending(double a, double b) { return a > b ? -1 : a < b ? 1 : 0; }

BOOL IsFoldingKind(int kind) {
  return kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}

// The commands the list-tab base carries out itself (the settings entry included);
// whatever else reaches the tab is a message row's.
BOOL IsBaseCommand(int command) {
  return (command >= LIST_CMD_OPEN && command <= LIST_CMD_CALENDAR_VIEW) ||
         (command >= LIST_CMD_CONTACTS_VIEW && command <= LIST_CMD_POCKET_EXCEL) ||
         (command >= LIST_CMD_NEW_TASK && command <= LIST_CMD_NEW_WORKBOOK) || command == LIST_CMD_SEND_RECEIVE ||
         (command >= LIST_CMD_NEW_TASK_ENTRY_FIRST && command <= LIST_CMD_NEW_TASK_ENTRY_LAST);
}

// The marking the preview asks for when it closes.
void MarkPreviewRead(EMAIL_ITEM* item) {
  if (item) CEmailsList::GetGlobal().SetRead(item, TRUE, TRUE);
}

}  // namespace

// The account filter of the tab's own selector; until the selector is made (the first
// settings load) the switches come from the view settings and there is no record.
class CEmailsView::CSelectorChoice : public IEmailAccountChoice {
 public:
  explicit CSelectorChoice(CEmailsView& view) : m_view(view) {}
  const EMAIL_ACCOUNT* GetCurrentFilter() override {
    CEmailAccountFilter* filter = Filter();
    return filter ? filter->GetCurrentFilter() : nullptr;
  }
  BOOL GetShowEmptyAccounts() override {
    CEmailAccountFilter* filter = Filter();
    return filter ? filter->IsShowEmptyAccounts() : GetViewSettings().EmailShowEmptyAccounts != 0;
  }
  BOOL GetOnlyUnread() override {
    CEmailAccountFilter* filter = Filter();
    return filter ? filter->IsOnlyUnread() : GetViewSettings().EmailsOnlyUnreaded != 0;
  }
  BOOL SelectByName(LPCWSTR name) override {
    CEmailAccountFilter* filter = Filter();
    if (!filter || !filter->SelectByName(name)) return FALSE;
    filter->Save();
    filter->Fill();
    return TRUE;
  }
  void Reload() override {
    CEmailAccountFilter* filter = Filter();
    if (!filter) return;
    filter->Load();
    filter->GetCurrentFilter();
    filter->Fill();
  }

 private:
  CEmailAccountFilter* Filter() const { return static_cast<CEmailAccountFilter*>(m_view.GetFilterSelector()); }
  CEmailsView& m_view;
};

CEmailsView::CEmailsView(CVirtualWnd* owner, CEmailsList* list, IEmailAccountChoice* choice)
    : CListPanelView(owner), m_list(list), m_choice(choice) {
  if (!m_choice) {
    m_ownChoice.reset(new CSelectorChoice(*this));
    m_choice = m_ownChoice.get();
  }
}

CVirtualDropDown* CEmailsView::CreateFilterMenu() {
  // A tab given its account filter has no selector of its own.
  if (m_choice != m_ownChoice.get()) return nullptr;
  auto* filter = new CEmailAccountFilter(m_list);
  // Without an active filter the inbox filter shows: the selector names it too.
  filter->GetCurrentFilter();
  filter->Fill();
  return filter;
}

CEmailsView::~CEmailsView() {
  m_preview.reset();
  // The rows go before the listener: nothing may reach a half-destroyed tab.
  SetContentList(nullptr);
  if (m_registered) List().RemoveListener(this);
}

CScrollPanel* CEmailsView::Make(CVirtualWnd* owner) { return new CEmailsView(owner); }

void CEmailsView::Install() {
  SetTabMaker(TAB_MESSAGES, &CEmailsView::Make);
  CMailPreviewWnd::SetMarkRead(&MarkPreviewRead);
}

CEmailsList& CEmailsView::List() const { return m_list ? *m_list : CEmailsList::GetGlobal(); }
IEmailAccountChoice& CEmailsView::Choice() const { return *m_choice; }

int CEmailsView::NormaliseGroupBy(int value) { return value == 501 || value == 551 || value == 559 ? value : 501; }

int CEmailsView::LoadSortOrder() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD value = key.GetDWORD(L"EmailSorting", kSortByTime);
  if (value < static_cast<DWORD>(kSortOrders)) return static_cast<int>(value);
  key.SetDWORD(L"EmailSorting", kSortByTime);
  return kSortByTime;
}

int CEmailsView::CompareMessages(int order, const EMAIL_ITEM* a, const EMAIL_ITEM* b) {
  int result = 0;
  switch (order) {
    case kSortBySender:
      result = CompareText(a->senderAddress, b->senderAddress);
      if (!result) result = Descending(a->time, b->time);
      break;
    case kSortBySubject:
      return CompareText(a->subject, b->subject);
    case kSortBySize:
      result = Descending(a->size, b->size);
      if (!result) result = CompareText(a->senderAddress, b->senderAddress);
      if (!result) result = Descending(a->time, b->time);
      break;
    default:
      result = Descending(a->time, b->time);
      break;
  }
  return result ? result : CompareText(a->subject, b->subject);
}

void CEmailsView::AddFilterStores() {
  const EMAIL_ACCOUNT* filter = Choice().GetCurrentFilter();
  for (int i = 0; filter && i < filter->folders.GetCount(); ++i) List().FindOrAddStore(filter->folders[i]);
}

void CEmailsView::LoadSettings() {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    SetOneTap(key.GetDWORD(L"EmailsOneTap", 2));
  }
  // The options program may have edited the filters, chosen another one or switched
  // only-unread: the account filter reads them again, or it would show (and hand the
  // list) what it read first. Its items change meanwhile, so a header choice that
  // arrives during the reload is not taken.
  if (m_bSettingsChanged) {
    m_reloadingFilter = TRUE;
    Choice().Reload();
    m_reloadingFilter = FALSE;
  }
  List().SetOnlyUnread(Choice().GetOnlyUnread());
  CListPanelView::LoadSettings();
  // At the panel's start every tab loads its settings: a tab not on show leaves the
  // reading of its stores (every message in them) to the rows it builds when it is
  // shown, whose account walk adds each store it meets, so that the first tab paints
  // without waiting for the messages.
  if (IsCurrent()) AddFilterStores();
}

CVirtualDropDown* CEmailsView::CreateSortMenu() {
  auto* menu = new CVirtualDropDown();
  menu->SetStyle(DROPDOWN_ALIGN_LEFT);
  return menu;
}

void CEmailsView::LoadGroupBy() {
  m_sortOrder = LoadSortOrder();
  if (!m_pSort) return;
  m_pSort->RemoveAllItems();
  for (int order = 0; order < kSortOrders; ++order) m_pSort->AddItem(CMenuEntry(kSortCommand + order, TranslatedText(kSortTexts[order])));
  m_pSort->SetCaption(TranslatedText(kTextSortCaption));
  m_pSort->SetSelection(kSortCommand + m_sortOrder, FALSE);
  m_pSort->SetVisible(!IsHeaderHidden() && !IsHeaderMinimized());
}

void CEmailsView::Activate() {
  if (!m_registered) {
    m_registered = TRUE;
    List().AddListener(this);
    CEmailRowItem::SetCommandWindow(GetHwnd());
  }
  CListPanelView::Activate();
}

int CEmailsView::RebuildContent() {
  m_sortOrder = LoadSortOrder();
  auto* content = new CContainerElement(this);
  SetContentList(content);
  m_messageCount = 0;
  m_groupOf.clear();
  CEmailsList& list = List();

  struct Pair {
    CString folder;
    int account;
  };
  std::vector<Pair> pairs;
  if (const EMAIL_ACCOUNT* filter = Choice().GetCurrentFilter()) {
    CAccountIterator accounts(list);
    accounts.SetFilter(*filter);
    Pair pair;
    for (BOOL more = accounts.GetFirst(pair.folder, pair.account); more;
         more = accounts.GetNext(pair.folder, pair.account)) {
      pairs.push_back(pair);
      m_messageCount += list.GetItemCount(pair.account);
    }
  }
  const BOOL showEmpty = Choice().GetShowEmptyAccounts();
  int timeWidth = 0, sizeWidth = 0;
  if (m_messageCount == 0 && (!showEmpty || pairs.empty()))
    content->AddChild(new CGroupHeaderItem(content, TranslatedText(IDS_MAIL_NONE)));
  else
    CEmailRowItem::MeasureColumns(&timeWidth, &sizeWidth);

  CFoldingState folding;
  LoadFoldingState(folding);
  const BOOL indent = NormaliseGroupBy(kGroupBy) != 501 && GetViewSettings().NoteMakeIndent;
  std::vector<EMAIL_ITEM*> messages;
  for (size_t first = 0; first < pairs.size();) {
    size_t end = first + 1;
    while (end < pairs.size() && SameFolderName(pairs[first].folder, pairs[end].folder)) ++end;
    messages.clear();
    for (size_t i = first; i < end; ++i) {
      EMAIL_ITEM* item = nullptr;
      for (BOOL more = list.GetFirstItem(pairs[i].account, &item); more; more = list.GetNextItem(pairs[i].account, &item))
        messages.push_back(item);
    }
    const Pair& head = pairs[first];
    for (size_t i = first; i < end; ++i) m_groupOf[pairs[i].account] = head.account;
    first = end;
    if (messages.empty() && !showEmpty) continue;
    auto* header = new CGroupHeaderRow(content, head.folder, list.GetAccountName(head.account), head.account);
    CString key;
    header->GetKey(key);
    if (folding.Query(key)) header->SetState(TRUE, FALSE);
    MergeSort(messages.data(), static_cast<int>(messages.size()), m_sortOrder,
              [](int order, EMAIL_ITEM* const& a, EMAIL_ITEM* const& b) { return CompareMessages(order, a, b); });
    int unread = 0;
    for (EMAIL_ITEM* item : messages) {
      auto* row = new CEmailRowItem(item, header, m_list);
      row->SetIndented(indent);
      row->SetColumnWidths(timeWidth, sizeWidth);
      header->AddChild(row);
      if (!item->IsRead()) ++unread;
    }
    header->SetUnreadCount(unread);
    content->AddChild(header);
  }
  return CListPanelView::RebuildContent();
}

void CEmailsView::Rebuild() {
  if (!IsCurrent()) {
    m_bNeedsRebuild = TRUE;
    return;
  }
  RefreshNow();
}

void CEmailsView::OnEmailChanged(EMAIL_ITEM*, EMAIL_ITEM*) { Rebuild(); }
void CEmailsView::OnEmailAdded(EMAIL_ITEM*) { Rebuild(); }
void CEmailsView::OnEmailDeleted(EMAIL_ITEM*, int) { Rebuild(); }

void CEmailsView::OnSelectionChanged(CVirtualDropDown* selector, int commandId) {
  if (m_reloadingFilter) return;
  CListPanelView::OnSelectionChanged(selector, commandId);
  if (selector == m_pSort) {
    const int order = commandId - kSortCommand;
    if (order < 0 || order >= kSortOrders) return;
    {
      CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
      key.SetDWORD(L"EmailSorting", static_cast<DWORD>(order));
    }
    RefreshNow();
  } else if (selector && selector == m_pFilter) {
    AddFilterStores();
    RefreshNow();
  }
}

void CEmailsView::OnItemChosen(int commandId) {
  if (m_reloadingFilter) return;
  CListPanelView::OnItemChosen(commandId);
  // The account filter's switches and its records from the "more" submenu; a record of
  // its own items came as a selection change.
  if (commandId != kFilterReloaded && commandId != EMAIL_FILTER_CMD_SHOW_EMPTY &&
      commandId != EMAIL_FILTER_CMD_ONLY_UNREAD && commandId != EMAIL_FILTER_CMD_MORE)
    return;
  if (commandId == EMAIL_FILTER_CMD_ONLY_UNREAD) List().SetOnlyUnread(Choice().GetOnlyUnread());
  AddFilterStores();
  RefreshNow();
}

void CEmailsView::OnItemReleased(CListItem* item) {
  if (m_dwOneTap >= 2 && item && IsRecordRowKind(item->GetKind())) {
    OnItemNotify(item, ROW_EVENT_PREVIEW);
    return;
  }
  CListPanelView::OnItemReleased(item);
}

void CEmailsView::OnItemNotify(CListItem* item, LPARAM value) {
  if (value == ROW_EVENT_PREVIEW && item && item->GetKind() == CEmailRowItem::kKind) {
    ShowPreview(item);
    return;
  }
  CListPanelView::OnItemNotify(item, value);
}

void CEmailsView::ShowPreview(CListItem* row) {
  HWND host = GetHwnd();
  if (!host || !m_pContent) return;
  const POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
  RECT place = {};
  if (!m_pContent->GetItemRect(row, &origin, &place)) return;
  m_preview.reset(new CMailPreviewWnd());
  if (!m_preview->Create(host, POINT{place.left, place.bottom}, TranslatedText(IDS_MAIL_PREVIEW_TITLE),
                         static_cast<CEmailRowItem*>(row)->GetItem()))
    m_preview.reset();
}

void CEmailsView::FillContextMenu(HMENU menu, LPARAM argument) {
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, kCmdNewMessage, TranslatedText(IDS_MAIL_NEW_MESSAGE));
  AppendMenuW(menu, MF_STRING, kCmdOpenAccount, TranslatedText(IDS_CAL_MENU_EMAIL_PROGRAM));
  AppendMenuW(menu, MF_STRING, kCmdSendReceive, TranslatedText(IDS_MAIL_SEND_RECEIVE));
  CListItem* row = GetContextRow();
  if (row && IsFoldingKind(row->GetKind())) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (static_cast<CGroupElement*>(row)->IsFolded()) {
      AppendMenuW(menu, MF_STRING, kCmdUnfoldGroup, TranslatedText(IDS_MENU_UNFOLD_GROUP));
      AppendMenuW(menu, MF_STRING, kCmdUnfoldAll, TranslatedText(IDS_MENU_UNFOLD_ALL));
    } else {
      AppendMenuW(menu, MF_STRING, kCmdFoldGroup, TranslatedText(IDS_MENU_FOLD_GROUP));
      AppendMenuW(menu, MF_STRING, kCmdFoldAll, TranslatedText(IDS_MENU_FOLD_ALL));
    }
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  CListPanelView::FillContextMenu(menu, argument);
  // With the header hidden the sort orders are offered here.
  if (m_pSort && IsHeaderHidden()) {
    if (HMENU sort = CreatePopupMenu()) {
      m_pSort->FillMenu(sort, 0);
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sort), TranslatedText(kTextSortCaption));
    }
  }
}

void CEmailsView::OnMenuCommand(int command) {
  if (m_pSort && command >= kSortCommand && command < kSortCommand + kSortOrders) {
    m_pSort->OnItemChosen(command);
    return;
  }
  if (IsBaseCommand(command)) {
    CListPanelView::OnMenuCommand(command);
    return;
  }
  // A row's own menu gave the row its command first (one it reports as not taken,
  // such as the download mark, has been carried out all the same).
  if (m_rowMenuOpen) return;
  if (CEmailRowItem* row = MessageRow(nullptr)) row->DoCommand(static_cast<UINT>(command));
}

int CEmailsView::TrackMenu(LPARAM argument, POINT* screenPoint) {
  // Noted before the menu runs: its command may change the list, whose rebuild
  // replaces the row the menu was opened on.
  auto* row = reinterpret_cast<CListItem*>(argument);
  const BOOL outer = m_rowMenuOpen;
  m_rowMenuOpen = row && IsRecordRowKind(row->GetKind());
  const int result = CListPanelView::TrackMenu(argument, screenPoint);
  m_rowMenuOpen = outer;
  return result;
}

CEmailRowItem* CEmailsView::MessageRow(CListItem* row) const {
  if (!row || row->GetKind() != CEmailRowItem::kKind) row = m_pContent ? m_pContent->GetCurrentItem() : nullptr;
  return row && row->GetKind() == CEmailRowItem::kKind ? static_cast<CEmailRowItem*>(row) : nullptr;
}

BOOL CEmailsView::OpenItem(CListItem* row, BOOL edit) {
  CEmailRowItem* message = MessageRow(row);
  return message && message->DoCommand(edit ? LIST_CMD_EDIT : LIST_CMD_OPEN);
}

BOOL CEmailsView::DeleteItem(CListItem* row) {
  CEmailRowItem* message = MessageRow(row);
  return message && message->DoCommand(LIST_CMD_DELETE);
}

BOOL CEmailsView::SelectAccount(int accountIndex) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    // An account merged into the group of an equally named folder is found there.
    const auto group = m_groupOf.find(accountIndex);
    const int tag = group != m_groupOf.end() ? group->second : accountIndex;
    for (int i = 0; m_pContent && i < m_pContent->GetChildCount(); ++i) {
      CListGroupHeader* header = AsListGroupHeader(m_pContent->GetChild(i));
      if (!header || header->GetKind() != ITEM_KIND_GENERAL_HEADER ||
          static_cast<CGroupHeaderRow*>(header)->GetTag() != tag)
        continue;
      header->SetState(FALSE, FALSE);
      header->SelectSelf(TRUE);
      m_bNeedsRepaint = TRUE;
      LayoutScrollBar();
      m_bNeedsRepaint = FALSE;
      InvalidateContent(0);
      return TRUE;
    }
    if (attempt > 0 || !Choice().SelectByName(TranslatedText(IDS_MAIL_FILTER_INBOX))) break;
    AddFilterStores();
    RebuildContent();
  }
  return FALSE;
}
