#include "panel/NotesFolderFilter.h"

#include <algorithm>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "panel/RecentFilterList.h"
#include "res/TarvoResIds.h"

namespace {

INoteFolderSource* g_source = nullptr;
const WCHAR kRecentValue[] = L"NoteFolders";
const WCHAR kChoiceValue[] = L"NotesFilterID";

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

BOOL SameName(LPCWSTR a, LPCWSTR b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

bool LessIgnoringCase(const CString& a, const CString& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_LESS_THAN;
}

// The recent list's form of a note-file folder name.
CString ListForm(const CString& name) { return name.IsEmpty() ? CNotesFolderFilter::MainFolderText() : name; }

// The main folder first, the others sorted ignoring case.
void MainFirstThenSorted(std::vector<CString>& names) {
  auto main = std::find_if(names.begin(), names.end(), [](const CString& n) { return CNotesFolderFilter::IsMainFolder(n); });
  if (main != names.end()) std::rotate(names.begin(), main, main + 1);
  std::stable_sort(names.begin() + (main != names.end() ? 1 : 0), names.end(), LessIgnoringCase);
}

const struct {
  int type;
  UINT text;
} kTypes[] = {{0, IDS_NOTES_TYPE_0}, {1, IDS_NOTES_TYPE_1}, {2, IDS_NOTES_TYPE_2},
              {3, IDS_NOTES_TYPE_3}, {5, IDS_NOTES_TYPE_5}, {6, IDS_NOTES_TYPE_6}};
const int kPhatPadType = 5;

}  // namespace

INoteFolderSource* CNotesFolderFilter::SetFolderSource(INoteFolderSource* source) {
  INoteFolderSource* previous = g_source;
  g_source = source;
  return previous;
}

CString CNotesFolderFilter::MainFolderText() { return Text(IDS_NOTES_MAIN_FOLDER); }

BOOL CNotesFolderFilter::IsMainFolder(LPCWSTR name) {
  const CString main = MainFolderText();
  return name && !main.IsEmpty() && SameName(name, main);
}

CNotesFolderFilter::CNotesFolderFilter()
    : m_showSize(FALSE), m_showTime(FALSE), m_phatNotes(FALSE), m_types(), m_phatPad(FALSE) {
  LoadRecent();
  ReadOptions();
}

CNotesFolderFilter::~CNotesFolderFilter() = default;

void CNotesFolderFilter::LoadRecent() {
  m_recent.clear();
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
  const CString text = key.GetString(kRecentValue, L"");
  const WCHAR* p = text;
  // A longer list (written elsewhere) is read only as far as the selector shows it.
  while (p && *p && static_cast<int>(m_recent.size()) < kCapacity) {
    const WCHAR* end = wcschr(p, L'|');
    CString name = end ? CString(p, static_cast<int>(end - p)) : CString(p);
    // An empty piece names nothing; a repeated one is shown once.
    if (!name.IsEmpty() && FindRecent(name) < 0) m_recent.push_back(name);
    if (!end) break;
    p = end + 1;
  }
}

BOOL CNotesFolderFilter::SaveRecent() const {
  CString text;
  for (size_t i = 0; i < m_recent.size(); ++i) {
    if (i) text += L"|";
    text += m_recent[i];
  }
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_FILTERS_KEY);
  return key.SetString(kRecentValue, text);
}

int CNotesFolderFilter::FindRecent(LPCWSTR name) const {
  for (size_t i = 0; i < m_recent.size(); ++i)
    if (SameName(m_recent[i], name)) return static_cast<int>(i);
  return -1;
}

void CNotesFolderFilter::MoveToFront(const CString& name) {
  for (int at = FindRecent(name); at >= 0; at = FindRecent(name)) m_recent.erase(m_recent.begin() + at);
  m_recent.insert(m_recent.begin(), name);
  if (m_recent.size() > static_cast<size_t>(kCapacity)) m_recent.resize(kCapacity);
}

