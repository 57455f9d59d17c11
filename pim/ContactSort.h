// Ordering of contacts, also grouped by category: a sort entry per contact and the
// two comparators of the contacts list. The contact record lives above this folder;
// it gives the comparators what they need through CSortableContact.
#pragma once
#include <windows.h>

#include "base/RefObject.h"

class CSortableContact : public CRefObject {
 public:
  // Whether the photo search finds a picture for the contact.
  virtual BOOL HasPhoto() const = 0;
  virtual LPCWSTR GetDisplayName() const = 0;
  // The text a list sorts by when it does not sort by name.
  virtual LPCWSTR GetSortText() const = 0;
};

struct CONTACT_SORT_ENTRY {
  BYTE mode;             // 0: photos do not count
  BYTE flag;             // set: taken as a contact without a photo
  int category;          // category record number, negative for none
  int categoryPosition;  // display position of that category, -1 for none
  CSortableContact* contact;  // a counted reference
};

// Contacts with a photo first, then by display name (case ignored).
int CompareContactsByName(const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b);
// By the sort text (case counts), then contacts with a photo first.
int CompareContactsByText(const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b);
