// CCheckListView: a list view with check boxes on full rows whose check boxes act
// on all selected rows: ticking (or clearing) a selected row ticks (or clears)
// every selected row, unless Ctrl is held.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

class CCheckListView : public CWindowImplBase {
 public:
  CCheckListView() = default;
  ~CCheckListView() override;

  // Binds an existing list view and gives it check boxes and full-row selection.
  BOOL Attach(HWND listView);
  // The text of an item, however long. Its length; 0 and empty when the buffer
  // cannot be had.
  int GetItemText(int item, int subItem, CString& text);
  int InsertItem(int index, LPCWSTR text);
  // What a check-box tap or the space key on item does before the list view
  // toggles the item itself: the other selected items take the state the item
  // is about to take. Nothing when the item is not selected.
  void ApplyToSelection(int item);

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 private:
  void OnToggle(int item);
};
