#include "settings/pages/PreviewGroupItem.h"

#include "base/Translator.h"
#include "res/TarvoResIds.h"

CString CPreviewGroupItem::GetSampleTitle(int group) {
  CString title;
  LoadTranslatedString(title, group == 0 ? IDS_PREVIEW_GROUP_0 : group == 1 ? IDS_PREVIEW_GROUP_1
                                                                            : IDS_PREVIEW_GROUP_NONE);
  return title;
}

CPreviewGroupItem::CPreviewGroupItem(IListItemOwner* owner, int group)
    : CGroupElement(owner, GetSampleTitle(group)) {}
