#include "tabs/notes/NoteViewWnd.h"

#include <richedit.h>

#include <cstring>
#include <vector>

#include "base/RefObject.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ZoomSettings.h"
#include "controls/MenuUtils.h"
#include "controls/PopupMenuTracker.h"
#include "platform/aygshell/aygshell.h"
#include "platform/inkx/inkx.h"
#include "platform/richink/richink.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "tabs/notes/NoteCommands.h"
#include "tabs/notes/NoteFile.h"
#include "tabs/notes/PhatNoteItem.h"
#include "tabs/notes/PhatNoteRecord.h"
#include "tabs/notes/PhatNotesSource.h"
#include "pim/PhatPad.h"

namespace {

const DWORD kTextStyle = 0x50300800;  // visible child, both scroll bars, read-only
const DWORD kInkStyle = 0x50000800;
const DWORD kInkExStyle = 0x100000;
const UINT kStreamRtf = SF_RTF;                  // 2
const UINT kStreamUnicode = SF_TEXT | SF_UNICODE;  // 17
const UINT kAllViewAttributes = 15;
const LPCWSTR kViewProperty = L"QelTarvoNoteView";
const UINT kTextSizeTexts[] = {IDS_TEXT_SIZE_LARGEST, IDS_TEXT_SIZE_LARGER, IDS_TASK_IMPORTANCE_NORMAL, IDS_TEXT_SIZE_SMALLER,
                               IDS_TEXT_SIZE_SMALLEST};
const UINT kInkMenuDisabled[] = {IDM_INKX_UNDO, IDM_INKX_CUT, IDM_INKX_PASTE, IDM_INKX_CLEAR};
const UINT kTextMenuDisabled[] = {IDM_NOTE_VIEW_UNDO, IDM_NOTE_VIEW_CUT, IDM_NOTE_VIEW_PASTE, IDM_NOTE_VIEW_CLEAR};

struct StreamSource {
  const BYTE* bytes;
  size_t size;
  size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  StreamSource* source = reinterpret_cast<StreamSource*>(cookie);
  size_t count = source->size - source->offset;
  if (wanted < 0) wanted = 0;
  if (count > static_cast<size_t>(wanted)) count = static_cast<size_t>(wanted);
  if (count) memcpy(buffer, source->bytes + source->offset, count);
  source->offset += count;
  *given = static_cast<LONG>(count);
  return 0;
}

// Streams the bytes in; TRUE when the control took them (it answers 0 then).
BOOL StreamIn(HWND control, UINT format, const void* bytes, size_t size) {
  StreamSource source = {static_cast<const BYTE*>(bytes), size, 0};
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadStream;
  const LRESULT answer = ::SendMessageW(control, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  return answer == 0 && stream.dwError == 0;
}

BOOL InitControls() {
  static const BOOL done = (InitInkX(), TRUE);
  return done;
}

CString LoadText(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

}  // namespace

CNoteViewWnd::CNoteViewWnd() = default;

CNoteViewWnd::~CNoteViewWnd() {
  // The window goes first: its destruction still needs the held state.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  Release();
  FreeInk();
}

RECT CNoteViewWnd::PlaceAtAnchor(const RECT& anchor, int width, int height) {
  const int cx = width < 0 ? -ScaleX(-width) : ScaleX(width);
  const int cy = height < 0 ? -ScaleY(-height) : ScaleY(height);
  RECT rect;
  if (cx >= 0) {
    rect.left = anchor.left;
    rect.right = anchor.left + cx;
  } else {
    rect.right = anchor.right;
    rect.left = anchor.right + cx;
  }
  if (cy >= 0) {
    rect.top = anchor.bottom;
    rect.bottom = anchor.bottom + cy;
  } else {
    rect.bottom = anchor.top;
    rect.top = anchor.top + cy;
  }
  return rect;
}

void CNoteViewWnd::DropHeld() {
  CRefObject* held = m_held;
  m_held = nullptr;
  m_mode = kModeNothing;
  if (held) held->Release();
}

void CNoteViewWnd::HoldNote(CNoteFile* note) {
  if (note) note->AddRef();
  DropHeld();
  m_held = note;
  m_mode = note ? kModeNoteFile : kModeNothing;
}

void CNoteViewWnd::HoldPhatNote(CRefObject* record) {
  if (record) record->AddRef();
  DropHeld();
  m_held = record;
  m_mode = record ? kModePhatNote : kModeNothing;
}

void CNoteViewWnd::DestroyPhatPadView() {
  HWND view = m_phatPadView;
  m_phatPadView = nullptr;
  if (view && ::IsWindow(view)) ::DestroyWindow(view);
}

void CNoteViewWnd::Release() {
  DropHeld();
  // The view's procedure lives in the library: the view goes before the library.
  DestroyPhatPadView();
  CPhatPad::Instance().Unload();
}

void CNoteViewWnd::FreeInk() {
  if (m_ink) ::LocalFree(m_ink);
  m_ink = nullptr;
  m_inkLength = 0;
}

void CNoteViewWnd::FailShow() {
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

BOOL CNoteViewWnd::Open(HWND parent, const RECT& anchor, LPCWSTR caption) {
  InitControls();
  if (IsCreated()) {
    // A new show keeps the record held for it; the old window's end releases the rest.
    CRefObject* held = m_held;
    const int mode = m_mode;
    m_held = nullptr;
    ::DestroyWindow(m_hWnd);
    m_held = held;
    m_mode = mode;
  }
  const RECT rect = PlaceAtAnchor(anchor, m_defaultWidth, m_defaultHeight);
  if (!Create(parent, &rect, caption, FALSE)) return FALSE;
  if (m_mode != kModeNothing) {
    AddToolButton(IDI_POPUP_OPEN, IDI_POPUP_OPEN_PRESSED, kCmdOpen, IDS_NOTE_MENU_OPEN);
    AddToolButton(IDI_POPUP_DELETE, IDI_POPUP_DELETE_PRESSED, kCmdDelete, IDS_NOTE_MENU_DELETE);
  }
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  m_content = client;
  m_content.top = client.top + GetTitleHeight();
  m_content.right += ScaleX(1);
  return TRUE;
}

void CNoteViewWnd::SendViewAttributes(UINT pageStyle, UINT inkLayer) {
  CZoomSettings zoom;
  VIEWATTRIBUTES attributes = {kAllViewAttributes, 0, static_cast<UINT>(zoom.GetZoom(m_zoomRow)), pageStyle,
                               inkLayer, FALSE};
  ::SendMessageW(m_control, kMsgViewAttributes, 0, reinterpret_cast<LPARAM>(&attributes));
  ::SendMessageW(m_control, kMsg1353, 1, 0);
}

void CNoteViewWnd::StreamText(LPCWSTR text) {
  CString shown = text ? text : L"";
  if (shown.IsEmpty()) shown = LoadText(IDS_NOTE_VIEW_EMPTY);
  if (shown[0] == L'{') {
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, shown, shown.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
      std::vector<char> ansi(static_cast<size_t>(bytes));
      ::WideCharToMultiByte(CP_ACP, 0, shown, shown.GetLength(), ansi.data(), bytes, nullptr, nullptr);
      if (StreamIn(m_control, kStreamRtf, ansi.data(), ansi.size())) return;
    }
  }
  StreamIn(m_control, kStreamUnicode, static_cast<LPCWSTR>(shown), static_cast<size_t>(shown.GetLength()) * 2);
}

BOOL CNoteViewWnd::ShowText(HWND parent, const RECT& anchor, LPCWSTR caption, LPCWSTR text) {
  m_zoomRow = CZoomSettings::kTextNotes;
  if (!Open(parent, anchor, caption)) return FALSE;
  ::CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 5, 5, m_hWnd, nullptr, nullptr, nullptr);
  m_control = ::CreateWindowExW(0, WC_RICHINK, L"", kTextStyle, m_content.left, m_content.top,
                                m_content.right - m_content.left, m_content.bottom - m_content.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kControlId)), nullptr, nullptr);
  if (!m_control) {
    FailShow();
    return FALSE;
  }
  m_textActive = TRUE;
  StreamText(text);
  SendViewAttributes(16, 0);
  Subclass(m_control);
  ::ShowWindow(m_hWnd, SW_SHOW);
  ::SetFocus(m_control);
  return TRUE;
}

