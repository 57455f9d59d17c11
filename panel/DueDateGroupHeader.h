// CDueDateGroupHeader: the Special events tab's header row of a due-date group (kind
// 559): titled by its group, folded by its group code.
#pragma once
#include <windows.h>

#include "panel/DueDateGroups.h"
#include "panel/ListGroupHeader.h"

class CDueDateGroupHeader : public CListGroupHeader {
 public:
  static const int kKind = 559;

  CDueDateGroupHeader(IListItemOwner* owner, int code, const DUE_DATE_GROUP_BOUNDS& bounds);

  int GetCode() const { return GetValue(); }
  // The group code written with "%d": the same group keeps its folding whatever its
  // title says in another month or language.
  void GetKey(CString& out) override;

 private:
  static CString Title(int code, const DUE_DATE_GROUP_BOUNDS& bounds);
};
