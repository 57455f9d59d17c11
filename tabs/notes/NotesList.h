// CNotesList: the Notes tab (identifier 4): the note files and, while enabled, the
// PhatNotes notes, filtered by the folder selector's folder and kinds and by typed
// letters or letter groups, sorted by "NoteSortOrder" under the groups "NotesGroupBy"
// chooses (by date, by folder or none), with the new-note menu, the preview of a
// note and the letter bar at the bottom. The note files' listeners mark it for a
// rebuild, so a file another program writes shows up through the shell's notice.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/LetterBar.h"
#include "panel/DateGroupHeader.h"
#include "panel/ListPanelView.h"
#include "tabs/notes/NoteFiles.h"
#include "tabs/notes/NoteSortEntry.h"
#include "tabs/notes/NoteViewWnd.h"
#include "tabs/notes/PhatNotesSource.h"

class CNoteItem;
class CNotesFolderFilter;

class CNotesList : public CListPanelView,
                   public INoteFilesListener,
                   public IPhatNotesListener,
                   public ILetterBarListener {
 public:
  enum { kTabId = 4, kTabIcon = 149, kFilterKind = 3 };
  enum { kGroupByDate = 559, kGroupByFolder = 551, kGroupByNone = 501 };
  // The sort fields of "NoteSortOrder".
  enum { kSortDate = 1, kSortType = 2, kSortSize = 3 };
  // The letter bar's strip and the room the list leaves it, in logical pixels.
  enum { kLetterBarHeight = 13, kLetterBarRoom = 14 };
  // The style of the voice recorder that plays a voice note.
  enum : DWORD { kPlayStyle = 126 };

  // files / phatNotes: null for the process's own.
  explicit CNotesList(CVirtualWnd* owner = nullptr, CNoteFiles* files = nullptr, CPhatNotesSource* phatNotes = nullptr);
  ~CNotesList() override;

  // The panel's maker of the tab, installed with SetTabMaker.
  static CScrollPanel* Make(CVirtualWnd* owner);
  static void Install();

  int GetTabId() override { return kTabId; }
  UINT GetTabIcon() override { return kTabIcon; }
  UINT GetTabIconId(int) override { return kTabIcon; }
  int GetSkinTabIndex() override { return 3; }
  void GetApplicationName(CString& name) override { name = L"Notes"; }
  void GetItemTypeName(CString& name) override { name = L"Note"; }

  void Activate() override;
  void OnSettingsChanged() override;
  int RebuildContent() override;
  void LoadGroupBy() override;
  CVirtualDropDown* CreateSortMenu() override;
  CVirtualDropDown* CreateFilterMenu() override;
  void FillContextMenu(HMENU menu, LPARAM argument) override;
  void OnMenuCommand(int command) override;
  BOOL OnChar(WCHAR ch) override;
  BOOL OnKey(DWORD key) override;
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  int GetBottomBarHeight() override;
  void SetRect(const RECT* rect) override;

  void OnItemReleased(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int commandId) override;

  // INoteFilesListener, IPhatNotesListener: the content is built again.
  void OnNoteChanged(CNoteFile* oldNote, CNoteFile* newNote) override;
  void OnNoteAdded(CNoteFile* note, BOOL flag) override;
  void OnNoteRemoved(CNoteFile* note, BOOL flag) override;
  void OnPhatNoteChanged(CPhatNoteRecord* fresh, CPhatNoteRecord* old) override;
  void OnPhatNoteAdded(CPhatNoteRecord* note) override;
  void OnPhatNoteRemoved(CPhatNoteRecord* note) override;
  // ILetterBarListener.
  void OnLetterBarChanged(int code) override;

  // 559, 551 and 501 are kept; anything else writes 501 to "NotesGroupBy" and gives 501.
  static int ValidateGroupBy(int value);
  // The order of two entries under a group-by value and sort field (the date groups
  // from the bounds of the rebuild): < 0 when a comes first.
  static int Compare(const CNoteSortEntry& a, const CNoteSortEntry& b, int groupBy, int sortField,
                     const CDateGroupHeader::Boundaries& bounds);

  // Shows the note of the row beside it: played by the voice recorder, drawn in the
  // viewer, or its text. FALSE when nothing was shown.
  BOOL Preview(CListItem* row);

  int GetGroupBy() const { return m_groupBy; }
  int GetOneTap() const { return m_oneTap; }
  const CString& GetTypedText() const { return m_typed; }
  CLetterBar& GetLetterBar() { return m_letterBar; }
  BOOL IsLetterBarShown() const { return m_letterBarShown; }
  CNoteViewWnd& GetViewer() { return m_viewer; }
  BOOL IsPhatPadAvailable() const { return m_phatPadAvailable; }

 private:
  void EnsureRegistered();
  void ReadOneTap();
  void ApplyLetterLayout();
  void ClearTyped();
  BOOL HasTyped() const;
  // Drops the last typed character, else the last letter group; FALSE when none was.
  BOOL DropLastTyped();
  // The entries the filters and the typed letters let through.
  void Collect(std::vector<std::unique_ptr<CNoteSortEntry>>& entries);
  // TRUE when the name passes the typed text and letter groups; the match comes back.
  BOOL MatchName(LPCWSTR name, int* start, int* length, BOOL* flag) const;
  CNotesFolderFilter* Folders() const;
  BOOL PreviewNoteFile(CNoteItem* row, const RECT& anchor);
  BOOL RowAnchor(CListItem* row, RECT* out);

  CNoteFiles* m_files;
  CPhatNotesSource* m_phatNotes;
  BOOL m_registered;
  BOOL m_startedNotifications;
  int m_oneTap;
  int m_groupBy;
  CLetterBar m_letterBar;
  BOOL m_letterBarShown;
  CString m_typed;
  CNoteViewWnd m_viewer;
  BOOL m_phatPadAvailable;
};
