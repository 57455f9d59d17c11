// CMailPreviewWnd: the popup that shows one message over the Today screen: sender (or
// recipient), subject and time in three header rows, the body as plain text in a
// read-only RichInk control, and title-bar buttons that hand the message row's
// commands to the owner control. The body comes from the messaging store (the plain
// body, the stored MIME source, the 8-bit or HTML body), from WebIS Mail's stored
// source, or from the item itself (Palm messages). Closing can mark the message read
// after "Messages_SetAsReadedPreview" seconds.
#pragma once
#include <windows.h>
#include <objidl.h>

#include "controls/PopupWindow.h"
#include "platform/cemapi/cemapi.h"
#include "platform/windowlib/String.h"

class IWebISMailSource;
struct EMAIL_ITEM;

class CMailPreviewWnd : public CPopupWindow {
 public:
  DECLARE_POPUP_CLASS(L"QelTarvoMailWindow_1.0")

  enum { kWidth = 220, kHeight = 180 };
  enum : UINT {
    kCmdOpen = 1001,
    kCmdDelete = 1003,
    kCmdForward = 1421,
    kCmdReply = 1422,
    kCmdReplyAll = 1423,
    kCmdCall = 1426,
    kCmdZoomFirst = 1900,
    kCmdZoomLast = 1904,
  };
  enum : UINT { kBodyId = 100, kSipPrefId = 200, kContextMenuCode = 1000, kZoomMessage = 1314 };

  // Where time comes from for the mark-read delay; tests give their own.
  typedef DWORD (*TickSource)();
  static void SetTickSource(TickSource source);
  // What marks a message read: the message operations install theirs (none: the
  // decision is made, nothing is changed).
  typedef void (*MarkRead)(EMAIL_ITEM* item);
  static void SetMarkRead(MarkRead markRead);
  // The WebIS Mail reader the preview asks (null: the e-mail list's).
  static void SetWebISMail(IWebISMailSource* source);

  CMailPreviewWnd();
  ~CMailPreviewWnd() override;

  // Opens at point (owner client coordinates: the left and top of the caller's anchor)
  // and shows the message; FALSE when the window cannot be made.
  BOOL Create(HWND owner, POINT point, LPCWSTR title, EMAIL_ITEM* item);
  // The body from a MIME message in a stream.
  void ReadMime(IStream* stream);
  // The body from an open messaging message; TRUE when it is not empty.
  BOOL ReadBody(IMessage* message);

  const CString& GetSenderText() const { return m_sender; }
  const CString& GetSubjectText() const { return m_subject; }
  const CString& GetBodyText() const { return m_body; }
  BOOL IsSenderLabel() const { return m_senderLabel; }
  BOOL IsHtml() const { return m_html; }
  BOOL IsMarkReadArmed() const { return m_markReadArmed; }
  const SYSTEMTIME& GetMessageTime() const { return m_time; }
  HWND GetBodyControl() const { return m_bodyControl; }
  // Row 0-2: the label (STATIC) and value (EDIT) windows; null for a row left out.
  HWND GetHeaderLabel(int row) const { return m_headers[row].label; }
  HWND GetHeaderValue(int row) const { return m_headers[row].value; }
  int GetHeaderHeight() const { return m_headerHeight; }

  BOOL ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                            DWORD mapId = 0) override;

 protected:
  BOOL OnCommand(UINT command) override;
  void OnPopupDestroy() override;
  void PaintContent(CTextRunList* context) override;

 private:
  struct HeaderRow {
    HWND label;
    HWND value;
  };
  void ReleaseItem();
  void ReadMapiMessage();
  void AddToolButtons();
  void LayOut();
  void AddHeaderRow(int row, UINT labelText, LPCWSTR value, int top, int height, HFONT font);
  void StreamBody();
  void CheckMarkRead();
  void ShowContextMenu(POINT screen);
  BOOL RunMenuCommand(UINT command);
  void AddTextSizeMenu(HMENU menu);
  void Unsubclass();
  static LRESULT CALLBACK BodyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD CALLBACK StreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given);

  BOOL m_senderLabel = TRUE;
  CString m_sender;
  CString m_subject;
  CString m_body;
  HeaderRow m_headers[3] = {};
  size_t m_readPos = 0;
  BOOL m_html = FALSE;
  BOOL m_phoneMessage = FALSE;
  HWND m_bodyControl = nullptr;
  WNDPROC m_bodyProc = nullptr;
  BOOL m_keyDown = FALSE;
  EMAIL_ITEM* m_item = nullptr;
  int m_headerHeight = 0;
  SYSTEMTIME m_time = {};
  int m_width = kWidth;
  int m_height = kHeight;
  DWORD m_openTick = 0;
  BOOL m_markReadArmed = FALSE;
};
