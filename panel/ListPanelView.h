// CListPanelView: the base of every list tab: a header with the group/sort and the
// filter selector and a minimise button (minimised to a thin strip, or hidden), the
// content list below it with the panel's scroll bar, keys between header and rows,
// a deferred refresh, and the item operations each tab gives its own body.
#pragma once
#include <windows.h>

#include "controls/Buttons.h"
#include "controls/ContainerElement.h"
#include "controls/ScrollPanel.h"
#include "controls/VirtualDropDown.h"
#include "platform/windowlib/String.h"

class CFoldingState;

// The commands every list tab understands, from its context menu, a row's menu or a
// soft key.
enum ListTabCommand {
  LIST_CMD_OPEN = 1001,
  LIST_CMD_EDIT = 1002,
  LIST_CMD_DELETE = 1003,
  LIST_CMD_NEW = 1004,
  LIST_CMD_CALENDAR_VIEW = 1005,
  LIST_CMD_CONTACTS_VIEW = 1019,
  LIST_CMD_TASKS_VIEW = 1020,
  LIST_CMD_CALENDAR_VIEW_2 = 1021,
  LIST_CMD_FOLD = 1022,
  LIST_CMD_FOLD_ALL = 1023,
  LIST_CMD_UNFOLD = 1024,
  LIST_CMD_UNFOLD_ALL = 1025,
  LIST_CMD_NOTES_PROGRAM = 1028,
  LIST_CMD_PELLAM = 1029,
  LIST_CMD_OPEN_ACCOUNT = 1030,
  LIST_CMD_PHATNOTES = 1031,
  LIST_CMD_POCKET_WORD = 1032,
  LIST_CMD_PHATPAD = 1033,
  LIST_CMD_POCKET_EXCEL = 1034,
  LIST_CMD_NEW_TASK = 1040,
  LIST_CMD_NEW_APPOINTMENT = 1041,
  LIST_CMD_NEW_CONTACT = 1042,
  LIST_CMD_NEW_NOTE = 1043,
  LIST_CMD_NEW_NOTE_SKIP = 1044,
  LIST_CMD_NEW_MESSAGE = 1045,
  LIST_CMD_NOTES_WINDOW = 1046,
  LIST_CMD_NEW_DOCUMENT = 1047,
  LIST_CMD_NEW_PHATPAD = 1048,
  LIST_CMD_NEW_WORKBOOK = 1049,
  LIST_CMD_SEND_RECEIVE = 1425,
  // New task with the option word of the tasks list's entry (command - 1500).
  LIST_CMD_NEW_TASK_ENTRY_FIRST = 1500,
  LIST_CMD_NEW_TASK_ENTRY_LAST = 1599,
};

// What rows report through OnItemNotify.
const LPARAM ROW_EVENT_SHOW_NOTE = 512;
const LPARAM ROW_EVENT_EDIT_CATEGORIES = 1552;

class CListPanelView : public CScrollPanel, public IListItemOwner, public IDropDownListener {
 public:
  // The refresh a tab asks for runs this long after the last request.
  static const UINT kRefreshDelay = 300;
  // The header height while the tab leaves it to the panel, in logical pixels.
  static const int kDefaultHeaderHeight = 58;

  explicit CListPanelView(CVirtualWnd* owner = nullptr);
  ~CListPanelView() override;

  // Element operations.
  // The centre of the current row (of a group, its header), else the element's.
  POINT* GetAnchorPoint(POINT* out) override;
  // 1010 (a popup closed): the focus comes back to the view.
  LRESULT OnVirtualMessage(LPARAM code) override;
  void RefreshSkin() override;
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override;
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  void KillFocus() override;
  void SetFocus() override;
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDblClk(POINT* point) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnKey(DWORD key) override;
  void Paint(CTextRunList* context) override;
  void OnTimer() override;
  // Children first; else the row under the point (or none) gets the menu. Always TRUE.
  BOOL OnContextMenu(POINT* screenPoint) override;

  // Tab operations.
  void LoadSettings() override;
  void InvalidateContent(int position) override;
  void LayoutScrollBar() override;
  int GetContentHeight() override;
  // Only marks the rebuild while the tab is not current.
  void RequestRefresh() override;
  void Activate() override;
  BOOL Deactivate() override;
  void OnSettingsChanged() override;
  int GetHeaderHeight() override;
  // argument: the row (a CListItem) the menu is for, or 0. An item row fills the menu
  // and takes its commands first; otherwise the common entries, and the filter
  // selector's items while the header is hidden.
  int TrackMenu(LPARAM argument, POINT* screenPoint) override;
  // The commands every list tab understands; the others go to the panel's.
  void OnMenuCommand(int command) override;

