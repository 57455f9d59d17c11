// CMenuHandle: a menu handle with its calls as members. Owns nothing: the
// holder decides when to Destroy.
#pragma once

#include "platform/windowlib/Module.h"
#include "platform/windowlib/String.h"

#include <windows.h>

class CMenuHandle {
public:
  HMENU m_hMenu;

  CMenuHandle(HMENU hMenu = nullptr) : m_hMenu(hMenu) {}
  operator HMENU() const { return m_hMenu; }
  void Attach(HMENU hMenu) { m_hMenu = hMenu; }
  HMENU Detach() {
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
  }
  BOOL IsMenu() const { return ::IsMenu(m_hMenu); }

  BOOL CreatePopupMenu() {
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
  }
  // From the module object's resource instance.
  BOOL LoadMenu(UINT id) {
    m_hMenu = ::LoadMenuW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id));
    return m_hMenu != nullptr;
  }
  BOOL Destroy() {
    if (!m_hMenu) return FALSE;
    BOOL ok = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return ok;
  }

  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  CMenuHandle GetSubMenu(int position) const { return CMenuHandle(::GetSubMenu(m_hMenu, position)); }
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  BOOL GetMenuString(UINT item, CString& text, UINT flags) const {
    int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    if (length < 0) return FALSE;
    LPWSTR buffer = text.GetBufferSetLength(length);
    if (!buffer) return FALSE;
    ::GetMenuStringW(m_hMenu, item, buffer, length + 1, flags);
    text.ReleaseBuffer(length);
    return TRUE;
  }
  BOOL GetMenuItemInfo(UINT item, BOOL byPosition, MENUITEMINFOW* info) const {
    return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info);
  }
  BOOL SetMenuItemInfo(UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
    return ::SetMenuItemInfoW(m_hMenu, item, byPosition, info);
  }
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) { return ::AppendMenuW(m_hMenu, flags, id, text); }
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
    return ::InsertMenuW(m_hMenu, position, flags, id, text);
  }
  BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
    return ::ModifyMenuW(m_hMenu, position, flags, id, text);
  }
  BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
  BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
  DWORD CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
  BOOL EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
  BOOL CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags) {
    return ::CheckMenuRadioItem(m_hMenu, first, last, check, flags);
  }
  BOOL TrackPopupMenuEx(UINT flags, int x, int y, HWND hWnd, LPTPMPARAMS params = nullptr) {
    return ::TrackPopupMenuEx(m_hMenu, flags, x, y, hWnd, params);
  }
};
