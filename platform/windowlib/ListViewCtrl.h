// CListViewCtrl: a list-view control ("SysListView32") handle with its
// messages as members.
#pragma once

#include "platform/windowlib/Module.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/Window.h"

#include <windows.h>
#include <commctrl.h>

class CListViewCtrl : public CWindow {
public:
  CListViewCtrl(HWND hWnd = nullptr) : CWindow(hWnd) {}
  CListViewCtrl& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }

  static LPCWSTR GetWndClassName() { return WC_LISTVIEWW; }
  HWND Create(HWND hWndParent, const RECT& rect, DWORD style, DWORD exStyle = 0, UINT id = 0) {
    m_hWnd = ::CreateWindowExW(exStyle, WC_LISTVIEWW, nullptr, style, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, hWndParent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               GetModule().GetModuleInstance(), nullptr);
    return m_hWnd;
  }

  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  BOOL SetItem(const LVITEMW* item) { return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  // LVM_SETITEMW with the fields the mask names.
  BOOL SetItem(int item, int subItem, UINT mask, LPCWSTR text, int image, UINT state, UINT stateMask, LPARAM param) {
    LVITEMW lvi = {};
    lvi.mask = mask;
    lvi.iItem = item;
    lvi.iSubItem = subItem;
    lvi.pszText = const_cast<LPWSTR>(text);
    lvi.iImage = image;
    lvi.state = state;
    lvi.stateMask = stateMask;
    lvi.lParam = param;
    return SetItem(&lvi);
  }
  int InsertItem(const LVITEMW* item) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  int InsertItem(int item, LPCWSTR text, int image = 0, LPARAM param = 0) {
    LVITEMW lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lvi.iItem = item;
    lvi.pszText = const_cast<LPWSTR>(text);
    lvi.iImage = image;
    lvi.lParam = param;
    return InsertItem(&lvi);
  }
  BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, item)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

  BOOL GetItemText(int item, int subItem, CString& text) const {
    WCHAR buffer[1024];
    LVITEMW lvi = {};
    lvi.iSubItem = subItem;
    lvi.pszText = buffer;
    lvi.cchTextMax = ARRAYSIZE(buffer);
    int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)));
    text = CString(buffer, length);
    return TRUE;
  }
  BOOL SetItemText(int item, int subItem, LPCWSTR text) {
    return SetItem(item, subItem, LVIF_TEXT, text, 0, 0, 0, 0);
  }
  LPARAM GetItemData(int item) const {
    LVITEMW lvi = {};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    return GetItem(&lvi) ? lvi.lParam : 0;
  }
  BOOL SetItemData(int item, LPARAM data) { return SetItem(item, 0, LVIF_PARAM, nullptr, 0, 0, 0, data); }
  UINT GetItemState(int item, UINT mask) const { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, item, mask)); }
  BOOL SetItemState(int item, UINT state, UINT mask) {
    LVITEMW lvi = {};
    lvi.state = state;
    lvi.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi)));
  }
  BOOL GetCheckState(int item) const { return ((GetItemState(item, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
  BOOL SetCheckState(int item, BOOL check) { return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK); }
  int GetNextItem(int item, UINT flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), MAKELPARAM(flags, 0)));
  }
  int GetSelectedIndex() const { return GetNextItem(-1, LVNI_ALL | LVNI_SELECTED); }
  int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
  int SetSelectionMark(int item) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, item)); }
  BOOL EnsureVisible(int item, BOOL partialOk = FALSE) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, item, partialOk));
  }
  int HitTest(LVHITTESTINFO* info) const {
    return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
  }
  BOOL GetItemRect(int item, RECT* rect, UINT code) const {
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(rect)));
  }

  int InsertColumn(int column, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1) {
    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_TEXT | LVCF_FMT | (width >= 0 ? LVCF_WIDTH : 0);
    lvc.fmt = format;
    lvc.cx = width;
    lvc.pszText = const_cast<LPWSTR>(heading);
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc)));
  }
  BOOL SetColumnWidth(int column, int width) { return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0))); }
  DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
  }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
  }
  HIMAGELIST GetImageList(int which) const { return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, which)); }
};
