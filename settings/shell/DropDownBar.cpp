#include "settings/shell/DropDownBar.h"

#include "graphics/FontCache.h"
#include "platform/aygshell/CeControls.h"
#include "platform/windowlib/Module.h"

namespace {

const UINT_PTR kSubclassId = 0xDD;

int ButtonWidth(HWND bar, int index) {
  RECT rect = {};
  ::SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  return rect.right - rect.left;
}

void SetButtonWidth(HWND bar, UINT command, int width) {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_SIZE;
  info.cx = static_cast<WORD>(width < 0 ? 0 : width);
  ::SendMessageW(bar, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

CDropDownBar::~CDropDownBar() {
  if (m_hWnd && ::IsWindow(m_hWnd)) RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
}

HWND CDropDownBar::Create(HWND parent, UINT id) {
  HWND bar = CommandBar_Create(GetModule().GetModuleInstance(), parent, static_cast<int>(id));
  if (!bar) return nullptr;
  m_hWnd = bar;
  ::SendMessageW(bar, CCM_SETVERSION, 0x20C, 0);
  ::SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SetWindowSubclass(bar, SubclassProc, kSubclassId, 0);
  TBBUTTON buttons[3] = {};
  const UINT commands[3] = {kDropDownLeft, kDropDownSpacer, kDropDownRight};
  for (int i = 0; i < 3; ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = static_cast<int>(commands[i]);
    buttons[i].fsState = i == 1 ? TBSTATE_INDETERMINATE : TBSTATE_ENABLED;
    buttons[i].fsStyle = i == 1 ? BTNS_BUTTON : BTNS_DROPDOWN | BTNS_AUTOSIZE;
    buttons[i].iString = reinterpret_cast<INT_PTR>(L"");
  }
  ::SendMessageW(bar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
  Layout();
  ::SetWindowLongW(bar, GWL_STYLE, ::GetWindowLongW(bar, GWL_STYLE) | CCS_NORESIZE);
  if (CFontCache* cache = GetFontCache())
    ::SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(cache->GetSystemMenuFont(FALSE)), TRUE);
  return bar;
}

void CDropDownBar::SetItemValue(UINT command, LPCWSTR text) {
  if (!m_hWnd) return;
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_TEXT;
  info.pszText = const_cast<LPWSTR>(text ? text : L"");
  ::SendMessageW(m_hWnd, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
  Layout();
}

void CDropDownBar::Layout() {
  if (!m_hWnd) return;
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  const int left = ButtonWidth(m_hWnd, 0), right = ButtonWidth(m_hWnd, 2);
  const int room = client.right - left - right;
  if (room >= 2) {
    SetButtonWidth(m_hWnd, kDropDownSpacer, room);
    return;
  }
  SetButtonWidth(m_hWnd, kDropDownSpacer, 2);
  SetButtonWidth(m_hWnd, kDropDownLeft, left + room - 2);
}

LRESULT CDropDownBar::OnNotify(HWND bar, const NMHDR* header, BOOL& handled) {
  handled = TRUE;
  if (header->code == NM_CUSTOMDRAW) {
    switch (reinterpret_cast<const NMCUSTOMDRAW*>(header)->dwDrawStage) {
      case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
      case CDDS_ITEMPREPAINT: return 8;
      case CDDS_POSTPAINT: case CDDS_PREERASE: case CDDS_POSTERASE:
      case CDDS_ITEMPOSTPAINT: case CDDS_ITEMPREERASE: case CDDS_ITEMPOSTERASE:
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        return 0;
      default:
        handled = FALSE;
        return 0;
    }
  }
  if (header->code == TBN_DROPDOWN) {
    const int command = reinterpret_cast<const NMTOOLBARW*>(header)->iItem;
    ::SendMessageW(::GetParent(bar), WM_COMMAND, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(bar));
    return 0;
  }
  handled = FALSE;
  return 0;
}

LRESULT CALLBACK CDropDownBar::SubclassProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR) {
  if ((message == WM_NOTIFY || message == kReflectedBase + WM_NOTIFY) && lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == bar) {
      BOOL handled = FALSE;
      LRESULT result = OnNotify(bar, header, handled);
      if (handled) return result;
    }
  }
  return DefSubclassProc(bar, message, wParam, lParam);
}

LRESULT ReflectNotifications(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  HWND control = nullptr;
  switch (message) {
    case WM_COMMAND:
      control = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      if (lParam) control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      if (wParam && lParam) control = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (wParam && lParam) control = ::GetDlgItem(parent, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
      break;
    case WM_COMPAREITEM:
      if (wParam && lParam) control = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      if (wParam && lParam) control = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      control = reinterpret_cast<HWND>(lParam);
      break;
    default:
      break;
  }
  if (!control || !::IsWindow(control)) {
    handled = FALSE;
    return 0;
  }
  handled = TRUE;
  return ::SendMessageW(control, kReflectedBase + message, wParam, lParam);
}
