#include "panel/StandInTab.h"

#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "panel/TabMakers.h"

namespace {

struct TabFace {
  int id;
  LPCWSTR name;
  UINT icon;  // the tab host's icon of the tab, in the resource library
  LPCWSTR sort;
  LPCWSTR filter;
};
const TabFace kFaces[] = {
    {TAB_CALENDAR, L"Calendar", 147, L"By day", L"All calendars"},
    {TAB_TASKS, L"Tasks", 146, L"By due date", L"Active tasks"},
    {TAB_CONTACTS, L"Contacts", 148, L"By name", L"All contacts"},
    {TAB_NOTES, L"Notes", 149, L"By folder", L"All notes"},
    {TAB_MESSAGES, L"Messages", 216, L"By account", L"Unread"},
    {TAB_SPECIAL, L"Special events", 143, L"By date", L"All events"},
};

const TabFace* FindFace(int id) {
  for (const TabFace& face : kFaces)
    if (face.id == id) return &face;
  return nullptr;
}

CVirtualDropDown* MakeSelector(LPCWSTR text, DWORD style) {
  auto* selector = new CVirtualDropDown();
  selector->SetStyle(style);
  selector->AddItem(CMenuEntry(1, text));
  selector->SetSelection(1, FALSE);
  return selector;
}

}  // namespace

CStandInTab::CStandInTab(int tabId, CVirtualWnd* owner) : CListPanelView(owner), m_tabId(tabId) {}

LPCWSTR CStandInTab::GetTabName(int tabId) {
  const TabFace* face = FindFace(tabId);
  return face ? face->name : L"";
}

UINT CStandInTab::GetTabIcon() {
  const TabFace* face = FindFace(m_tabId);
  return face ? face->icon : 128;
}

UINT CStandInTab::GetTabIconId(int) { return GetTabIcon(); }

int CStandInTab::GetSkinTabIndex() {
  const TabFace* face = FindFace(m_tabId);
  return face ? static_cast<int>(face - kFaces) : -1;
}

CVirtualDropDown* CStandInTab::CreateSortMenu() {
  const TabFace* face = FindFace(m_tabId);
  return face ? MakeSelector(face->sort, DROPDOWN_ALIGN_LEFT) : nullptr;
}

CVirtualDropDown* CStandInTab::CreateFilterMenu() {
  const TabFace* face = FindFace(m_tabId);
  return face ? MakeSelector(face->filter, 0) : nullptr;
}

void CStandInTab::Paint(CTextRunList* context) {
  CListPanelView::Paint(context);
  if (!context) return;
  RECT line = GetContentRect();
  line.left += ScaleX(4);
  line.top += ScaleY(2);
  line.bottom = line.top + ScaleY(16);
  if (line.bottom > GetContentRect().bottom) return;
  context->SetTextColor(GetItemPalette().GetColor(3));
  context->SetBkMode(TRANSPARENT);
  context->SetFont(GetControlBoldFont());
  context->AddText(GetTabName(m_tabId), &line, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  OffsetRect(&line, 0, ScaleY(16));
  if (line.bottom > GetContentRect().bottom) return;
  context->SetFont(GetControlListFont());
  context->AddText(L"Nothing to show yet", &line, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}