BOOL CNoteViewWnd::ShowInk(HWND parent, const RECT& anchor, LPCWSTR caption, const NOTE_INK_DATA* ink,
                           BOOL phatPad, LPCWSTR path) {
  m_zoomRow = CZoomSettings::kInkNotes;
  if (!Open(parent, anchor, caption)) return FALSE;
  FreeInk();
  if (ink && ink->bytes && ink->length) {
    m_ink = static_cast<BYTE*>(::LocalAlloc(LMEM_FIXED, ink->length));
    if (m_ink) {
      memcpy(m_ink, ink->bytes, ink->length);
      m_inkLength = ink->length;
    }
  }
  ::CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, -10, -10, 5, 5, m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSipPrefId)), nullptr, nullptr);
  const int width = m_content.right - m_content.left;
  const int height = m_content.bottom - m_content.top;
  if (phatPad) {
    PHATPAD_VIEW_RECORD record = {};
    record.cbSize = sizeof(record);
    record.version = 100;
    record.style = kInkStyle;
    record.exStyle = 0x10000000;
    record.rect = m_content;
    record.parent = m_hWnd;
    record.pageMode = 4;
    record.reserved = 0;
    record.scale = 100;
    record.background = ::GetSysColor(COLOR_WINDOW);
    record.path = path;
    m_phatPadView = CPhatPad::Instance().CreateView(&record);
    if (!m_phatPadView) {
      FailShow();
      return FALSE;
    }
    m_control = m_phatPadView;
    ::ShowWindow(m_hWnd, SW_SHOW);
    return TRUE;
  }
  m_control = ::CreateWindowExW(kInkExStyle, WC_INKX, L"", kInkStyle, m_content.left, m_content.top, width, height,
                                m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kControlId)), nullptr, nullptr);
  if (!m_control) {
    FailShow();
    return FALSE;
  }
  m_textActive = FALSE;
  ::SendMessageW(m_control, IM_SETDATA, m_inkLength, reinterpret_cast<LPARAM>(m_ink));
  SendViewAttributes(80, 1);
  HWND inner = reinterpret_cast<HWND>(::SendMessageW(m_control, IM_GETINNERWINDOW, 0, 0));
  if (inner) {
    Subclass(inner);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetFocus(inner);
  } else {
    ::ShowWindow(m_hWnd, SW_SHOW);
  }
  return TRUE;
}

