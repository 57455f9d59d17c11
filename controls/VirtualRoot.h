// CVirtualRoot: the root element of a control tree and the protocol of the window
// that hosts it. The root alone talks to the host window: it records the one
// focused and the one captured element of its tree and holds the mouse capture for
// them. A host window (the panel, a popup) keeps a root as a member and chains its
// message map to it:
//
//   BEGIN_MSG_MAP(CMyHost)
//     ... the window's own lines first ...
//     CHAIN_MSG_MAP_MEMBER(m_root)
//   END_MSG_MAP()
//
// The root must live as long as its window. WM_CREATE, WM_WINDOWPOSCHANGED,
// WM_SETFOCUS, WM_KILLFOCUS, WM_CAPTURECHANGED and WM_DESTROY are left to the
// lines after the chain as well.
#pragma once
#include <windows.h>

#include "controls/VirtualWnd.h"
#include "graphics/Dib.h"
#include "platform/windowlib/MessageMap.h"

class CTextRunList;

class CVirtualRoot : public CVirtualWnd, public CMessageMap {
 public:
  CVirtualRoot();
  ~CVirtualRoot() override;

  BOOL RequestFocus(CVirtualWnd* requester) override;
  BOOL SetCapture(CVirtualWnd* requester) override;
  void ReleaseCapture() override;

  CVirtualWnd* GetFocusedElement() const { return m_pFocused; }
  CVirtualWnd* GetCapturedElement() const { return m_pCaptured; }
  // An element that goes away is no longer focused or captured.
  void ForgetElement(CVirtualWnd* element);

  // The host window, for a root given to a window that already exists (WM_CREATE
  // does it otherwise). Null lets the window go.
  void AttachHost(HWND host);
  // The colour the back buffer is filled with before the tree paints.
  void SetBackgroundColor(COLORREF color) { m_background = color; }
  // Paints the clipped part of the tree into the back buffer (the client size),
  // texts included. FALSE when there is no window or no buffer could be made.
  BOOL RenderBackBuffer(const RECT& clip);
  CDib& GetBackBuffer() { return m_backBuffer; }

  // The host protocol: TRUE when the message was taken, its result in result.
  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  // The host's own timers, tried before element timers; TRUE when it was one.
  // Their identifiers must never be element addresses (the panel's are negative).
  virtual BOOL OnHostTimer(UINT_PTR id);
  // Fills the context's clip before the tree paints.
  virtual void PaintBackground(CTextRunList* context);
  // The host's key, double-tap and paint handling: a host that routes them its own
  // way overrides these instead of taking the messages ahead of the root.
  // OnKeyDown answers what WM_KEYDOWN returns.
  virtual LRESULT OnKeyDown(WPARAM wParam);
  virtual void OnKeyUp(WPARAM wParam);
  // Answers whether the double tap was taken.
  virtual BOOL OnDoubleClick(LPARAM lParam);
  virtual void OnPaintMessage();

 private:
  // Each answers whether the message was taken.
  BOOL OnPointerMessage(UINT message, LPARAM lParam);
  void OnCaptureChanged();
  BOOL OnTimerMessage(UINT_PTR id);
  LRESULT OnVirtualMessageArrived(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void ForgetFocused();

  CVirtualWnd* m_pFocused;
  CVirtualWnd* m_pCaptured;
  BOOL m_bKeyDownSeen;
  COLORREF m_background;
  CDib m_backBuffer;
};
