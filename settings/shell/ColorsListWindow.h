// The colour grid popup of the category colour button: 5 rows of 8 colour cells,
// chosen with the arrow keys or a tap; the no-colour cell first. Its owner ends the
// popup on VK_RETURN, which a tap's release posts.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"

const int kColorRows = 5;
const int kColorColumns = 8;
const COLORREF kNoColor = 0xFFFFFFFF;

class CColorsListWindow : public CWindowImpl<CColorsListWindow> {
 public:
  DECLARE_WND_CLASS_EX(L"CColorsListWindow", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW)

  ~CColorsListWindow() override;

  // The popup at (x, y) of the screen, the grid's size, topmost.
  BOOL Create(int x, int y, HWND parent);
  // The first cell of that colour, row by row; the no-colour cell when none.
  void SelectValue(COLORREF color);
  COLORREF GetSelectedValue() const;
  int GetSelectedRow() const { return m_row; }
  int GetSelectedColumn() const { return m_column; }
  // The grid's size in pixels at the screen's dpi.
  static SIZE GetControlSize();

  BEGIN_MSG_MAP(CColorsListWindow)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTALLKEYS; }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  void DrawCell(HDC dc, int row, int column);
  RECT CellRect(int row, int column) const;
  void InvalidateCell(int row, int column);

  int m_row = 0;
  int m_column = 0;
  HPEN m_greyPen = nullptr;
  HBITMAP m_buffer = nullptr;
};
