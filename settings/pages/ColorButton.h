// CColorButton: the category icons dialog's colour button over a template button.
// It shows the current colour (a white swatch crossed out for no colour) and a
// drop-down arrow; a tap opens the colour grid under it (above it near the screen's
// bottom) and runs the popup loop; a chosen colour becomes the button's and the
// parent gets WM_COMMAND with the button's id and kColorChosen.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"
#include "settings/pages/PopupTracker.h"
#include "settings/shell/ColorsListWindow.h"

class CColorButton : public CWindowImplBase {
 public:
  static constexpr WORD kColorChosen = 0x400;

  ~CColorButton() override;

  // Subclasses the button and makes its (hidden) grid popup.
  BOOL Attach(HWND button);
  COLORREF GetColor() const { return m_color; }
  // Sets and redraws; writes nothing.
  void SetColor(COLORREF color);
  // Opens the grid and runs the loop until it closes.
  void OnClick();
  CColorsListWindow& GetGrid() { return m_grid; }
  // Where the grid goes for a button at rect (screen coordinates) on a screen of
  // that size, the grid being of size.
  static POINT PlaceGrid(const RECT& button, SIZE grid, SIZE screen);

  BEGIN_MSG_MAP(CColorButton)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_SETFOCUS, OnRedraw)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnRedraw)
    MESSAGE_HANDLER(WM_ENABLE, OnRedraw)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRedraw(UINT, WPARAM, LPARAM, BOOL&);

  COLORREF m_color = kNoColor;
  BOOL m_pressed = FALSE;
  CPopupTracker m_tracker;
  CColorsListWindow m_grid;
};
