#include "pim/CategoryIcons.h"

#include <algorithm>
#include <cwchar>

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "pim/CategoriesList.h"
#include "pim/IconFile.h"

namespace {

const wchar_t kEscaped[] = L"%\\/:*?\"<>|";
const wchar_t kAgendaFusionKey[] = L"\\SOFTWARE\\Developer One, Inc.\\Agenda Fusion";
const wchar_t kPocketInformantKey[] = L"\\Software\\WebIS\\PocketInformant";
const wchar_t kIconChooserMru[] = L"\\Software\\WebIS\\PocketInformant\\Menus\\IconChooser\\MRU";
const wchar_t kPictureChooserMru[] = L"\\Software\\WebIS\\PocketInformant\\Menus\\PictureChooser\\MRU";

// Another vendor's value, read without creating its key or writing anything back.
CString ForeignFolder(HKEY root, LPCWSTR path, LPCWSTR name) {
  CRegKey key(root, path, FALSE, FALSE);
  CString folder = key.IsOpen() ? key.QueryString(name) : CString();
  EnsureTrailingBackslash(folder);
  return folder;
}

}  // namespace

CString EscapeFileName(LPCWSTR name) {
  CString out;
  for (; name && *name; ++name) {
    const wchar_t* at = wcschr(kEscaped, *name);
    if (at) {
      out += L'%';
      out += static_cast<wchar_t>(L'A' + (at - kEscaped));
    } else {
      out += *name;
    }
  }
  return out;
}

CString UnescapeFileName(LPCWSTR name) {
  CString out;
  for (; name && *name; ++name) {
    wchar_t c = *name;
    if (c == L'%' && name[1] >= L'A' && name[1] <= L'J') c = kEscaped[*++name - L'A'];
    out += c;
  }
  return out;
}

CString GetAgendaFusionCategoryFolder() {
  return ForeignFolder(HKEY_LOCAL_MACHINE, kAgendaFusionKey, L"Core.Categories");
}

CString GetPocketInformantIconFolder() { return ForeignFolder(HKEY_CURRENT_USER, kPocketInformantKey, L"IconPath"); }

CString GetAgendaFusionIconFolder() {
  return ForeignFolder(HKEY_LOCAL_MACHINE, kAgendaFusionKey, L"SourceIconLocation");
}

CString GetPocketInformantIconMru() {
  CString folder = ForeignFolder(HKEY_CURRENT_USER, kIconChooserMru, L"0");
  if (folder.IsEmpty()) folder = ForeignFolder(HKEY_CURRENT_USER, kPictureChooserMru, L"0");
  return folder;
}

CString GetIconsFolder() {
  CString folder;
  GetInstallPath(folder, L"Icons\\");
  return folder;
}

CString GetIconSetFolder() {
  CString folder;
  GetInstallPath(folder, L"IconSet\\");
  return folder;
}

CString GetCurrentPimIconFolder() {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  switch (product.GetDWORD(L"CurrentPIM", 0)) {
    case 1:
      return GetAgendaFusionCategoryFolder();
    case 2:
      return GetPocketInformantIconFolder();
    default:
      return GetIconsFolder();
  }
}

BOOL HasListSizeIcon(LPCWSTR folder) {
  if (!folder || !*folder) return FALSE;
  CString base = folder;
  EnsureTrailingBackslash(base);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(base + L"*.bmp", &found);
  if (search == INVALID_HANDLE_VALUE) return FALSE;
  const int limitX = ScaleX(30);
  const int limitY = ScaleY(30);
  BOOL fits = FALSE;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == L'.') continue;
    CKeyedBitmap icon;
    if (!icon.LoadFile(base + found.cFileName)) continue;
    const SIZE size = icon.GetSize();
    fits = size.cx <= limitX && size.cy <= limitY;
  } while (!fits && FindNextFileW(search, &found));
  FindClose(search);
  return fits;
}

CCategoryIcons::CCategoryIcons() : m_folderKnown(FALSE), m_loaded(FALSE), m_largest{0, 0} {}

CCategoryIcons::~CCategoryIcons() { Clear(); }

void CCategoryIcons::Clear() {
  for (CKeyedBitmap* icon : m_icons) delete icon;
  m_icons.clear();
  m_names.clear();
  m_colors.Clear();
  m_folder.Empty();
  m_folderKnown = FALSE;
  m_loaded = FALSE;
  m_largest = {0, 0};
}

const CString& CCategoryIcons::GetIconFolder() {
  if (m_folderKnown) return m_folder;
  m_folderKnown = TRUE;
  m_folder = GetCurrentPimIconFolder();
  return m_folder;
}

CString CCategoryIcons::GetIconPath(int index) {
  CString name;
  if (index >= 0 && static_cast<size_t>(index) < m_names.size()) {
    name = m_names[index];
  } else if (const CCategoriesList* list = CCategoriesList::GetCurrent()) {
    name = list->GetName(index);
  }
  const CString& folder = GetIconFolder();
  if (name.IsEmpty() || folder.IsEmpty()) return CString();
  return folder + EscapeFileName(name) + L".bmp";
}

int CCategoryIcons::LoadIcons() {
  Clear();
  if (const CCategoriesList* list = CCategoriesList::GetCurrent())
    for (int i = 0; i < list->GetCount(); ++i) m_names.push_back(list->GetName(i));
  const CString folder = GetIconFolder();
  m_icons.assign(m_names.size(), nullptr);
  for (size_t i = 0; i < m_names.size() && !folder.IsEmpty(); i++) {
    // A deleted category keeps its place but has no file.
    if (m_names[i].IsEmpty()) continue;
    const CString path = folder + EscapeFileName(m_names[i]) + L".bmp";
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) continue;
    CKeyedBitmap* icon = new CKeyedBitmap;
    if (!icon->LoadFile(path)) {
      delete icon;
      continue;
    }
    icon->SetKeyColor(kKeyColor);
    const SIZE size = icon->GetSize();
    m_largest.cx = std::max(m_largest.cx, size.cx);
    m_largest.cy = std::max(m_largest.cy, size.cy);
    m_icons[i] = icon;
  }
  m_colors.Load(m_names);
  m_loaded = TRUE;
  return 1;
}

CKeyedBitmap* CCategoryIcons::GetIcon(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_icons.size()) return nullptr;
  return m_icons[index];
}

CKeyedBitmap* CCategoryIcons::GetFirstIcon(const CBitSet& set) const {
  for (int i = set.FindNext(0); i >= 0 && static_cast<size_t>(i) < m_icons.size(); i = set.FindNext(i + 1))
    if (m_icons[i]) return m_icons[i];
  return nullptr;
}

BOOL CCategoryIcons::SetIconFile(int index, LPCWSTR source) {
  const CString path = GetIconPath(index);
  if (path.IsEmpty() || !source) return FALSE;
  return CopyIntoFolder(source, GetIconFolder(), path);
}

void CCategoryIcons::DeleteIcon(int index) {
  const CString path = GetIconPath(index);
  if (!path.IsEmpty() && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
    ClearReadOnlyAttribute(path);
    DeleteFileW(path);
  }
  if (index >= 0 && static_cast<size_t>(index) < m_icons.size()) {
    delete m_icons[index];
    m_icons[index] = nullptr;
  }
}

CCategoryIcons* GetCategoryIcons() {
  CSkin& skin = CSkin::Instance();
  if (!skin.GetCategoryIcons()) skin.SetCategoryIcons(new CCategoryIcons);
  return static_cast<CCategoryIcons*>(skin.GetCategoryIcons());
}
