#include "controls/KeyLayouts.h"

#include <cwchar>

#include "base/InstallPath.h"
#include "base/RegKey.h"

namespace {

BOOL g_optionsRules = FALSE;

const WCHAR kByteOrderMark = 0xFEFF;
const WCHAR kHWKeysName[] = L"HWKeysLayout";
const WCHAR kLatinName[] = L"Latin";
// The built-in texts are kept as UTF-8 and converted at most this long.
const int kMaxBuiltInLength = 512;

const char kLatinText[] =
    u8"labc(abcàáâãäåæçč) def(defèéêë) ghi(ghiìíîï) jkl(jkl) mno(mnoñòóôõöø) pqrs(pqrsßř) tuv(tuvùúûü) "
    u8"wxyz(wxyzýÿ)";
const char kHWKeysText[] =
    u8"la(àáâãäåæ) c(çč) e(èéêë) i(ìíîï) n(ñ) o(òóôõöø) r(ř) s(ß) u(ùúûü) y(ýÿ) и(й) е(ё) α(ά) ε(έ) η(ή) "
    u8"ι(ίϊΐ) ο(ό) υ(ύϋΰ) ω(ώ)";

// A built-in text parsed like a file; both are known to parse.
std::unique_ptr<CKeyLayout> ParseBuiltIn(const char* utf8) {
  WCHAR text[kMaxBuiltInLength + 1] = {};
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, kMaxBuiltInLength + 1);
  if (length <= 0) length = kMaxBuiltInLength + 1;
  std::unique_ptr<CKeyLayout> layout(new CKeyLayout);
  CKeyLayout::Parse(text, length - 1, layout.get());
  return layout;
}

int FindFrom(LPCWSTR text, int from, int end, WCHAR ch) {
  for (int i = from; i < end; ++i)
    if (text[i] == ch) return i;
  return -1;
}

CString GroupText(LPCWSTR text, int from, int to) {
  CString part(text + from, to - from);
  if (g_optionsRules)
    part.Remove(L' ');
  else
    part.Trim(L' ');
  return part;
}

BOOL IsTxtName(const CString& name, CString& baseName) {
  const int dot = name.ReverseFind(L'.');
  if (dot <= 0 || lstrcmpiW(name.Mid(dot), L".txt") != 0) return FALSE;
  baseName = name.Left(dot);
  return TRUE;
}

}  // namespace

BOOL CKeyLayout::Parse(LPCWSTR text, int length, CKeyLayout* layout, CString* reason) {
  CString why;
  std::vector<CKeyGroup> groups;
  int end = 0;
  while (text && end < length && text[end]) ++end;
  if (end == 0) {
    why = L"no text after the byte-order mark";
  } else {
    for (int at = 1; at < end && why.IsEmpty(); ++at) {
      const int number = static_cast<int>(groups.size()) + 1;
      const int open = FindFrom(text, at, end, L'(');
      const int close = FindFrom(text, at, end, L')');
      if (open < 0 && close < 0 && number > 1)
        why = L"text after the last \")\"";
      else if (open < 0)
        why.Format(L"group %d has no \"(\"", number);
      else if (close < 0)
        why.Format(L"group %d has no \")\"", number);
      else if (close < open)
        why.Format(L"group %d has \")\" before \"(\"", number);
      else if (open == at)
        why.Format(L"group %d has no label", number);
      else if (close == open + 1)
        why.Format(L"group %d has no letters", number);
      else if (FindFrom(text, open + 1, close, L'(') >= 0)
        why.Format(L"group %d has \"(\" inside its letters", number);
      if (!why.IsEmpty()) break;
      CKeyGroup group;
      group.label = GroupText(text, at, open);
      group.letters = GroupText(text, open + 1, close);
      groups.push_back(group);
      at = close;
    }
    // A bar without cells draws nothing and types nothing: that is no layout.
    if (why.IsEmpty() && groups.empty()) why = L"no letter groups";
  }
  if (!why.IsEmpty()) {
    if (reason) *reason = why;
    return FALSE;
  }
  if (layout) {
    layout->m_direction = text[0] == L'r';
    layout->m_groups.swap(groups);
  }
  return TRUE;
}

void CKeyLayouts::SetOptionsProgramRules(BOOL options) { g_optionsRules = options ? TRUE : FALSE; }
BOOL CKeyLayouts::IsOptionsProgramRules() { return g_optionsRules; }

