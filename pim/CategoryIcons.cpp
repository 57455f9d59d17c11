#include "pim/CategoryIcons.h"

#include <algorithm>
#include <cwchar>

#include "base/InstallPath.h"
#include "base/RegKey.h"

namespace {

const wchar_t kEscaped[] = L"%\\/:*?\"<>|";

CString FolderFromValue(HKEY root, LPCWSTR path, LPCWSTR name) {
  CRegKey key(root, path);
  CString folder = key.GetString(name, L"");
  EnsureTrailingBackslash(folder);
  return folder;
}

}  // namespace

CString EscapeFileName(LPCWSTR name) {
  CString out;
  for (; name && *name; ++name) {
    const wchar_t* at = wcschr(kEscaped, *name);
    if (at) {
      const wchar_t code[3] = {L'%', static_cast<wchar_t>(L'A' + (at - kEscaped)), 0};
      out += code;
    } else {
      const wchar_t one[2] = {*name, 0};
      out += one;
    }
  }
  return out;
}

CString UnescapeFileName(LPCWSTR name) {
  CString out;
  for (; name && *name; ++name) {
    wchar_t c = *name;
    if (c == L'%' && name[1] >= L'A' && name[1] <= L'J') c = kEscaped[*++name - L'A'];
    const wchar_t one[2] = {c, 0};
    out += one;
  }
  return out;
}

CCategoryIcons::CCategoryIcons() : m_folderKnown(FALSE), m_loaded(FALSE), m_largest{0, 0} {}

CCategoryIcons::~CCategoryIcons() { Clear(); }

void CCategoryIcons::SetCategoryNames(const std::vector<CString>& names) { m_names = names; }

void CCategoryIcons::Clear() {
  for (CKeyedBitmap* icon : m_icons) delete icon;
  m_icons.clear();
  m_folder.Empty();
  m_folderKnown = FALSE;
  m_loaded = FALSE;
  m_largest = {0, 0};
}

const CString& CCategoryIcons::GetIconFolder() {
  if (m_folderKnown) return m_folder;
  m_folderKnown = TRUE;
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  switch (product.GetDWORD(L"CurrentPIM", 0)) {
    case 1:
      m_folder = FolderFromValue(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Developer One, Inc.\\Agenda Fusion",
                                 L"Core.Categories");
      break;
    case 2:
      m_folder = FolderFromValue(HKEY_CURRENT_USER, L"\\Software\\WebIS\\PocketInformant", L"IconPath");
      break;
    default:
      GetInstallPath(m_folder, L"Icons\\");
      break;
  }
  return m_folder;
}

int CCategoryIcons::LoadIcons() {
  Clear();
  const CString folder = GetIconFolder();
  m_icons.assign(m_names.size(), nullptr);
  for (size_t i = 0; i < m_names.size() && !folder.IsEmpty(); i++) {
    CString path = folder;
    path += EscapeFileName(m_names[i]);
    path += L".bmp";
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
  m_loaded = TRUE;
  return 1;
}

CKeyedBitmap* CCategoryIcons::GetIcon(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_icons.size()) return nullptr;
  return m_icons[index];
}

CCategoryIcons* GetCategoryIcons() {
  CSkin& skin = CSkin::Instance();
  if (!skin.GetCategoryIcons()) skin.SetCategoryIcons(new CCategoryIcons);
  return static_cast<CCategoryIcons*>(skin.GetCategoryIcons());
}
