// CNoteRowTitle: the title of a Notes tab row split around a typed match (before, the
// match, after), the pieces' places on the title line and their drawing, the match
// highlighted. Note file rows and PhatNotes rows share it.
#pragma once
#include <windows.h>

#include <functional>

#include "platform/windowlib/String.h"

class CTextRunList;

class CNoteRowTitle {
 public:
  // Splits the title at the match (start, length); a right-to-left match trades its
  // outer pieces. No match (or one outside the title) leaves every piece empty.
  void Split(const CString& title, int start, int length, BOOL rightToLeft);
  // Places the pieces one after the other from the title rectangle's left edge, none
  // past its right edge; width measures a text in the row's font.
  void Place(const RECT& titleRect, int lineHeight, const std::function<int(LPCWSTR)>& width);
  void Clear();
  BOOL HasMatch() const { return !m_pieces[1].IsEmpty(); }

  // The pieces with the match highlighted, or without a match the whole title in its
  // rectangle; colours of the selected or unselected row. origin: the row's corner.
  void Draw(CTextRunList* context, const POINT& origin, BOOL selected, const CString& title,
            const RECT& titleRect) const;

  const CString& GetPiece(int piece) const { return m_pieces[piece]; }
  const RECT& GetPieceRect(int piece) const { return m_rects[piece]; }

 private:
  CString m_pieces[3];
  RECT m_rects[3] = {};
};
