#include "controls/Buttons.h"

#include "base/ScreenDpi.h"
#include "controls/ControlArt.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "platform/windowlib/Module.h"

namespace {

HICON LoadButtonIcon(UINT id, int width, int height) {
  if (id == 0) return nullptr;
  return static_cast<HICON>(LoadImageW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                       width < 0 ? -width : width, height < 0 ? -height : height, 0));
}

void FillBar(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  RECT bar = {left, top, right, bottom};
  FillRect(dc, &bar, brush);
}

}  // namespace

CVirtualButton::CVirtualButton(LPCWSTR caption, UINT iconId, int iconWidth, int iconHeight)
    : m_caption(caption ? caption : L""),
      m_hPressedIcon(nullptr),
      m_hIcon(nullptr),
      m_nPressedIconWidth(0),
      m_nPressedIconHeight(0),
      m_nIconWidth(0),
      m_nIconHeight(0),
      m_bPressedLook(FALSE),
      m_hHintOwner(nullptr),
      m_rcHint{0, 0, 0, 0} {
  SetIcon(iconId, iconWidth, iconHeight);
}

CVirtualButton::~CVirtualButton() {
  if (m_hIcon) DestroyIcon(m_hIcon);
  if (m_hPressedIcon) DestroyIcon(m_hPressedIcon);
}

POINT* CVirtualButton::GetAnchorPoint(POINT* out) {
  out->x = -1;
  out->y = -1;
  return out;
}

void CVirtualButton::SetIcon(UINT iconId, int width, int height) {
  if (m_hIcon) DestroyIcon(m_hIcon);
  m_nIconWidth = ScaleX(width);
  m_nIconHeight = ScaleY(height);
  m_hIcon = LoadButtonIcon(iconId, m_nIconWidth, m_nIconHeight);
}

void CVirtualButton::SetPressedIcon(UINT iconId, int width, int height) {
  if (m_hPressedIcon) DestroyIcon(m_hPressedIcon);
  m_nPressedIconWidth = ScaleX(width);
  m_nPressedIconHeight = ScaleY(height);
  m_hPressedIcon = LoadButtonIcon(iconId, m_nPressedIconWidth, m_nPressedIconHeight);
}

void CVirtualButton::SetText(LPCWSTR caption) {
  m_caption = caption ? caption : L"";
  Invalidate();
}

void CVirtualButton::AnchorHint() {
  HWND owner = GetHwnd();
  if (m_hintText.IsEmpty() || !owner) {
    m_hint.Destroy();
    m_hHintOwner = nullptr;
    return;
  }
  // The same hint over the same place needs no new window.
  if (m_hint.IsCreated() && owner == m_hHintOwner && EqualRect(&m_rcHint, &m_rect)) return;
  m_hint.SetText(owner, &m_rect, m_hintText);
  m_hHintOwner = owner;
  m_rcHint = m_rect;
}

void CVirtualButton::SetHintText(LPCWSTR text) {
  m_hintText = text ? text : L"";
  m_hint.Destroy();
  AnchorHint();
}

void CVirtualButton::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  AnchorHint();
}

BOOL CVirtualButton::OnLButtonDown(POINT* point) {
  if (CVirtualWnd::OnLButtonDown(point)) return TRUE;
  // A button that joined its tree after getting its hint has its window now.
  if (!m_hintText.IsEmpty() && !m_hint.IsCreated()) AnchorHint();
  m_hint.StartShow(point->x, point->y);
  Capture();
  m_bPressedLook = TRUE;
  Invalidate();
  return TRUE;
}

BOOL CVirtualButton::OnLButtonUp(POINT* point) {
  const BOOL wasPressed = m_bPressed;
  if (CVirtualWnd::OnLButtonUp(point)) return TRUE;
  m_hint.Hide(point->x, point->y);
  if (!wasPressed) return FALSE;
  ReleaseCapture();
  if (m_bPressedLook) {
    m_bPressedLook = FALSE;
    Invalidate();
    NotifyParent(0, 0);
  }
  return TRUE;
}

