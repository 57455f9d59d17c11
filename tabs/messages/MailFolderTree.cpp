#include "tabs/messages/MailFolderTree.h"

#include <cstdio>

#include "base/RegKey.h"
#include "base/TaggedBlob.h"
#include "controls/WindowUtils.h"
#include "tabs/messages/EmailStore.h"
#include "pim/SystemUtils.h"
#include "platform/cemapi/cemapi.h"
#include "tabs/messages/WebISMailSettings.h"

namespace {

const int kAccountImage = 5;
const int kOtherFolderImage = 4;
const UINT kFolderBitmap = 22002;

// The folder's image by its kind bits, the first set bit of the list deciding. A
// folder whose kind does not read has no image: -1 would ask the parent for one
// (I_IMAGECALLBACK), which the parent does not answer.
int FolderImage(const SPropValue& type) {
  if (type.ulPropTag != PR_FOLDER_TYPE) return I_IMAGENONE;
  const struct {
    ULONG bit;
    int image;
  } images[] = {{0x40000, 0}, {0x80000, 3}, {0x100000, 7}, {0x200000, 1}, {0x400000, 6}};
  for (const auto& entry : images)
    if (type.Value.ul & entry.bit) return entry.image;
  return kOtherFolderImage;
}

// The next row of a table read one at a time; null at the end, on a failed read,
// or for a row that does not start with the entry identifier.
LPSRowSet NextRow(IMAPITable* table, ULONG columns) {
  LPSRowSet rows = nullptr;
  if (FAILED(table->QueryRows(1, 0, &rows)) || !rows) return nullptr;
  if (rows->cRows == 0 || rows->aRow[0].cValues < columns || rows->aRow[0].lpProps[0].ulPropTag != PR_ENTRYID) {
    FreeProws(rows);
    return nullptr;
  }
  return rows;
}

CString JoinPath(const CString& parent, const CString& name) {
  CString path = parent;
  path += L" - ";
  path += name;
  return path;
}

}  // namespace

ULONG GetStoreTransportTag() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExW(&version) && version.dwMajorVersion < 5 ? PR_CE_TRANSPORT_NAME_OLD_W
                                                                 : PR_CE_TRANSPORT_NAME_W;
}

CString GetMapiText(const SPropValue& value, ULONG tag) {
  if (value.ulPropTag != tag || !value.Value.lpszW) return CString();
  return value.Value.lpszW;
}

CMailTreeItem::~CMailTreeItem() {
  if (folder) folder->Release();
  if (store) store->Release();
}

CMailFolderTree::~CMailFolderTree() {
  Clear();
  if (m_hWnd) UnsubclassWindow(TRUE);
  if (m_images) ImageList_Destroy(m_images);
}

BOOL CMailFolderTree::Attach(HWND tree, LPCWSTR accountFilter, IMAPISession* session, CWebISMailSettings* webIS) {
  m_webIS = webIS ? webIS : &GetWebISMailSettings();
  m_hasFilter = accountFilter != nullptr;
  m_accountFilter = accountFilter ? accountFilter : L"";
  if (session) {
    session->AddRef();
    m_session = session;
    m_ownSession = FALSE;
  } else {
    m_ownSession = TRUE;
  }
  // The boxes' images are made when the style is set on a tree that exists, as
  // the common controls ask: a template's style alone leaves the tree without.
  const LONG_PTR style = ::GetWindowLongPtrW(tree, GWL_STYLE);
  ::SetWindowLongPtrW(tree, GWL_STYLE, style & ~static_cast<LONG_PTR>(TVS_CHECKBOXES));
  ::SetWindowLongPtrW(tree, GWL_STYLE, style | TVS_CHECKBOXES);
  if (!SubclassWindow(tree)) return FALSE;
  return Fill();
}

void CMailFolderTree::SetImages() {
  if (!m_images) {
    DWORD dpi = 96;
    HKEY gpe = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Drivers\\Display\\GPE", 0, KEY_READ, &gpe) == ERROR_SUCCESS) {
      ::RegCloseKey(gpe);
      CRegKey key(HKEY_LOCAL_MACHINE, L"Drivers\\Display\\GPE", FALSE);
      dpi = key.GetDWORD(L"LogicalPixelsX", CRegKey::kNoWriteBack);
      if (dpi == CRegKey::kNoWriteBack) dpi = 96;
    }
    WCHAR name[32];
    swprintf(name, ARRAYSIZE(name), L"outres.%u.dll", static_cast<unsigned>(dpi));
    HMODULE library = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!library) library = ::LoadLibraryExW(L"outres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (library) {
      HBITMAP bitmap = static_cast<HBITMAP>(
          ::LoadImageW(library, MAKEINTRESOURCEW(kFolderBitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      BITMAP info{};
      if (bitmap && ::GetObjectW(bitmap, sizeof info, &info) && info.bmHeight > 0) {
        const int side = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        m_images = ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, info.bmWidth / side, 0);
        if (m_images) ImageList_AddMasked(m_images, bitmap, RGB(255, 0, 255));
      }
      if (bitmap) ::DeleteObject(bitmap);
      ::FreeLibrary(library);
    }
  }
  if (m_images) TreeView_SetImageList(m_hWnd, m_images, TVSIL_NORMAL);
}

