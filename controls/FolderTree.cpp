#include "controls/FolderTree.h"

#include <shellapi.h>

#include "platform/aygshell/aygshell.h"
#include "controls/WaitCursor.h"

namespace {

const DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
const DWORD kFolderEvents = SHCNE_MKDIR | SHCNE_RMDIR | SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED |
                            SHCNE_DRIVEREMOVED | SHCNE_DRIVEADD | SHCNE_NETSHARE | SHCNE_NETUNSHARE |
                            SHCNE_RENAMEFOLDER;

bool IsWholeFileSystem(LPCWSTR path) { return !path || !path[0] || (path[0] == L'\\' && !path[1]); }

bool EndsWithSeparator(const CString& path) {
  return !path.IsEmpty() && path[path.GetLength() - 1] == L'\\';
}

bool IsFolder(const CString& path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// base + "\" + name, FALSE when that would be longer than the tree handles.
BOOL JoinPath(const CString& base, LPCWSTR name, CString& out) {
  const int length = base.GetLength() + (EndsWithSeparator(base) ? 0 : 1) + lstrlenW(name);
  if (length > kFolderPathLimit) return FALSE;
  out = base;
  if (!EndsWithSeparator(out)) out += L'\\';
  out += name;
  return TRUE;
}

int SmallIconIndex(LPCWSTR path) {
  SHFILEINFOW info = {};
  if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return 0;
  return info.iIcon;
}

}  // namespace

CFolderTree::~CFolderTree() {
  if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

HWND CFolderTree::Create(HWND parent, const RECT& rect, UINT id) {
  return CWindowImpl<CFolderTree>::Create(parent, &rect, nullptr, WS_CHILD | WS_VISIBLE, 0, id);
}

BOOL CFolderTree::SetRoot(LPCWSTR path) {
  if (IsWholeFileSystem(path)) {
    m_root = L"\\";
    return TRUE;
  }
  CString root = path;
  while (EndsWithSeparator(root)) root.Delete(root.GetLength() - 1, 1);
  m_root.Empty();
  if (root.IsEmpty() || root.GetLength() > kFolderPathLimit || !IsFolder(root)) return FALSE;
  m_root = root;
  return TRUE;
}

void CFolderTree::SetStartPath(LPCWSTR path) {
  if (IsWholeFileSystem(path)) {
    m_current.Empty();
    return;
  }
  CString start = path;
  if (EndsWithSeparator(start)) start.Delete(start.GetLength() - 1, 1);
  if (start.GetLength() <= kFolderPathLimit && IsFolder(start)) m_current = start;
}

HTREEITEM CFolderTree::GetRootItem() const {
  return m_tree ? TreeView_GetRoot(m_tree) : nullptr;
}

CString CFolderTree::ItemText(HTREEITEM item) const {
  WCHAR text[MAX_PATH] = L"";
  TVITEMW data = {};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = MAX_PATH;
  if (!::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return CString();
  text[MAX_PATH - 1] = L'\0';
  return CString(text);
}

LPARAM CFolderTree::ItemData(HTREEITEM item) const {
  TVITEMW data = {};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  return ::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) ? data.lParam : 0;
}

void CFolderTree::SetItemData(HTREEITEM item, LPARAM value) {
  TVITEMW data = {};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  data.lParam = value;
  ::SendMessageW(m_tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
}

HTREEITEM CFolderTree::InsertItem(HTREEITEM parent, LPCWSTR text, const CString& path, LPARAM loaded) {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<LPWSTR>(text);
  insert.item.iImage = insert.item.iSelectedImage = SmallIconIndex(path);
  insert.item.lParam = loaded;
  return reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CFolderTree::ReadFolder(const CString& path, HTREEITEM parent, int depth) {
  CString pattern = path;
  pattern += EndsWithSeparator(path) ? L"*.*" : L"\\*.*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    found.cFileName[MAX_PATH - 1] = L'\0';
    // The desktop lists the folder itself and its parent; the device does not.
    if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L"..")) continue;
    CString child;
    if (!JoinPath(path, found.cFileName, child)) continue;  // too deep to reach again
    HTREEITEM item = InsertItem(parent, found.cFileName, child, 0);
    if (!item) continue;
    if (depth <= 1) break;
    ReadFolder(child, item, depth - 1);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void CFolderTree::LoadItem(HTREEITEM item, BOOL matched) {
  if (!item || ItemData(item) != 0) return;
  HTREEITEM root = GetRootItem();
  HTREEITEM first = TreeView_GetChild(m_tree, item);
  if (item != root && !first) {
    if (matched) SetItemData(item, 1);
    return;
  }
  CWaitCursor wait;
  if (item == root) {
    ReadFolder(m_root, item, 2);
  } else {
    CString path = GetItemPath(item);
    TreeView_DeleteItem(m_tree, first);  // the placeholder
    ReadFolder(path, item, 2);
  }
  SetItemData(item, 1);
}

void CFolderTree::Rebuild() {
  TreeView_DeleteAllItems(m_tree);
  if (m_root.IsEmpty()) return;
  HTREEITEM root = InsertItem(nullptr, m_root, m_root, 0);
  if (!root) return;
  // Read once here and marked read, so the expansion below does not list the
  // root's folders a second time.
  LoadItem(root, TRUE);
  TreeView_Expand(m_tree, root, TVE_EXPAND);
}

HTREEITEM CFolderTree::FindChild(HTREEITEM parent, LPCWSTR name) const {
  for (HTREEITEM child = TreeView_GetChild(m_tree, parent); child; child = TreeView_GetNextSibling(m_tree, child)) {
    if (!lstrcmpiW(ItemText(child), name)) return child;
  }
  return nullptr;
}

BOOL CFolderTree::SelectPath(LPCWSTR path) {
  if (!m_tree) return FALSE;
  ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
  Rebuild();
  HTREEITEM item = GetRootItem();
  CString rest = path ? path : L"";
  if (rest.GetLength() > kFolderPathLimit) item = nullptr;
  // A full path under the root is walked from below the root.
  if (item && m_root != L"\\" && rest.GetLength() >= m_root.GetLength() &&
      !_wcsnicmp(rest, m_root, m_root.GetLength()) &&
      (rest.GetLength() == m_root.GetLength() || rest[m_root.GetLength()] == L'\\'))
    rest.Delete(0, m_root.GetLength());
  int at = 0;
  while (item && at < rest.GetLength()) {
    if (rest[at] == L'\\') {
      ++at;
      continue;
    }
    int end = rest.Find(L'\\', at);
    if (end < 0) end = rest.GetLength();
    CString name = rest.Mid(at, end - at);
    at = end;
    LoadItem(item, TRUE);
    item = FindChild(item, name);
    if (item) LoadItem(item, TRUE);
  }
  ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
  if (!item) return FALSE;
  m_current = (path && path[0]) ? CString(path) : CString();
  TreeView_SelectItem(m_tree, item);
  TreeView_EnsureVisible(m_tree, item);
  ::InvalidateRect(m_tree, nullptr, TRUE);
  return TRUE;
}

CString CFolderTree::GetItemPath(HTREEITEM item) const {
  if (!item || !m_tree) return CString();
  HTREEITEM root = GetRootItem();
  CString below;
  for (HTREEITEM at = item; at && at != root; at = TreeView_GetParent(m_tree, at)) {
    CString part = ItemText(at);
    part += L'\\';
    part += below;
    below = part;
  }
  CString path = m_root;
  if (!EndsWithSeparator(path)) path += L'\\';
  path += below;
  return path;
}

CString CFolderTree::GetSelectedPath() const {
  return m_tree ? GetItemPath(TreeView_GetSelection(m_tree)) : CString();
}

LRESULT CFolderTree::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client{};
  GetClientRect(&client);
  m_tree = CreateWindowExW(0, WC_TREEVIEWW, L"", kTreeStyle, 0, 0, client.right, client.bottom, m_hWnd, nullptr,
                           GetModule().GetModuleInstance(), nullptr);
  if (!m_tree) return -1;
  SHFILEINFOW info = {};
  m_images = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (m_images) TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
  SHCHANGENOTIFYENTRY entry = {kFolderEvents, nullptr, TRUE};
  m_registered = SHChangeNotifyRegisterCE(m_hWnd, &entry);
  HFONT base = reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0));
  if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTW font = {};
  if (GetObjectW(base, sizeof(font), &font)) {
    HDC screen = ::GetDC(nullptr);
    font.lfHeight = -(GetDeviceCaps(screen, LOGPIXELSY) * 9) / 72;
    ::ReleaseDC(nullptr, screen);
    m_font = CreateFontIndirectW(&font);
    if (m_font) ::SendMessageW(m_tree, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
  }
  SelectPath(m_current);
  ::SetFocus(m_tree);
  return 0;
}

LRESULT CFolderTree::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (m_registered) SHChangeNotifyDeregisterCE(m_hWnd);
  m_registered = FALSE;
  if (m_tree) {
    // The system list is shared: it is taken off, never destroyed.
    TreeView_SetImageList(m_tree, nullptr, TVSIL_NORMAL);
    ::SendMessageW(m_tree, WM_SETFONT, 0, FALSE);
    ::DestroyWindow(m_tree);
    m_tree = nullptr;
  }
  if (m_font) DeleteObject(m_font);
  m_font = nullptr;
  m_images = nullptr;
  handled = FALSE;
  return 0;
}

LRESULT CFolderTree::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_tree) ::MoveWindow(m_tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return 0;
}

LRESULT CFolderTree::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_tree) ::SetFocus(m_tree);
  return 0;
}

LRESULT CFolderTree::OnFileChange(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (lParam) SHChangeNotifyFree(reinterpret_cast<FILECHANGENOTIFY*>(lParam));
  if (!m_tree) return 0;
  SelectPath(GetItemPath(TreeView_GetSelection(m_tree)));
  return 0;
}

LRESULT CFolderTree::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->code != static_cast<UINT>(TVN_ITEMEXPANDINGW)) {
    handled = FALSE;
    return 0;
  }
  auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
  HTREEITEM item = change->itemNew.hItem;
  if (!item || !m_tree) return FALSE;
  const UINT state = TreeView_GetItemState(m_tree, item, TVIS_EXPANDED);
  if (!(state & TVIS_EXPANDED) && TreeView_GetChild(m_tree, item)) LoadItem(item, FALSE);
  return FALSE;
}
