#include "controls/ListItem.h"

namespace {

LONG g_liveItems = 0;

}  // namespace

CListItem::CListItem(IListItemOwner* owner)
    : m_nWidth(-1),
      m_nContentWidth(-1),
      m_bSelected(FALSE),
      m_pOwner(owner),
      m_pParentItem(nullptr),
      m_userData(0) {
  InterlockedIncrement(&g_liveItems);
}

CListItem::~CListItem() { InterlockedDecrement(&g_liveItems); }

LONG CListItem::GetLiveCount() { return g_liveItems; }

BOOL CListItem::GetItemRect(CListItem* item, const POINT* origin, RECT* out) {
  if (item != this) return FALSE;
  out->left = origin->x;
  out->top = origin->y;
  out->right = origin->x + m_nWidth;
  out->bottom = origin->y + GetHeight(-1);
  return TRUE;
}

void CListItem::SetSize(int width, int contentWidth, int, BOOL) {
  m_nWidth = width;
  m_nContentWidth = contentWidth;
}

BOOL CListItem::OnPress(POINT*) { return FALSE; }
BOOL CListItem::OnRelease(POINT*) { return FALSE; }
BOOL CListItem::OnDoubleTap(POINT*) { return FALSE; }

void CListItem::SetSelected(BOOL selected, BOOL force) {
  selected = selected ? TRUE : FALSE;
  if (selected == m_bSelected && !force) return;
  m_bSelected = selected;
  if (m_pOwner) m_pOwner->OnItemSelected(selected ? this : nullptr);
}

BOOL CListItem::IsSelected() { return m_bSelected; }

DWORD_PTR CListItem::GetUserData() { return m_userData; }

CPimListItem::CPimListItem(IListItemOwner* owner)
    : CListItem(owner),
      m_bPressed(FALSE),
      m_keySelected(FALSE),
      m_keyWidth(-1),
      m_keyContentWidth(-1),
      m_keyHeight(-1),
      m_nHeight(-1) {}

void CPimListItem::SetSize(int width, int contentWidth, int height, BOOL reset) {
  CListItem::SetSize(width, contentWidth, height, reset);
  m_nHeight = -1;
  if (reset) {
    m_keyWidth = -1;
    m_keyHeight = -1;
  }
}

int CPimListItem::GetHeight(int) {
  if (m_nHeight >= 0) return m_nHeight;
  if (m_keyHeight >= 0 && m_keyWidth == m_nWidth && m_keyContentWidth == m_nContentWidth &&
      m_keySelected == m_bSelected) {
    m_nHeight = m_keyHeight;
    return m_nHeight;
  }
  const int height = Layout();
  m_keySelected = m_bSelected;
  m_keyWidth = m_nWidth;
  m_keyContentWidth = m_nContentWidth;
  m_keyHeight = height;
  m_nHeight = height;
  return m_nHeight;
}

BOOL CPimListItem::OnPress(POINT*) {
  if (!m_bSelected) {
    SetSelected(TRUE, FALSE);
    m_bPressed = TRUE;
  }
  return TRUE;
}

BOOL CPimListItem::OnRelease(POINT*) {
  // The press found the row already selected: a second tap deselects it.
  if (m_bSelected && !m_bPressed) SetSelected(FALSE, FALSE);
  m_bPressed = FALSE;
  if (m_pOwner) m_pOwner->OnItemReleased(this);
  return TRUE;
}

void CPimListItem::BuildMenu(HMENU) {}

BOOL CPimListItem::OnCommand(UINT) { return FALSE; }

void CPimListItem::Relayout() {
  m_keyWidth = -1;
  m_keyHeight = -1;
  m_nHeight = -1;
  GetHeight(-1);
}

int ReplaceChar(CString& text, WCHAR from, WCHAR to) {
  if (from == to) return 0;
  return text.Replace(from, to);
}
