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

  // Position 0 is the new filter, k the k-th filter by name.
  MAIL_FILTER& RecordAt(int position);
  int PositionOf(int filterIndex) const;
  void SortFilters();
  void FillFilterCombo();
  // The new filter's ticks go to the filter of its name, unless it still has
  // the default name.
  void CommitNewFilter();
  // The tree's ticks into record; changing: the item whose box is about to turn.
  void StoreTicks(MAIL_FILTER& record, HTREEITEM changing);
  void LoadTicks(const MAIL_FILTER& record);
  void NameNewFilter(HTREEITEM changing);
  CString NextNumberedName() const;
  void FillFolderNames();
  void ShowNewFilterName();
  FOLDER_ENTRY EntryOf(const CMailTreeItem& record) const;
  // Depth-first over the items below parent (null: the whole tree).
  void ForEachItem(HTREEITEM parent, const std::function<void(HTREEITEM)>& visit);

  CMailFoldersFilters& m_filters;
  CMailFolderTree m_tree;
  std::vector<int> m_sorted;
  MAIL_FILTER m_new;
  CString m_defaultName;
  CString m_protectedName;
  int m_selected = 0;
  int m_tickCount = 0;  // -1 once the user typed a name
  BOOL m_initialised = FALSE;
  BOOL m_filling = FALSE;
};
