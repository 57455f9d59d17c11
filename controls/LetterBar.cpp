#include "controls/LetterBar.h"

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/ControlFonts.h"
#include "controls/ItemPalette.h"
#include "controls/LetterMatch.h"
#include "controls/PopupMenuTracker.h"
#include "controls/TextRunList.h"
#include "res/TarvoResIds.h"

namespace {

const WCHAR kBackspaceText[] = L"\x00AB";
const WCHAR kSwitchText[] = L"\x00A4";
const int kMaxRoom = 240;
const WCHAR kBackspaceKey = 8;
const int kFirstDigitCommand = 50;
const DWORD kHoldResult = GN_CONTEXTMENU;

TickSource g_tickSource = nullptr;
GestureRecognizer g_recognizer = nullptr;

// Tap-and-hold comes from the shell by ordinal, bound on first use.
DWORD ShellRecognizeGesture(SHRGINFO* info) {
  typedef DWORD(WINAPI * Recognize)(SHRGINFO*);
  static Recognize recognize = [] {
    HMODULE shell = LoadLibraryW(L"aygshell.dll");
    return shell ? reinterpret_cast<Recognize>(
                       reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(40))))
                 : nullptr;
  }();
  return recognize ? recognize(info) : 0;
}

DWORD Ticks() { return g_tickSource ? g_tickSource() : GetTickCount(); }

}  // namespace

void CLetterBar::SetTickSource(TickSource source) { g_tickSource = source; }
void CLetterBar::SetGestureRecognizer(GestureRecognizer recognizer) { g_recognizer = recognizer; }

CLetterBar::CLetterBar(ILetterBarListener* listener, IKeyLayoutSettingsOpener* opener, CKeyLayouts* layouts)
    : m_pListener(listener),
      m_pOpener(opener),
      m_pLayouts(layouts ? layouts : &CKeyLayouts::Instance()),
      m_indent(0),
      m_pressed(-1),
      m_pressedShown(FALSE),
      m_focus(-1),
      m_initialFocus(-1),
      m_downTick(0),
      m_downPoint{0, 0},
      m_enterPending(FALSE),
      m_active(0),
      m_disableBackspace(FALSE),
      m_disableLangSwitch(FALSE) {
  Reset();
}

CLetterBar::~CLetterBar() = default;

void CLetterBar::Reset() {
  CViewSettings& settings = GetViewSettings();
  m_disableBackspace = settings.PhoneKeyb_DisableBackspace != 0;
  m_disableLangSwitch = settings.PhoneKeyb_DisableLangSwitch != 0;
  m_typed.clear();
  LayOut();
}

CKeyLayout* CLetterBar::GetActiveLayout() const {
  return m_active >= 0 && m_active < m_layouts.GetSize() ? m_layouts[m_active] : nullptr;
}

BOOL CLetterBar::SetLayout(LPCWSTR prefix) {
  m_prefix = prefix ? prefix : L"";
  int active = -1;
  m_pLayouts->LoadSelection(m_prefix, m_layouts, active);
  if (active == -1) {
    m_active = -1;
    m_typed.clear();
    LayOut();
    Invalidate();
    return FALSE;
  }
  if (m_layouts.GetSize() == 0) {
    CKeyLayout* latin = m_pLayouts->GetLatin();
    if (latin) m_layouts.Add(latin);
  }
  if (!SelectLayout(active, FALSE)) SelectLayout(0, TRUE);
  return GetActiveLayout() != nullptr;
}

BOOL CLetterBar::SelectLayout(int index, BOOL save) {
  if (index < 0 || index >= m_layouts.GetSize()) return FALSE;
  m_active = index;
  // A bar given its layouts by hand (no tab prefix) has nowhere to save.
  if (save && !m_prefix.IsEmpty()) m_pLayouts->SaveActive(index, m_prefix);
  m_initialFocus = -1;
  m_typed.clear();
  LayOut();
  Invalidate();
  return TRUE;
}

int CLetterBar::IndexOfLayout(LPCWSTR name) const {
  if (!name) return -1;
  for (int i = 0; i < m_layouts.GetSize(); ++i)
    if (m_pLayouts->GetLayoutName(m_layouts[i]).Compare(name) == 0) return i;
  return -1;
}

BOOL CLetterBar::AddLayout(LPCWSTR name) {
  CKeyLayout* layout = m_pLayouts->GetLayout(name, TRUE);
  if (!layout || m_layouts.Find(layout) >= 0 || !m_layouts.Add(layout)) return FALSE;
  // A second layout may bring the switch cell.
  LayOut();
  Invalidate();
  return TRUE;
}

