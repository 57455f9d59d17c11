// A restriction of an item collection: terms "[Property] op value" joined by AND and
// OR (AND binds closer). op is one of = <> < <= > >=; value a number, "<" followed by
// a day number, or a text in double or single quotes. Texts compare ignoring case.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CPimItem;

class CPimQuery {
 public:
  // false for text that is not a restriction.
  bool Parse(const wchar_t* text);
  bool Matches(const CPimItem& item) const;
  // The lowest and highest value the restriction names for the property (for the
  // days over which a series is expanded); false when it names none.
  bool Bounds(const wchar_t* property, double* low, double* high) const;

 private:
  enum Op { kEq, kNe, kLt, kLe, kGt, kGe };
  struct Term {
    std::wstring property;
    Op op;
    bool isText;
    double number;
    std::wstring text;
  };
  std::vector<std::vector<Term>> m_any;  // OR of AND groups
  static bool Test(const Term& term, const CPimItem& item);
};
