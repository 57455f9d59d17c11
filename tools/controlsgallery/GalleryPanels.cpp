#include "tools/controlsgallery/GalleryPanels.h"

#include <cstdio>

#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/PopupMenuTracker.h"
#include "controls/PopupWindow.h"
#include "controls/ScrollPanel.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "platform/windowlib/WindowImpl.h"
#include "tools/controlsgallery/PngWriter.h"

namespace {

const int kRows = 60;
const int kRowHeight = 20;

// A tab of numbered rows: a tap or Up/Down selects, and the selection stays in view.
class CRowsPanel : public CScrollPanel {
 public:
  int GetHeaderHeight() override { return ScaleY(24); }
  int GetContentHeight() override { return kRows * ScaleY(kRowHeight); }

  BOOL OnLButtonDown(POINT* point) override {
    if (CScrollPanel::OnLButtonDown(point)) return TRUE;
    const RECT content = GetContentRect();
    if (!PtInRect(&content, *point)) return FALSE;
    Select((point->y - content.top + GetScrollBar()->GetPos()) / ScaleY(kRowHeight));
    return TRUE;
  }
  BOOL OnKey(DWORD key) override {
    if (key == VK_DOWN || key == VK_UP) {
      Select(m_selected + (key == VK_DOWN ? 1 : -1));
      return TRUE;
    }
    return CScrollPanel::OnKey(key);
  }
  void Paint(CTextRunList* context) override {
    HDC hdc = context->GetDC();
    RECT header = {m_rect.left, m_rect.top, m_rect.right, m_rect.top + GetHeaderHeight()};
    FillRect(hdc, &header, GetSysColorBrush(COLOR_ACTIVECAPTION));
    context->SetFont(GetControlBoldFont());
    context->SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    RECT title = header;
    title.left += ScaleX(4);
    context->AddText(L"Sixty rows", &title, DT_SINGLELINE | DT_VCENTER);
    const RECT content = GetContentRect();
    const int height = ScaleY(kRowHeight);
    const int first = GetScrollBar()->GetPos() / height;
    context->SetFont(GetControlListFont());
    for (int row = first; row < kRows; ++row) {
      RECT line = {content.left, content.top + row * height - GetScrollBar()->GetPos(), content.right, 0};
      line.bottom = line.top + height;
      if (line.top >= content.bottom) break;
      RECT visible;
      if (!IntersectRect(&visible, &line, &content)) continue;
      const BOOL selected = row == m_selected;
      FillRect(hdc, &visible, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : row % 2 ? COLOR_BTNFACE : COLOR_WINDOW));
      context->SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      wchar_t text[32];
      swprintf(text, 32, L"Row %d", row + 1);
      RECT textRect = line;
      textRect.left += ScaleX(6);
      context->AddText(text, &textRect, DT_SINGLELINE | DT_VCENTER);
    }
    CScrollPanel::Paint(context);
  }

 private:
  void Select(int row) {
    if (row < 0 || row >= kRows) return;
    m_selected = row;
    const int height = ScaleY(kRowHeight);
    GetScrollBar()->ScrollIntoView(row * height, (row + 1) * height);
    Invalidate();
  }
  int m_selected = 0;
};

class CPanelHost : public CWindowImpl<CPanelHost> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsGalleryPanelHost", CS_DBLCLKS, -1)
  BEGIN_MSG_MAP(CPanelHost)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()
  CVirtualRoot root;
};