BOOL CLetterBar::RemoveLayout(LPCWSTR name) {
  const int index = IndexOfLayout(name);
  if (index < 0) return FALSE;
  m_layouts.RemoveAt(index);
  if (index < m_active) {
    --m_active;
  } else if (index == m_active) {
    // The next layout takes the place of the removed active one.
    if (m_active >= m_layouts.GetSize()) m_active = m_layouts.GetSize() - 1;
    m_typed.clear();
    m_initialFocus = -1;
  }
  LayOut();
  Invalidate();
  return TRUE;
}

BOOL CLetterBar::ClearTyped() {
  if (m_typed.empty()) return FALSE;
  m_typed.clear();
  return TRUE;
}

BOOL CLetterBar::RemoveLastTyped() {
  if (m_typed.empty()) return FALSE;
  m_typed.pop_back();
  return TRUE;
}

void CLetterBar::Notify(int code) {
  if (m_pListener) m_pListener->OnLetterBarChanged(code);
}

BOOL CLetterBar::OnLetterCommand(int command) {
  if (command == kBackspaceKey) {
    if (RemoveLastTyped()) Notify(-1);
    return TRUE;
  }
  const CKeyLayout* layout = GetActiveLayout();
  const int group = command - kFirstDigitCommand;
  if (!layout || group < 0 || group >= layout->GetGroupCount()) return FALSE;
  m_typed.push_back(group);
  Notify(command);
  return TRUE;
}

int CLetterBar::FindMatch(LPCWSTR text, int* length, BOOL* direction) const {
  if (length) *length = 0;
  if (direction) *direction = FALSE;
  if (m_active < 0 || m_layouts.GetSize() == 0) return -1;
  const CKeyLayout* layout = GetActiveLayout();
  if (m_typed.empty() || !layout) return 0;
  if (direction) *direction = layout->GetDirection();
  return FindGroupMatch(text, *layout, m_typed.data(), GetTypedCount(), length);
}

int CLetterBar::MatchItem(LPCWSTR text, LPCWSTR typed, int* length) {
  return MatchTypedLetters(text, typed, CKeyLayouts::Instance().GetHWKeysLayout(TRUE), length);
}

// ---------------------------------------------------------------------------
// Cells

int CLetterBar::MeasureLabel(LPCWSTR label) { return MeasureControlText(GetControlListFont(), label).cx; }

int CLetterBar::GetScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

void CLetterBar::ClearLayout() {
  m_widths.clear();
  m_indent = 0;
}

void CLetterBar::LayOut() {
  ClearLayout();
  const CKeyLayout* layout = GetActiveLayout();
  const int width = m_rect.right - m_rect.left;
  const int groups = layout ? layout->GetGroupCount() : 0;
  if (groups == 0 || width <= 0) return;

  int sum = 0;
  for (int i = 0; i < groups; ++i) {
    m_widths.push_back(MeasureLabel(layout->GetLabel(i)) + ScaleX(1));
    sum += m_widths.back();
  }
  const int switchWidth = !m_disableLangSwitch && m_layouts.GetSize() > 1 ? ScaleX(10) : 0;
  const int backspaceWidth = m_disableBackspace ? 0 : ScaleX(switchWidth ? 20 : 30);
  int room = width < ScaleX(kMaxRoom) ? width : ScaleX(kMaxRoom);
  if (GetScreenWidth() == ScaleX(kMaxRoom)) room -= backspaceWidth + switchWidth;

  while (sum <= room - 2 * groups) {
    for (int i = 0; i < groups; ++i) m_widths[size_t(i)] += 2;
    sum += 2 * groups;
    ++m_indent;
  }
  if (room - sum >= groups) {
    const int each = (room - sum) / groups;
    for (int i = 0; i < groups; ++i) m_widths[size_t(i)] += each;
    sum += each * groups;
  }
  for (int i = 0; i < room - sum && i < groups; ++i) ++m_widths[size_t(i)];
  m_widths.push_back(backspaceWidth);
  m_widths.push_back(switchWidth);

  int visible = 0;
  for (int w : m_widths) visible += w > 0 ? 1 : 0;
  const int middle = visible / 2 > 0 ? visible / 2 : 1;
  for (int i = 0, seen = 0; i < GetCellCount(); ++i)
    if (m_widths[size_t(i)] > 0 && ++seen == middle) m_initialFocus = i;
  const int last = LastVisible();
  if (m_pressed > last) m_pressed = last;
  if (m_focus > last) m_focus = last;
}

int CLetterBar::LastVisible() const {
  for (int i = GetCellCount(); i-- > 0;)
    if (m_widths[size_t(i)] > 0) return i;
  return -1;
}

RECT CLetterBar::GetCellRect(int cell) const {
  RECT r = {m_rect.left, m_rect.top, m_rect.left, m_rect.bottom};
  for (int i = 0; i <= cell && i < GetCellCount(); ++i) {
    r.left = r.right;
    r.right += m_widths[size_t(i)];
  }
  return r;
}

