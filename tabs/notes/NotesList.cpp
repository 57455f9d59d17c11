#include "tabs/notes/NotesList.h"

#include <algorithm>

#include "base/InstallPath.h"
#include "base/MergeSort.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/GroupHeaderItem.h"
#include "panel/DateGroupHeader.h"
#include "panel/FoldingState.h"
#include "panel/NotesFolderFilter.h"
#include "panel/PanelClock.h"
#include "panel/SortMenu.h"
#include "panel/TabMakers.h"
#include "platform/voicectl/voicectl.h"
#include "res/TarvoResIds.h"
#include "tabs/notes/NoteCommands.h"
#include "tabs/notes/NoteFolderGroup.h"
#include "tabs/notes/NoteItem.h"
#include "tabs/notes/PhatNoteItem.h"
#include "pim/PhatPad.h"

namespace {

const WCHAR kGroupByValue[] = L"NotesGroupBy";
const WCHAR kOneTapValue[] = L"NotesOneTap";
const WCHAR kLayoutName[] = L"Notes";
const DWORD kDefaultOneTap = 2;
// A text note is previewed from its first bytes only.
const DWORD kTextPreviewLimit = 4096;
// Larger notes are not read whole for a preview.
const DWORD kPreviewLimit = 16 * 1024 * 1024;
const int kPopupClosed = 1010;
// The tab's options page in the options program.
const WCHAR kSettingsPage[] = L"-p4:0";

const int kGroupByEntries[3][2] = {{CNotesList::kGroupByDate, IDS_NOTE_ORDER_1},
                                   {CNotesList::kGroupByFolder, IDS_NOTES_GROUP_FOLDER},
                                   {CNotesList::kGroupByNone, IDS_GROUP_BY_NONE}};

// The list-tab commands the base carries out.
const int kBaseCommands[] = {LIST_CMD_OPEN,           LIST_CMD_EDIT,         LIST_CMD_DELETE,        LIST_CMD_NEW,
                             LIST_CMD_FOLD,           LIST_CMD_FOLD_ALL,     LIST_CMD_UNFOLD,        LIST_CMD_UNFOLD_ALL,
                             LIST_CMD_NOTES_PROGRAM,  LIST_CMD_PHATNOTES,    LIST_CMD_POCKET_WORD,   LIST_CMD_PHATPAD,
                             LIST_CMD_POCKET_EXCEL,   LIST_CMD_NEW_NOTE,     LIST_CMD_NEW_NOTE_SKIP, LIST_CMD_NOTES_WINDOW,
                             LIST_CMD_NEW_DOCUMENT,   LIST_CMD_NEW_PHATPAD,  LIST_CMD_NEW_WORKBOOK};

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

BOOL IsGroupByValue(int value) {
  return value == CNotesList::kGroupByDate || value == CNotesList::kGroupByFolder || value == CNotesList::kGroupByNone;
}

// The folder selector's commands that change what is listed.
BOOL IsReloadCommand(int command) {
  return command == SORT_CHOSEN_ORDER || (command >= NOTES_CMD_MORE_FOLDER && command < NOTES_CMD_MORE_FOLDER_END) ||
         (command >= NOTES_CMD_SHOW_SIZE && command < NOTES_CMD_TYPE + 7);
}

BOOL IsFilterCommand(int command) {
  return (command >= NOTES_CMD_MORE_FOLDER && command < NOTES_CMD_MORE_FOLDER_END) ||
         (command >= NOTES_CMD_SHOW_SIZE && command < NOTES_CMD_TYPE + 7);
}

BOOL IsHeaderKind(int kind) {
  return kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}

int CompareNames(LPCWSTR a, LPCWSTR b) {
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a, -1, b, -1);
  return result == 0 ? wcscmp(a, b) : result - CSTR_EQUAL;
}

template <class T>
int Descending(T a, T b) {
  return a > b ? -1 : a < b ? 1 : 0;
}

