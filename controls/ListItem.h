// List items: the rows of every list and the layout elements that group them. An
// item is no control: it knows its size, draws itself at an origin into a paint
// context and reports selection and taps to its owner through IListItemOwner.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"

class CTextRunList;
class CListItem;

// Kinds answered by GetKind.
enum ListItemKind {
  ITEM_KIND_CONTAINER = 501,
  ITEM_KIND_GROUP = 502,
  ITEM_KIND_TASK = 503,
  ITEM_KIND_APPOINTMENT = 504,
  ITEM_KIND_EVENT_ROW = 507,
  ITEM_KIND_CONTACT = 509,
  ITEM_KIND_GROUP_HEADER = 512,
  ITEM_KIND_GRID = 513,
  ITEM_KIND_FIRST_HEADER_ROW = 551,
  ITEM_KIND_LAST_HEADER_ROW = 560,
};

// Kinds that hold children: folded, searched and navigated into.
inline BOOL IsGroupKind(int kind) {
  return kind == ITEM_KIND_CONTAINER || kind == ITEM_KIND_GROUP || kind == ITEM_KIND_GRID ||
         (kind >= ITEM_KIND_FIRST_HEADER_ROW && kind <= ITEM_KIND_LAST_HEADER_ROW);
}
// Rows of PIM records: these take the open and edit commands.
inline BOOL IsRecordRowKind(int kind) { return kind >= 503 && kind <= 511; }

// What an item tells the container or list that holds it.
class IListItemOwner {
 public:
  // The item's size or content changed: drop its cached height and lay out again.
  virtual void OnItemChanged(CListItem* item) = 0;
  // The item was activated (a double tap on a row).
  virtual void OnItemClicked(CListItem* item) = 0;
  // The item became the selected one; null: nothing is selected.
  virtual void OnItemSelected(CListItem* item) = 0;
  // A press on the item ended on it.
  virtual void OnItemReleased(CListItem* item) = 0;
  // The item is about to be deleted.
  virtual void OnItemRemoved(CListItem* item) = 0;
  // Passed up unchanged through containers to the list.
  virtual void OnItemNotify(CListItem* item, LPARAM value) = 0;
  virtual BOOL IsFirstItem(CListItem* item) = 0;
  virtual void OnItemFolded(CListItem* item, BOOL folded) = 0;

  // The options program's name for OnItemNotify.
  void OnItemCommand(CListItem* item, LPARAM code) { OnItemNotify(item, code); }

 protected:
  ~IListItemOwner() = default;
};

class CListItem {
 public:
  explicit CListItem(IListItemOwner* owner);
  CListItem(const CListItem&) = delete;
  CListItem& operator=(const CListItem&) = delete;

  // Answers only for the item itself: (origin, width, GetHeight(-1)).
  virtual BOOL GetItemRect(CListItem* item, const POINT* origin, RECT* out);
  virtual ~CListItem();
  // width: the full width; contentWidth: the width the item lays out, draws and
  // hit-tests in (the list passes its width less the scroll bar).
  virtual void SetSize(int width, int contentWidth, int height, BOOL reset);
  // limit -1: no limit.
  virtual int GetHeight(int limit) = 0;
  virtual void Draw(CTextRunList* context, const POINT* origin) = 0;
  // Points in item coordinates.
  virtual BOOL OnPress(POINT* point);
  virtual BOOL OnRelease(POINT* point);
  virtual BOOL OnDoubleTap(POINT* point);
  // Unchanged and not forced: nothing. Otherwise stored and told to the owner
  // (the item, or null when deselected).
  virtual void SetSelected(BOOL selected, BOOL force);
  virtual BOOL IsSelected();
  virtual DWORD_PTR GetUserData();
  virtual int GetKind() = 0;

  // The options program's names for OnPress, OnRelease and GetUserData (derived
  // classes override the names above).
  BOOL OnPenDown(POINT* point) { return OnPress(point); }
  BOOL OnPenUp(POINT* point) { return OnRelease(point); }
  DWORD_PTR GetItemId() { return GetUserData(); }

  void SetUserData(DWORD_PTR data) { m_userData = data; }
  int GetWidth() const { return m_nWidth; }
  int GetContentWidth() const { return m_nContentWidth; }
  IListItemOwner* GetOwner() const { return m_pOwner; }
  // The container that adopted the item, or null.
  CListItem* GetParentItem() const { return m_pParentItem; }
  void SetParentItem(CListItem* parent) { m_pParentItem = parent; }

  // Items alive in the process.
  static LONG GetLiveCount();

 protected:
  int m_nWidth;
  int m_nContentWidth;
  BOOL m_bSelected;
  IListItemOwner* m_pOwner;
  CListItem* m_pParentItem;
  DWORD_PTR m_userData;
};

// The base of every row that shows a PIM record. Its height comes from a layout
// pass (Layout), cached for the selection and size it was made for.
class CPimListItem : public CListItem {
 public:
  explicit CPimListItem(IListItemOwner* owner);

  // Drops the cached height; with reset also the layout it was made from.
  void SetSize(int width, int contentWidth, int height, BOOL reset) override;
  // Layout runs again only when the width, content width or selection changed.
  int GetHeight(int limit) override;
  // A press selects an unselected row; a release deselects a row that was already
  // selected before the press, and tells the owner.
  BOOL OnPress(POINT* point) override;
  BOOL OnRelease(POINT* point) override;

  // Fills the row's context menu.
  virtual void BuildMenu(HMENU menu);
  // Rows take the open and edit commands; TRUE when handled.
  virtual BOOL OnCommand(UINT command);
  // Computes the row's geometry for the current size and selection; the row's height.
  virtual int Layout() = 0;

  // Forgets the layout and its height and lays out at once.
  void Relayout();
  // The options program's name for Relayout.
  void Invalidate() { Relayout(); }
  BOOL IsPressed() const { return m_bPressed; }

 protected:
  BOOL m_bPressed;

 private:
  // The layout last made: for which selection and size, and the height it gave.
  BOOL m_keySelected;
  int m_keyWidth;
  int m_keyContentWidth;
  int m_keyHeight;
  int m_nHeight;
};

// Replaces every occurrence of a character; how many were replaced (0 when from
// and to are the same character).
int ReplaceChar(CString& text, WCHAR from, WCHAR to);
