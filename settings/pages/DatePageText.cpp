#include "settings/pages/DatePageText.h"

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "settings/pages/PageControls.h"

void ApplyYearRule(HWND page, int notYearBox, int shortYearBox, BOOL& remembered) {
  HWND shortYear = ::GetDlgItem(page, shortYearBox);
  if (IsBoxTicked(page, notYearBox)) {
    // Only an enabled box holds the user's choice; a disabled one holds the cleared state.
    if (::IsWindowEnabled(shortYear)) remembered = IsBoxTicked(page, shortYearBox);
    TickBox(page, shortYearBox, FALSE);
    ::EnableWindow(shortYear, FALSE);
  } else {
    ::EnableWindow(shortYear, TRUE);
    TickBox(page, shortYearBox, remembered);
  }
}

CString FormatToday(LPCWSTR picture) {
  SYSTEMTIME today;
  ::GetLocalTime(&today);
  WCHAR text[128] = L"";
  if (!::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &today, picture, text, ARRAYSIZE(text))) text[0] = L'\0';
  return CString(text);
}

void PlaceAtPageBottom(HWND page, HWND control) {
  if (!control) return;
  RECT client = {};
  ::GetClientRect(page, &client);
  // The sheet sizes its pages after they start: the width follows the page's too.
  ::MoveWindow(control, ScaleX(5), client.bottom - ScaleY(36), client.right - ScaleX(10), ScaleY(36), TRUE);
}

void CreateDateExplanation(HWND page, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  HWND control = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                   page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDateExplanation)), nullptr,
                                   nullptr);
  PlaceAtPageBottom(page, control);
}

void MoveDateExplanation(HWND page) { PlaceAtPageBottom(page, ::GetDlgItem(page, kDateExplanation)); }
