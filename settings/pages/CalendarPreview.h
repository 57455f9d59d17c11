// The calendar pages' sample appointment row, laid out with the panel's rules from
// the settings being edited: the pattern's icons ("CurAppPattern"), the display mode
// (time line first, or subject first), the status bar, the time text and the
// conflict colour.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

class CAppointmentRecord;
class CFontInfo;

class CCalendarPreview : public CPimListItem {
 public:
  enum { kMaxIcons = 10 };
  // A slot's icon: a skin icon index, or kCategoryIcon with the category's index.
  enum { kCategoryIcon = -1 };
  struct IconSlot {
    RECT rect;
    int skinIcon;
    int category;
  };

  // Holds a reference to the record; conflict is dropped when "App_MarkConflicting" is 0.
  CCalendarPreview(CAppointmentRecord* record, BOOL conflict, IListItemOwner* owner);
  ~CCalendarPreview() override;

  // The category icons dialog shows the record's category pictures for the c letter.
  void SetCategoryIcons(BOOL on) { m_categoryIcons = on; }
  // The number shown behind the subject ("%s (%d)"); -1, the default, shows none.
  void SetSubjectCount(int count) { m_count = count; }

  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_APPOINTMENT; }
  int Layout() override;
  void Draw(CTextRunList* context, const POINT* origin) override;

  BOOL IsConflicting() const { return m_conflict; }
  int GetDisplayMode() const { return m_mode; }
  BOOL IsAllDayStyle() const { return m_allDayStyle; }
  // The first line's text (mode 1: the time text and ": ") and the subject line's.
  const CString& GetTimeLine() const { return m_timeLine; }
  const CString& GetSubjectLine() const { return m_subjectLine; }
  const CString& GetTimeText() const { return m_timeText; }
  // Relative to the row; empty when not shown.
  const RECT& GetTimeRect() const { return m_timeRect; }
  const RECT& GetSubjectRect() const { return m_subjectRect; }
  const RECT& GetStatusRect() const { return m_statusRect; }
  int GetIconCount() const { return m_iconCount; }
  const IconSlot& GetIcon(int index) const { return m_icons[index]; }
  // Whether the row has been drawn, after which layouts measure through the device.
  BOOL IsMeasuredByDevice() const { return m_drawn; }

 private:
  void AddLetterIcons(WCHAR letter, int shownCategory);
  void AddIcon(int skinIcon, int category);
  int LayoutLine(CString& text, RECT& rect, CFontInfo* font, BOOL singleLine, BOOL withBoxes, int firstBox);

  CAppointmentRecord* m_record;
  BOOL m_conflict;
  BOOL m_drawn = FALSE;
  BOOL m_categoryIcons = FALSE;
  int m_count = -1;
  CString m_timeText;
  CString m_timeLine;
  CString m_subjectLine;
  RECT m_timeRect = {};
  RECT m_subjectRect = {};
  RECT m_statusRect = {};
  BOOL m_allDayStyle = FALSE;
  int m_mode = 0;
  IconSlot m_icons[kMaxIcons] = {};
  int m_iconCount = 0;
  // Slots from here on are boxes behind a text; a leading icon sits before them.
  int m_firstBox = 0;
};