// The file's bytes, at most limit of them; FALSE when it cannot be opened or read.
BOOL ReadFileBytes(LPCWSTR path, DWORD limit, std::vector<BYTE>& out) {
  out.clear();
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  LARGE_INTEGER size = {};
  BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
  if (ok) {
    const DWORD wanted = size.QuadPart > limit ? limit : static_cast<DWORD>(size.QuadPart);
    out.resize(wanted);
    DWORD read = 0;
    ok = wanted == 0 || (ReadFile(file, out.data(), wanted, &read, nullptr) && read == wanted);
  }
  CloseHandle(file);
  if (!ok) out.clear();
  return ok;
}

}  // namespace

CNotesList::CNotesList(CVirtualWnd* owner, CNoteFiles* files, CPhatNotesSource* phatNotes)
    : CListPanelView(owner),
      m_files(files ? files : &CNoteFiles::Instance()),
      m_phatNotes(phatNotes ? phatNotes : &GetPhatNotesSource()),
      m_registered(FALSE),
      m_startedNotifications(FALSE),
      m_oneTap(kDefaultOneTap),
      m_groupBy(kGroupByDate),
      m_letterBar(this, nullptr),
      m_letterBarShown(FALSE),
      m_phatPadAvailable(FALSE) {
  AddChild(&m_letterBar);
  m_phatPadAvailable = CPhatPad::Instance().IsAvailable();
  ApplyLetterLayout();
  ReadOneTap();
}

CNotesList::~CNotesList() {
  // The rows go before the listeners: nothing may reach a half-destroyed tab.
  SetContentList(nullptr);
  if (m_registered) {
    m_files->RemoveListener(this);
    m_phatNotes->RemoveListener(this);
  }
  if (m_startedNotifications) {
    m_files->StopNotifications();
    m_files->SetNotifyWindow(nullptr);
  }
  CPhatNoteItem::SetViewer(nullptr);
  m_viewer.Release();
}

CScrollPanel* CNotesList::Make(CVirtualWnd* owner) { return new CNotesList(owner); }

void CNotesList::Install() { SetTabMaker(TAB_NOTES, &CNotesList::Make); }

void CNotesList::EnsureRegistered() {
  if (m_registered) return;
  m_registered = TRUE;
  m_files->AddListener(this);
  m_phatNotes->AddListener(this);
  HWND host = GetHwnd();
  // The shell's file notices reach the host, which hands them to the note files; a
  // host that already watches for them keeps its own registration.
  if (host && !m_files->GetNotifyWindow()) {
    m_files->SetNotifyWindow(host);
    m_startedNotifications = m_files->StartNotifications();
  }
  if (host && !m_phatNotes->IsLoaded()) m_phatNotes->Load(host);
  CNoteItem::SetCommandWindow(host);
  CPhatNoteItem::SetCommandWindow(host);
  CPhatNoteItem::SetViewer(&m_viewer);
}

void CNotesList::ReadOneTap() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  m_oneTap = static_cast<int>(key.GetDWORD(kOneTapValue, kDefaultOneTap));
  // From 2 on a release previews (below); under it the base's own tap handling acts.
  SetOneTap(m_oneTap >= 2 ? 1 : static_cast<DWORD>(m_oneTap < 0 ? 0 : m_oneTap));
}

void CNotesList::ApplyLetterLayout() {
  const BOOL shown = m_letterBar.SetLayout(kLayoutName);
  m_letterBar.SetVisible(shown);
  if (shown != m_letterBarShown) {
    m_letterBarShown = shown;
    m_bSettingsChanged = TRUE;
  }
}

void CNotesList::ClearTyped() {
  m_typed.Empty();
  m_letterBar.ClearTyped();
}

BOOL CNotesList::HasTyped() const { return !m_typed.IsEmpty() || m_letterBar.GetTypedCount() > 0; }

BOOL CNotesList::DropLastTyped() {
  if (!m_typed.IsEmpty()) {
    m_typed = m_typed.Left(m_typed.GetLength() - 1);
    return TRUE;
  }
  return m_letterBar.RemoveLastTyped();
}

