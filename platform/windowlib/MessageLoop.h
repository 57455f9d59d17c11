// CMessageLoop: a thread's message loop with message filters (keyboard
// accelerators, dialog navigation) that see every message before it is
// dispatched, and idle handlers that run when the queue runs empty.
#pragma once

#include "platform/windowlib/SimpleArray.h"

#include <windows.h>

class CMessageFilter {
public:
  virtual ~CMessageFilter() = default;
  // TRUE when the filter consumed the message (it is then not dispatched).
  virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;
};

class CIdleHandler {
public:
  virtual ~CIdleHandler() = default;
  // Runs once each time the queue runs empty after real work; the result is
  // for the handler's own use.
  virtual BOOL OnIdle() = 0;
};

class CMessageLoop {
public:
  virtual ~CMessageLoop() = default;

  BOOL AddMessageFilter(CMessageFilter* filter) { return filter && m_filters.Add(filter); }
  BOOL RemoveMessageFilter(CMessageFilter* filter) { return m_filters.Remove(filter); }
  BOOL AddIdleHandler(CIdleHandler* handler) { return handler && m_idleHandlers.Add(handler); }
  BOOL RemoveIdleHandler(CIdleHandler* handler) { return m_idleHandlers.Remove(handler); }

  // Runs until WM_QUIT and returns its exit code (-1 when reading the queue fails).
  int Run();

  // Filters are asked most recently added first; the first that takes the
  // message ends the search. Filters may remove themselves while asked.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Runs every idle handler once; TRUE would keep the loop idling before it
  // waits again. One round per idle period here.
  virtual BOOL OnIdle(int idleCount);
  // Messages after which the loop goes idle again (not mouse moves, paints or
  // the caret's timer).
  static BOOL IsIdleMessage(const MSG* pMsg);

  MSG m_msg = {};

protected:
  CSimpleValArray<CMessageFilter*> m_filters;
  CSimpleValArray<CIdleHandler*> m_idleHandlers;
};
