// Window objects: a C++ object bound to its window, whose messages go to the
// object's message map.
//
// Binding: each object owns a few bytes of executable code (CProcThunk) that
// loads the object's address into the first argument and jumps to the
// class's static procedure. That code is the window's procedure, so the
// procedure gets its object without any lookup, works for any number of
// objects bound to one window in turn (subclass chains), and is 64-bit safe.
// The window's very first message cannot arrive through the thunk: the object
// registers itself with the module object as pending creation just before
// CreateWindowEx, and the class's start procedure takes it back out on the
// first message, installs the thunk and passes the message on.
#pragma once

#include "platform/windowlib/MessageMap.h"
#include "platform/windowlib/Module.h"
#include "platform/windowlib/Window.h"

#include <windows.h>

// The executable forwarder of one object. Init may be called again to rebind.
class CProcThunk {
public:
  CProcThunk() = default;
  CProcThunk(const CProcThunk&) = delete;
  CProcThunk& operator=(const CProcThunk&) = delete;
  ~CProcThunk();
  BOOL Init(void* object, void* proc);
  void* GetCode() const { return m_code; }

private:
  void* m_code = nullptr;
};

// What window objects and dialog objects share: the binding, the message
// being handled, the final-message bookkeeping and notification reflection.
class CWindowImplRoot : public CWindow, public CMessageMap {
public:
  CWindowImplRoot() = default;
  CWindowImplRoot(const CWindowImplRoot&) = delete;
  CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;

  // Called once the window has had its last message, with the handle already
  // cleared from the object; the object may delete itself here.
  virtual void OnFinalMessage(HWND /*hWnd*/) {}

  // The message being handled (null outside a message).
  const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

  // Sends a child control's notification back to the control as the OCM_*
  // message (number + OCM__BASE, wParam and lParam unchanged): WM_COMMAND,
  // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM,
  // WM_VKEYTOITEM, WM_CHARTOITEM, WM_HSCROLL, WM_VSCROLL and WM_CTLCOLOR*.
  // Without a control to send to, bHandled is cleared.
  LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // A reflected message the control does not take gets the original's default.
  static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

  const MSG* m_pCurrentMsg = nullptr;
  CProcThunk m_thunk;

protected:
  // Runs the map for one message with the current-message pointer set, and
  // finishes the object after the window's last message (deferred until the
  // outermost message of the object returns, so no handler runs on a deleted
  // object).
  // Binds the window to object (this, as the procedure's class sees it):
  // the thunk's code, or null when no thunk could be made.
  void* Bind(HWND hWnd, void* object, void* proc);
  BOOL Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, const MSG*& outer);
  void FinishIfLast(UINT uMsg, const MSG* outer);

  bool m_lastMessageSeen = false;
};

class CWindowImplBase : public CWindowImplRoot {
public:
  CWindowImplBase() = default;
  ~CWindowImplBase() override;

  // The procedure the thunk calls.
  virtual WNDPROC GetWindowProc() { return WindowProc; }

  // Creates a window of a class registered with StartWindowProc, with the
  // module instance. Null on failure (GetLastError tells why).
  HWND Create(HWND hWndParent, const RECT* rect, LPCWSTR windowName, DWORD style, DWORD exStyle, UINT id, ATOM atom,
              LPVOID param = nullptr);
  BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }

  // Binds an existing window: its procedure becomes this object's thunk and the
  // procedure it had is kept, to be called for what the map leaves.
  BOOL SubclassWindow(HWND hWnd);
  // Gives the window its previous procedure back. Refused (null) while another
  // procedure has been put on top of ours, unless forced.
  HWND UnsubclassWindow(BOOL force = FALSE);

  LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_pfnSuperWindowProc, m_hWnd, uMsg, wParam, lParam);
  }
  LRESULT DefWindowProc() {
    const MSG* msg = m_pCurrentMsg;
    return msg ? DefWindowProc(msg->message, msg->wParam, msg->lParam) : 0;
  }

  static LRESULT CALLBACK StartWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Reached through the thunk: its first argument is the object, not a window.
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;
};

// A window-procedure subclass object over an existing window (list views,
// toolbars, the menu bar): derive, give it a message map, SubclassWindow.
using CWindowThunk = CWindowImplBase;

// The class record of a window class of ours. atom is 0 until registered.
struct CWndClassInfo {
  WNDCLASSEXW wc;
  LPCWSTR cursor;  // a system cursor (IDC_*), or null for none
  ATOM atom;
  // Registers with the module object on first use; StartWindowProc becomes
  // the class procedure and the module instance its instance.
  ATOM Register();
  // Unregisters the class of this name from the module instance, also one left
  // over from an earlier load, and forgets the atom; FALSE (atom kept) when it
  // was not registered or still has windows.
  BOOL Unregister();
};

// Window class of a window object. background is a COLOR_* index, or -1 for
// none; cursor a system cursor (IDC_*), or nullptr for none.
#define DECLARE_WND_CLASS_CURSOR(className, classStyle, background, classCursor)                         \
  static CWndClassInfo& GetWndClassInfo() {                                                               \
    static CWndClassInfo info = {{sizeof(WNDCLASSEXW), static_cast<UINT>(classStyle), nullptr, 0, 0,       \
                                  nullptr, nullptr, nullptr,                                              \
                                  reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((background) + 1)), nullptr, \
                                  className, nullptr},                                                    \
                                 classCursor, 0};                                                         \
    return info;                                                                                          \
  }

#define DECLARE_WND_CLASS_EX(className, classStyle, background) \
  DECLARE_WND_CLASS_CURSOR(className, classStyle, background, IDC_ARROW)

#define DECLARE_WND_CLASS(className) DECLARE_WND_CLASS_EX(className, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

template <class T, class TBase = CWindowImplBase>
class CWindowImpl : public TBase {
public:
  // A class without its own DECLARE_WND_CLASS gets a name made up at registration.
  DECLARE_WND_CLASS(nullptr)

  // Style 0 means WS_CHILD | WS_VISIBLE with a parent, WS_OVERLAPPEDWINDOW
  // without; no rectangle means the default position and size.
  HWND Create(HWND hWndParent, const RECT* rect = nullptr, LPCWSTR windowName = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT id = 0, LPVOID param = nullptr) {
    ATOM atom = T::GetWndClassInfo().Register();
    if (!atom) return nullptr;
    if (style == 0) style = hWndParent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    return TBase::Create(hWndParent, rect, windowName, style, exStyle, id, atom, param);
  }
};
