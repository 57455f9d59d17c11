#include "panel/GroupHeaderRow.h"

#include "base/ViewSettings.h"

CGroupHeaderRow::CGroupHeaderRow(IListItemOwner* owner, LPCWSTR title, LPCWSTR secondText, int tag)
    : CListGroupHeader(owner, title, ITEM_KIND_GENERAL_HEADER, tag),
      m_nUnread(0),
      m_nCounterStyle(-1),
      m_second(secondText ? secondText : L"") {}

void CGroupHeaderRow::GetCountText(CString& out) {
  const CViewSettings& settings = GetViewSettings();
  int style = m_nCounterStyle >= 0 ? m_nCounterStyle : settings.EmailCounterStyle;
  if (settings.EmailsOnlyUnreaded) style = 1;
  const int shown = GetDisplayCount();
  out.Empty();
  switch (style) {
    case 0:
      if (m_nUnread != 0 || shown != 0) out.Format(L" (%d/%d)", m_nUnread, shown);
      break;
    case 1:
      if (m_nUnread != 0) out.Format(L" (%d)", m_nUnread);
      break;
    case 2:
      if (shown != 0) out.Format(L" (%d)", shown);
      break;
    default:
      break;
  }
}
