// CBitmapCache: the icon pictures item rows draw for their own icons, one per file
// path, loaded on first request and kept for the life of the library. A path whose
// picture did not load is remembered too, so it is not read again.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "graphics/KeyedBitmap.h"
#include "platform/windowlib/String.h"

class CBitmapCache {
 public:
  CBitmapCache() = default;
  virtual ~CBitmapCache() = default;
  CBitmapCache(const CBitmapCache&) = delete;
  CBitmapCache& operator=(const CBitmapCache&) = delete;

  // The process's cache, emptied at exit.
  static CBitmapCache& Instance();

  // The picture of path keyed pure green; null for a null or empty path and for a
  // path that does not load (now or at an earlier request). Owned by the cache.
  CKeyedBitmap* Get(LPCWSTR path);
  // Deletes every picture and forgets every path.
  void Clear();
  int GetCount() const { return static_cast<int>(m_bitmaps.size()); }

 private:
  // By the path exactly as asked (every row of a long list asks for its own).
  std::unordered_map<std::wstring, std::unique_ptr<CKeyedBitmap>> m_bitmaps;
};
