// CAppointmentItem: one appointment of the appointments list as a row of the
// Calendar's day list: the pattern's icons, the time and subject texts, the status
// box; taps on the note and reminder icons, the context menu and its commands, which
// reach the item-operations program through its client or the appointments list.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"
#include "tabs/calendar/AppointmentRowText.h"

class CAppointmentRecord;
class CAppointmentsList;

class CAppointmentItem : public CPimListItem {
 public:
  // Commands of the row's menu.
  enum {
    kCmdOpen = 1001,
    kCmdEdit = 1002,
    kCmdDelete = 1003,
    kCmdCopy = 1006,
    kCmdCategories = 1008,
    kCmdSettings = 1027,
    kCmdStatusFree = 1210,
    kCmdStatusOutOfOffice = 1213,
    kCmdMove = 1214,
    kCmdReminder = 1215,
    kCmdPrivate = 1216,
    kCmdShowNotes = 1217,
    kCmdLink = 1219,
  };
  // What the owner hears (OnItemNotify).
  enum { kNotifyShowNotes = 512, kNotifyCategories = 1552 };
  // Item kind of the item-operations program's requests.
  enum { kOndrelKind = 9 };

  // Takes a reference to the record. The conflict flag is kept only while the view
  // settings mark conflicting appointments.
  CAppointmentItem(CAppointmentRecord* record, BOOL conflict, IListItemOwner* owner);
  ~CAppointmentItem() override;

  void SetDay(double day);
  double GetDay() const { return m_day; }
  void SetPast(BOOL past) { m_past = past; }
  BOOL IsPast() const { return m_past; }
  BOOL HasConflict() const { return m_conflict; }
  void SetIconsEnabled(BOOL enabled) { m_iconsEnabled = enabled; }
  DWORD GetOid() const;
  CAppointmentRecord* GetRecord() const { return m_record; }

  void Draw(CTextRunList* context, const POINT* origin) override;
  BOOL OnPress(POINT* point) override;
  DWORD_PTR GetUserData() override { return GetOid(); }
  int GetKind() override { return ITEM_KIND_APPOINTMENT; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  // The icon and rectangle of one letter of the row pattern; -1 and an empty
  // rectangle when the row shows none for it.
  int GetIconRect(WCHAR letter, RECT* rect);
  const CString& GetTimeText() const { return m_time; }
  const CString& GetSubjectText() const { return m_subject; }
  const RECT& GetTimeRect() const { return m_timeRect; }
  const RECT& GetSubjectRect() const { return m_subjectRect; }
  const RECT& GetStatusRect() const { return m_statusRect; }
  int GetLineLayout() const { return m_lines; }
  int GetIconCount() const { return m_iconCount; }
  const APPOINTMENT_ROW_ICON& GetIcon(int index) const { return m_icons[index]; }
  const RECT& GetIconRectAt(int index) const { return m_iconRects[index]; }

  // The list the commands change (not owned); null: the process's list.
  static void SetAppointmentsList(CAppointmentsList* list);
  static CAppointmentsList& GetAppointmentsList();

 private:
  // The day a request names: the occurrence's day of a recurring record, else none.
  double OccurrenceDay() const;
  // The occurrence question of a recurring record: IDYES, IDNO or IDCANCEL.
  int Ask(UINT textId, UINT type);
  void ChangeStatus(LONG status);
  void TogglePrivate();
  void EditReminder();
  void ChooseLink();
  BOOL HasStatusIcon() const;

  CAppointmentRecord* m_record;
  BOOL m_past;
  BOOL m_conflict;
  CString m_time;
  CString m_subject;
  RECT m_timeRect;
  RECT m_subjectRect;
  RECT m_statusRect;
  int m_lines;
  BOOL m_statusIcon;
  int m_iconCount;
  APPOINTMENT_ROW_ICON m_icons[APPOINTMENT_ROW_TEXT::kMaxIcons];
  RECT m_iconRects[APPOINTMENT_ROW_TEXT::kMaxIcons];
  double m_day;
  BOOL m_iconsEnabled;
};
