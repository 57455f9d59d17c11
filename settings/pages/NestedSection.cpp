#include "settings/pages/NestedSection.h"

#include "base/RegKey.h"
#include "base/ViewSettings.h"
#include "settings/pages/RegistryValues.h"
#include "settings/shell/MainWnd.h"

void OpenNestedSection(HWND mainWindow, UINT section, int page) {
  CViewSettings& settings = GetViewSettings();
  CRegistryValues stored, edited, applied;
  stored.Take(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  // The record with the edits below, as values, then the key as it was stored.
  settings.Save();
  edited.Take(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  stored.Restore();
  settings.Load();

  CMainWnd::OpenSectionOver(mainWindow, section, page);

  // The record: what is stored now with the edits below over it; the key: only
  // what was applied.
  applied.Take(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  edited.WriteChangesSince(stored);
  settings.Load();
  applied.Restore();
}
