// CVirtualDropDown: the selector that shows its current choice as text with a small
// arrow and opens a popup menu of its items (the base of every filter, folder,
// sort, group-by and period selector). CMenuEntry is the item record of selectors
// and of the tabs' sort, group-by and period menus.
#pragma once
#include <windows.h>

#include "controls/VirtualWnd.h"
#include "platform/windowlib/SimpleArray.h"
#include "platform/windowlib/String.h"

struct CMenuEntry {
  CMenuEntry() : id(0) {}
  // Without a second text it is a copy of the text.
  CMenuEntry(int commandId, LPCWSTR entryText, LPCWSTR second = nullptr)
      : id(commandId), text(entryText ? entryText : L""), secondText(second ? CString(second) : text) {}

  int id;
  CString text;
  // What the menu and the selector's face show.
  CString secondText;
};

class CVirtualDropDown;

// What a selector tells its owner.
class IDropDownListener {
 public:
  // The current item changed (by the user or by a notifying SetSelection).
  virtual void OnSelectionChanged(CVirtualDropDown* selector, int commandId) = 0;
  // An item was chosen from the menu, the current one again included.
  virtual void OnItemChosen(int commandId) = 0;

 protected:
  ~IDropDownListener() = default;
};

// Style bits.
const DWORD DROPDOWN_ARROW_LEFT = 1;  // the arrow before the text
const DWORD DROPDOWN_ALIGN_LEFT = 2;  // face and menu at the left edge

class CVirtualDropDown : public CVirtualWnd {
 public:
  CVirtualDropDown();
  ~CVirtualDropDown() override;

  POINT* GetAnchorPoint(POINT* out) override;
  // A press inside the face shows the pressed look and holds the capture.
  BOOL OnLButtonDown(POINT* point) override;
  // A release after a press in the face opens the menu.
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  // Enter opens the menu.
  BOOL OnKey(DWORD key) override;
  void Paint(CTextRunList* context) override;

  // Inserts the items at position (not negative), "&" doubled so that it shows,
  // identifier 0 as -1, the current one checked; then FillMenuExtra.
  virtual void FillMenu(HMENU menu, int position);
  // Runs the menu (through CPopupMenuTracker) and passes its answer to OnItemChosen.
  virtual int ShowMenu();
  virtual DWORD GetStyle();
  // Returns the old bits.
  virtual DWORD SetStyle(DWORD bits);
  virtual void AddItem(const CMenuEntry& entry);
  virtual int GetCount();
  // Empties the items; nothing is current afterwards.
  virtual void RemoveAllItems();
  virtual void SetCaption(LPCWSTR text);
  // 0 (dismissed) and -2 do nothing; -1 stands for identifier 0; otherwise the
  // item becomes current (notifying) and the listener hears of the choice.
  virtual int OnItemChosen(int commandId);
  // Derived selectors append their own entries here.
  virtual void FillMenuExtra(HMENU menu, int position);

  // The first item with the identifier becomes current when it is not already;
  // with notify the listener hears of it. An unknown identifier changes nothing.
  void SetSelection(int commandId, BOOL notify);
  // -1 when nothing is current.
  int GetSelectedIndex() const;
  // The current item's identifier; -1 when nothing is current.
  int GetSelectedId() const;
  // The first item with the identifier; -1 when none.
  int FindIndexById(int commandId) const;
  void SetOwner(IDropDownListener* listener) { m_pListener = listener; }
  const CMenuEntry& GetItem(int index) const { return m_items[index]; }
  // The face's text (caption or current item) cut to the bounds, with the arrow.
  SIZE GetPreferredSize();
  // The size the face needs for its widest item (or the caption when wider), not cut
  // to the bounds: what a header sizes itself by, whichever item is current.
  SIZE GetWidestItemSize();
  // The part of the bounds the text and arrow took at the last paint.
  const RECT& GetFaceRect() const { return m_rcFace; }
  BOOL IsMenuOpen() const { return m_bMenuOpen; }
  BOOL IsPressedLook() const { return m_bPressedLook; }

 private:
  CString FaceText() const;

  IDropDownListener* m_pListener;
  CString m_caption;
  CSimpleArray<CMenuEntry> m_items;
  DWORD m_style;
  int m_nCurrent;
  BOOL m_bMenuOpen;
  BOOL m_bPressedLook;
  HMENU m_hMenu;
  RECT m_rcFace;
};
