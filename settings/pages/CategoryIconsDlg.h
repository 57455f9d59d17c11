// CCategoryIconsDlg: the category icons section of the options program, a full-screen
// dialog of its own. The categories in name order; for the selected one its colour
// (the colour button and its grid), the colour's blend strength (five steps) and its
// icon (chosen in the icon-set chooser and copied into the current PIM's icon folder,
// or deleted after a question). Every edit is written at once; merely selecting a
// category writes nothing.
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "controls/IconSets.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"
#include "settings/pages/CategoryListCtrl.h"
#include "settings/pages/CategoryPreview.h"
#include "settings/pages/ColorButton.h"

class CCategoriesList;
class CCategoryIcons;

class CCategoryIconsDlg : public CScrollDialog<CCategoryIconsDlg> {
 public:
  enum { IDD = IDD_CATEGORY_ICONS, kMenuBarId = 0, kInitDataId = 0 };
  enum {
    kColorId = 1011,
    kBlendId = 1012,
    kPreviewId = 1015,
    kListId = 1051,
    kChangeIconId = 1052,
    kDeleteIconId = 1053,
    // Posted once per burst of list changes.
    WM_UPDATE_CONTROLS = WM_USER + 221,
  };

  CCategoryIconsDlg();
  ~CCategoryIconsDlg() override;

  // The category record number of a list row (rows in name order), or -1.
  int GetCategoryOfRow(int row) const;
  // The selected row, or -1.
  int GetSelectedRow() const;
  // Selects, focuses and shows the row (-1 clears the selection).
  void SelectRow(int row);
  CColorButton& GetColorButton() { return m_color; }
  CCategoryPreview& GetPreview() { return m_preview; }
  // The icon column's width and the rows' height: the largest icon, at least
  // 15 logical pixels square.
  SIZE GetIconCell() const { return m_cell; }
  // The chooser, made on the first change of an icon (null before).
  CIconSets* GetChooser() { return m_chooser.get(); }
  // How often the controls were brought up to date from the selection.
  int GetUpdateCount() const { return m_updates; }

  BOOL OnFill();
  void OnOK() { EndDialog(IDOK); }

  BEGIN_MSG_MAP(CCategoryIconsDlg)
    MESSAGE_HANDLER(WM_UPDATE_CONTROLS, OnUpdateMessage)
    MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_HELP, OnHelpTopic)
    COMMAND_HANDLER(kColorId, CColorButton::kColorChosen, OnColorChosen)
    COMMAND_ID_HANDLER(kChangeIconId, OnChangeIcon)
    COMMAND_ID_HANDLER(kDeleteIconId, OnDeleteIcon)
    CHAIN_MSG_MAP(CScrollDialog<CCategoryIconsDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnUpdateMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHelpTopic(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM, BOOL&);
  // A row: the category's name, its colour square at the right, its icon centred
  // in the icon cell at the left.
  void DrawRow(const DRAWITEMSTRUCT& item);
  LRESULT OnColorChosen(WORD, WORD, HWND, BOOL&);
  LRESULT OnChangeIcon(WORD, WORD, HWND, BOOL&);
  LRESULT OnDeleteIcon(WORD, WORD, HWND, BOOL&);

  void FitList();
  void FillList();
  void UpdateControls();
  void DeleteSelectedIcon();
  int SelectedCategory() const { return GetCategoryOfRow(GetSelectedRow()); }
  HWND List() const { return ::GetDlgItem(m_hWnd, kListId); }

  CColorButton m_color;
  CCategoryListCtrl m_list;
  CCategoryPreview m_preview;
  SIZE m_cell = {0, 0};
  std::unique_ptr<CIconSets> m_chooser;
  // The blend of each category set to "no colour" during this run: the stored "no
  // colour" value has no room for it, and a colour chosen again gets it back.
  std::map<int, int> m_blendsOfNone;
  BOOL m_updatePosted = FALSE;
  int m_updates = 0;
};
