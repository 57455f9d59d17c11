#include "panel/FilterEditDlg.h"

#include <algorithm>

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/MenuUtils.h"
#include "controls/ScrollDialog.h"
#include "controls/WindowUtils.h"
#include "panel/PanelPrompt.h"
#include "pim/CategoriesList.h"
#include "platform/aygshell/aygshell.h"

namespace {

const LPCWSTR kHelpTopic = L"edit_filter";
// The dialog lays itself out again when the work area or the input panel changes.
const WPARAM kSettingChangeLayout = 12290;
const int kCaptionHeight = 23;

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

// The input panel's button on the task bar is told to show the panel's state again.
void RefreshSipButton() {
  HWND button = FindWindowW(SIPBUTTON_CLASSNAME, nullptr);
  if (button) SendMessageW(button, WM_SIPBUTTON_REFRESH, 4, 25);
}

// Validity as far as the marks and switches go: a name the stored form cannot keep is
// refused by the filter set with its own message when storing, and must not make the
// name field lose what the user typed.
BOOL IsValidIgnoringSemicolon(const CCategoryFilter& filter, int count) {
  CCategoryFilter copy = filter;
  if (!copy.name.IsEmpty() && !CCategoryFilter::IsStorableName(copy.name)) copy.name = L"x";
  return copy.IsValid(count);
}

}  // namespace

CFilterEditDlg::CFilterEditDlg(LPCWSTR choiceValue, int kind)
    : m_choiceValue(choiceValue ? choiceValue : L""), m_kind(kind) {}

INT_PTR CFilterEditDlg::DoModal(HWND owner) {
  const INT_PTR result = CDialogImplBase::DoModal(IDD, owner);
  return result == 1 ? 1 : 2;
}

int CFilterEditDlg::Run(HWND owner, int kind, LPCWSTR choiceValue) {
  CFilterEditDlg dialog(choiceValue, kind);
  return static_cast<int>(dialog.DoModal(owner));
}

void CFilterEditDlg::MakeUniqueName(CString& name) {
  int end = name.GetLength();
  while (end > 0 && name[end - 1] >= L'0' && name[end - 1] <= L'9') --end;
  // A run of digits too long for a number counts from its last nine.
  const int start = std::max(end, name.GetLength() - 9);
  const int n = _wtoi(static_cast<LPCWSTR>(name) + start);
  CString stem = name.Left(end);
  if (stem.IsEmpty() || stem[stem.GetLength() - 1] != L' ') stem += L" ";
  CString number;
  number.Format(L"%d", n + 1);
  name = stem + number;
}

void CFilterEditDlg::CutComposedName(CString& name) {
  if (name.GetLength() > kComposedNameLimit) name = name.Left(kComposedNameLimit - 3) + L"...";
}

int CFilterEditDlg::CategoryCount() const { return CCategoryFilter::DeviceCategoryCount(); }

int CFilterEditDlg::SlotOfEntry(int entry) const {
  return entry >= 1 && entry <= static_cast<int>(m_sorted.size()) ? m_sorted[entry - 1] : -1;
}

LRESULT CFilterEditDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_filling = TRUE;
  m_set.Load();
  m_set.GetUsedSortedByName(m_sorted);

  SHINITDLGINFO info = {};
  info.dwMask = SHIDIM_FLAGS;
  info.hDlg = m_hWnd;
  info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLG;
  SHInitDialog(&info);
  m_menuBar = CreateDialogMenuBar(m_hWnd, IDM_CHOOSER_BAR);

  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  if (list) {
    m_list.Attach(list);
    RECT client{};
    ::GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<LPWSTR>(L"Main");
    column.cx = std::max<int>(0, client.right - GetSystemMetrics(SM_CXVSCROLL));
    ListView_InsertColumn(list, 0, &column);
  }
  FillRows();
  HWND combo = GetDlgItem(IDC_FILTER_NAME);
  HWND edit = combo ? ::GetWindow(combo, GW_CHILD) : nullptr;
  if (edit) ::SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(ScaleX(1), ScaleX(1)));
  FillCombo();
  ::SendDlgItemMessageW(m_hWnd, IDC_FILTER_NAME, CB_SETCURSEL, 0, 0);
  m_current = 0;
  ShowFilter(m_default);
  ::EnableWindow(GetDlgItem(IDC_FILTER_DELETE), FALSE);

  RefreshSipButton();
  SetWordCompletion(TRUE);
  RefreshSipButton();

  GetTranslator().TranslateDialog(m_hWnd);
  TranslateMenuBar(GetTranslator(), m_hWnd, 0);
  m_filling = FALSE;
  if (list) ::SetFocus(list);
  PostMessage(WM_SETTINGCHANGE, kSettingChangeLayout, 0);
  // The focus was set here.
  return FALSE;
}

