#include "settings/tour/TourSteps.h"

#include <commctrl.h>

#include "res/TarvoResIds.h"
#include "settings/pages/AutoReturnPage.h"
#include "settings/pages/CalendarCommonPage.h"
#include "settings/pages/CalendarIconsPage.h"
#include "settings/pages/CalendarShowPage.h"
#include "settings/pages/CalendarTasksPage.h"
#include "settings/pages/CalendarTitlesPage.h"
#include "settings/pages/CalendarViewStylePage.h"
#include "settings/pages/ContactsCommonPage.h"
#include "settings/pages/ContactsIconsPage.h"
#include "settings/pages/ContactsShowPage.h"
#include "settings/pages/ContactsViewStylePage.h"
#include "settings/pages/FontPage.h"
#include "settings/pages/GeneralCommonPage.h"
#include "settings/pages/GroupStylePage.h"
#include "settings/pages/LongDatePage.h"
#include "settings/pages/MessagesCommonPage.h"
#include "settings/pages/MessagesFilterPage.h"
#include "settings/pages/NotesCommonPage.h"
#include "settings/pages/NotesFilterPage.h"
#include "settings/pages/NotesShowPage.h"
#include "settings/pages/NotesViewStylePage.h"
#include "settings/pages/PatternIcons.h"
#include "settings/pages/ShortDatePage.h"
#include "settings/pages/SkinsPage.h"
#include "settings/pages/SpecialEventsPage.h"
#include "settings/pages/TasksCommonPage.h"
#include "settings/pages/TasksViewStylePage.h"

namespace {
// The Tabs page's list of tabs, ticked when shown.
const int kTabsList = 1047;
// The Notes show page's box of the first note kind (ink and text notes).
const int kFirstNoteKindBox = kNoteKindBoxes[0];
// The plug-in's tabs by their characters.
const wchar_t kCalendar = L'1', kTasks = L'2', kContacts = L'3', kNotes = L'4', kMessages = L'5', kSpecial = L'6';
}  // namespace

