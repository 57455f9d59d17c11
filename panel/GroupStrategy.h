// CGroupStrategy: how a grouped list tab spreads its items over group header rows.
// The content list's top level holds only header rows, in group order; a strategy
// compares a header with an item, makes the header of an item's group, and finds (or
// inserts) the group of an item. The items are the tab's own records: the strategy of
// a tab knows their type, this base only passes them along.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/ContainerElement.h"
#include "panel/ListGroupHeader.h"

class CGroupStrategy {
 public:
  virtual ~CGroupStrategy() = default;

  // 0: the item belongs to the row's group; negative: its group comes after the row
  // (look further); positive: its group goes before the row. category: the category
  // the item is being placed under, -1 for none.
  virtual int CompareGroupRow(CListGroupHeader* row, const void* item, int category) = 0;
  // A new header (owned by the caller until adopted) for the item's group.
  virtual CListGroupHeader* CreateGroup(CContainerElement* list, const void* item, int category) = 0;

  // The index of the item's group in the content list's top level, made and
  // inserted at its place when create is set; how many indices were output (0 or 1).
  virtual int FindGroup(std::vector<int>& out, CContainerElement* list, const void* item, BOOL create);
  // For items that arrive in group order: the last group when the item belongs to it,
  // else a new header appended to the list; null when none could be made.
  CListItem* FindOrCreateGroup(CContainerElement* list, CListItem* last, const void* item, int category);

 protected:
  // Walks the top level from index from on: the matching group's index, else (with
  // create) the index of the header made and inserted where the walk stopped; -1.
  // A row that is no header never matches.
  int PlaceItem(CContainerElement* list, int from, const void* item, int category, BOOL create);
};
