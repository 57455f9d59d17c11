// The gallery's letter page (controlsgallery --letters): a list of names above the
// phone-keypad letter bar; tapping the bar's cells types letter groups and the
// list keeps only the names with a word that begins with them.
#pragma once
#include <windows.h>

#include "controls/LetterBar.h"
#include "controls/VirtualRoot.h"
#include "platform/windowlib/String.h"

// The bar as it is on a 240-pixel-wide device screen, whatever the desktop's is.
class CGalleryLetterBar : public CLetterBar {
 public:
  explicit CGalleryLetterBar(ILetterBarListener* listener) : CLetterBar(listener, nullptr) {}

 protected:
  int GetScreenWidth() override;
};

class CLetterGalleryRoot : public CVirtualRoot, public ILetterBarListener {
 public:
  CLetterGalleryRoot();
  void SetRect(const RECT* rect) override;
  void Paint(CTextRunList* context) override;
  void OnLetterBarChanged(int code) override;

 private:
  CGalleryLetterBar m_bar;
  CString m_last;
};

// The page's built-in tour, as script lines.
extern const char kLetterTourScript[];
