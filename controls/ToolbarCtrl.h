// CToolbarCtrl: a common-controls toolbar with a drop-down button at each end and a
// flexible gap between them that keeps the right button at the right edge. The
// drop-down arrows act as their buttons: a drop-down becomes WM_COMMAND to the
// parent (wParam the command, lParam the toolbar).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/windowlib/WindowImpl.h"

const UINT ID_TOOLBAR_LEFT = 0xF000;
const UINT ID_TOOLBAR_GAP = 0xF001;
const UINT ID_TOOLBAR_RIGHT = 0xF002;

class CToolbarCtrl : public CWindowImplBase {
 public:
  CToolbarCtrl() = default;
  ~CToolbarCtrl() override;

  // The toolbar with its three buttons, laid out, in the font cache's font; the
  // creation arguments go to the common controls unchanged. Null on failure.
  HWND Create(HWND parent, DWORD style, UINT id, int bitmaps, HINSTANCE bitmapInstance, UINT_PTR bitmapId);

  BOOL SetButtonText(UINT command, LPCWSTR text);
  BOOL SetButtonImage(UINT command, int image);
  BOOL HideButton(UINT command, BOOL hide);
  // Gives the gap what the two end buttons leave of the client width; when they
  // do not fit, the left button is narrowed and the gap kept at 2 pixels.
  void Layout();
  // The width of a button, 0 when hidden or absent.
  int GetButtonWidth(UINT command);

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  virtual LRESULT GetPrePaintResult() { return CDRF_NOTIFYITEMDRAW; }
  virtual LRESULT GetItemPrePaintResult() { return CDRF_NOTIFYPOSTPAINT; }

 private:
  BOOL OnNotify(NMHDR* header, LRESULT& result);
  void SetButtonWidth(UINT command, int width);
};