// A popup with a few lines of content and one tool button.
class CNotePopup : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"ControlsGalleryPopup")
  void PaintContent(CTextRunList* context) override {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT text = {client.left + ScaleX(6), client.top + GetTitleHeight() + ScaleY(6), client.right - ScaleX(6),
                 client.bottom};
    context->SetFont(GetControlListFont());
    context->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    context->AddText(L"A popup over the panel.\nDrag it by its title; the close button or key 117 closes it.", &text,
                     DT_WORDBREAK);
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

bool SaveHost(CPanelHost& host, const std::wstring& folder, int& number, const char* step) {
  Pump();
  RECT client;
  ::GetClientRect(host.m_hWnd, &client);
  if (!host.root.RenderBackBuffer(client)) return false;
  wchar_t name[64];
  swprintf(name, 64, L"p%02d-%hs.png", number++, step);
  return SavePng(host.root.GetBackBuffer(), (folder + L"\\" + name).c_str()) != FALSE;
}

bool SavePopup(CNotePopup& popup, const std::wstring& folder, int& number, const char* step) {
  ::InvalidateRect(popup.m_hWnd, nullptr, FALSE);
  ::SendMessageW(popup.m_hWnd, WM_PAINT, 0, 0);
  const CBitmapDC& picture = popup.GetPicture();
  const SIZE size = picture.GetSize();
  CDib dib;
  if (!picture.GetDC() || !dib.Create(size.cx, size.cy)) return false;
  BitBlt(dib.GetDC(), 0, 0, size.cx, size.cy, picture.GetDC(), 0, 0, SRCCOPY);
  wchar_t name[64];
  swprintf(name, 64, L"p%02d-%hs.png", number++, step);
  return SavePng(dib, (folder + L"\\" + name).c_str()) != FALSE;
}

}  // namespace

int RunPanelTour(const std::wstring& folder) {
  CPanelHost host;
  RECT at = {0, 0, 240, 320};
  if (!host.Create(nullptr, &at, L"Panel gallery", WS_POPUP | WS_VISIBLE)) return 1;
  CRowsPanel panel;
  host.root.AddChild(&panel);
  RECT client = {0, 0, 240, 320};
  panel.SetRect(&client);
  panel.Activate();
  host.root.RequestFocus(&panel);

  bool ok = true;
  int number = 0;
  auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) { ::SendMessageW(host.m_hWnd, message, wParam, lParam); };
  ok = ok && SaveHost(host, folder, number, "start");
  for (int i = 0; i < 16; ++i) send(WM_KEYDOWN, VK_DOWN, 0);
  ok = ok && SaveHost(host, folder, number, "keys-down");
  const RECT bar = panel.GetScrollBar()->GetBounds();
  const int thumb = panel.GetScrollBar()->GetThumbTop() + 2;
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.left, thumb));
  send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar.left, thumb + 80));
  send(WM_LBUTTONUP, 0, MAKELPARAM(bar.left, thumb + 80));
  ok = ok && SaveHost(host, folder, number, "thumb-dragged");
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.left, bar.top + 4));
  send(WM_LBUTTONUP, 0, MAKELPARAM(bar.left, bar.top + 4));
  ok = ok && SaveHost(host, folder, number, "page-up");
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 100));
  send(WM_LBUTTONUP, 0, MAKELPARAM(60, 100));
  ok = ok && SaveHost(host, folder, number, "row-tapped");

  CNotePopup popup;
  RECT place = {20, 60, 220, 180};
  ok = ok && popup.Create(host.m_hWnd, &place, L"A popup with a long title that is cut", TRUE);
  ok = ok && popup.AddToolButton(0, 0, 1, -1);
  Pump();
  ok = ok && SavePopup(popup, folder, number, "popup");
  ::SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
  ::SendMessageW(popup.m_hWnd, WM_KEYUP, VK_LEFT, 0);
  ok = ok && SavePopup(popup, folder, number, "popup-tool-focused");
  ::SendMessageW(popup.m_hWnd, WM_KEYDOWN, VK_CLOSE_KEY, 0);
  Pump();
  ok = ok && popup.IsClosed();
  ok = ok && SaveHost(host, folder, number, "popup-closed");
  if (!ok) fwprintf(stderr, L"controlsgallery: the panel tour stopped at picture %d\n", number);
  host.DestroyWindow();
  return ok ? 0 : 1;
}
