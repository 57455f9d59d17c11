#include "graphics/SkinColors.h"

#include <algorithm>
#include <cstring>

#include "base/CeDbApi.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "graphics/RasterOps.h"
#include "graphics/Skin.h"
#include "platform/coredll/ce.h"
#include "platform/today/todaycmn.h"

namespace {

CSkinColors::PFN_STATUS_COLOR g_statusReader = nullptr;
BOOL g_drawingWatermark = FALSE;
int g_pocketPC3 = -1;
int g_themePlatform = -1;
BOOL g_createColorKey = FALSE;

const COLORREF kDefaultTheme = 0x00CE8231;
const COLORREF kPureBlue = 0x00FF0000;
const COLORREF kWhite = 0x00FFFFFF;

// p(n): n logical pixels across.
int P(int n) { return (n * GetScreenDpiX() + 48) / 96; }

COLORREF SystemColor(int index) { return GetSysColor(SYS_COLOR_INDEX_FLAG | index); }

// What a background shows where nobody paints a watermark: the theme's window colour.
COLORREF FallbackBackground() { return SystemColor(COLOR_WINDOW); }

void FillWithBrush(CDib& dib, const RECT& rect, HBRUSH brush) {
  HDC hdc = dib.GetDC();
  if (hdc && brush) FillRect(hdc, &rect, brush);
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t buffer[64] = {};
  return GetClassNameW(window, buffer, 64) > 0 && wcscmp(buffer, name) == 0;
}

}  // namespace

void CSkinColors::SetStatusColorReader(PFN_STATUS_COLOR reader) { g_statusReader = reader; }

CSkinColors& CSkinColors::Instance() {
  static CSkinColors colors;
  return colors;
}

CSkinColors::CSkinColors()
    : m_highRes(-1), m_windowRect{0, 0, 0, 0}, m_brushes{}, m_pens{}, m_colors{}, m_window(nullptr), m_dirty(TRUE) {}

CSkinColors::~CSkinColors() { ReleaseObjects(); }

COLORREF CSkinColors::LiveColor(int index) {
  switch (index) {
    case kTheme:
      return GetThemeColor(6, kDefaultTheme);
    case kHighlight:
      return IsTodayThemePlatform() ? GetTodayColor(TODAYCOLOR_HIGHLIGHT) : SystemColor(COLOR_HIGHLIGHT);
    case kText:
      return GetTodayColor(TODAYCOLOR_TEXT);
    case kHighlightText:
      return IsTodayThemePlatform() ? GetTodayColor(TODAYCOLOR_HIGHLIGHTEDTEXT) : SystemColor(COLOR_HIGHLIGHTTEXT);
    default:
      return Get(index);
  }
}

HBRUSH CSkinColors::GetSolidBrush(int index) {
  if (index < 0 || index >= kEntries) return nullptr;
  if (!m_brushes[index] && index >= kTheme) m_brushes[index] = CreateSolidBrush(LiveColor(index));
  return m_brushes[index];
}

HPEN CSkinColors::GetPen(int index) {
  if (index < 0 || index >= kEntries) return nullptr;
  if (!m_pens[index] && index >= kTheme && index <= kHighlightText)
    m_pens[index] = CreatePen(PS_SOLID, (GetScreenDpiY() + 48) / 96, LiveColor(index));
  return m_pens[index];
}

COLORREF CSkinColors::Get(int index) const { return index >= 0 && index < kEntries ? m_colors[index] : 0; }

void CSkinColors::LoadSystemColors() {
  ReleaseObjects();
  for (int i = kTheme; i <= kHighlightText; i++) m_colors[i] = LiveColor(i);
  if (g_statusReader) m_colors[kStatus] = g_statusReader(5);
}

void CSkinColors::ReloadColors() {
  for (int i = 0; i < kEntries; i++) {
    if (m_brushes[i] && DeleteObject(m_brushes[i])) m_brushes[i] = nullptr;
    if (m_pens[i] && DeleteObject(m_pens[i])) m_pens[i] = nullptr;
  }
  for (int i = kTheme; i <= kHighlightText; i++) m_colors[i] = LiveColor(i);
}

