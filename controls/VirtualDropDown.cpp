#include "controls/VirtualDropDown.h"

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/ControlArt.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "graphics/TextFit.h"

namespace {

// Destination where the source is black, the brush where it is white.
const DWORD ROP_BRUSH_WHERE_SOURCE = 0xE20746;

SIZE MeasureIn(HDC dc, LPCWSTR text) {
  SIZE size = {0, 0};
  const int length = lstrlenW(text);
  if (length > 0) GetTextExtentPoint32W(dc, text, length, &size);
  return size;
}

// The arrow icon recoloured to the text colour: drawn on black, then copied
// through a brush of that colour.
void DrawArrow(HDC dc, int x, int y, int width, int height, COLORREF color) {
  HICON arrow = GetControlArt().GetDropDownIcon();
  if (!arrow || width <= 0 || height <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  if (memory && bitmap) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawIconEx(memory, 0, 0, arrow, width, height, 0, nullptr, DI_NORMAL);
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    BitBlt(dc, x, y, width, height, memory, 0, 0, ROP_BRUSH_WHERE_SOURCE);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SelectObject(memory, oldBitmap);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
}

}  // namespace

CVirtualDropDown::CVirtualDropDown()
    : m_pListener(nullptr),
      m_style(0),
      m_nCurrent(-1),
      m_bMenuOpen(FALSE),
      m_bPressedLook(FALSE),
      m_hMenu(nullptr),
      m_rcFace{0, 0, 0, 0} {}

CVirtualDropDown::~CVirtualDropDown() {
  if (m_hMenu) DestroyMenu(m_hMenu);
}

POINT* CVirtualDropDown::GetAnchorPoint(POINT* out) {
  out->x = -1;
  out->y = -1;
  return out;
}

BOOL CVirtualDropDown::OnLButtonDown(POINT* point) {
  if (CVirtualWnd::OnLButtonDown(point)) return TRUE;
  if (!PtInRect(&m_rcFace, *point)) return FALSE;
  Capture();
  m_bPressedLook = TRUE;
  Invalidate();
  return TRUE;
}

BOOL CVirtualDropDown::OnLButtonUp(POINT* point) {
  const BOOL handled = CVirtualWnd::OnLButtonUp(point);
  ReleaseCapture();
  if (m_bPressedLook) {
    m_bPressedLook = FALSE;
    ShowMenu();
    return TRUE;
  }
  return handled;
}

BOOL CVirtualDropDown::OnMouseMove(POINT* point) {
  CVirtualWnd::OnMouseMove(point);
  if (m_bPressed) {
    const BOOL inside = PtInRect(&m_rcFace, *point) ? TRUE : FALSE;
    if (inside != m_bPressedLook) {
      m_bPressedLook = inside;
      Invalidate();
    }
  }
  return TRUE;
}

BOOL CVirtualDropDown::OnKey(DWORD key) {
  if (key == VK_RETURN) {
    ShowMenu();
    return TRUE;
  }
  return CVirtualWnd::OnKey(key);
}

CString CVirtualDropDown::FaceText() const {
  if (m_bMenuOpen || m_nCurrent < 0 || m_nCurrent >= m_items.GetSize()) return m_caption;
  return m_items[m_nCurrent].secondText;
}

void CVirtualDropDown::Paint(CTextRunList* context) {
  IItemPalette& palette = GetItemPalette();
  HDC dc = context->GetDC();
  HFONT font = GetControlBoldFont();
  HFONT previousFont = context->SetFont(font);
  HGDIOBJ dcFont = SelectObject(dc, font);
  COLORREF color = palette.GetColor(3);

  const int arrowWidth = ScaleX(13), arrowHeight = ScaleY(9), margin = ScaleX(2);
  CString text = FaceText();
  SIZE size = MeasureIn(dc, text);
  const int available = (m_rect.right - m_rect.left) - arrowWidth - margin;
  if (size.cx > available) {
    int width = available > 0 ? available : 0;
    text = FitTextGdi(dc, font, text, width);
    size = MeasureIn(dc, text);
  }

  RECT face = m_rect;
  if (m_style & DROPDOWN_ALIGN_LEFT)
    face.right = face.left + size.cx + arrowWidth + margin;
  else
    face.left = face.right - size.cx - arrowWidth - margin;
  RECT textRect = face;
  int arrowX;
  if (m_style & DROPDOWN_ARROW_LEFT) {
    arrowX = face.left + margin;
    textRect.left = arrowX + arrowWidth;
  } else {
    arrowX = face.right - arrowWidth;
    // The margin the face leaves stands between the text and the arrow.
    textRect.right = arrowX - margin;
  }

  if (m_bFocused || m_bPressedLook) {
    const int inset = ScaleX(1) / 2;
    if (GetViewSettings().dbgNewHeaderSelection) {
      RECT fill = {face.left - ScaleX(3), face.top + ScaleY(1) / 2, face.right + ScaleX(3), face.bottom};
      IntersectRect(&fill, &fill, &m_rect);
      FillRect(dc, &fill, palette.GetBrush(2));
      color = palette.GetColor(4);
    } else {
      HGDIOBJ oldPen = SelectObject(dc, GetControlArt().GetPen(1));
      HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, face.left + inset, face.top + inset, face.right, face.bottom);
      SelectObject(dc, oldBrush);
      SelectObject(dc, oldPen);
    }
  }
  DrawArrow(dc, arrowX, face.top + ((face.bottom - face.top) - arrowHeight) / 2, arrowWidth, arrowHeight, color);

