// CIconSets: the dialog in which the user picks an icon file for an item: the
// icons of one icon set, or of all of them, in the grouped, foldable icon grid
// under a button that shows the current set and opens the set menu. Icon sets
// are folders of .bmp files: the system's own and other PIMs' icon folders (given
// by the program through SetSetFolderSource) and up to five folders the user
// added, newest first. The answer is the chosen file, or "no icon".
#pragma once
#include <windows.h>

#include <vector>

#include "base/MruList.h"
#include "controls/IconGrid.h"
#include "controls/ScrollDialog.h"
#include "controls/ToolbarCtrl.h"
#include "graphics/IconDatabase.h"
#include "res/TarvoResIds.h"

class CIconSets : public CScrollDialog<CIconSets> {
 public:
  enum { IDD = IDD_ICON_SETS, kMenuBarId = IDM_ICON_SETS_BAR, kInitDataId = IDR_ICON_SETS_DATA };
  enum {
    kToolbarId = 128,
    kAllSetsItem = 1,
    kAddFolderItem = 222,
    kRecentLimit = 5,
  };

  // The options program writes a missing "IconSetID" back with its default and
  // drops the icon program's item on every Pocket PC; set at start, also for the
  // icon grid and the icon database the chooser shows.
  static void SetOptionsProgramRules(BOOL options);
  static BOOL IsOptionsProgramRules();

  // The candidate set folders, in order; empty or icon-less ones are left out.
  using SetFolderSource = void (*)(std::vector<CString>& folders);
  // Null: the install folder's "IconSet\" alone.
  static void SetSetFolderSource(SetFolderSource source);

  CIconSets();
  ~CIconSets() override = default;

  // Null: the answer "no icon".
  void SetSelectedName(LPCWSTR path);
  // Null after "no icon"; else the chosen file (empty when none was selected).
  LPCWSTR GetSelectedName() const { return m_noIcon ? nullptr : m_selected.GetString(); }
  // The dialog's title in place of the template's (empty: the template's).
  void SetTitle(LPCWSTR title) { m_title = title ? title : L""; }
  // What the icon program is given after "-c" (a category name).
  void SetMirtoArgument(LPCWSTR argument) { m_mirtoArgument = argument ? argument : L""; }
  BOOL IsMirtoAvailable() const { return m_mirto; }
  const CString& GetMirtoPath() const { return m_mirtoPath; }

  // The set folders found at start: the candidates that hold a small icon.
  int BuildSetList();
  const std::vector<CString>& GetSets() const { return m_sets; }
  CMruList& GetRecent() { return m_recent; }
  // 0 all sets, 1..S a set folder, S+1..S+R a recent folder; -1 before the first.
  int GetCurrentSet() const { return m_current; }
  void SelectSet(int index, BOOL reclassify);
  // Puts a chosen folder first in the recent list, saves it and shows it. An
  // empty folder is refused: it would search the device's root.
  BOOL AddRecentFolder(LPCWSTR folder);
  // The set menu (items kAllSetsItem, the sets, the recent folders, kAddFolderItem)
  // with the current set marked; the caller destroys it.
  HMENU BuildSetMenu() const;
  // Starts the icon program with "-c" and the argument; FALSE when it is not
  // available or does not start.
  BOOL StartMirto();
  CIconGrid& GetGrid() { return m_grid; }
  CToolbarCtrl& GetToolbar() { return m_toolbar; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CIconSets)
    COMMAND_ID_HANDLER(ID_TOOLBAR_LEFT, OnSetButton)
    COMMAND_ID_HANDLER(kCollapseAll, OnFold)
    COMMAND_ID_HANDLER(kExpandAll, OnFold)
    COMMAND_ID_HANDLER(kNoIcon, OnNoIcon)
    COMMAND_ID_HANDLER(kStartMirto, OnStartMirto)
    MESSAGE_HANDLER(WM_HELP, OnHelpTopic)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChanged)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    CHAIN_MSG_MAP(CScrollDialog<CIconSets>)
  END_MSG_MAP()

  static const UINT kCollapseAll = 1054;
  static const UINT kExpandAll = 1055;
  static const UINT kNoIcon = 40041;
  static const UINT kStartMirto = 40062;

 private:
  LRESULT OnSetButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnFold(WORD, WORD id, HWND, BOOL&);
  LRESULT OnNoIcon(WORD, WORD, HWND, BOOL&);
  LRESULT OnStartMirto(WORD, WORD, HWND, BOOL&);
  LRESULT OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnInitMenuPopup(UINT, WPARAM, LPARAM, BOOL&);

  void ShowSetMenu();
  void UpdateSetButton();
  void LayoutControls();
  CString CurrentFolderText() const;

  CString m_selected;
  BOOL m_noIcon;
  CToolbarCtrl m_toolbar;
  std::vector<CString> m_sets;
  CIconDatabase m_database;
  CIconGrid m_grid;
  CMruList m_recent;
  int m_current;
  BOOL m_mirto;
  CString m_mirtoPath;
  CString m_mirtoArgument;
  CString m_title;
};
