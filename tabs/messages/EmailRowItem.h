// CEmailRowItem: one message in the Messages tab: a status icon, the sender (else the
// recipient) and the time on the first line, the subject and (optionally) the size on
// the second, bold while unread, a dotted line below. Its context menu offers the
// message operations, among them a move to one of the account's recent folders or to
// one chosen in the folder tree.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "platform/windowlib/String.h"

struct EMAIL_ITEM;
class CEmailsList;
class CBlobObj;

// What a message row asks of its tab: open the preview of its message (a tap on the
// status icon, or any tap in one-tap mode 2).
const LPARAM ROW_EVENT_PREVIEW = 1280;

class CEmailRowItem : public CPimListItem {
 public:
  enum { kKind = 508, kFirstStatusIcon = 22, kLastStatusIcon = 29 };
  enum Command : UINT {
    kCmdOpen = 1001,
    kCmdEdit = 1002,
    kCmdDelete = 1003,
    kCmdNothing = 1006,
    kCmdSettings = 1027,
    kCmdToggleRead = 1420,
    kCmdForward = 1421,
    kCmdReply = 1422,
    kCmdReplyAll = 1423,
    kCmdToggleDownload = 1424,
    kCmdCall = 1426,
    kCmdFirstRecentFolder = 1427,
    kCmdLastRecentFolder = 1435,
    kCmdChooseFolder = 1436,
  };
  // The message's status bits the row shows.
  enum : DWORD { kStatusMarkedForDownload = 0x1000, kStatusHeaderOnly = 0x100000 };

  // Holds a reference on item. list: the operations' list (null: the process's).
  CEmailRowItem(EMAIL_ITEM* item, IListItemOwner* owner, CEmailsList* list = nullptr);
  ~CEmailRowItem() override;

  int GetKind() override { return kKind; }
  // The hash of the message's entry id, made once.
  DWORD_PTR GetUserData() override;
  int Layout() override;
  void Draw(CTextRunList* context, const POINT* origin) override;
  // A press on the status icon asks the owner for the preview instead of selecting.
  BOOL OnPress(POINT* point) override;
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override { return DoCommand(command); }
  // TRUE when the command was the row's.
  BOOL DoCommand(UINT command);

  // Set by the tab before the first layout.
  void SetIndented(BOOL indented) { m_indented = indented; }
  void SetColumnWidths(int timeWidth, int sizeWidth) {
    m_timeWidth = timeWidth;
    m_sizeWidth = sizeWidth;
  }
  // 6/5 of the widest time text (today 23:59, and 31 December) and of the size text of
  // 10,000 bytes, in the bold list font.
  static void MeasureColumns(int* timeWidth, int* sizeWidth);
  // 22, plus 1 when read, 2 when only the header is on the device, 4 with attachments.
  static int GetStatusIcon(const EMAIL_ITEM& item);
  // h = h * 9 + b over the bytes.
  static DWORD HashEntryId(const CBlobObj& id);
  // The window the deletion question is asked over (the panel's).
  static void SetCommandWindow(HWND window);

  EMAIL_ITEM* GetItem() const { return m_item; }
  // The texts of the last layout (made on first use).
  const CString& GetFirstLine() const { return MakeTexts(), m_firstLine; }
  const CString& GetSecondLine() const { return MakeTexts(), m_secondLine; }
  const CString& GetTimeText() const { return MakeTexts(), m_timeText; }
  const CString& GetSizeText() const { return MakeTexts(), m_sizeText; }
  const RECT& GetFirstLineRect() const { return m_firstRect; }
  const RECT& GetSecondLineRect() const { return m_secondRect; }
  const RECT& GetTimeRect() const { return m_timeRect; }
  const RECT& GetSizeRect() const { return m_sizeRect; }
  const RECT& GetIconRect() const { return m_iconRect; }
  int GetIcon() const { return m_icon; }
  BOOL IsBold() const { return m_bold; }

 private:
  CEmailsList& List() const;
  // Moves the message to the recent folder at that position of its account's list.
  BOOL MoveToRecent(int position);
  BOOL MoveToChosenFolder();
  BOOL Delete();
  void MakeTexts() const;

  mutable CString m_firstLine;
  mutable CString m_secondLine;
  mutable CString m_timeText;
  mutable CString m_sizeText;
  mutable BOOL m_textsMade = FALSE;
  BOOL m_showSize = FALSE;
  EMAIL_ITEM* m_item;
  CEmailsList* m_list;
  BOOL m_indented = FALSE;
  BOOL m_laidOut = FALSE;
  BOOL m_bold = FALSE;
  RECT m_firstRect = {};
  RECT m_secondRect = {};
  RECT m_timeRect = {};
  RECT m_sizeRect = {};
  RECT m_iconRect = {};
  int m_icon = kFirstStatusIcon;
  int m_iconCount = 0;
  int m_timeWidth = 0;
  int m_sizeWidth = 0;
  DWORD m_hash = 0;
  BOOL m_hashed = FALSE;
  int m_lastHeight = 0;
};
