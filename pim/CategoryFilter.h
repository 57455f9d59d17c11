// ICategoryFilter: the least a list's walk needs of a tab's category filter: whether an
// item with these categories (indices in the categories list) passes, and the one
// category a new item made under the filter takes. The tabs' filter value (the panel's
// CCategoryFilter) implements it; the walks below take it without owning it.
#pragma once
#include <windows.h>

#include "base/BitSet.h"

class ICategoryFilter {
 public:
  virtual BOOL Matches(const CBitSet& categories) const = 0;
  // The filter's one category index, -1 unless it includes exactly one category.
  virtual int GetSingleCategory() const { return -1; }

 protected:
  ~ICategoryFilter() = default;
};
