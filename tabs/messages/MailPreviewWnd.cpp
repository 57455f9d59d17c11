#include "tabs/messages/MailPreviewWnd.h"

#include <richedit.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ZoomSettings.h"
#include "controls/HardwareKeys.h"
#include "controls/MenuUtils.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/SkinColors.h"
#include "platform/aygshell/aygshell.h"
#include "platform/richink/richink.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailBody.h"
#include "tabs/messages/OtherMailSources.h"

namespace {

const DWORD kBodyStyle = 0x50200844;
const DWORD kHeaderOnlyStatus = 0x100000;
const LPCWSTR kBodyProperty = L"QelTarvoMailPreview";
const UINT kTextSizeTexts[] = {IDS_TEXT_SIZE_LARGEST, IDS_TEXT_SIZE_LARGER, IDS_TASK_IMPORTANCE_NORMAL,
                               IDS_TEXT_SIZE_SMALLER, IDS_TEXT_SIZE_SMALLEST};
const UINT kGreyedItems[] = {IDM_NOTE_VIEW_UNDO, IDM_NOTE_VIEW_CUT, IDM_NOTE_VIEW_PASTE, IDM_NOTE_VIEW_CLEAR};

CMailPreviewWnd::TickSource g_tickSource = nullptr;
CMailPreviewWnd::MarkRead g_markRead = nullptr;
IWebISMailSource* g_webis = nullptr;

IWebISMailSource& WebISMail() { return g_webis ? *g_webis : *CEmailsList::GetGlobal().GetWebISSource(); }

DWORD Now() { return g_tickSource ? g_tickSource() : ::GetTickCount(); }

CString LoadText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

CString Bracketed(UINT id) {
  CString text;
  text.Format(L"[%s]", static_cast<LPCWSTR>(LoadText(id)));
  return text;
}

int Border() { return 2 * (GetScreenDpiX() + 24) / 96; }

// The message's stream read whole: chunk bytes at a time until a read gives fewer.
std::string ReadWholeStream(IStream* stream, ULONG chunk) {
  std::string bytes;
  std::vector<char> buffer(chunk);
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(buffer.data(), chunk, &read))) break;
    bytes.append(buffer.data(), read > chunk ? chunk : read);
    if (read < chunk) break;
  }
  return bytes;
}

IStream* OpenStream(IMessage* message, ULONG tag) {
  IUnknown* opened = nullptr;
  if (FAILED(message->OpenProperty(tag, &IID_IStream, 0, 0, &opened)) || !opened) return nullptr;
  IStream* stream = nullptr;
  const HRESULT hr = opened->QueryInterface(IID_IStream, reinterpret_cast<void**>(&stream));
  opened->Release();
  return SUCCEEDED(hr) ? stream : nullptr;
}

CString FromUtf8(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return CString();
  const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (chars <= 0) return CString();
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], chars);
  return CString(wide.c_str());
}

}  // namespace

void CMailPreviewWnd::SetTickSource(TickSource source) { g_tickSource = source; }
void CMailPreviewWnd::SetMarkRead(MarkRead markRead) { g_markRead = markRead; }
void CMailPreviewWnd::SetWebISMail(IWebISMailSource* source) { g_webis = source; }

CMailPreviewWnd::CMailPreviewWnd() = default;

CMailPreviewWnd::~CMailPreviewWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  ReleaseItem();
}

void CMailPreviewWnd::ReleaseItem() {
  EMAIL_ITEM* item = m_item;
  m_item = nullptr;
  if (item) item->Release();
}

