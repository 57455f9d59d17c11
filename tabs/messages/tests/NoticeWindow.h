// The owner window the stores' databases are opened with in tests: it hands their
// notices back as the panel does (to the database the notice names, else freed).
#pragma once
#include <windows.h>

#include "base/CeDatabase.h"
#include "base/CeDbApi.h"

class CNoticeWindow {
 public:
  CNoticeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MessagesTestNoticeOwner";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  ~CNoticeWindow() { DestroyWindow(hwnd_); }
  CNoticeWindow(const CNoticeWindow&) = delete;
  CNoticeWindow& operator=(const CNoticeWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DBNOTIFICATION) {
      auto* notification = reinterpret_cast<CENOTIFICATION*>(lParam);
      if (CCeDatabase* database = CCeDatabase::FromNotification(notification))
        database->OnNotification(notification);
      else
        CeFreeNotification(nullptr, notification);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};
