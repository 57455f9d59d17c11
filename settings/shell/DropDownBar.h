// The bar at the top of the icon chooser: two drop-down buttons at its edges with a
// greyed spacer between them, whose drops arrive at the parent as commands.
#pragma once
#include <windows.h>
#include <commctrl.h>

const UINT kDropDownLeft = 0xF000;
const UINT kDropDownSpacer = 0xF001;
const UINT kDropDownRight = 0xF002;
// The window library's reflected-message base.
const UINT kReflectedBase = 0x2000;

class CDropDownBar {
 public:
  CDropDownBar() = default;
  ~CDropDownBar();
  CDropDownBar(const CDropDownBar&) = delete;
  CDropDownBar& operator=(const CDropDownBar&) = delete;

  // The bar's window, or null when it cannot be made.
  HWND Create(HWND parent, UINT id);
  void SetItemValue(UINT command, LPCWSTR text);
  // The spacer stretches between the outer buttons; a bar too narrow for both
  // gives the spacer 2 pixels and takes the rest from the left button.
  void Layout();
  HWND GetHwnd() const { return m_hWnd; }

  // A notification the bar sent (reflected back to it, or as it came).
  static LRESULT OnNotify(HWND bar, const NMHDR* header, BOOL& handled);

 private:
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND m_hWnd = nullptr;
};

// A parent's control messages sent back to the control that caused them with
// kReflectedBase added (WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM,
// WM_DELETEITEM, WM_VKEYTOITEM, WM_CHARTOITEM, WM_NOTIFY, WM_COMMAND from a control,
// WM_HSCROLL, WM_VSCROLL); handled is FALSE for every other message and when no
// control can be found.
LRESULT ReflectNotifications(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