void CNotesList::Activate() {
  if (!m_registered) {
    EnsureRegistered();
    ReadOneTap();
    if (HasTyped()) ClearTyped();
    m_bNeedsRebuild = TRUE;
  }
  CListPanelView::Activate();
}

void CNotesList::OnSettingsChanged() {
  ReadOneTap();
  m_phatPadAvailable = CPhatPad::Instance().IsAvailable();
  ApplyLetterLayout();
  ClearTyped();
  m_files->Load();
  m_bNeedsRebuild = TRUE;
  CListPanelView::OnSettingsChanged();
}

int CNotesList::ValidateGroupBy(int value) {
  if (IsGroupByValue(value)) return value;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(kGroupByValue, kGroupByNone);
  return kGroupByNone;
}

void CNotesList::LoadGroupBy() {
  int value;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    value = static_cast<int>(key.GetDWORD(kGroupByValue, kGroupByDate));
  }
  m_groupBy = ValidateGroupBy(value);
  if (!m_pSort) return;
  m_pSort->RemoveAllItems();
  for (const auto& entry : kGroupByEntries) m_pSort->AddItem(CMenuEntry(entry[0], Text(static_cast<UINT>(entry[1]))));
  m_pSort->SetCaption(Text(IDS_GROUP_BY_LABEL));
  m_pSort->SetSelection(m_groupBy, FALSE);
}

CVirtualDropDown* CNotesList::CreateSortMenu() {
  auto* menu = new CSortMenu(kFilterKind);
  menu->SetStyle(DROPDOWN_ALIGN_LEFT);
  return menu;
}

CVirtualDropDown* CNotesList::CreateFilterMenu() {
  auto* menu = new CNotesFolderFilter();
  menu->Load();
  return menu;
}

CNotesFolderFilter* CNotesList::Folders() const { return static_cast<CNotesFolderFilter*>(m_pFilter); }

BOOL CNotesList::MatchName(LPCWSTR name, int* start, int* length, BOOL* flag) const {
  *start = 0;
  *length = 0;
  *flag = FALSE;
  if (!m_typed.IsEmpty()) {
    int matched = 0;
    const int at = CLetterBar::MatchItem(name, m_typed, &matched);
    if (at < 0) return FALSE;
    *start = at;
    *length = matched;
  }
  if (m_letterBar.GetTypedCount() > 0) {
    int matched = 0;
    BOOL direction = FALSE;
    const int at = m_letterBar.FindMatch(name, &matched, &direction);
    if (at < 0) return FALSE;
    *start = at;
    *length = matched;
    *flag = direction;
  }
  return TRUE;
}

void CNotesList::Collect(std::vector<std::unique_ptr<CNoteSortEntry>>& entries) {
  entries.clear();
  CNotesFolderFilter* folders = Folders();
  CString folder = folders ? folders->GetCurrentFolder() : CString();
  // The main folder's entry lists every folder, as "all folders" does.
  const BOOL everyFolder = folder.IsEmpty() || CNotesFolderFilter::IsMainFolder(folder);
  CNoteFile* note = nullptr;
  for (BOOL more = m_files->GetFirst(&note); more; more = m_files->GetNext(&note)) {
    if (!note || note->type < NOTE_TYPE_INK || note->type > NOTE_TYPE_SHEET) continue;
    const int kind = note->type == NOTE_TYPE_RICH_TEXT ? NOTE_TYPE_WORD : note->type;
    if (!folders || !folders->IsTypeShown(kind)) continue;
    if (!everyFolder && !(note->folder && note->folder->name == folder)) continue;
    int start = 0, length = 0;
    BOOL flag = FALSE;
    if (!MatchName(note->name, &start, &length, &flag)) continue;
    note->matchStart = start;
    note->matchLength = length;
    note->matchFlag = flag;
    entries.emplace_back(new CNoteFileEntry(note));
  }
  if (!folders || !folders->IsPhatNotesShown()) return;
  CPhatNoteRecord* record = nullptr;
  for (BOOL more = m_phatNotes->GetFirst(&record); more; more = m_phatNotes->GetNext(&record)) {
    if (!record) continue;
    if (!everyFolder && record->folder != folder) continue;
    int start = 0, length = 0;
    BOOL flag = FALSE;
    if (!MatchName(record->title, &start, &length, &flag)) continue;
    entries.emplace_back(new CPhatNoteEntry(record, m_phatNotes, start, length, flag));
  }
}

