#include "settings/pages/CalendarTitlesPage.h"

#include "base/DateFormat.h"
#include "settings/pages/NestedSection.h"
#include "settings/shell/MainWnd.h"

LRESULT CCalendarTitlesPage::OnLongDateLink() {
  CMainWnd* main = GetMainWindow();
  HWND target = main ? main->m_hWnd : ::GetWindow(::GetParent(m_hWnd), GW_OWNER);
  if (target) OpenNestedSection(target, 0, 3);
  ResetDateFormatCache();
  return 1;
}
