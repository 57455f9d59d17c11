// CTabFilterSet: the user's named category filters, shared by every list tab, as text
// slots under the filters key, with the recent-filter lists of the tabs. Not kept in
// memory: each user loads it, uses it and lets it go; the registry is the only state.
// In notes-folder mode the same store keeps the notes folders the Notes tab showed; its
// first run seeds them from the note folder source (panel/NoteFolderSource.h).
#pragma once
#include <windows.h>

#include <vector>

#include "panel/RecentFilterList.h"
#include "platform/windowlib/String.h"

class CCategoryFilter;

// Filter kinds: which tab a choice or recent list belongs to.
enum {
  FILTER_KIND_TASKS = 0,
  FILTER_KIND_CALENDAR = 1,
  FILTER_KIND_CONTACTS = 2,
  FILTER_KIND_NOTES = 3,
  FILTER_KIND_SPECIAL = 5,
};

class CTabFilterSet {
 public:
  // More slots than this in the stored count are not read (a damaged count must not
  // make every user of the set read millions of values).
  static constexpr int kMaxSlots = 1024;

  explicit CTabFilterSet(BOOL notesFolderMode = FALSE);

  void Load();
  // The number of slots and every slot, empty ones too.
  BOOL Save() const;

  int GetCount() const { return static_cast<int>(m_entries.size()); }
  CString GetText(int index) const;
  void SetText(int index, LPCWSTR text);
  BOOL IsUsed(int index) const;
  int FindFreeSlot();
  // Empties the slot (in the registry too) and prunes every recent list, saving each
  // list that changed.
  void Delete(int index);
  // Tasks, Calendar, Contacts and Special events have their own; any other kind gives
  // the Tasks list.
  CRecentFilterList& GetRecentList(int kind);
  void GetUsedSortedByName(std::vector<int>& indices) const;
  // Parses every used slot: an unrestricted filter is deleted, the others written back
  // in their text form (dropping categories that no longer exist); then saves.
  void Normalize();
  // Stores the filter's text form in the slot and saves the set. A name the text form
  // cannot keep is refused with a message to the user over owner, and nothing stored.
  BOOL Store(int index, const CCategoryFilter& filter, HWND owner);

 private:
  CString SlotName(int index) const;
  void Seed();
  int ListCount() const { return m_notesFolderMode ? 1 : 4; }

  std::vector<CString> m_entries;
  CRecentFilterList m_recent[4];
  BOOL m_notesFolderMode;
};
