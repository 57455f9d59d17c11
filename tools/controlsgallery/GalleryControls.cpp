#include "tools/controlsgallery/GalleryControls.h"

#include "controls/GroupElement.h"
#include "controls/TextRunList.h"

namespace {

void Fill(CTextRunList* context, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(context->GetDC(), &rect, brush);
  DeleteObject(brush);
}

void Frame(CTextRunList* context, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(context->GetDC(), &rect, brush);
  DeleteObject(brush);
}

void Text(CTextRunList* context, LPCWSTR text, const RECT& rect, COLORREF colour, UINT format) {
  HFONT font = context->SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  COLORREF previous = context->SetTextColor(colour);
  context->AddText(text, &rect, format);
  context->SetTextColor(previous);
  context->SetFont(font);
}

const UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

}  // namespace

BOOL CSampleButton::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  Capture();
  Invalidate();
  return TRUE;
}

BOOL CSampleButton::OnLButtonUp(POINT* point) {
  const BOOL inside = m_bPressed && HitTest(point);
  CVirtualWnd::OnLButtonUp(point);
  Invalidate();
  if (inside) NotifyParent(0, 0);
  return TRUE;
}

void CSampleButton::Paint(CTextRunList* context) {
  Fill(context, m_rect, m_bPressed ? RGB(40, 80, 160) : RGB(200, 210, 230));
  Frame(context, m_rect, RGB(40, 40, 40));
  Text(context, m_caption, m_rect, m_bPressed ? RGB(255, 255, 255) : RGB(0, 0, 0), kCentred);
}

BOOL CFocusBox::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  SetFocus();
  return TRUE;
}

void CFocusBox::Paint(CTextRunList* context) {
  Fill(context, m_rect, m_bFocused ? RGB(250, 220, 120) : RGB(235, 235, 235));
  Frame(context, m_rect, m_bFocused ? RGB(200, 80, 0) : RGB(150, 150, 150));
  Text(context, m_caption, m_rect, RGB(0, 0, 0), kCentred);
}

BOOL CSampleSlider::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  Capture();
  MoveKnob(point->x);
  return TRUE;
}

BOOL CSampleSlider::OnMouseMove(POINT* point) {
  if (m_bCaptured) MoveKnob(point->x);
  return TRUE;
}

BOOL CSampleSlider::OnLButtonUp(POINT* point) {
  if (m_bCaptured) MoveKnob(point->x);
  CVirtualWnd::OnLButtonUp(point);
  Invalidate();
  return TRUE;
}

void CSampleSlider::MoveKnob(int x) {
  const int width = m_rect.right - m_rect.left - 10;
  int position = width > 0 ? (x - m_rect.left - 5) * 100 / width : 0;
  m_position = position < 0 ? 0 : position > 100 ? 100 : position;
  Invalidate();
}

void CSampleSlider::Paint(CTextRunList* context) {
  const int middle = (m_rect.top + m_rect.bottom) / 2;
  Fill(context, {m_rect.left + 5, middle - 1, m_rect.right - 5, middle + 2}, RGB(120, 120, 120));
  const int x = m_rect.left + 5 + (m_rect.right - m_rect.left - 10) * m_position / 100;
  Fill(context, {x - 5, m_rect.top + 2, x + 5, m_rect.bottom - 2}, m_bCaptured ? RGB(200, 60, 60) : RGB(60, 60, 200));
}

BOOL CBlinker::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  m_running = !m_running;
  if (m_running)
    SetTimer(200);
  else
    KillTimer();
  Invalidate();
  return TRUE;
}

void CBlinker::OnTimer() {
  ++m_ticks;
  Invalidate();
}

void CBlinker::Paint(CTextRunList* context) {
  Fill(context, m_rect, m_ticks % 2 ? RGB(120, 200, 120) : RGB(200, 120, 200));
  CString caption;
  caption.Format(L"%s %d", m_running ? L"ticking" : L"stopped", m_ticks);
  Text(context, caption, m_rect, RGB(0, 0, 0), kCentred);
}

int CSampleRow::Layout() { return m_bSelected ? 28 : 20; }

