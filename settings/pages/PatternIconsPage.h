// CPatternIconsPage<T>: an icons page over the letters of one item pattern of the
// shared view settings (T::GetPattern): the leading-icon combo 1014 and the icon strip
// 112 (CPatternIcons). Choices go into the record as they are made; apply saves it,
// cancel reloads it. T::NewPreviewRow makes the sample row shown under the controls.
#pragma once
#include <windows.h>

#include "base/ViewSettings.h"
#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"
#include "settings/pages/PatternIcons.h"

template <class T>
class CPatternIconsPage : public COptionsPage<T> {
 public:
  CPatternIconsPage(const IconLetter* letters, int count) : m_letters(letters, count) {}

  BOOL OnInitPage() {
    m_ready = FALSE;
    m_letters.Create(this->m_hWnd, kLeadingIconCombo);
    m_letters.Show(this->m_hWnd, kLeadingIconCombo, T::GetPattern(GetViewSettings()));
    m_preview.Place(this->m_hWnd, 105, 100);
    m_preview.SetRows(T::NewPreviewRow());
    m_preview.TakeBackground();
    m_ready = TRUE;
    return TRUE;
  }
  // The pattern's prefix and suffix from the controls.
  void UpdateIconLetters() {
    m_ready = FALSE;
    m_letters.Take(this->m_hWnd, kLeadingIconCombo, T::GetPattern(GetViewSettings()));
    m_preview.Layout();
    m_preview.Invalidate(this->m_hWnd);
    const RECT square = CPatternIcons::GetIconSquare(this->m_hWnd, kLeadingIconCombo);
    ::InvalidateRect(this->m_hWnd, &square, FALSE);
    m_ready = TRUE;
  }
  BOOL OnSetActive() {
    if (m_ready) UpdateIconLetters();
    return COptionsPage<T>::OnSetActive();
  }
  BOOL OnApply() {
    UpdateIconLetters();
    GetViewSettings().Save();
    return TRUE;
  }
  void OnReset() { GetViewSettings().Load(); }
  CIconAssignList& GetIconList() { return m_letters.GetIconList(); }
  void DrawPreview(HDC dc) { m_preview.Draw(this->m_hWnd, dc, &DrawLeadingIcon, this->m_hWnd); }
  CPagePreview& GetPreview() { return m_preview; }

  BEGIN_MSG_MAP(CPatternIconsPage)
    COMMAND_HANDLER(kLeadingIconCombo, CBN_SELCHANGE, OnChange)
    COMMAND_HANDLER(kIconAssignListId, 1, OnChange)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<T>)
  END_MSG_MAP()

 private:
  LRESULT OnChange(WORD, WORD, HWND, BOOL&) {
    if (m_ready) UpdateIconLetters();
    return 0;
  }

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  static void DrawLeadingIcon(CTextRunList& context, void* page) {
    CPatternIcons::DrawLeadingIcon(static_cast<HWND>(page), kLeadingIconCombo, context);
  }

  CPatternIcons m_letters;
  CPagePreview m_preview;
  BOOL m_ready = FALSE;
};
