#include "panel/CustomTabSource.h"

#include "panel/CustomTab.h"

std::vector<CUSTOM_TAB_ENTRY> CCustomTabSource::ListCustomTabs() {
  LoadCustomTabs(m_entries);
  std::vector<CUSTOM_TAB_ENTRY> list;
  for (const CustomTabEntry& entry : m_entries) {
    // A character beyond one UTF-16 unit cannot place a tab.
    if (entry.id == 0 || entry.id > 0xFFFF) continue;
    CUSTOM_TAB_ENTRY tab;
    tab.id = static_cast<WCHAR>(entry.id);
    tab.name = entry.iconName;
    list.push_back(tab);
  }
  return list;
}

CScrollPanel* CCustomTabSource::MakeCustomTab(const CUSTOM_TAB_ENTRY& tab, CVirtualWnd* owner) {
  // Two keys may share a first character: each listing is made once, in order.
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->id != tab.id) continue;
    CustomTabEntry entry = *it;
    m_entries.erase(it);
    return new CCustomTab(owner, entry);
  }
  return nullptr;
}

CCustomTabSource& CCustomTabSource::Instance() {
  static CCustomTabSource source;
  return source;
}
