// CPhatNoteItem: the row of one PhatNotes note in the Notes tab: the colour marker in
// the icon column, the title with the note's attachment, priority and marker icons, the
// date column, the note's context menu and its commands, and the text preview.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/ListItem.h"
#include "tabs/notes/NoteRowTitle.h"
#include "platform/windowlib/String.h"

class CNoteViewWnd;
class CPhatNoteRecord;
class CPhatNotesSource;

// The command handler of a PhatNotes note (the row's and the viewer's): open (1001,
// 1002), delete after asking (1003), priority (1113-1115) and colour (1430-1434).
// TRUE for the commands handled here.
BOOL RunPhatNoteCommand(CPhatNotesSource& source, CPhatNoteRecord* note, UINT command, HWND owner);

class CPhatNoteItem : public CPimListItem {
 public:
  enum { kKind = 511 };
  enum : UINT {
    kCmdOpen = 1001,
    kCmdEdit = 1002,
    kCmdDelete = 1003,
    kCmdSettings = 1027,
    kCmdPriorityLow = 1113,
    kCmdPriorityNone = 1114,
    kCmdPriorityHigh = 1115,
    kCmdPreview = 1280,
    kCmdColourFirst = 1430,
    kCmdColourLast = 1434,
  };

  // The row holds the note (one reference) and works on it through the source.
  CPhatNoteItem(CPhatNoteRecord* note, CPhatNotesSource* source, IListItemOwner* owner);
  ~CPhatNoteItem() override;

  void Draw(CTextRunList* context, const POINT* origin) override;
  // A tap on the colour marker asks the owner for the preview (1280); elsewhere the row
  // is selected.
  BOOL OnPress(POINT* point) override;
  int GetKind() override { return kKind; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  // Set by the tab: indented rows, the measured date column, a typed match in the title
  // (start, length, right-to-left), and where the preview stands (the row's rectangle
  // on the screen).
  void SetIndented(BOOL indented) { m_indented = indented; }
  void SetDateWidth(int width) { m_dateWidth = width; }
  void SetMatch(int start, int length, BOOL rightToLeft);
  void SetPreviewAnchor(const RECT& anchor) { m_anchor = anchor; }
  // The owner of the questions and of the preview, and the viewer the preview uses.
  static void SetCommandWindow(HWND window);
  static void SetViewer(CNoteViewWnd* viewer);

  // The preview: the note's text in the viewer, which then holds the note. Only for a
  // note without extra text; FALSE when nothing was shown.
  BOOL Preview(CNoteViewWnd& viewer, HWND parent, const RECT& anchor);

  // One icon of the row: its letter code ('n', 's', 'p', 'r'), skin icon and place.
  struct Icon {
    WCHAR code;
    int icon;
    RECT rect;
  };
  CPhatNoteRecord* GetNote() const { return m_note; }
  const std::vector<Icon>& GetIcons() const { return m_icons; }
  const CString& GetTitle() const { return m_title; }
  const RECT& GetTitleRect() const { return m_titleRect; }
  // Where the title's own text is drawn: the title's rectangle up to its first icon.
  const RECT& GetTextRect() const { return m_textRect; }
  const CString& GetDateText() const { return m_dateText; }
  const RECT& GetDateRect() const { return m_dateRect; }
  // Pieces 0-2: before the match, the match, after it (empty without a match).
  const CString& GetPiece(int piece) const { return m_titlePieces.GetPiece(piece); }
  const RECT& GetPieceRect(int piece) const { return m_titlePieces.GetPieceRect(piece); }

 private:
  CPhatNoteRecord* m_note;
  CPhatNotesSource* m_source;
  BOOL m_indented = FALSE;
  BOOL m_laidOut = FALSE;
  int m_dateWidth = 0;
  int m_matchStart = 0;
  int m_matchLength = 0;
  BOOL m_matchRightToLeft = FALSE;
  RECT m_anchor = {};
  std::vector<Icon> m_icons;
  CString m_title;
  RECT m_titleRect = {};
  RECT m_textRect = {};
  CString m_dateText;
  RECT m_dateRect = {};
  CNoteRowTitle m_titlePieces;
  int m_lastHeight = 0;
};