int CLetterBar::CellFromPoint(POINT point) const {
  if (!PtInRect(&m_rect, point)) return -1;
  int right = m_rect.left;
  for (int i = 0; i < GetCellCount(); ++i) {
    right += m_widths[size_t(i)];
    if (m_widths[size_t(i)] > 0 && point.x < right) return i;
  }
  return -2;
}

int CLetterBar::NextVisible(int from, int step) const {
  const int count = GetCellCount();
  if (count == 0) return -1;
  int cell = from;
  for (int tries = 0; tries < count; ++tries) {
    cell = (cell + step + count) % count;
    if (m_widths[size_t(cell)] > 0) return cell;
  }
  return -1;
}

void CLetterBar::InvalidateCell(int cell) {
  if (cell < 0 || cell >= GetCellCount()) return;
  RECT r = GetCellRect(cell);
  InvalidateRect(&r);
}

void CLetterBar::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  LayOut();
}

void CLetterBar::Activate(int cell, BOOL longPress) {
  if (IsGroupCell(cell)) {
    m_typed.push_back(cell);
    Notify(cell);
  } else if (cell == GetBackspaceCell()) {
    if (longPress) {
      if (ClearTyped()) Notify(-2);
    } else if (RemoveLastTyped()) {
      Notify(-1);
    }
  } else if (cell == GetSwitchCell() && m_layouts.GetSize() > 0) {
    SelectLayout((m_active + 1) % m_layouts.GetSize(), TRUE);
    Notify(-2);
  }
}

DWORD CLetterBar::RecognizeGesture(int cell, POINT at) {
  SHRGINFO info = {};
  info.cbSize = sizeof info;
  info.hwndClient = GetHwnd();
  info.ptDown = at;
  info.dwFlags = SHRG_RETURNCMD | (cell == GetBackspaceCell() ? SHRG_NOANIMATION : 0);
  if (g_recognizer) return g_recognizer(&info);
  return info.hwndClient ? ShellRecognizeGesture(&info) : 0;
}

// ---------------------------------------------------------------------------
// Stylus and keys

BOOL CLetterBar::OnLButtonDown(POINT* point) {
  if (CVirtualWnd::OnLButtonDown(point)) return TRUE;
  const int cell = CellFromPoint(*point);
  if (cell < 0) return FALSE;
  if (m_pressedShown) InvalidateCell(m_pressed);
  m_pressed = cell;
  m_downTick = Ticks();
  m_downPoint = *point;
  m_pressedShown = TRUE;
  InvalidateCell(cell);
  Capture();
  // Only lets the shell show its hold animation; the length of the press is
  // measured at the release.
  RecognizeGesture(cell, *point);
  return TRUE;
}

BOOL CLetterBar::OnMouseMove(POINT* point) {
  const BOOL handled = CVirtualWnd::OnMouseMove(point);
  if (m_pressed < 0) return handled;
  const BOOL inside = CellFromPoint(*point) == m_pressed;
  if (inside != m_pressedShown) {
    m_pressedShown = inside;
    InvalidateCell(m_pressed);
  }
  return TRUE;
}

BOOL CLetterBar::OnLButtonUp(POINT* point) {
  const BOOL handled = CVirtualWnd::OnLButtonUp(point);
  ReleaseCapture();
  const int pressed = m_pressed;
  if (pressed < 0) return handled;
  if (point->x <= m_downPoint.x - ScaleX(kSwipe)) {
    // A swipe to the left is a backspace; nothing typed, nothing to tell.
    if (RemoveLastTyped()) Notify(-1);
  } else if (m_pressedShown) {
    Activate(pressed, Ticks() - m_downTick > kLongPress);
  }
  if (m_pressedShown) InvalidateCell(pressed);
  m_pressedShown = FALSE;
  m_pressed = -1;
  return TRUE;
}

BOOL CLetterBar::OnKey(DWORD key) {
  const DWORD code = key & 0xFFFF;
  const BOOL up = (key & VK_KEYUP_FLAG) != 0;
  if (GetCellCount() == 0 || (code != VK_LEFT && code != VK_RIGHT && code != VK_RETURN))
    return CVirtualWnd::OnKey(key);
  if (code == VK_RETURN) {
    if (m_focus < 0 || m_focus >= GetCellCount()) return CVirtualWnd::OnKey(key);
    if (!up) {
      const RECT r = GetCellRect(m_focus);
      m_ptLast = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      m_enterPending = RecognizeGesture(m_focus, m_ptLast) == kHoldResult;
      if (!m_enterPending) Activate(m_focus, FALSE);
    } else if (m_enterPending) {
      m_enterPending = FALSE;
      Activate(m_focus, FALSE);
    }
    return TRUE;
  }
  if (!up) {
    const int from = m_focus >= 0 ? m_focus : (code == VK_RIGHT ? GetCellCount() - 1 : 0);
    const int next = NextVisible(from, code == VK_RIGHT ? 1 : -1);
    if (next >= 0 && next != m_focus) {
      InvalidateCell(m_focus);
      m_focus = next;
      InvalidateCell(m_focus);
    }
  }
  return TRUE;
}

