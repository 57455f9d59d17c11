#include "settings/pages/PatternIcons.h"

#include <cwctype>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"

namespace {
const UINT kNoLeadingIconText = 32833;
}

int CPatternIcons::FindLetter(WCHAR letter, BOOL lowerFirst) const {
  if (lowerFirst) letter = static_cast<WCHAR>(towlower(letter));
  for (int i = 0; i < m_count; ++i)
    if (m_letters[i].letter == letter) return i;
  return -1;
}

void CPatternIcons::Create(HWND page, int combo, int stripId) {
  if (m_icons.m_hWnd) return;
  HWND box = ::GetDlgItem(page, combo);
  RECT place = {};
  ::GetWindowRect(box, &place);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
  const int height = place.bottom - place.top;
  ::SetWindowPos(box, nullptr, place.left + height, place.top, place.right - place.left - height, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<int> icons;
  for (int i = 0; i < m_count; ++i) icons.push_back(m_letters[i].icon);
  m_icons.SetItems(icons.data(), m_count);
  RECT list = place;
  ::OffsetRect(&list, 0, 2 * height - ScaleY(4));
  m_icons.Create(page, &list, nullptr, WS_CHILD | WS_VISIBLE, 0, static_cast<UINT>(stripId));
}

void CPatternIcons::Show(HWND page, int combo, const CItemPattern& pattern) {
  HWND box = ::GetDlgItem(page, combo);
  m_icons.SetCurSel(-1);
  for (int i = 0; i < pattern.rest.GetLength(); ++i) {
    const int row = FindLetter(pattern.rest[i]);
    if (row >= 0) m_icons.SetCurSel(row);
  }
  ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
  CString text;
  LoadUIString(text, kNoLeadingIconText);
  ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
  ::SendMessageW(box, CB_SETCURSEL, 0, 0);
  const int leading = pattern.first.IsEmpty() ? -1 : FindLetter(pattern.first[0], TRUE);
  m_icons.ToggleItem(-1);
  for (int i = 0; i < m_count; ++i) {
    LoadUIString(text, m_letters[i].label);
    const LRESULT item = ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
    ::SendMessageW(box, CB_SETITEMDATA, static_cast<WPARAM>(item), m_letters[i].icon);
    if (i == leading) {
      ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
      m_icons.ToggleItem(i);
    }
  }
}

int CPatternIcons::Take(HWND page, int combo, CItemPattern& pattern) {
  const int k = static_cast<int>(::SendDlgItemMessageW(page, combo, CB_GETCURSEL, 0, 0)) - 1;
  CString prefix, suffix;
  m_icons.ToggleItem(-1);
  int leading = -1;
  if (k >= 0 && k < m_count) {
    prefix += m_letters[k].letter;
    m_icons.ToggleItem(k);
    leading = k;
  }
  for (int i = 0; i < m_count; ++i)
    if (m_icons.IsSelected(i) && !m_icons.IsChecked(i)) suffix += m_letters[i].letter;
  pattern.first = prefix;
  pattern.rest = suffix;
  return leading;
}

RECT CPatternIcons::GetIconSquare(HWND page, int combo) {
  RECT place = {};
  HWND box = ::GetDlgItem(page, combo);
  if (!box) return place;
  ::GetWindowRect(box, &place);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
  const int height = place.bottom - place.top;
  return RECT{place.left - height, place.top, place.left, place.bottom};
}

int CPatternIcons::GetLeadingIcon(HWND page, int combo) {
  const LRESULT item = ::SendDlgItemMessageW(page, combo, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR || item < 1) return -1;
  const LRESULT icon = ::SendDlgItemMessageW(page, combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
  return icon == CB_ERR ? -1 : static_cast<int>(icon);
}

void CPatternIcons::DrawLeadingIcon(HWND page, int combo, CTextRunList& context) {
  const int icon = GetLeadingIcon(page, combo);
  CDib* target = context.GetTarget();
  if (icon < 0 || !target) return;
  const RECT square = GetIconSquare(page, combo);
  const SIZE size = CSkin::Instance().GetIconSize(icon);
  const int x = square.left + (square.right - square.left - size.cx) / 2;
  const int y = square.top + (square.bottom - square.top - size.cy) / 2;
  CSkin::Instance().DrawIcon(icon, target, x, y, nullptr);
}
