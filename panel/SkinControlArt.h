// CSkinControlArt: the current skin serving the controls' pictures: its fold signs
// and drop-down arrow, the colour table's pens, and button bitmaps made from the
// panel's background (none before the colour table has the panel's window).
#pragma once
#include "controls/ControlArt.h"
#include "graphics/Dib.h"

class CSkinControlArt : public IControlArt {
 public:
  HICON GetSignIcon(BOOL collapsed) override;
  HICON GetDropDownIcon() override;
  HPEN GetPen(int index) override;
  CDib* GetButtonBand(int width, int height) override;
  CDib* GetHeaderButtonFace(BOOL pressed, int width, int height) override;
  void DropButtonBitmaps() override;
  // The skin's seven scroll-bar parts, else the single strip (the skin's or the
  // resource library's).
  ScrollArtKind GetScrollArtKind() override;
  SIZE GetScrollPartSize(int part) override;
  BOOL DrawScrollPart(int part, CDib* target, int x, int y, HDC hdc) override;
  void DrawScrollFrame(const RECT& column) override;

 private:
  CDib m_band;
  CDib m_faces[2];
};
