// Cost of one full repaint of a scrolling panel of 200 rows (a filled band and a
// text per row, the scroll bar, into the host's back buffer) beside one BitBlt of
// the same area from that back buffer in the same run. Exits with 1 when the
// repaint costs more than kLimit times the copy.
#include <cstdio>

#include "bench/BenchClock.h"
#include "base/ScreenDpi.h"
#include "controls/ControlFonts.h"
#include "controls/ScrollPanel.h"
#include "controls/TextRunList.h"
#include "controls/VirtualRoot.h"
#include "graphics/Dib.h"
#include "platform/windowlib/WindowImpl.h"

namespace {

const int kRows = 200;
const int kRowHeight = 20;
const int kWidth = 240;
const int kHeaderHeight = 24;
const int kHeight = kHeaderHeight + kRows * kRowHeight;
const double kLimit = 20.0;

// Every row visible: the panel is as high as its content.
class CRowsPanel : public CScrollPanel {
 public:
  int GetHeaderHeight() override { return kHeaderHeight; }
  int GetContentHeight() override { return kRows * kRowHeight; }
  void Paint(CTextRunList* context) override {
    HDC hdc = context->GetDC();
    context->SetFont(GetControlListFont());
    context->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    for (int row = 0; row < kRows; ++row) {
      RECT line = {m_rect.left, kHeaderHeight + row * kRowHeight, m_rect.right, kHeaderHeight + (row + 1) * kRowHeight};
      FillRect(hdc, &line, GetSysColorBrush(row % 2 ? COLOR_BTNFACE : COLOR_WINDOW));
      wchar_t text[32];
      swprintf(text, 32, L"Row %d of the panel", row + 1);
      line.left += 6;
      context->AddText(text, &line, DT_SINGLELINE | DT_VCENTER);
    }
    CScrollPanel::Paint(context);
  }
};

class CHost : public CWindowImpl<CHost> {
 public:
  DECLARE_WND_CLASS_EX(L"PanelPaintBenchHost", 0, -1)
  BEGIN_MSG_MAP(CHost)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()
  CVirtualRoot root;
};

}  // namespace

int main() {
  SetScreenDpi(96, 96);
  CHost host;
  RECT at = {0, 0, kWidth, kHeight};
  if (!host.Create(nullptr, &at, L"", WS_POPUP)) return 2;
  RECT client;
  ::GetClientRect(host.m_hWnd, &client);
  CRowsPanel panel;
  host.root.AddChild(&panel);
  panel.SetRect(&client);
  panel.Activate();

  const double repaint = bench::SecondsPerRun([&] { host.root.RenderBackBuffer(client); });
  CDib screen;
  if (!screen.Create(client.right, client.bottom)) return 2;
  HDC from = host.root.GetBackBuffer().GetDC();
  const double blit = bench::SecondsPerRun(
      [&] { BitBlt(screen.GetDC(), 0, 0, client.right, client.bottom, from, 0, 0, SRCCOPY); });
  host.DestroyWindow();

  const double ratio = repaint / blit;
  printf("panel of %d rows, %d x %d pixels\n", kRows, static_cast<int>(client.right), static_cast<int>(client.bottom));
  printf("BitBlt of the area:   %10.1f us\n", blit * 1e6);
  printf("full repaint:         %10.1f us  (ratio %.1f, limit %.0f)\n", repaint * 1e6, ratio, kLimit);
  return ratio > kLimit ? 1 : 0;
}