  m_rcFace = face;
  const COLORREF previousColor = context->SetTextColor(color);
  context->AddText(text, &textRect,
                   DT_NOPREFIX | DT_VCENTER | ((m_style & DROPDOWN_ALIGN_LEFT) ? 0 : DT_RIGHT));
  context->SetTextColor(previousColor);
  SelectObject(dc, dcFont);
  context->SetFont(previousFont);
}

void CVirtualDropDown::FillMenu(HMENU menu, int position) {
  if (position >= 0) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
      CString text = m_items[i].secondText;
      text.Replace(L"&", L"&&");
      // Identifier 0 would read as a dismissed menu.
      const int id = m_items[i].id == 0 ? -1 : m_items[i].id;
      InsertMenuW(menu, static_cast<UINT>(position + i), MF_BYPOSITION | MF_STRING,
                  static_cast<UINT_PTR>(static_cast<UINT>(id)), text);
    }
    if (m_nCurrent >= 0 && m_nCurrent < m_items.GetSize())
      CheckMenuRadioItem(menu, static_cast<UINT>(position), static_cast<UINT>(position + m_items.GetSize() - 1),
                         static_cast<UINT>(position + m_nCurrent), MF_BYPOSITION);
  }
  FillMenuExtra(menu, position);
}

int CVirtualDropDown::ShowMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  m_hMenu = menu;
  m_bMenuOpen = TRUE;
  Invalidate();
  UpdateWindow();
  FillMenu(menu, 0);
  const BOOL left = (m_style & DROPDOWN_ALIGN_LEFT) != 0;
  POINT anchor = {left ? m_rect.left : m_rect.right, m_rect.bottom};
  HWND host = GetHwnd();
  if (host) ClientToScreen(host, &anchor);
  const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | (left ? 0 : TPM_RIGHTALIGN);
  const int command = CPopupMenuTracker::Track(menu, flags, anchor.x, anchor.y, host);
  DestroyMenu(menu);
  m_hMenu = nullptr;
  m_bMenuOpen = FALSE;
  const int result = OnItemChosen(command);
  Invalidate();
  return result;
}

DWORD CVirtualDropDown::GetStyle() { return m_style; }

DWORD CVirtualDropDown::SetStyle(DWORD bits) {
  const DWORD old = m_style;
  m_style = bits;
  return old;
}

void CVirtualDropDown::AddItem(const CMenuEntry& entry) { m_items.Add(entry); }

int CVirtualDropDown::GetCount() { return m_items.GetSize(); }

void CVirtualDropDown::RemoveAllItems() {
  m_items.RemoveAll();
  // A stale index would point past the end of the next items (or at the wrong one).
  m_nCurrent = -1;
}

void CVirtualDropDown::SetCaption(LPCWSTR text) { m_caption = text ? text : L""; }

int CVirtualDropDown::OnItemChosen(int commandId) {
  if (commandId == 0 || commandId == -2) return commandId;
  if (commandId == -1) commandId = 0;
  SetSelection(commandId, TRUE);
  if (m_pListener) m_pListener->OnItemChosen(commandId);
  return commandId;
}

void CVirtualDropDown::FillMenuExtra(HMENU, int) {}

void CVirtualDropDown::SetSelection(int commandId, BOOL notify) {
  const int index = FindIndexById(commandId);
  if (index < 0 || index == m_nCurrent) return;
  m_nCurrent = index;
  Invalidate();
  UpdateWindow();
  if (notify && m_pListener) m_pListener->OnSelectionChanged(this, commandId);
}

int CVirtualDropDown::GetSelectedIndex() const {
  return m_nCurrent >= 0 && m_nCurrent < m_items.GetSize() ? m_nCurrent : -1;
}

int CVirtualDropDown::GetSelectedId() const {
  const int index = GetSelectedIndex();
  return index >= 0 ? m_items[index].id : -1;
}

int CVirtualDropDown::FindIndexById(int commandId) const {
  for (int i = 0; i < m_items.GetSize(); ++i)
    if (m_items[i].id == commandId) return i;
  return -1;
}

SIZE CVirtualDropDown::GetPreferredSize() {
  HFONT font = GetControlBoldFont();
  CString text = FaceText();
  if (text.IsEmpty()) text = L" ";
  SIZE size = MeasureControlText(font, text);
  const int arrowWidth = ScaleX(13), margin = ScaleX(2);
  const int available = (m_rect.right - m_rect.left) - arrowWidth - margin;
  if (m_rect.right > m_rect.left && size.cx > available) {
    HDC dc = GetDC(nullptr);
    int width = available > 0 ? available : 0;
    text = FitTextGdi(dc, font, text, width);
    ReleaseDC(nullptr, dc);
    size = MeasureControlText(font, text);
  }
  SIZE preferred = {size.cx + arrowWidth + margin, size.cy > ScaleY(9) ? size.cy : ScaleY(9)};
  return preferred;
}

SIZE CVirtualDropDown::GetWidestItemSize() {
  HFONT font = GetControlBoldFont();
  SIZE widest = MeasureControlText(font, m_caption.IsEmpty() ? L" " : static_cast<LPCWSTR>(m_caption));
  for (int i = 0; i < m_items.GetSize(); ++i) {
    const CString& text = m_items[i].secondText;
    const SIZE size = MeasureControlText(font, text.IsEmpty() ? L" " : static_cast<LPCWSTR>(text));
    if (size.cx > widest.cx) widest.cx = size.cx;
    if (size.cy > widest.cy) widest.cy = size.cy;
  }
  const int arrowWidth = ScaleX(13), margin = ScaleX(2);
  SIZE result = {widest.cx + arrowWidth + margin, widest.cy > ScaleY(9) ? widest.cy : ScaleY(9)};
  return result;
}