BOOL CMailPreviewWnd::Create(HWND owner, POINT point, LPCWSTR title, EMAIL_ITEM* item) {
  if (IsCreated() || !item) return FALSE;
  static const BOOL richInkReady = (InitRichInkDLL(), TRUE);
  (void)richInkReady;
  ReleaseItem();
  m_markReadArmed = TRUE;
  const int cx = m_width < 0 ? -ScaleX(-m_width) : ScaleX(m_width);
  const int cy = m_height < 0 ? -ScaleY(-m_height) : ScaleY(m_height);
  RECT rect = {point.x, point.y, point.x + cx, point.y + cy};
  if (cx < 0) std::swap(rect.left, rect.right);
  if (cy < 0) std::swap(rect.top, rect.bottom);

  item->AddRef();
  m_item = item;
  m_phoneMessage = item->IsPhoneMessage();
  m_body.Empty();
  m_subject.Empty();
  m_html = FALSE;
  m_senderLabel = TRUE;
  if (!item->senderAddress.IsEmpty()) {
    m_sender = item->senderAddress;
  } else if (!item->recipientText.IsEmpty()) {
    m_sender = item->recipientText;
    m_senderLabel = FALSE;
  } else {
    m_sender = LoadText(IDS_MAIL_NO_NAME);
  }
  VariantDateToSystemTime(item->time, &m_time);
  if (item->sourceKind == kSourceWebIS) {
    m_subject = item->subject;
    m_phoneMessage = FALSE;
    if (item->webisId) {
      if (IStream* source = WebISMail().GetMessageSource(item->accountName, item->webisId)) {
        ReadMime(source);
        source->Release();
      }
    }
  } else if (item->sourceKind == kSourcePalm) {
    m_subject = item->subject;
  } else if (item->IsMms()) {
    m_subject = item->subject;
    m_body = LoadText(IDS_MAIL_MMS_BODY);
    m_phoneMessage = FALSE;
  } else {
    ReadMapiMessage();
  }
  if (m_phoneMessage && m_body.IsEmpty()) m_body = m_subject;
  if (item->status & kHeaderOnlyStatus) m_body += Bracketed(IDS_MAIL_HEADER_ONLY);

  if (!CPopupWindow::Create(owner, &rect, title, FALSE)) return FALSE;
  m_body = NormaliseMailBody(m_body, m_html);
  AddToolButtons();
  LayOut();
  ::ShowWindow(m_hWnd, SW_SHOW);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::UpdateWindow(m_hWnd);
  m_openTick = Now();
  return TRUE;
}

void CMailPreviewWnd::ReadMapiMessage() {
  m_subject = m_item->subject;
  IMAPISession* session = CEmailsList::GetGlobal().GetSession();
  IUnknown* opened = nullptr;
  ULONG type = 0;
  if (!session || !m_item->entryId.GetSize() ||
      FAILED(session->OpenEntry(m_item->entryId.GetSize(), reinterpret_cast<LPENTRYID>(m_item->entryId.GetData()),
                                nullptr, 0, &type, &opened)) ||
      !opened) {
    ::GetLocalTime(&m_time);
    return;
  }
  IMessage* message = static_cast<IMessage*>(opened);
  SizedSPropTagArray<7> tags = {7,
                                {PR_BODY_W, PR_CE_MIME_TEXT, PR_SUBJECT_W, PR_SENDER_EMAIL_ADDRESS_W,
                                 PR_MESSAGE_DELIVERY_TIME, PR_LAST_MODIFICATION_TIME, 0x3002001F}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  BOOL timed = FALSE;
  if (SUCCEEDED(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &count, &values)) &&
      values && count == 7) {
    if (values[0].ulPropTag == PR_BODY_W && values[0].Value.lpszW) m_body = values[0].Value.lpszW;
    if (values[2].ulPropTag == PR_SUBJECT_W && values[2].Value.lpszW) m_subject = values[2].Value.lpszW;
    const SPropValue* when = values[4].ulPropTag == PR_MESSAGE_DELIVERY_TIME       ? &values[4]
                             : values[5].ulPropTag == PR_LAST_MODIFICATION_TIME ? &values[5]
                                                                                 : nullptr;
    SYSTEMTIME utc;
    if (when && ::FileTimeToSystemTime(&when->Value.ft, &utc) && UtcToLocalSystemTime(nullptr, utc, &m_time))
      timed = TRUE;
  }
  MAPIFreeBuffer(values);
  if (!timed) ::GetLocalTime(&m_time);
  if (m_body.IsEmpty()) ReadBody(message);
  message->Release();
}

BOOL CMailPreviewWnd::ReadBody(IMessage* message) {
  if (!message) return FALSE;
  if (m_body.IsEmpty()) {
    if (IStream* stream = OpenStream(message, PR_BODY_W)) {
      const std::string bytes = ReadWholeStream(stream, 510);
      stream->Release();
      m_body = std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2).c_str();
    }
  }
  if (m_body.IsEmpty()) {
    if (IStream* stream = OpenStream(message, PR_CE_MIME_TEXT)) {
      ReadMime(stream);
      stream->Release();
    }
  }
  const ULONG eightBit[] = {PR_BODY, PR_BODY_HTML};
  for (ULONG tag : eightBit) {
    if (!m_body.IsEmpty()) break;
    if (IStream* stream = OpenStream(message, tag)) {
      m_body = FromUtf8(ReadWholeStream(stream, 255));
      stream->Release();
      if (tag == PR_BODY_HTML && !m_body.IsEmpty()) m_html = TRUE;
    }
  }
  return !m_body.IsEmpty();
}

