// IControlArt: the skin pictures the controls draw besides colours and brushes
// (those come through IItemPalette): the fold signs of group headers, the arrow of
// a drop-down selector, the frame pen and the button faces. The skin layer
// installs its own through SetControlArt; until it does, plain pictures drawn in
// system colours serve.
#pragma once
#include <windows.h>

class CDib;

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

 protected:
  ~IControlArt() = default;
};

// The art in use; never null.
IControlArt& GetControlArt();
// Installs art (null: back to the plain pictures). The caller keeps it alive while
// it is installed.
void SetControlArt(IControlArt* art);