void CNoteViewWnd::Subclass(HWND window) {
  Unsubclass();
  if (!::SetPropW(window, kViewProperty, this)) return;
  m_keyWindow = window;
  m_keyWindowProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CNoteViewWnd::KeyWindowProc)));
}

void CNoteViewWnd::Unsubclass() {
  HWND window = m_keyWindow;
  WNDPROC proc = m_keyWindowProc;
  m_keyWindow = nullptr;
  m_keyWindowProc = nullptr;
  if (!window || !::IsWindow(window)) return;
  if (proc) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  ::RemovePropW(window, kViewProperty);
}

LRESULT CALLBACK CNoteViewWnd::KeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CNoteViewWnd* view = static_cast<CNoteViewWnd*>(::GetPropW(window, kViewProperty));
  if (!view || view->m_keyWindow != window || !view->m_keyWindowProc) return ::DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC original = view->m_keyWindowProc;
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_RETURN:
        case 117:
          if (HWND owner = view->GetOwner()) ::PostMessageW(owner, message, wParam, lParam);
          return 0;
        case VK_UP:
        case VK_DOWN:
          if (message == WM_KEYDOWN)
            ::SendMessageW(window, WM_VSCROLL, wParam == VK_UP ? SB_PAGEUP : SB_PAGEDOWN, 0);
          return 0;
        default:
          break;
      }
      break;
    case WM_CUT:
    case WM_PASTE:
    case kMsgSwallowed:
      return 0;
    case WM_INITMENUPOPUP:
      if (!view->m_textActive && HIWORD(lParam) == 0) view->AdjustInkMenu(reinterpret_cast<HMENU>(wParam));
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) >= kCmdZoomFirst && LOWORD(wParam) <= kCmdZoomLast) {
        view->RunMenuCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_NCDESTROY:
      view->Unsubclass();
      return ::CallWindowProcW(original, window, message, wParam, lParam);
    default:
      break;
  }
  return ::CallWindowProcW(original, window, message, wParam, lParam);
}

