// CAppointmentItem2: a contact's birthday or anniversary as a row of the Calendar's
// day list: the event's skin icon in the left column, its caption and, on a shown
// day, the years in brackets; the contact's menu, whose commands the contact carries
// out.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

class CSpecialEventItem;
class CContactsList;
class CONTACT_ITEM;

class CAppointmentItem2 : public CPimListItem {
 public:
  enum { kIconBirthday = 21, kIconAnniversary = 20 };
  enum { kCmdShowNotes = 1305, kCmdCategories = 1008, kCmdSettings = 1027 };
  // What the owner hears (OnItemNotify).
  enum { kNotifyShowNotes = 1280, kNotifyCategories = 1552 };

  // Takes a reference to the event. dateMode 1 puts the event's date before the caption.
  CAppointmentItem2(CSpecialEventItem* event, IListItemOwner* owner, int dateMode);
  ~CAppointmentItem2() override;

  // The shown day (a day number) for the years; -1: none.
  void SetDay(LONG day);
  LONG GetDay() const { return m_day; }
  CSpecialEventItem* GetRecord() const { return m_event; }
  // The event's contact in the contacts list, or null.
  CONTACT_ITEM* FindContact() const;

  void Draw(CTextRunList* context, const POINT* origin) override;
  // The contact's item oid, inverted bit by bit for an anniversary.
  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_EVENT_ROW; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  const CString& GetCaption() const { return m_caption; }
  const CString& GetYearsText() const { return m_years; }
  const RECT& GetCaptionRect() const { return m_captionRect; }
  const RECT& GetYearsRect() const { return m_yearsRect; }
  const RECT& GetIconRect() const { return m_iconRect; }
  int GetIcon() const { return m_icon; }

  // The contacts list the rows look contacts up in (not owned); null: the process's.
  static void SetContactsList(CContactsList* list);

 private:
  CSpecialEventItem* m_event;
  RECT m_captionRect;
  RECT m_yearsRect;
  CString m_caption;
  CString m_years;
  int m_icon;
  RECT m_iconRect;
  LONG m_day;
  int m_dateMode;
  BOOL m_userDataMade;
  DWORD m_userData;
};
