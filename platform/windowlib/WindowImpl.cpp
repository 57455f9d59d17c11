#include "platform/windowlib/WindowImpl.h"

#include <stdio.h>
#include <string.h>

namespace {

// mov rcx, object ; mov rax, proc ; jmp rax
#pragma pack(push, 1)
struct ThunkCode {
  BYTE movRcx[2];
  void* object;
  BYTE movRax[2];
  void* proc;
  BYTE jmpRax[2];
};
#pragma pack(pop)

// Thunks live in a heap of their own whose memory may be executed.
HANDLE ThunkHeap() {
  static HANDLE heap = HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
  return heap;
}

}  // namespace

CProcThunk::~CProcThunk() {
  if (m_code) HeapFree(ThunkHeap(), 0, m_code);
}

BOOL CProcThunk::Init(void* object, void* proc) {
  if (!m_code) {
    HANDLE heap = ThunkHeap();
    m_code = heap ? HeapAlloc(heap, 0, sizeof(ThunkCode)) : nullptr;
    if (!m_code) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
  }
  ThunkCode code = {{0x48, 0xB9}, object, {0x48, 0xB8}, proc, {0xFF, 0xE0}};
  memcpy(m_code, &code, sizeof(code));
  FlushInstructionCache(GetCurrentProcess(), m_code, sizeof(code));
  return TRUE;
}

void* CWindowImplRoot::Bind(HWND hWnd, void* object, void* proc) {
  if (!m_thunk.Init(object, proc)) return nullptr;
  m_hWnd = hWnd;
  return m_thunk.GetCode();
}

BOOL CWindowImplRoot::Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, const MSG*& outer) {
  MSG msg = {m_hWnd, uMsg, wParam, lParam, 0, {0, 0}};
  outer = m_pCurrentMsg;
  m_pCurrentMsg = &msg;
  lResult = 0;
  BOOL handled = ProcessWindowMessage(m_hWnd, uMsg, wParam, lParam, lResult, 0);
  m_pCurrentMsg = outer;
  return handled;
}

void CWindowImplRoot::FinishIfLast(UINT uMsg, const MSG* outer) {
  if (uMsg == WM_NCDESTROY) m_lastMessageSeen = true;
  if (!m_lastMessageSeen || outer) return;
  m_lastMessageSeen = false;
  HWND hWnd = m_hWnd;
  m_hWnd = nullptr;
  OnFinalMessage(hWnd);
}

LRESULT CWindowImplRoot::ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  HWND child = nullptr;
  switch (uMsg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      if (lParam) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        child = header->hwndFrom ? header->hwndFrom : ::GetDlgItem(m_hWnd, static_cast<int>(header->idFrom));
      }
      break;
    case WM_DRAWITEM:
      if (wParam) child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (wParam) child = ::GetDlgItem(m_hWnd, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
      break;
    case WM_COMPAREITEM:
      if (wParam) child = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      if (wParam) child = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lParam);
      break;
    default:
      break;
  }
  if (!child || !::IsWindow(child)) {
    bHandled = FALSE;
    return 1;
  }
  return ::SendMessageW(child, OCM__BASE + uMsg, wParam, lParam);
}

BOOL CWindowImplRoot::DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                               LRESULT& lResult) {
  switch (uMsg) {
    case OCM_COMMAND:
    case OCM_NOTIFY:
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_COMPAREITEM:
    case OCM_DELETEITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
      lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam);
      return TRUE;
    default:
      return FALSE;
  }
}

CWindowImplBase::~CWindowImplBase() {
  // A window that outlives its object must not call into freed memory.
  if (m_hWnd && ::IsWindow(m_hWnd) &&
      reinterpret_cast<void*>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == m_thunk.GetCode())
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
}

HWND CWindowImplBase::Create(HWND hWndParent, const RECT* rect, LPCWSTR windowName, DWORD style, DWORD exStyle,
                             UINT id, ATOM atom, LPVOID param) {
  if (m_hWnd) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return nullptr;
  }
  if (!GetModule().AddCreateWndData(this, CModule::kWindowCreation)) return nullptr;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
  if (rect) {
    x = rect->left;
    y = rect->top;
    cx = rect->right - rect->left;
    cy = rect->bottom - rect->top;
  } else if (style & WS_CHILD) {
    x = y = cx = cy = 0;
  }
  HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
  HWND hWnd = ::CreateWindowExW(exStyle, MAKEINTATOM(atom), windowName, style, x, y, cx, cy, hWndParent, menu,
                                GetModule().GetModuleInstance(), param);
  DWORD error = GetLastError();
  GetModule().RemoveCreateWndData(this, CModule::kWindowCreation);  // still there when no message came
  SetLastError(error);
  return hWnd;
}

BOOL CWindowImplBase::SubclassWindow(HWND hWnd) {
  if (m_hWnd || !::IsWindow(hWnd)) {
    SetLastError(m_hWnd ? ERROR_ALREADY_EXISTS : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!m_thunk.Init(this, reinterpret_cast<void*>(GetWindowProc()))) return FALSE;
  WNDPROC previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_thunk.GetCode())));
  if (!previous) return FALSE;
  m_pfnSuperWindowProc = previous;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWindowImplBase::UnsubclassWindow(BOOL force) {
  if (!m_hWnd) return nullptr;
  void* current = reinterpret_cast<void*>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
  if (current != m_thunk.GetCode() && !force) return nullptr;
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  m_pfnSuperWindowProc = ::DefWindowProcW;
  return Detach();
}

LRESULT CALLBACK CWindowImplBase::StartWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CWindowImplBase*>(GetModule().ExtractCreateWndData(CModule::kWindowCreation));
  if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);  // made outside Create: no object
  self->m_pfnSuperWindowProc = ::DefWindowProcW;
  auto proc = reinterpret_cast<WNDPROC>(self->Bind(hWnd, self, reinterpret_cast<void*>(self->GetWindowProc())));
  if (!proc) return uMsg == WM_NCCREATE ? FALSE : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  return proc(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowImplBase::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CWindowImplBase*>(hWnd);
  const MSG* outer = nullptr;
  LRESULT result = 0;
  if (!self->Dispatch(uMsg, wParam, lParam, result, outer)) result = self->DefWindowProc(uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) self->m_pfnSuperWindowProc = ::DefWindowProcW;
  self->FinishIfLast(uMsg, outer);
  return result;
}

BOOL CWndClassInfo::Unregister() {
  // A class without a name of its own is known only by its atom.
  LPCWSTR name = wc.lpszClassName ? wc.lpszClassName : atom ? MAKEINTATOM(atom) : nullptr;
  return GetModule().UnregisterWndClass(name, GetModule().GetModuleInstance(), &atom);
}

ATOM CWndClassInfo::Register() {
  if (atom) return atom;
  WNDCLASSEXW copy = wc;
  WCHAR madeUpName[48];
  if (!copy.lpszClassName) {
    swprintf(madeUpName, 48, L"WindowLib:%p", static_cast<void*>(this));
    copy.lpszClassName = madeUpName;
  }
  copy.cbSize = sizeof(copy);
  copy.lpfnWndProc = CWindowImplBase::StartWindowProc;
  copy.hInstance = GetModule().GetModuleInstance();
  if (cursor && !copy.hCursor) copy.hCursor = ::LoadCursorW(nullptr, cursor);
  return GetModule().RegisterWndClass(copy, &atom);
}