int CNotesList::Compare(const CNoteSortEntry& a, const CNoteSortEntry& b, int groupBy, int sortField,
                        const CDateGroupHeader::Boundaries& bounds) {
  int result = 0;
  if (groupBy == kGroupByDate) {
    result = Descending(CDateGroupHeader::Classify(a.GetDate(), bounds), CDateGroupHeader::Classify(b.GetDate(), bounds));
  } else if (groupBy != kGroupByNone) {
    result = CompareNames(a.GetFolder(), b.GetFolder());
  }
  if (result) return result;
  switch (sortField) {
    case kSortDate: result = Descending(a.GetDate(), b.GetDate()); break;
    case kSortType: result = Descending(a.GetType(), b.GetType()); break;
    case kSortSize: result = Descending(a.GetSize(), b.GetSize()); break;
    default: break;
  }
  return result ? result : CompareNames(a.GetName(), b.GetName());
}

int CNotesList::RebuildContent() {
  EnsureRegistered();
  LoadGroupBy();
  auto* content = new CContainerElement(this);
  SetContentList(content);

  std::vector<std::unique_ptr<CNoteSortEntry>> entries;
  Collect(entries);
  // Typed letters that match nothing are taken back one at a time.
  while (entries.empty() && HasTyped()) {
    MessageBeep(MB_OK);
    if (!DropLastTyped()) break;
    Collect(entries);
  }
  if (entries.empty()) {
    content->AddChild(new CGroupHeaderItem(content, Text(IDS_NOTES_NONE)));
    return CListPanelView::RebuildContent();
  }

  struct SortContext {
    int groupBy;
    int field;
    CDateGroupHeader::Boundaries bounds;
  } context = {m_groupBy, CSortMenu::GetNoteSortOrder(), CDateGroupHeader::MakeBoundaries(PanelNow())};
  std::vector<CNoteSortEntry*> order;
  for (auto& entry : entries) order.push_back(entry.get());
  MergeSort(order.data(), static_cast<int>(order.size()), &context,
            [](const SortContext* c, CNoteSortEntry* const& a, CNoteSortEntry* const& b) {
              return Compare(*a, *b, c->groupBy, c->field, c->bounds);
            });

  NOTE_ROW_LOOK look;
  look.indented = m_groupBy != kGroupByNone && GetViewSettings().NoteMakeIndent;
  CNoteItem::MeasureColumns(&look.dateWidth, &look.sizeWidth);
  CFoldingState folding;
  LoadFoldingState(folding);
  const CDateGroupHeader::Boundaries& bounds = context.bounds;
  CContainerElement* group = content;
  BOOL first = TRUE;
  int lastCode = 0;
  CString lastFolder;
  for (CNoteSortEntry* entry : order) {
    CListGroupHeader* header = nullptr;
    if (m_groupBy == kGroupByDate) {
      const int code = CDateGroupHeader::Classify(entry->GetDate(), bounds);
      if (first || code != lastCode) header = new CDateGroupHeader(content, code);
      lastCode = code;
    } else if (m_groupBy == kGroupByFolder) {
      const CString folder = entry->GetFolder();
      if (first || folder != lastFolder) header = new CNoteFolderGroup(content, folder);
      lastFolder = folder;
    }
    first = FALSE;
    if (header) {
      CString key;
      header->GetKey(key);
      if (folding.Query(key)) header->SetState(TRUE, FALSE);
      content->AddChild(header);
      group = header;
    }
    group->AddChild(entry->CreateRow(look, group));
  }
  return CListPanelView::RebuildContent();
}