const TourStep kTourSteps[] = {
    {0, 0, L"general-common", TourAction::FlipBox, kAutoSizeBox, 0, L"AutoSizeAdjust", kCalendar},
    {0, 1, L"general-font", TourAction::FlipBox, kUseSystemBox, 0, L"UseSystem", kCalendar},
    {0, 2, L"general-group-style", TourAction::FlipBox, kStripeCounterBox, 0, L"FoldingStripeDrawCounter", kCalendar},
    {0, 3, L"general-long-date", TourAction::FlipBox, kLongNotYearBox, 0, L"LongDate_NotYear", kCalendar},
    {0, 4, L"general-short-date", TourAction::FlipBox, kShortNotYearBox, 0, L"ShortDate_NotYear", kTasks},
    {0, 5, L"general-skins", TourAction::NextChoice, kSkinCombo, 0, L"SkinName", kCalendar},
    {0, 6, L"general-auto-return", TourAction::NextChoice, kAutoReturnCombo, 0, L"AdvancedKeyboardSupport", kCalendar},
    {1, 0, L"calendar-common", TourAction::FlipBox, kMarkConflictingBox, 0, L"App_MarkConflicting", kCalendar},
    {1, 1, L"calendar-show", TourAction::FlipBox, kCalendarShowBoxes[2].control, 0, kCalendarShowBoxes[2].value,
     kCalendar},
    {1, 2, L"calendar-tasks", TourAction::FlipBox, kShowTasksBox, 0, L"CalendarShowTasks", kCalendar},
    {1, 3, L"calendar-titles", TourAction::FlipBox, kTodayMarkBox, 0, L"AppGroup_Today", kCalendar},
    {1, 4, L"calendar-view-style", TourAction::FlipBox, kAppStatusBarBox, 0, L"App_StatusBar", kCalendar},
    {1, 5, L"calendar-icons", TourAction::NextChoice, kLeadingIconCombo, 0, L"CurAppPattern", kCalendar},
    {2, 0, L"tasks-common", TourAction::NextChoice, kTasksStyleCombo, 0, L"Tasks_ShowTasksStyle", kTasks},
    {2, 1, L"tasks-view-style", TourAction::FlipBox, kTaskCheckBoxBox, 0, L"Task_ShowCheckbox", kTasks},
    {2, 2, L"tasks-icons", TourAction::NextChoice, kLeadingIconCombo, 0, L"CurTaskPattern", kTasks},
    {3, 0, L"contacts-common", TourAction::FlipBox, kContactsPopupBox, 0, L"ContactOpenFromPopup", kContacts},
    {3, 1, L"contacts-show", TourAction::FlipBox, kContactsAllCategoriesBox, 0, L"ShowContactsInAllCategories",
     kContacts},
    {3, 2, L"contacts-view-style", TourAction::NextChoice, kContactNameCombo, 0, L"ContDisplay", kContacts},
    {3, 3, L"contacts-icons", TourAction::NextChoice, kLeadingIconCombo, 0, L"CurContactPattern", kContacts},
    {4, 0, L"notes-common", TourAction::NextChoice, kNotesSortCombo, 0, L"NoteSortOrder", kNotes},
    {4, 1, L"notes-show", TourAction::FlipBox, kFirstNoteKindBox, 0, L"NotesType0Enabled", kNotes},
    {4, 2, L"notes-view-style", TourAction::FlipBox, kNoteSizeBox, 0, L"NoteDrawSize", kNotes},
    {4, 3, L"notes-filter", TourAction::FlipListRow, kNoteFolderList, 0, L"Filters\\HiddenFolders", kNotes},
    {5, 0, L"messages-common", TourAction::FlipBox, kOnlyUnreadBox, 0, L"EmailsOnlyUnreaded", kMessages},
    // Item 0 is the new filter, which applies no choice.
    {5, 1, L"messages-filter", TourAction::NextStored, kFilterCombo, 1, L"EmailFilter", kMessages},
    {6, 0, L"special-events", TourAction::FlipBox, kShowBirthdaysBox, 0, L"SpecialShowBirthdays", kSpecial},
    {8, 0, L"tabs-common", TourAction::FlipBox, IDC_TABS_TIMEOUT_ON, 0, L"TimeoutTime", kCalendar},
    {8, 1, L"tabs-tabs", TourAction::FlipListRow, kTabsList, 1, L"ShowTabs", kCalendar},
};
const size_t kTourStepCount = sizeof(kTourSteps) / sizeof(kTourSteps[0]);

namespace {

// The user's choice of an item in a combo box.
void Choose(HWND page, HWND combo, int control, WPARAM item) {
  SendMessageW(combo, CB_SETCURSEL, item, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

}  // namespace

bool MakeTourChange(HWND page, const TourStep& step, const std::wstring& stored) {
  HWND control = GetDlgItem(page, step.control);
  if (!control || !IsWindowEnabled(control)) return false;
  switch (step.action) {
    case TourAction::FlipBox:
      SendMessageW(control, BM_CLICK, 0, 0);
      return true;
    case TourAction::NextChoice: {
      const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
      if (count < 2) return false;
      const LRESULT now = SendMessageW(control, CB_GETCURSEL, 0, 0);
      Choose(page, control, step.control, now < 0 || now + 1 >= count ? 0 : static_cast<WPARAM>(now + 1));
      return true;
    }
    case TourAction::NextStored: {
      const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
      if (count <= step.row) return false;
      LRESULT at = -1;
      for (LRESULT i = step.row; i < count && at < 0 && !stored.empty(); ++i) {
        const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0 || static_cast<size_t>(length) != stored.size()) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        if (text.compare(0, stored.size(), stored) == 0) at = i;
      }
      const LRESULT next = at < 0 || at + 1 >= count ? step.row : at + 1;
      if (next == at) return false;
      Choose(page, control, step.control, static_cast<WPARAM>(next));
      return true;
    }
    case TourAction::FlipListRow:
      if (ListView_GetItemCount(control) <= step.row) return false;
      ListView_SetCheckState(control, step.row, !ListView_GetCheckState(control, step.row));
      return true;
  }
  return false;
}
