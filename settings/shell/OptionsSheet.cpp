#include "settings/shell/OptionsSheet.h"

#include <cwchar>

#include "base/Translator.h"
#include "controls/MenuUtils.h"
#include "controls/ScrollDialog.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"

namespace {

thread_local COptionsSheetBase::RunHook t_runHook = nullptr;
thread_local void* t_runHookContext = nullptr;
// The link text of the sheet being created, for the one PSCB_GETLINKTEXT after it.
thread_local WCHAR t_pendingLinkText[128] = L"";
// Sheets of this thread running now: a sheet opened over another is the second.
thread_local int t_runningSheets = 0;

}  // namespace

void COptionsSheetBase::SetRunHook(RunHook hook, void* context) {
  t_runHook = hook;
  t_runHookContext = context;
}

COptionsSheetBase::COptionsSheetBase(LPCWSTR caption, UINT startPage, HWND parent, PFNPROPSHEETCALLBACK callback)
    : m_header(), m_linkText() {
  m_header.dwSize = sizeof(m_header);
  m_header.dwFlags = PSH_USECALLBACK | PSH_MAXIMIZE;
  m_header.hwndParent = parent;
  m_header.hInstance = GetModule().GetResourceInstance();
  m_caption = caption ? caption : L"";
  m_header.pszCaption = m_caption;
  m_header.nStartPage = startPage;
  m_header.pfnCallback = callback;
}

COptionsSheetBase::~COptionsSheetBase() { FreePageHandles(TRUE); }

void COptionsSheetBase::FreePageHandles(BOOL destroy) {
  if (destroy)
    for (int i = 0; i < m_pages.GetSize(); ++i) DestroyPropertySheetPage(m_pages[i]);
  m_pages.RemoveAll();
}

void COptionsSheetBase::SetTitle(LPCWSTR text, UINT flags) {
  if (m_hWnd) {
    ::SendMessageW(m_hWnd, PSM_SETTITLEW, flags, reinterpret_cast<LPARAM>(text));
    return;
  }
  m_caption = text ? text : L"";
  m_header.pszCaption = m_caption;
  m_header.dwFlags = (m_header.dwFlags & ~static_cast<DWORD>(PSH_PROPTITLE)) | flags;
}

void COptionsSheetBase::SetLinkText(LPCWSTR text) {
  lstrcpynW(m_linkText, text ? text : L"", ARRAYSIZE(m_linkText));
}

BOOL COptionsSheetBase::AddPage(COptionsPageBase& page) {
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page.GetPropSheetPage());
  if (!handle) return FALSE;
  BOOL added = m_hWnd ? static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle)))
                      : m_pages.Add(handle);
  if (!added) DestroyPropertySheetPage(handle);
  return added;
}

INT_PTR COptionsSheetBase::DoModal(HWND parent) {
  if (m_hWnd) return -1;
  m_header.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS);
  if (!m_header.hwndParent) m_header.hwndParent = parent;
  m_header.phpage = m_pages.GetData();
  m_header.nPages = static_cast<UINT>(m_pages.GetSize());
  if (!GetModule().AddCreateWndData(this)) return -1;
  lstrcpynW(t_pendingLinkText, m_linkText, ARRAYSIZE(t_pendingLinkText));
  ++t_runningSheets;
  INT_PTR result = CePropertySheet(&m_header);
  --t_runningSheets;
  GetModule().RemoveCreateWndData(this);  // still there when the sheet never came up
  m_header.phpage = nullptr;
  m_header.nPages = 0;
  // The sheet has taken the handles, whether it ran or not.
  FreePageHandles(FALSE);
  return result;
}

int COptionsSheetBase::CommonSheetCallback(HWND sheet, UINT message, LPARAM lParam) {
  switch (message) {
    case PSCB_INITIALIZED: {
      auto* self = static_cast<COptionsSheetBase*>(GetModule().ExtractCreateWndData());
      if (self && self->SubclassWindow(sheet)) {
        self->m_header.nPages = 0;
        self->m_header.phpage = nullptr;
        self->FreePageHandles(FALSE);
      }
      return 0;
    }
    case PSCB_GETLINKTEXT:
      if (lParam && t_pendingLinkText[0]) {
        lstrcpynW(reinterpret_cast<WCHAR*>(lParam), t_pendingLinkText, ARRAYSIZE(t_pendingLinkText));
        t_pendingLinkText[0] = L'\0';
      }
      return 0;
    case PSCB_GETVERSION:
      return 0x020C;
    default:
      return 0;
  }
}

LRESULT COptionsSheetBase::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  InitFullScreenDialog(m_hWnd);
  m_menuBar = CreateDialogMenuBar(m_hWnd, m_menuBarId);

  GetTranslator().TranslateWindowTree(m_hWnd);
  TranslateMenuBar(GetTranslator(), m_hWnd, 0);
  // The main window stays usable while a sheet runs; a sheet opened over another
  // leaves that one disabled until it ends, so the two never take input at once.
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (t_runningSheets == 1 && owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (t_runHook) t_runHook(*this, t_runHookContext);
  return 1;
}
