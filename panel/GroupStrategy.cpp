#include "panel/GroupStrategy.h"

int CGroupStrategy::PlaceItem(CContainerElement* list, int from, const void* item, int category, BOOL create) {
  if (!list) return -1;
  const int count = list->GetChildCount();
  int insertAt = count;
  for (int i = from < 0 ? 0 : from; i < count; ++i) {
    CListGroupHeader* header = AsListGroupHeader(list->GetChild(i));
    if (!header) continue;
    const int order = CompareGroupRow(header, item, category);
    if (order == 0) return i;
    if (order > 0) {
      insertAt = i;
      break;
    }
  }
  if (!create) return -1;
  CListGroupHeader* header = CreateGroup(list, item, category);
  if (!header) return -1;
  if (!list->InsertChild(insertAt, header)) {
    delete header;
    return -1;
  }
  return list->FindChild(header);
}

int CGroupStrategy::FindGroup(std::vector<int>& out, CContainerElement* list, const void* item, BOOL create) {
  out.clear();
  const int index = PlaceItem(list, 0, item, -1, create);
  if (index >= 0) out.push_back(index);
  return static_cast<int>(out.size());
}

CListItem* CGroupStrategy::FindOrCreateGroup(CContainerElement* list, CListItem* last, const void* item,
                                             int category) {
  if (!list) return nullptr;
  if (CListGroupHeader* header = AsListGroupHeader(last))
    if (CompareGroupRow(header, item, category) == 0) return header;
  CListGroupHeader* header = CreateGroup(list, item, category);
  if (!header) return nullptr;
  if (!list->AddChild(header)) {
    delete header;
    return nullptr;
  }
  return header;
}
