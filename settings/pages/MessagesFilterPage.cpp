#include "settings/pages/MessagesFilterPage.h"

#include <algorithm>
#include <cwchar>

#include "base/Translator.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "settings/pages/VisiblePageSize.h"
#include "tabs/messages/WebISMailSettings.h"
#include "settings/shell/TextEntryDlg.h"
#include "settings/shell/UserPrompt.h"

namespace {

// Names and folder names the page keeps: at most this many characters.
const int kMaxName = 127;

CString LoadText(UINT id) {
  CString text;
  LoadResString(GetTranslator(), text, id);
  return text;
}

CString WindowText(HWND window) {
  WCHAR text[kMaxName + 1] = L"";
  ::GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

}  // namespace

BOOL CMessagesFilterPage::OnInitPage() {
  m_initialised = FALSE;
  CWebISMailSettings& webIS = GetWebISMailSettings();
  if (webIS.IsInstalled()) webIS.LoadAccounts();
  m_defaultName = LoadText(IDS_FILTER_DEFAULT_NAME);
  m_protectedName = CMailFoldersFilters::GetProtectedFilterName();
  m_new.name = m_defaultName;
  HWND tree = GetDlgItem(kFolderTree);
  m_tree.Attach(tree, nullptr, nullptr);
  ::SendMessageW(tree, CCM_SETVERSION, 524, 0);
  const int placed[kPlacedCount] = {kFolderTree, kFolderNameLabel, kFolderNameCombo, kFilterPageEnd};
  for (int k = 0; k < kPlacedCount; ++k) {
    ::GetWindowRect(GetDlgItem(placed[k]), &m_places[k]);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_places[k]), 2);
  }
  m_placesTaken = TRUE;
  m_filters.Load(TRUE);
  OnReset();
  TreeView_SelectItem(tree, TreeView_GetFirstVisible(tree));
  m_initialised = TRUE;
  return TRUE;
}

void CMessagesFilterPage::OnReset() {
  m_selected = 0;
  m_tickCount = 0;
  m_new.name = m_defaultName;
  m_new.Clear();
  m_filters.Load(FALSE);
  m_filters.UpdateKnownAccounts(m_tree.GetSession(), TRUE);
  SortFilters();
  LoadTicks(m_new);
  ::EnableWindow(GetDlgItem(kDeleteFilterButton), FALSE);
  FillFilterCombo();
  FillFolderNames();
}

EMAIL_ACCOUNT& CMessagesFilterPage::RecordAt(int position) {
  if (position <= 0 || position > static_cast<int>(m_sorted.size())) return m_new;
  return m_filters.GetAt(m_sorted[size_t(position - 1)]);
}

int CMessagesFilterPage::PositionOf(int filterIndex) const {
  auto found = std::find(m_sorted.begin(), m_sorted.end(), filterIndex);
  return found == m_sorted.end() ? 0 : static_cast<int>(found - m_sorted.begin()) + 1;
}

void CMessagesFilterPage::SortFilters() { m_filters.GetSortedIndexes(m_sorted); }

void CMessagesFilterPage::FillFilterCombo() {
  m_filling = TRUE;
  HWND combo = GetDlgItem(kFilterCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_new.name)));
  for (int index : m_sorted)
    ::SendMessageW(combo, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_filters.GetAt(index).name)));
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(m_selected), 0);
  m_filling = FALSE;
}

void CMessagesFilterPage::CommitNewFilter() {
  if (m_new.name == m_defaultName) return;
  int index = m_filters.Find(m_new.name);
  if (index < 0) {
    EMAIL_ACCOUNT filter;
    filter.name = m_new.name;
    index = m_filters.Add(filter);
  }
  m_filters.GetAt(index).folders = m_new.folders;
  m_new.name = m_defaultName;
  m_new.Clear();
  m_tickCount = 0;
  SortFilters();
  m_selected = PositionOf(index);
  FillFilterCombo();
}

BOOL CMessagesFilterPage::EntryOf(const CMailTreeItem& record, CTaggedBlob& entry) const {
  // A filter keeps no longer name: a deep folder's path is cut as it would be when written.
  const CString name = record.path.Left(CMailFoldersFilters::kMaxFolderName);
  if (record.webIS) return MakeWebISFolder(record.webISFolderId, record.accountName, name, entry);
  return MakeMailFolder(CTaggedBlob::KindM, record.entryId.data(), static_cast<DWORD>(record.entryId.size()), name,
                        entry);
}

