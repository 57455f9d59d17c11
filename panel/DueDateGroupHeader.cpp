#include "panel/DueDateGroupHeader.h"

CString CDueDateGroupHeader::Title(int code, const DUE_DATE_GROUP_BOUNDS& bounds) {
  CString title;
  GetDueDateGroupTitle(bounds, code, title);
  return title;
}

CDueDateGroupHeader::CDueDateGroupHeader(IListItemOwner* owner, int code, const DUE_DATE_GROUP_BOUNDS& bounds)
    : CListGroupHeader(owner, Title(code, bounds), kKind, code) {}

void CDueDateGroupHeader::GetKey(CString& out) { out.Format(L"%d", GetValue()); }