void CNotesList::FillContextMenu(HMENU menu, LPARAM argument) {
  if (!menu) return;
  CNotesFolderFilter* folders = Folders();
  auto shown = [folders](int type) { return folders && folders->IsTypeShown(type); };
  const BOOL phatNotes = folders && folders->IsPhatNotesShown();
  const BOOL words = shown(NOTE_TYPE_TEXT) || shown(NOTE_TYPE_WORD);
  const BOOL sheets = shown(NOTE_TYPE_SHEET);
  const BOOL pictures = shown(NOTE_TYPE_PICTURE) && m_phatPadAvailable;
  struct Entry {
    BOOL on;
    int command;
    UINT text;
  };
  const Entry entries[] = {
      {TRUE, LIST_CMD_NEW_NOTE, IDS_NOTES_NEW_NOTE},
      {phatNotes, LIST_CMD_NOTES_WINDOW, IDS_NOTES_NEW_PHATNOTE},
      {words, LIST_CMD_NEW_DOCUMENT, IDS_NOTES_NEW_DOCUMENT},
      {sheets, LIST_CMD_NEW_WORKBOOK, IDS_NOTES_NEW_WORKBOOK},
      {pictures, LIST_CMD_NEW_PHATPAD, IDS_NOTES_NEW_DRAWING},
      {TRUE, LIST_CMD_NOTES_PROGRAM, IDS_NOTES_OPEN_NOTES},
      {phatNotes, LIST_CMD_PHATNOTES, IDS_NOTES_OPEN_PHATNOTES},
      {words, LIST_CMD_POCKET_WORD, IDS_NOTES_OPEN_WORD},
      {sheets, LIST_CMD_POCKET_EXCEL, IDS_NOTES_OPEN_EXCEL},
      {pictures, LIST_CMD_PHATPAD, IDS_NOTES_OPEN_PHATPAD},
  };
  for (const Entry& entry : entries)
    if (entry.on) AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.command), Text(entry.text));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  CListItem* row = GetContextRow();
  auto* header = row && IsHeaderKind(row->GetKind()) ? dynamic_cast<CGroupElement*>(row) : nullptr;
  if (header) {
    if (header->IsFolded()) {
      AppendMenuW(menu, MF_STRING, LIST_CMD_UNFOLD, Text(IDS_MENU_UNFOLD_GROUP));
      AppendMenuW(menu, MF_STRING, LIST_CMD_UNFOLD_ALL, Text(IDS_MENU_UNFOLD_ALL));
    } else {
      AppendMenuW(menu, MF_STRING, LIST_CMD_FOLD, Text(IDS_MENU_FOLD_GROUP));
      AppendMenuW(menu, MF_STRING, LIST_CMD_FOLD_ALL, Text(IDS_MENU_FOLD_ALL));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  CListPanelView::FillContextMenu(menu, argument);
  if (IsHeaderHidden() || IsHeaderMinimized() || !m_pSort || !m_pFilter) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  if (HMENU sort = CreatePopupMenu()) {
    m_pSort->FillMenu(sort, SORT_MENU_ITEMS_ONLY);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sort), Text(IDS_GROUP_BY_LABEL));
  }
  if (HMENU filter = CreatePopupMenu()) {
    m_pFilter->FillMenu(filter, SORT_MENU_IN_PLACE);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(filter), Text(IDS_TASKS_SORT_BY));
  }
}

void CNotesList::OnMenuCommand(int command) {
  if (m_pSort && IsGroupByValue(command)) {
    m_pSort->OnItemChosen(command);
    return;
  }
  if (m_pFilter && IsFilterCommand(command)) {
    m_pFilter->OnItemChosen(command);
    return;
  }
  if (std::find(std::begin(kBaseCommands), std::end(kBaseCommands), command) != std::end(kBaseCommands)) {
    CListPanelView::OnMenuCommand(command);
    return;
  }
  if (command == ID_OPEN_SETTINGS) {
    RunSettingsProgram(kSettingsPage);
    return;
  }
  if (command == kPopupClosed || !m_pContent) return;
  CListItem* row = m_pContent->GetCurrentItem();
  if (!row) return;
  if (row->GetKind() == CNoteItem::kKind) {
    if (CNoteFile* note = static_cast<CNoteItem*>(row)->GetNote()) {
      note->AddRef();
      RunNoteCommand(note, static_cast<UINT>(command), GetHwnd());
      note->Release();
    }
  } else if (row->GetKind() == CPhatNoteItem::kKind) {
    if (CPhatNoteRecord* note = static_cast<CPhatNoteItem*>(row)->GetNote()) {
      note->AddRef();
      RunPhatNoteCommand(*m_phatNotes, note, static_cast<UINT>(command), GetHwnd());
      note->Release();
    }
  }
}

