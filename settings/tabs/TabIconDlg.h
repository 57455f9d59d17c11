// CTabIconDlg: the pictures a custom tab may show: the icons its hosted items draw
// for themselves, then the icons of the tab icon archive.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/ScrollDialog.h"
#include "panel/TodayItemInfo.h"
#include "res/TarvoResIds.h"

struct TabIconChoice {
  DWORD smartIcon;  // 1: a hosted item's own icon; 0: an icon of the archive
  CString name;     // the item's key name, or the icon's base name
  HBITMAP bitmap;   // the chooser's until taken
};

// The choices in order, the one named current (ignoring case) in *selected (-1:
// none). The bitmaps are the caller's.
std::vector<TabIconChoice> CollectTabIconChoices(const std::vector<TodayItemInfo>& items, LPCWSTR current,
                                                 HWND parent, int* selected);

class CTabIconDlg : public CScrollDialog<CTabIconDlg> {
 public:
  enum { IDD = IDD_TAB_ICON, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = 0 };

  CTabIconDlg(const std::vector<TodayItemInfo>& items, LPCWSTR current, HWND parent);
  ~CTabIconDlg();

  BOOL OnFill();
  void OnOK();

  // After OK with a choice: its kind, name and picture (the picture then the caller's).
  DWORD GetSmartIcon() const;
  CString GetIconName() const;
  HBITMAP TakeBitmap();
  const std::vector<TabIconChoice>& GetChoices() const { return m_choices; }

  BEGIN_MSG_MAP(CTabIconDlg)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    CHAIN_MSG_MAP(CScrollDialog<CTabIconDlg>)
  END_MSG_MAP()

 private:
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  std::vector<TabIconChoice> m_choices;
  int m_selected = -1;
  HIMAGELIST m_images = nullptr;
};