CKeyLayouts::CKeyLayouts() {
  CString zipPath, folderPath;
  GetInstallPath(zipPath, L"layouts.zip");
  GetInstallPath(folderPath, L"layouts");
  Build(zipPath, folderPath);
}

CKeyLayouts::CKeyLayouts(LPCWSTR folder) {
  CString base(folder);
  EnsureTrailingBackslash(base);
  Build(base + L"layouts.zip", base + L"layouts");
}

CKeyLayouts::~CKeyLayouts() = default;

CKeyLayouts& CKeyLayouts::Instance() {
  static CKeyLayouts layouts;
  return layouts;
}

void CKeyLayouts::Build(const CString& zipPath, const CString& folderPath) {
  if (!m_archive.Open(zipPath)) m_archive.Open(folderPath);
  std::vector<CString> names;
  if (m_archive.IsOpen()) ListSource(names);
  for (const CString& member : names) {
    CString baseName;
    if (!IsTxtName(member, baseName) || baseName.CompareNoCase(kHWKeysName) == 0) continue;
    LoadLayout(baseName, TRUE);
  }
  if (Find(kLatinName) < 0) {
    Entry latin;
    latin.name = kLatinName;
    latin.layout = ParseBuiltIn(kLatinText);
    m_entries.push_back(std::move(latin));
  }
  // A shipped file replaces the built-in folding table.
  CString text, reason;
  CString fileName(kHWKeysName);
  fileName += L".txt";
  if (m_archive.IsOpen() && m_archive.GetFileSize(fileName) && ReadText(fileName, text)) {
    std::unique_ptr<CKeyLayout> layout(new CKeyLayout);
    if (CKeyLayout::Parse(text, text.GetLength(), layout.get(), &reason))
      m_hwKeys = std::move(layout);
    else
      LogProblem(fileName, reason);
  }
  if (!m_hwKeys) m_hwKeys = ParseBuiltIn(kHWKeysText);
}

// Member names as the source gives them: a .zip's entries in their order with any
// folder part cut off, a folder's files that are no folders and do not begin
// with ".".
void CKeyLayouts::ListSource(std::vector<CString>& names) {
  const int count = m_archive.GetFileCount();
  for (int i = 0; i < count; ++i) {
    WCHAR name[CSkinArchive::kMaxName + 1];
    if (!m_archive.GetFileName(i, name, ARRAYSIZE(name))) continue;
    CString member(name);
    for (int k = member.GetLength(); k-- > 0;) {
      if (member[k] == L'/' || member[k] == L'\\') {
        member = member.Mid(k + 1);
        break;
      }
    }
    if (!member.IsEmpty()) names.push_back(member);
  }
}

LPCWSTR CKeyLayouts::GetName(int index) const {
  if (index < 0 || index >= GetCount()) return L"";
  return m_entries[size_t(index)].name;
}

int CKeyLayouts::Find(LPCWSTR name) const {
  if (!name) return -1;
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].name.Compare(name) == 0) return static_cast<int>(i);
  return -1;
}

CKeyLayout* CKeyLayouts::GetLayout(LPCWSTR name, BOOL load) {
  int index = Find(name);
  if (index >= 0 && m_entries[size_t(index)].layout) return m_entries[size_t(index)].layout.get();
  if (!load || (index < 0 && !g_optionsRules) || !name || !*name) return nullptr;
  if (!LoadLayout(name, FALSE) && index >= 0 && wcscmp(name, kLatinName) == 0) {
    // A "Latin" file that checked at start but no longer reads: the built-in
    // layout stands in, so a tab always has its default.
    m_entries[size_t(index)].layout = ParseBuiltIn(kLatinText);
  }
  index = Find(name);
  return index >= 0 ? m_entries[size_t(index)].layout.get() : nullptr;
}

CString CKeyLayouts::GetLayoutName(const CKeyLayout* layout) const {
  if (!layout) return CString();
  for (const Entry& entry : m_entries)
    if (entry.layout.get() == layout) return entry.name;
  return CString();
}

CKeyLayout* CKeyLayouts::GetHWKeysLayout(BOOL) { return m_hwKeys.get(); }

CString CKeyLayouts::NormaliseName(LPCWSTR name) {
  CString normal(name);
  normal.MakeLower();
  if (!normal.IsEmpty()) {
    WCHAR first = normal[0];
    CharUpperBuffW(&first, 1);
    normal.SetAt(0, first);
  }
  return normal;
}

void CKeyLayouts::LogProblem(LPCWSTR fileName, LPCWSTR reason) {
  CString line;
  line.Format(L"%s: %s", fileName, reason);
  m_problems.Add(line);
  CString output(L"key layouts: ");
  output += line;
  output += L"\n";
  OutputDebugStringW(output);
}

