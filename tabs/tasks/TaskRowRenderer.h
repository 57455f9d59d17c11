// CTaskRowRenderer: the row of one task: a check box, the icons the task pattern
// ("CurTaskPattern") asks for before and after the subject, the due date and the
// subject, coloured by whether the task is overdue or current. A tap on the check box
// completes the task, on the note icon shows the note, on the reminder icon opens the
// dates; the row fills its own context menu and carries out its commands.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"
#include "tabs/tasks/TaskItem.h"

class CTasksList;
class COndrelClient;
class CKeyedBitmap;

class CTaskRowRenderer : public CPimListItem {
 public:
  enum { kMaxCells = 8 };
  enum State { kStateNormal = 0, kStateCurrent = 1, kStateOverdue = 2 };
  // What the owner hears (OnItemNotify).
  enum { kNotifyShowNote = 256, kNotifyCategories = 1552 };
  enum Command {
    kCmdOpen = 1001,
    kCmdEdit = 1002,
    kCmdDelete = 1003,
    kCmdCopy = 1006,
    kCmdCategories = 1008,
    kCmdSettings = 1027,
    kCmdImportanceLow = 1113,
    kCmdImportanceNormal = 1114,
    kCmdImportanceHigh = 1115,
    kCmdPickDueDate = 1116,
    kCmdDates = 1117,
    kCmdPrivate = 1118,
    kCmdComplete = 1119,
    kCmdShowNote = 1120,
    kCmdChooseIcon = 1122,
  };
  // One laid-out icon: its pattern letter (a category picture after the 'c' cell is
  // 'C'), the category for a picture, and where it stands in the row.
  struct Cell {
    WCHAR code;
    int category;  // -1: the task's own picture or a skin icon
    RECT rect;
  };

  // Holds one reference to the task for the row's life.
  CTaskRowRenderer(TASK_ITEM* task, IListItemOwner* owner);
  ~CTaskRowRenderer() override;

  // Set by a creator before the first layout: no date text; no overdue or current
  // colouring.
  void SetHideDate(BOOL hide) { m_hideDate = hide; }
  void SetNoStateColouring(BOOL none) { m_noStateColouring = none; }

  void Draw(CTextRunList* context, const POINT* origin) override;
  BOOL OnPress(POINT* point) override;
  // In line mode 3 the row's height follows the selection: the owner lays out again.
  void SetSelected(BOOL selected, BOOL force) override;
  DWORD_PTR GetUserData() override;
  int GetKind() override { return ITEM_KIND_TASK; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  // Overdue (2): due before today and not complete; current (1): due today or later
  // and started (or no start); else normal (0). today is a whole day.
  static int ClassifyState(const TASK_ITEM* task, double today);

  TASK_ITEM* GetTask() const { return m_task; }
  int GetState() const { return m_state; }
  int GetLineMode() const { return m_lineMode; }
  int GetSubjectLines() const { return m_subjectLines; }
  const CString& GetDateText() const { return m_dateText; }
  const CString& GetSubjectText() const { return m_subjectText; }
  const RECT& GetCheckRect() const { return m_checkRect; }
  const RECT& GetDateRect() const { return m_dateRect; }
  const RECT& GetSubjectRect() const { return m_subjectRect; }
  int GetCellCount() const { return m_cellCount; }
  const Cell& GetCell(int index) const { return m_cells[index]; }

  // What the rows act through: the window that owns their questions and dialogs, the
  // tasks list and the item-operations client (null: the process's own).
  static void SetCommandWindow(HWND window);
  static void SetTasksList(CTasksList* list);
  static void SetClient(COndrelClient* client);
  // Today as a whole day for the state (0: the clock's).
  static void SetToday(double today);

 private:
  int AddCell(WCHAR code, int category, SIZE size);
  void PlaceLetters(LPCWSTR letters, BOOL* categoriesDone);
  CKeyedBitmap* CellPicture(const Cell& cell) const;
  void ChooseIcon();
  int DrawRect(HDC dc, const RECT& r) const;

  BOOL m_hideDate;
  BOOL m_noStateColouring;
  TASK_ITEM* m_task;
  CString m_dateText;
  CString m_subjectText;
  Cell m_cells[kMaxCells];
  int m_cellCount;
  int m_leadingCount;
  RECT m_checkRect;
  RECT m_dateRect;
  RECT m_subjectRect;
  int m_state;
  int m_lineMode;
  int m_subjectLines;
  BOOL m_debugRects;
};
