// A contact's birthday or anniversary as the day lists show it: compared by month and
// day inside the leap year 2000, so 29 February keeps its own day.
#pragma once
#include <windows.h>

#include "base/RefObject.h"
#include "platform/windowlib/String.h"
#include "tabs/contacts/FixedBlockPool.h"

class CONTACT_ITEM;
class CContactsList;

// Events come from a pool of blocks of their size, like the contacts.
class CSpecialEventItem : public CRefObject, public CPooledNew<CSpecialEventItem> {
 public:
  enum Kind { kBirthday = 0, kAnniversary = 1 };

  explicit CSpecialEventItem(CContactsList* list = nullptr) : m_list(list) {}
  static CSpecialEventItem* Create(CContactsList* list);

  // Kind 0 takes the birthday, 1 the anniversary.
  void Init(CONTACT_ITEM* contact, int kind, int contactIndex);
  // The contact's name in the "BirthdayDisplay" mode, cached; empty when the contact
  // is not in the list.
  const CString& GetName(BOOL force);
  // Text 182 (birthday) or 183 (anniversary) formatted with the name.
  CString GetCaption(BOOL force);

  int m_kind = kBirthday;
  double m_dayIn2000 = 0;
  double m_date = 0;
  SYSTEMTIME m_parts = {};
  int m_contactIndex = -1;
  DWORD m_contactOid = 0;
  CString m_name;

 private:
  CContactsList* m_list;
};
