// CTodayItemPickerDlg: the Today items a custom tab can host, ticked to add them.
// Items the Today screen or the plug-in may give up come first (sorted by name);
// greyed rows after them name items another container or the tab host holds, and
// can be neither ticked nor selected. CPickerListView keeps them out of reach.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/ScrollDialog.h"
#include "panel/TodayItemInfo.h"
#include "res/TarvoResIds.h"

class CTabEditDlg;

// The picker's list: disabled rows refuse selection and checks, arrows pass over
// them, and they are drawn faded.
class CPickerListView {
 public:
  void Attach(HWND list);
  // Returns whether the row was disabled before.
  BOOL SetRowDisabled(int row, BOOL enable);
  BOOL IsRowDisabled(int row) const;
  // The list's notifications as the dialog receives them; TRUE when answered with *result.
  BOOL OnNotify(const NMHDR* header, LRESULT* result);
  HWND GetWindow() const { return m_list; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT OnKey(WPARAM key);
  void Fade(HDC dc, int row);

  HWND m_list = nullptr;
  std::vector<int> m_disabled;
};

class CTodayItemPickerDlg : public CScrollDialog<CTodayItemPickerDlg> {
 public:
  enum { IDD = IDD_TODAY_ITEM_PICKER, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = 0 };
  static const UINT kWarningTimer = 1639;

  explicit CTodayItemPickerDlg(CTabEditDlg* owner);

  BOOL OnFill();
  void OnOK();

  // After OK: the ticked items, in row order.
  const std::vector<TodayItemInfo>& GetResult() const { return m_result; }

  BEGIN_MSG_MAP(CTodayItemPickerDlg)
    MESSAGE_HANDLER(WM_PAINT, OnPaintWarning)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    CHAIN_MSG_MAP(CScrollDialog<CTodayItemPickerDlg>)
  END_MSG_MAP()

  // The rows the picker offers, in order: available items first (a null Name never
  // occurs there), then the unavailable ones with their Name emptied. Also tells
  // whether any unavailable row exists.
  static std::vector<TodayItemInfo> CollectRows(CTabEditDlg* owner, BOOL* anyUnavailable);

 private:
  LRESULT OnPaintWarning(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  CTabEditDlg* m_owner;
  BOOL m_warning = FALSE;
  BOOL m_initialising = FALSE;
  CPickerListView m_list;
  std::vector<TodayItemInfo> m_result;
};
