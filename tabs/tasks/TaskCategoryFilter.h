// The category filter a task query applies; the list-tab framework's filter implements it.
#pragma once
#include <windows.h>

class CBitSet;

class ITaskCategoryFilter {
 public:
  virtual ~ITaskCategoryFilter() = default;
  // Whether an item with these categories passes.
  virtual BOOL Matches(const CBitSet& categories) const = 0;
  // The filter's one category index, -1 unless it is exactly one category.
  virtual int GetSingleCategory() const = 0;
};
