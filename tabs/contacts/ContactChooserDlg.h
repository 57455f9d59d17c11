// CContactChooserDlg: the list of contacts with a photo from which the user picks the
// contact of a new photo-contact applet. Ends with 1 and the chosen contact's record
// oid, or 2 (nothing chosen, or cancelled: oid 0).
#pragma once
#include <windows.h>

#include "controls/ChooserFrame.h"
#include "controls/ScrollDialog.h"
#include "res/TarvoResIds.h"

class CContactsList;

class CContactChooserDlg : public CScrollDialog<CContactChooserDlg> {
 public:
  enum { IDD = IDD_CONTACT_CHOOSER, kMenuBarId = IDM_CHOOSER_BAR, kInitDataId = 0 };

  // preselected: the record oid shown selected; contacts null: the process's list.
  explicit CContactChooserDlg(DWORD preselected = 0, CContactsList* contacts = nullptr)
      : m_preselected(preselected),
        m_result(0),
        m_contacts(contacts),
        m_frame(IDC_CONTACT_CHOOSER_LIST, FALSE, TRUE) {}

  DWORD GetResult() const { return m_result; }

  BOOL OnFill();
  void OnOK();

  BEGIN_MSG_MAP(CContactChooserDlg)
    CHAIN_MSG_MAP_MEMBER(m_frame)
    CHAIN_MSG_MAP(CScrollDialog<CContactChooserDlg>)
  END_MSG_MAP()

 private:
  DWORD m_preselected;
  DWORD m_result;
  CContactsList* m_contacts;
  CChooserFrame m_frame;
};