void CMailPreviewWnd::ReadMime(IStream* stream) {
  BOOL html = FALSE;
  ReadMimeBody(stream, m_body, &html);
  if (html) m_html = TRUE;
}

void CMailPreviewWnd::AddToolButtons() {
  BOOL reduced;
  if (m_item->sourceKind == kSourceWebIS)
    reduced = WebISMail().GetBuild() == 0;
  else
    reduced = WebISMail().HasTakenOverMailProgram();
  struct Button {
    UINT normal, pressed, command, hint;
    bool full, phone, notPhone;
  } const buttons[] = {
      {IDI_POPUP_OPEN, IDI_POPUP_OPEN_PRESSED, kCmdOpen, IDS_MAIL_OPEN, true, false, false},
      {IDI_POPUP_DELETE, IDI_POPUP_DELETE_PRESSED, kCmdDelete, IDS_MAIL_DELETE, false, false, false},
      {IDI_MAIL_FORWARD, IDI_MAIL_FORWARD_PRESSED, kCmdForward, IDS_MAIL_FORWARD, true, false, false},
      {IDI_MAIL_REPLY_ALL, IDI_MAIL_REPLY_ALL_PRESSED, kCmdReplyAll, IDS_MAIL_REPLY_ALL, true, false, true},
      {IDI_MAIL_CALL, IDI_MAIL_CALL_PRESSED, kCmdCall, IDS_MAIL_CALL, false, true, false},
      {IDI_MAIL_REPLY, IDI_MAIL_REPLY_PRESSED, kCmdReply, IDS_MAIL_REPLY, true, false, false},
  };
  for (const Button& b : buttons) {
    if (b.full && reduced) continue;
    if (b.phone && !m_phoneMessage) continue;
    if (b.notPhone && m_phoneMessage) continue;
    AddToolButton(b.normal, b.pressed, b.command, static_cast<int>(b.hint));
  }
}

void CMailPreviewWnd::AddHeaderRow(int row, UINT labelText, LPCWSTR value, int top, int height, HFONT font) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  CString label;
  label.Format(L"%s:", static_cast<LPCWSTR>(LoadText(labelText)));
  const int labelWidth = ScaleX(50);
  HeaderRow& header = m_headers[row];
  header.label = ::CreateWindowExW(0, L"STATIC", label, WS_CHILD | WS_VISIBLE, client.left, top, labelWidth, height,
                                   m_hWnd, nullptr, nullptr, nullptr);
  header.value = ::CreateWindowExW(0, L"EDIT", value, WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL,
                                   client.left + labelWidth, top, client.right - Border() - labelWidth, height,
                                   m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row + 1)), nullptr, nullptr);
  if (font) {
    if (header.label) ::SendMessageW(header.label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (header.value) ::SendMessageW(header.value, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

void CMailPreviewWnd::LayOut() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int top = client.top + GetTitleHeight();
  HFONT font = nullptr;
  if (CFontCache* cache = GetFontCache())
    if (CFontInfo* info = cache->GetStyleFont(0, FALSE)) font = info->GetFont();
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  int letter = 0;
  if (HDC dc = ::GetDC(m_hWnd)) {
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, L"W", 1, &size);
    letter = size.cy;
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
  }
  const int rowHeight = letter + Border();
  const int headerTop = top;
  AddHeaderRow(0, m_senderLabel ? IDS_MAIL_FROM : IDS_MAIL_TO, m_sender, top, rowHeight, font);
  top += rowHeight;
  if (!m_phoneMessage) {
    AddHeaderRow(1, IDS_SORT_SUBJECT, m_subject, top, rowHeight, font);
    top += rowHeight;
  }
  WCHAR date[64] = L"", time[64] = L"";
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &m_time, nullptr, date, 64);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &m_time, nullptr, time, 64);
  CString when;
  when.Format(L"%s %s", date, time);
  AddHeaderRow(2, IDS_MAIL_DATE, when, top, rowHeight, font);
  top += rowHeight;
  m_headerHeight = top - headerTop;

  const int borderX = ::GetSystemMetrics(SM_CXBORDER);
  const int borderY = ::GetSystemMetrics(SM_CYBORDER);
  const int bodyTop = top + borderY;
  m_bodyControl = ::CreateWindowExW(0, WC_RICHINK, L"", kBodyStyle, client.left, bodyTop,
                                    client.right + borderX - client.left, client.bottom + borderY - bodyTop, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBodyId)), nullptr, nullptr);
  if (m_bodyControl) {
    if (::SetPropW(m_bodyControl, kBodyProperty, this))
      m_bodyProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(m_bodyControl, GWLP_WNDPROC,
                                                                 reinterpret_cast<LONG_PTR>(&CMailPreviewWnd::BodyProc)));
    ::SetFocus(m_bodyControl);
    StreamBody();
    CZoomSettings zoom;
    const int percent = zoom.GetZoom(CZoomSettings::kMessages);
    ::SendMessageW(m_bodyControl, kZoomMessage, static_cast<WPARAM>(percent), percent);
  }
  ::CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 5, 5, m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSipPrefId)), nullptr, nullptr);
}