void CMessagesFilterPage::ForEachItem(HTREEITEM parent, const std::function<void(HTREEITEM)>& visit) {
  HWND tree = m_tree.GetTree();
  for (HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); item;
       item = TreeView_GetNextSibling(tree, item)) {
    visit(item);
    ForEachItem(item, visit);
  }
}

void CMessagesFilterPage::StoreTicks(EMAIL_ACCOUNT& record, HTREEITEM changing) {
  record.Clear();
  ForEachItem(nullptr, [&](HTREEITEM item) {
    const int state = m_tree.GetCheckState(item);
    const bool ticked = item == changing ? state == CMailFolderTree::kBoxClear : state == CMailFolderTree::kBoxTicked;
    const CMailTreeItem* folder = m_tree.GetRecord(item);
    if (ticked && folder && folder->kind == 1) {
      CTaggedBlob entry;
      if (EntryOf(*folder, entry) && entry.GetSize() <= 255) record.AddFolder(entry);
    }
  });
}

void CMessagesFilterPage::LoadTicks(const EMAIL_ACCOUNT& record) {
  ForEachItem(nullptr, [&](HTREEITEM item) {
    if (m_tree.GetCheckState(item) == CMailFolderTree::kBoxTicked) m_tree.SetCheckState(item, CMailFolderTree::kBoxClear);
    CMailTreeItem* folder = m_tree.GetRecord(item);
    if (!folder || folder->kind != 1) return;
    CTaggedBlob entry;
    const int found = EntryOf(*folder, entry) ? record.FindFolder(entry) : -1;
    if (found < 0) return;
    folder->path = record.folders[found].GetName();
    m_tree.SetCheckState(item, CMailFolderTree::kBoxTicked);
  });
}

CString CMessagesFilterPage::NextNumberedName() const {
  const CString base = LoadText(IDS_MAIL_FILTER_NUMBERED);
  const int length = base.GetLength();
  bool any = false;
  long largest = 0;
  for (int i = 0; i < m_filters.GetCount(); ++i) {
    const CString& name = m_filters.GetAt(i).name;
    if (name.GetLength() < length || wcsncmp(name, base, size_t(length)) != 0) continue;
    any = true;
    LPCWSTR rest = static_cast<LPCWSTR>(name) + length;
    const long number = wcstol(rest, nullptr, 10);
    if (number > largest) largest = number;
  }
  if (!any) return base;
  WCHAR text[kMaxName + 1];
  swprintf(text, ARRAYSIZE(text), L"%ls %ld", static_cast<LPCWSTR>(base), largest + 1);
  return text;
}

void CMessagesFilterPage::ShowNewFilterName() {
  m_filling = TRUE;
  HWND combo = GetDlgItem(kFilterCombo);
  ::SendMessageW(combo, CB_DELETESTRING, 0, 0);
  ::SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_new.name)));
  ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
  m_filling = FALSE;
}

void CMessagesFilterPage::NameNewFilter(HTREEITEM changing) {
  if (m_selected != 0 || m_tickCount < 0) return;
  const BOOL ticking = m_tree.GetCheckState(changing) == CMailFolderTree::kBoxClear;
  m_tickCount += ticking ? 1 : -1;
  if (m_tickCount < 0) m_tickCount = 0;
  if (m_tickCount == 0) {
    m_new.name = m_defaultName;
  } else if (m_tickCount == 1) {
    HTREEITEM one = ticking ? changing : m_tree.FindChecked(changing, TVI_ROOT);
    const CMailTreeItem* folder = m_tree.GetRecord(one);
    m_new.name = folder ? folder->path : m_defaultName;
  } else {
    m_new.name = NextNumberedName();
  }
  ShowNewFilterName();
}

