// CBitmapCache: the icon pictures item rows draw for their own icons, one per file
// path, loaded on first request and kept for the life of the library. A path whose
// picture did not load is remembered too, so it is not read again.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

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
  int GetCount() const { return static_cast<int>(m_paths.size()); }

 private:
  std::vector<CString> m_paths;
  std::vector<std::unique_ptr<CKeyedBitmap>> m_bitmaps;
};
