#include "controls/CategoryChoices.h"

namespace {

ICategoryChoices* g_choices = nullptr;

}  // namespace

void SetCategoryChoices(ICategoryChoices* choices) { g_choices = choices; }
ICategoryChoices* GetCategoryChoices() { return g_choices; }
