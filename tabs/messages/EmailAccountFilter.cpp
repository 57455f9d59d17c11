#include "tabs/messages/EmailAccountFilter.h"

#include <algorithm>
#include <vector>

#include "base/InstallPath.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailFoldersFilters.h"

namespace {

const WCHAR kRecentValue[] = L"EmailAccounts";

bool LessIgnoringCase(const CString& a, const CString& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_LESS_THAN;
}

void SortIgnoringCase(std::vector<CString>& names) { std::stable_sort(names.begin(), names.end(), LessIgnoringCase); }

UINT_PTR MenuId(int command) { return static_cast<UINT_PTR>(static_cast<UINT>(command)); }

}  // namespace

CEmailAccountFilter::CEmailAccountFilter(CEmailsList* list, CMailFoldersFilters* filters)
    : m_list(list ? list : &CEmailsList::GetGlobal()), m_filters(filters ? filters : &GetMailFoldersFilters()) {
  m_recent.Load(kRecentValue);
  Load();
}

CEmailAccountFilter::~CEmailAccountFilter() = default;

void CEmailAccountFilter::LoadFilters(BOOL force) {
  m_filters->Load(force);
  m_filters->UpdateKnownAccounts(m_list->GetSession(), FALSE);
}

void CEmailAccountFilter::Load() {
  CViewSettings& settings = GetViewSettings();
  settings.Load();
  m_showEmpty = settings.EmailShowEmptyAccounts != 0;
  m_onlyUnread = settings.EmailsOnlyUnreaded != 0;
  LoadFilters(FALSE);
  m_current = m_filters->GetActiveFilter();
}

void CEmailAccountFilter::Save() {
  m_filters->SetActiveFilter(m_current);
  CViewSettings& settings = GetViewSettings();
  settings.EmailShowEmptyAccounts = m_showEmpty ? 1 : 0;
  settings.EmailsOnlyUnreaded = m_onlyUnread ? 1 : 0;
  settings.Save();
}

int CEmailAccountFilter::InboxIndex() const { return m_filters->Find(TranslatedText(IDS_MAIL_FILTER_INBOX)); }

BOOL CEmailAccountFilter::IsShownRecent(LPCWSTR name) const {
  const CStringList& recent = m_recent.Entries();
  for (int i = 0; i < recent.GetCount() && i < kMaxRecent; ++i)
    if (recent[i] == name) return TRUE;
  return FALSE;
}

BOOL CEmailAccountFilter::SelectByName(LPCWSTR name) {
  const int index = m_filters->Find(name);
  if (index < 0) return FALSE;
  m_current = index;
  return TRUE;
}

EMAIL_ACCOUNT* CEmailAccountFilter::GetCurrentFilter() {
  if (m_current < 0 || m_current >= m_filters->GetCount()) {
    m_filters->Load(FALSE);
    m_current = InboxIndex();
    if (m_current < 0) return nullptr;
  }
  return &m_filters->GetAt(m_current);
}

void CEmailAccountFilter::Fill() {
  RemoveAllItems();
  const CString inboxName = TranslatedText(IDS_MAIL_FILTER_INBOX);
  const int inbox = m_filters->Find(inboxName);
  if (inbox >= 0) AddItem(CMenuEntry(inbox + EMAIL_FILTER_CMD_RECORD, inboxName));

  CStringList& recent = m_recent.Entries();
  if (recent.GetCount() == 0) {
    std::vector<CString> names;
    for (int i = 0; i < m_filters->GetCount(); ++i) {
      const CString& name = m_filters->GetAt(i).name;
      BOOL standard = FALSE;
      for (UINT text : CMailFoldersFilters::kStandardFilterTexts) standard = standard || name == TranslatedText(text);
      if (!standard) names.push_back(name);
    }
    SortIgnoringCase(names);
    for (size_t i = 0; i < names.size() && recent.GetCount() < kMaxRecent; ++i) recent.Add(names[i]);
    m_recent.Save();
  }
  if (m_current >= 0 && m_current < m_filters->GetCount() && m_current != inbox &&
      !IsShownRecent(m_filters->GetAt(m_current).name))
    InsertMostRecent(recent, m_filters->GetAt(m_current).name);
  BOOL removed = FALSE;
  for (int i = recent.GetCount(); i-- > 0;) {
    if (m_filters->Find(recent[i]) >= 0) continue;
    recent.RemoveAt(i);
    removed = TRUE;
  }
  if (removed) m_recent.Save();

  // A list written elsewhere may name the inbox filter or one filter twice: each is
  // one item.
  std::vector<CString> shown;
  for (int i = 0; i < recent.GetCount() && i < kMaxRecent; ++i)
    if (recent[i] != inboxName && std::find(shown.begin(), shown.end(), recent[i]) == shown.end())
      shown.push_back(recent[i]);
  SortIgnoringCase(shown);
  for (const CString& name : shown) AddItem(CMenuEntry(m_filters->Find(name) + EMAIL_FILTER_CMD_RECORD, name));

  SetCaption(TranslatedText(IDS_PERIOD_TITLE));
  SetSelection(m_current + EMAIL_FILTER_CMD_RECORD, FALSE);
}