void CMessagesFilterPage::FillFolderNames() {
  HWND combo = GetDlgItem(kFolderNameCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  HTREEITEM item = TreeView_GetSelection(m_tree.GetTree());
  const CMailTreeItem* folder = m_tree.GetRecord(item);
  if (!folder) {
    ::EnableWindow(combo, FALSE);
    return;
  }
  std::vector<CString> names = {folder->path, folder->initialPath};
  CTaggedBlob entry;
  for (int i = 0; EntryOf(*folder, entry) && i < m_filters.GetCount(); ++i) {
    const EMAIL_ACCOUNT& filter = m_filters.GetAt(i);
    for (int e = 0; e < filter.folders.GetCount(); ++e)
      if (EMAIL_ACCOUNT::SameFolder(filter.folders[e], entry)) names.push_back(filter.folders[e].GetName());
  }
  const CString dash = L" - ";
  names.push_back(folder->displayText + dash + folder->folderName);
  names.push_back(folder->folderName + dash + folder->displayText);
  names.push_back(folder->displayText);
  names.push_back(folder->folderName);
  std::vector<CString> unique;
  for (const CString& name : names)
    if (!name.IsEmpty() && std::find(unique.begin(), unique.end(), name) == unique.end()) unique.push_back(name);
  std::stable_sort(unique.begin(), unique.end(),
                   [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
  const CString& current =
      m_tree.GetCheckState(item) == CMailFolderTree::kBoxTicked ? folder->path : folder->initialPath;
  for (const CString& name : unique) {
    const LRESULT at = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(name)));
    if (name == current) ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  }
  const CString other = LoadText(IDS_MAIL_FOLDER_OTHER_NAME);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(other)));
  ::EnableWindow(combo, folder->kind == 1);
}

LRESULT CMessagesFilterPage::OnFilterChosen(WORD, WORD, HWND, BOOL&) {
  if (!m_initialised || m_filling) return 0;
  const int chosen = static_cast<int>(SendDlgItemMessage(kFilterCombo, CB_GETCURSEL, 0, 0));
  const int chosenIndex = chosen > 0 && chosen <= static_cast<int>(m_sorted.size()) ? m_sorted[size_t(chosen - 1)] : -1;
  StoreTicks(RecordAt(m_selected), nullptr);
  if (m_selected == 0) CommitNewFilter();
  m_selected = chosenIndex < 0 ? 0 : PositionOf(chosenIndex);
  LoadTicks(RecordAt(m_selected));
  ::EnableWindow(GetDlgItem(kDeleteFilterButton), m_selected != 0 && RecordAt(m_selected).name != m_protectedName);
  FillFilterCombo();
  FillFolderNames();
  return 0;
}

LRESULT CMessagesFilterPage::OnFilterNameTyped(WORD, WORD, HWND, BOOL&) {
  if (!m_initialised || m_filling) return 0;
  HWND combo = GetDlgItem(kFilterCombo);
  const CString typed = WindowText(combo);
  if (m_selected == 0) {
    m_new.name = typed;
    m_tickCount = -1;
    return 0;
  }
  EMAIL_ACCOUNT& filter = RecordAt(m_selected);
  int index = m_sorted[size_t(m_selected - 1)];
  if (filter.name == m_protectedName) {
    // The standard inbox filter keeps its name: the typed name is a copy of it.
    EMAIL_ACCOUNT copy = filter;
    copy.name = typed;
    index = m_filters.Add(copy);
    ::EnableWindow(GetDlgItem(kDeleteFilterButton), TRUE);
  } else {
    filter.name = typed;
  }
  SortFilters();
  m_selected = PositionOf(index);
  // The list follows the name while the user types on.
  FillFilterCombo();
  ::SetWindowTextW(combo, typed);
  ::SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(typed.GetLength(), typed.GetLength()));
  return 0;
}

LRESULT CMessagesFilterPage::OnDeleteFilter(WORD, WORD, HWND, BOOL&) {
  if (m_selected == 0 || RecordAt(m_selected).name == m_protectedName) return 0;
  if (ShowMessageBox(m_hWnd, LoadText(IDS_FILTER_DELETE_QUESTION), LoadText(IDS_FILTER_MESSAGE_CAPTION),
                     MB_YESNO | MB_ICONQUESTION) != IDYES)
    return 0;
  m_filters.RemoveAt(m_sorted[size_t(m_selected - 1)]);
  m_selected = 0;
  SortFilters();
  LoadTicks(m_new);
  ::EnableWindow(GetDlgItem(kDeleteFilterButton), FALSE);
  FillFilterCombo();
  FillFolderNames();
  return 0;
}

