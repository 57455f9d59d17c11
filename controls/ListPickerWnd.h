// CListPickerWnd: the popup in which the user ticks the categories of an item. A
// popup window whose content is a list view with check boxes, one row per category
// (ICategoryChoices) with its icon; the categories of the initial set come first,
// ticked. Create runs modally: it returns when the popup has closed, telling whether
// the ticked set differs from the initial one; the result text then names it.
//
// While it runs, the owner window is disabled (nothing behind the popup rebuilds the
// row that waits for it) and a WM_QUIT that ends the loop is posted again for the
// program's own loop. Tests drive the loop through SetModalHook.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "base/BitSet.h"
#include "controls/PopupWindow.h"

class ICategoryChoices;

class CListPickerWnd : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoCategoriesWindow_1.0")

  static constexpr UINT kListId = 100;
  // Popup size in logical pixels.
  static constexpr int kWidth = 170;
  static constexpr int kHeight = 150;

  CListPickerWnd();
  ~CListPickerWnd() override;

  void SetInitialSet(const CBitSet& set) { m_initial = set; }
  const CBitSet& GetInitialSet() const { return m_initial; }

  // Runs the popup at anchor (owner client coordinates) until it closes. TRUE when the
  // ticked set differs from the initial one and the popup was not left with the
  // Left key from the list; FALSE at once when the popup cannot be made.
  BOOL Create(HWND owner, POINT anchor, LPCWSTR title);
  // The names of the ticked categories, or empty when nothing changed.
  const CString& GetResult() const { return m_result; }
  // The ticked set when the popup closed.
  const CBitSet& GetTickedSet() const { return m_ticked; }
  HWND GetListView() const { return m_list.m_hWnd; }

  // Called inside Create once the popup shows, right before its message loop: a test
  // posts or sends what a person would do. Null: none.
  typedef void (*ModalHook)(CListPickerWnd* picker, void* context);
  static void SetModalHook(ModalHook hook, void* context);

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  void OnPopupDestroy() override;

 private:
  // The list view's own handling of taps and keys.
  class CListHook : public CWindowThunk {
   public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;
  };

  void FillList();
  void DropImageList();
  BOOL OnListNotify(NMHDR* header, LRESULT& result);
  void FocusList();
  void EnableOwner();
  int GetRowCount() const;

  CBitSet m_initial;
  CBitSet m_ticked;
  CString m_result;
  BOOL m_unchanged;
  CListHook m_list;
  HIMAGELIST m_images;
  ICategoryChoices* m_choices;
  HWND m_disabledOwner;
};