  // What a tab gives its own body.
  virtual BOOL IsOneTap(CListItem* row);
  virtual BOOL SelectLastRow();
  // Gives the focus back to the row remembered first, then to the one remembered
  // second, else to the row at the top of the visible area, else to the first row.
  virtual BOOL RestoreFocusedRow();
  // Selects the row at the top (bottom) edge of the visible area; a group by its
  // header.
  BOOL SelectTopRow();
  BOOL SelectBottomRow();
  // Notes the current row and the group holding it by their keys before the rows are
  // built again (a tab calls it before it replaces its rows; a refresh and a new
  // content list do it themselves), so that the focus can come back to them.
  void RememberFocusedRow();
  const CItemPath& GetRememberedRow(int which) const { return m_remembered[which ? 1 : 0]; }
  virtual void OnRowFocus(BOOL keyUp);
  virtual void RefreshNow();
  virtual void GetApplicationArgs(CString& args);
  virtual void NewItem();
  virtual BOOL DeleteItem(CListItem* row);
  virtual void GetApplicationName(CString& name);
  virtual void GetItemTypeName(CString& name);
  virtual BOOL OpenItem(CListItem* row, BOOL edit);
  virtual void OnFilterChanged(BOOL flag);
  virtual void LoadGroupBy();
  // Sizes the content list for the content width (one more pass when the scroll-bar
  // guess proved wrong); its height.
  virtual int LayoutContent(BOOL reset);
  virtual int RebuildContent();
  virtual CVirtualDropDown* CreateSortMenu();
  virtual CVirtualDropDown* CreateFilterMenu();
  // The Messages tab shows the header of that account of the e-mail list ("QelTarvo_
  // SelectEmailAccount"); FALSE for the other tabs.
  virtual BOOL SelectAccount(int) { return FALSE; }

  // IListItemOwner: what the content list and its rows report.
  void OnItemChanged(CListItem* item) override;
  void OnItemClicked(CListItem* item) override;
  void OnItemSelected(CListItem* item) override;
  void OnItemReleased(CListItem* item) override;
  void OnItemRemoved(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;
  BOOL IsFirstItem(CListItem* item) override;
  void OnItemFolded(CListItem* item, BOOL folded) override;

  // IDropDownListener.
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int commandId) override;

  // The folding state's filter choice: the filter selector's selected command, 0 for
  // the Messages tab and without a filter selector.
  int GetFoldingChoice();
  // The tab's folding state for the current filter choice (a tab applies it to the
  // groups it builds).
  void LoadFoldingState(CFoldingState& state);
  // The values a new item takes from the context row and the selectors.
  void GetNewItemCategories(CString& names);
  // FALSE when the context row gives no date (out untouched).
  BOOL GetNewTaskDueDate(double* out);
  BOOL GetNewAppointmentStart(double* out);
  void GetNewNoteFolder(CString& folder);
  void GetAccountName(CString& account);

  // The registry value that keeps this tab's own header state.
  CString GetHeaderValueName();
  BOOL IsHeaderMinimized() const { return m_bMinimized; }
  BOOL IsHeaderHidden() const { return m_bHidden; }
  BOOL IsMinimizationAllowed() const { return m_bAllowMinimize; }
  // The tab's own one-tap setting ("EmailsOneTap", ...): which activation report acts.
  void SetOneTap(DWORD value) { m_dwOneTap = value; }
  BOOL NeedsRebuild() const { return m_bNeedsRebuild; }
  const RECT& GetContentBounds() const { return m_rcContent; }
  CVirtualImageButton& GetMinimizeButton() { return m_minimize; }
  CVirtualDropDown* GetSortSelector() const { return m_pSort; }
  CVirtualDropDown* GetFilterSelector() const { return m_pFilter; }
  CContainerElement* GetContentList() const { return m_pContent; }
  int GetScrollOffset() const { return ScrollPos(); }
  // The row the context menu was opened on, while its menu runs and its command is
  // carried out; null otherwise or when it was opened off the rows.
  CListItem* GetContextRow() const { return m_pContextRow; }
  // The content list the tab built (owned from then on; the old one is deleted).
  void SetContentList(CContainerElement* list);
  // Starts the shell's tap-and-hold at the last press point; with enter, a tap that
  // is not the hold gesture acts as Enter.
  virtual void TrackTapAndHold(BOOL enter);
  // Starts the PIM application with the tab's arguments.
  virtual BOOL RunApplication();

 protected:
  void LayoutHeader();
  void ToggleHeader();
  void FocusFirstHeaderControl(BOOL orSelectRow, BOOL lastRow);
  int ScrollPos() const { return m_scrollBar.GetPos(); }
  BOOL SelectRow(CListItem* row);
  // The current row's rectangle in panel coordinates (a group's header only).
  BOOL GetCurrentRowRect(RECT* out);

  CVirtualDropDown* m_pSort;
  CVirtualDropDown* m_pFilter;
  CContainerElement* m_pContent;
  HRGN m_hClip;
  BOOL m_bNeedsRebuild;
  DWORD m_dwOneTap;
  BOOL m_bPainting;
  BOOL m_bSettingsChanged;
  int m_nHeaderHeight;
  int m_nMinimizedHeight;
  RECT m_rcContent;
  // The width the rows were last laid out in (-1: not yet): rows laid out anew
  // in another width are drawn anew, even where the window kept its old pixels.
  int m_nLaidOutWidth;
  BOOL m_bNeedsRepaint;
  CVirtualImageButton m_minimize;
  BOOL m_bButtonCoversStrip;
  BOOL m_bAllowMinimize;
  BOOL m_bMinimized;
  BOOL m_bHidden;
  // The focused row's keys, then a neighbour's.
  CItemPath m_remembered[2];
  CListItem* m_pContextRow;
};
