// CSkinColors: the process-wide table of the colours, brushes and pens the panel
// and its controls draw with, following the device's Today theme, and the bitmaps
// made from the panel background that the Today screen paints: the dotted
// separator mask, the light bands, the header-button faces and the frame of the
// single scroll-bar strip. Also the readers of the theme colours.
#pragma once
#include <windows.h>

#include "base/BitmapDC.h"
#include "graphics/Dib.h"

class CSkinColors {
 public:
  // Colour entries; the same index names the cached brush and pen.
  enum { kTheme = 1, kHighlight = 2, kText = 3, kHighlightText = 4, kFrame = 5, kStatus = 6, kEntries = 7 };

  // Where entry 6 comes from: the appointment status colour reader of the PIM
  // layer, which the program installs at start. Without one the entry stays 0.
  typedef COLORREF (*PFN_STATUS_COLOR)(int status);
  static void SetStatusColorReader(PFN_STATUS_COLOR reader);

  static CSkinColors& Instance();
  virtual ~CSkinColors();
  CSkinColors(const CSkinColors&) = delete;
  CSkinColors& operator=(const CSkinColors&) = delete;

  // Brushes of entries 1 to 6 (1 to 4 from the live sources, 5 and 6 from the
  // stored entries), made on first demand and owned here; null for others.
  HBRUSH GetSolidBrush(int index);
  // Pens of colours 1 to 4, (dpiY + 48) / 96 wide; null for others.
  HPEN GetPen(int index);
  COLORREF Get(int index) const;

  void LoadSystemColors();
  void ReloadColors();
  void ReleaseObjects();
  void ReleaseAll();
  // The options program's names.
  void DeleteBrushes() { ReleaseObjects(); }

  // The window (the panel's) whose client area the background covers.
  void AttachWindow(HWND window);
  HWND GetAttachedWindow() const { return m_window; }
  // The background, rebuilt first when dirty or missing (needs an attached window).
  CBitmapDC& GetBackground();
  CBitmapDC& Refresh() { return GetBackground(); }
  // Nonzero when a background was made.
  BOOL RebuildBackground(BOOL force);
  // True while the Today screen is asked to paint its watermark for us.
  static BOOL IsDrawingWatermark();
  // The client area of window with the Today screen's watermark painted in; made once.
  CDib* GetTodayBackground(HWND window);

  // rect of hdc (of the background when null) at the top left of the scratch
  // image, which only grows.
  CDib* CopyToScratch(const RECT& rect, HDC hdc);
  CDib* BlitClipped(const RECT& rect, HDC hdc) { return CopyToScratch(rect, hdc); }

  HDC GetSeparatorMaskDC() { return m_separatorMask.GetDC(); }
  CBitmapDC& GetSeparatorMask() { return m_separatorMask; }
  // brush through the mask's white pixels; the destination stays under its black ones.
  static BOOL DrawMaskedBrush(HDC dst, int x, int y, int width, int height, HDC mask, int sx, int sy, HBRUSH brush);

  // A height of 0 or less only clears the band.
  BOOL RebuildListBand(int height, const RECT& rect);
  BOOL RebuildButtonBand(const RECT& rect);
  CBitmapDC& GetListBand() { return m_listBand; }
  CBitmapDC& GetButtonBand() { return m_buttonBand; }
  CBitmapDC& GetFrame() { return m_frame; }

  // The frame of the single scroll-bar strip at rect's position of the background
  // (cleared when the skin has a part scroll bar); also sets entry 5.
  void DrawSkinFrame(const RECT& rect);
  // The normal and the pressed header-button face at rect's size.
  void DrawSkinBackground(const RECT& rect);
  CBitmapDC& GetButtonFace(BOOL pressed) { return pressed ? m_buttonPressed : m_buttonNormal; }

  BOOL IsHighRes();

 private:
  CSkinColors();
  COLORREF LiveColor(int index);
  BOOL MakeBand(CBitmapDC& band, int x, int y, int width, int height);
  BOOL DibToBitmapDC(CDib& dib, CBitmapDC& into);
  BOOL CopyBackground(CDib& into, int x, int y, int width, int height);
  void MakeSeparatorMask(int width);
  BOOL AskForWatermark(HWND window, HDC hdc, const RECT& client);

  int m_highRes;
  RECT m_windowRect;
  HBRUSH m_brushes[kEntries];
  HPEN m_pens[kEntries];
  COLORREF m_colors[kEntries];
  CBitmapDC m_spare1;
  CBitmapDC m_spare2;
  CBitmapDC m_separatorMask;
  CBitmapDC m_frame;
  CBitmapDC m_background;
  CDib m_todayBackground;
  CDib m_scratch;
  CBitmapDC m_listBand;
  CBitmapDC m_buttonBand;
  CBitmapDC m_buttonNormal;
  CBitmapDC m_buttonPressed;
  HWND m_window;
  BOOL m_dirty;
};

// Theme colour index of HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Color": value "<index>",
// else (not on a version 3 Pocket PC) entry index of "SHColor" or "DefSHColor".
// The library only opens "SOFTWARE\Microsoft\Color"; the options program creates it
// when missing and calls SetThemeColorKeyCreate(TRUE) at start.
COLORREF GetThemeColor(int index, COLORREF defaultColor);
void SetThemeColorKeyCreate(BOOL create);
BOOL GetThemeColorKeyCreate();
inline COLORREF LoadThemeColors(int index, COLORREF defaultColor) { return GetThemeColor(index, defaultColor); }
// A Pocket PC of system version 3; a Pocket PC of 4.21 or later. Asked once each.
BOOL IsPocketPCVersion3();
BOOL IsTodayThemePlatform();
// Forgets both answers, for tests that switch the device.
void ResetThemePlatformTests();
// The shell's "Worker" window that answers the Today colours, or null.
HWND FindTodayWorkerWindow();
inline HWND FindDesktopWorker() { return FindTodayWorkerWindow(); }
// The Today colour of code (0x10000004 text, 0x10000022 highlight, 0x10000023
// highlighted text). Without the Worker window, the system colour that stands for it.
COLORREF GetTodayColor(DWORD code);
