// CCategoryListCtrl: the category icons section's list over its template list view.
// A double tap is two taps to it: the device's list would open the row on the second
// tap, here each tap only selects.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"

class CCategoryListCtrl : public CWindowImplBase {
 public:
  ~CCategoryListCtrl() override;

  BOOL Attach(HWND list) { return list && SubclassWindow(list); }

  BEGIN_MSG_MAP(CCategoryListCtrl)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnDoubleTap)
  END_MSG_MAP()

 private:
  LRESULT OnDoubleTap(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
};
