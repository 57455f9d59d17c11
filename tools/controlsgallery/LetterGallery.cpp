#include "tools/controlsgallery/LetterGallery.h"

#include "base/ScreenDpi.h"
#include "controls/TextRunList.h"

namespace {

const LPCWSTR kNames[] = {L"Jane Black", L"Mr. Kahn",   L"3com",      L"Adam Smith", L"Lia Kim",
                          L"José Ortiz", L"Renée Dubois", L"Ola Nordmann", L"Tom Wu",   L"Kate Abbott"};
const int kRowHeight = 22;
const int kBarHeight = 22;
const int kStatusHeight = 24;

void Text(CTextRunList* context, LPCWSTR text, const RECT& rect, COLORREF colour) {
  HFONT font = context->SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  COLORREF previous = context->SetTextColor(colour);
  context->AddText(text, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  context->SetTextColor(previous);
  context->SetFont(font);
}

}  // namespace

const char kLetterTourScript[] =
    "tap 90 305\n"   // jkl
    "tap 12 305\n"   // abc
    "tap 116 305\n"  // mno
    "tap 225 305\n"  // backspace
    "down 40 305\n"  // def, pressed
    "up 40 305\n"
    "down 150 305\n"  // pqrs, then a swipe to the left: a backspace
    "up 130 305\n"
    "tap 225 305\n"
    "tap 225 305\n";

int CGalleryLetterBar::GetScreenWidth() { return ScaleX(240); }

CLetterGalleryRoot::CLetterGalleryRoot() : m_bar(this) {
  AddChild(&m_bar);
  m_bar.AddLayout(L"Latin");
  m_bar.SelectLayout(0, FALSE);
  SetBackgroundColor(RGB(255, 255, 255));
}

void CLetterGalleryRoot::SetRect(const RECT* rect) {
  CVirtualWnd::SetRect(rect);
  RECT bar = {rect->left, rect->bottom - kBarHeight, rect->right, rect->bottom};
  m_bar.SetRect(&bar);
}

void CLetterGalleryRoot::OnLetterBarChanged(int code) {
  m_last.Format(code >= 0 ? L"typed group %d" : (code == -1 ? L"removed one" : L"cleared"), code);
  Invalidate();
}

void CLetterGalleryRoot::Paint(CTextRunList* context) {
  CString status;
  status.Format(L"%d typed   %s", m_bar.GetTypedCount(), static_cast<LPCWSTR>(m_last));
  RECT line = {8, 2, m_rect.right - 8, kStatusHeight};
  Text(context, status, line, RGB(90, 90, 90));
  int top = kStatusHeight;
  for (LPCWSTR name : kNames) {
    int length = 0;
    const int at = m_bar.FindMatch(name, &length, nullptr);
    if (at < 0 || top + kRowHeight > m_rect.bottom - kBarHeight) continue;
    RECT row = {8, top, m_rect.right - 8, top + kRowHeight};
    Text(context, name, row, RGB(0, 0, 0));
    if (length > 0) {
      // The matched letters underlined.
      HDC dc = context->GetDC();
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SIZE before = {0, 0}, matched = {0, 0};
      GetTextExtentPoint32W(dc, name, at, &before);
      GetTextExtentPoint32W(dc, name + at, length, &matched);
      SelectObject(dc, old);
      RECT mark = {row.left + before.cx, row.bottom - 4, row.left + before.cx + matched.cx, row.bottom - 2};
      HBRUSH brush = CreateSolidBrush(RGB(40, 120, 220));
      FillRect(dc, &mark, brush);
      DeleteObject(brush);
    }
    top += kRowHeight;
  }
  CVirtualWnd::Paint(context);
}