void CNotesFolderFilter::ReadOptions() {
  const CViewSettings& settings = GetViewSettings();
  m_showSize = settings.NoteDrawSize != 0;
  m_showTime = settings.NoteDrawTime != 0;
  m_phatNotes = settings.PhatNotesEnabled != 0;
  for (int type = 0; type < 7; ++type) m_types[type] = settings.NotesTypeEnabled[type] != 0;
  m_phatPad = g_source && g_source->IsPhatPadAvailable();
  if (!m_phatPad) m_types[kPhatPadType] = FALSE;
}

void CNotesFolderFilter::WriteOptions() const {
  CViewSettings& settings = GetViewSettings();
  settings.NoteDrawSize = m_showSize ? 1 : 0;
  settings.NoteDrawTime = m_showTime ? 1 : 0;
  if (g_source && g_source->IsPhatNotesInstalled()) settings.PhatNotesEnabled = m_phatNotes ? 1 : 0;
  for (int type = 0; type < 7; ++type) settings.NotesTypeEnabled[type] = m_types[type] ? 1 : 0;
  settings.Save();
}

int CNotesFolderFilter::ReadChoice() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return static_cast<int>(key.GetDWORD(kChoiceValue, static_cast<DWORD>(-1)));
}

void CNotesFolderFilter::WriteChoice(int choice) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(kChoiceValue, static_cast<DWORD>(choice));
}

CString CNotesFolderFilter::GetCurrentFolder() {
  const int choice = ReadChoice();
  if (choice < 0 || choice >= static_cast<int>(m_recent.size())) return CString();
  if (m_recent[choice].IsEmpty()) {
    WriteChoice(-1);
    return CString();
  }
  return m_recent[choice];
}

void CNotesFolderFilter::CollectFolders(std::vector<CString>& out) {
  out.clear();
  std::vector<CString> names;
  if (g_source) {
    g_source->GetFoldersWithEntries(names);
    if (m_phatNotes) g_source->GetPhatNotesFolders(names);
  }
  for (const CString& name : names) {
    const CString form = ListForm(name);
    if (std::none_of(out.begin(), out.end(), [&](const CString& n) { return SameName(n, form); })) out.push_back(form);
  }
  MainFirstThenSorted(out);
}

void CNotesFolderFilter::Load() {
  RemoveAllItems();
  AddItem(CMenuEntry(NOTES_CMD_ALL_FOLDERS, Text(IDS_NOTES_ALL_FOLDERS)));
  LoadRecent();
  ReadOptions();
  std::vector<CString> withEntries;
  if (g_source) g_source->GetFoldersWithEntries(withEntries);
  if (m_recent.empty()) {
    m_recent.push_back(MainFolderText());
    for (const CString& name : withEntries) {
      if (static_cast<int>(m_recent.size()) >= kCapacity) break;
      if (!name.IsEmpty()) MoveToFront(name);
    }
    SaveRecent();
  }
  const CString current = GetCurrentFolder();
  std::vector<CString> phatNotes;
  if (m_phatNotes && g_source) g_source->GetPhatNotesFolders(phatNotes);
  auto known = [&](const CString& entry) {
    for (const CString& name : withEntries)
      if (SameName(ListForm(name), entry)) return true;
    for (const CString& name : phatNotes)
      if (SameName(name, entry)) return true;
    return false;
  };
  const size_t before = m_recent.size();
  m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(),
                                [&](const CString& entry) {
                                  return !(!current.IsEmpty() && SameName(entry, current)) && !known(entry);
                                }),
                 m_recent.end());
  if (m_recent.size() != before) {
    SaveRecent();
    if (!current.IsEmpty()) WriteChoice(FindRecent(current));
  }
  std::vector<CString> shown(m_recent);
  MainFirstThenSorted(shown);
  for (const CString& name : shown) AddItem(CMenuEntry(FindRecent(name) + NOTES_CMD_FOLDER, name));
  int choice = ReadChoice();
  // Only -1 means all folders; another negative value was not written by the selector.
  if (choice < -1) {
    choice = -1;
    WriteChoice(choice);
  }
  if (choice >= static_cast<int>(m_recent.size())) {
    choice = 0;
    WriteChoice(choice);
  }
  if (choice >= 0 && (choice >= static_cast<int>(m_recent.size()) || m_recent[choice].IsEmpty())) {
    choice = -1;
    WriteChoice(choice);
  }
  SetCaption(Text(IDS_PERIOD_TITLE));
  SetSelection(choice + 2, FALSE);
}