void CFilterEditDlg::FillRows() {
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  if (!list) return;
  ListView_DeleteAllItems(list);
  m_rowCategories.clear();
  m_list.InsertItem(0, Text(IDS_FILTER_NO_CATEGORY));
  const CCategoriesList* categories = CCategoriesList::GetCurrent();
  const int count = categories ? categories->GetDisplayCount() : 0;
  for (int position = 0; position < count; ++position) {
    const int record = categories->GetDisplayAt(position);
    m_rowCategories.push_back(record);
    m_list.InsertItem(position + 1, categories->GetName(record));
  }
}

void CFilterEditDlg::FillCombo() {
  HWND combo = GetDlgItem(IDC_FILTER_NAME);
  if (!combo) return;
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_default.name)));
  for (int slot : m_sorted) {
    CCategoryFilter filter;
    filter.Parse(m_set.GetText(slot));
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(filter.name)));
  }
}

void CFilterEditDlg::SetName(LPCWSTR name) {
  const BOOL filling = m_filling;
  m_filling = TRUE;
  SetDlgItemText(IDC_FILTER_NAME, name);
  m_filling = filling;
}

BOOL CFilterEditDlg::RowBelongs(int row, BOOL exclude) {
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  const BOOL marked = list && ListView_GetCheckState(list, row);
  return !marked != !exclude;
}

void CFilterEditDlg::ShowFilter(const CCategoryFilter& filter) {
  const BOOL filling = m_filling;
  m_filling = TRUE;
  SetName(filter.name);
  ::CheckRadioButton(m_hWnd, IDC_FILTER_MATCH_ANY, IDC_FILTER_MATCH_ALL,
                   filter.matchAll ? IDC_FILTER_MATCH_ALL : IDC_FILTER_MATCH_ANY);
  ::CheckDlgButton(m_hWnd, IDC_FILTER_EXCLUDE, filter.exclude ? BST_CHECKED : BST_UNCHECKED);
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  if (list) {
    ListView_SetCheckState(list, 0, !filter.noCategory != !filter.exclude);
    for (size_t i = 0; i < m_rowCategories.size(); ++i) {
      const BOOL member = filter.categories.Test(m_rowCategories[i]) == CBitSet::IsSet;
      ListView_SetCheckState(list, static_cast<int>(i + 1), !member != !filter.exclude);
    }
  }
  m_filling = filling;
}

void CFilterEditDlg::ReadFilter(CCategoryFilter& filter) {
  filter = CCategoryFilter();
  wchar_t name[kMaxNameLength + 1] = L"";
  ::GetDlgItemTextW(m_hWnd, IDC_FILTER_NAME, name, kMaxNameLength + 1);
  filter.name = name;
  filter.matchAll = ::IsDlgButtonChecked(m_hWnd, IDC_FILTER_MATCH_ANY) != BST_CHECKED;
  filter.exclude = ::IsDlgButtonChecked(m_hWnd, IDC_FILTER_EXCLUDE) == BST_CHECKED;
  filter.noCategory = RowBelongs(0, filter.exclude);
  for (size_t i = 0; i < m_rowCategories.size(); ++i)
    if (RowBelongs(static_cast<int>(i + 1), filter.exclude)) filter.categories.Set(m_rowCategories[i]);
}

