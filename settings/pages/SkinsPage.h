// The General sheet's skins page: the skins installed in the install folder's
// "Skins" (sub-folders and .zip archives). A chosen skin is written as "SkinName" at
// once so that the skin loader can try it; one that does not load completely is
// never left there.
#pragma once
#include <windows.h>

#include "settings/pages/PagePreview.h"
#include "settings/pages/PageTable.h"

const int kSkinCombo = 1017;

class CSkinsPage : public COptionsPage<CSkinsPage> {
 public:
  enum { IDD = FindPage(0, 5).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  BOOL OnSetActive();
  void OnReset();
  LPCWSTR GetHelpTopic() { return FindPage(0, 5).helpTopic; }
  // Writes the selection as "SkinName" and loads it; a skin that is not complete
  // puts the initial name back. Non-zero when the skin loaded completely.
  BOOL LoadSelectedSkin();
  void OnSkinSelChange();
  // A sample appointment and a sample task in the skin chosen.
  void DrawPreview(HDC dc) { m_preview.Draw(m_hWnd, dc); }
  CPagePreview& GetPreview() { return m_preview; }
  const CString& GetInitialSkinName() const { return m_initialName; }

  BEGIN_MSG_MAP(CSkinsPage)
    COMMAND_HANDLER(kSkinCombo, CBN_SELCHANGE, OnSkinCommand)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    CHAIN_MSG_MAP(COptionsPage<CSkinsPage>)
  END_MSG_MAP()

 private:
  LRESULT OnSkinCommand(WORD, WORD, HWND, BOOL&) {
    OnSkinSelChange();
    return 0;
  }
  void SelectSkin(LPCWSTR name);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  void RelayoutPreview() {
    m_preview.Layout();
    m_preview.Invalidate(m_hWnd);
  }

  CString m_initialName;
  BOOL m_ready = FALSE;
  CPagePreview m_preview;
};
