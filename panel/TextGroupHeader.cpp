#include "panel/TextGroupHeader.h"

#include "base/Translator.h"
#include "res/TarvoResIds.h"

namespace {
CString TitleOf(LPCWSTR text) {
  CString title;
  if (text && *text)
    title = text;
  else
    LoadTranslatedString(title, IDS_GROUP_NO_TEXT);
  return title;
}
}  // namespace

CTextGroupHeader::CTextGroupHeader(IListItemOwner* owner, LPCWSTR text)
    : CListGroupHeader(owner, TitleOf(text), ITEM_KIND_TEXT_HEADER, 0), m_text(text ? text : L"") {}
