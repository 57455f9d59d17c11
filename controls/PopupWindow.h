// CPopupWindow: the small top-level window every popup is made of (month calendar,
// category picker, contact popup, message preview, note viewer, time-span popup).
// One real window of the kind's own class and a windowless root that fills it and
// holds the title-bar close button, the title-bar tool buttons and the content. The
// window draws a title band, is dragged by it, and closes on deactivation, on
// WM_CANCELMODE, on the close button and on the close key; closing tells the owner
// window ("QelTarvo_CalendarWndClosed", only for the close button and the key) and
// the owner control (virtual code POPUP_CLOSED_CODE, on every close).
//
// A popup kind derives, names its window class and supplies its hooks:
//
//   class CMyPopup : public CPopupWindow {
//    public:
//     DECLARE_POPUP_CLASS(L"QelTarvoNoteWindow_1.0")
//     BOOL OnCommand(UINT command) override;   // tool-button commands
//     void OnPopupDestroy() override;          // its clean-up
//     void PaintContent(CTextRunList* context) override;
//   };
//
// Content controls are added to GetRoot() after Create.
#pragma once
#include <windows.h>

#include "base/BitmapDC.h"
#include "controls/Buttons.h"
#include "controls/VirtualRoot.h"
#include "platform/windowlib/String.h"
#include "platform/windowlib/WindowImpl.h"

// The virtual code the owner control gets whenever its popup has closed.
const LPARAM POPUP_CLOSED_CODE = 1010;
// Posted to the root after creation: the close button takes the focus.
const LPARAM POPUP_FOCUS_CLOSE_CODE = 320;
// Style bit: the close button neither takes the focus nor shows its usual image
// first (its two images are swapped).
const DWORD POPUP_STYLE_NO_CLOSE_FOCUS = 1;

// The message posted to the owner window when a popup is closed by its close button
// or key; registered once per process.
UINT GetPopupClosedMessageId();

// Draws a hollow frame with PATINVERT through clip regions. With a last rectangle
// the two frames' symmetric difference is inverted in one go, so the old frame goes
// and the new one appears without flicker; a null rect only erases the last frame.
// With two different brushes each frame is inverted with its own.
void DrawDragFrame(HDC hdc, const RECT* rect, int thickX, int thickY, const RECT* last, int lastThickX,
                   int lastThickY, HBRUSH brush, HBRUSH lastBrush);

class CPopupWindow;

// The popup's root: the host protocol of the control tree, and the title bar's
// focus ring (close button, then the tool buttons).
class CPopupRoot : public CVirtualRoot {
 public:
  explicit CPopupRoot(CPopupWindow* popup) : m_pPopup(popup) {}

  BOOL OnChildKey(CVirtualWnd* sender, DWORD key) override;
  void SetFocus() override;
  LRESULT OnVirtualMessage(LPARAM code) override;
  LRESULT OnChildCommand(CVirtualWnd* sender, int code, LPARAM param) override;
  void SetRect(const RECT* rect) override;
  // The close key closes; Left and Right move the focus around the title buttons.
  BOOL OnKey(DWORD key) override;

 private:
  CPopupWindow* m_pPopup;
};

#define DECLARE_POPUP_CLASS(className)                                    \
  DECLARE_WND_CLASS_EX(className, CS_DBLCLKS, -1)                         \
  CWndClassInfo& GetPopupClassInfo() override { return GetWndClassInfo(); }

class CPopupWindow : public CWindowImplBase {
 public:
  CPopupWindow();
  // Destroys a window still open (as a close without notification).
  ~CPopupWindow() override;

  // Makes the popup at rect (owner client coordinates), fitted to the work area.
  // FALSE, changing nothing, while the popup is already created; FALSE when the
  // window cannot be made.
  BOOL Create(HWND owner, const RECT* rect, LPCWSTR title, BOOL show);
  // A title-bar button right to left before the close button; hintId -1: none.
  BOOL AddToolButton(UINT imageId, UINT pressedImageId, UINT command, int hintId);

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

  // The windowless control that opened the popup; it gets POPUP_CLOSED_CODE and
  // the tool-button commands the kind does not handle.
  void SetOwnerControl(CVirtualWnd* control) { m_pOwnerControl = control; }
  CVirtualWnd* GetOwnerControl() const { return m_pOwnerControl; }
  void SetStyle(DWORD style) { m_dwStyle = style; }
  DWORD GetStyle() const { return m_dwStyle; }
  BOOL IsCreated() const { return m_bCreated; }
  // Set when the window went away; a modal loop over the popup ends on it.
  BOOL IsClosed() const { return m_bClosed; }
  HWND GetOwner() const { return m_hOwner; }
  CPopupRoot& GetRoot() { return m_root; }
  CVirtualButton* GetCloseButton() { return &m_closeButton; }
  int GetToolButtonCount() const { return m_toolButtons.GetSize(); }
  CVirtualButton* GetToolButton(int index) { return m_toolButtons[index]; }
  UINT GetToolCommand(int index) const { return m_toolCommands[index]; }
  int GetFocusIndex() const { return m_nFocusIndex; }
  const RECT& GetTitleRect() const { return m_rcTitle; }
  int GetTitleHeight() const;
  BOOL IsDragging() const { return m_bDragging; }
  // The picture the last WM_PAINT composed (client size), for a window that is
  // not on a screen.
  const CBitmapDC& GetPicture() const { return m_memDC; }

  // The work area a popup must stay in: the desktop less 26 logical pixels at the
  // bottom. Fits rect into it; the left edge never moves.
  static void FitToWorkArea(RECT* rect);

 protected:
  virtual CWndClassInfo& GetPopupClassInfo() = 0;
  // A tool-button command; FALSE passes it on to the owner control.
  virtual BOOL OnCommand(UINT command);
  // Stylus hooks: a press the kind takes starts no drag. Called with client points.
  virtual BOOL OnLButtonDown(POINT* point);
  virtual void OnLButtonUp(POINT* point);
  virtual void OnMouseMove(POINT* point);
  virtual void OnPopupDestroy();
  // The content below the title band; the children are painted after it.
  virtual void PaintContent(CTextRunList* context);

 private:
  friend class CPopupRoot;
  void DestroyToolButtons();
  void OnPaint();
  void OnStylusDown(LPARAM lParam);
  void OnStylusMove(LPARAM lParam);
  void OnStylusUp(LPARAM lParam);
  void OnDestroyMessage();
  void MoveFocus(int index);
  void PostClose(BOOL notifyOwner);
  CVirtualButton* ButtonAt(int index);
  RECT DraggedRect(LPARAM lParam);
  void EndDragDC();

  CPopupRoot m_root;
  CVirtualButton m_closeButton;
  CSimpleValArray<CVirtualButton*> m_toolButtons;
  CSimpleValArray<UINT> m_toolCommands;
  int m_nFocusIndex;
  DWORD m_dwStyle;
  BOOL m_bCreated;
  BOOL m_bClosed;
  HWND m_hOwner;
  CString m_title;
  UINT m_closedMessage;
  BOOL m_bButtonDown;
  BOOL m_bDragging;
  POINT m_ptPress;
  RECT m_rcLastFrame;
  HDC m_hScreenDC;
  HBRUSH m_hHalftone;
  CBitmapDC m_memDC;
  RECT m_rcTitle;
  int m_nTitleRight;
  int m_nTitleHeight;
  CVirtualWnd* m_pOwnerControl;
};