BOOL CNotesList::OnChar(WCHAR ch) {
  // The bar tells its listener of a group typed or taken back, which rebuilds.
  if (ch >= L'2' && ch <= L'9') {
    m_letterBar.OnLetterCommand(ch);
    return TRUE;
  }
  if (ch == VK_BACK) {
    if (m_typed.IsEmpty() && m_letterBar.GetTypedCount() > 0) {
      m_letterBar.OnLetterCommand(VK_BACK);
      return TRUE;
    }
    if (m_typed.IsEmpty()) return FALSE;
    m_typed = m_typed.Left(m_typed.GetLength() - 1);
  } else if (ch >= L' ') {
    m_typed += ch;
  } else {
    return FALSE;
  }
  RefreshNow();
  return TRUE;
}

BOOL CNotesList::OnKey(DWORD key) {
  const BOOL down = (key & ~VK_KEYUP_FLAG) == VK_DOWN && !(key & VK_KEYUP_FLAG);
  CListItem* before = m_pContent ? m_pContent->GetCurrentItem() : nullptr;
  const BOOL handled = CListPanelView::OnKey(key);
  // Down past the last row goes on to the letter bar.
  if (down && m_letterBarShown && m_pContent && m_pContent->GetCurrentItem() == before) {
    RequestFocus(&m_letterBar);
    m_letterBar.SetFocus();
    Invalidate();
    return TRUE;
  }
  return handled;
}

BOOL CNotesList::OnChildKey(CVirtualWnd* sender, DWORD key) {
  if (sender == &m_letterBar && key == VK_UP) {
    RequestFocus(this);
    CVirtualWnd::SetFocus();
    SelectLastRow();
    Invalidate();
    return TRUE;
  }
  return CListPanelView::OnChildKey(sender, key);
}

int CNotesList::GetBottomBarHeight() { return m_letterBarShown ? ScaleY(kLetterBarRoom) : 0; }

void CNotesList::SetRect(const RECT* rect) {
  CListPanelView::SetRect(rect);
  if (!rect) return;
  RECT bar = {rect->left, rect->bottom - ScaleY(kLetterBarHeight), rect->right, rect->bottom};
  if (!m_letterBarShown) bar.top = bar.bottom;
  m_letterBar.SetRect(&bar);
}

void CNotesList::OnItemReleased(CListItem* item) {
  if (m_oneTap >= 2 && item && item->GetKind() >= ITEM_KIND_TASK && item->GetKind() <= CPhatNoteItem::kKind) {
    Preview(item);
    return;
  }
  CListPanelView::OnItemReleased(item);
}

void CNotesList::OnItemNotify(CListItem* item, LPARAM value) {
  if (value == NOTE_CMD_TAP_ICON && item) {
    Preview(item);
    return;
  }
  CListPanelView::OnItemNotify(item, value);
}

BOOL CNotesList::RowAnchor(CListItem* row, RECT* out) {
  if (!m_pContent) return FALSE;
  const POINT origin = {m_rcContent.left, m_rcContent.top - ScrollPos()};
  return m_pContent->GetItemRect(row, &origin, out);
}

BOOL CNotesList::Preview(CListItem* row) {
  RECT anchor = {};
  if (!row || !RowAnchor(row, &anchor)) return FALSE;
  if (row->GetKind() == CNoteItem::kKind) return PreviewNoteFile(static_cast<CNoteItem*>(row), anchor);
  if (row->GetKind() == CPhatNoteItem::kKind) return static_cast<CPhatNoteItem*>(row)->Preview(m_viewer, GetHwnd(), anchor);
  return FALSE;
}

