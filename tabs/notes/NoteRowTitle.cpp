#include "tabs/notes/NoteRowTitle.h"

#include <algorithm>

#include "controls/TextRunList.h"
#include "graphics/SkinColors.h"

void CNoteRowTitle::Clear() {
  for (CString& piece : m_pieces) piece.Empty();
  for (RECT& r : m_rects) r = RECT{};
}

void CNoteRowTitle::Split(const CString& title, int start, int length, BOOL rightToLeft) {
  Clear();
  const int titleLength = title.GetLength();
  if (length <= 0 || start < 0 || start > titleLength) return;
  const int matched = std::min(length, titleLength - start);
  m_pieces[0] = title.Left(start);
  m_pieces[1] = title.Mid(start, matched);
  m_pieces[2] = title.Mid(start + matched);
  if (rightToLeft) {
    const int last = !m_pieces[2].IsEmpty() ? 2 : 1;
    CString first = m_pieces[0];
    m_pieces[0] = m_pieces[last];
    m_pieces[last] = first;
  }
}

void CNoteRowTitle::Place(const RECT& titleRect, int lineHeight, const std::function<int(LPCWSTR)>& width) {
  if (!HasMatch()) return;
  int x = titleRect.left;
  for (int piece = 0; piece < 3; ++piece) {
    const int w = m_pieces[piece].IsEmpty() ? 0 : width(m_pieces[piece]);
    m_rects[piece] = {x, titleRect.top, std::min(x + w, static_cast<int>(titleRect.right)), titleRect.top + lineHeight};
    x += w;
  }
}

void CNoteRowTitle::Draw(CTextRunList* context, const POINT& origin, BOOL selected, const CString& title,
                         const RECT& titleRect) const {
  CSkinColors& colors = CSkinColors::Instance();
  const COLORREF text = colors.Get(selected ? 4 : 3);
  auto shifted = [&origin](const RECT& r) {
    return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
  };
  const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT;
  if (!HasMatch()) {
    RECT r = shifted(titleRect);
    context->AddText(title, &r, format);
    return;
  }
  for (int piece = 0; piece < 3; ++piece) {
    if (m_pieces[piece].IsEmpty()) continue;
    RECT r = shifted(m_rects[piece]);
    if (piece == 1) {
      context->SetBkMode(OPAQUE);
      context->SetTextColor(colors.Get(selected ? 2 : 4));
      context->SetBkColor(colors.Get(selected ? 4 : 2));
      context->AddText(m_pieces[piece], &r, format);
      context->SetBkMode(TRANSPARENT);
      context->SetTextColor(text);
    } else {
      context->AddText(m_pieces[piece], &r, format);
    }
  }
}