void CSkinColors::ReleaseObjects() {
  for (int i = 0; i < kEntries; i++) {
    if (m_brushes[i] && DeleteObject(m_brushes[i])) m_brushes[i] = nullptr;
    if (m_pens[i] && DeleteObject(m_pens[i])) m_pens[i] = nullptr;
  }
  m_background.Release();
  m_todayBackground.Clear();
  m_listBand.Release();
  m_buttonBand.Release();
  m_buttonNormal.Release();
  m_buttonPressed.Release();
}

void CSkinColors::ReleaseAll() {
  ReleaseObjects();
  m_scratch.Clear();
  m_frame.Release();
  m_spare1.Release();
  m_spare2.Release();
  CompactAllHeaps();
  m_dirty = TRUE;
}

void CSkinColors::AttachWindow(HWND window) { m_window = window; }

CBitmapDC& CSkinColors::GetBackground() {
  if (m_dirty || !m_background.GetDC()) RebuildBackground(FALSE);
  return m_background;
}

BOOL CSkinColors::IsDrawingWatermark() { return g_drawingWatermark; }

BOOL CSkinColors::AskForWatermark(HWND window, HDC hdc, const RECT& client) {
  HWND parent = GetParent(window);
  if (!parent) return FALSE;
  TODAYDRAWWATERMARKINFO info = {hdc, client, window};
  g_drawingWatermark = TRUE;
  const LRESULT painted = SendMessageW(parent, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info));
  g_drawingWatermark = FALSE;
  return painted != 0;
}

BOOL CSkinColors::RebuildBackground(BOOL force) {
  if (!m_window) return FALSE;
  RECT windowRect = {0, 0, 0, 0};
  GetWindowRect(m_window, &windowRect);
  if (EqualRect(&windowRect, &m_windowRect) && !force && m_background.GetDC() && !m_dirty) return FALSE;
  m_windowRect = windowRect;
  m_dirty = FALSE;
  RECT client = {0, 0, 0, 0};
  GetClientRect(m_window, &client);
  if (IsRectEmpty(&client)) {
    m_background.Release();
    return FALSE;
  }
  const int width = client.right - client.left, height = client.bottom - client.top;
  // Filled first: a parent that paints no watermark leaves the theme's colour, not black.
  if (!m_background.CreateFilled(width, height, FallbackBackground())) return FALSE;
  AskForWatermark(m_window, m_background.GetDC(), client);
  MakeSeparatorMask(width);
  return TRUE;
}

void CSkinColors::MakeSeparatorMask(int width) {
  const int height = (3 * GetScreenDpiY() + 48) / 96;
  const int a = (3 * GetScreenDpiX() + 48) / 96;
  const int b = (3 * GetScreenDpiY() + 48) / 96;
  if (!m_separatorMask.CreateFilled(width, height, RGB(0, 0, 0))) return;
  HDC hdc = m_separatorMask.GetDC();
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  struct Row {
    int top, width, step;
  };
  const Row rows[] = {{0, P(2), a}, {P(1), P(1), P(4)}, {P(2), P(1), P(2)}};
  for (const Row& row : rows) {
    if (row.step < 1) continue;
    for (int x = a; x < width - b; x += row.step) {
      const RECT r = {x, row.top, x + row.width, row.top + P(1)};
      FillRect(hdc, &r, white);
    }
  }
}

CDib* CSkinColors::GetTodayBackground(HWND window) {
  if (!m_todayBackground.IsEmpty()) return &m_todayBackground;
  RECT client = {0, 0, 0, 0};
  if (!window || !GetClientRect(window, &client)) return nullptr;
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (!m_todayBackground.CreateFilled(width, height, FallbackBackground()) || !m_todayBackground.GetDC()) {
    m_todayBackground.Clear();
    return nullptr;
  }
  AskForWatermark(window, m_todayBackground.GetDC(), client);
  return &m_todayBackground;
}

CDib* CSkinColors::CopyToScratch(const RECT& rect, HDC hdc) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width > m_scratch.GetWidth() || height > m_scratch.GetHeight()) {
    const int w = std::max(width, m_scratch.GetWidth()), h = std::max(height, m_scratch.GetHeight());
    if (!m_scratch.Create(w, h)) return nullptr;
  }
  HDC source = hdc ? hdc : m_background.GetDC();
  HDC scratch = m_scratch.GetDC();
  if (source && scratch && width > 0 && height > 0)
    BitBlt(scratch, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
  return &m_scratch;
}

