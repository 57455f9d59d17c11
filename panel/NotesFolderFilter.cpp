#include "panel/NotesFolderFilter.h"

#include <algorithm>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "res/TarvoResIds.h"

namespace {

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
  m_recent.Load(kRecentValue);
  // A list written elsewhere: an empty piece names nothing, a repeated one is shown
  // once, and it is read only as far as the selector shows it.
  CStringList& list = m_recent.Entries();
  int kept = 0;
  for (int i = 0; i < list.GetCount(); ++i) {
    const CString name = list[i];
    if (kept >= kCapacity) break;
    if (name.IsEmpty()) continue;
    BOOL seen = FALSE;
    for (int k = 0; k < kept && !seen; ++k) seen = SameName(list[k], name);
    if (!seen) list[kept++] = name;
  }
  while (list.GetCount() > kept) list.RemoveAt(list.GetCount() - 1);
}

int CNotesFolderFilter::FindRecent(LPCWSTR name) const {
  const CStringList& list = m_recent.Entries();
  for (int i = 0; i < list.GetCount(); ++i)
    if (SameName(list[i], name)) return i;
  return -1;
}

void CNotesFolderFilter::MoveToFront(const CString& name) {
  CStringList& list = m_recent.Entries();
  const CString copy(name);
  for (int at = FindRecent(copy); at >= 0; at = FindRecent(copy)) list.RemoveAt(at);
  list.InsertAt(0, copy);
  while (list.GetCount() > kCapacity) list.RemoveAt(list.GetCount() - 1);
}

void CNotesFolderFilter::ReadOptions() {
  const CViewSettings& settings = GetViewSettings();
  m_showSize = settings.NoteDrawSize != 0;
  m_showTime = settings.NoteDrawTime != 0;
  m_phatNotes = settings.PhatNotesEnabled != 0;
  for (int type = 0; type < 7; ++type) m_types[type] = settings.NotesTypeEnabled[type] != 0;
  INoteFolderSource* source = GetNoteFolderSource();
  m_phatPad = source && source->IsPhatPadAvailable();
  if (!m_phatPad) m_types[kPhatPadType] = FALSE;
}

void CNotesFolderFilter::WriteOptions() const {
  CViewSettings& settings = GetViewSettings();
  settings.NoteDrawSize = m_showSize ? 1 : 0;
  settings.NoteDrawTime = m_showTime ? 1 : 0;
  INoteFolderSource* source = GetNoteFolderSource();
  if (source && source->IsPhatNotesInstalled()) settings.PhatNotesEnabled = m_phatNotes ? 1 : 0;
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
  if (choice < 0 || choice >= m_recent.GetCount()) return CString();
  if (m_recent.Entries()[choice].IsEmpty()) {
    WriteChoice(-1);
    return CString();
  }
  return m_recent.Entries()[choice];
}

void CNotesFolderFilter::CollectFolders(std::vector<CString>& out) {
  out.clear();
  std::vector<CString> names;
  if (INoteFolderSource* source = GetNoteFolderSource()) {
    source->GetFoldersWithEntries(names);
    if (m_phatNotes) source->GetPhatNotesFolders(names);
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
  INoteFolderSource* source = GetNoteFolderSource();
  std::vector<CString> withEntries;
  if (source) source->GetFoldersWithEntries(withEntries);
  CStringList& recent = m_recent.Entries();
  if (recent.GetCount() == 0) {
    recent.Add(MainFolderText());
    for (const CString& name : withEntries) {
      if (recent.GetCount() >= kCapacity) break;
      if (!name.IsEmpty()) MoveToFront(name);
    }
    m_recent.Save();
  }
  const CString current = GetCurrentFolder();
  std::vector<CString> phatNotes;
  if (m_phatNotes && source) source->GetPhatNotesFolders(phatNotes);
  auto known = [&](const CString& entry) {
    for (const CString& name : withEntries)
      if (SameName(ListForm(name), entry)) return true;
    for (const CString& name : phatNotes)
      if (SameName(name, entry)) return true;
    return false;
  };
  BOOL pruned = FALSE;
  for (int i = recent.GetCount(); i-- > 0;) {
    const CString& entry = recent[i];
    if ((!current.IsEmpty() && SameName(entry, current)) || known(entry)) continue;
    recent.RemoveAt(i);
    pruned = TRUE;
  }
  if (pruned) {
    m_recent.Save();
    if (!current.IsEmpty()) WriteChoice(FindRecent(current));
  }
  std::vector<CString> shown;
  for (int i = 0; i < recent.GetCount(); ++i) shown.push_back(recent[i]);
  MainFirstThenSorted(shown);
  for (const CString& name : shown) AddItem(CMenuEntry(FindRecent(name) + NOTES_CMD_FOLDER, name));
  int choice = ReadChoice();
  // Only -1 means all folders; another negative value was not written by the selector.
  if (choice < -1) {
    choice = -1;
    WriteChoice(choice);
  }
  if (choice >= recent.GetCount()) {
    choice = 0;
    WriteChoice(choice);
  }
  if (choice >= 0 && (choice >= recent.GetCount() || recent[choice].IsEmpty())) {
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
    shown = FindRecent(m_menuFolders[i]) >= 0;
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
  INoteFolderSource* source = GetNoteFolderSource();
  if (source && source->IsPhatNotesInstalled()) add(NOTES_CMD_PHATNOTES, IDS_NOTES_PHATNOTES, m_phatNotes);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), Text(IDS_PERIOD_TITLE));
}

int CNotesFolderFilter::OnItemChosen(int command) {
  if (command == 0 || command == -2) return command;
  if (command >= NOTES_CMD_MORE_FOLDER && command < NOTES_CMD_MORE_FOLDER_END) {
    const size_t position = static_cast<size_t>(command - NOTES_CMD_MORE_FOLDER);
    if (position >= m_menuFolders.size()) return -2;
    MoveToFront(m_menuFolders[position]);
    m_recent.Save();
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
  } else if (command >= NOTES_CMD_FOLDER && command < NOTES_CMD_FOLDER + m_recent.GetCount()) {
    WriteChoice(command - NOTES_CMD_FOLDER);
  } else {
    return -2;
  }
  WriteOptions();
  return CVirtualDropDown::OnItemChosen(command);
}
