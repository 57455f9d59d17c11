// CIconCategory: one group of the options program's icon library: a translated
// title and icons, each with the name (path) it was found under.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "graphics/KeyedBitmap.h"
#include "platform/windowlib/String.h"

class CIconCategory {
 public:
  // The icons of the library are drawn with green as their key colour.
  static const COLORREF kIconKey = RGB(0, 255, 0);

  // The title as the translator shows it.
  explicit CIconCategory(LPCWSTR title);
  virtual ~CIconCategory() = default;
  CIconCategory(const CIconCategory&) = delete;
  CIconCategory& operator=(const CIconCategory&) = delete;

  // Appends icon's picture, keyed green, under name; icon is left empty.
  void Add(CKeyedBitmap& icon, LPCWSTR name);
  void Clear();

  const CString& GetTitle() const { return m_title; }
  int GetIconCount() const { return static_cast<int>(m_icons.size()); }
  // Null (empty) beyond the icons.
  CKeyedBitmap* GetIcon(int index) const;
  LPCWSTR GetName(int index) const;

 private:
  CString m_title;
  std::vector<std::unique_ptr<CKeyedBitmap>> m_icons;
  std::vector<CString> m_names;
};
