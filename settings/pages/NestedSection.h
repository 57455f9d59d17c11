// A section opened from a page over the page's own sheet (the Calendar titles
// page's long-date link opens the General sheet). Both sheets edit the one
// process-wide view-settings record, and applying a sheet saves the whole record:
// the sheet on top must not save what the sheet below has not applied. So the
// edits below are taken out of the record while the sheet on top runs, and put
// back over whatever it applied when it ends, still unapplied.
#pragma once
#include <windows.h>

void OpenNestedSection(HWND mainWindow, UINT section, int page);
