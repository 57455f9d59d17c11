// Small reads and writes of a page's check boxes and combo boxes.
#pragma once
#include <windows.h>

inline BOOL IsBoxTicked(HWND page, int box) { return ::IsDlgButtonChecked(page, box) == BST_CHECKED; }
inline void TickBox(HWND page, int box, BOOL ticked) {
  ::CheckDlgButton(page, box, ticked ? BST_CHECKED : BST_UNCHECKED);
}
inline int GetComboSelection(HWND page, int combo) {
  return static_cast<int>(::SendDlgItemMessageW(page, combo, CB_GETCURSEL, 0, 0));
}
inline void SelectComboItem(HWND page, int combo, int index) {
  ::SendDlgItemMessageW(page, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
// The item data of the selection; fallback when nothing is selected.
inline int GetSelectedComboData(HWND page, int combo, int fallback) {
  const int index = GetComboSelection(page, combo);
  if (index < 0) return fallback;
  const LRESULT data = ::SendDlgItemMessageW(page, combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == CB_ERR ? fallback : static_cast<int>(data);
}
// Selects the item whose data is value. A stored value the box has no item for
// selects nothing, so that applying keeps it until the user chooses; FALSE then.
inline BOOL SelectComboByItemData(HWND page, int combo, int value) {
  const int count = static_cast<int>(::SendDlgItemMessageW(page, combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (::SendDlgItemMessageW(page, combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == value) {
      SelectComboItem(page, combo, i);
      return TRUE;
    }
  }
  SelectComboItem(page, combo, -1);
  return FALSE;
}
