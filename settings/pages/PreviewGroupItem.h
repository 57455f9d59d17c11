// The group header of the group style page's preview: a sample title for the
// grouping chosen (-1, 0 or 1).
#pragma once
#include <windows.h>

#include "controls/GroupElement.h"

const int kPreviewGroupItemKind = 552;

class CPreviewGroupItem : public CGroupElement {
 public:
  CPreviewGroupItem(IListItemOwner* owner, int group);
  int GetKind() override { return kPreviewGroupItemKind; }
  // The sample title of a grouping; that of -1 for others.
  static CString GetSampleTitle(int group);
};
