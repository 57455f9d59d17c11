#include "tabs/contacts/ContactTextPool.h"

#include <cstring>
#include <new>

CContactTextPool* CContactTextPool::Create() {
  CContactTextPool* pool = new (std::nothrow) CContactTextPool();
  if (pool) pool->CRefObjectCounted();
  return pool;
}

LPCWSTR CContactTextPool::Add(LPCWSTR text, int length) {
  if (!text || length < 0) return nullptr;
  const int need = length + 1;
  if (need > m_size - m_used) {
    // A text longer than a block gets a block of its own size.
    const int size = need > kBlockChars ? need : static_cast<int>(kBlockChars);
    std::unique_ptr<WCHAR[]> block(new (std::nothrow) WCHAR[size]);
    if (!block) return nullptr;
    try {
      m_blocks.push_back(std::move(block));
    } catch (...) {
      return nullptr;
    }
    m_used = 0;
    m_size = size;
  }
  WCHAR* at = m_blocks.back().get() + m_used;
  std::memcpy(at, text, static_cast<size_t>(length) * sizeof(WCHAR));
  at[length] = 0;
  m_used += need;
  return at;
}
