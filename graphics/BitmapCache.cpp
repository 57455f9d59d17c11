#include "graphics/BitmapCache.h"

#include "graphics/IconCategory.h"

CBitmapCache& CBitmapCache::Instance() {
  static CBitmapCache cache;
  return cache;
}

CKeyedBitmap* CBitmapCache::Get(LPCWSTR path) {
  if (!path || !*path) return nullptr;
  for (size_t i = 0; i < m_paths.size(); ++i)
    if (m_paths[i].Compare(path) == 0) return m_bitmaps[i].get();
  std::unique_ptr<CKeyedBitmap> bitmap(new CKeyedBitmap);
  if (bitmap->LoadFile(path))
    bitmap->SetKeyColor(CIconCategory::kIconKey);
  else
    bitmap.reset();
  m_paths.emplace_back(path);
  m_bitmaps.push_back(std::move(bitmap));
  return m_bitmaps.back().get();
}

void CBitmapCache::Clear() {
  m_paths.clear();
  m_bitmaps.clear();
}