LRESULT CMessagesFilterPage::OnFolderNameChosen(WORD, WORD, HWND, BOOL&) {
  HWND combo = GetDlgItem(kFolderNameCombo);
  HTREEITEM item = TreeView_GetSelection(m_tree.GetTree());
  CMailTreeItem* folder = m_tree.GetRecord(item);
  if (!folder) return 0;
  const int chosen = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  if (chosen < 0) return 0;
  if (chosen < count - 1) {
    WCHAR text[kMaxName + 1] = L"";
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0);
    if (length >= 0 && length <= kMaxName)
      ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(text));
    folder->path = text;
  } else {
    CTextEntryDlg entry(folder->path);
    for (int i = 0; i < count - 1; ++i) {
      WCHAR text[kMaxName + 1] = L"";
      const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length >= 0 && length <= kMaxName) {
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entry.AddCandidate(text);
      }
    }
    if (entry.DoModal(m_hWnd) == 1 && !entry.GetResult().IsEmpty()) {
      CString name = entry.GetResult();
      if (name.GetLength() > kMaxName) name = CString(static_cast<LPCWSTR>(name), kMaxName);
      folder->path = name;
      if (m_tree.GetCheckState(item) == CMailFolderTree::kBoxClear) {
        NameNewFilter(item);
        m_tree.SetCheckState(item, CMailFolderTree::kBoxTicked);
      }
    }
  }
  FillFolderNames();
  return 0;
}

LRESULT CMessagesFilterPage::OnTreeClick(int, LPNMHDR, BOOL&) {
  m_tree.OnClick();
  return 0;
}

LRESULT CMessagesFilterPage::OnTreeReturn(int, LPNMHDR, BOOL&) {
  m_tree.OnReturn();
  return 0;
}

LRESULT CMessagesFilterPage::OnTreeSelection(int, LPNMHDR, BOOL&) {
  if (m_initialised) FillFolderNames();
  return 0;
}

LRESULT CMessagesFilterPage::OnBoxChanging(int, LPNMHDR header, BOOL&) {
  NameNewFilter(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
  return 0;
}

LRESULT CMessagesFilterPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  CWebISMailSettings& webIS = GetWebISMailSettings();
  if (webIS.IsInstalled()) webIS.ReleaseAccounts();
  handled = FALSE;
  return 0;
}

BOOL CMessagesFilterPage::OnApply() {
  StoreTicks(RecordAt(m_selected), nullptr);
  int applied = m_selected == 0 ? -1 : m_sorted[size_t(m_selected - 1)];
  if (m_selected == 0) {
    const CString name = m_new.name;
    const BOOL named = name != m_defaultName;
    CommitNewFilter();
    applied = named ? m_filters.Find(name) : -1;
  }
  m_filters.Save();
  if (applied >= 0) m_filters.SetActiveFilter(applied);
  return TRUE;
}

void CMessagesFilterPage::FitAbove(int height) {
  if (!m_placesTaken || height <= 0) return;
  const RECT& tree = m_places[kPlacedTree];
  // Everything below the tree moves up by what the page's end reaches into the
  // panel; the tree cannot give more than its own height.
  int shift = 0;
  if (m_places[kPlacedEnd].bottom >= height) shift = m_places[kPlacedEnd].bottom - height;
  shift = std::min(shift, static_cast<int>(tree.bottom - tree.top));
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  ::SetWindowPos(GetDlgItem(kFolderTree), nullptr, tree.left, tree.top, tree.right - tree.left,
                 tree.bottom - tree.top - shift, flags);
  // Moved only: a combo box's height is its list's.
  const int moved[] = {kFolderNameLabel, kFolderNameCombo, kFilterPageEnd};
  for (int k = kPlacedLabel; k < kPlacedCount; ++k)
    ::SetWindowPos(GetDlgItem(moved[k - kPlacedLabel]), nullptr, m_places[k].left, m_places[k].top - shift, 0, 0,
                   flags | SWP_NOSIZE);
}

LRESULT CMessagesFilterPage::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  FitAbove(HIWORD(lParam));
  return 0;
}

LRESULT CMessagesFilterPage::OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  handled = FALSE;  // the page template sees it too
  if (wParam == SPI_SETSIPINFO) FitAbove(GetVisiblePageSize(m_hWnd).cy);
  return 0;
}