BOOL CMailFolderTree::Fill() {
  SetImages();
  if (!m_session) {
    if (!m_ownSession || FAILED(MAPILogonEx(0, nullptr, nullptr, 0, &m_session)) || !m_session) {
      m_session = nullptr;
      return FALSE;
    }
  }
  if (!AddStores()) return FALSE;
  AddWebISAccounts();
  return TRUE;
}

void CMailFolderTree::AddWebISAccounts() {
  if (!m_webIS || !m_webIS->IsInstalled()) return;
  // WebIS Mail's images by folder type 1-6.
  static const int kTypeImages[] = {0, 1, 7, 3, 6, 5};
  CString key, name;
  for (BOOL more = m_webIS->GetFirstAccount(key, name); more; more = m_webIS->GetNextAccount(key, name)) {
    if (m_hasFilter && key != m_accountFilter) continue;
    std::vector<WEBIS_FOLDER> folders;
    WEBIS_FOLDER folder;
    for (BOOL next = m_webIS->GetFirstFolder(key, folder); next; next = m_webIS->GetNextFolder(folder))
      folders.push_back(folder);
    auto record = std::make_unique<CMailTreeItem>();
    record->accountName = key;
    record->displayText = name;
    record->path = name;
    record->initialPath = name;
    record->webIS = TRUE;
    CMailTreeItem* account = record.get();
    m_records.push_back(std::move(record));
    HTREEITEM accountItem = Insert(TVI_ROOT, name, kAccountImage, TRUE, FALSE, account);
    if (!accountItem) continue;
    // Each folder goes below the nearest open level that is its parent; one whose
    // parent never comes is not shown.
    HTREEITEM current = accountItem;
    CMailTreeItem* currentRecord = account;
    for (;;) {
      auto found = folders.begin();
      while (found != folders.end() && found->parent != currentRecord->webISFolderId) ++found;
      if (found == folders.end()) {
        if (current == accountItem) break;
        current = TreeView_GetParent(m_hWnd, current);
        currentRecord = GetRecord(current);
        if (!currentRecord) break;
        continue;
      }
      auto child = std::make_unique<CMailTreeItem>();
      child->accountName = key;
      child->displayText = name;
      child->folderName = found->name;
      child->path = found->type == WEBIS_FOLDER_INBOX ? currentRecord->path : JoinPath(currentRecord->path, found->name);
      child->initialPath = child->path;
      child->webIS = TRUE;
      child->kind = 1;
      child->webISFolderId = found->id;
      const int image = found->type >= 1 && found->type <= 6 ? kTypeImages[found->type - 1] : kOtherFolderImage;
      CMailTreeItem* saved = child.get();
      m_records.push_back(std::move(child));
      HTREEITEM item = Insert(current, found->name, image, FALSE, TRUE, saved);
      folders.erase(found);
      if (!item) break;
      current = item;
      currentRecord = saved;
    }
  }
}

HTREEITEM CMailFolderTree::Insert(HTREEITEM parent, LPCWSTR text, int image, BOOL expanded, BOOL box,
                                  CMailTreeItem* record) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  insert.item.pszText = const_cast<LPWSTR>(text);
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  insert.item.lParam = reinterpret_cast<LPARAM>(record);
  insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
  insert.item.state = INDEXTOSTATEIMAGEMASK(box ? kBoxClear : kNoBox) | (expanded ? TVIS_EXPANDED : 0);
  HTREEITEM item = TreeView_InsertItem(m_hWnd, &insert);
  // The tree sets boxes of new items itself; the record decides.
  if (item) SetCheckState(item, box ? kBoxClear : kNoBox);
  return item;
}

