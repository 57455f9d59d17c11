#include "tabs/messages/HtmlToText.h"

#include <cwctype>

namespace {

bool StartsNoCase(const std::wstring& text, size_t at, const wchar_t* word) {
  for (size_t i = 0; word[i]; i++) {
    if (at + i >= text.size() || towlower(text[at + i]) != word[i]) return false;
  }
  return true;
}

size_t FindNoCase(const std::wstring& text, size_t from, const std::wstring& word) {
  for (size_t i = from; i + word.size() <= text.size(); i++) {
    if (StartsNoCase(text, i, word.c_str())) return i;
  }
  return std::wstring::npos;
}

size_t PastNext(const std::wstring& text, size_t from, const wchar_t* what) {
  const size_t at = text.find(what, from);
  return at == std::wstring::npos ? text.size() : at + wcslen(what);
}

}  // namespace

std::wstring HtmlToText(const std::wstring& html) {
  static const wchar_t* const kDropped[] = {L"title", L"script", L"style"};
  std::wstring result;
  size_t at = 0;
  const size_t end = html.size();
  while (at < end) {
    const wchar_t c = html[at];
    if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n') {
      at++;
      continue;
    }
    if (c == L'<') {
      const wchar_t* dropped = nullptr;
      for (const wchar_t* name : kDropped) {
        if (StartsNoCase(html, at + 1, name)) dropped = name;
      }
      if (dropped) {
        at = PastNext(html, at, L">");
        const size_t close = FindNoCase(html, at, std::wstring(L"</") + dropped + L">");
        at = close == std::wstring::npos ? end : close + wcslen(dropped) + 3;
      } else if (html.compare(at, 4, L"<!--") == 0) {
        at = PastNext(html, at + 4, L"-->");
      } else {
        at = PastNext(html, at, L">");
      }
      continue;
    }
    size_t runEnd = html.find(L'<', at);
    if (runEnd == std::wstring::npos) runEnd = end;
    result.append(html, at, runEnd - at);
    result += L"\r\n";
    at = runEnd;
  }
  return result;
}
