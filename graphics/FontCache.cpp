#include "graphics/FontCache.h"

#include "base/RegKey.h"
#include "base/ScreenDpi.h"

namespace {

CFontCache* g_fontCache = nullptr;

const WCHAR kTahoma[] = L"Tahoma";
// Swiss family, default pitch.
const BYTE kSwiss = 0x20;
// The size the shell reports when it cannot be asked.
const int kDefaultSystemFontPixels = 11;
// The device's ClearType-compatible quality; the desktop names the same number
// CLEARTYPE_NATURAL_QUALITY.
const BYTE kClearTypeQuality = 6;

int Sign(int value) { return value < 0 ? -1 : 1; }
int Abs(int value) { return value < 0 ? -value : value; }

// The system text size in pixels, from the shell when it answers.
int SystemFontPixels() {
  int pixels = kDefaultSystemFontPixels;
  HMODULE shell = LoadLibraryW(L"AYGSHELL");
  if (!shell) return pixels;
  typedef HRESULT(WINAPI * GetUIMetrics)(int metric, void* buffer, DWORD size, DWORD* needed);
  auto query = reinterpret_cast<GetUIMetrics>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetUIMetrics")));
  const int kFontSizePixel = 2;
  DWORD value = 0;
  if (query && SUCCEEDED(query(kFontSizePixel, &value, sizeof value, nullptr)) && value > 0)
    pixels = static_cast<int>(value);
  FreeLibrary(shell);
  return pixels;
}

LOGFONTW MakeLogFont(LPCWSTR face, int height, int weight, BOOL italic, BYTE quality, BYTE pitchAndFamily) {
  LOGFONTW font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfItalic = italic ? 1 : 0;
  font.lfQuality = quality;
  font.lfPitchAndFamily = pitchAndFamily;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return font;
}

DWORD ReadSetting(LPCWSTR name, DWORD defaultValue) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return key.GetDWORD(name, defaultValue);
}

}  // namespace

CFontCache* GetFontCache() { return g_fontCache; }

CFontCache::CFontCache() {
  InitScreenDpi();
  g_fontCache = this;
  LoadSettings(TRUE);
}

CFontCache::~CFontCache() {
  LoadSettings(FALSE);
  if (m_screen) {
    RestoreDC(m_screen, m_savedState);
    ReleaseDC(nullptr, m_screen);
  }
  if (g_fontCache == this) g_fontCache = nullptr;
}

HDC CFontCache::GetDC() {
  if (!m_screen) {
    m_screen = ::GetDC(nullptr);
    if (m_screen) m_savedState = SaveDC(m_screen);
  }
  return m_screen;
}

void CFontCache::FreeFont(HFONT& font) {
  if (font) DeleteObject(font);
  font = nullptr;
}

void CFontCache::FreeFonts() {
  delete m_boldFont;
  m_boldFont = nullptr;
  for (CFontInfo*& info : m_styleFonts) {
    delete info;
    info = nullptr;
  }
  FreeFont(m_boldFontHandle);
  for (HFONT& font : m_headerFonts) FreeFont(font);
  FreeFont(m_boldTitleFont);
  for (HFONT& font : m_smallFonts) FreeFont(font);
  FreeFont(m_menuBarFont);
  FreeFont(m_popupMenuFont);
  FreeFont(m_pointFont8);
}

void CFontCache::LoadSettings(BOOL reload) {
  if (reload) {
    m_useSystem = ReadSetting(L"UseSystem", 1) != 0;
    if (m_useSystem) m_systemListHeight = MeasureSystemListHeight(GetDC());
  }
  FreeFonts();
}

int CFontCache::MeasureSystemListHeight(HDC screen) {
  const int dpiY = GetScreenDpiY();
  const LOGFONTW system = MakeLogFont(kTahoma, -SystemFontPixels(), FW_NORMAL, FALSE, DEFAULT_QUALITY, kSwiss);
  HFONT font = CreateFontIndirectW(&system);
  int height = kDefaultSystemFontPixels;
  if (font && screen && dpiY > 0) {
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics;
    if (GetTextMetricsW(screen, &metrics)) height = metrics.tmHeight;
    SelectObject(screen, old);
  }
  if (font) DeleteObject(font);
  return dpiY > 0 ? Sign(height) * ((Abs(height) * 96 + dpiY / 2) / dpiY) : height;
}

int CFontCache::ScaleListHeight(int logical) {
  const int dpiY = GetScreenDpiY();
  return Sign(logical) * ((Abs(logical) * dpiY + 48) / 96) - ((dpiY + 48) / 96) / 2;
}

int CFontCache::GetListFontHeight() {
  return ScaleListHeight(m_useSystem ? m_systemListHeight : static_cast<int>(ReadSetting(L"FontHeight", 12)));
}

CString CFontCache::GetFontFaceName() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return key.GetString(L"FontName", kTahoma);
}

BYTE CFontCache::GetClearTypeQuality() {
  switch (ReadSetting(L"ClearType", 1)) {
    case 1:
      return kClearTypeQuality;
    case 2:
      return NONANTIALIASED_QUALITY;
    default:
      return DEFAULT_QUALITY;
  }
}

HFONT CFontCache::CreateFontEx(LPCWSTR face, int height, int weight, BOOL italic) {
  const LOGFONTW font = MakeLogFont(face, height, weight, italic, GetClearTypeQuality(), 0);
  return CreateFontIndirectW(&font);
}

