#include "panel/TaskGroupHeaders.h"

#include <math.h>

#include "base/DateTime.h"
#include "base/Translator.h"
#include "pim/CategoriesList.h"
#include "res/TarvoResIds.h"

namespace {

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

CString CategoryTitle(int category) {
  if (category < 0) return Text(IDS_TASK_GROUP_NO_CATEGORY);
  CCategoriesList* categories = CCategoriesList::GetCurrent();
  return categories ? categories->GetName(category) : CString();
}

CString ImportanceTitle(int importance) {
  switch (importance) {
    case -1: return Text(IDS_TASK_IMPORTANCE_LOW);
    case 0: return Text(IDS_TASK_IMPORTANCE_NORMAL);
    case 1: return Text(IDS_TASK_IMPORTANCE_HIGH);
    default: return CString();
  }
}

CString DateGroupTitle(int code, const UINT (&texts)[7]) {
  return code >= 0 && code <= 6 ? Text(texts[code]) : CString();
}

const UINT kDueTexts[7] = {IDS_TASK_DUE_GROUP_0, IDS_TASK_DUE_GROUP_1, IDS_TASK_DUE_GROUP_2, IDS_TASK_DUE_GROUP_3,
                           IDS_TASK_DUE_GROUP_4, IDS_TASK_DUE_GROUP_5, IDS_TASK_DUE_GROUP_NONE};
const UINT kStartTexts[7] = {IDS_TASK_START_GROUP_0, IDS_TASK_START_GROUP_1, IDS_TASK_START_GROUP_2,
                             IDS_TASK_START_GROUP_3, IDS_TASK_START_GROUP_4, IDS_TASK_START_GROUP_5,
                             IDS_TASK_START_GROUP_NONE};

}  // namespace

int ClassifyTaskDateGroup(double date, double today) {
  // The stores' no-date value, and anything no day can be (NaN, infinite, beyond the
  // calendar), count as no date.
  if (date == 0 || date == kNoDate || !isfinite(date) || fabs(date) > 3.0e6) return kDateGroupNone;
  const double d = floor(date), t = floor(today);
  if (d < t) return 0;
  if (d == t) return 1;
  if (d == t + 1) return 2;
  if (d < t + 7) return 3;
  if (d < t + 30) return 4;
  return 5;
}

CCategoryGroupHeader::CCategoryGroupHeader(IListItemOwner* owner, int category)
    : CListGroupHeader(owner, CategoryTitle(category), ITEM_KIND_CATEGORY_HEADER, category < 0 ? -1 : category) {}

CImportanceGroupHeader::CImportanceGroupHeader(IListItemOwner* owner, int importance)
    : CListGroupHeader(owner, ImportanceTitle(importance), ITEM_KIND_IMPORTANCE_HEADER, importance) {}

CDueGroupHeader::CDueGroupHeader(IListItemOwner* owner, int code)
    : CListGroupHeader(owner, DateGroupTitle(code, kDueTexts), ITEM_KIND_DUE_HEADER, code) {}

CStartGroupHeader::CStartGroupHeader(IListItemOwner* owner, int code)
    : CListGroupHeader(owner, DateGroupTitle(code, kStartTexts), ITEM_KIND_START_HEADER, code) {}

CCompleteGroupHeader::CCompleteGroupHeader(IListItemOwner* owner, BOOL completed)
    : CListGroupHeader(owner, Text(completed ? IDS_COMPLETED : IDS_TASK_GROUP_NOT_COMPLETED),
                       ITEM_KIND_COMPLETE_HEADER, completed ? 1 : 0) {}

CFlagGroupHeader::CFlagGroupHeader(IListItemOwner* owner, int flag)
    : CListGroupHeader(owner, Text(flag ? IDS_ROW_PRIVATE : IDS_TASK_IMPORTANCE_NORMAL), ITEM_KIND_FLAG_HEADER,
                       flag ? 1 : 0) {}