BOOL CSkinColors::DrawMaskedBrush(HDC dst, int x, int y, int width, int height, HDC mask, int sx, int sy,
                                  HBRUSH brush) {
  if (!dst || !mask || !brush) return FALSE;
  const COLORREF dstBk = SetBkColor(dst, 0), maskBk = SetBkColor(mask, 0);
  HGDIOBJ dstOld = SelectObject(dst, brush), maskOld = SelectObject(mask, brush);
  // Where the mask is white the brush is laid, where it is black the destination stays.
  const BOOL drawn = BitBlt(dst, x, y, width, height, mask, sx, sy, 0x00E20746);
  SelectObject(dst, dstOld);
  SelectObject(mask, maskOld);
  SetBkColor(dst, dstBk);
  SetBkColor(mask, maskBk);
  return drawn;
}

BOOL CSkinColors::CopyBackground(CDib& into, int x, int y, int width, int height) {
  if (!into.CreateFilled(width, height, FallbackBackground()) || !into.GetDC()) return FALSE;
  HDC background = GetBackground().GetDC();
  if (background) BitBlt(into.GetDC(), 0, 0, width, height, background, x, y, SRCCOPY);
  return TRUE;
}

BOOL CSkinColors::DibToBitmapDC(CDib& dib, CBitmapDC& into) {
  if (!into.Create(dib.GetWidth(), dib.GetHeight())) return FALSE;
  return BitBlt(into.GetDC(), 0, 0, dib.GetWidth(), dib.GetHeight(), dib.GetDC(), 0, 0, SRCCOPY);
}

BOOL CSkinColors::MakeBand(CBitmapDC& band, int x, int y, int width, int height) {
  band.Release();
  if (height <= 0 || width <= 0) return FALSE;
  CDib image;
  if (!CopyBackground(image, x, y, width, height)) return FALSE;
  BlendColorRect(image, {0, 0, width, height}, g_bgrWhite, 64);
  const int a = (3 * GetScreenDpiX() + 48) / 96;
  const int line = height - P(1);
  HBRUSH theme = GetSolidBrush(kTheme);
  for (int dash = a; a > 0 && dash < width; dash += a) FillWithBrush(image, {dash, line, dash + P(2), line + P(1)}, theme);
  return DibToBitmapDC(image, band);
}

BOOL CSkinColors::RebuildListBand(int height, const RECT& rect) {
  return MakeBand(m_listBand, rect.left, rect.top, rect.right - rect.left, height);
}

