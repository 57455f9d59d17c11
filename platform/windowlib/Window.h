// CWindow: a window handle with the everyday calls as members. It owns
// nothing: copying it copies the handle, destroying it leaves the window alone.
#pragma once

#include "platform/windowlib/String.h"

#include <windows.h>
#include <olectl.h>  // the reflected-message numbers (OCM_*)

class CWindow {
public:
  HWND m_hWnd;

  CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
  CWindow& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }

  void Attach(HWND hWnd) { m_hWnd = hWnd; }
  HWND Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
  }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  BOOL DestroyWindow() {
    if (!::DestroyWindow(m_hWnd)) return FALSE;
    m_hWnd = nullptr;
    return TRUE;
  }

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
  }
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
  }
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessageW(m_hWnd, id, msg, wParam, lParam);
  }

  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  HWND GetWindow(UINT cmd) const { return ::GetWindow(m_hWnd, cmd); }

  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (style == changed) return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (swpFlags)
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
  }
  LONG_PTR GetWindowLongPtr(int index) const { return ::GetWindowLongPtrW(m_hWnd, index); }
  LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) { return ::SetWindowLongPtrW(m_hWnd, index, value); }

  BOOL SetWindowText(LPCWSTR text) { return ::SetWindowTextW(m_hWnd, text); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
  BOOL GetWindowText(CString& text) const {
    int length = GetWindowTextLength();
    LPWSTR buffer = text.GetBufferSetLength(length);
    if (!buffer) return FALSE;
    int copied = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied);
    return TRUE;
  }
  BOOL SetDlgItemText(int id, LPCWSTR text) { return ::SetDlgItemTextW(m_hWnd, id, text); }
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
  }
  BOOL SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) { return ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }

  BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
  BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
  BOOL ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point); }
  BOOL ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point); }
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL MoveWindow(const RECT* rect, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
  }
  BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
  }
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  HWND SetCapture() { return ::SetCapture(m_hWnd); }

  BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, rect, erase); }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }

  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

  void SetFont(HFONT font, BOOL redraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
};