void CFilterEditDlg::Change() {
  if (m_filling) return;
  CCategoryFilter filter;
  ReadFilter(filter);
  if (!IsValidIgnoringSemicolon(filter, CategoryCount())) {
    SetName(Text(IDS_FILTER_INVALID));
    return;
  }
  m_changed = TRUE;
  ::EnableWindow(GetDlgItem(IDC_FILTER_DELETE), FALSE);
  if (m_nameTyped) return;
  CString composed;
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  const int rows = list ? ListView_GetItemCount(list) : 0;
  for (int row = 0; row < rows; ++row) {
    if (!RowBelongs(row, filter.exclude)) continue;
    CString text;
    m_list.GetItemText(row, 0, text);
    if (filter.exclude)
      composed += L"-";
    else if (!composed.IsEmpty())
      composed += filter.matchAll ? L"*" : L"+";
    composed += text;
  }
  if (composed.IsEmpty()) composed = Text(IDS_FILTER_NO_MARK);
  CutComposedName(composed);
  SetName(composed);
}

void CFilterEditDlg::SetAllMarks(BOOL marked) {
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  m_filling = TRUE;
  const int rows = list ? ListView_GetItemCount(list) : 0;
  for (int row = 0; row < rows; ++row) ListView_SetCheckState(list, row, marked);
  ::CheckDlgButton(m_hWnd, IDC_FILTER_EXCLUDE, marked ? BST_CHECKED : BST_UNCHECKED);
  m_filling = FALSE;
  Change();
}

void CFilterEditDlg::ShowEntry(int entry) {
  const BOOL filling = m_filling;
  m_filling = TRUE;
  const int slot = SlotOfEntry(entry);
  if (slot < 0) {
    ShowFilter(m_default);
  } else {
    CCategoryFilter filter;
    filter.Parse(m_set.GetText(slot));
    ShowFilter(filter);
  }
  ::EnableWindow(GetDlgItem(IDC_FILTER_DELETE), slot >= 0);
  m_current = slot >= 0 ? entry : 0;
  m_nameTyped = FALSE;
  m_filling = filling;
}

LRESULT CFilterEditDlg::OnComboSelChange(WORD, WORD, HWND, BOOL&) {
  if (m_filling) return 0;
  m_changed = TRUE;
  const int entry = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_FILTER_NAME, CB_GETCURSEL, 0, 0));
  ShowEntry(entry < 0 ? 0 : entry);
  return 0;
}

LRESULT CFilterEditDlg::OnNameEdited(WORD, WORD, HWND, BOOL&) {
  if (m_filling) return 0;
  m_nameTyped = TRUE;
  m_changed = TRUE;
  return 0;
}

LRESULT CFilterEditDlg::OnNameKillFocus(WORD, WORD, HWND, BOOL&) {
  SIPINFO sip = {};
  sip.cbSize = sizeof(sip);
  if (SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0) && (sip.fdwFlags & SIPF_ON)) {
    sip.fdwFlags &= ~SIPF_ON;
    SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0);
  }
  return 0;
}

LRESULT CFilterEditDlg::OnMarkAll(WORD, WORD, HWND, BOOL&) {
  SetAllMarks(TRUE);
  return 0;
}

LRESULT CFilterEditDlg::OnClearAll(WORD, WORD, HWND, BOOL&) {
  SetAllMarks(FALSE);
  return 0;
}

LRESULT CFilterEditDlg::OnControlChanged(WORD, WORD, HWND, BOOL&) {
  Change();
  return 0;
}

LRESULT CFilterEditDlg::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || header->idFrom != IDC_FILTER_CATEGORIES || header->code != LVN_ITEMCHANGED) {
    handled = FALSE;
    return 0;
  }
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if ((change->uChanged & LVIF_STATE) &&
      ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) != 0)
    Change();
  return 0;
}

void CFilterEditDlg::StoreChoice(int slot) {
  if (m_choiceValue.IsEmpty()) return;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(m_choiceValue, static_cast<DWORD>(slot));
}

