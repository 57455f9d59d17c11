#include "settings/pages/GroupStylePage.h"

#include "base/ViewSettings.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"

BOOL CGroupStylePage::OnInitPage() {
  m_ready = FALSE;
  const CViewSettings& view = GetViewSettings();
  // A style the box has no item for selects nothing and is kept until the user chooses.
  SelectComboItem(m_hWnd, kStripeStyleCombo, view.FoldingStripeStyle - 1);
  TickBox(m_hWnd, kStripeCounterBox, view.FoldingStripeDrawCounter != 0);
  TickBox(m_hWnd, kStripeNoNullBox, view.FoldingStripeDontShowNull != 0);
  TickBox(m_hWnd, kStripeCollapseIconBox, view.FoldingStripeShowCollapseIcon != 0);
  m_preview.Place(m_hWnd, 100, 100);
  m_preview.TakeBackground();
  BuildPreview();
  m_ready = TRUE;
  return TRUE;
}

void CGroupStylePage::UpdateSettings() {
  CViewSettings& view = GetViewSettings();
  const int style = GetComboSelection(m_hWnd, kStripeStyleCombo);
  if (style >= 0) view.FoldingStripeStyle = style + 1;
  view.FoldingStripeDrawCounter = IsBoxTicked(m_hWnd, kStripeCounterBox) ? 1 : 0;
  view.FoldingStripeDontShowNull = IsBoxTicked(m_hWnd, kStripeNoNullBox) ? 1 : 0;
  view.FoldingStripeShowCollapseIcon = IsBoxTicked(m_hWnd, kStripeCollapseIconBox) ? 1 : 0;
  BuildPreview();
}

void CGroupStylePage::BuildPreview() {
  // Made again each time: a header takes the stripe style when it is made.
  SetGroupStyleSample(m_preview);
  m_preview.Invalidate(m_hWnd);
}

LRESULT CGroupStylePage::OnControlChange(WORD, WORD, HWND, BOOL&) {
  if (m_ready) UpdateSettings();
  return 0;
}

BOOL CGroupStylePage::OnApply() {
  UpdateSettings();
  GetViewSettings().Save();
  return TRUE;
}

void CGroupStylePage::OnReset() { GetViewSettings().Load(); }