void CSampleRow::Draw(CTextRunList* context, const POINT* origin) {
  RECT rect = {origin->x, origin->y, origin->x + m_nWidth, origin->y + GetHeight(-1)};
  if (m_bSelected) Fill(context, rect, RGB(40, 80, 160));
  rect.left += 6;
  Text(context, m_text, rect, m_bSelected ? RGB(255, 255, 255) : RGB(0, 0, 0), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

CSampleList::CSampleList() {
  m_items.push_back(new CGroupHeaderItem(this, L"Today"));
  m_items.push_back(new CSampleRow(this, L"Call the garage"));
  m_items.push_back(new CSampleRow(this, L"Buy bread"));
  m_items.push_back(new CGroupHeaderItem(this, L"A caption too long\nfor one line of this list"));
  m_items.push_back(new CSampleRow(this, L"Plan the week"));
}

CSampleList::~CSampleList() {
  for (CListItem* item : m_items) delete item;
}

void CSampleList::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  const int width = rect->right - rect->left;
  for (CListItem* item : m_items) item->SetSize(width, width, item->GetKind() == ITEM_KIND_GROUP_HEADER ? 30 : -1, FALSE);
}

CListItem* CSampleList::ItemAt(POINT* point) {
  int y = m_rect.top;
  for (CListItem* item : m_items) {
    const int height = item->GetHeight(-1);
    if (point->y >= y && point->y < y + height) {
      point->x -= m_rect.left;
      point->y -= y;
      return item;
    }
    y += height;
  }
  return nullptr;
}

BOOL CSampleList::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  POINT local = *point;
  m_pPressed = ItemAt(&local);
  if (m_pPressed) m_pPressed->OnPress(&local);
  Invalidate();
  return TRUE;
}

BOOL CSampleList::OnLButtonUp(POINT* point) {
  CVirtualWnd::OnLButtonUp(point);
  POINT local = *point;
  CListItem* item = ItemAt(&local);
  if (item && item == m_pPressed) item->OnRelease(&local);
  m_pPressed = nullptr;
  for (CListItem* each : m_items) each->SetSize(each->GetWidth(), each->GetContentWidth(), each->GetHeight(-1), FALSE);
  Invalidate();
  return TRUE;
}

BOOL CSampleList::OnLButtonDblClk(POINT* point) {
  CVirtualWnd::OnLButtonDblClk(point);
  POINT local = *point;
  if (CListItem* item = ItemAt(&local)) item->OnDoubleTap(&local);
  return TRUE;
}

void CSampleList::OnItemSelected(CListItem* item) {
  if (item) {
    CListItem* previous = m_pSelected;
    m_pSelected = item;
    if (previous && previous != item) previous->SetSelected(FALSE, FALSE);
  } else if (m_pSelected && !m_pSelected->IsSelected()) {
    m_pSelected = nullptr;
  }
  Invalidate();
}

void CSampleList::Paint(CTextRunList* context) {
  Fill(context, m_rect, RGB(255, 255, 255));
  RECT previousClip = context->SetClip(m_rect);
  POINT origin = {m_rect.left, m_rect.top};
  for (CListItem* item : m_items) {
    item->Draw(context, &origin);
    origin.y += item->GetHeight(-1);
  }
  context->SetClip(previousClip);
}

CElementList::CElementList() : m_top(this) {
  const wchar_t* titles[] = {L"Today", L"Later this week"};
  const wchar_t* rows[][2] = {{L"Water the plants", L"Post the letter"}, {L"Book the tickets", L"Call Anna"}};
  for (int g = 0; g < 2; ++g) {
    auto* group = new CGroupElement(&m_top, titles[g]);
    for (const wchar_t* row : rows[g]) group->AddChild(new CSampleRow(group, row));
    m_top.AddChild(group);
  }
}

void CElementList::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  const int width = rect->right - rect->left;
  m_top.SetSize(width, width, -1, FALSE);
}

BOOL CElementList::OnLButtonDown(POINT* point) {
  CVirtualWnd::OnLButtonDown(point);
  POINT local = Local(point);
  m_top.OnPress(&local);
  Invalidate();
  return TRUE;
}

BOOL CElementList::OnLButtonUp(POINT* point) {
  CVirtualWnd::OnLButtonUp(point);
  POINT local = Local(point);
  m_top.OnRelease(&local);
  Invalidate();
  return TRUE;
}

