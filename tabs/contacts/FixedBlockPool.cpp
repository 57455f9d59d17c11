#include "tabs/contacts/FixedBlockPool.h"

#include <cstdlib>

namespace {

size_t RoundUp(size_t size) {
  const size_t align = alignof(std::max_align_t);
  if (size < sizeof(void*)) size = sizeof(void*);
  return (size + align - 1) / align * align;
}

}  // namespace

CFixedBlockPool::CFixedBlockPool(size_t blockSize) : m_blockSize(RoundUp(blockSize)) {}

void* CFixedBlockPool::Allocate() noexcept {
  Lock();
  if (!m_free) {
    // The chunk is never freed: its blocks come back to the free list.
    BYTE* chunk = static_cast<BYTE*>(std::malloc(m_blockSize * kBlocksPerChunk));
    if (chunk) {
      for (int i = kBlocksPerChunk - 1; i >= 0; --i) {
        FreeBlock* block = reinterpret_cast<FreeBlock*>(chunk + static_cast<size_t>(i) * m_blockSize);
        block->next = m_free;
        m_free = block;
      }
    }
  }
  FreeBlock* block = m_free;
  if (block) m_free = block->next;
  Unlock();
  return block;
}

void CFixedBlockPool::Free(void* block) noexcept {
  if (!block) return;
  Lock();
  FreeBlock* freed = static_cast<FreeBlock*>(block);
  freed->next = m_free;
  m_free = freed;
  Unlock();
}
