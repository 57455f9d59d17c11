#include "settings/pages/SkinsPage.h"

#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "graphics/Skin.h"
#include "res/TarvoResIds.h"
#include "settings/pages/FileFinder.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PreviewSamples.h"
#include "settings/shell/UserPrompt.h"

namespace {

void WriteSkinName(LPCWSTR name) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetString(L"SkinName", name);
}

CString ComboText(HWND combo, int index) {
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return CString();
  CString text;
  LPWSTR buffer = text.GetBuffer(static_cast<int>(length) + 1);
  const LRESULT got = ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer(got == CB_ERR ? 0 : static_cast<int>(got));
  return text;
}

}  // namespace

BOOL CSkinsPage::OnInitPage() {
  m_ready = FALSE;
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  m_preview.Place(m_hWnd, 90, 150);
  m_preview.SetRows(NewSampleAppointmentRow(FALSE), NewSampleTaskRow());
  HWND combo = ::GetDlgItem(m_hWnd, kSkinCombo);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  CString folder;
  GetInstallPath(folder, L"Skins");
  CFileFinder finder;
  for (CString name = finder.FindFirst(folder); !name.IsEmpty(); name = finder.FindNext())
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(name)));
  m_initialName = CSkin::Instance().GetSkinName();
  if (::SendMessageW(combo, CB_GETCOUNT, 0, 0) > 0) {
    SelectSkin(m_initialName);
  } else {
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Classic"));
    SelectComboItem(m_hWnd, kSkinCombo, 0);
  }
  m_preview.TakeBackground();
  ::SetCursor(previous);
  m_ready = TRUE;
  return TRUE;
}

void CSkinsPage::SelectSkin(LPCWSTR name) {
  const LRESULT found =
      ::SendDlgItemMessageW(m_hWnd, kSkinCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  SelectComboItem(m_hWnd, kSkinCombo, found == CB_ERR ? 0 : static_cast<int>(found));
}

BOOL CSkinsPage::LoadSelectedSkin() {
  m_ready = FALSE;
  BOOL loaded = FALSE;
  const int selection = GetComboSelection(m_hWnd, kSkinCombo);
  if (selection >= 0) {
    WriteSkinName(ComboText(::GetDlgItem(m_hWnd, kSkinCombo), selection));
    CSkin& skin = CSkin::Instance();
    // The path follows "SkinName" again, the one just written.
    skin.UseSkinPath(nullptr);
    loaded = skin.IsComplete();
    if (!loaded) {
      WriteSkinName(m_initialName);
      skin.Release();
    }
  }
  RelayoutPreview();
  m_ready = TRUE;
  return loaded;
}

void CSkinsPage::OnSkinSelChange() {
  if (!m_ready) return;
  if (LoadSelectedSkin()) return;
  CString text, caption;
  LoadTranslatedString(text, IDS_SKIN_LOAD_FAILED);
  LoadTranslatedString(caption, IDS_SETTINGS_TITLE);
  ShowMessageBox(m_hWnd, text, caption, MB_OK | MB_ICONERROR);
  OnReset();
}

BOOL CSkinsPage::OnApply() {
  LoadSelectedSkin();
  return TRUE;
}

BOOL CSkinsPage::OnSetActive() {
  LoadSelectedSkin();
  return COptionsPage<CSkinsPage>::OnSetActive();
}

void CSkinsPage::OnReset() {
  WriteSkinName(m_initialName);
  SelectSkin(m_initialName);
  CSkin::Instance().UseSkinPath(nullptr);
  CSkin::Instance().Release();
  RelayoutPreview();
}
