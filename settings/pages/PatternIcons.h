// The icon letters of an item pattern as an icon page edits them: a leading-icon
// combo box (no icon, then one item per letter) and the icon strip 112 of the
// trailing icons. The leading letter is the pattern's prefix and is marked in the
// strip, so that it is not chosen twice; the suffix holds the other chosen letters
// in the strip's order.
#pragma once
#include <windows.h>

#include "base/ViewSettings.h"
#include "settings/base/IconAssignList.h"

class CTextRunList;

// The leading-icon combo of every icon page.
const int kLeadingIconCombo = 1014;

// A letter of a pattern with its skin icon and label.
struct IconLetter {
  WCHAR letter;
  int icon;
  UINT label;
};

class CPatternIcons {
 public:
  CPatternIcons(const IconLetter* letters, int count) : m_letters(letters), m_count(count), m_icons(TRUE) {}
  CPatternIcons(const CPatternIcons&) = delete;
  CPatternIcons& operator=(const CPatternIcons&) = delete;

  CIconAssignList& GetIconList() { return m_icons; }
  // The row of a letter (the leading letter is lower-cased first); -1 for none.
  int FindLetter(WCHAR letter, BOOL lowerFirst = FALSE) const;
  const IconLetter& GetLetter(int row) const { return m_letters[row]; }
  int GetCount() const { return m_count; }

  // Moves the combo right by its own height (the square left of it shows the
  // chosen icon) and creates the strip under it, once.
  void Create(HWND page, int combo, int stripId = kIconAssignListId);
  // Fills the combo and the strip from the pattern's letters: the first letter of
  // the prefix is the leading icon. A letter without a row is dropped; a suffix letter given twice toggles its row twice.
  void Show(HWND page, int combo, const CItemPattern& pattern);
  // The pattern's letters from the controls; returns the leading row, -1 for none.
  int Take(HWND page, int combo, CItemPattern& pattern);

  // The square left of the combo (as Create placed it, page coordinates), and the
  // skin icon of the chosen leading item (-1 for none).
  static RECT GetIconSquare(HWND page, int combo);
  static int GetLeadingIcon(HWND page, int combo);
  // The chosen leading icon, centred in its square, into the page's preview image.
  static void DrawLeadingIcon(HWND page, int combo, CTextRunList& context);

 private:
  const IconLetter* m_letters;
  int m_count;
  CIconAssignList m_icons;
};