LRESULT CFilterEditDlg::OnDelete(WORD, WORD, HWND, BOOL&) {
  const int slot = SlotOfEntry(m_current);
  if (slot < 0) return 0;
  if (ShowPanelMessage(m_hWnd, Text(IDS_FILTER_DELETE_QUESTION), Text(IDS_FILTER_MESSAGE_CAPTION),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
    return 0;
  m_set.Delete(slot);
  m_set.Save();
  if (!m_choiceValue.IsEmpty()) {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    if (key.ValueExists(m_choiceValue) && key.QueryDWORD(m_choiceValue) == static_cast<DWORD>(slot))
      key.SetDWORD(m_choiceValue, static_cast<DWORD>(-1));
  }
  m_deleted = TRUE;
  const int position = m_current;
  m_set.GetUsedSortedByName(m_sorted);
  m_filling = TRUE;
  FillCombo();
  const int entry = position > static_cast<int>(m_sorted.size()) ? 0 : position;
  ::SendDlgItemMessageW(m_hWnd, IDC_FILTER_NAME, CB_SETCURSEL, entry, 0);
  ShowEntry(entry);
  m_filling = FALSE;
  return 0;
}

LRESULT CFilterEditDlg::OnOK(WORD, WORD, HWND, BOOL&) {
  // A deletion is stored already: the caller must hear of it however the dialog ends.
  if (!m_changed) {
    EndDialog(m_deleted ? 1 : 2);
    return 0;
  }
  CCategoryFilter filter;
  ReadFilter(filter);
  const int count = CategoryCount();
  if (!IsValidIgnoringSemicolon(filter, count)) {
    ShowPanelMessage(m_hWnd, Text(IDS_FILTER_INVALID), Text(IDS_FILTER_MESSAGE_CAPTION), MB_OK | MB_ICONERROR);
    return 0;
  }
  const int currentSlot = SlotOfEntry(m_current);
  int equal = -1;
  // Each round that renames changes the name, so the names met bound the rounds.
  for (size_t round = 0; round <= m_sorted.size() + 1; ++round) {
    equal = -1;
    BOOL renamed = FALSE;
    for (int slot : m_sorted) {
      CCategoryFilter stored;
      stored.Parse(m_set.GetText(slot));
      if (equal < 0 && stored.Equals(filter, count)) equal = slot;
      if (slot != currentSlot && stored.name == filter.name) {
        MakeUniqueName(filter.name);
        renamed = TRUE;
        break;
      }
    }
    if (!renamed) break;
  }
  int slot = equal;
  if (slot < 0) {
    slot = m_set.FindFreeSlot();
  } else if (!m_nameTyped) {
    CCategoryFilter stored;
    stored.Parse(m_set.GetText(slot));
    filter.name = stored.name;
  }
  // The set refuses a name its stored form cannot keep, telling the user why.
  if (!m_set.Store(slot, filter, m_hWnd)) return 0;
  CRecentFilterList& recent = m_set.GetRecentList(m_kind);
  recent.MoveToFront(slot);
  recent.Save();
  StoreChoice(slot);
  EndDialog(1);
  return 0;
}

LRESULT CFilterEditDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(m_deleted ? 1 : 2);
  return 0;
}

LRESULT CFilterEditDlg::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (dc) DrawCaptionBar(dc, Text(IDS_FILTER_EDIT_TITLE), ScaleY(kCaptionHeight), 0);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

LRESULT CFilterEditDlg::OnHelp(UINT, WPARAM, LPARAM, BOOL&) {
  ShowHelp(kHelpTopic);
  return TRUE;
}

LRESULT CFilterEditDlg::OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != kSettingChangeLayout) {
    handled = FALSE;
    return 0;
  }
  Layout();
  return 0;
}

void CFilterEditDlg::Layout() {
  HWND check = GetDlgItem(IDC_FILTER_EXCLUDE);
  HWND list = GetDlgItem(IDC_FILTER_CATEGORIES);
  if (!check || !list) return;
  RECT client{}, checkRect{}, listRect{};
  GetClientRect(&client);
  ::GetWindowRect(check, &checkRect);
  ::GetWindowRect(list, &listRect);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&checkRect), 2);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&listRect), 2);
  const int checkHeight = checkRect.bottom - checkRect.top;
  const int checkWidth = std::max<int>(0, client.right - ScaleX(2) - checkRect.left);
  const int checkTop = std::max<int>(listRect.top, client.bottom - checkHeight);
  ::SetWindowPos(check, nullptr, checkRect.left, checkTop, checkWidth, checkHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(list, nullptr, 0, 0, listRect.right - listRect.left, std::max<int>(0, checkTop - listRect.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
