// IControlArt: the skin pictures the controls draw besides colours and brushes
// (those come through IItemPalette): the fold signs of group headers, the arrow of
// a drop-down selector, the frame pen and the button faces. The skin layer
// installs its own through SetControlArt; until it does, plain pictures drawn in
// system colours serve.
#pragma once
#include <windows.h>

class CDib;

// The scroll bar's pictures, by part.
enum ScrollArtPart {
  SCROLL_PART_UP,
  SCROLL_PART_DOWN,
  SCROLL_PART_THUMB_TOP,
  SCROLL_PART_THUMB_MIDDLE,
  SCROLL_PART_THUMB_BOTTOM,
  SCROLL_PART_HEADER_BUTTON,
  SCROLL_PART_TRACK,
};
// What the scroll bar is drawn from: nothing (a line and a plain thumb), a single
// strip (arrows and thumb caps; track and thumb middle drawn in the palette's
// brushes), or every part including the track.
enum ScrollArtKind { SCROLL_ART_NONE, SCROLL_ART_STRIP, SCROLL_ART_PARTS };

class IControlArt {
 public:
  // The 9 x 9 (logical) fold sign: collapsed TRUE the "expand" sign of a folded
  // group, FALSE the "collapse" sign of an open one. Owned by the art; may be null.
  virtual HICON GetSignIcon(BOOL collapsed) = 0;
  // The 13 x 9 (logical) arrow of a drop-down selector, light on a dark ground
  // (the selector recolours it to its text colour). Owned by the art; may be null.
  virtual HICON GetDropDownIcon() = 0;
  // Skin pen by index (owned by the art): 1 frames a focused selector.
  virtual HPEN GetPen(int index) = 0;
  // The button band at exactly this size, rebuilt when the size differs; null
  // when there is none. Owned by the art until the next call or DropButtonBitmaps.
  virtual CDib* GetButtonBand(int width, int height) = 0;
  // The header-button face of a state at exactly this size (as the band).
  virtual CDib* GetHeaderButtonFace(BOOL pressed, int width, int height) = 0;
  // Forgets the cached button bitmaps (the skin changed).
  virtual void DropButtonBitmaps() = 0;
  virtual ScrollArtKind GetScrollArtKind() = 0;
  // {0, 0} for a part the art does not have.
  virtual SIZE GetScrollPartSize(int part) = 0;
  // Into the target's pixels when there is one, else onto hdc; FALSE when nothing
  // was drawn.
  virtual BOOL DrawScrollPart(int part, CDib* target, int x, int y, HDC hdc) = 0;
  // The frame of the scroll-bar column (a panel position) for art without its own
  // track; nothing for art that has one.
  virtual void DrawScrollFrame(const RECT& column) = 0;

 protected:
  ~IControlArt() = default;
};

// The art in use; never null.
IControlArt& GetControlArt();
// Installs art (null: back to the plain pictures). The caller keeps it alive while
// it is installed.
void SetControlArt(IControlArt* art);
