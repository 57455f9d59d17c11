// CHintWnd: the small tooltip a button shows when the stylus rests on it. A real
// top-level popup of class "QelTarvoToolTipWnd_1.0", owned by the button's host
// window, created hidden when the button gets its hint text, shown one second
// after a press that stays on the button and hidden on release. It sits above and
// to the left of the button and always lands on the screen.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

class CHintWnd : public CWindowImpl<CHintWnd> {
 public:
  DECLARE_WND_CLASS_EX(L"QelTarvoToolTipWnd_1.0", 0, COLOR_WINDOW)

  // The show timer's identifier and delay.
  static const UINT_PTR kShowTimer = 1;
  static const UINT kShowDelay = 1000;

  CHintWnd();
  ~CHintWnd() override;

  // Replaces the window: with an owner, a hidden hint for the anchor (the button's
  // bounds in the owner's client coordinates) showing the text without "&"; with
  // none, no hint at all.
  void SetText(HWND owner, const RECT* anchor, LPCWSTR text);
  // The button's press at a point of the owner's client area: inside the anchor,
  // the show timer starts.
  void StartShow(int x, int y);
  // The pointer moved while pressed: leaving the anchor stops the timer, coming
  // back starts the full delay again.
  void Track(int x, int y);
  // The release: no timer, hidden.
  void Hide(int x, int y);
  void Destroy();

  BOOL IsCreated() const { return m_bCreated; }
  const CString& GetText() const { return m_text; }
  // The screen rectangle the hint takes when shown.
  RECT GetPlacement();
  // The text centred in the client rectangle, as the window paints it.
  void DrawHint(HDC dc);

  BEGIN_MSG_MAP(CHintWnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 private:
  enum { kPressed = 1, kTimerRunning = 2 };

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  SIZE MeasureHint();

  CString m_text;
  HWND m_hOwner;
  RECT m_rcAnchor;
  BOOL m_bCreated;
  DWORD m_state;
};
