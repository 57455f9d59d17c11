// Blocks of one size handed out from large chunks and taken back into a free list, for
// the records a contacts load makes by the thousand (contacts and their events): one
// allocation per chunk instead of one per record, and freeing is a push. Chunks stay
// with the process (as many as the most records ever alive at once need).
#pragma once
#include <windows.h>

#include <cstddef>
#include <new>

class CFixedBlockPool {
 public:
  explicit CFixedBlockPool(size_t blockSize);
  CFixedBlockPool(const CFixedBlockPool&) = delete;
  CFixedBlockPool& operator=(const CFixedBlockPool&) = delete;

  // A block of the pool's size; null without memory.
  void* Allocate() noexcept;
  // Takes back a block of this pool (null is ignored).
  void Free(void* block) noexcept;
  size_t GetBlockSize() const { return m_blockSize; }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  enum { kBlocksPerChunk = 256 };
  size_t m_blockSize;
  // The free list is held for a few instructions at a time: taking it is one atomic
  // exchange when nobody else has it (a load takes and gives back thousands of blocks;
  // the platform's reader-writer lock costs several times that, its release also looks
  // for waiters to wake).
  void Lock() noexcept {
    while (InterlockedExchange(&m_busy, 1)) SwitchToThread();
  }
  void Unlock() noexcept { InterlockedExchange(&m_busy, 0); }
  FreeBlock* m_free = nullptr;
  volatile LONG m_busy = 0;
};

// Class operators new and delete that take objects of exactly T's size from a pool of
// their own (a derived class of another size uses the heap). The pool is never
// destroyed: objects may be released after static destruction began.
template <class T>
class CPooledNew {
 public:
  static void* operator new(size_t size) {
    void* block = operator new(size, std::nothrow);
    if (!block) throw std::bad_alloc();
    return block;
  }
  static void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return size == sizeof(T) ? Pool().Allocate() : ::operator new(size, std::nothrow);
  }
  static void operator delete(void* block, size_t size) noexcept {
    if (size == sizeof(T))
      Pool().Free(block);
    else
      ::operator delete(block);
  }

 private:
  static CFixedBlockPool& Pool() {
    static CFixedBlockPool* pool = new CFixedBlockPool(sizeof(T));
    return *pool;
  }
};
