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
