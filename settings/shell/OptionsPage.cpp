#include "settings/shell/OptionsPage.h"

#include "base/Translator.h"
#include "graphics/FontCache.h"
#include "platform/windowlib/Module.h"

COptionsPageBase::COptionsPageBase(UINT templateId, LPCWSTR title) : m_templateId(templateId), m_page() {
  InitPropSheetPage();
  if (title) {
    CString translated;
    TranslateText(title, translated);
    SetTitle(translated);
    return;
  }
  HINSTANCE instance = GetModule().GetResourceInstance();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* dialogTemplate = loaded ? LockResource(loaded) : nullptr;
  LPCWSTR caption = dialogTemplate ? GetDialogTemplateTitle(dialogTemplate) : nullptr;
  if (caption && *caption) {
    CString translated;
    TranslateText(caption, translated);
    SetTitle(translated);
  }
}

void COptionsPageBase::InitPropSheetPage() {
  m_page = {};
  m_page.dwSize = sizeof(m_page);
  m_page.hInstance = GetModule().GetResourceInstance();
  m_page.pszTemplate = MAKEINTRESOURCEW(m_templateId);
  CDialogImplBase::InitPropSheetPage(m_page);
}

void COptionsPageBase::SetTitle(LPCWSTR text) {
  m_title = text ? text : L"";
  m_page.pszTitle = m_title;
  m_page.dwFlags |= PSP_USETITLE;
}

void COptionsPageBase::BeginInitDialog() {
  m_inSetActive = FALSE;
  ApplyDialogFonts(GetFontCache(), m_hWnd);
  m_initialising = TRUE;
  LoadTranslatedDialogTexts(m_hWnd, m_templateId);
  GetTranslator().TranslateWindowTree(m_hWnd);
  m_initialising = FALSE;
}

void COptionsPageBase::EndInitDialog() {
  SHINITDLGINFO shell = {};
  shell.dwMask = SHIDIM_FLAGS;
  shell.hDlg = m_hWnd;
  shell.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
  SHInitDialog(&shell);
}

UINT COptionsPageBase::GetDeferredResetMessage() {
  static const UINT message = RegisterWindowMessageW(L"TarvoSettings_DeferredScreenReset");
  return message;
}

void COptionsPageBase::PostScreenReset() {
  // Desktop Win32 refuses to post WM_SETTINGCHANGE (it may carry a string); the page
  // then posts itself a reminder that sends it.
  if (!::PostMessageW(m_hWnd, WM_SETTINGCHANGE, kScreenResetCode, 0))
    ::PostMessageW(m_hWnd, GetDeferredResetMessage(), 0, 0);
}

LRESULT COptionsPageBase::ClearTextAt(LPARAM lParam) {
  // Whoever sends this, the page writes only into memory it may write.
  WCHAR* text = reinterpret_cast<WCHAR*>(lParam);
  if (!text || IsBadWritePtr(text, sizeof(WCHAR))) return 0;
  *text = L'\0';
  return 1;
}

void COptionsPageBase::PaintHeader(HDC dc) {
  int height = GetPageHeaderHeight();
  SCROLLINFO scroll = {};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_POS;
  int position = GetScrollInfo(m_hWnd, SB_VERT, &scroll) ? scroll.nPos : 0;
  WCHAR caption[256] = L"";
  ::GetWindowTextW(::GetParent(m_hWnd), caption, ARRAYSIZE(caption));
  if (height > 0) DrawPageHeader(dc, caption, height, -position);
}

BOOL COptionsPageBase::IsFromSheetOrPage(const NMHDR* header) const {
  return header && (header->hwndFrom == m_hWnd || header->hwndFrom == ::GetParent(m_hWnd));
}
