#include "platform/pimstore/PimQuery.h"

#include <cwchar>
#include <cwctype>

#include "platform/pimstore/PimItem.h"

namespace {

void SkipBlanks(const wchar_t*& p) {
  while (*p && iswspace(*p)) ++p;
}

bool Keyword(const wchar_t*& p, const wchar_t* word) {
  size_t n = wcslen(word);
  if (_wcsnicmp(p, word, n) != 0 || (p[n] && !iswspace(p[n]) && p[n] != L'[')) return false;
  p += n;
  return true;
}

}  // namespace

bool CPimQuery::Parse(const wchar_t* text) {
  m_any.clear();
  if (!text) return false;
  const wchar_t* p = text;
  m_any.emplace_back();
  for (;;) {
    SkipBlanks(p);
    if (*p != L'[') return false;
    const wchar_t* close = wcschr(p, L']');
    if (!close || close == p + 1) return false;
    Term term;
    term.property.assign(p + 1, close);
    p = close + 1;
    SkipBlanks(p);
    if (p[0] == L'<' && p[1] == L'>') term.op = kNe, p += 2;
    else if (p[0] == L'<' && p[1] == L'=') term.op = kLe, p += 2;
    else if (p[0] == L'>' && p[1] == L'=') term.op = kGe, p += 2;
    else if (p[0] == L'<') term.op = kLt, p += 1;
    else if (p[0] == L'>') term.op = kGt, p += 1;
    else if (p[0] == L'=') term.op = kEq, p += 1;
    else return false;
    SkipBlanks(p);
    if (*p == L'"' || *p == L'\'') {
      wchar_t quote = *p++;
      const wchar_t* end = wcschr(p, quote);
      if (!end) return false;
      term.isText = true;
      term.text.assign(p, end);
      p = end + 1;
      // A quoted date names a moment when the text reads as one.
      DATE date = 0;
      if (SUCCEEDED(VarDateFromStr(const_cast<LPOLESTR>(term.text.c_str()), LOCALE_USER_DEFAULT, 0, &date)))
        term.number = date;
    } else {
      if (*p == L'<') ++p;  // a day number
      wchar_t* end = nullptr;
      term.number = wcstod(p, &end);
      if (end == p) return false;
      term.isText = false;
      p = end;
    }
    m_any.back().push_back(term);
    SkipBlanks(p);
    if (!*p) return true;
    if (Keyword(p, L"AND")) continue;
    if (Keyword(p, L"OR")) {
      m_any.emplace_back();
      continue;
    }
    return false;
  }
}

bool CPimQuery::Test(const Term& term, const CPimItem& item) {
  double number = 0;
  std::wstring text;
  bool isText = false;
  if (!item.Value(term.property.c_str(), &number, &text, &isText)) return false;
  int order;
  if (isText) {
    if (!term.isText) return false;
    int c = _wcsicmp(text.c_str(), term.text.c_str());
    order = c < 0 ? -1 : c > 0 ? 1 : 0;
  } else {
    order = number < term.number ? -1 : number > term.number ? 1 : 0;
  }
  switch (term.op) {
    case kEq: return order == 0;
    case kNe: return order != 0;
    case kLt: return order < 0;
    case kLe: return order <= 0;
    case kGt: return order > 0;
    default: return order >= 0;
  }
}

bool CPimQuery::Matches(const CPimItem& item) const {
  for (const auto& all : m_any) {
    bool ok = true;
    for (const Term& term : all)
      if (!Test(term, item)) {
        ok = false;
        break;
      }
    if (ok) return true;
  }
  return false;
}

bool CPimQuery::Bounds(const wchar_t* property, double* low, double* high) const {
  bool any = false;
  for (const auto& all : m_any)
    for (const Term& term : all) {
      if (_wcsicmp(term.property.c_str(), property) != 0) continue;
      if (!any || term.number < *low) *low = term.number;
      if (!any || term.number > *high) *high = term.number;
      any = true;
    }
  return any;
}