BOOL CSkinColors::RebuildButtonBand(const RECT& rect) {
  return MakeBand(m_buttonBand, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void CSkinColors::DrawSkinBackground(const RECT& rect) {
  m_buttonNormal.Release();
  m_buttonPressed.Release();
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  CSkin& skin = CSkin::Instance();
  const BOOL parts = skin.HasScrollBar();
  CBitmap* strip = parts ? nullptr : skin.GetScrollBitmap();
  if (!parts && !strip) return;
  const SIZE part = skin.GetScrollPartSize(CSkin::kPartHeaderButton);
  const int px = (width - part.cx) / 2, py = (height - part.cy) / 2;
  auto layPart = [&](CDib& face, COLORREF blueBecomes) {
    if (parts) {
      skin.DrawScrollPart(CSkin::kPartHeaderButton, &face, px, py, nullptr);
    } else {
      strip->DrawPartReplacing(CSkin::kPartHeaderButton, face, px, py, &kPureBlue, &blueBecomes, 1);
    }
  };

  CDib normal;
  if (CopyBackground(normal, rect.left, rect.top, width, height)) {
    BlendColorRect(normal, {0, 0, width, height}, g_bgrWhite, 64);
    layPart(normal, Get(kTheme));
    DibToBitmapDC(normal, m_buttonNormal);
  }
  CDib pressed;
  if (pressed.Create(width, height) && pressed.GetDC()) {
    FillWithBrush(pressed, {0, 0, width, height}, GetSolidBrush(kHighlight));
    layPart(pressed, Get(kHighlightText));
    DibToBitmapDC(pressed, m_buttonPressed);
  }
}

void CSkinColors::DrawSkinFrame(const RECT& rect) {
  // Its colour is about to change.
  if (m_brushes[kFrame] && DeleteObject(m_brushes[kFrame])) m_brushes[kFrame] = nullptr;
  CSkin& skin = CSkin::Instance();
  CBitmap* strip = skin.HasScrollBar() ? nullptr : skin.GetScrollBitmap();
  if (!strip) {
    m_frame.Release();
    return;
  }
  const int width = strip->GetHalfWidth(), height = strip->GetHeight();
  CDib image;
  if (!CopyBackground(image, rect.left + P(1), rect.top + P(1), width, height)) return;
  COLORREF derived = kWhite;
  int y = 0;
  for (int i = 0; i < strip->GetPartCount(); i++) {
    DWORD sums[3], count = 0;
    strip->SumUnderPart(i, image, 0, y, sums, &count);
    if (count) {
      auto channel = [count](DWORD sum) { return static_cast<BYTE>((sum / count + 85) * 3 / 4); };
      derived = RGB(channel(sums[2]), channel(sums[1]), channel(sums[0]));
    }
    if (i == 3) m_colors[kFrame] = derived;
    const COLORREF from[2] = {kPureBlue, kWhite};
    const COLORREF to[2] = {Get(kTheme), derived};
    strip->DrawPartReplacing(i, image, 0, y, from, to, 2);
    y += strip->GetPartSize(i).cy;
  }
  DibToBitmapDC(image, m_frame);
}

BOOL CSkinColors::IsHighRes() {
  if (m_highRes < 0) m_highRes = (GetScreenDpiX() + 48) / 96 != 1 ? 1 : 0;
  return m_highRes;
}

void SetThemeColorKeyCreate(BOOL create) { g_createColorKey = create; }
BOOL GetThemeColorKeyCreate() { return g_createColorKey; }

COLORREF GetThemeColor(int index, COLORREF defaultColor) {
  CRegKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Color", g_createColorKey);
  wchar_t name[16];
  wsprintfW(name, L"%d", index);
  DWORD value = 0, size = sizeof value;
  if (key.IsOpen() && key.QueryValue(name, &value, &size) && size == sizeof value) return value;
  if (IsPocketPCVersion3()) return defaultColor;
  const int kTableSize = 45;
  if (index < 0 || index >= kTableSize) return defaultColor;
  COLORREF table[kTableSize] = {};
  table[index] = defaultColor;
  size = sizeof table;
  if (!key.IsOpen() || !key.QueryValue(L"SHColor", table, &size)) {
    size = sizeof table;
    if (!key.IsOpen() || !key.QueryValue(L"DefSHColor", table, &size)) return defaultColor;
  }
  return table[index];
}

BOOL IsPocketPCVersion3() {
  if (g_pocketPC3 < 0) {
    DWORD major = 0, minor = 0;
    g_pocketPC3 = GetPocketPCVersion(&major, &minor) && major == 3 ? 1 : 0;
  }
  return g_pocketPC3;
}

BOOL IsTodayThemePlatform() {
  if (g_themePlatform < 0) {
    DWORD major = 0, minor = 0;
    g_themePlatform = GetPocketPCVersion(&major, &minor) && (major >= 5 || (major == 4 && minor >= 21)) ? 1 : 0;
  }
  return g_themePlatform;
}

void ResetThemePlatformTests() { g_pocketPC3 = g_themePlatform = -1; }

HWND FindTodayWorkerWindow() {
  // The shell's window; among several (a test host beside the real one) this
  // process's own comes first.
  HWND found = nullptr;
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsClass(w, L"Worker")) continue;
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) {
      found = w;
      break;
    }
    if (!found) found = w;
  }
  if (!found || IsNewerStore()) return found;
  for (HWND child = GetWindow(found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsClass(child, L"Worker")) return child;
  return nullptr;
}

COLORREF GetTodayColor(DWORD code) {
  HWND worker = FindTodayWorkerWindow();
  if (worker) return static_cast<COLORREF>(SendMessageW(worker, TODAYM_GETCOLOR, code, 0));
  // No shell to ask: the system colour of the same role, never plain black.
  switch (code) {
    case TODAYCOLOR_TEXT:
      return SystemColor(COLOR_WINDOWTEXT);
    case TODAYCOLOR_HIGHLIGHT:
      return SystemColor(COLOR_HIGHLIGHT);
    case TODAYCOLOR_HIGHLIGHTEDTEXT:
      return SystemColor(COLOR_HIGHLIGHTTEXT);
    default:
      return 0;
  }
}
