// The sheet of one options section: its caption and menu bar, its pages in page
// order, run modally. The eight sheets differ only in their rows of the page table.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "settings/pages/PageTable.h"
#include "settings/shell/OptionsSheet.h"

class CSectionSheet : public COptionsSheet<CSectionSheet> {
 public:
  // An empty sheet for a section without one (the category icons, 9 and above).
  explicit CSectionSheet(UINT section);

  UINT GetSection() const { return m_section; }
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  COptionsPageBase* GetPage(int index) const;
  // The page shown first: while the sheet runs it is selected, otherwise kept for
  // the run (sections whose sheets do not honour it open at page 0).
  void SetActivePage(int page);
  BOOL IsValid() const { return m_entry != nullptr; }

 private:
  UINT m_section;
  const SheetEntry* m_entry;
  std::vector<std::unique_ptr<COptionsPageBase>> m_pages;
};

// The section's sheet (or nothing for the category icons section, whose dialog
// comes with the icon screens) at a page over parent; the sheet's result.
INT_PTR RunSection(UINT section, int page, HWND parent);
// Lets the main window open the sections.
void RegisterSectionSheets();
