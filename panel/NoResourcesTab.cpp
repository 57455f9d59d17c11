#include "panel/NoResourcesTab.h"

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"

CNoResourcesTab::CNoResourcesTab(CVirtualWnd* owner) : CScrollPanel(owner), m_activated(FALSE) {}

CNoResourcesTab::~CNoResourcesTab() = default;

BOOL CNoResourcesTab::OnLButtonDown(POINT* point) {
  BOOL result = CScrollPanel::OnLButtonDown(point);
  HWND host = GetHwnd();
  if (host) PostMessageW(host, RegisterWindowMessageW(L"QelTarvo_UpdateSettings"), 0, 0);
  return result;
}

void CNoResourcesTab::Activate() {
  CScrollPanel::Activate();
  if (m_activated) return;
  m_activated = TRUE;
  TranslateText(L"Please insert storage card", m_text);
}

void CNoResourcesTab::Paint(CTextRunList* context) {
  CScrollPanel::Paint(context);
  if (m_text.IsEmpty() || !context) return;
  RECT line = GetContentRect();
  line.left += ScaleX(4);
  line.bottom = line.top + ScaleY(18);
  if (line.bottom > GetContentRect().bottom) line.bottom = GetContentRect().bottom;
  context->SetTextColor(GetItemPalette().GetColor(3));
  context->SetBkMode(TRANSPARENT);
  context->SetFont(GetControlListFont());
  context->AddText(m_text, &line, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

int CNoResourcesTab::GetTabId() { return kTabId; }
UINT CNoResourcesTab::GetTabIcon() { return 128; }
UINT CNoResourcesTab::GetTabIconId(int variant) { return variant == 1 ? 124 : 128; }
int CNoResourcesTab::GetHeaderHeight() { return 0; }
