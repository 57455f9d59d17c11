#include "controls/ToolbarCtrl.h"

#include "controls/ControlFonts.h"

namespace {

// Sent to every new toolbar as the device's command bar expects.
const UINT kToolbarSetupMessage = 0x2007;
const WPARAM kToolbarSetupValue = 524;
const int kMinGap = 2;
// A notification the parent sent back to the control that made it.
const UINT kReflectedNotify = 0x2000 + WM_NOTIFY;

}  // namespace

CToolbarCtrl::~CToolbarCtrl() {
  if (m_hWnd) UnsubclassWindow(TRUE);
}

HWND CToolbarCtrl::Create(HWND parent, DWORD style, UINT id, int bitmaps, HINSTANCE bitmapInstance,
                          UINT_PTR bitmapId) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  HWND toolbar = CreateToolbarEx(parent, style, id, bitmaps, bitmapInstance, bitmapId, nullptr, 0, 0, 0, 0, 0,
                                 sizeof(TBBUTTON));
  if (!toolbar) return nullptr;
  ::SendMessageW(toolbar, kToolbarSetupMessage, kToolbarSetupValue, 0);
  if (!SubclassWindow(toolbar)) {
    ::DestroyWindow(toolbar);
    return nullptr;
  }
  TBBUTTON buttons[3] = {};
  const UINT commands[3] = {ID_TOOLBAR_LEFT, ID_TOOLBAR_GAP, ID_TOOLBAR_RIGHT};
  for (int i = 0; i < 3; ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = static_cast<int>(commands[i]);
    buttons[i].fsState = i == 1 ? TBSTATE_INDETERMINATE : TBSTATE_ENABLED;
    buttons[i].fsStyle = i == 1 ? BTNS_BUTTON : BTNS_DROPDOWN | BTNS_AUTOSIZE;
    buttons[i].iString = -1;
  }
  ::SendMessageW(toolbar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
  Layout();
  ::SetWindowLongPtrW(toolbar, GWL_STYLE, ::GetWindowLongPtrW(toolbar, GWL_STYLE) | CCS_NORESIZE);
  ::SendMessageW(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(GetControlListFont()), TRUE);
  return toolbar;
}

BOOL CToolbarCtrl::SetButtonText(UINT command, LPCWSTR text) {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_TEXT;
  info.pszText = const_cast<LPWSTR>(text ? text : L"");
  const BOOL done = ::SendMessageW(m_hWnd, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) != 0;
  Layout();
  return done;
}

BOOL CToolbarCtrl::SetButtonImage(UINT command, int image) {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_IMAGE;
  info.iImage = image;
  const BOOL done = ::SendMessageW(m_hWnd, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) != 0;
  Layout();
  return done;
}

BOOL CToolbarCtrl::HideButton(UINT command, BOOL hide) {
  const BOOL done = ::SendMessageW(m_hWnd, TB_HIDEBUTTON, command, MAKELPARAM(hide ? TRUE : FALSE, 0)) != 0;
  Layout();
  return done;
}

int CToolbarCtrl::GetButtonWidth(UINT command) {
  const LRESULT index = ::SendMessageW(m_hWnd, TB_COMMANDTOINDEX, command, 0);
  if (index < 0) return 0;
  RECT rect;
  if (!::SendMessageW(m_hWnd, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect))) return 0;
  return rect.right - rect.left;
}

void CToolbarCtrl::SetButtonWidth(UINT command, int width) {
  TBBUTTONINFOW info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_SIZE;
  info.cx = static_cast<WORD>(width);
  ::SendMessageW(m_hWnd, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
}

void CToolbarCtrl::Layout() {
  if (!m_hWnd) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int left = GetButtonWidth(ID_TOOLBAR_LEFT);
  const int gap = client.right - left - GetButtonWidth(ID_TOOLBAR_RIGHT);
  if (gap >= kMinGap) {
    SetButtonWidth(ID_TOOLBAR_GAP, gap);
    return;
  }
  SetButtonWidth(ID_TOOLBAR_GAP, kMinGap);
  const int narrowed = left + gap - kMinGap;
  SetButtonWidth(ID_TOOLBAR_LEFT, narrowed > 0 ? narrowed : 0);
}

BOOL CToolbarCtrl::OnNotify(NMHDR* header, LRESULT& result) {
  if (!header) return FALSE;
  result = 0;
  if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
    const DWORD stage = reinterpret_cast<NMCUSTOMDRAW*>(header)->dwDrawStage;
    switch (stage) {
      case CDDS_PREPAINT:
        result = GetPrePaintResult();
        return TRUE;
      case CDDS_ITEMPREPAINT:
        result = GetItemPrePaintResult();
        return TRUE;
      case CDDS_POSTPAINT:
      case CDDS_PREERASE:
      case CDDS_POSTERASE:
      case CDDS_ITEMPOSTPAINT:
      case CDDS_ITEMPREERASE:
      case CDDS_ITEMPOSTERASE:
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        return TRUE;
      default:
        return FALSE;
    }
  }
  if (header->code == static_cast<UINT>(TBN_DROPDOWN)) {
    const NMTOOLBARW* drop = reinterpret_cast<NMTOOLBARW*>(header);
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, static_cast<WPARAM>(drop->iItem),
                   reinterpret_cast<LPARAM>(m_hWnd));
    result = TBDDRET_DEFAULT;
    return TRUE;
  }
  return FALSE;
}

BOOL CToolbarCtrl::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result, DWORD mapId) {
  if (mapId != 0) return FALSE;
  if (message == WM_NOTIFY || message == kReflectedNotify) return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
  return FALSE;
}
