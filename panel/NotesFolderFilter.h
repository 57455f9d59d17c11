// CNotesFolderFilter: the Notes tab's folder selector, in place of the category filter
// selector: all folders, the folders shown last ("NoteFolders" under the filters key,
// names joined by "|", most recent first, at most seven), the other folders in a
// submenu, and the Notes view options. The main notes folder has the empty name; the
// list and the menus keep it as the main-folder text, and that text stands for it.
// "NotesFilterID" under the product key holds the chosen folder's index in the recent
// list, -1 for all folders.
#pragma once
#include <windows.h>

#include <vector>

#include "base/FilterList.h"
#include "controls/VirtualDropDown.h"
#include "panel/NoteFolderSource.h"

// The selector's own commands.
const int NOTES_CMD_ALL_FOLDERS = 1;
const int NOTES_CMD_FOLDER = 2;  // + index in the recent list
const int NOTES_CMD_MORE_FOLDER = static_cast<int>(0x80002001);  // + position in the submenu's list
const int NOTES_CMD_MORE_FOLDER_END = static_cast<int>(0x80002065);
const int NOTES_CMD_SHOW_SIZE = static_cast<int>(0x80002204);
const int NOTES_CMD_SHOW_TIME = static_cast<int>(0x80002205);
const int NOTES_CMD_PHATNOTES = static_cast<int>(0x80002206);
const int NOTES_CMD_TYPE = static_cast<int>(0x80002207);  // + note type 0 to 6

class CNotesFolderFilter : public CVirtualDropDown {
 public:
  static const int kCapacity = 7;

  CNotesFolderFilter();
  ~CNotesFolderFilter() override;

  // The recent list holds at most kCapacity folders (a longer stored list is read that
  // far). Rebuilds the items: seeds an empty recent list, prunes folders that are gone, and
  // selects the stored choice.
  void Load();
  // The chosen folder's name as the recent list keeps it; empty for all folders.
  CString GetCurrentFolder();

  void FillMenuExtra(HMENU menu, int position) override;
  int OnItemChosen(int commandId) override;

  const CStringList& GetRecentFolders() const { return m_recent.Entries(); }
  // The kind flags: a note type 0-6 shown (5 only with PhatPad), PhatNotes shown.
  BOOL IsTypeShown(int type) const { return type >= 0 && type < 7 && m_types[type]; }
  BOOL IsPhatNotesShown() const { return m_phatNotes; }
  // The main-folder text (the translated text the list keeps for the empty name).
  static CString MainFolderText();
  static BOOL IsMainFolder(LPCWSTR name);

 private:
  void LoadRecent();
  void MoveToFront(const CString& name);
  int FindRecent(LPCWSTR name) const;
  void ReadOptions();
  void WriteOptions() const;
  int ReadChoice();
  void WriteChoice(int choice);
  // The note files' folders with entries and, while enabled, the PhatNotes folders:
  // the main folder first, the rest sorted ignoring case.
  void CollectFolders(std::vector<CString>& out);

  // "NoteFolders": no empty and no repeated entry, at most kCapacity.
  CFilterList m_recent;
  BOOL m_showSize;
  BOOL m_showTime;
  BOOL m_phatNotes;
  BOOL m_types[7];
  BOOL m_phatPad;
  // What the last menu offered under "more folders".
  std::vector<CString> m_menuFolders;
};