BOOL CKeyLayouts::ReadText(LPCWSTR fileName, CString& text) {
  const DWORD size = m_archive.GetFileSize(fileName);
  if (!size) {
    LogProblem(fileName, L"missing or empty");
    return FALSE;
  }
  if (size > kMaxFileSize) {
    LogProblem(fileName, L"larger than a layout can be");
    return FALSE;
  }
  DWORD read = 0;
  BYTE* bytes = m_archive.ReadMember(fileName, &read);
  if (!bytes) {
    LogProblem(fileName, L"cannot be read: damaged, or its stored size is wrong");
    return FALSE;
  }
  BOOL ok = FALSE;
  if (read % sizeof(WCHAR)) {
    LogProblem(fileName, L"ends in half a character");
  } else if (read < sizeof(WCHAR) || reinterpret_cast<const WCHAR*>(bytes)[0] != kByteOrderMark) {
    LogProblem(fileName, L"no UTF-16 byte-order mark");
  } else {
    text = CString(reinterpret_cast<const WCHAR*>(bytes) + 1, static_cast<int>(read / sizeof(WCHAR)) - 1);
    ok = TRUE;
  }
  LocalFree(bytes);
  return ok;
}

BOOL CKeyLayouts::LoadLayout(LPCWSTR name, BOOL checkOnly) {
  if (!m_archive.IsOpen() || !name || !*name || _wcsicmp(name, kHWKeysName) == 0) return FALSE;
  const CString normal = NormaliseName(name);
  int index = Find(normal);
  if (index >= 0 && m_entries[size_t(index)].layout) return TRUE;
  CString fileName(name);
  fileName += L".txt";
  CString text;
  if (!ReadText(fileName, text)) return FALSE;
  const BOOL listedHere = index < 0;
  if (listedHere) {
    Entry entry;
    entry.name = normal;
    m_entries.push_back(std::move(entry));
    index = GetCount() - 1;
  }
  Entry& entry = m_entries[size_t(index)];
  CString reason;
  std::unique_ptr<CKeyLayout> layout(checkOnly ? nullptr : new CKeyLayout);
  if (CKeyLayout::Parse(text, text.GetLength(), layout.get(), &reason)) {
    if (layout) entry.layout = std::move(layout);
    return TRUE;
  }
  LogProblem(fileName, reason);
  if (listedHere) m_entries.erase(m_entries.begin() + index);
  return FALSE;
}

void CKeyLayouts::LoadSelection(LPCWSTR prefix, CKeyLayoutList& layouts, int& active) {
  layouts.RemoveAll();
  CString valueName;
  valueName.Format(L"%s_layouts", prefix);
  CString names;
  DWORD stored;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    names = key.GetString(valueName, kLatinName);
    valueName.Format(L"%s_layout_active", prefix);
    stored = key.GetDWORD(valueName, 0);
  }
  const int wanted = static_cast<int>(stored);
  active = wanted < 0 ? -1 : wanted;
  int position = 0;
  for (int start = 0; start <= names.GetLength(); ++position) {
    int comma = names.Find(L',', start);
    if (comma < 0) comma = names.GetLength();
    const CString piece = names.Mid(start, comma - start);
    start = comma + 1;
    CKeyLayout* layout = piece.IsEmpty() ? nullptr : GetLayout(piece, TRUE);
    if (layout) {
      layouts.Add(layout);
    } else if (position <= wanted && active > 0) {
      // Only names at or before the active one shift it: a name dropped after it
      // must not make another layout active.
      --active;
    }
  }
}

BOOL CKeyLayouts::SaveSelection(const CKeyLayoutList& layouts, int active, LPCWSTR prefix) {
  CString names;
  for (int i = 0; i < layouts.GetSize(); ++i) {
    if (i) names += L',';
    names += GetLayoutName(layouts[i]);
  }
  CString valueName;
  valueName.Format(L"%s_layouts", prefix);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  const BOOL named = key.SetString(valueName, names);
  valueName.Format(L"%s_layout_active", prefix);
  const BOOL indexed = key.SetDWORD(valueName, static_cast<DWORD>(active));
  return named && indexed;
}

BOOL CKeyLayouts::SaveActive(int active, LPCWSTR prefix) {
  CString valueName;
  valueName.Format(L"%s_layout_active", prefix);
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return key.SetDWORD(valueName, static_cast<DWORD>(active));
}
