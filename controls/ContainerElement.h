// CContainerElement: the layout element that stacks list items one below the
// other. It owns its children (they are made with the container as their owner),
// routes taps to the child under the point, keeps track of the current (selected)
// child and answers the keyboard-navigation questions of the list that holds it.
//
// Heights: a height computed under a limit is never kept, so an unlimited call
// always sees every child. Taps are routed against the real height even right
// after a child changed.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/ListItem.h"
#include "platform/windowlib/SimpleArray.h"

// One step of a position path: an item told by its kind and user data.
struct ITEM_PATH_STEP {
  int kind;
  DWORD_PTR data;
};
// From the container down to the item, the item last.
using CItemPath = std::vector<ITEM_PATH_STEP>;

class CContainerElement : public CListItem, public IListItemOwner {
 public:
  explicit CContainerElement(IListItemOwner* owner);
  // Deletes every child.
  ~CContainerElement() override;

  BOOL GetItemRect(CListItem* item, const POINT* origin, RECT* out) override;
  // Passes the same size to every child.
  void SetSize(int width, int contentWidth, int height, BOOL reset) override;
  // Top space, the children, bottom space; with a limit (not -1) the sum stops once
  // it exceeds the limit. Only unlimited sums are kept.
  int GetHeight(int limit) override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  // Points in the container's coordinates; the child under the point gets the call
  // with the point relative to its top.
  BOOL OnPress(POINT* point) override;
  BOOL OnRelease(POINT* point) override;
  // A leaf child is not called: the container reports it as clicked to its owner.
  BOOL OnDoubleTap(POINT* point) override;
  // The options program's containers answer 1.
  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_CONTAINER; }

  // The current child, descending through container kinds; with no current child
  // the container itself when it is selected, else null.
  virtual CListItem* GetCurrentItem();
  // The item under a point (container kinds are asked in turn), or null.
  virtual CListItem* GetItemAt(POINT* point);
  // Itself, else the children from the last to the first (descending into
  // container kinds): the item whose kind and user data are these.
  virtual CListItem* FindItem(int kind, DWORD_PTR data);
  // The unselected item before (after) the current child, descending into
  // container kinds; the container itself when it may take the selection.
  virtual CListItem* GetPreviousItem();
  virtual CListItem* GetNextItem();
  // The item the selection moves to within the current path (forwards, and the
  // backwards twin): itself when unselected and selectable, else the answer of a
  // current container-kind child.
  virtual CListItem* GetPathHeader();
  virtual CListItem* GetPathHeaderAlt();
  // The first leaf whose top is at or below limit, y being the container's top
  // (groups: with flag set, the group itself when its top is).
  virtual CListItem* FindItemBelow(int limit, int y, BOOL flag);
  // From the last child upwards, the first leaf whose bottom is at or above
  // limit + y, y being measured from the container's top.
  virtual CListItem* FindItemAbove(int limit, int y, BOOL flag);
  // The first (last) child is selected; a container-kind child selects its own
  // first (last). FALSE without children.
  virtual BOOL SelectFirst();
  virtual BOOL SelectLast();
  // Deselects the current child and forgets it, then sets the container's own
  // selection (forced). FALSE when asked to select a container that may not be.
  virtual BOOL SelectSelf(BOOL select);
  virtual BOOL CanSelectChildren();
  // Deselects the current child (container kinds pass it on); with none, itself.
  virtual void DeselectCurrent();
  virtual BOOL CanSelectSelf();
  // Select what GetPreviousItem, GetNextItem, GetPathHeaderAlt and GetPathHeader
  // name; FALSE when they name nothing. SelectPathHeader falls back to the first
  // child under horizontal navigation.
  virtual BOOL SelectPrev();
  virtual BOOL SelectNext();
  virtual BOOL SelectPathHeaderAlt();
  virtual BOOL SelectPathHeader();

  // The options program's names.
  CListItem* ItemFromPoint(POINT* point) { return GetItemAt(point); }
  CListItem* GetPrevItem() { return GetPreviousItem(); }
  BOOL AreChildrenShown() { return CanSelectChildren(); }
  void ClearSelection() { DeselectCurrent(); }
  BOOL IsSelectable() { return CanSelectSelf(); }

  // IListItemOwner, for the children.
  void OnItemChanged(CListItem* item) override;
  void OnItemClicked(CListItem* item) override;
  void OnItemSelected(CListItem* item) override;
  void OnItemReleased(CListItem* item) override;
  void OnItemRemoved(CListItem* item) override;
  void OnItemNotify(CListItem* item, LPARAM value) override;
  BOOL IsFirstItem(CListItem* item) override;
  void OnItemFolded(CListItem* item, BOOL folded) override;

  // Adopts the child (appended); FALSE (and the child not taken) when the array
  // could not grow.
  BOOL AddChild(CListItem* child);
  // Adopts the child at the index (clamped); a group that stops being the first
  // lays its header out again.
  BOOL InsertChild(int index, CListItem* child);
  // Tells the owner chain, deletes the child, closes the gap and tells the owner
  // that the container changed.
  void RemoveChild(int index);
  int GetChildCount() const { return m_children.GetSize(); }
  CListItem* GetChild(int index) const { return m_children[index]; }
  int FindChild(CListItem* child) const { return m_children.Find(child); }
  CListItem* GetCurrentChild() const { return m_pCurrent; }

  // sy(4) above the first child, sy(15) below the last.
  void SetTopSpace(BOOL on);
  void SetBottomSpace(BOOL on);

  // The paths of the current item and of a neighbour to fall back on.
  void SavePosition(CItemPath& current, CItemPath& neighbour);
  // Selects the item a path names; FALSE when it no longer exists.
  BOOL RestorePosition(const CItemPath& path);

  // The container kind behind an item of a container kind, else null.
  static CContainerElement* AsContainer(CListItem* item);

  // The options program's previews lay out as that program does: the header font
  // is the bold list font, headers are laid out at every drawing, a group's
  // children start right under its header and containers answer 1 as user data.
  // Process-wide; the options program sets it at start.
  static void SetPreviewLayout(BOOL preview);
  static BOOL IsPreviewLayout();

 protected:
  // The height of the children alone (spaces included), without the cache.
  virtual int ComputeHeight(int limit);
  // The child under a point below the top space (point made relative to it).
  virtual CListItem* ChildAtPoint(POINT* point);
  // Draws the children with the container's top at origin.
  virtual void DrawChildren(CTextRunList* context, const POINT* origin);
  // The container part's routing: the point is in the children's coordinates
  // (the container's own top at 0). Grids and groups reuse it.
  CListItem* RoutePoint(POINT* point);
  enum RouteCall { ROUTE_PRESS, ROUTE_RELEASE, ROUTE_DOUBLE_TAP };
  BOOL RoutePress(POINT* point, RouteCall call);
  BOOL FindChildRect(CListItem* item, const POINT* origin, RECT* out);
  // A group lays its header out again when it became or stopped being the first.
  virtual void RelayoutHeader() {}
  int TopSpace() const;
  int BottomSpace() const;
  BOOL SelectItem(CListItem* item);
  void BuildPath(CListItem* item, CItemPath& path);

  BOOL m_bBottomSpace;
  BOOL m_bTopSpace;
  CSimpleValArray<CListItem*> m_children;
  int m_nCachedHeight;
  CListItem* m_pCurrent;
};
