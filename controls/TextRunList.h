// CTextRunList: the paint context handed to every element and row. Shapes and
// bitmaps go straight into its device context; texts are collected as runs, each
// with the clip, font and colours current when it was added, and drawn in one pass
// at the end, so text always lies on top of the graphics.
#pragma once
#include <windows.h>

#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

class CDib;

struct TEXT_RUN {
  CString text;
  COLORREF bkColor;
  int bkMode;
  COLORREF textColor;
  RECT rect;
  RECT clip;
  HFONT font;
  UINT format;
};

class CTextRunList {
 public:
  // Over a bitmap's memory device context; the target rectangle is the bitmap's.
  CTextRunList(CDib* target, const RECT& clip);
  // Over any device context (an element drawing itself), no target bitmap.
  CTextRunList(HDC hdc, const RECT& clip);
  CTextRunList(const CTextRunList&) = delete;
  CTextRunList& operator=(const CTextRunList&) = delete;

  HDC GetDC() const { return m_hdc; }
  CDib* GetTarget() const { return m_pTarget; }
  const RECT& GetTargetRect() const { return m_rcTarget; }
  // The area being painted; painters narrow it for their own part and restore it.
  // An empty clip means "unclipped".
  const RECT& GetClip() const { return m_rcClip; }
  RECT SetClip(const RECT& clip);

  // The attributes of the runs added next; each setter returns the previous value.
  // A text colour of CLR_INVALID leaves the device context's colour alone.
  COLORREF SetTextColor(COLORREF color);
  COLORREF SetColor(COLORREF color) { return SetTextColor(color); }
  COLORREF SetBkColor(COLORREF color);
  HFONT SetFont(HFONT font);
  void SetBkMode(int mode) { m_bkMode = mode; }
  COLORREF GetTextColor() const { return m_textColor; }
  HFONT GetFont() const { return m_font; }

  void AddText(LPCWSTR text, const RECT* rect, UINT format);
  // Draws every run moved by (dx, dy); the device context ends with its own font and
  // no clip region.
  void Draw(HDC hdc, int dx, int dy);
  // Forgets the runs and goes back to the first attributes.
  void ResetStyle();

  int GetRunCount() const { return m_runs.GetSize(); }
  const TEXT_RUN& GetRun(int index) const { return m_runs[index]; }

 private:
  HDC m_hdc;
  CDib* m_pTarget;
  RECT m_rcClip;
  RECT m_rcTarget;
  int m_bkMode;
  COLORREF m_textColor;
  COLORREF m_bkColor;
  HFONT m_font;
  CSimpleArray<TEXT_RUN> m_runs;
};
