// How the panel gets the tabs of the tab folders: each folder installs the maker of
// its tab here (and the custom-tab source its list); until one does, a stand-in tab
// of that identifier takes its place.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlib/String.h"

class CScrollPanel;
class CVirtualWnd;

// The built-in tabs: identifier, the character "ShowTabsSequence" stores, the bit of
// "ShowTabs".
enum TabId {
  TAB_CALENDAR = 1,
  TAB_TASKS = 2,
  TAB_CONTACTS = 3,
  TAB_NOTES = 4,
  TAB_MESSAGES = 5,
  TAB_SPECIAL = 6,
  TAB_NO_RESOURCES = 51,
  TAB_CUSTOM = 52,
};
const DWORD SHOW_TAB_TASKS = 1, SHOW_TAB_CONTACTS = 2, SHOW_TAB_NOTES = 4, SHOW_TAB_MESSAGES = 8,
            SHOW_TAB_SPECIAL = 16, SHOW_TAB_CALENDAR = 32;

// Makes a built-in tab with the panel's root as owner; null when it cannot.
typedef CScrollPanel* (*PFN_MAKE_TAB)(CVirtualWnd* owner);
// Returns the previous maker; null puts the stand-in back.
PFN_MAKE_TAB SetTabMaker(int tabId, PFN_MAKE_TAB maker);
// The installed maker's tab, else the stand-in; null for an unknown identifier.
CScrollPanel* MakeTab(int tabId, CVirtualWnd* owner);

// One configured custom tab: the character that places it, the name it shows.
struct CUSTOM_TAB_ENTRY {
  WCHAR id;
  CString name;
};
class ICustomTabSource {
 public:
  // The configured custom tabs, in their order.
  virtual std::vector<CUSTOM_TAB_ENTRY> ListCustomTabs() = 0;
  // The tab of an entry; null when it cannot be made.
  virtual CScrollPanel* MakeCustomTab(const CUSTOM_TAB_ENTRY& entry, CVirtualWnd* owner) = 0;

 protected:
  ~ICustomTabSource() = default;
};
// Null: no custom tabs. The caller keeps the source alive while it is set.
void SetCustomTabSource(ICustomTabSource* source);
ICustomTabSource* GetCustomTabSource();
