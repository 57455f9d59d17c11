#include "graphics/BitmapCache.h"

#include "graphics/IconCategory.h"

CBitmapCache& CBitmapCache::Instance() {
  static CBitmapCache cache;
  return cache;
}

CKeyedBitmap* CBitmapCache::Get(LPCWSTR path) {
  if (!path || !*path) return nullptr;
  auto found = m_bitmaps.find(path);
  if (found != m_bitmaps.end()) return found->second.get();
  std::unique_ptr<CKeyedBitmap> bitmap(new CKeyedBitmap);
  if (bitmap->LoadFile(path))
    bitmap->SetKeyColor(CIconCategory::kIconKey);
  else
    bitmap.reset();
  return m_bitmaps.emplace(path, std::move(bitmap)).first->second.get();
}

void CBitmapCache::Clear() { m_bitmaps.clear(); }
