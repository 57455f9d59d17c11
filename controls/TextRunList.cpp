#include "controls/TextRunList.h"

#include "graphics/Dib.h"

CTextRunList::CTextRunList(CDib* target, const RECT& clip)
    : m_hdc(target ? target->GetDC() : nullptr),
      m_pTarget(target),
      m_rcClip(clip),
      m_rcTarget{0, 0, target ? target->GetWidth() : 0, target ? target->GetHeight() : 0} {
  ResetStyle();
}

CTextRunList::CTextRunList(HDC hdc, const RECT& clip)
    : m_hdc(hdc), m_pTarget(nullptr), m_rcClip(clip), m_rcTarget{0, 0, 0, 0} {
  ResetStyle();
}

RECT CTextRunList::SetClip(const RECT& clip) {
  RECT previous = m_rcClip;
  m_rcClip = clip;
  return previous;
}

COLORREF CTextRunList::SetTextColor(COLORREF color) {
  COLORREF previous = m_textColor;
  m_textColor = color;
  return previous;
}

COLORREF CTextRunList::SetBkColor(COLORREF color) {
  COLORREF previous = m_bkColor;
  m_bkColor = color;
  return previous;
}

HFONT CTextRunList::SetFont(HFONT font) {
  HFONT previous = m_font;
  m_font = font;
  return previous;
}

void CTextRunList::AddText(LPCWSTR text, const RECT* rect, UINT format) {
  TEXT_RUN run;
  run.text = text;
  run.bkColor = m_bkColor;
  run.bkMode = m_bkMode;
  run.textColor = m_textColor;
  run.rect = *rect;
  run.clip = m_rcClip;
  run.font = m_font;
  run.format = format;
  m_runs.Add(run);
}

void CTextRunList::Draw(HDC hdc, int dx, int dy) {
  ::SetBkMode(hdc, TRANSPARENT);
  RECT currentClip = {0, 0, 0, 0};
  HRGN region = nullptr;
  HFONT currentFont = nullptr;
  HGDIOBJ originalFont = nullptr;
  for (int i = 0; i < m_runs.GetSize(); ++i) {
    const TEXT_RUN& run = m_runs[i];
    // A region only when the clip changes, a font only when it changes: most runs
    // of one painter share both.
    if (!EqualRect(&run.clip, &currentClip)) {
      SelectClipRgn(hdc, nullptr);
      if (region) DeleteObject(region);
      RECT shifted = run.clip;
      OffsetRect(&shifted, dx, dy);
      // An empty clip leaves the run unclipped, wherever it comes in the list.
      region = IsRectEmpty(&shifted) ? nullptr : CreateRectRgnIndirect(&shifted);
      if (region) SelectClipRgn(hdc, region);
      currentClip = run.clip;
    }
    if (run.font && run.font != currentFont) {
      HGDIOBJ replaced = SelectObject(hdc, run.font);
      if (!originalFont) originalFont = replaced;
      currentFont = run.font;
    }
    if (run.textColor != CLR_INVALID) ::SetTextColor(hdc, run.textColor);
    ::SetBkColor(hdc, run.bkColor);
    ::SetBkMode(hdc, run.bkMode);
    RECT rect = run.rect;
    OffsetRect(&rect, dx, dy);
    DrawTextW(hdc, run.text, -1, &rect, run.format);
  }
  SelectClipRgn(hdc, nullptr);
  if (originalFont) SelectObject(hdc, originalFont);
  if (region) DeleteObject(region);
}

void CTextRunList::ResetStyle() {
  m_runs.RemoveAll();
  m_textColor = CLR_INVALID;
  m_bkColor = 0;
  m_bkMode = TRANSPARENT;
  m_font = nullptr;
}
