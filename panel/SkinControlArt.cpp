#include "panel/SkinControlArt.h"

#include "graphics/Bitmap.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"

namespace {

bool Fits(const CDib& dib, int width, int height) {
  return !dib.IsEmpty() && dib.GetWidth() == width && dib.GetHeight() == height;
}

// The colour table's bitmap copied into a picture of exactly its size.
CDib* Take(CBitmapDC& source, CDib& into, int width, int height) {
  SIZE size = source.GetSize();
  if (!source.GetDC() || size.cx != width || size.cy != height) return nullptr;
  RECT all = {0, 0, width, height};
  into.Clear();
  return into.CopyFromDC(source.GetDC(), all) ? &into : nullptr;
}

}  // namespace

HICON CSkinControlArt::GetSignIcon(BOOL collapsed) { return CSkin::Instance().GetSignIcon(collapsed); }
HICON CSkinControlArt::GetDropDownIcon() { return CSkin::Instance().GetDropDownIcon(); }
HPEN CSkinControlArt::GetPen(int index) { return CSkinColors::Instance().GetPen(index); }

CDib* CSkinControlArt::GetButtonBand(int width, int height) {
  if (Fits(m_band, width, height)) return &m_band;
  CSkinColors& colors = CSkinColors::Instance();
  if (width <= 0 || height <= 0 || !colors.GetAttachedWindow()) return nullptr;
  RECT rect = {0, 0, width, height};
  if (!colors.RebuildButtonBand(rect)) return nullptr;
  return Take(colors.GetButtonBand(), m_band, width, height);
}

CDib* CSkinControlArt::GetHeaderButtonFace(BOOL pressed, int width, int height) {
  CDib& face = m_faces[pressed ? 1 : 0];
  if (Fits(face, width, height)) return &face;
  CSkinColors& colors = CSkinColors::Instance();
  if (width <= 0 || height <= 0 || !colors.GetAttachedWindow()) return nullptr;
  RECT rect = {0, 0, width, height};
  colors.DrawSkinBackground(rect);
  return Take(colors.GetButtonFace(pressed), face, width, height);
}

void CSkinControlArt::DropButtonBitmaps() {
  m_band.Clear();
  m_faces[0].Clear();
  m_faces[1].Clear();
}

static_assert(int(SCROLL_PART_UP) == int(CSkin::kPartUp) && int(SCROLL_PART_DOWN) == int(CSkin::kPartDown) &&
                  int(SCROLL_PART_THUMB_TOP) == int(CSkin::kPartThumbTop) && int(SCROLL_PART_THUMB_MIDDLE) == int(CSkin::kPartThumbMiddle) &&
                  int(SCROLL_PART_THUMB_BOTTOM) == int(CSkin::kPartThumbBottom) &&
                  int(SCROLL_PART_HEADER_BUTTON) == int(CSkin::kPartHeaderButton) && int(SCROLL_PART_TRACK) == int(CSkin::kPartVertical),
              "the controls name the skin's scroll-bar parts by its numbers");

ScrollArtKind CSkinControlArt::GetScrollArtKind() {
  CSkin& skin = CSkin::Instance();
  // Asking for the seven parts loads the single strip when they are not all there.
  if (skin.HasScrollBar()) return SCROLL_ART_PARTS;
  return skin.GetScrollBitmap() ? SCROLL_ART_STRIP : SCROLL_ART_NONE;
}

SIZE CSkinControlArt::GetScrollPartSize(int part) { return CSkin::Instance().GetScrollPartSize(part); }

BOOL CSkinControlArt::DrawScrollPart(int part, CDib* target, int x, int y, HDC hdc) {
  return CSkin::Instance().DrawScrollPart(part, target, x, y, hdc) != nullptr;
}

void CSkinControlArt::DrawScrollFrame(const RECT& column) {
  if (!CSkin::Instance().HasScrollBar()) CSkinColors::Instance().DrawSkinFrame(column);
}
