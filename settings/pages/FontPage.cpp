#include "settings/pages/FontPage.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "graphics/FontCache.h"
#include "res/TarvoResIds.h"
#include "settings/base/TodayWatermark.h"

namespace {

const WCHAR kTahoma[] = L"Tahoma";
const BYTE kSwiss = 0x20;
// The device's ClearType qualities: 5 follows the system's ClearType, 6 is the
// ClearType-compatible one the font cache uses.
const BYTE kSystemClearTypeQuality = 5;
const BYTE kClearTypeQuality = 6;
const UINT kSampleTexts[3] = {IDS_FONT_SAMPLE_REGULAR, IDS_FONT_SAMPLE_ITALIC, IDS_FONT_SAMPLE_BOLD};

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM combo) {
  SendMessageW(reinterpret_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
  return 1;
}

int Sign(int value) { return value < 0 ? -1 : 1; }
int Abs(int value) { return value < 0 ? -value : value; }

// A sample line's height: the list font's height without the half pixel the
// list font takes off.
int LineHeight(int logical) {
  const int dpiY = GetScreenDpiY();
  return Sign(logical) * ((Abs(logical) * dpiY + 48) / 96);
}

}  // namespace

SampleQuality SampleQualityFor(int clearTypeMode, BOOL systemClearTypeOn) {
  switch (clearTypeMode) {
    case 0:
      return {systemClearTypeOn ? kSystemClearTypeQuality : static_cast<BYTE>(DEFAULT_QUALITY), kSwiss};
    case 1:
      return {kClearTypeQuality, kSwiss};
    default:
      return {NONANTIALIASED_QUALITY, 0};
  }
}

BOOL IsSystemClearTypeOn() {
  CRegKey gdi(HKEY_LOCAL_MACHINE, L"System\\GDI", FALSE, FALSE);
  return gdi.IsOpen() && gdi.SubKeyExists(L"CLEARTYPE");
}

CFontPage::CFontPage() { m_metricChange = RegisterWindowMessageW(L"SH_UIMETRIC_CHANGE"); }

CFontPage::~CFontPage() { FreeSampleFonts(); }

BOOL CFontPage::IsUseSystemTicked() const {
  return ::IsDlgButtonChecked(m_hWnd, kUseSystemBox) == BST_CHECKED;
}

BOOL CFontPage::OnInitPage() {
  DWORD useSystem = 1;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    useSystem = key.GetDWORD(L"UseSystem", 1);
    m_clearType = static_cast<int>(key.GetDWORD(L"ClearType", 1));
  }
  ::CheckDlgButton(m_hWnd, kUseSystemBox, useSystem ? BST_CHECKED : BST_UNCHECKED);
  for (int i = 0; i < 3; ++i) LoadTranslatedString(m_samples[i], kSampleTexts[i]);

  HWND clearType = ::GetDlgItem(m_hWnd, kClearTypeCombo);
  ::SendMessageW(clearType, CB_RESETCONTENT, 0, 0);
  for (UINT text : {IDS_FONT_SMOOTHING_STANDARD, IDS_FONT_SMOOTHING_CLEARTYPE}) {
    CString item;
    LoadTranslatedString(item, text);
    ::SendMessageW(clearType, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(item)));
  }
  HWND sizes = ::GetDlgItem(m_hWnd, kFontSizeCombo);
  ::SendMessageW(sizes, CB_RESETCONTENT, 0, 0);
  for (int size : kFontPageSizes) {
    WCHAR text[8];
    wsprintfW(text, L"%d", size);
    ::SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  HWND faces = ::GetDlgItem(m_hWnd, kFontFaceCombo);
  if (HDC screen = ::GetDC(nullptr)) {
    EnumFontFamiliesW(screen, nullptr, AddFace, reinterpret_cast<LPARAM>(faces));
    ::ReleaseDC(nullptr, screen);
  }

  // The stored face and size are the user's own even while the box is ticked, so
  // clearing it brings them back.
  LoadFontSettings(FALSE);
  m_savedFace = m_face;
  m_savedHeight = m_height;
  if (useSystem) LoadFontSettings(TRUE);
  SyncControls(FALSE);
  m_hasBackground = DrawTodayWatermark(m_background);
  ::EnableWindow(clearType, TRUE);
  return TRUE;
}

void CFontPage::LoadFontSettings(BOOL system) {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_height = static_cast<int>(key.GetDWORD(L"FontHeight", 12));
    m_face = key.GetString(L"FontName", kTahoma);
  }
  if (!system) return;
  HDC screen = ::GetDC(nullptr);
  m_height = CFontCache::MeasureSystemListHeight(screen);
  if (screen) ::ReleaseDC(nullptr, screen);
  m_face = kTahoma;
}

