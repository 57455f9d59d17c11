// CVirtualButton: an icon-and-caption push button with a delayed hint; a click is
// reported to the parent as NotifyParent(0, 0). CVirtualImageButton: a button
// whose face is a skin bitmap (the button band, or the header-button face).
#pragma once
#include <windows.h>

#include "controls/HintWnd.h"
#include "controls/VirtualWnd.h"
#include "platform/windowlib/String.h"

class CVirtualButton : public CVirtualWnd {
 public:
  // The icon is loaded from the resource library at the logical size, scaled
  // (sign kept); id 0: no icon.
  CVirtualButton(LPCWSTR caption, UINT iconId, int iconWidth, int iconHeight);
  ~CVirtualButton() override;

  POINT* GetAnchorPoint(POINT* out) override;
  // Also anchors the hint over the new bounds.
  void SetRect(const RECT* rect) override;
  BOOL OnLButtonDown(POINT* point) override;
  // A release after a press that stayed (or came back) on the button clicks it.
  BOOL OnLButtonUp(POINT* point) override;
  BOOL OnMouseMove(POINT* point) override;
  // Enter clicks the button.
  BOOL OnKey(DWORD key) override;
  void Paint(CTextRunList* context) override;

  void SetText(LPCWSTR caption);
  const CString& GetText() const { return m_caption; }
  // An empty text: no hint.
  void SetHintText(LPCWSTR text);
  void SetIcon(UINT iconId, int width, int height);
  void SetPressedIcon(UINT iconId, int width, int height);
  // The icon, s(2) and the caption side by side.
  SIZE GetPreferredSize();
  BOOL IsPressedLook() const { return m_bPressedLook; }
  CHintWnd& GetHint() { return m_hint; }

 protected:
  BOOL IsActive() const { return m_bPressedLook || m_bFocused; }

  CString m_caption;
  CString m_hintText;
  HICON m_hPressedIcon;
  HICON m_hIcon;
  int m_nPressedIconWidth;
  int m_nPressedIconHeight;
  int m_nIconWidth;
  int m_nIconHeight;
  BOOL m_bPressedLook;
  CHintWnd m_hint;

 private:
  void AnchorHint();
  HWND m_hHintOwner;
  RECT m_rcHint;
};

class CVirtualImageButton : public CVirtualButton {
 public:
  CVirtualImageButton();

  // Drops the cached button bitmaps, then the base.
  void RefreshSkin() override;
  void Paint(CTextRunList* context) override;
  virtual RECT* GetBoundsPtr() { return &m_rect; }

  // With the band set, the face is the skin's button band.
  void SetBand(BOOL band) { m_bBand = band; }
  BOOL GetBand() const { return m_bBand; }

 private:
  BOOL m_bBand;
};