BOOL CVirtualButton::OnMouseMove(POINT* point) {
  const BOOL handled = CVirtualWnd::OnMouseMove(point);
  m_hint.Track(point->x, point->y);
  if (!m_bPressed) return handled;
  const BOOL inside = PtInRect(&m_rect, *point) ? TRUE : FALSE;
  if (inside != m_bPressedLook) {
    m_bPressedLook = inside;
    Invalidate();
  }
  return TRUE;
}

BOOL CVirtualButton::OnKey(DWORD key) {
  if (key == VK_RETURN) {
    NotifyParent(0, 0);
    return TRUE;
  }
  return CVirtualWnd::OnKey(key);
}

void CVirtualButton::Paint(CTextRunList* context) {
  HDC dc = context->GetDC();
  const BOOL active = IsActive();
  if (active && !m_hPressedIcon) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const int h = ScaleY(1), w = ScaleX(1);
    FillBar(dc, m_rect.left, m_rect.top, m_rect.right, m_rect.top + h, black);
    FillBar(dc, m_rect.left, m_rect.bottom - h, m_rect.right, m_rect.bottom, black);
    FillBar(dc, m_rect.left, m_rect.top, m_rect.left + w, m_rect.bottom, black);
    FillBar(dc, m_rect.right - w, m_rect.top, m_rect.right, m_rect.bottom, black);
  }
  const BOOL pressedIcon = active && m_hPressedIcon;
  HICON icon = pressedIcon ? m_hPressedIcon : m_hIcon;
  const int iconWidth = pressedIcon ? m_nPressedIconWidth : m_nIconWidth;
  const int iconHeight = pressedIcon ? m_nPressedIconHeight : m_nIconHeight;
  if (icon)
    DrawIconEx(dc, m_rect.left, m_rect.top + ((m_rect.bottom - m_rect.top) - iconHeight) / 2, icon, iconWidth,
               iconHeight, 0, nullptr, DI_NORMAL);
  if (!m_caption.IsEmpty()) {
    HFONT previous = context->SetFont(GetControlListFont());
    RECT text = {m_rect.left + (icon ? iconWidth : 0) + ScaleX(2), m_rect.top, m_rect.right, m_rect.bottom};
    context->AddText(m_caption, &text, DT_VCENTER);
    context->SetFont(previous);
  }
}

SIZE CVirtualButton::GetPreferredSize() {
  SIZE size = {m_nIconWidth, m_nIconHeight > m_nPressedIconHeight ? m_nIconHeight : m_nPressedIconHeight};
  if (!m_caption.IsEmpty()) {
    const SIZE caption = MeasureControlText(GetControlListFont(), m_caption);
    size.cx += ScaleX(2) + caption.cx;
    if (caption.cy > size.cy) size.cy = caption.cy;
  }
  return size;
}

CVirtualImageButton::CVirtualImageButton() : CVirtualButton(nullptr, 0, 16, 16), m_bBand(FALSE) {}

void CVirtualImageButton::RefreshSkin() {
  GetControlArt().DropButtonBitmaps();
  CVirtualButton::RefreshSkin();
}

void CVirtualImageButton::Paint(CTextRunList* context) {
  const RECT& clip = context->GetClip();
  if (!IsRectEmpty(&clip) && clip.top > m_rect.bottom) return;
  const int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
  if (width <= 0 || height <= 0) return;
  HDC dc = context->GetDC();
  IControlArt& art = GetControlArt();
  if (m_bBand) {
    CDib* band = art.GetButtonBand(width, height);
    if (!band || !band->GetDC()) return;
    if (!IsActive()) {
      BitBlt(dc, m_rect.left, m_rect.top, width, height, band->GetDC(), 0, 0, SRCCOPY);
    } else {
      FillRect(dc, &m_rect, GetItemPalette().GetBrush(2));
      const int line = ScaleY(1);
      BitBlt(dc, m_rect.left, m_rect.bottom - line, width, line, band->GetDC(), 0, height - line, SRCCOPY);
    }
    return;
  }
  CDib* face = art.GetHeaderButtonFace(IsActive(), width, height);
  if (face && face->GetDC()) BitBlt(dc, m_rect.left, m_rect.top, width, height, face->GetDC(), 0, 0, SRCCOPY);
}