void CFontPage::SyncControls(BOOL toData) {
  HWND clearType = ::GetDlgItem(m_hWnd, kClearTypeCombo);
  HWND faces = ::GetDlgItem(m_hWnd, kFontFaceCombo);
  HWND sizes = ::GetDlgItem(m_hWnd, kFontSizeCombo);
  if (toData) {
    // A stored mode the box cannot show (2, no anti-aliasing) stays as it is
    // until another mode is chosen.
    const LRESULT mode = ::SendMessageW(clearType, CB_GETCURSEL, 0, 0);
    if (mode != CB_ERR) m_clearType = static_cast<int>(mode);
    const LRESULT face = ::SendMessageW(faces, CB_GETCURSEL, 0, 0);
    if (face != CB_ERR) {
      const LRESULT length = ::SendMessageW(faces, CB_GETLBTEXTLEN, face, 0);
      if (length > 0 && length < LF_FACESIZE) {
        WCHAR text[LF_FACESIZE] = L"";
        ::SendMessageW(faces, CB_GETLBTEXT, face, reinterpret_cast<LPARAM>(text));
        m_face = text;
      }
    }
    const LRESULT size = ::SendMessageW(sizes, CB_GETCURSEL, 0, 0);
    if (size >= 0 && size < static_cast<LRESULT>(ARRAYSIZE(kFontPageSizes))) m_height = kFontPageSizes[size];
  } else {
    ::SendMessageW(clearType, CB_SETCURSEL, m_clearType == 0 || m_clearType == 1 ? m_clearType : -1, 0);
    const LRESULT face =
        ::SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_face)));
    ::SendMessageW(faces, CB_SETCURSEL, face == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(face), 0);
    int size = -1;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(kFontPageSizes)); ++i)
      if (kFontPageSizes[i] == m_height) size = i;
    ::SendMessageW(sizes, CB_SETCURSEL, static_cast<WPARAM>(size), 0);
  }
  const BOOL free = !IsUseSystemTicked();
  ::EnableWindow(sizes, free);
  ::EnableWindow(faces, free);
  BuildSampleFonts();
}

void CFontPage::FreeSampleFonts() {
  for (HFONT& font : m_sampleFonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
}

void CFontPage::BuildSampleFonts() {
  FreeSampleFonts();
  const SampleQuality quality = SampleQualityFor(m_clearType, IsSystemClearTypeOn());
  LOGFONTW font = {};
  font.lfHeight = CFontCache::ScaleListHeight(m_height);
  font.lfQuality = quality.quality;
  font.lfPitchAndFamily = quality.pitchAndFamily;
  lstrcpynW(font.lfFaceName, m_face, LF_FACESIZE);
  const struct {
    LONG weight;
    BYTE italic;
  } kinds[3] = {{FW_NORMAL, 0}, {FW_NORMAL, 1}, {FW_BOLD, 0}};
  for (int i = 0; i < 3; ++i) {
    font.lfWeight = kinds[i].weight;
    font.lfItalic = kinds[i].italic;
    m_sampleFonts[i] = CreateFontIndirectW(&font);
  }
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

RECT CFontPage::GetSampleRect() const {
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  const int margin = ScaleX(10);
  RECT rect;
  rect.left = margin;
  rect.top = client.top + ScaleY(115);
  rect.right = client.right - margin;
  rect.bottom = rect.top + 3 * LineHeight(m_height);
  return rect;
}

void CFontPage::DrawPreview(HDC dc) {
  if (!m_sampleFonts[0]) return;
  const RECT rect = GetSampleRect();
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  if (!memory || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  const RECT whole = {0, 0, width, height};
  FillRect(memory, &whole, GetSysColorBrush(COLOR_WINDOW));
  if (m_hasBackground) {
    if (HDC background = m_background.GetDC()) BitBlt(memory, 0, 0, width, height, background, 0, 0, SRCCOPY);
    m_background.ReleaseDC();
  }
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
  const int line = LineHeight(m_height);
  HGDIOBJ oldFont = nullptr;
  for (int i = 0; i < 3; ++i) {
    HGDIOBJ previous = SelectObject(memory, m_sampleFonts[i]);
    if (!oldFont) oldFont = previous;
    RECT row = {0, i * line, width, (i + 1) * line};
    DrawTextW(memory, m_samples[i], -1, &row, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

LRESULT CFontPage::OnUseSystemCommand(WORD, WORD, HWND, BOOL&) {
  const LRESULT mode = ::SendDlgItemMessageW(m_hWnd, kClearTypeCombo, CB_GETCURSEL, 0, 0);
  if (mode != CB_ERR) m_clearType = static_cast<int>(mode);
  if (IsUseSystemTicked()) {
    m_savedFace = m_face;
    m_savedHeight = m_height;
    LoadFontSettings(TRUE);
  } else if (!m_savedFace.IsEmpty()) {
    m_face = m_savedFace;
    m_height = m_savedHeight;
  }
  SyncControls(FALSE);
  return 0;
}

LRESULT CFontPage::OnSelectionChange(WORD, WORD, HWND, BOOL&) {
  SyncControls(TRUE);
  return 0;
}

LRESULT CFontPage::OnMetricChange(UINT, WPARAM, LPARAM, BOOL&) {
  if (IsUseSystemTicked()) {
    LoadFontSettings(TRUE);
    SyncControls(FALSE);
  }
  return 0;
}

BOOL CFontPage::OnApply() {
  SyncControls(TRUE);
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    key.SetDWORD(L"ClearType", static_cast<DWORD>(m_clearType));
    key.SetDWORD(L"UseSystem", IsUseSystemTicked() ? 1 : 0);
    key.SetDWORD(L"FontHeight", static_cast<DWORD>(m_height));
    key.SetString(L"FontName", m_face);
  }
  if (CFontCache* cache = GetFontCache()) cache->LoadSettings(TRUE);
  return TRUE;
}