BOOL CElementList::OnLButtonDblClk(POINT* point) {
  CVirtualWnd::OnLButtonDblClk(point);
  POINT local = Local(point);
  m_top.OnDoubleTap(&local);
  Invalidate();
  return TRUE;
}

void CElementList::Paint(CTextRunList* context) {
  Fill(context, m_rect, RGB(255, 255, 255));
  RECT previousClip = context->SetClip(m_rect);
  POINT origin = {m_rect.left, m_rect.top};
  m_top.Draw(context, &origin);
  context->SetClip(previousClip);
}

CGalleryRoot::CGalleryRoot()
    : m_button(L"Press me"),
      m_boxes{CFocusBox(L"One"), CFocusBox(L"Two"), CFocusBox(L"Three")},
      m_realButton(L"Hold for a hint", 0, 0, 16) {
  AddChild(&m_button);
  AddChild(&m_blinker);
  for (CFocusBox& box : m_boxes) AddChild(&box);
  AddChild(&m_slider);
  AddChild(&m_list);
  m_dropDown.SetCaption(L"Sort by");
  m_dropDown.AddItem(CMenuEntry(0, L"No sorting"));
  m_dropDown.AddItem(CMenuEntry(1, L"Due date"));
  m_dropDown.AddItem(CMenuEntry(2, L"Priority & date"));
  m_dropDown.SetSelection(1, FALSE);
  m_dropDown.SetOwner(this);
  AddChild(&m_dropDown);
  AddChild(&m_realButton);
  m_realButton.SetHintText(L"A button's hint");
  AddChild(&m_elements);
  SetBackgroundColor(RGB(245, 245, 250));
}

void CGalleryRoot::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  const int width = rect->right - rect->left;
  RECT r = {8, 32, width / 2 - 4, 60};
  m_button.SetRect(&r);
  r = {width / 2 + 4, 32, width - 8, 60};
  m_blinker.SetRect(&r);
  for (int i = 0; i < 3; ++i) {
    r = {8 + i * (width - 16) / 3, 66, 8 + (i + 1) * (width - 16) / 3 - 4, 96};
    m_boxes[i].SetRect(&r);
  }
  r = {8, 104, width - 8, 128};
  m_slider.SetRect(&r);
  r = {8, 136, width - 8, 196};
  m_list.SetRect(&r);
  r = {8, 200, width / 2 - 4, 220};
  m_dropDown.SetRect(&r);
  r = {width / 2 + 4, 200, width - 8, 220};
  m_realButton.SetRect(&r);
  r = {8, 224, width - 8, rect->bottom - 8};
  m_elements.SetRect(&r);
}

// Left and Right move the focus among the boxes; every other key is shown.
BOOL CGalleryRoot::OnChildKey(CVirtualWnd* sender, DWORD key) {
  int focused = -1;
  for (int i = 0; i < 3; ++i)
    if (sender == &m_boxes[i]) focused = i;
  if (focused >= 0 && (key == VK_LEFT || key == VK_RIGHT)) {
    m_boxes[(focused + (key == VK_LEFT ? 2 : 1)) % 3].SetFocus();
    return TRUE;
  }
  m_lastKey.Format(key & VK_KEYUP_FLAG ? L"key up %u" : L"key %u", key & ~VK_KEYUP_FLAG);
  RECT status = {0, 0, m_rect.right, 28};
  InvalidateRect(&status);
  return TRUE;
}

void CGalleryRoot::OnSelectionChanged(CVirtualDropDown*, int commandId) {
  m_lastKey.Format(L"sort %d", commandId);
  RECT status = {0, 0, m_rect.right, 28};
  InvalidateRect(&status);
}

LRESULT CGalleryRoot::OnChildCommand(CVirtualWnd* sender, int code, LPARAM) {
  if ((sender == &m_button || sender == &m_realButton) && code == 0) ++m_clicks;
  RECT status = {0, 0, m_rect.right, 28};
  InvalidateRect(&status);
  return 0;
}

void CGalleryRoot::Paint(CTextRunList* context) {
  CString status;
  status.Format(L"clicks %d   %s", m_clicks, static_cast<LPCWSTR>(m_lastKey));
  RECT line = {8, 4, m_rect.right - 8, 28};
  Text(context, status, line, RGB(0, 0, 0), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  CVirtualWnd::Paint(context);
}
