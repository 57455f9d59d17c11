#include "controls/ControlArt.h"

#include "base/ScreenDpi.h"
#include "graphics/Dib.h"

namespace {

// An icon drawn by a painter in a colour on a black colour plane and a mask in
// which the painted pixels are opaque.
template <typename Painter>
HICON MakeIcon(int width, int height, HBRUSH ink, Painter paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP color = CreateCompatibleBitmap(screen, width, height);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);
  HICON icon = nullptr;
  if (dc && color && mask) {
    RECT all = {0, 0, width, height};
    HGDIOBJ old = SelectObject(dc, color);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    paint(dc, ink);
    // Mask: 1 keeps the background, 0 shows the colour plane.
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paint(dc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    ICONINFO info = {TRUE, 0, 0, mask, color};
    icon = CreateIconIndirect(&info);
  }
  if (color) DeleteObject(color);
  if (mask) DeleteObject(mask);
  if (dc) DeleteDC(dc);
  return icon;
}

void Box(HDC dc, HBRUSH brush, int left, int top, int right, int bottom) {
  RECT r = {left, top, right, bottom};
  FillRect(dc, &r, brush);
}

class CSystemArt : public IControlArt {
 public:
  ~CSystemArt() {
    for (HICON& icon : m_signs)
      if (icon) DestroyIcon(icon);
    if (m_arrow) DestroyIcon(m_arrow);
    if (m_pen) DeleteObject(m_pen);
  }

  HICON GetSignIcon(BOOL collapsed) override {
    HICON& icon = m_signs[collapsed ? 1 : 0];
    if (!icon) {
      const int w = ScaleX(9), h = ScaleY(9);
      icon = MakeIcon(w, h, GetSysColorBrush(COLOR_WINDOWTEXT), [&](HDC dc, HBRUSH brush) {
        // A framed square with a minus, and a plus for the collapsed group.
        RECT frame = {0, 0, w, h};
        FrameRect(dc, &frame, brush);
        Box(dc, brush, 2, h / 2, w - 2, h / 2 + 1);
        if (collapsed) Box(dc, brush, w / 2, 2, w / 2 + 1, h - 2);
      });
    }
    return icon;
  }

  HICON GetDropDownIcon() override {
    if (!m_arrow) {
      const int w = ScaleX(13), h = ScaleY(9);
      m_arrow = MakeIcon(w, h, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), [&](HDC dc, HBRUSH brush) {
        // A downward triangle, one row narrower on each side per line.
        const int rows = (w + 1) / 2 < h ? (w + 1) / 2 : h;
        const int top = (h - rows) / 2;
        for (int i = 0; i < rows; ++i) Box(dc, brush, i, top + i, w - i, top + i + 1);
      });
    }
    return m_arrow;
  }

  HPEN GetPen(int) override {
    if (!m_pen) m_pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    return m_pen;
  }

  CDib* GetButtonBand(int width, int height) override {
    if (!Fits(m_band, width, height)) {
      m_band.Clear();
      if (!m_band.CreateFilled(width, height, GetSysColor(COLOR_BTNFACE))) return nullptr;
      Box(m_band.GetDC(), GetSysColorBrush(COLOR_BTNSHADOW), 0, height - 1, width, height);
    }
    return &m_band;
  }

  CDib* GetHeaderButtonFace(BOOL pressed, int width, int height) override {
    CDib& face = m_faces[pressed ? 1 : 0];
    if (!Fits(face, width, height)) {
      face.Clear();
      if (!face.CreateFilled(width, height, GetSysColor(pressed ? COLOR_HIGHLIGHT : COLOR_BTNFACE))) return nullptr;
      RECT all = {0, 0, width, height};
      FrameRect(face.GetDC(), &all, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    return &face;
  }

  void DropButtonBitmaps() override {
    m_band.Clear();
    m_faces[0].Clear();
    m_faces[1].Clear();
  }

  // Plain art has no scroll-bar pictures: the bar is a line and a thumb.
  ScrollArtKind GetScrollArtKind() override { return SCROLL_ART_NONE; }
  SIZE GetScrollPartSize(int) override { return {0, 0}; }
  BOOL DrawScrollPart(int, CDib*, int, int, HDC) override { return FALSE; }
  void DrawScrollFrame(const RECT&) override {}

 private:
  static bool Fits(CDib& dib, int width, int height) {
    return dib.GetWidth() == width && dib.GetHeight() == height && width > 0 && height > 0;
  }

  HICON m_signs[2] = {};
  HICON m_arrow = nullptr;
  HPEN m_pen = nullptr;
  CDib m_band;
  CDib m_faces[2];
};

CSystemArt g_systemArt;
IControlArt* g_art = &g_systemArt;

}  // namespace

IControlArt& GetControlArt() { return *g_art; }

void SetControlArt(IControlArt* art) { g_art = art ? art : &g_systemArt; }
