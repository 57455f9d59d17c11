#include "graphics/Bitmap.h"

#include "graphics/RasterOps.h"
#include "graphics/SkinArchive.h"
#include "platform/coredll/ce.h"
#include "platform/windowlib/Module.h"

namespace {

bool IsMarker(const BYTE* p) { return p[0] == 255 && p[1] == 0 && p[2] == 255; }

}  // namespace

CBitmap::CBitmap() : m_halfWidth(0) {}

CBitmap::~CBitmap() { Free(); }

void CBitmap::Free() {
  m_parts.clear();
  m_maskDC.Release();
  m_imageDC.Release();
  m_halfWidth = 0;
  Clear();
}

BOOL CBitmap::LoadResource(UINT id) { return LoadResource(GetModule().GetResourceInstance(), id); }

BOOL CBitmap::LoadResource(HINSTANCE module, UINT id) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  return LoadFromBitmap(bitmap);
}

BOOL CBitmap::LoadFile(LPCWSTR path) { return LoadFromBitmap(path ? SHLoadDIBitmap(path) : nullptr); }

BOOL CBitmap::LoadSkinFile(LPCWSTR name) {
  return LoadFromBitmap(CSkinArchive::Instance().LoadBitmap(name, 0, 0, -1, -1, TRUE));
}

BOOL CBitmap::LoadFromBitmap(HBITMAP bitmap) {
  Free();
  if (!bitmap) return FALSE;
  const BOOL copied = CreateFromBitmap(bitmap);
  DeleteObject(bitmap);
  if (!copied) return FALSE;

  m_halfWidth = GetWidth() / 2;
  int top = 0;
  for (int y = 0; m_halfWidth > 0 && y < GetHeight(); y++) {
    if (!IsMarker(Pixel(m_halfWidth, y))) continue;
    m_parts.push_back({0, top, m_halfWidth, y});
    top = y + 1;
  }
  if (m_parts.empty()) m_parts.push_back({0, 0, m_halfWidth, GetHeight()});

  // The monochrome mask: black pixels of the picture become its set bits.
  HDC source = GetDC();
  if (source && m_imageDC.Create(GetWidth(), GetHeight()) &&
      BitBlt(m_imageDC.GetDC(), 0, 0, GetWidth(), GetHeight(), source, 0, 0, SRCCOPY) &&
      m_maskDC.CreateWithBitCount(GetWidth(), GetHeight(), 1)) {
    const COLORREF oldBk = SetBkColor(m_imageDC.GetDC(), RGB(0, 0, 0));
    const BOOL masked = BitBlt(m_maskDC.GetDC(), 0, 0, GetWidth(), GetHeight(), m_imageDC.GetDC(), 0, 0, SRCCOPY);
    SetBkColor(m_imageDC.GetDC(), oldBk);
    ReleaseDC();
    if (masked) return TRUE;
  }
  Free();
  return FALSE;
}

BOOL CBitmap::ComposeFrom(HDC source, int i, int x, int y, BOOL useRightEdge) {
  if (!source || i < 0 || i >= GetPartCount() || !m_imageDC.GetDC()) return FALSE;
  const RECT r = m_parts[size_t(i)];
  const int height = r.bottom - r.top;
  const int maskX = useRightEdge ? r.right : r.left + m_halfWidth;
  HDC dc = GetDC();
  // OR with the inverted mask (MERGEPAINT): white (opaque) mask pixels keep the
  // picture, black (transparent) ones whiten it. A plain OR of the mask would
  // whiten the opaque pixels instead and turn the mask's meaning around.
  BOOL done = dc && BitBlt(dc, r.left, r.top, m_halfWidth, height, source, x, y, SRCCOPY) &&
              BitBlt(dc, r.left, r.top, m_halfWidth, height, dc, maskX, r.top, MERGEPAINT);
  GdiFlush();
  if (done)
    done = BitBlt(m_imageDC.GetDC(), r.left, r.top, m_halfWidth, height, dc, r.left, r.top, SRCCOPY);
  ReleaseDC();
  return done;
}

RECT CBitmap::GetPart(int i) const {
  if (i < 0 || i >= GetPartCount()) return {0, 0, 0, 0};
  return m_parts[i];
}

SIZE CBitmap::GetPartSize(int i) const {
  const RECT r = GetPart(i);
  return {r.right - r.left, r.bottom - r.top};
}

BOOL CBitmap::DrawTransparent(HDC hdc, int i, int x, int y) {
  if (!hdc || i < 0 || i >= GetPartCount()) return FALSE;
  const RECT& r = m_parts[i];
  const int w = r.right - r.left, h = r.bottom - r.top;
  // The mask makes the covered pixels white, then the picture is ANDed in.
  return BitBlt(hdc, x, y, w, h, m_maskDC.GetDC(), r.left + m_halfWidth, r.top, MERGEPAINT) &&
         BitBlt(hdc, x, y, w, h, m_imageDC.GetDC(), r.left, r.top, SRCAND);
}

void CBitmap::DrawPart(int i, CDib& target, int x, int y, int alpha) const {
  if (i < 0 || i >= GetPartCount()) return;
  const RECT& r = m_parts[i];
  DrawSkinPiece(target, x, y, r.right - r.left, r.bottom - r.top, *this, r.left, r.top, *this, r.left + m_halfWidth,
                r.top, alpha);
}

void CBitmap::DrawPartReplacing(int i, CDib& target, int x, int y, const COLORREF* from, const COLORREF* to,
                                int count) const {
  if (i < 0 || i >= GetPartCount()) return;
  const RECT& r = m_parts[i];
  BlitByMaskReplacing(target, x, y, r.right - r.left, r.bottom - r.top, *this, r.left, r.top, *this,
                      r.left + m_halfWidth, r.top, 255, from, to, count);
}

void CBitmap::SumUnderPart(int i, const CDib& image, int x, int y, DWORD sums[3], DWORD* count) const {
  sums[0] = sums[1] = sums[2] = 0;
  *count = 0;
  if (i < 0 || i >= GetPartCount()) return;
  const RECT& r = m_parts[i];
  const RECT under = {x, y, x + r.right - r.left, y + r.bottom - r.top};
  SumUnderMask(image, under, *this, r.left + m_halfWidth, r.top, &sums[0], &sums[1], &sums[2], count);
}

DWORD HashWideString(LPCWSTR text) {
  DWORD h = 0;
  for (; text && *text; ++text) h = h * 33 + *text;
  return h;
}

namespace {
HCURSOR g_previousCursor = nullptr;
}

void ShowWaitCursor() { g_previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }

void RestoreCursor() { SetCursor(g_previousCursor); }