DWORD CALLBACK CMailPreviewWnd::StreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  CMailPreviewWnd* self = reinterpret_cast<CMailPreviewWnd*>(cookie);
  const size_t total = static_cast<size_t>(self->m_body.GetLength()) * sizeof(WCHAR);
  size_t count = total > self->m_readPos ? total - self->m_readPos : 0;
  if (wanted < 0) wanted = 0;
  if (count > static_cast<size_t>(wanted)) count = static_cast<size_t>(wanted);
  if (count) memcpy(buffer, reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(self->m_body)) + self->m_readPos, count);
  self->m_readPos += count;
  *given = static_cast<LONG>(count);
  return 0;
}

void CMailPreviewWnd::StreamBody() {
  m_readPos = 0;
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
  stream.pfnCallback = StreamCallback;
  ::SendMessageW(m_bodyControl, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
}

void CMailPreviewWnd::PaintContent(CTextRunList* context) {
  if (!context || !m_headerHeight) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  RECT line = client;
  line.top = client.top + GetTitleHeight() + m_headerHeight;
  line.bottom = line.top + (GetScreenDpiY() + 48) / 96;
  if (HBRUSH brush = CSkinColors::Instance().GetSolidBrush(CSkinColors::kHighlight))
    ::FillRect(context->GetDC(), &line, brush);
}

void CMailPreviewWnd::CheckMarkRead() {
  if (!m_markReadArmed || !m_item) return;
  m_markReadArmed = FALSE;
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  if (!key.IsOpen()) return;
  const LONG seconds = static_cast<LONG>(key.GetDWORD(L"Messages_SetAsReadedPreview", 1));
  if (seconds <= 0) return;
  const DWORD elapsed = Now() - m_openTick;
  if (seconds != 1 && elapsed < static_cast<DWORD>(seconds) * 1000u) return;
  if (g_markRead) g_markRead(m_item);
}

BOOL CMailPreviewWnd::OnCommand(UINT command) {
  // A WebIS Mail message changed through its own program is marked there.
  m_markReadArmed = m_item && m_item->sourceKind != kSourceWebIS;
  ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  (void)command;
  return FALSE;
}

void CMailPreviewWnd::Unsubclass() {
  HWND body = m_bodyControl;
  if (body && ::IsWindow(body) && m_bodyProc) {
    ::SetWindowLongPtrW(body, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_bodyProc));
    ::RemovePropW(body, kBodyProperty);
  }
  m_bodyProc = nullptr;
}

void CMailPreviewWnd::OnPopupDestroy() {
  Unsubclass();
  m_bodyControl = nullptr;
  for (HeaderRow& row : m_headers) row = HeaderRow{};
}

LRESULT CALLBACK CMailPreviewWnd::BodyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CMailPreviewWnd* self = static_cast<CMailPreviewWnd*>(::GetPropW(window, kBodyProperty));
  if (!self || !self->m_bodyProc) return ::DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC original = self->m_bodyProc;
  switch (message) {
    case WM_KEYDOWN:
      self->m_keyDown = TRUE;
      switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_RETURN:
        case 117:
          if (HWND owner = self->GetOwner()) ::SendMessageW(owner, WM_KEYDOWN, wParam, lParam);
          return 0;
        case VK_UP:
        case VK_DOWN:
          ::SendMessageW(window, WM_VSCROLL, wParam == VK_UP ? SB_PAGEUP : SB_PAGEDOWN, 0);
          return 0;
        default:
          break;
      }
      break;
    case WM_KEYUP: {
      WORD key = static_cast<WORD>(wParam);
      const BOOL translated = CHardwareKeys::Instance().TranslateWord(key);
      if (!translated && !self->m_keyDown) break;
      self->m_keyDown = FALSE;
      if (key == VK_LEFT || key == VK_RIGHT || key == VK_RETURN || key == 117) {
        if (HWND owner = self->GetOwner()) ::SendMessageW(owner, WM_KEYUP, key, lParam);
        return 0;
      }
      break;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) >= kCmdZoomFirst && LOWORD(wParam) <= kCmdZoomLast) {
        self->RunMenuCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_NCDESTROY:
      self->Unsubclass();
      return ::CallWindowProcW(original, window, message, wParam, lParam);
    default:
      break;
  }
  return ::CallWindowProcW(original, window, message, wParam, lParam);
}

