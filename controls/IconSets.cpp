#include "controls/IconSets.h"

#include <algorithm>

#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/FolderBrowseDlg.h"
#include "controls/PopupMenuTracker.h"
#include "controls/WaitCursor.h"
#include "controls/WindowUtils.h"

namespace {

CIconSets::SetFolderSource g_source = nullptr;
BOOL g_optionsRules = FALSE;

const WCHAR kRecentKey[] = TARVO_PRODUCT_KEY L"\\IconSets";
const WCHAR kSetValue[] = L"IconSetID";
const WCHAR kMirtoKey[] = L"\\Software\\Korvel\\Qel Mirto";
const WCHAR kHelpTopic[] = L"options_category_icons_chooser";
// The shell's "screen changed" code of WM_SETTINGCHANGE.
const WPARAM kSettingChangeReset = 0x3002;

void DefaultSetFolders(std::vector<CString>& folders) {
  CString folder;
  GetInstallPath(folder, L"IconSet\\");
  folders.push_back(folder);
}

CString LoadText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

// One argument however the text is made: quoted, with inner quotes and the
// backslashes before them escaped as the C runtime reads a command line.
CString QuoteArgument(const CString& text) {
  CString quoted(L"\"");
  int backslashes = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    const WCHAR c = text[i];
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    for (int k = 0; k < (c == L'"' ? backslashes * 2 + 1 : backslashes); ++k) quoted += L'\\';
    backslashes = 0;
    quoted += c;
  }
  for (int k = 0; k < backslashes * 2; ++k) quoted += L'\\';
  quoted += L'"';
  return quoted;
}

}  // namespace

void CIconSets::SetSetFolderSource(SetFolderSource source) { g_source = source; }
void CIconSets::SetOptionsProgramRules(BOOL options) {
  g_optionsRules = options;
  CIconGrid::SetOptionsProgramRules(options);
  CIconDatabase::SetOptionsProgramRules(options);
}

BOOL CIconSets::IsOptionsProgramRules() { return g_optionsRules; }

