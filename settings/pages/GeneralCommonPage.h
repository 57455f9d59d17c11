// The General sheet's first page: the panel's height for the screen's orientation
// (from the tab bar's height up to 300), whether the panel sizes itself, how its
// header may be minimised, which program opens items, and what a double tap does.
#pragma once
#include <windows.h>

#include "settings/pages/PageTable.h"

const int kPanelHeightEdit = 1000;
const int kPanelHeightUpDown = 1002;
const int kAutoSizeBox = 1001;
const int kAutoSizeText = 1005;
const int kPimProviderCombo = 1004;
const int kDoubleTapCombo = 1057;
const int kHeaderMinimiseCombo = 1058;

const int kMaxPanelHeight = 300;

// The header combo's item for the stored "HeaderMinimized" and "AllowMinimization".
int HeaderMinimiseItem(DWORD headerMinimized, DWORD allowMinimization);
// What applying an item writes: "HeaderMinimized" (the stored one when it stays) and
// "AllowMinimization".
void HeaderMinimiseValues(int item, DWORD storedHeaderMinimized, DWORD* headerMinimized, DWORD* allowMinimization);

class CGeneralCommonPage : public COptionsPage<CGeneralCommonPage> {
 public:
  enum { IDD = FindPage(0, 0).templateId };

  BOOL OnInitPage();
  BOOL OnApply();
  LPCWSTR GetHelpTopic() { return FindPage(0, 0).helpTopic; }
  void OnAutoSizeClicked(BOOL fromBox);
  void UpdateHeightFields();
  // 1 when the provider can be used; 0 after telling the user why not.
  BOOL CheckPimProvider(DWORD provider);
  void UpdateLayout() { UpdateHeightFields(); }

  int GetMinimumHeight() const { return m_minimum; }

  BEGIN_MSG_MAP(CGeneralCommonPage)
    COMMAND_HANDLER(kAutoSizeBox, BN_CLICKED, OnAutoSizeCommand)
    CHAIN_MSG_MAP(COptionsPage<CGeneralCommonPage>)
  END_MSG_MAP()

 private:
  LRESULT OnAutoSizeCommand(WORD, WORD, HWND, BOOL&) {
    if (!IsInitialising()) OnAutoSizeClicked(TRUE);
    return 0;
  }
  static BOOL IsLandscapeNow();
  // The edit's number, raised to the minimum; kMaxPanelHeight + 1 and above are kept.
  DWORD ReadHeight();

  int m_minimum = 60;
  DWORD m_portrait = 0;
  DWORD m_landscape = 0;
  BOOL m_isLandscape = FALSE;
  DWORD m_autoSize = 1;
};
