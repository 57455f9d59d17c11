// CPaintDC: BeginPaint in the constructor, EndPaint in the destructor.
#pragma once

#include <windows.h>

class CPaintDC {
public:
  explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
  ~CPaintDC() {
    if (m_hDC) ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
  }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  operator HDC() const { return m_hDC; }

  HWND m_hWnd;
  HDC m_hDC;
  PAINTSTRUCT m_ps;
};
