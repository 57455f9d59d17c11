// CTabSetup: the options program's model of the panel's tabs, shared by both pages
// of the Tabs sheet and the tab edit dialog. The order of the shown tabs is a
// string of identifier characters ('1' to '6' the built-in tabs, 'A' and up the
// custom tabs), the image list holds one icon per character at the same index,
// and the custom tabs are the registry's records (CustomTabEntry).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "panel/CustomTabEntry.h"
#include "platform/windowlib/String.h"

struct BuiltInTab {
  WCHAR id;
  DWORD showBit;   // its bit of "ShowTabs"
  UINT title;      // text id
  int skinIcon;    // row of the skin's tab icons
};
// In the order missing tabs are appended and offered.
extern const BuiltInTab kBuiltInTabs[6];

class CTabSetup {
 public:
  CTabSetup() = default;
  ~CTabSetup();
  CTabSetup(const CTabSetup&) = delete;
  CTabSetup& operator=(const CTabSetup&) = delete;

  // The sequence first (built-in tabs whatever "ShowTabs" says, custom tabs that
  // have a key), then the wanted built-in tabs not yet there, then the custom tabs
  // the sequence does not name.
  void Load();
  // The custom tabs (their items embedded again), "ShowTabs", "ShowTabsSequence",
  // the panel heights raised to what the tab bar needs, and the main window told.
  BOOL Save();

  // The position of the tab, appended with its icon when not yet in the order.
  int AddBuiltInTab(WCHAR id);
  // Appended with its icon; -1 when there is no custom tab of that identifier. A
  // tab whose icon cannot be had falls back to "default" and keeps that.
  int AddCustomTab(WCHAR id);
  static CString GetTabTitle(WCHAR id);
  // The built-in identifiers not in the order, in table order.
  CString GetHiddenBuiltInTabs() const;
  static int FindBuiltInTab(WCHAR id);
  int FindCustomTab(WCHAR id) const;
  // The identifier of the first custom tab holding an item of that key name; 0
  // when none does.
  WCHAR FindTabOfItem(LPCWSTR name) const;

  // Page operations: the order and the image list change together.
  void SwapTabs(int first, int second);
  // Takes the tab out of the order and the image list; a custom tab's record goes too.
  void RemoveTab(int position);
  // The tab's picture is replaced by bitmap (kept by the caller).
  void ReplaceIcon(int position, HBITMAP bitmap);
  // Appends a record (its items then belong to the model).
  void AddCustomRecord(const CustomTabEntry& entry) { m_custom.push_back(entry); }

  const CString& GetOrder() const { return m_order; }
  std::vector<CustomTabEntry>& GetCustomTabs() { return m_custom; }
  const std::vector<CustomTabEntry>& GetCustomTabs() const { return m_custom; }
  HIMAGELIST GetImageList() const { return m_images; }
  // Set when an item the Today screen showed moved into a tab or left one: the
  // Today screen must reload its items. Stays set for the program run.
  BOOL NeedsTodayReload() const { return m_todayReload; }
  void SetTodayReload() { m_todayReload = TRUE; }

 private:
  // Appends the identifier with the picture (a blank one when there is none).
  int Append(WCHAR id, HBITMAP picture);
  HBITMAP MakeCustomIcon(CustomTabEntry& entry);

  std::vector<CustomTabEntry> m_custom;
  CString m_order;
  HIMAGELIST m_images = nullptr;
  BOOL m_todayReload = FALSE;
};

// The process's model, loaded on first use.
CTabSetup& GetTabSetup();
// Lets the model go (tests: the next use loads afresh).
void ResetTabSetup();