void CEmailAccountFilter::FillMenuExtra(HMENU menu, int) {
  HMENU more = CreatePopupMenu();
  if (more) {
    AppendMenuW(more, MF_STRING, MenuId(EMAIL_FILTER_CMD_EDIT), TranslatedText(IDS_MAIL_EDIT_FILTERS));
    const CString inboxName = TranslatedText(IDS_MAIL_FILTER_INBOX);
    std::vector<CString> names;
    for (int i = 0; i < m_filters->GetCount(); ++i) {
      const CString& name = m_filters->GetAt(i).name;
      // Only as many filters as the command range has room for.
      if (EMAIL_FILTER_CMD_MORE + i >= EMAIL_FILTER_CMD_MORE_END) break;
      if (name != inboxName && !IsShownRecent(name)) names.push_back(name);
    }
    SortIgnoringCase(names);
    for (const CString& name : names) {
      CString text = name;
      text.Replace(L"&", L"&&");
      AppendMenuW(more, MF_STRING, MenuId(EMAIL_FILTER_CMD_MORE + m_filters->Find(name)), text);
    }
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), TranslatedText(IDS_NOTES_MORE_FOLDERS));
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  HMENU options = CreatePopupMenu();
  if (!options) return;
  AppendMenuW(options, MF_STRING | (m_showEmpty ? MF_CHECKED : 0), MenuId(EMAIL_FILTER_CMD_SHOW_EMPTY),
              TranslatedText(IDS_MAIL_SHOW_EMPTY_ACCOUNTS));
  AppendMenuW(options, MF_STRING | (m_onlyUnread ? MF_CHECKED : 0), MenuId(EMAIL_FILTER_CMD_ONLY_UNREAD),
              TranslatedText(IDS_MAIL_ONLY_UNREAD));
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), TranslatedText(IDS_PERIOD_TITLE));
}

int CEmailAccountFilter::OnItemChosen(int command) {
  if (command == 0 || command == -2) return command;
  int passed = command;
  BOOL changed = FALSE;
  if (command >= EMAIL_FILTER_CMD_MORE && command < EMAIL_FILTER_CMD_MORE_END) {
    const int index = command - EMAIL_FILTER_CMD_MORE;
    // A menu built before the filters were read again may name one that is gone.
    if (index >= m_filters->GetCount()) return -2;
    m_current = index;
    InsertMostRecent(m_recent.Entries(), m_filters->GetAt(index).name);
    m_recent.Save();
    Fill();
    changed = TRUE;
    passed = EMAIL_FILTER_CMD_MORE;
  } else if (command == EMAIL_FILTER_CMD_EDIT) {
    RunSettingsProgram(L"-p5:1");
  } else if (command == EMAIL_FILTER_CMD_SHOW_EMPTY) {
    m_showEmpty = !m_showEmpty;
    changed = TRUE;
  } else if (command == EMAIL_FILTER_CMD_ONLY_UNREAD) {
    m_onlyUnread = !m_onlyUnread;
    changed = TRUE;
  } else if (command >= EMAIL_FILTER_CMD_RECORD && command <= m_filters->GetCount() + 1 &&
             command != m_current + EMAIL_FILTER_CMD_RECORD) {
    m_current = command - EMAIL_FILTER_CMD_RECORD;
    changed = TRUE;
  }
  if (changed) Save();
  return CVirtualDropDown::OnItemChosen(passed);
}
