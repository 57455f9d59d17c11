// The reminder interval: a number of minutes (-1: none) edited as a count of
// minutes, hours, days or weeks. Ends with 1 (the value set) or 2.
#pragma once
#include <windows.h>

#include "controls/DialogBase.h"
#include "platform/windowlib/String.h"
#include "res/TarvoResIds.h"

class CValueEntryDlg : public CDialogBase {
 public:
  enum { IDD = IDD_VALUE_ENTRY };
  enum Unit { kMinutes = 0, kHours = 1, kDays = 2, kWeeks = 3, kUnitCount = 4 };
  enum State { kStateNone = 0, kStateSet = 1 };

  CValueEntryDlg(LPCWSTR caption, int minutes) : m_caption(caption ? caption : L""), m_value(minutes) {}

  INT_PTR DoModal(HWND parent = ::GetActiveWindow()) { return CDialogBase::DoModal(IDD, parent); }
  // The minutes after OK: -1 when the reminder is off.
  int GetValue() const { return m_value; }

  // The largest unit dividing minutes and the count in it (0 is 0 weeks); a
  // negative value is 1 minute.
  static void SplitMinutes(int minutes, int& count, int& unit);
  // count x the unit's minutes, kept within 32 bits; 0 for a negative count or
  // an unknown unit.
  static int JoinMinutes(int count, int unit);
  // The leading decimal digits of text (0 for none), stopping before overflow.
  static int ParseCount(LPCWSTR text);
  // The count list of a unit (1, 5, 10, 15, 20, 30, 45 minutes; else 1 to 6), each
  // entry carrying its number; the typed text stays, the entry of its count selected.
  static void FillCountList(HWND combo, int unit);
  // The unit names, the count field (digits only, three at most) showing count, and
  // the count list of unit.
  static void InitReminderLists(HWND counts, HWND units, int count, int unit);

  BEGIN_MSG_MAP(CValueEntryDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_MOVE, OnMove)
    COMMAND_HANDLER(IDC_VALUE_UNIT, CBN_SELCHANGE, OnUnitChange)
    COMMAND_HANDLER(IDC_VALUE_ON, BN_CLICKED, OnCheck)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnUnitChange(WORD, WORD, HWND, BOOL&);
  LRESULT OnCheck(WORD, WORD, HWND, BOOL&);
  LRESULT OnOK(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  void FillCounts(int unit);
  void EnableControls();
  int SelectedUnit();

  CString m_caption;
  int m_value;
  int m_state = kStateNone;
};
