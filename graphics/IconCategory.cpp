#include "graphics/IconCategory.h"

#include "base/Translator.h"

CIconCategory::CIconCategory(LPCWSTR title) { TranslateText(title ? title : L"", m_title); }

void CIconCategory::Add(CKeyedBitmap& icon, LPCWSTR name) {
  std::unique_ptr<CKeyedBitmap> copy(new CKeyedBitmap);
  copy->TakeOver(icon);
  copy->SetKeyColor(kIconKey);
  m_icons.push_back(std::move(copy));
  m_names.emplace_back(name ? name : L"");
}

void CIconCategory::Clear() {
  m_icons.clear();
  m_names.clear();
}

CKeyedBitmap* CIconCategory::GetIcon(int index) const {
  return index >= 0 && index < GetIconCount() ? m_icons[index].get() : nullptr;
}

LPCWSTR CIconCategory::GetName(int index) const {
  return index >= 0 && index < GetIconCount() ? m_names[index].GetString() : L"";
}
