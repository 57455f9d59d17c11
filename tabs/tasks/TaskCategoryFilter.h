// The category filter a task query applies: the one filter interface of the PIM layer,
// implemented by the list-tab framework's filter value.
#pragma once
#include "pim/CategoryFilter.h"

typedef ICategoryFilter ITaskCategoryFilter;