void CNotesFolderFilter::FillMenuExtra(HMENU menu, int) {
  CollectFolders(m_menuFolders);
  HMENU more = CreatePopupMenu();
  int offered = 0;
  for (size_t i = 0; more && i < m_menuFolders.size(); ++i) {
    if (NOTES_CMD_MORE_FOLDER + static_cast<int>(i) >= NOTES_CMD_MORE_FOLDER_END) break;
    BOOL shown = FALSE;
    for (size_t r = 0; r < m_recent.size() && !shown; ++r) shown = SameName(m_recent[r], m_menuFolders[i]);
    if (shown) continue;
    AppendMenuW(more, MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(NOTES_CMD_MORE_FOLDER + static_cast<int>(i))),
                m_menuFolders[i]);
    ++offered;
  }
  if (more && offered)
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), Text(IDS_NOTES_MORE_FOLDERS));
  else if (more)
    DestroyMenu(more);

  HMENU options = CreatePopupMenu();
  if (!options) return;
  auto add = [&](int command, UINT text, BOOL on) {
    AppendMenuW(options, MF_STRING | (on ? MF_CHECKED : 0), static_cast<UINT_PTR>(static_cast<UINT>(command)),
                Text(text));
  };
  add(NOTES_CMD_SHOW_SIZE, IDS_NOTES_SHOW_SIZE, m_showSize);
  add(NOTES_CMD_SHOW_TIME, IDS_NOTES_SHOW_TIME, m_showTime);
  AppendMenuW(options, MF_SEPARATOR, 0, nullptr);
  for (const auto& type : kTypes) {
    if (type.type == kPhatPadType && !m_phatPad) continue;
    add(NOTES_CMD_TYPE + type.type, type.text, m_types[type.type]);
  }
  if (g_source && g_source->IsPhatNotesInstalled()) add(NOTES_CMD_PHATNOTES, IDS_NOTES_PHATNOTES, m_phatNotes);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), Text(IDS_PERIOD_TITLE));
}

int CNotesFolderFilter::OnItemChosen(int command) {
  if (command == 0 || command == -2) return command;
  if (command >= NOTES_CMD_MORE_FOLDER && command < NOTES_CMD_MORE_FOLDER_END) {
    const size_t position = static_cast<size_t>(command - NOTES_CMD_MORE_FOLDER);
    if (position >= m_menuFolders.size()) return -2;
    MoveToFront(m_menuFolders[position]);
    SaveRecent();
    WriteChoice(0);
  } else if (command == NOTES_CMD_SHOW_SIZE) {
    m_showSize = !m_showSize;
  } else if (command == NOTES_CMD_SHOW_TIME) {
    m_showTime = !m_showTime;
  } else if (command == NOTES_CMD_PHATNOTES) {
    m_phatNotes = !m_phatNotes;
  } else if (command >= NOTES_CMD_TYPE && command < NOTES_CMD_TYPE + 7) {
    BOOL& type = m_types[command - NOTES_CMD_TYPE];
    type = !type;
  } else if (command == NOTES_CMD_ALL_FOLDERS) {
    WriteChoice(-1);
  } else if (command >= NOTES_CMD_FOLDER && command < NOTES_CMD_FOLDER + static_cast<int>(m_recent.size())) {
    WriteChoice(command - NOTES_CMD_FOLDER);
  } else {
    return -2;
  }
  WriteOptions();
  return CVirtualDropDown::OnItemChosen(command);
}