BOOL CMailFolderTree::AddStores() {
  IMAPITable* table = nullptr;
  if (FAILED(m_session->GetMsgStoresTable(MAPI_UNICODE, &table)) || !table) return FALSE;
  const ULONG transportTag = GetStoreTransportTag();
  SizedSPropTagArray<3> columns = {3, {PR_ENTRYID, PR_DISPLAY_NAME_W, transportTag}};
  if (FAILED(table->SetColumns(columns, 0))) {
    table->Release();
    return FALSE;
  }
  while (LPSRowSet rows = NextRow(table, 3)) {
    const SPropValue* props = rows->aRow[0].lpProps;
    const CString name = GetMapiText(props[1], PR_DISPLAY_NAME_W);
    const CString transport = GetMapiText(props[2], transportTag);
    if ((m_hasFilter && name != m_accountFilter) || !IsInboxServicePresent(transport)) {
      FreeProws(rows);
      continue;
    }
    auto record = std::make_unique<CMailTreeItem>();
    record->accountName = name;
    record->displayText = GetInboxServiceFriendlyName(transport);
    if (record->displayText.IsEmpty()) record->displayText = name;
    record->path = record->displayText;
    record->initialPath = record->path;
    record->entryId.assign(props[0].Value.bin.lpb, props[0].Value.bin.lpb + props[0].Value.bin.cb);
    CMailTreeItem* account = record.get();
    m_records.push_back(std::move(record));
    HTREEITEM item = Insert(TVI_ROOT, account->displayText, kAccountImage, TRUE, FALSE, account);
    if (item && SUCCEEDED(m_session->OpenMsgStore(0, props[0].Value.bin.cb,
                                                  reinterpret_cast<LPENTRYID>(props[0].Value.bin.lpb), nullptr, 0,
                                                  &account->store)) &&
        account->store) {
      SizedSPropTagArray<1> subtreeTag = {1, {PR_IPM_SUBTREE_ENTRYID}};
      ULONG count = 0;
      LPSPropValue subtree = nullptr;
      if (SUCCEEDED(account->store->GetProps(subtreeTag, MAPI_UNICODE, &count, &subtree)) && subtree && count == 1 &&
          subtree[0].ulPropTag == PR_IPM_SUBTREE_ENTRYID) {
        ULONG type = 0;
        IUnknown* opened = nullptr;
        if (SUCCEEDED(account->store->OpenEntry(subtree[0].Value.bin.cb,
                                                reinterpret_cast<LPENTRYID>(subtree[0].Value.bin.lpb), nullptr, 0,
                                                &type, &opened)) &&
            opened) {
          if (type == MAPI_FOLDER)
            AddFolderLevel(account->store, static_cast<IMAPIFolder*>(opened), item, account->path, name);
          opened->Release();
        }
      }
      if (subtree) MAPIFreeBuffer(subtree);
    }
    FreeProws(rows);
  }
  table->Release();
  TreeView_SortChildren(m_hWnd, TVI_ROOT, FALSE);
  return TRUE;
}

