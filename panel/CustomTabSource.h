// CCustomTabSource: the custom tabs as the panel's tab factory asks for them, read
// from the registry each time the tabs are made.
#pragma once
#include <vector>

#include "panel/CustomTabEntry.h"
#include "panel/TabMakers.h"

class CCustomTabSource : public ICustomTabSource {
 public:
  std::vector<CUSTOM_TAB_ENTRY> ListCustomTabs() override;
  CScrollPanel* MakeCustomTab(const CUSTOM_TAB_ENTRY& entry, CVirtualWnd* owner) override;

  // The process's source, installed by the plug-in as it starts.
  static CCustomTabSource& Instance();

 private:
  std::vector<CustomTabEntry> m_entries;
};
