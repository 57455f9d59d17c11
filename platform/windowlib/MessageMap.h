// Message maps: a class lists the messages it takes between BEGIN_MSG_MAP and
// END_MSG_MAP, each line naming its handler. Lines are tried top to bottom; a
// handler that clears bHandled lets the search go on. Chaining to a base map
// at the top makes it "base first", at the bottom "own first".
//
// Handlers:
//   MESSAGE_HANDLER      LRESULT OnX(UINT msg, WPARAM, LPARAM, BOOL& bHandled)
//   COMMAND_*_HANDLER    LRESULT OnX(WORD code, WORD id, HWND control, BOOL& bHandled)
//   NOTIFY_*_HANDLER     LRESULT OnX(int id, NMHDR* header, BOOL& bHandled)
#pragma once

#include <windows.h>

class CMessageMap {
public:
  virtual ~CMessageMap() = default;
  // The message map: TRUE when the message was taken, with its result in lResult.
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                    DWORD dwMsgMapID = 0) = 0;
};

#define BEGIN_MSG_MAP(theClass)                                                                  \
public:                                                                                          \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                            DWORD dwMsgMapID = 0) {                                              \
    BOOL bHandled = TRUE;                                                                        \
    (void)hWnd;                                                                                  \
    (void)uMsg;                                                                                  \
    (void)wParam;                                                                                \
    (void)lParam;                                                                                \
    (void)lResult;                                                                               \
    (void)bHandled;                                                                              \
    switch (dwMsgMapID) {                                                                        \
      case 0:

// A second map in the same class, reached with CHAIN_MSG_MAP_ALT(theClass, id).
#define ALT_MSG_MAP(id) \
  break;                \
  case id:

#define END_MSG_MAP() \
  break;              \
  default:            \
    break;            \
    }                 \
    return FALSE;     \
    }

#define MESSAGE_HANDLER(msg, func)                             \
  if (uMsg == static_cast<UINT>(msg)) {                        \
    bHandled = TRUE;                                           \
    lResult = func(uMsg, wParam, lParam, bHandled);            \
    if (bHandled) return TRUE;                                 \
  }

#define MESSAGE_RANGE_HANDLER(first, last, func)                                         \
  if (uMsg >= static_cast<UINT>(first) && uMsg <= static_cast<UINT>(last)) {             \
    bHandled = TRUE;                                                                     \
    lResult = func(uMsg, wParam, lParam, bHandled);                                      \
    if (bHandled) return TRUE;                                                           \
  }

#define COMMAND_HANDLER(id, code, func)                                                                \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id) &&                                  \
      HIWORD(wParam) == static_cast<WORD>(code)) {                                                      \
    bHandled = TRUE;                                                                                    \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);           \
    if (bHandled) return TRUE;                                                                          \
  }

#define COMMAND_ID_HANDLER(id, func)                                                          \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id)) {                        \
    bHandled = TRUE;                                                                          \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                                \
  }

#define COMMAND_CODE_HANDLER(code, func)                                                      \
  if (uMsg == WM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code)) {                      \
    bHandled = TRUE;                                                                          \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                                \
  }

#define COMMAND_RANGE_HANDLER(first, last, func)                                                   \
  if (uMsg == WM_COMMAND && LOWORD(wParam) >= static_cast<WORD>(first) &&                          \
      LOWORD(wParam) <= static_cast<WORD>(last)) {                                                 \
    bHandled = TRUE;                                                                               \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);      \
    if (bHandled) return TRUE;                                                                     \
  }

#define NOTIFY_HANDLER(id, cd, func)                                                        \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
      reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(cd)) {                    \
    bHandled = TRUE;                                                                          \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);     \
    if (bHandled) return TRUE;                                                                \
  }

#define NOTIFY_ID_HANDLER(id, func)                                                                  \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id)) { \
    bHandled = TRUE;                                                                                 \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);            \
    if (bHandled) return TRUE;                                                                       \
  }

#define NOTIFY_CODE_HANDLER(cd, func)                                                          \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(cd)) { \
    bHandled = TRUE;                                                                             \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);        \
    if (bHandled) return TRUE;                                                                   \
  }

#define NOTIFY_RANGE_HANDLER(first, last, func)                                               \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom >= static_cast<UINT_PTR>(first) && \
      reinterpret_cast<NMHDR*>(lParam)->idFrom <= static_cast<UINT_PTR>(last)) {              \
    bHandled = TRUE;                                                                          \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);     \
    if (bHandled) return TRUE;                                                                \
  }

#define CHAIN_MSG_MAP(theChainClass)                                                     \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                                 \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                     \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

// Sends the notifications of child controls back to the controls, as OCM_*
// (the message number raised by OCM__BASE, 0x2000); see ReflectNotifications.
#define REFLECT_NOTIFICATIONS()                                        \
  {                                                                    \
    bHandled = TRUE;                                                   \
    lResult = ReflectNotifications(uMsg, wParam, lParam, bHandled);    \
    if (bHandled) return TRUE;                                         \
  }

// In a control: a reflected notification, by its original code.
#define REFLECTED_COMMAND_CODE_HANDLER(code, func)                                            \
  if (uMsg == OCM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code)) {                     \
    bHandled = TRUE;                                                                          \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                                \
  }

#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                                                  \
  if (uMsg == OCM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(cd)) {  \
    bHandled = TRUE;                                                                               \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);          \
    if (bHandled) return TRUE;                                                                     \
  }

// In a control: reflected messages it does not take get the original
// message's default handling instead of being lost.
#define DEFAULT_REFLECTION_HANDLER() \
  if (DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
