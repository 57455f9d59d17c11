// A hidden host window with a control tree, elements that record what reaches
// them, and a message pump with a deadline.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/TextRunList.h"
#include "controls/VirtualRoot.h"
#include "platform/windowlib/WindowImpl.h"

namespace ctltest {

// The calls that reached elements, in order, named "<element> <call>".
using CallLog = std::vector<std::string>;

class CRecordingElement : public CVirtualWnd {
 public:
  CRecordingElement(CallLog* log, const char* name, RECT bounds = {0, 0, 0, 0}) : m_log(log), m_name(name) {
    SetRect(&bounds);
  }
  BOOL OnLButtonDown(POINT* point) override {
    Record("down");
    BOOL routed = CVirtualWnd::OnLButtonDown(point);
    if (captureOnPress) Capture();
    return routed || handles;
  }
  BOOL OnLButtonUp(POINT* point) override {
    Record("up");
    return CVirtualWnd::OnLButtonUp(point) || handles;
  }
  BOOL OnMouseMove(POINT* point) override {
    Record("move");
    return CVirtualWnd::OnMouseMove(point) || handles;
  }
  BOOL OnLButtonDblClk(POINT* point) override {
    Record("dblclk");
    return CVirtualWnd::OnLButtonDblClk(point) || handles;
  }
  BOOL OnKey(DWORD key) override {
    keys.push_back(key);
    return CVirtualWnd::OnKey(key);
  }
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override {
    childKeys.push_back({sender, key});
    return CVirtualWnd::OnChildKey(sender, key);
  }
  void KillFocus() override {
    Record("killfocus");
    CVirtualWnd::KillFocus();
  }
  void Paint(CTextRunList* context) override {
    Record("paint");
    if (fill != CLR_INVALID) {
      HBRUSH brush = CreateSolidBrush(fill);
      FillRect(context->GetDC(), &m_rect, brush);
      DeleteObject(brush);
    }
    CVirtualWnd::Paint(context);
  }
  void OnTimer() override { ++timers; }
  LRESULT OnVirtualMessage(LPARAM code) override {
    virtualCodes.push_back(code);
    return code * 10;
  }

  BOOL handles = FALSE;
  BOOL captureOnPress = FALSE;
  COLORREF fill = CLR_INVALID;
  int timers = 0;
  std::vector<DWORD> keys;
  std::vector<std::pair<CVirtualWnd*, DWORD>> childKeys;
  std::vector<LPARAM> virtualCodes;

 private:
  void Record(const char* call) {
    if (m_log) m_log->push_back(m_name + " " + call);
  }
  CallLog* m_log;
  std::string m_name;
};

// A root that records the keys that climbed all the way up.
class CTestRoot : public CVirtualRoot {
 public:
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override {
    childKeys.push_back({sender, key});
    return FALSE;
  }
  std::vector<std::pair<CVirtualWnd*, DWORD>> childKeys;
};

class CTestHost : public CWindowImpl<CTestHost> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsTestHost", CS_DBLCLKS, -1)

  explicit CTestHost(int width = 100, int height = 60) {
    RECT at = {0, 0, width, height};
    Create(nullptr, &at, L"", WS_POPUP);
  }
  ~CTestHost() override {
    if (m_hWnd) DestroyWindow();
  }

  BEGIN_MSG_MAP(CTestHost)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  LRESULT Tap(UINT message, int x, int y) { return Send(message, 0, MAKELPARAM(x, y)); }

  CTestRoot root;
};

// Dispatches this thread's messages until done() holds or two seconds pass.
inline bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start > 2000) return false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace ctltest