void CLetterBar::SetFocus() {
  if (m_focus < 0 || m_focus >= GetCellCount()) m_focus = m_initialFocus;
  CVirtualWnd::SetFocus();
  Invalidate();
}

void CLetterBar::KillFocus() {
  CVirtualWnd::KillFocus();
  Invalidate();
}

POINT* CLetterBar::GetAnchorPoint(POINT* out) {
  if (m_focus < 0 || m_focus >= GetCellCount()) return CVirtualWnd::GetAnchorPoint(out);
  const RECT r = GetCellRect(m_focus);
  out->x = (r.left + r.right) / 2;
  out->y = (r.top + r.bottom) / 2;
  return out;
}

BOOL CLetterBar::OnContextMenu(POINT* screenPoint) {
  HWND host = GetHwnd();
  POINT at = *screenPoint;
  if (host) ScreenToClient(host, &at);
  const int cell = CellFromPoint(at);
  if (cell == -1 || GetCellCount() == 0) return FALSE;
  if (cell == GetBackspaceCell()) {
    if (ClearTyped()) Notify(-2);
    return TRUE;
  }
  HMENU menu = CreatePopupMenu();
  if (!menu) return TRUE;
  CString text;
  if (!m_typed.empty()) {
    LoadUIString(text, IDS_CLEAR);
    AppendMenuW(menu, MF_STRING, kClearCommand, text);
  }
  for (int i = 0; i < m_layouts.GetSize(); ++i) {
    if (i == m_active) continue;
    TranslateText(m_pLayouts->GetLayoutName(m_layouts[i]), text);
    text.Replace(L"&", L"&&");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kLayoutCommand + i), text);
  }
  if (m_pOpener) {
    LoadUIString(text, IDS_SETTINGS);
    AppendMenuW(menu, MF_STRING, kSettingsCommand, text);
  }
  const int command =
      GetMenuItemCount(menu) > 0
          ? CPopupMenuTracker::Track(menu, TPM_RETURNCMD | TPM_NONOTIFY, screenPoint->x, screenPoint->y, host)
          : 0;
  DestroyMenu(menu);
  if (command == kClearCommand) {
    m_typed.clear();
    Notify(-2);
  } else if (command == kSettingsCommand && m_pOpener) {
    m_pOpener->OpenKeyLayoutSettings();
  } else if (command >= kLayoutCommand && command - kLayoutCommand < m_layouts.GetSize()) {
    SelectLayout(command - kLayoutCommand, TRUE);
    Notify(-2);
  }
  if (m_pressedShown) {
    m_pressedShown = FALSE;
    InvalidateCell(m_pressed);
  }
  return TRUE;
}

// ---------------------------------------------------------------------------
// Drawing

void CLetterBar::Paint(CTextRunList* context) {
  if (GetCellCount() == 0) return;
  IItemPalette& palette = GetItemPalette();
  HDC dc = context->GetDC();
  const int line = ScaleY(1);
  RECT top = {m_rect.left, m_rect.top, m_rect.right, m_rect.top + line};
  FillRect(dc, &top, palette.GetBrush(1));
  HFONT previousFont = context->SetFont(GetControlListFont());
  const COLORREF previousColor = context->GetTextColor();
  const int highlighted = m_pressed >= 0 && m_pressedShown ? m_pressed : (m_bFocused ? m_focus : -1);
  for (int cell = 0; cell < GetCellCount(); ++cell) {
    if (m_widths[size_t(cell)] <= 0) continue;
    const RECT r = GetCellRect(cell);
    if (cell == highlighted) {
      RECT fill = {r.left, r.top + line, r.right, r.bottom};
      FillRect(dc, &fill, palette.GetBrush(2));
    }
    RECT separator = {r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &separator, palette.GetBrush(1));
    context->SetTextColor(palette.GetColor(cell == highlighted ? 4 : 3));
    RECT textRect = {r.left, r.top + line, r.right - 1, r.bottom};
    if (IsGroupCell(cell)) {
      textRect.left += ScaleX(1) + m_indent;
      context->AddText(GetActiveLayout()->GetLabel(cell), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    } else {
      context->AddText(cell == GetBackspaceCell() ? kBackspaceText : kSwitchText, &textRect,
                       DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
  }
  context->SetTextColor(previousColor);
  context->SetFont(previousFont);
}
