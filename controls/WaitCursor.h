#pragma once

#include <windows.h>

// The wait cursor for as long as the object lives; the cursor shown before comes back
// however the scope is left.
class CWaitCursor {
 public:
  CWaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~CWaitCursor() { SetCursor(m_previous); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};
