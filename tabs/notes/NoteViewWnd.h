// CNoteViewWnd: the popup that previews a note beside the row that was tapped: text
// in a RichInk control, ink in an InkX control, drawings in a PhatPad view. Open and
// delete buttons act on the note it holds; the text size is the viewers' shared zoom
// setting; keys the control does not need go on to the owner window.
#pragma once
#include <windows.h>

#include "controls/PopupWindow.h"
#include "platform/windowlib/String.h"

class CNoteFile;
class CRefObject;

// Ink data as the lists hand it over: the viewer keeps its own copy.
struct NOTE_INK_DATA {
  DWORD length;
  const BYTE* bytes;
};

class CNoteViewWnd : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoNoteWindow_1.0")

  enum Mode { kModeNoteFile = 0, kModePhatNote = 1, kModeNothing = 2 };
  enum { kDefaultWidth = 170, kDefaultHeight = 150 };
  enum : UINT {
    kCmdOpen = 1001,
    kCmdDelete = 1003,
    kCmdZoomFirst = 1900,  // 1900-1904: zoom levels 0-4
    kCmdZoomLast = 1904,
  };
  // Window messages of the RichInk and InkX controls the viewer sends and swallows.
  enum : UINT { kMsgZoomPercent = 1314, kMsg1353 = 1353, kMsgViewAttributes = 1356, kMsgSwallowed = 1074 };
  enum : UINT { kSipPrefId = 200, kControlId = 100 };

  CNoteViewWnd();
  ~CNoteViewWnd() override;

  // Opens at the anchor (owner client coordinates) and shows the text; an empty or
  // missing text shows text 334. A text beginning with '{' is tried as RTF first.
  BOOL ShowText(HWND parent, const RECT& anchor, LPCWSTR caption, LPCWSTR text);
  // Opens at the anchor and shows the ink data (copied) in InkX, or with phatPad the
  // file in a PhatPad view.
  BOOL ShowInk(HWND parent, const RECT& anchor, LPCWSTR caption, const NOTE_INK_DATA* ink, BOOL phatPad,
               LPCWSTR path);
  // Holds one reference to the record shown (mode 0 or 1), dropping the one held.
  void HoldNote(CNoteFile* note);
  void HoldPhatNote(CRefObject* record);
  // Drops the held record (mode 2) and lets go of the PhatPad view library.
  void Release();

  // Width and height in logical pixels; a negative value opens the popup to the left
  // of (above) the anchor instead of from its left edge (below it).
  void SetDefaultSize(int width, int height) {
    m_defaultWidth = width;
    m_defaultHeight = height;
  }
  // The window rectangle for an anchor: from the anchor's left edge rightwards (its
  // right edge leftwards for a negative width), from its bottom downwards (its top
  // upwards for a negative height), the size scaled to the screen's dpi.
  static RECT PlaceAtAnchor(const RECT& anchor, int width, int height);

  int GetMode() const { return m_mode; }
  CRefObject* GetHeld() const { return m_held; }
  // The RichInk, InkX or PhatPad view window; the window that takes the keys (the
  // RichInk itself, InkX's inner text window).
  HWND GetControl() const { return m_control; }
  HWND GetKeyWindow() const { return m_keyWindow; }
  HWND GetPhatPadView() const { return m_phatPadView; }
  const RECT& GetContentRect() const { return m_content; }
  DWORD GetInkLength() const { return m_inkLength; }
  const BYTE* GetInkData() const { return m_ink; }
  // 1 for ink notes, 2 for text notes (the zoom settings' rows).
  int GetZoomRow() const { return m_zoomRow; }

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  BOOL OnCommand(UINT command) override;
  void OnPopupDestroy() override;

 private:
  BOOL Open(HWND parent, const RECT& anchor, LPCWSTR caption);
  void StreamText(LPCWSTR text);
  void SendViewAttributes(UINT pageStyle, UINT inkLayer);
  void Subclass(HWND window);
  void Unsubclass();
  void FreeInk();
  void DropHeld();
  void DestroyPhatPadView();
  void ShowTextMenu(POINT screen);
  void AdjustInkMenu(HMENU menu);
  HMENU MakeTextSizeMenu();
  BOOL RunMenuCommand(UINT command);
  void FailShow();
  static LRESULT CALLBACK KeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  BYTE* m_ink = nullptr;
  DWORD m_inkLength = 0;
  BOOL m_textActive = FALSE;
  RECT m_content = {};
  HWND m_control = nullptr;
  HWND m_keyWindow = nullptr;
  WNDPROC m_keyWindowProc = nullptr;
  HWND m_phatPadView = nullptr;
  int m_mode = kModeNothing;
  CRefObject* m_held = nullptr;
  int m_defaultWidth = kDefaultWidth;
  int m_defaultHeight = kDefaultHeight;
  int m_zoomRow = 2;
};
