// The Tabs sheet's tabs page: the panel's tabs in their order, with their icons.
// Built-in tabs can be hidden and shown again (one always stays), custom tabs made,
// edited and deleted; all of it reaches the registry when the page is applied.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/aygshell/aygshell.h"
#include "settings/pages/PageTable.h"

class CTabsPage : public COptionsPage<CTabsPage> {
 public:
  enum { IDD = FindPage(8, 1).templateId };

  BOOL OnInitPage();
  void OnReset();
  BOOL OnApply();
  BOOL OnSetActive();
  LPCWSTR GetHelpTopic() { return FindPage(8, 1).helpTopic; }

  BEGIN_MSG_MAP(CTabsPage)
    MESSAGE_HANDLER(WM_USER, OnNoSelection)
    COMMAND_ID_HANDLER(1048, OnMoveUp)
    COMMAND_ID_HANDLER(1049, OnMoveDown)
    COMMAND_ID_HANDLER(1069, OnEdit)
    COMMAND_ID_HANDLER(1068, OnDelete)
    COMMAND_ID_HANDLER(1067, OnNew)
    NOTIFY_HANDLER(1047, LVN_ITEMCHANGED, OnItemChanged)
    CHAIN_MSG_MAP(COptionsPage<CTabsPage>)
    // The device's list gesture query, whoever asks: handled.
    NOTIFY_CODE_HANDLER(static_cast<UINT>(-50), OnGestureQuery)
  END_MSG_MAP()

 private:
  LRESULT OnGestureQuery(int, NMHDR*, BOOL&) { return 1; }
  LRESULT OnNoSelection(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMoveUp(WORD, WORD, HWND, BOOL&);
  LRESULT OnMoveDown(WORD, WORD, HWND, BOOL&);
  LRESULT OnEdit(WORD, WORD, HWND, BOOL&);
  LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
  LRESULT OnNew(WORD, WORD, HWND, BOOL&);
  LRESULT OnItemChanged(int, NMHDR* header, BOOL&);

  HWND List() const { return ::GetDlgItem(m_hWnd, 1047); }
  int Selected() const;
  void FillList();
  void InsertRow(int position);
  void Select(int row);
  void UpdateButtons();
  void Move(int by);
  // The row's tab character.
  WCHAR RowTab(int row) const;

  BOOL m_filling = FALSE;
};
