#include "panel/SkinControlArt.h"

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
