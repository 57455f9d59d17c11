// CContactEventRow: a contact's birthday or anniversary as a row of a day list (kind
// 507): the event's skin icon (the gift of a birthday, the anniversary's own) in the
// left column, as the Calendar shows the same event, and its caption, after the day
// it is shown on when the row shows its date.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

class CSpecialEventItem;
class CONTACT_ITEM;
class CContactsList;

class CContactEventRow : public CPimListItem {
 public:
  enum { kModeCaption = 0, kModeDate = 1 };
  // The skin icons of the two event kinds.
  enum { kIconBirthday = 21, kIconAnniversary = 20 };

  // Holds a reference to the event; day: the day the row stands on (variant date).
  CContactEventRow(CSpecialEventItem* event, CContactsList* list, double day, int mode, IListItemOwner* owner);
  ~CContactEventRow() override;

  int GetKind() override { return ITEM_KIND_EVENT_ROW; }
  int Layout() override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  // Open and edit go to the event's contact.
  BOOL OnCommand(UINT command) override;

  CSpecialEventItem* GetEvent() const { return m_event; }
  // The event's contact in the list, or null when it left the list.
  CONTACT_ITEM* GetContact() const;
  double GetDay() const { return m_day; }
  int GetMode() const { return m_mode; }
  const CString& GetText() const { return m_text; }
  int GetIcon() const { return m_icon; }
  const RECT& GetIconRect() const { return m_iconRect; }
  const RECT& GetTextRect() const { return m_textRect; }

 private:
  CSpecialEventItem* m_event;
  CContactsList* m_list;
  double m_day;
  int m_mode;
  CString m_text;
  RECT m_textRect;
  int m_icon;
  RECT m_iconRect;
};
