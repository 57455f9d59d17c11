// The options pages: for every section sheet its caption, menu bar and pages in
// page order ("-p<section>:<page>" counts in this order), and for every page its
// dialog template and help topic.
#pragma once
#include <windows.h>

#include "settings/shell/OptionsPage.h"

struct PageEntry {
  UINT section;
  UINT page;
  UINT templateId;
  LPCWSTR helpTopic;
};

struct SheetEntry {
  UINT section;
  UINT caption;  // text id
  UINT menuBar;
  UINT pageCount;
  BOOL honoursStartPage;
};

constexpr PageEntry kPageTable[] = {
    {0, 0, 202, L"options_general_common"},
    {0, 1, 204, L"options_general_font"},
    {0, 2, 217, L"options_general_group_style"},
    {0, 3, 213, L"options_general_long_date"},
    {0, 4, 214, L"options_general_short_date"},
    {0, 5, 506, L"options_general_skins"},
    {0, 6, 165, L"options_general_auto_return"},
    {1, 0, 208, L"options_calendar_common"},
    {1, 1, 212, L"options_calendar_show"},
    {1, 2, 505, L"options_calendar_tasks"},
    {1, 3, 215, L"options_calendar_titles"},
    {1, 4, 209, L"options_calendar_view_style"},
    {1, 5, 216, L"options_calendar_icons"},
    {2, 0, 206, L"options_tasks_common"},
    {2, 1, 207, L"options_tasks_view_style"},
    {2, 2, 221, L"options_tasks_icons"},
    {3, 0, 222, L"options_contacts_common"},
    {3, 1, 156, L"options_contacts_show"},
    {3, 2, 223, L"options_contacts_view_style"},
    {3, 3, 224, L"options_contacts_icons"},
    {4, 0, 225, L"options_notes_common"},
    {4, 1, 136, L"options_notes_show"},
    {4, 2, 226, L"options_notes_view_style"},
    {4, 3, 155, L"options_notes_filter"},
    {5, 0, 504, L"options_messages_common"},
    {5, 1, 508, L"options_messages_filter"},
    {6, 0, 147, L"options_special_events_common"},
    {8, 0, 145, L"options_tabs_common"},
    {8, 1, 227, L"options_tabs_tabs"},
};

constexpr SheetEntry kSheetTable[] = {
    {0, 32822, 125, 7, TRUE},  {1, 32821, 125, 6, TRUE}, {2, 32820, 203, 3, TRUE}, {3, 32823, 125, 4, FALSE},
    {4, 32835, 125, 4, FALSE}, {5, 215, 125, 2, TRUE},   {6, 255, 125, 1, FALSE},  {8, 314, 125, 2, FALSE},
};

constexpr const PageEntry& FindPage(UINT section, UINT page) {
  for (const PageEntry& entry : kPageTable)
    if (entry.section == section && entry.page == page) return entry;
  return kPageTable[0];
}
// The sheet of a section; null for the category icons section and beyond 8.
const SheetEntry* FindSheet(UINT section);

// A page whose logic has not come yet: its template's controls, its help topic,
// and nothing saved.
template <UINT Section, UINT Page>
class CPendingPage : public COptionsPage<CPendingPage<Section, Page>> {
 public:
  enum { IDD = FindPage(Section, Page).templateId };
  static_assert(FindPage(Section, Page).section == Section && FindPage(Section, Page).page == Page,
                "a page of the table");

  BOOL OnInitPage() { return TRUE; }
  BOOL OnApply() { return TRUE; }
  LPCWSTR GetHelpTopic() { return FindPage(Section, Page).helpTopic; }
};
