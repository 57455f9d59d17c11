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

void CreateDateExplanation(HWND page, UINT textId) {
  RECT client = {};
  ::GetClientRect(page, &client);
  const int height = ScaleY(36);
  CString text;
  LoadTranslatedString(text, textId);
  ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, ScaleX(5),
                    client.bottom - height, client.right - ScaleX(10), height, page,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDateExplanation)), nullptr, nullptr);
}

void MoveDateExplanation(HWND page) {
  HWND text = ::GetDlgItem(page, kDateExplanation);
  if (!text) return;
  RECT client = {}, rect = {};
  ::GetClientRect(page, &client);
  ::GetWindowRect(text, &rect);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
  const int height = rect.bottom - rect.top;
  ::MoveWindow(text, rect.left, client.bottom - height, rect.right - rect.left, height, TRUE);
}
