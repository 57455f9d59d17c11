// The program's one hidden window: it takes the plug-in's requests (registered
// messages and copied request records), serves them one at a time in its thread and
// ends the program when asked to.
#pragma once
#include <windows.h>

#include "ondrel/MonthCache.h"
#include "ondrel/PoomHelper.h"
#include "ondrel/RequestQueue.h"
#include "platform/windowlib/FrameWindowImpl.h"
#include "platform/windowlib/MessageLoop.h"

class CMainFrame : public CFrameWindowImpl<CMainFrame>,
                   public CMessageFilter,
                   public CIdleHandler,
                   public IMonthOwner {
 public:
  DECLARE_WND_CLASS_EX(L"QelTarvo_Ondrel_10", 0, COLOR_WINDOW)

  CMainFrame();
  CPoomHelper& Helper() { return m_helper; }
  const CRequestQueue& Queue() const { return m_queue; }
  CMonthCache& Months() { return m_months; }

  // The month owner: the frame's window, and a month computed unless it is loaded.
  HWND GetOwnerWindow() override { return m_hWnd; }
  BOOL LoadMonth(DWORD key) override;

  BOOL PreTranslateMessage(MSG* msg) override { return CFrameWindowImpl<CMainFrame>::PreTranslateMessage(msg); }
  BOOL OnIdle() override { return FALSE; }

  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0);

  // The copy-data request: TRUE when kept and its turn posted.
  BOOL OnCopyData(const COPYDATASTRUCT* copy);
  void OnDisplayItem(WPARAM code);
  void OnOpenApp(WPARAM code);

 private:
  LRESULT OnChangeItem(const COPYDATASTRUCT* copy);

  CPoomHelper m_helper;
  CRequestQueue m_queue;
  UINT m_msgDisplayItem;
  UINT m_msgOpenApp;
  UINT m_msgUpdateSettings;
  UINT m_msgCloseWindow;
  UINT m_msgGetMonth;
  UINT m_msgUpdateCalendar;
  UINT m_msgCancelLoad;
  UINT m_msgShowMessage;
  UINT m_msgGetPIStatus;
  UINT m_msgChangeItem;
  CMonthCache m_months;
};

// "-contacts": the plug-in's window asked to show its contacts tab; the first window
// of its classes under parent, depth first, or null.
HWND FindTodayPluginWindow(HWND parent);
