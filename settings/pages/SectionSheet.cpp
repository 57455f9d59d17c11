#include "settings/pages/SectionSheet.h"

#include <prsht.h>

#include "base/Translator.h"
#include "settings/pages/CalendarCommonPage.h"
#include "settings/pages/CalendarIconsPage.h"
#include "settings/pages/CalendarShowPage.h"
#include "settings/pages/CalendarTasksPage.h"
#include "settings/pages/CalendarTitlesPage.h"
#include "settings/pages/CategoryIconsDlg.h"
#include "settings/pages/CalendarViewStylePage.h"
#include "settings/pages/ContactsCommonPage.h"
#include "settings/pages/ContactsIconsPage.h"
#include "settings/pages/ContactsShowPage.h"
#include "settings/pages/ContactsViewStylePage.h"
#include "settings/pages/FontPage.h"
#include "settings/pages/NotesCommonPage.h"
#include "settings/pages/NotesFilterPage.h"
#include "settings/pages/NotesShowPage.h"
#include "settings/pages/NotesViewStylePage.h"
#include "settings/pages/AutoReturnPage.h"
#include "settings/pages/GeneralCommonPage.h"
#include "settings/pages/GroupStylePage.h"
#include "settings/pages/LongDatePage.h"
#include "settings/pages/MessagesCommonPage.h"
#include "settings/pages/MessagesFilterPage.h"
#include "settings/pages/ShortDatePage.h"
#include "settings/pages/SkinsPage.h"
#include "settings/pages/SpecialEventsPage.h"
#include "settings/pages/TasksCommonPage.h"
#include "settings/pages/TasksIconsPage.h"
#include "settings/pages/TasksViewStylePage.h"
#include "settings/shell/MainWnd.h"
#include "settings/tabs/TabsCommonPage.h"
#include "settings/tabs/TabsPage.h"

namespace {

template <class... Pages>
void Make(std::vector<std::unique_ptr<COptionsPageBase>>& pages) {
  (pages.push_back(std::make_unique<Pages>()), ...);
}

void MakePages(UINT section, std::vector<std::unique_ptr<COptionsPageBase>>& pages) {
  switch (section) {
    case 0:
      Make<CGeneralCommonPage, CFontPage, CGroupStylePage, CLongDatePage, CShortDatePage, CSkinsPage,
           CAutoReturnPage>(pages);
      break;
    case 1:
      Make<CCalendarCommonPage, CCalendarShowPage, CCalendarTasksPage, CCalendarTitlesPage, CCalendarViewStylePage,
           CCalendarIconsPage>(pages);
      break;
    case 2:
      Make<CTasksCommonPage, CTasksViewStylePage, CTasksIconsPage>(pages);
      break;
    case 3:
      Make<CContactsCommonPage, CContactsShowPage, CContactsViewStylePage, CContactsIconsPage>(pages);
      break;
    case 4:
      Make<CNotesCommonPage, CNotesShowPage, CNotesViewStylePage, CNotesFilterPage>(pages);
      break;
    case 5:
      Make<CMessagesCommonPage, CMessagesFilterPage>(pages);
      break;
    case 6:
      Make<CSpecialEventsPage>(pages);
      break;
    case 8:
      Make<CTabsCommonPage, CTabsPage>(pages);
      break;
    default:
      break;
  }
}

}  // namespace

const SheetEntry* FindSheet(UINT section) {
  for (const SheetEntry& entry : kSheetTable)
    if (entry.section == section) return &entry;
  return nullptr;
}

CSectionSheet::CSectionSheet(UINT section) : m_section(section), m_entry(FindSheet(section)) {
  if (!m_entry) return;
  SetMenuBarId(m_entry->menuBar);
  MakePages(section, m_pages);
  CString caption;
  LoadTranslatedString(caption, m_entry->caption);
  SetTitle(caption, 0);
  // A page that cannot be added is left out; the pages after it move up.
  for (auto& page : m_pages) AddPage(*page);
}

COptionsPageBase* CSectionSheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[index].get() : nullptr;
}

void CSectionSheet::SetActivePage(int page) {
  if (m_hWnd) {
    ::SendMessageW(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
    return;
  }
  SetStartPage(static_cast<UINT>(page));
}

INT_PTR RunSection(UINT section, int page, HWND parent) {
  if (section == kCategoryIconsSection) {
    CCategoryIconsDlg dialog;
    const INT_PTR result = dialog.DoModal(parent);
    return result > 0 ? result : 0;
  }
  CSectionSheet sheet(section);
  if (!sheet.IsValid()) return 0;
  if (FindSheet(section)->honoursStartPage) sheet.SetActivePage(page);
  return sheet.DoModal(parent);
}

void RegisterSectionSheets() { SetSectionRunner(RunSection); }