BOOL CNotesList::PreviewNoteFile(CNoteItem* row, const RECT& anchor) {
  CNoteFile* note = row->GetNote();
  if (!note) return FALSE;
  HWND host = GetHwnd();
  const CString extension = note->GetExtension();
  const BOOL docFile = extension.CompareNoCase(L"doc") == 0;
  BOOL shown = FALSE;
  switch (note->type) {
    case NOTE_TYPE_VOICE: {
      // The recorder plays the file on its own; the viewer stays as it is.
      CString path = note->fullPath;
      CM_VOICE_RECORDER record = {};
      record.cb = sizeof record;
      record.dwStyle = kPlayStyle;
      record.xPos = -1;
      record.yPos = -1;
      record.lpszRecordFileName = path.GetBuffer();
      const BOOL played = VoiceRecorder_Create(&record) != nullptr;
      path.ReleaseBuffer();
      return played;
    }
    case NOTE_TYPE_PICTURE:
      shown = m_viewer.ShowInk(host, anchor, note->name, nullptr, TRUE, note->fullPath);
      break;
    case NOTE_TYPE_SHEET:
      shown = m_viewer.ShowText(host, anchor, note->name, nullptr);
      break;
    default: {
      if (note->type == NOTE_TYPE_WORD && !docFile) {
        shown = m_viewer.ShowText(host, anchor, note->name, nullptr);
        break;
      }
      std::vector<BYTE> bytes;
      if (!ReadFileBytes(note->fullPath, note->type == NOTE_TYPE_TEXT ? kTextPreviewLimit : kPreviewLimit, bytes))
        return FALSE;
      if (note->type == NOTE_TYPE_RICH_TEXT) {
        CString text;
        const int length = bytes.empty() ? 0
                                         : MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<LPCSTR>(bytes.data()),
                                                               static_cast<int>(bytes.size()), nullptr, 0);
        if (length > 0) {
          MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<LPCSTR>(bytes.data()), static_cast<int>(bytes.size()),
                              text.GetBufferSetLength(length), length);
          text.ReleaseBuffer(length);
        }
        shown = m_viewer.ShowText(host, anchor, note->name, text);
      } else {
        const NOTE_INK_DATA ink = {static_cast<DWORD>(bytes.size()), bytes.data()};
        shown = m_viewer.ShowInk(host, anchor, note->name, &ink, FALSE, nullptr);
      }
      break;
    }
  }
  if (shown) m_viewer.HoldNote(note);
  return shown;
}

void CNotesList::OnSelectionChanged(CVirtualDropDown* selector, int commandId) {
  CListPanelView::OnSelectionChanged(selector, commandId);
  if (selector == m_pSort) {
    if (!IsGroupByValue(commandId) || commandId == m_groupBy) return;
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(kGroupByValue, static_cast<DWORD>(commandId));
  } else if (selector != m_pFilter) {
    return;
  }
  RefreshNow();
}

void CNotesList::OnItemChosen(int commandId) {
  CListPanelView::OnItemChosen(commandId);
  if (!IsReloadCommand(commandId)) return;
  // A folder taken from the submenu joins the selector's own items.
  if (commandId >= NOTES_CMD_MORE_FOLDER && commandId < NOTES_CMD_MORE_FOLDER_END && Folders()) Folders()->Load();
  RefreshNow();
}

void CNotesList::OnNoteChanged(CNoteFile*, CNoteFile*) { RequestRefresh(); }
void CNotesList::OnNoteAdded(CNoteFile*, BOOL) { RequestRefresh(); }
void CNotesList::OnNoteRemoved(CNoteFile*, BOOL) { RequestRefresh(); }
void CNotesList::OnPhatNoteChanged(CPhatNoteRecord*, CPhatNoteRecord*) { RequestRefresh(); }
void CNotesList::OnPhatNoteAdded(CPhatNoteRecord*) { RequestRefresh(); }
void CNotesList::OnPhatNoteRemoved(CPhatNoteRecord*) { RequestRefresh(); }

void CNotesList::OnLetterBarChanged(int) { RefreshNow(); }
