// The Messages sheet's filter page: the mail folder filters the Messages tab can
// show. The user picks a filter (or the new filter, item 0) in 1038, ticks its
// folders in the tree 1040, names a folder in 1044 and deletes a filter with
// 1039. A new filter is named after its folder, or numbered once it has several;
// the standard inbox filter is never renamed or deleted: typing a name for it
// makes a copy.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "tabs/messages/MailFolderTree.h"
#include "tabs/messages/MailFoldersFilters.h"
#include "settings/pages/PageTable.h"

const int kFilterCombo = 1038;
const int kDeleteFilterButton = 1039;
const int kFolderTree = 1040;
const int kFolderNameCombo = 1044;
// Below the tree: the folder-name box's label and the page's bottom line, moved up
// with the box when the input panel rises.
const int kFolderNameLabel = 1042;
const int kFilterPageEnd = 1041;

class CMessagesFilterPage : public COptionsPage<CMessagesFilterPage> {
 public:
  enum { IDD = FindPage(5, 1).templateId };

  CMessagesFilterPage() : m_filters(GetMailFoldersFilters()) {}

  BOOL OnInitPage();
  BOOL OnApply();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(5, 1).helpTopic; }
  CMailFolderTree& GetTree() { return m_tree; }

  BEGIN_MSG_MAP(CMessagesFilterPage)
    COMMAND_HANDLER(kFilterCombo, CBN_SELCHANGE, OnFilterChosen)
    COMMAND_HANDLER(kFilterCombo, CBN_EDITCHANGE, OnFilterNameTyped)
    COMMAND_HANDLER(kDeleteFilterButton, BN_CLICKED, OnDeleteFilter)
    COMMAND_HANDLER(kFolderNameCombo, CBN_SELCHANGE, OnFolderNameChosen)
    NOTIFY_HANDLER(kFolderTree, NM_CLICK, OnTreeClick)
    NOTIFY_HANDLER(kFolderTree, NM_RETURN, OnTreeReturn)
    NOTIFY_HANDLER(kFolderTree, TVN_SELCHANGEDW, OnTreeSelection)
    NOTIFY_HANDLER(kFolderTree, CMailFolderTree::kBoxChanging, OnBoxChanging)
    NOTIFY_ID_HANDLER(kFolderTree, OnOtherTreeNotice)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    CHAIN_MSG_MAP(COptionsPage<CMessagesFilterPage>)
  END_MSG_MAP()

 private:
  LRESULT OnFilterChosen(WORD, WORD, HWND, BOOL&);
  LRESULT OnFilterNameTyped(WORD, WORD, HWND, BOOL&);
  LRESULT OnDeleteFilter(WORD, WORD, HWND, BOOL&);
  LRESULT OnFolderNameChosen(WORD, WORD, HWND, BOOL&);
  LRESULT OnTreeClick(int, LPNMHDR, BOOL&);
  LRESULT OnTreeReturn(int, LPNMHDR, BOOL&);
  LRESULT OnTreeSelection(int, LPNMHDR, BOOL&);
  LRESULT OnBoxChanging(int, LPNMHDR, BOOL&);
  LRESULT OnOtherTreeNotice(int, LPNMHDR, BOOL&) { return 0; }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnSettingChange(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  // With height visible, the tree gives up what the controls below it need to stay
  // in sight; with room enough they go back to the template's places.
  void FitAbove(int height);

  // Position 0 is the new filter, k the k-th filter by name.
  EMAIL_ACCOUNT& RecordAt(int position);
  int PositionOf(int filterIndex) const;
  void SortFilters();
  void FillFilterCombo();
  // The new filter's ticks go to the filter of its name, unless it still has
  // the default name.
  void CommitNewFilter();
  // The tree's ticks into record; changing: the item whose box is about to turn.
  void StoreTicks(EMAIL_ACCOUNT& record, HTREEITEM changing);
  void LoadTicks(const EMAIL_ACCOUNT& record);
  void NameNewFilter(HTREEITEM changing);
  CString NextNumberedName() const;
  void FillFolderNames();
  void ShowNewFilterName();
  // The folder record of a tree item, named with its path.
  BOOL EntryOf(const CMailTreeItem& record, CTaggedBlob& entry) const;
  // Depth-first over the items below parent (null: the whole tree).
  void ForEachItem(HTREEITEM parent, const std::function<void(HTREEITEM)>& visit);

  CMailFoldersFilters& m_filters;
  CMailFolderTree m_tree;
  std::vector<int> m_sorted;
  EMAIL_ACCOUNT m_new;
  CString m_defaultName;
  CString m_protectedName;
  int m_selected = 0;
  int m_tickCount = 0;  // -1 once the user typed a name
  BOOL m_initialised = FALSE;
  BOOL m_filling = FALSE;
  // The template's places of the tree and the controls below it, page coordinates.
  enum { kPlacedTree, kPlacedLabel, kPlacedName, kPlacedEnd, kPlacedCount };
  RECT m_places[kPlacedCount] = {};
  BOOL m_placesTaken = FALSE;
};
