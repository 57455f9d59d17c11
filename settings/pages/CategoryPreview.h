// CCategoryPreview: the category icons dialog's sample appointment over the Today
// background, in the control the template places for it. It shows the category
// chosen last: its picture where the appointment pattern has the category letter.
#pragma once
#include <windows.h>

#include "platform/windowlib/WindowImpl.h"
#include "settings/pages/PagePreview.h"

class CCalendarPreview;

class CCategoryPreview : public CWindowImplBase {
 public:
  ~CCategoryPreview() override;

  // Subclasses the control and takes the Today background.
  BOOL Attach(HWND control);
  // A new sample, today 11:00 to 12:00 in that category alone (-1: none); the
  // control takes the row's height.
  void SetCategory(int category);
  // The sample row, or null before the first category.
  CCalendarPreview* GetRow() const;
  CPagePreview& GetPreview() { return m_preview; }

  BEGIN_MSG_MAP(CCategoryPreview)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  CPagePreview m_preview;
};