LOGFONTW CFontCache::ListLogFont(int weight, BOOL italic, BOOL strikeOut) {
  LOGFONTW font =
      MakeLogFont(GetFontFaceName(), GetListFontHeight(), weight, italic, GetClearTypeQuality(), kSwiss);
  font.lfStrikeOut = strikeOut ? 1 : 0;
  return font;
}

CFontInfo* CFontCache::MakeFontInfo(const LOGFONTW& font) {
  CFontInfo* info = new CFontInfo;
  info->Create(CreateFontIndirectW(&font), TRUE);
  return info;
}

CFontInfo* CFontCache::GetStyleFont(int style, BOOL strikeOut) {
  if (style < 0 || style > 2) style = 0;
  const int slot = 2 * style + (strikeOut ? 1 : 0);
  if (!m_styleFonts[slot])
    m_styleFonts[slot] = MakeFontInfo(
        ListLogFont(style == 1 ? FW_BOLD : FW_NORMAL, style == 2 && !strikeOut, strikeOut));
  return m_styleFonts[slot];
}

CFontInfo* CFontCache::GetBoldFont() {
  if (!m_boldFont) m_boldFont = MakeFontInfo(ListLogFont(FW_BOLD, FALSE, FALSE));
  return m_boldFont;
}

HFONT CFontCache::GetBoldFontHandle() {
  if (!m_boldFontHandle) {
    const LOGFONTW font = ListLogFont(FW_BOLD, FALSE, FALSE);
    m_boldFontHandle = CreateFontIndirectW(&font);
  }
  return m_boldFontHandle;
}

HFONT CFontCache::GetHeaderFont(BOOL bold) {
  HFONT& font = m_headerFonts[bold ? 1 : 0];
  // A height, so scaled by the vertical resolution like every other font.
  if (!font) font = CreateFontEx(kTahoma, ScaleY(13), bold ? FW_BOLD : FW_NORMAL, FALSE);
  return font;
}

HFONT CFontCache::GetBoldTitleFont() {
  if (!m_boldTitleFont) m_boldTitleFont = CreateFontEx(kTahoma, ScaleY(13), FW_BOLD, FALSE);
  return m_boldTitleFont;
}

HFONT CFontCache::GetSmallFont(BOOL bold) {
  HFONT& font = m_smallFonts[bold ? 1 : 0];
  if (!font) font = CreateFontEx(kTahoma, ((GetScreenDpiY() + 4) * 12) / 96, bold ? FW_BOLD : FW_NORMAL, FALSE);
  return font;
}

HFONT CFontCache::GetPointFont8() {
  if (!m_pointFont8) m_pointFont8 = CreateFontEx(kTahoma, -(8 * GetScreenDpiY() / 72), FW_NORMAL, FALSE);
  return m_pointFont8;
}

HFONT CFontCache::GetSystemMenuFont(BOOL popup) {
  HFONT& cached = popup ? m_popupMenuFont : m_menuBarFont;
  if (cached) return cached;
  LOGFONTW font = {};
  GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
  // The device's keys: opened without creating them, read without writing
  // defaults back.
  CRegKey key(HKEY_LOCAL_MACHINE, popup ? L"SYSTEM\\GWE\\Menu\\PopFnt" : L"SYSTEM\\GWE\\Menu\\BarFnt", FALSE,
              FALSE);
  CString face = key.ValueExists(L"Nm") ? key.QueryString(L"Nm") : CString(kTahoma);
  if (face.IsEmpty()) face = kTahoma;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  font.lfHeight = ScaleY(13);
  font.lfWidth = 0;
  font.lfWeight = key.ValueExists(L"Wt") ? static_cast<LONG>(key.QueryDWORD(L"Wt")) : FW_BOLD;
  font.lfItalic = key.ValueExists(L"It") && key.QueryDWORD(L"It") ? 1 : 0;
  cached = CreateFontIndirectW(&font);
  return cached;
}

namespace {

void SetControlFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

void ApplyDialogFonts(CFontCache* cache, HWND dialog) {
  if (!cache || !dialog) return;
  HFONT regular = cache->GetHeaderFont(FALSE);
  HFONT bold = cache->GetHeaderFont(TRUE);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    WCHAR className[64] = L"";
    GetClassNameW(child, className, ARRAYSIZE(className));
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    // The device spells the classes "static" and "combobox", the desktop
    // "Static" and "ComboBox": the names compare without case.
    if (!lstrcmpiW(className, L"Button")) {
      const LONG type = style & 0xF;
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        SetControlFont(child, bold);
        continue;
      }
      SetControlFont(child, regular);
      RECT rect;
      if (GetWindowRect(child, &rect) && (rect.top & 1)) {
        POINT topLeft = {rect.left, rect.top - 1};
        MapWindowPoints(nullptr, GetParent(child), &topLeft, 1);
        SetWindowPos(child, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    } else if (!lstrcmpiW(className, L"static")) {
      SetControlFont(child, (style & WS_GROUP) ? regular : bold);
    } else if (!lstrcmpiW(className, L"msctls_updown32")) {
      SetWindowHeightScaled(child, 20);
    } else {
      SetControlFont(child, regular);
      if (!lstrcmpiW(className, L"combobox"))
        SetWindowHeightScaled(child, 19);
      else if (!lstrcmpiW(className, L"Edit"))
        SetWindowHeightScaled(child, 20);
    }
  }
}

void FillRectColor(HDC dc, int x, int y, int width, int height, HBRUSH brush) {
  const RECT rect = {x, y, x + width, y + height};
  FillRect(dc, &rect, brush);
}
