#include "tabs/notes/NoteFolderGroup.h"

#include "panel/NotesFolderFilter.h"

namespace {
CString TitleOf(LPCWSTR folder) {
  return folder && *folder ? CString(folder) : CNotesFolderFilter::MainFolderText();
}
}  // namespace

CNoteFolderGroup::CNoteFolderGroup(IListItemOwner* owner, LPCWSTR folder)
    : CListGroupHeader(owner, TitleOf(folder), kKind, -1), m_folder(folder ? folder : L"") {}
