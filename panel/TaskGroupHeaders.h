// The group header rows of the Tasks tab, one class per way of grouping: by category,
// importance, due date, start date, completion and privacy. Each keeps the value it was
// made with (GetValue) and is folded under its title.
#pragma once
#include "panel/ListGroupHeader.h"

enum TaskHeaderKind {
  ITEM_KIND_CATEGORY_HEADER = 551,
  ITEM_KIND_IMPORTANCE_HEADER = 552,
  ITEM_KIND_DUE_HEADER = 553,
  ITEM_KIND_START_HEADER = 554,
  ITEM_KIND_COMPLETE_HEADER = 555,
  ITEM_KIND_FLAG_HEADER = 556,
};

// The day groups of a due or start date: 0 before today, 1 today, 2 tomorrow, 3 within
// a week, 4 within a month, 5 later, 6 no date.
enum TaskDateGroup { kDateGroupNone = 6 };
// date and today are variant dates (0 or the no-date value: none); only whole days
// count.
int ClassifyTaskDateGroup(double date, double today);

class CCategoryGroupHeader : public CListGroupHeader {
 public:
  // category: a record number of the categories list, -1 for none.
  CCategoryGroupHeader(IListItemOwner* owner, int category);
};

class CImportanceGroupHeader : public CListGroupHeader {
 public:
  // -1 low, 0 normal, 1 high; no title for anything else.
  CImportanceGroupHeader(IListItemOwner* owner, int importance);
};

class CDueGroupHeader : public CListGroupHeader {
 public:
  CDueGroupHeader(IListItemOwner* owner, int code);
};

class CStartGroupHeader : public CListGroupHeader {
 public:
  CStartGroupHeader(IListItemOwner* owner, int code);
};

class CCompleteGroupHeader : public CListGroupHeader {
 public:
  CCompleteGroupHeader(IListItemOwner* owner, BOOL completed);
};

class CFlagGroupHeader : public CListGroupHeader {
 public:
  CFlagGroupHeader(IListItemOwner* owner, int flag);
};
