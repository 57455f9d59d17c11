// CCategoryListChoices: the category picker's view (ICategoryChoices) of the current
// categories list and the skin's category icons. UseCategoryListInPicker installs the
// process's one at program start.
#pragma once
#include "controls/CategoryChoices.h"

class CCategoryListChoices : public ICategoryChoices {
 public:
  int GetDisplayCount() override;
  int GetDisplayAt(int position) override;
  CString GetName(int index) override;
  CKeyedBitmap* GetIcon(int index) override;
  SIZE GetIconSize() override;
  CString BuildNamesText(const CBitSet& set) override;
};

void UseCategoryListInPicker();