CIconSets::CIconSets()
    : m_noIcon(FALSE), m_recent(kRecentKey, kRecentLimit), m_current(-1), m_mirto(FALSE) {
  m_database.Open();
  m_grid.SetDatabase(&m_database);
  CRegKey key(HKEY_LOCAL_MACHINE, kMirtoKey, FALSE, FALSE, KEY_READ);
  if (key.IsOpen()) {
    m_mirtoPath = key.QueryString(L"InstallDir");
    if (!m_mirtoPath.IsEmpty()) {
      EnsureTrailingBackslash(m_mirtoPath);
      m_mirtoPath += L"QelMirto.exe";
      const DWORD attributes = GetFileAttributesW(m_mirtoPath);
      m_mirto = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (!m_mirto) m_mirtoPath.Empty();
  }
}

void CIconSets::SetSelectedName(LPCWSTR path) {
  m_noIcon = path == nullptr;
  m_selected = path ? path : L"";
}

int CIconSets::BuildSetList() {
  m_sets.clear();
  std::vector<CString> candidates;
  (g_source ? g_source : DefaultSetFolders)(candidates);
  for (const CString& folder : candidates)
    if (!folder.IsEmpty() && CIconDatabase::FolderHasIcons(folder)) m_sets.push_back(folder);
  return static_cast<int>(m_sets.size());
}

CString CIconSets::CurrentFolderText() const {
  const int sets = static_cast<int>(m_sets.size());
  if (m_current >= 1 && m_current <= sets) return m_sets[size_t(m_current - 1)];
  if (m_current > sets) return m_recent.GetAt(m_current - 1 - sets);
  return LoadText(IDS_ICON_SETS_ALL);
}

void CIconSets::UpdateSetButton() {
  if (m_toolbar.IsWindow()) m_toolbar.SetButtonText(ID_TOOLBAR_LEFT, CurrentFolderText());
}

void CIconSets::SelectSet(int index, BOOL reclassify) {
  CWaitCursor wait;
  const int sets = static_cast<int>(m_sets.size());
  const int last = sets + m_recent.GetCount();
  if (index < 0 || index > last) {
    if (m_current >= 0) return;
    index = 0;
  }
  m_current = index;
  if (!m_database.IsPrepared() || reclassify) m_database.ResetGroups();
  if (index == 0) {
    for (const CString& folder : m_sets) m_database.ClassifyFolder(folder);
    for (int r = 0; r < m_recent.GetCount(); ++r) m_database.ClassifyFolder(m_recent.GetAt(r));
  } else if (index <= sets) {
    m_database.ClassifyFolder(m_sets[size_t(index - 1)]);
  } else {
    const int recent = index - 1 - sets;
    const CString folder = m_recent.GetAt(recent);
    m_recent.MoveToFront(recent);
    m_current = sets + 1;
    m_database.ClassifyFolder(folder);
  }
  UpdateSetButton();
  m_grid.Rebuild();
}

BOOL CIconSets::AddRecentFolder(LPCWSTR folder) {
  if (!folder || !*folder) return FALSE;
  m_recent.Add(folder);
  m_recent.Save();
  SelectSet(static_cast<int>(m_sets.size()) + 1, TRUE);
  return TRUE;
}

HMENU CIconSets::BuildSetMenu() const {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  AppendMenuW(menu, MF_STRING, kAllSetsItem, LoadText(IDS_ICON_SETS_ALL));
  UINT item = kAllSetsItem;
  for (const CString& folder : m_sets) AppendMenuW(menu, MF_STRING, ++item, folder);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  if (m_recent.GetCount() > 0) {
    for (int r = 0; r < m_recent.GetCount(); ++r) AppendMenuW(menu, MF_STRING, ++item, m_recent.GetAt(r));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenuW(menu, MF_STRING, kAddFolderItem, LoadText(IDS_ICON_SETS_ADD_FOLDER));
  if (m_current >= 0) CheckMenuRadioItem(menu, kAllSetsItem, item, UINT(m_current + 1), MF_BYCOMMAND);
  return menu;
}

void CIconSets::ShowSetMenu() {
  CString show;
  TranslateText(L"Show", show);
  m_toolbar.SetButtonText(ID_TOOLBAR_LEFT, show);
  HMENU menu = BuildSetMenu();
  RECT bar{};
  m_toolbar.GetWindowRect(&bar);
  const int command = menu ? CPopupMenuTracker::Track(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                      bar.left, bar.bottom, m_hWnd)
                           : 0;
  if (menu) DestroyMenu(menu);
  if (command == kAddFolderItem) {
    CFolderBrowseDlg chooser(LoadText(IDS_ICON_SETS_CHOOSE_FOLDER));
    if (chooser.DoModal(m_hWnd) == IDOK) AddRecentFolder(chooser.GetChosenFolder());
  } else if (command > 0) {
    SelectSet(command - 1, TRUE);
  }
  UpdateSetButton();
}

BOOL CIconSets::StartMirto() {
  if (!m_mirto || m_mirtoPath.IsEmpty()) return FALSE;
  const CString parameters = L"-c " + QuoteArgument(m_mirtoArgument);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = m_mirtoPath;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  // Through the program launcher, so tests see what would start.
  PFN_PROGRAM_LAUNCHER launcher = SetProgramLauncher(nullptr);
  SetProgramLauncher(launcher);
  const BOOL started = launcher ? launcher(&info) : ShellExecuteExW(&info);
  if (info.hProcess) CloseHandle(info.hProcess);
  return started;
}

BOOL CIconSets::OnFill() {
  m_recent.Load();
  m_current = -1;
  if (!m_title.IsEmpty()) SetWindowText(m_title);
  if (!m_toolbar.Create(m_hWnd, WS_CHILD | WS_VISIBLE, kToolbarId, 0, nullptr, 0)) return FALSE;
  RECT bar{};
  m_toolbar.GetWindowRect(&bar);
  const int barHeight = std::max(1, static_cast<int>(bar.bottom - bar.top) - ScaleY(1));
  RECT client{};
  GetClientRect(&client);
  m_toolbar.SetWindowPos(nullptr, 0, 0, client.right, barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  const CString label = LoadText(IDS_ICON_SETS_BUTTON);
  for (UINT command : {UINT(ID_TOOLBAR_LEFT), UINT(IDOK), UINT(IDCANCEL)}) m_toolbar.SetButtonText(command, label);
  m_toolbar.HideButton(ID_TOOLBAR_RIGHT, TRUE);
  const int gridTop = barHeight + ScaleY(1);
  RECT gridRect = {0, gridTop, client.right, std::max(static_cast<int>(client.bottom), gridTop)};
  m_grid.Create(m_hWnd, gridRect, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  BuildSetList();
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const DWORD stored = g_optionsRules ? product.GetDWORD(kSetValue, 0) : product.QueryDWORD(kSetValue);
  SelectSet(static_cast<int>(stored), FALSE);
  if (!m_mirto) {
    if (HWND menuBar = SHFindMenuBar(m_hWnd)) {
      TBBUTTONINFOW info = {};
      info.cbSize = sizeof(info);
      info.dwMask = TBIF_STATE;
      info.fsState = TBSTATE_HIDDEN;
      ::SendMessageW(menuBar, TB_SETBUTTONINFOW, kStartMirto, reinterpret_cast<LPARAM>(&info));
    }
  }
  LayoutControls();
  return TRUE;
}

void CIconSets::LayoutControls() {
  RECT client{};
  GetClientRect(&client);
  if (m_grid.IsWindow()) {
    RECT grid{};
    m_grid.GetWindowRect(&grid);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&grid), 2);
    m_grid.SetWindowPos(nullptr, grid.left, grid.top, std::max(0L, client.right - grid.left),
                        std::max(0L, client.bottom - grid.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_toolbar.IsWindow()) {
    RECT bar{};
    m_toolbar.GetWindowRect(&bar);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
    m_toolbar.SetWindowPos(nullptr, bar.left, bar.top, std::max(0L, client.right - bar.left), bar.bottom - bar.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    m_toolbar.Layout();
  }
}

void CIconSets::OnOK() {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  product.SetDWORD(kSetValue, static_cast<DWORD>(m_current));
  m_selected = m_grid.GetSelectedPath();
  m_noIcon = FALSE;
  EndDialog(IDOK);
}

LRESULT CIconSets::OnSetButton(WORD, WORD, HWND, BOOL&) {
  ShowSetMenu();
  return 0;
}

LRESULT CIconSets::OnFold(WORD, WORD id, HWND, BOOL&) {
  m_grid.SetAllExpanded(id == kExpandAll);
  return 0;
}

LRESULT CIconSets::OnNoIcon(WORD, WORD, HWND, BOOL&) {
  m_noIcon = TRUE;
  m_selected.Empty();
  EndDialog(IDOK);
  return 0;
}

LRESULT CIconSets::OnStartMirto(WORD, WORD, HWND, BOOL&) {
  StartMirto();
  return 0;
}

LRESULT CIconSets::OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&) {
  ShowHelp(kHelpTopic);
  return TRUE;
}

LRESULT CIconSets::OnSettingChanged(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == kSettingChangeReset) LayoutControls();
  handled = FALSE;
  return 0;
}

LRESULT CIconSets::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  const BOOL pocketPC = g_optionsRules ? IsPocketPC() : IsPocketPCVersion5();
  if (!m_mirto && pocketPC) DeleteMenu(reinterpret_cast<HMENU>(wParam), kStartMirto, MF_BYCOMMAND);
  handled = FALSE;
  return 0;
}
