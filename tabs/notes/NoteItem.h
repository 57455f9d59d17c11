// CNoteItem: the row of one note file in the Notes tab: icon by type and storage,
// the name (split around a search match), size or length and date columns, the
// note's context menu and its commands.
#pragma once
#include <windows.h>

#include "controls/ListItem.h"
#include "tabs/notes/NoteRowTitle.h"
#include "platform/windowlib/String.h"

class CNoteFile;

class CNoteItem : public CPimListItem {
 public:
  enum { kKind = 505 };

  CNoteItem(CNoteFile* note, IListItemOwner* owner);
  ~CNoteItem() override;

  void Draw(CTextRunList* context, const POINT* origin) override;
  // A tap on the icon of an ink, voice, text or word note asks the owner for command
  // 1280; elsewhere the row is selected.
  BOOL OnPress(POINT* point) override;
  // The hash of the note's full path.
  DWORD_PTR GetUserData() override;
  int GetKind() override { return kKind; }
  void BuildMenu(HMENU menu) override;
  BOOL OnCommand(UINT command) override;
  int Layout() override;

  // Set by the tab: indented rows (grouped lists with "NoteMakeIndent"), and the
  // column widths from MeasureColumns.
  void SetIndented(BOOL indented) { m_indented = indented; }
  void SetColumnWidths(int dateWidth, int sizeWidth) {
    m_dateWidth = dateWidth;
    m_sizeWidth = sizeWidth;
  }
  // 1.2 times the widest date text (today's 23:59 and 31 December) and size text
  // (10,000 bytes) in the list font.
  static void MeasureColumns(int* dateWidth, int* sizeWidth);
  // The skin icon of a note type in main memory or on a card; 0 past the skin's count.
  static int IconIndex(int type, BOOL onStorageCard, int iconCount);
  // The owner of the dialogs and questions the commands show.
  static void SetCommandWindow(HWND window);

  CNoteFile* GetNote() const { return m_note; }
  int GetIcon() const { return m_icon; }
  const RECT& GetIconRect() const { return m_iconRect; }
  const CString& GetTitle() const { return m_title; }
  const CString& GetSizeText() const { return m_sizeText; }
  const CString& GetDateText() const { return m_dateText; }
  const RECT& GetSizeRect() const { return m_sizeRect; }
  const RECT& GetDateRect() const { return m_dateRect; }
  const RECT& GetTitleRect() const { return m_titleRect; }
  // Pieces 0-2: before the match, the match, after it (empty without a match).
  const CString& GetPiece(int piece) const { return m_titlePieces.GetPiece(piece); }
  const RECT& GetPieceRect(int piece) const { return m_titlePieces.GetPieceRect(piece); }
  // The size and date texts are built again on the next layout.
  void RefreshTexts();

 private:
  CNoteFile* m_note;
  BOOL m_indented = FALSE;
  BOOL m_laidOut = FALSE;
  int m_dateWidth = 0;
  int m_sizeWidth = 0;
  int m_iconCount = 1;
  int m_icon = 0;
  RECT m_iconRect = {};
  CString m_title;
  RECT m_titleRect = {};
  CString m_sizeText;
  RECT m_sizeRect = {};
  CString m_dateText;
  RECT m_dateRect = {};
  CNoteRowTitle m_titlePieces;
  DWORD m_id = 0;
  int m_lastHeight = 0;
};
