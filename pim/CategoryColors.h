// CCategoryColors: one colour per category (CColorValue: a colour, a "none" flag and
// a blend percent), kept as DWORD values under the product's "Colors" key, one value
// per category named after the category. List rows are tinted with the colour of
// their first coloured category.
#pragma once
#include <windows.h>

#include <vector>

#include "base/BitSet.h"
#include "graphics/ColorValue.h"
#include "platform/windowlib/String.h"

#define TARVO_COLORS_KEY L"\\Software\\Korvel\\Qel Tarvo\\Colors"

// The value a category's colour is stored under: the category's name itself, so two
// categories never share one value. Older builds stored a name holding "%A" to "%J"
// under its unescaped form ("50%A" as "50%", the value of the category "50%"); such a
// value is still read when no category of that exact name exists.
CString CategoryColorValueName(LPCWSTR name);

class CCategoryColors {
 public:
  // The packed form of "no colour".
  static constexpr DWORD kNone = 0xFFFFFFFF;

  // The options program writes a missing value back as "no colour" when it loads
  // (and creates the key); the library only reads. Set once at program start.
  static void SetWriteMissingColors(BOOL write);
  static BOOL IsWriteMissingColors();

  // One entry per name, in record order (an empty name: a deleted category, no colour).
  void Load(const std::vector<CString>& names);
  void Clear();
  int GetCount() const { return static_cast<int>(m_colors.size()); }

  // The colour, or kNone when it has none or outside the entries.
  COLORREF GetColor(int index) const;
  // The blend percent, or -1 outside the entries.
  int GetBlend(int index) const;
  // Change the entry and write it; FALSE outside the entries, for a category
  // without a name, or when the registry write fails (the entry keeps the change).
  BOOL SetColor(int index, COLORREF color);
  BOOL SetBlend(int index, int percent);
  // base blended toward the colour of the lowest set category that has one.
  COLORREF GetItemColor(const CBitSet& set, COLORREF base) const;

 private:
  BOOL Write(int index);

  std::vector<CColorValue> m_colors;
  std::vector<CString> m_names;
};