HMENU CNoteViewWnd::MakeTextSizeMenu() {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (int level = 0; level < CZoomSettings::kLevels; ++level)
    ::AppendMenuW(menu, MF_STRING, kCmdZoomFirst + level, LoadText(kTextSizeTexts[level]));
  CZoomSettings zoom;
  const UINT current = kCmdZoomFirst + static_cast<UINT>(zoom.GetZoomLevel(m_zoomRow));
  ::CheckMenuRadioItem(menu, kCmdZoomFirst, kCmdZoomLast, current, MF_BYCOMMAND);
  return menu;
}

void CNoteViewWnd::AdjustInkMenu(HMENU menu) {
  for (UINT id : kInkMenuDisabled) ::EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  HMENU sizes = MakeTextSizeMenu();
  if (!sizes) return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  if (!::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sizes), LoadText(IDS_TEXT_SIZE_MENU)))
    ::DestroyMenu(sizes);
}

void CNoteViewWnd::ShowTextMenu(POINT screen) {
  HMENU loaded = ::LoadMenuW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(IDM_NOTE_VIEW_MENU));
  HMENU menu = loaded ? ::GetSubMenu(loaded, 0) : nullptr;
  if (!menu) {
    if (loaded) ::DestroyMenu(loaded);
    loaded = ::CreatePopupMenu();
    menu = loaded;
  }
  if (!menu) return;
  TranslateMenu(GetTranslator(), menu);
  for (UINT id : kTextMenuDisabled) ::EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  CHARRANGE selection = {};
  ::SendMessageW(m_control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  ::EnableMenuItem(menu, IDM_NOTE_VIEW_COPY,
                   MF_BYCOMMAND | (selection.cpMin != selection.cpMax ? MF_ENABLED : MF_GRAYED));
  if (HMENU sizes = MakeTextSizeMenu()) {
    if (::GetMenuItemCount(menu) > 0) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (!::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sizes), LoadText(IDS_TEXT_SIZE_MENU)))
      ::DestroyMenu(sizes);
  }
  const int command =
      CPopupMenuTracker::Track(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, screen.x, screen.y, m_hWnd);
  ::DestroyMenu(loaded);
  if (command > 0) RunMenuCommand(static_cast<UINT>(command));
}

BOOL CNoteViewWnd::RunMenuCommand(UINT command) {
  if (command >= kCmdZoomFirst && command <= kCmdZoomLast) {
    CZoomSettings zoom;
    const int percent = zoom.SetZoomLevel(m_zoomRow, static_cast<int>(command - kCmdZoomFirst));
    if (m_control) ::SendMessageW(m_control, kMsgZoomPercent, static_cast<WPARAM>(percent), percent);
    return TRUE;
  }
  if (!m_control || !m_textActive) return FALSE;
  switch (command) {
    case IDM_NOTE_VIEW_COPY:
      ::SendMessageW(m_control, WM_COPY, 0, 0);
      return TRUE;
    case IDM_NOTE_VIEW_SELECT_ALL:
      ::SendMessageW(m_control, EM_SETSEL, 0, -1);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CNoteViewWnd::OnCommand(UINT command) {
  if ((command == kCmdOpen || command == kCmdDelete) && m_mode == kModeNoteFile && m_held) {
    CNoteFile* note = static_cast<CNoteFile*>(m_held);
    note->AddRef();
    HWND owner = GetOwner();
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    RunNoteCommand(note, command, owner);
    note->Release();
    return TRUE;
  }
  if ((command == kCmdOpen || command == kCmdDelete) && m_mode == kModePhatNote && m_held) {
    CPhatNoteRecord* note = static_cast<CPhatNoteRecord*>(m_held);
    note->AddRef();
    HWND owner = GetOwner();
    if (m_hWnd && ::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    RunPhatNoteCommand(GetPhatNotesSource(), note, command, owner);
    note->Release();
    return TRUE;
  }
  return FALSE;
}

void CNoteViewWnd::OnPopupDestroy() {
  Unsubclass();
  m_control = nullptr;
  m_textActive = FALSE;
  Release();
  FreeInk();
}

BOOL CNoteViewWnd::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                        DWORD mapId) {
  if (mapId == 0 && message == WM_NOTIFY && m_textActive && m_control) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->hwndFrom == m_control && header->code == GN_CONTEXTMENU) {
      POINT at = reinterpret_cast<const NMRGINFO*>(lParam)->ptAction;
      ::ClientToScreen(m_control, &at);
      ShowTextMenu(at);
      result = 1;
      return TRUE;
    }
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}