void CMailFolderTree::AddFolderLevel(IMsgStore* store, IMAPIFolder* folder, HTREEITEM parent,
                                     const CString& parentPath, const CString& account) {
  IMAPITable* table = nullptr;
  if (FAILED(folder->GetHierarchyTable(MAPI_UNICODE, &table)) || !table) return;
  SizedSPropTagArray<3> columns = {3, {PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS}};
  if (SUCCEEDED(table->SetColumns(columns, 0))) {
    while (LPSRowSet rows = NextRow(table, 3)) {
      const SPropValue* props = rows->aRow[0].lpProps;
      ULONG type = 0;
      IUnknown* opened = nullptr;
      if (FAILED(folder->OpenEntry(props[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(props[0].Value.bin.lpb),
                                   nullptr, 0, &type, &opened)) ||
          !opened || type != MAPI_FOLDER) {
        if (opened) opened->Release();
        FreeProws(rows);
        continue;
      }
      IMAPIFolder* child = static_cast<IMAPIFolder*>(opened);
      SizedSPropTagArray<1> typeTag = {1, {PR_FOLDER_TYPE}};
      ULONG count = 0;
      LPSPropValue kind = nullptr;
      int image = I_IMAGENONE;
      if (SUCCEEDED(child->GetProps(typeTag, 0, &count, &kind)) && kind && count == 1) image = FolderImage(kind[0]);
      if (kind) MAPIFreeBuffer(kind);
      const CString name = GetMapiText(props[1], PR_DISPLAY_NAME_W);
      auto record = std::make_unique<CMailTreeItem>();
      record->accountName = account;
      record->folderName = name;
      record->path = image == 0 ? parentPath : JoinPath(parentPath, name);
      record->initialPath = record->path;
      record->displayText = name;
      record->entryId.assign(props[0].Value.bin.lpb, props[0].Value.bin.lpb + props[0].Value.bin.cb);
      record->kind = 1;
      store->AddRef();
      record->store = store;
      record->folder = child;  // the opened reference passes to the record
      CMailTreeItem* saved = record.get();
      m_records.push_back(std::move(record));
      HTREEITEM item = Insert(parent, name, image, FALSE, TRUE, saved);
      const bool subfolders = props[2].ulPropTag == PR_SUBFOLDERS && props[2].Value.b;
      if (item && subfolders) AddFolderLevel(store, child, item, JoinPath(parentPath, name), account);
      FreeProws(rows);
    }
  }
  table->Release();
  TreeView_SortChildren(m_hWnd, parent, FALSE);
}

int CMailFolderTree::GetCheckState(HTREEITEM item) const {
  if (!item || item == TVI_ROOT || !m_hWnd) return kNoBox;
  const UINT state = TreeView_GetItemState(m_hWnd, item, TVIS_STATEIMAGEMASK);
  return static_cast<int>(state >> 12);
}

void CMailFolderTree::SetCheckState(HTREEITEM item, int state) {
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_STATE;
  tvi.hItem = item;
  tvi.stateMask = TVIS_STATEIMAGEMASK;
  tvi.state = INDEXTOSTATEIMAGEMASK(state);
  TreeView_SetItem(m_hWnd, &tvi);
}

HTREEITEM CMailFolderTree::FindChecked(HTREEITEM except, HTREEITEM start) const {
  HTREEITEM child = (!start || start == TVI_ROOT) ? TreeView_GetRoot(m_hWnd) : TreeView_GetChild(m_hWnd, start);
  for (; child; child = TreeView_GetNextSibling(m_hWnd, child)) {
    if (child != except && GetCheckState(child) == kBoxTicked) return child;
    if (HTREEITEM below = FindChecked(except, child)) return below;
  }
  return nullptr;
}

CMailTreeItem* CMailFolderTree::GetRecord(HTREEITEM item) const {
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_PARAM;
  tvi.hItem = item;
  if (!item || !m_hWnd || !TreeView_GetItem(m_hWnd, &tvi)) return nullptr;
  return reinterpret_cast<CMailTreeItem*>(tvi.lParam);
}

void CMailFolderTree::Clear() {
  if (m_hWnd && ::IsWindow(m_hWnd)) TreeView_DeleteAllItems(m_hWnd);
  m_records.clear();
  if (m_session) {
    if (m_ownSession) m_session->Logoff(0, 0, 0);
    m_session->Release();
    m_session = nullptr;
  }
}

void CMailFolderTree::NotifyParent(HTREEITEM item) {
  NMTREEVIEWW notify{};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
  notify.hdr.code = kBoxChanging;
  notify.itemOld.hItem = item;
  notify.itemNew.hItem = item;
  ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void CMailFolderTree::OnClick() {
  TVHITTESTINFO hit{};
  hit.pt = m_lastDown;
  HTREEITEM item = TreeView_HitTest(m_hWnd, &hit);
  if (!item || !(hit.flags & TVHT_ONITEMSTATEICON)) return;
  TreeView_SelectItem(m_hWnd, item);
  NotifyParent(item);
}

void CMailFolderTree::OnReturn() {
  HTREEITEM item = TreeView_GetSelection(m_hWnd);
  const int state = GetCheckState(item);
  if (state == kNoBox) return;
  NotifyParent(item);
  SetCheckState(item, state == kBoxClear ? kBoxTicked : kBoxClear);
}

BOOL CMailFolderTree::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                           DWORD) {
  switch (message) {
    case WM_LBUTTONDOWN:
      m_lastDown.x = static_cast<short>(LOWORD(lParam));
      m_lastDown.y = static_cast<short>(HIWORD(lParam));
      return FALSE;
    case WM_LBUTTONDBLCLK:
      // A double tap acts as two taps, so a quick second tap turns the box back.
      SplitDoubleTap(m_hWnd, wParam, lParam);
      result = 0;
      return TRUE;
    case WM_DESTROY:
      Clear();
      return FALSE;
    default:
      return FALSE;
  }
}

void CMailFolderTree::SetChooserScope(LPCWSTR accountFilter, IMAPISession* session) {
  m_chooserHasAccount = accountFilter != nullptr;
  m_chooserAccount = accountFilter ? accountFilter : L"";
  m_chooserSession = session;
}

BOOL CMailFolderTree::Fill(HWND tree) {
  return Attach(tree, m_chooserHasAccount ? static_cast<LPCWSTR>(m_chooserAccount) : nullptr, m_chooserSession);
}

const MAIL_FOLDER_NODE* CMailFolderTree::GetItemData(HTREEITEM item) {
  CMailTreeItem* record = item ? GetRecord(item) : nullptr;
  if (!record) return nullptr;
  MAIL_FOLDER_NODE& node = record->node;
  node.isStore = record->kind == 0;
  node.selectable = TRUE;
  node.storeKind = record->webIS ? kStoreWebIS : kStoreMapiFolder;
  if (node.isStore) {
    node.name = record->displayText;
    node.folderId = CBlobObj();
  } else {
    node.name = record->folderName;
    if (record->webIS)
      PackKindText(record->webISFolderId, record->accountName, node.folderId);
    else
      node.folderId.Assign(record->entryId.data(), static_cast<DWORD>(record->entryId.size()));
  }
  return &node;
}
