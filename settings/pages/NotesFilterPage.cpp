#include "settings/pages/NotesFilterPage.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "base/FilterList.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "platform/coredll/cedb.h"
#include "platform/note_prj/note_prj.h"
#include "settings/base/StringFields.h"
#include "settings/pages/VisiblePageSize.h"
#include "tabs/notes/NoteFile.h"

namespace {

const WCHAR kHiddenFoldersValue[] = L"HiddenFolders";
const DWORD kFolderEvents = 0x221FF;
const int kBottomGap = 8;

typedef int(WINAPI* PFN_ENUM_PROJECTS)(PROJECTS_ENUMPROC_EX, DWORD, DWORD, LPARAM);

// The last path component of a folder path, without a trailing "\".
CString LastComponent(CString path) {
  while (!path.IsEmpty() && path[path.GetLength() - 1] == L'\\') path = path.Left(path.GetLength() - 1);
  const int slash = path.ReverseFind(L'\\');
  return slash < 0 ? path : path.Mid(slash + 1);
}

BOOL CALLBACK CollectFolder(PAstruct* record, LPARAM param) {
  auto* names = reinterpret_cast<std::vector<CString>*>(param);
  CString folder;
  if (!names || !CNotesFilterPage::ReadFolderRecord(record, folder) || !CNotesFilterPage::HoldsShownNote(folder))
    return TRUE;
  const CString name = LastComponent(folder);
  if (name.IsEmpty()) return TRUE;
  for (const CString& known : *names)
    if (known.CompareNoCase(name) == 0) return TRUE;
  names->push_back(name);
  return TRUE;
}

CString Lower(const CString& text) {
  CString lower = text;
  lower.MakeLower();
  return lower;
}

}  // namespace

BOOL CNotesFilterPage::ReadFolderRecord(const PAstruct* record, CString& folder) {
  folder.Empty();
  if (!record) return FALSE;
  if (record->m_IDtype != FILE_ID_TYPE_OID) {
    // The path is read no further than the record holds.
    WCHAR path[PA_MAX_PATHNAME + 1] = L"";
    lstrcpynW(path, record->m_szPathname, PA_MAX_PATHNAME + 1);
    folder = path;
  } else {
    CEOIDINFO info = {};
    if (!CeOidGetInfoEx(nullptr, record->m_fileOID, &info) || info.wObjType != OBJTYPE_DIRECTORY) return FALSE;
    info.infDirectory.szDirName[MAX_PATH - 1] = 0;
    folder = info.infDirectory.szDirName;
  }
  return !folder.IsEmpty();
}

BOOL CNotesFilterPage::HoldsShownNote(LPCWSTR folder) {
  CString pattern = folder;
  AddBackslash(pattern);
  pattern += L"*.*";
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return FALSE;
  BOOL found = FALSE;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
    found = HasNoteExtension(data.cFileName);
  } while (!found && ::FindNextFileW(find, &data));
  ::FindClose(find);
  return found;
}

BOOL CNotesFilterPage::OnInitPage() {
  HWND list = GetDlgItem(kNoteFolderList);
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client = {};
  ::GetClientRect(list, &client);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  column.pszText = const_cast<LPWSTR>(L"Foo");
  ListView_InsertColumn(list, 0, &column);
  // The Notes tab reads the same filter list: one reader and writer for both.
  CFilterList hidden;
  hidden.Load(kHiddenFoldersValue);
  m_hidden = hidden.Entries();
  FillFolderList();
  SHCHANGENOTIFYENTRY entry = {kFolderEvents, nullptr, TRUE};
  m_registered = SHChangeNotifyRegisterCE(m_hWnd, &entry);
  return TRUE;
}

void CNotesFilterPage::TakeCheckStates() {
  HWND list = GetDlgItem(kNoteFolderList);
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    WCHAR text[MAX_PATH] = L"";
    ListView_GetItemText(list, i, 0, text, MAX_PATH);
    const CString name = Lower(text);
    const BOOL checked = ListView_GetCheckState(list, i);
    const BOOL hidden = FindText(m_hidden, name) >= 0;
    if (checked && hidden) RemoveAllEqual(m_hidden, name);
    else if (!checked && !hidden) InsertMostRecent(m_hidden, name);
  }
}

void CNotesFilterPage::FillFolderList() {
  HWND list = GetDlgItem(kNoteFolderList);
  TakeCheckStates();
  ListView_DeleteAllItems(list);
  std::vector<CString> names;
  if (HMODULE library = ::LoadLibraryW(L"note_prj.dll")) {
    auto enumerate = reinterpret_cast<PFN_ENUM_PROJECTS>(reinterpret_cast<void*>(::GetProcAddress(library, MAKEINTRESOURCEA(21))));
    if (enumerate) enumerate(&CollectFolder, 0, PRJ_ENUM_ALL_DEVICES, reinterpret_cast<LPARAM>(&names));
    ::FreeLibrary(library);
  }
  std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(names[size_t(i)]));
    const int index = ListView_InsertItem(list, &item);
    ListView_SetCheckState(list, index, FindText(m_hidden, Lower(names[size_t(i)])) < 0);
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

BOOL CNotesFilterPage::OnApply() {
  TakeCheckStates();
  CFilterList hidden;
  hidden.Load(kHiddenFoldersValue);
  hidden.Entries() = m_hidden;
  hidden.Save();
  return TRUE;
}

void CNotesFilterPage::OnReset() { m_hidden.RemoveAll(); }

void CNotesFilterPage::ResizeList(int width, int height) {
  HWND list = GetDlgItem(kNoteFolderList);
  if (!list || width <= 0 || height <= 0) return;
  RECT place = {};
  ::GetWindowRect(list, &place);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
  const int bottom = std::max(static_cast<int>(place.top), height - ScaleY(kBottomGap));
  ::SetWindowPos(list, nullptr, 0, 0, place.right - place.left, bottom - place.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CNotesFilterPage::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  ResizeList(LOWORD(lParam), HIWORD(lParam));
  handled = FALSE;
  return 0;
}

LRESULT CNotesFilterPage::OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  handled = FALSE;  // the page template sees it too
  if (wParam != SPI_SETSIPINFO) return 0;
  const SIZE visible = GetVisiblePageSize(m_hWnd);
  ResizeList(visible.cx, visible.cy);
  return 0;
}

LRESULT CNotesFilterPage::OnFolderChanged(UINT, WPARAM, LPARAM lParam, BOOL&) {
  FillFolderList();
  if (lParam) SHChangeNotifyFree(reinterpret_cast<FILECHANGENOTIFY*>(lParam));
  return 0;
}

LRESULT CNotesFilterPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (m_registered) SHChangeNotifyDeregisterCE(m_hWnd);
  m_registered = FALSE;
  handled = FALSE;
  return 0;
}
