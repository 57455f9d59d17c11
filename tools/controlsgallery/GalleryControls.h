// The gallery's sample controls: small stand-ins that exercise the tree's taps,
// keys, focus, capture, timers and the list items, until the real controls join.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/Buttons.h"
#include "controls/ContainerElement.h"
#include "controls/GroupHeaderItem.h"
#include "controls/ListItem.h"
#include "controls/VirtualDropDown.h"
#include "controls/VirtualRoot.h"
#include "platform/windowlib/String.h"

// A caption on a face that looks pressed while the pen is down; reports a click.
class CSampleButton : public CVirtualWnd {
 public:
  explicit CSampleButton(LPCWSTR caption) : m_caption(caption) {}
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  void Paint(CTextRunList* context) override;

 private:
  CString m_caption;
};

// A box that takes the focus on a tap and shows it.
class CFocusBox : public CVirtualWnd {
 public:
  explicit CFocusBox(LPCWSTR caption) : m_caption(caption) {}
  BOOL OnLButtonDown(POINT* point) override;
  void Paint(CTextRunList* context) override;

 private:
  CString m_caption;
};

// A knob dragged along a track: holds the capture while the pen is down.
class CSampleSlider : public CVirtualWnd {
 public:
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  void Paint(CTextRunList* context) override;

 private:
  void MoveKnob(int x);
  int m_position = 0;  // 0..100
};

// Changes colour on every tick of its timer; a tap starts and stops it.
class CBlinker : public CVirtualWnd {
 public:
  BOOL OnLButtonDown(POINT* point) override;
  void OnTimer() override;
  void Paint(CTextRunList* context) override;

 private:
  BOOL m_running = FALSE;
  int m_ticks = 0;
};

// A one-line text row.
class CSampleRow : public CPimListItem {
 public:
  CSampleRow(IListItemOwner* owner, LPCWSTR text) : CPimListItem(owner), m_text(text) {}
  int Layout() override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  int GetKind() override { return ITEM_KIND_TASK; }

 private:
  CString m_text;
};

// A few list items stacked in a control: taps go to the item under the pen.
class CSampleList : public CVirtualWnd, public IListItemOwner {
 public:
  CSampleList();
  ~CSampleList() override;
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnLButtonDblClk(POINT* point) override;
  void Paint(CTextRunList* context) override;

  void OnItemChanged(CListItem*) override { Invalidate(); }
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem* item) override;
  void OnItemReleased(CListItem*) override { Invalidate(); }
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM) override {}
  BOOL IsFirstItem(CListItem* item) override { return !m_items.empty() && m_items[0] == item; }
  void OnItemFolded(CListItem*, BOOL) override {}

 private:
  // The item under a point of the host, with the point made relative to it.
  CListItem* ItemAt(POINT* point);

  std::vector<CListItem*> m_items;
  CListItem* m_pSelected = nullptr;
  CListItem* m_pPressed = nullptr;
};

// A container of two foldable groups of rows: taps, double taps and fold signs.
class CElementList : public CVirtualWnd, public IListItemOwner {
 public:
  CElementList();
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDown(POINT* point) override;
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnLButtonDblClk(POINT* point) override;
  void Paint(CTextRunList* context) override;

  void OnItemChanged(CListItem*) override { Invalidate(); }
  void OnItemClicked(CListItem*) override { Invalidate(); }
  void OnItemSelected(CListItem*) override { Invalidate(); }
  void OnItemReleased(CListItem*) override { Invalidate(); }
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM) override {}
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override { Invalidate(); }

 private:
  POINT Local(const POINT* point) const { return POINT{point->x - m_rect.left, point->y - m_rect.top}; }
  CContainerElement m_top;
};

// The gallery's root: the controls in rows, arrow keys moving the focus.
class CGalleryRoot : public CVirtualRoot, public IDropDownListener {
 public:
  CGalleryRoot();
  void SetRect(const RECT* rect) override;
  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override;
  void Paint(CTextRunList* context) override;
  void OnSelectionChanged(CVirtualDropDown* selector, int commandId) override;
  void OnItemChosen(int) override {}

 private:
  CSampleButton m_button;
  CFocusBox m_boxes[3];
  CSampleSlider m_slider;
  CBlinker m_blinker;
  CSampleList m_list;
  CVirtualDropDown m_dropDown;
  CVirtualButton m_realButton;
  CElementList m_elements;
  int m_clicks = 0;
  CString m_lastKey;
};
