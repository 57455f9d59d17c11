// The fonts every list row, header, popup and dialog draws with, made once from
// the user's font settings under the product key and shared by all drawing
// calls. One object per process; its constructor publishes it (GetFontCache).
// Fonts handed out stay owned by the cache and live until the next LoadSettings.
#pragma once
#include <windows.h>

#include "graphics/FontInfo.h"
#include "platform/windowlib/String.h"

class CFontCache {
 public:
  // Reads the screen dpi, publishes this object and loads the settings.
  CFontCache();
  // Frees every font, restores and releases the screen DC, withdraws itself.
  ~CFontCache();
  CFontCache(const CFontCache&) = delete;
  CFontCache& operator=(const CFontCache&) = delete;

  // With reload set, reads "UseSystem" again and with it the system font size;
  // in every case drops every cached font so each is made anew on next use.
  void LoadSettings(BOOL reload);

  // The list fonts' LOGFONT height: "FontHeight" (or the system's size) in
  // logical units, scaled to the screen with half a logical pixel taken off.
  int GetListFontHeight();
  // A list-font height in logical units scaled to the screen the same way.
  static int ScaleListHeight(int logical);
  // The shell's text size (11 pixels when it cannot be asked) as a "Tahoma"
  // font measured on the given DC, in logical units to the nearest unit.
  static int MeasureSystemListHeight(HDC screen);
  // List font of style 0 normal, 1 bold, 2 italic, with or without strike-out
  // (struck-out italic is drawn upright).
  CFontInfo* GetStyleFont(int style, BOOL strikeOut);
  CFontInfo* Get(int style, BOOL strikeOut) { return GetStyleFont(style, strikeOut); }
  CFontInfo* GetBoldFont();
  HFONT GetBoldFontHandle();
  HFONT GetHeaderFont(BOOL bold);
  HFONT GetBoldTitleFont();
  HFONT GetSmallFont(BOOL bold);
  HFONT GetPointFont8();
  // The device's menu font for the menu bar or the pop-up menus: the stock
  // system font with face, weight and italic from the device's menu keys,
  // which are only read.
  HFONT GetSystemMenuFont(BOOL popup);

  // The screen DC, kept (and its state saved) from the first call on.
  HDC GetDC();

  // A font of the "ClearType" quality owned by the caller.
  HFONT CreateFontEx(LPCWSTR face, int height, int weight, BOOL italic);
  // "FontName" (default "Tahoma").
  CString GetFontFaceName();
  // The LOGFONT quality "ClearType" asks for.
  BYTE GetClearTypeQuality();

  BOOL GetUseSystem() const { return m_useSystem; }
  // The system font's height in logical units (valid while "UseSystem" is set).
  int GetSystemListHeight() const { return m_systemListHeight; }

 private:
  void FreeFonts();
  LOGFONTW ListLogFont(int weight, BOOL italic, BOOL strikeOut);
  CFontInfo* MakeFontInfo(const LOGFONTW& font);
  static void FreeFont(HFONT& font);

  CFontInfo* m_boldFont = nullptr;
  CFontInfo* m_styleFonts[6] = {};
  HFONT m_boldFontHandle = nullptr;
  HFONT m_headerFonts[2] = {};
  HFONT m_boldTitleFont = nullptr;
  HFONT m_smallFonts[2] = {};
  HFONT m_menuBarFont = nullptr;
  HFONT m_popupMenuFont = nullptr;
  HFONT m_pointFont8 = nullptr;
  HDC m_screen = nullptr;
  int m_savedState = 0;
  BOOL m_useSystem = FALSE;
  int m_systemListHeight = 0;
};

// The process's font cache; null before one is made.
CFontCache* GetFontCache();

// Gives every child control of a dialog or page the header fonts and the
// device's heights: push buttons and plain labels bold, everything else
// regular; check boxes and radio buttons on an odd screen row move up one
// pixel; spin, combo and edit controls are held to their logical heights.
void ApplyDialogFonts(CFontCache* cache, HWND dialog);

// FillRect of (x, y, x + width, y + height).
void FillRectColor(HDC dc, int x, int y, int width, int height, HBRUSH brush);
