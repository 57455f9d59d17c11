// A strip of skin icons, one cell each, for the icon pages: taps choose icons (several,
// or one), a held finger shows the icon's name above the strip, and marked cells are
// grey and refuse taps. Each choice is posted to the parent as WM_COMMAND with code 1.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

const UINT kIconAssignListId = 112;

class CIconAssignList : public CWindowImpl<CIconAssignList> {
 public:
  DECLARE_WND_CLASS_EX(L"CIconAssignList", 0, COLOR_WINDOW)

  explicit CIconAssignList(BOOL multiSelect);
  ~CIconAssignList() override;

  // The skin icon numbers shown, one per cell in cell order (before creation).
  void SetItems(const int* icons, int count);
  int GetItemCount() const { return static_cast<int>(m_items.size()); }

  // Multi-select: i < 0 clears every choice, else toggles cell i. Single-select:
  // makes i current. Either way the parent is told.
  void SetCurSel(int i);
  BOOL IsSelected(int i) const;
  // i < 0 clears every mark, else toggles cell i's mark.
  void ToggleItem(int i);
  BOOL IsChecked(int i) const;

  // The name shown for a skin icon number (0 to 7); empty for others.
  static CString GetIconName(int icon);
  // The cell under a client point, -1 for none.
  int HitTest(POINT point) const;
  RECT GetCellRect(int i) const;
  HWND GetHintWindow() const { return m_hint; }
  int GetPressedCell() const { return m_pressed; }

  BEGIN_MSG_MAP(CIconAssignList)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  void InvalidateCell(int i);
  void ShowHint(int cell);

  BOOL m_multiSelect;
  int m_cellWidth = 0;
  int m_cellHeight = 0;
  DWORD m_selection = 0;
  DWORD m_marked = 0;
  int m_current = -1;
  int m_tapped = -1;
  int m_pressed = -1;
  BOOL m_pressedLook = FALSE;
  HWND m_hint = nullptr;
  std::vector<int> m_items;
};
