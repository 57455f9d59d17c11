// CTabEditDlg: a custom tab made or changed: its hosted Today items in display
// order (added through the item picker, removed, moved), and its icon (chosen in
// CTabIconDlg). It works on a copy; the Tabs page takes the result on OK.
#pragma once
#include <windows.h>

#include "controls/ScrollDialog.h"
#include "panel/CustomTabEntry.h"
#include "res/TarvoResIds.h"

class CTabsPage;

class CTabEditDlg : public CScrollDialog<CTabEditDlg> {
 public:
  enum { IDD = IDD_TAB_EDIT, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = 0 };

  // icon: the tab's picture, now the dialog's. owner may be null (no model to ask).
  CTabEditDlg(CTabsPage* owner, const CustomTabEntry& tab, HBITMAP icon, BOOL newTab);
  ~CTabEditDlg();

  BOOL OnFill();
  void OnOK();

  // After OK: the tab with its items in the list's order, and its picture (the
  // dialog's until it is destroyed).
  const CustomTabEntry& GetTab() const { return m_tab; }
  HBITMAP GetIcon() const { return m_icon; }
  // For the item picker: the identifier of the custom tab that holds an item of
  // that key name, 0 when none does (an item this dialog removed is free again).
  WCHAR IsItemUsed(LPCWSTR name) const;

  BEGIN_MSG_MAP(CTabEditDlg)
    COMMAND_ID_HANDLER(IDC_TAB_EDIT_UP, OnMoveUp)
    COMMAND_ID_HANDLER(IDC_TAB_EDIT_DOWN, OnMoveDown)
    COMMAND_ID_HANDLER(IDC_TAB_EDIT_REMOVE, OnRemove)
    COMMAND_ID_HANDLER(IDC_TAB_EDIT_ADD, OnAdd)
    COMMAND_ID_HANDLER(IDC_TAB_EDIT_CHANGE_ICON, OnChangeIcon)
    COMMAND_HANDLER(IDC_TAB_EDIT_ITEMS, LBN_SELCHANGE, OnSelChange)
    CHAIN_MSG_MAP(CScrollDialog<CTabEditDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnMoveUp(WORD, WORD, HWND, BOOL&);
  LRESULT OnMoveDown(WORD, WORD, HWND, BOOL&);
  LRESULT OnRemove(WORD, WORD, HWND, BOOL&);
  LRESULT OnAdd(WORD, WORD, HWND, BOOL&);
  LRESULT OnChangeIcon(WORD, WORD, HWND, BOOL&);
  LRESULT OnSelChange(WORD, WORD, HWND, BOOL&);

  HWND Items() const { return ::GetDlgItem(m_hWnd, IDC_TAB_EDIT_ITEMS); }
  void AddRow(size_t item);
  void Move(int by);
  void UpdateButtons();
  void ShowIcon(HBITMAP icon);
  void RunAdd();

  CTabsPage* m_owner;
  CustomTabEntry m_tab;
  HBITMAP m_icon;
  BOOL m_newTab;
};
