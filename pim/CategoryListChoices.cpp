#include "pim/CategoryListChoices.h"

#include "pim/CategoriesList.h"
#include "pim/CategoryIcons.h"

int CCategoryListChoices::GetDisplayCount() {
  const CCategoriesList* list = CCategoriesList::GetCurrent();
  return list ? list->GetDisplayCount() : 0;
}

int CCategoryListChoices::GetDisplayAt(int position) {
  const CCategoriesList* list = CCategoriesList::GetCurrent();
  return list ? list->GetDisplayAt(position) : -1;
}

CString CCategoryListChoices::GetName(int index) {
  const CCategoriesList* list = CCategoriesList::GetCurrent();
  return list ? list->GetName(index) : CString();
}

CKeyedBitmap* CCategoryListChoices::GetIcon(int index) { return GetCategoryIcons()->GetIcon(index); }

SIZE CCategoryListChoices::GetIconSize() { return GetCategoryIcons()->GetIconSize(); }

CString CCategoryListChoices::BuildNamesText(const CBitSet& set) { return CCategoriesList::GetNamesText(set); }

void UseCategoryListInPicker() {
  static CCategoryListChoices choices;
  SetCategoryChoices(&choices);
}
