#include "controls/ValueEntryDlg.h"

#include <climits>

#include "base/DialogPlacement.h"
#include "base/Translator.h"
#include "controls/ScrollDialog.h"
#include "graphics/FontCache.h"
#include "platform/aygshell/aygshell.h"

namespace {

const int kUnitMinutes[CValueEntryDlg::kUnitCount] = {1, 60, 1440, 10080};
const UINT kUnitTexts[CValueEntryDlg::kUnitCount] = {IDS_UNIT_MINUTES, IDS_UNIT_HOURS, IDS_UNIT_DAYS,
                                                     IDS_UNIT_WEEKS};
const int kMinuteCounts[] = {1, 5, 10, 15, 20, 30, 45};
const int kMaxCountDigits = 3;

}  // namespace

void CValueEntryDlg::SplitMinutes(int minutes, int& count, int& unit) {
  if (minutes < 0) {
    count = 1;
    unit = kMinutes;
    return;
  }
  for (unit = kWeeks; unit > kMinutes; --unit) {
    if (minutes % kUnitMinutes[unit] == 0) break;
  }
  count = minutes / kUnitMinutes[unit];
}

int CValueEntryDlg::JoinMinutes(int count, int unit) {
  if (count < 0 || unit < 0 || unit >= kUnitCount) return 0;
  if (count > INT_MAX / kUnitMinutes[unit]) return INT_MAX / kUnitMinutes[unit] * kUnitMinutes[unit];
  return count * kUnitMinutes[unit];
}

int CValueEntryDlg::ParseCount(LPCWSTR text) {
  int value = 0;
  for (; text && *text >= L'0' && *text <= L'9'; ++text) {
    if (value > (INT_MAX - 9) / 10) break;
    value = value * 10 + (*text - L'0');
  }
  return value;
}

int CValueEntryDlg::SelectedUnit() {
  const int unit = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_VALUE_UNIT, CB_GETCURSEL, 0, 0));
  return unit >= 0 && unit < kUnitCount ? unit : kMinutes;
}

void CValueEntryDlg::FillCounts(int unit) { FillCountList(GetDlgItem(IDC_VALUE_COUNT), unit); }

void CValueEntryDlg::FillCountList(HWND combo, int unit) {
  WCHAR text[16] = L"";
  ::GetWindowTextW(combo, text, ARRAYSIZE(text));
  int count = ParseCount(text);
  if (count == 0) count = 1;
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  int selected = -1;
  const int items = unit == kMinutes ? ARRAYSIZE(kMinuteCounts) : 6;
  for (int i = 0; i < items; ++i) {
    const int number = unit == kMinutes ? kMinuteCounts[i] : i + 1;
    WCHAR item[16];
    wsprintfW(item, L"%d", number);
    const LRESULT at = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    if (at < 0) continue;
    ::SendMessageW(combo, CB_SETITEMDATA, at, number);
    if (number == count) selected = static_cast<int>(at);
  }
  ::SendMessageW(combo, CB_SETCURSEL, selected, 0);
  // The count typed stays as typed, even one the list does not hold.
  ::SetWindowTextW(combo, text);
}

void CValueEntryDlg::InitReminderLists(HWND counts, HWND units, int count, int unit) {
  for (int u = 0; u < kUnitCount; ++u) {
    CString text;
    LoadUIString(text, kUnitTexts[u]);
    ::SendMessageW(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
  }
  ::SendMessageW(units, CB_SETCURSEL, unit, 0);
  ::SendMessageW(counts, CB_LIMITTEXT, kMaxCountDigits, 0);
  if (HWND edit = ::GetWindow(counts, GW_CHILD))
    ::SetWindowLongPtrW(edit, GWL_STYLE, ::GetWindowLongPtrW(edit, GWL_STYLE) | ES_NUMBER);
  WCHAR text[16];
  wsprintfW(text, L"%d", count);
  ::SetWindowTextW(counts, text);
  FillCountList(counts, unit);
}

void CValueEntryDlg::EnableControls() {
  ::EnableWindow(GetDlgItem(IDC_VALUE_COUNT), m_state == kStateSet);
  ::EnableWindow(GetDlgItem(IDC_VALUE_UNIT), m_state == kStateSet);
}

LRESULT CValueEntryDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  DlgCenterWindow(m_hWnd, nullptr);
  ApplyDialogFonts(GetFontCache(), m_hWnd);
  CreateDialogMenuBar(m_hWnd, 0);
  if (!m_caption.IsEmpty()) SetWindowText(m_caption);
  int count = 1, unit = kMinutes;
  SplitMinutes(m_value, count, unit);
  m_state = m_value >= 0 ? kStateSet : kStateNone;
  ::CheckDlgButton(m_hWnd, IDC_VALUE_ON, m_state == kStateSet ? BST_CHECKED : BST_UNCHECKED);
  InitReminderLists(GetDlgItem(IDC_VALUE_COUNT), GetDlgItem(IDC_VALUE_UNIT), count, unit);
  EnableControls();
  SHDoneButton(m_hWnd, 0);
  GetTranslator().TranslateDialog(m_hWnd);
  return TRUE;
}

LRESULT CValueEntryDlg::OnMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  PlaceDialogAboveSip(m_hWnd);
  handled = FALSE;
  return 0;
}

LRESULT CValueEntryDlg::OnUnitChange(WORD, WORD, HWND, BOOL&) {
  FillCounts(SelectedUnit());
  return 0;
}

LRESULT CValueEntryDlg::OnCheck(WORD, WORD, HWND, BOOL&) {
  m_state = ::IsDlgButtonChecked(m_hWnd, IDC_VALUE_ON) == BST_CHECKED ? kStateSet : kStateNone;
  EnableControls();
  return 0;
}

LRESULT CValueEntryDlg::OnOK(WORD, WORD, HWND, BOOL&) {
  if (m_state == kStateSet) {
    WCHAR text[16] = L"";
    ::GetWindowTextW(GetDlgItem(IDC_VALUE_COUNT), text, ARRAYSIZE(text));
    m_value = JoinMinutes(ParseCount(text), SelectedUnit());
  } else {
    m_value = -1;
  }
  EndDialog(IDOK);
  return 0;
}

LRESULT CValueEntryDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}
