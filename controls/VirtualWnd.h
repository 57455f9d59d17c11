// CVirtualWnd: the windowless element every tab, popup content and control is made
// of. An element owns no window: it lives in a tree that one real window hosts (see
// CVirtualRoot), draws into the host's back buffer through a paint context, gets the
// taps and keys the host routes to it, asks the root for focus and capture, and runs
// its timer on the host window under its own address.
#pragma once
#include <windows.h>

#include "platform/windowlib/SimpleArray.h"

class CTextRunList;

// Key codes handed to elements: a key-down is the virtual-key code (or what the
// hardware-key map makes of it), a key-up the same code with this bit added.
const DWORD VK_KEYUP_FLAG = 0x10000000;
// The "close" key: every application button the shell marks so is mapped to it.
const DWORD VK_CLOSE_KEY = 117;

// The registered message by which an element calls itself through its host's queue
// (wParam the element, lParam the code); registered once per process.
UINT GetVirtualMessageId();

class CVirtualWnd {
 public:
  CVirtualWnd();
  CVirtualWnd(const CVirtualWnd&) = delete;
  CVirtualWnd& operator=(const CVirtualWnd&) = delete;

  virtual POINT* GetAnchorPoint(POINT* out);
  // An unhandled key climbs from parent to parent with the first element as sender.
  virtual BOOL OnChildKey(CVirtualWnd* sender, DWORD key);
  virtual void KillFocus();
  virtual void SetFocus();
  virtual BOOL RequestFocus(CVirtualWnd* requester);
  virtual LRESULT OnVirtualMessage(LPARAM code);
  virtual LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param);
  virtual void RemoveChild(CVirtualWnd* child);
  virtual BOOL OnContextMenu(POINT* screenPoint);
  virtual void UpdateWindow();
  virtual HWND GetHwnd();
  virtual void ReleaseCapture();
  virtual BOOL SetCapture(CVirtualWnd* requester);
  virtual void Capture();
  virtual void RefreshSkin();
  // Kills the element's timer, leaves the tree and is forgotten by every root; the
  // children are not deleted (whoever made an element deletes it), only let go.
  virtual ~CVirtualWnd();
  virtual void SetRect(const RECT* rect);
  virtual BOOL OnLButtonDblClk(POINT* point);
  virtual BOOL OnLButtonDown(POINT* point);
  virtual BOOL OnLButtonUp(POINT* point);
  virtual BOOL OnMouseMove(POINT* point);
  virtual BOOL OnKey(DWORD key);
  // Paints the element into a device context of its own (texts included).
  virtual void Draw(HDC hdc);
  virtual void Paint(CTextRunList* context);
  virtual BOOL HitTest(POINT* point);
  virtual void KillTimer();
  virtual void OnTimer();

  // A null child is ignored; FALSE when the children array could not grow.
  BOOL AddChild(CVirtualWnd* child);
  // Returns the previous visibility.
  BOOL SetVisible(BOOL show);
  BOOL IsVisible() const { return m_bVisible; }
  BOOL IsFocused() const { return m_bFocused; }
  BOOL IsPressed() const { return m_bPressed; }
  BOOL IsCaptured() const { return m_bCaptured; }
  void GetRect(RECT* out) const { *out = m_rect; }
  const RECT& GetBounds() const { return m_rect; }
  POINT GetLastPoint() const { return m_ptLast; }
  CVirtualWnd* GetParent() const { return m_pParent; }
  int GetChildCount() const { return m_children.GetSize(); }
  CVirtualWnd* GetChild(int index) const { return m_children[index]; }

  // The bounds grown by one pixel at the right and bottom, without erasing.
  void Invalidate();
  void InvalidateRect(const RECT* rect);
  // One timer per element, its identifier the element's address; setting it again
  // restarts it.
  void SetTimer(UINT milliseconds);
  LRESULT NotifyParent(int code, LPARAM param);
  LRESULT SendVirtualMessage(LPARAM code);
  void PostVirtualMessage(LPARAM code);
  // Depth first, lets go of the whole subtree: children arrays emptied, children
  // unparented (the elements themselves stay).
  void DestroyChildren();

  // The live element whose timer this is on the host window, or null: a timer that
  // outlived its element is never followed.
  static CVirtualWnd* FromTimer(HWND host, UINT_PTR id);
  // The live element of the host's tree that a virtual message sent or posted by the
  // element itself names, or null (a stale, foreign or forged message).
  static CVirtualWnd* FromVirtualMessage(HWND host, WPARAM wParam);

 protected:
  BOOL RouteToChildren(BOOL (CVirtualWnd::*handler)(POINT*), POINT* point);

  BOOL m_bVisible;
  HWND m_hWnd;
  CVirtualWnd* m_pParent;
  RECT m_rect;
  CSimpleValArray<CVirtualWnd*> m_children;
  BOOL m_bPressed;
  BOOL m_bCaptured;
  BOOL m_bFocused;
  POINT m_ptLast;

 private:
  // The window the timer runs on, so that it is killed there even after the
  // element left the tree.
  HWND m_hTimerWnd;
};
