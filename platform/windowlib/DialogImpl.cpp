#include "platform/windowlib/DialogImpl.h"

namespace {

thread_local CDialogImplBase::ModalHook t_modalHook = nullptr;
thread_local void* t_modalHookContext = nullptr;

}  // namespace

void CDialogImplBase::SetModalHook(ModalHook hook, void* context) {
  t_modalHook = hook;
  t_modalHookContext = context;
}

CDialogImplBase::~CDialogImplBase() {
  // A dialog that outlives its object falls back to the plain dialog manager.
  if (m_hWnd && ::IsWindow(m_hWnd) &&
      reinterpret_cast<void*>(::GetWindowLongPtrW(m_hWnd, DWLP_DLGPROC)) == m_thunk.GetCode())
    ::SetWindowLongPtrW(m_hWnd, DWLP_DLGPROC, 0);
}

INT_PTR CDialogImplBase::DoModal(UINT templateId, HWND hWndParent, LPARAM initParam) {
  if (m_hWnd) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return -1;
  }
  if (!GetModule().AddCreateWndData(this, CModule::kDialogCreation)) return -1;
  m_modal = true;
  INT_PTR result = ::DialogBoxParamW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(templateId), hWndParent,
                                     StartDialogProc, initParam);
  DWORD error = GetLastError();
  m_modal = false;
  GetModule().RemoveCreateWndData(this, CModule::kDialogCreation);  // still there when no message came
  SetLastError(error);
  return result;
}

HWND CDialogImplBase::Create(UINT templateId, HWND hWndParent, LPARAM initParam) {
  if (m_hWnd) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return nullptr;
  }
  if (!GetModule().AddCreateWndData(this, CModule::kDialogCreation)) return nullptr;
  HWND hWnd = ::CreateDialogParamW(GetModule().GetResourceInstance(), MAKEINTRESOURCEW(templateId), hWndParent,
                                   StartDialogProc, initParam);
  DWORD error = GetLastError();
  GetModule().RemoveCreateWndData(this, CModule::kDialogCreation);
  SetLastError(error);
  return hWnd;
}

void CDialogImplBase::InitPropSheetPage(PROPSHEETPAGEW& page) {
  page.dwFlags |= PSP_USECALLBACK;
  page.pfnDlgProc = StartDialogProc;
  page.pfnCallback = PropPageCallback;
  page.lParam = reinterpret_cast<LPARAM>(this);
}

UINT CALLBACK CDialogImplBase::PropPageCallback(HWND, UINT uMsg, PROPSHEETPAGEW* page) {
  if (uMsg != PSPCB_CREATE || !page) return 0;
  auto* self = reinterpret_cast<CDialogImplBase*>(page->lParam);
  return GetModule().AddCreateWndData(self, CModule::kDialogCreation) ? 1 : 0;
}

INT_PTR CALLBACK CDialogImplBase::StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CDialogImplBase*>(GetModule().ExtractCreateWndData(CModule::kDialogCreation));
  if (!self) return FALSE;
  auto proc = reinterpret_cast<DLGPROC>(self->Bind(hWnd, self, reinterpret_cast<void*>(self->GetDialogProc())));
  if (!proc) return FALSE;
  ::SetWindowLongPtrW(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  return proc(hWnd, uMsg, wParam, lParam);
}

INT_PTR CALLBACK CDialogImplBase::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDialogImplBase*>(hWnd);
  const MSG* outer = nullptr;
  LRESULT result = 0;
  INT_PTR answer = FALSE;
  if (self->Dispatch(uMsg, wParam, lParam, result, outer)) {
    switch (uMsg) {
      case WM_INITDIALOG:
      case WM_COMPAREITEM:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_QUERYDRAGICON:
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        answer = static_cast<INT_PTR>(result);
        break;
      default:
        if (self->m_hWnd) ::SetWindowLongPtrW(self->m_hWnd, DWLP_MSGRESULT, result);
        answer = TRUE;
        break;
    }
  }
  if (uMsg == WM_INITDIALOG && self->m_modal && t_modalHook && self->m_hWnd) t_modalHook(self->m_hWnd, t_modalHookContext);
  self->FinishIfLast(uMsg, outer);
  return answer;
}