void CMailPreviewWnd::AddTextSizeMenu(HMENU menu) {
  HMENU sizes = ::CreatePopupMenu();
  if (!sizes) return;
  for (int level = 0; level < CZoomSettings::kLevels; ++level)
    ::AppendMenuW(sizes, MF_STRING, kCmdZoomFirst + level, LoadText(kTextSizeTexts[level]));
  const UINT current = kCmdZoomFirst + static_cast<UINT>(CZoomSettings().GetZoomLevel(CZoomSettings::kMessages));
  ::CheckMenuRadioItem(sizes, kCmdZoomFirst, kCmdZoomLast, current, MF_BYCOMMAND);
  if (!::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sizes), LoadText(IDS_TEXT_SIZE_MENU)))
    ::DestroyMenu(sizes);
}

void CMailPreviewWnd::ShowContextMenu(POINT screen) {
  HMENU loaded = ::LoadMenuW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(IDM_NOTE_VIEW_MENU));
  HMENU menu = loaded ? ::GetSubMenu(loaded, 0) : nullptr;
  if (!menu) {
    if (loaded) ::DestroyMenu(loaded);
    return;
  }
  TranslateMenu(GetTranslator(), menu);
  for (UINT id : kGreyedItems) ::EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  CHARRANGE selection = {};
  ::SendMessageW(m_bodyControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  ::EnableMenuItem(menu, IDM_NOTE_VIEW_COPY, MF_BYCOMMAND | (selection.cpMin != selection.cpMax ? MF_ENABLED : MF_GRAYED));
  const int command =
      CPopupMenuTracker::Track(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, screen.x, screen.y, m_hWnd);
  ::DestroyMenu(loaded);
  if (command > 0) RunMenuCommand(static_cast<UINT>(command));
}

BOOL CMailPreviewWnd::RunMenuCommand(UINT command) {
  if (!m_bodyControl) return FALSE;
  if (command >= kCmdZoomFirst && command <= kCmdZoomLast) {
    const int percent = CZoomSettings().SetZoomLevel(CZoomSettings::kMessages, static_cast<int>(command - kCmdZoomFirst));
    ::SendMessageW(m_bodyControl, kZoomMessage, static_cast<WPARAM>(percent), percent);
    return TRUE;
  }
  switch (command) {
    case IDM_NOTE_VIEW_UNDO:
      ::SendMessageW(m_bodyControl, EM_UNDO, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_CUT:
      ::SendMessageW(m_bodyControl, WM_CUT, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_COPY:
      ::SendMessageW(m_bodyControl, WM_COPY, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_PASTE:
      ::SendMessageW(m_bodyControl, WM_PASTE, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_CLEAR:
      ::SendMessageW(m_bodyControl, WM_CLEAR, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_SELECT_ALL:
      ::SendMessageW(m_bodyControl, EM_SETSEL, 0, -1);
      ::SendMessageW(m_bodyControl, EM_SCROLLCARET, 0, 0);
      return TRUE;
    default:
      ::SendMessageW(m_bodyControl, WM_COMMAND, command, 0);
      return TRUE;
  }
}

BOOL CMailPreviewWnd::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                           DWORD mapId) {
  if (mapId == 0) {
    switch (message) {
      case WM_CLOSE:
        CheckMarkRead();
        break;
      case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (m_bodyControl && header && header->hwndFrom == m_bodyControl && header->code == kContextMenuCode) {
          POINT at = reinterpret_cast<const NMRGINFO*>(lParam)->ptAction;
          ::ClientToScreen(m_bodyControl, &at);
          ShowContextMenu(at);
          result = 1;
          return TRUE;
        }
        break;
      }
      case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
        ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
        result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        return TRUE;
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        return TRUE;
      default:
        break;
    }
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}
