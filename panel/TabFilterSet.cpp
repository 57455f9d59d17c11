#include "panel/TabFilterSet.h"

#include <algorithm>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "panel/CategoryFilter.h"
#include "panel/NoteFolderSource.h"
#include "panel/PanelPrompt.h"
#include "pim/CategoriesList.h"
#include "res/TarvoResIds.h"

namespace {

const LPCWSTR kRecentNames[4] = {L"RecentTasksFilters", L"RecentCalendarFilters", L"RecentContactsFilters",
                                 L"RecentSpecialFilters"};

}  // namespace

CTabFilterSet::CTabFilterSet(BOOL notesFolderMode) : m_notesFolderMode(notesFolderMode) {}

CString CTabFilterSet::SlotName(int index) const {
  CString name;
  name.Format(m_notesFolderMode ? L"N%d" : L"%d", index);
  return name;
}

void CTabFilterSet::Load() {
  m_entries.clear();
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
    DWORD count = key.GetDWORD(m_notesFolderMode ? L"UpbN" : L"Upb", 0);
    if (count > static_cast<DWORD>(kMaxSlots)) count = kMaxSlots;
    for (DWORD i = 0; i < count; ++i) m_entries.push_back(key.GetString(SlotName(static_cast<int>(i)), L""));
  }
  if (m_notesFolderMode)
    m_recent[0].Load(L"RecentNotesFolders");
  else
    for (int k = 0; k < 4; ++k) m_recent[k].Load(kRecentNames[k]);

  const LPCWSTR firstName = m_notesFolderMode ? L"FirstTimeN" : L"FirstTime";
  BOOL first = FALSE;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
    first = key.GetDWORD(firstName, 1) != 0;
    if (first) key.SetDWORD(firstName, 0);
  }
  if (first && m_entries.empty()) Seed();

  for (int k = 0; k < ListCount(); ++k)
    if (m_recent[k].Prune(*this)) m_recent[k].Save();
}

void CTabFilterSet::Seed() {
  if (m_notesFolderMode) {
    std::vector<CString> folders;
    if (INoteFolderSource* source = GetNoteFolderSource()) source->GetFoldersWithEntries(folders);
    for (size_t i = folders.size(); i-- > 0;) {
      if (folders[i].IsEmpty()) continue;
      const int slot = FindFreeSlot();
      SetText(slot, folders[i]);
      m_recent[0].MoveToFront(slot);
    }
  } else {
    const CCategoriesList* list = CCategoriesList::GetCurrent();
    for (int pos = list ? list->GetDisplayCount() : 0; pos-- > 0;) {
      const CString name = list->GetName(list->GetDisplayAt(pos));
      // A ";" in a category name would end the filter's name early and lose it.
      if (!CCategoryFilter::IsStorableName(name)) continue;
      CString text;
      text.Format(L"%s ;|+%s", static_cast<LPCWSTR>(name), static_cast<LPCWSTR>(name));
      const int slot = FindFreeSlot();
      SetText(slot, text);
      for (int k = 0; k < 4; ++k) m_recent[k].MoveToFront(slot);
    }
  }
  Save();
  for (int k = 0; k < ListCount(); ++k) m_recent[k].Save();
}

BOOL CTabFilterSet::Save() const {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
  BOOL ok = key.SetDWORD(m_notesFolderMode ? L"UpbN" : L"Upb", static_cast<DWORD>(m_entries.size()));
  for (int i = 0; i < GetCount(); ++i) ok = key.SetString(SlotName(i), m_entries[i]) && ok;
  return ok;
}

CString CTabFilterSet::GetText(int index) const {
  return index >= 0 && index < GetCount() ? m_entries[index] : CString();
}

void CTabFilterSet::SetText(int index, LPCWSTR text) {
  if (index >= 0 && index < GetCount()) m_entries[index] = text;
}

BOOL CTabFilterSet::IsUsed(int index) const { return index >= 0 && index < GetCount() && !m_entries[index].IsEmpty(); }

int CTabFilterSet::FindFreeSlot() {
  for (int i = 0; i < GetCount(); ++i)
    if (m_entries[i].IsEmpty()) return i;
  m_entries.push_back(CString());
  return GetCount() - 1;
}

void CTabFilterSet::Delete(int index) {
  if (index < 0 || index >= GetCount()) return;
  m_entries[index] = L"";
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
    key.SetString(SlotName(index), L"");
  }
  for (int k = 0; k < ListCount(); ++k)
    if (m_recent[k].Prune(*this)) m_recent[k].Save();
}

CRecentFilterList& CTabFilterSet::GetRecentList(int kind) {
  if (m_notesFolderMode) return m_recent[0];
  switch (kind) {
    case FILTER_KIND_CALENDAR:
      return m_recent[1];
    case FILTER_KIND_CONTACTS:
      return m_recent[2];
    case FILTER_KIND_SPECIAL:
      return m_recent[3];
    default:
      return m_recent[0];
  }
}

void CTabFilterSet::GetUsedSortedByName(std::vector<int>& indices) const {
  indices.clear();
  for (int i = 0; i < GetCount(); ++i)
    if (IsUsed(i)) indices.push_back(i);
  std::stable_sort(indices.begin(), indices.end(), [this](int a, int b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                          m_entries[a], -1, m_entries[b], -1) == CSTR_LESS_THAN;
  });
}

void CTabFilterSet::Normalize() {
  for (int i = 0; i < GetCount(); ++i) {
    if (!IsUsed(i)) continue;
    CCategoryFilter filter;
    filter.Parse(m_entries[i]);
    if (filter.IsUnrestricted())
      Delete(i);
    else
      m_entries[i] = filter.Format();
  }
  Save();
}

BOOL CTabFilterSet::Store(int index, const CCategoryFilter& filter, HWND owner) {
  if (index < 0 || index >= GetCount()) return FALSE;
  if (filter.name.IsEmpty()) return FALSE;
  if (!CCategoryFilter::IsStorableName(filter.name)) {
    CString text, caption;
    LoadTranslatedString(text, IDS_FILTER_NAME_SEMICOLON);
    LoadTranslatedString(caption, IDS_FILTER_DEFAULT_NAME);
    ShowPanelMessage(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  m_entries[index] = filter.Format();
  return Save();
}
