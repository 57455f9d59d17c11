// CFrameWindowImpl: a top-level window whose client area is one client
// window, with an accelerator table. When a top-level frame is destroyed it
// ends the thread's message loop with exit code 1.
#pragma once

#include "platform/windowlib/Module.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

#include <windows.h>

template <class T, class TBase = CWindowImplBase>
class CFrameWindowImpl : public CWindowImpl<T, TBase> {
public:
  HWND m_hWndClient = nullptr;
  HACCEL m_hAccel = nullptr;

  // resourceId, when not 0, names the title text and the accelerator table in
  // the resource instance. Style 0 means WS_OVERLAPPEDWINDOW with clipping.
  HWND CreateEx(UINT resourceId = 0, HWND hWndParent = nullptr, const RECT* rect = nullptr, DWORD style = 0,
                DWORD exStyle = 0, LPVOID param = nullptr) {
    CString title;
    if (resourceId) {
      title.LoadString(resourceId);
      m_hAccel = ::LoadAcceleratorsW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(resourceId));
    }
    if (style == 0) style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    return CWindowImpl<T, TBase>::Create(hWndParent, rect, title, style, exStyle, 0, param);
  }

  // Keyboard accelerators of the frame; for the frame's message filter.
  BOOL PreTranslateMessage(MSG* pMsg) {
    return m_hAccel && this->m_hWnd && ::TranslateAcceleratorW(this->m_hWnd, m_hAccel, pMsg);
  }

  // The client window fills the client area.
  void UpdateLayout() {
    RECT rect;
    if (m_hWndClient && this->GetClientRect(&rect))
      ::SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
  }

  BEGIN_MSG_MAP(CFrameWindowImpl)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) static_cast<T*>(this)->UpdateLayout();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!(this->GetStyle() & WS_CHILD)) ::PostQuitMessage(1);
    bHandled = FALSE;
    return 0;
  }
};
