// The key-layout combo of the Contacts and Notes common pages: the layouts chosen
// for the tab's group in order, then "none" (text 276) and the item that opens the
// layout selection dialog (text 277). The page applies the selection as the
// group's active layout, -1 for none.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/KeyLayouts.h"
#include "platform/windowlib/String.h"

// Runs the layout selection dialog over a group's chosen layouts and the view
// settings' language-switch field; IDOK when the user chose. Tests set their own.
typedef INT_PTR (*PFN_LAYOUT_SELECT)(HWND owner, CKeyLayoutList& layouts, int& disableLangSwitch);
PFN_LAYOUT_SELECT SetLayoutSelectRunner(PFN_LAYOUT_SELECT runner);

class CLayoutCombo {
 public:
  CLayoutCombo(int combo, LPCWSTR group) : m_combo(combo), m_group(group) {}
  CLayoutCombo(const CLayoutCombo&) = delete;
  CLayoutCombo& operator=(const CLayoutCombo&) = delete;

  // Reads the group's chosen layouts and fills the page's combo with the active
  // one selected (none when the stored index is -1 or past the list).
  void Load(HWND page);
  // Rebuilds the entries and the combo, selecting active (null: the none item).
  void Fill(CKeyLayout* active);
  // A new selection: the dialog item runs the dialog; OK refills with the layout
  // selected before, cancel selects that item again.
  void OnSelectionChanged(int& disableLangSwitch);
  // Writes the chosen layouts and the selection as the active index.
  BOOL Save();
  int GetSelected() const { return m_selected; }
  const CKeyLayoutList& GetLayouts() const { return m_layouts; }

 private:
  struct Entry {
    CKeyLayout* layout;
    CString text;
  };
  enum { kNoneEntry, kChooseEntry, kLayoutEntry };
  HWND m_page = nullptr;
  int m_combo;
  LPCWSTR m_group;
  CKeyLayoutList m_layouts;
  std::vector<Entry> m_entries;
  std::vector<int> m_kinds;
  int m_selected = 0;
};
