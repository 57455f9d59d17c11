// CSimpleArray / CSimpleValArray: the small growable arrays of the window
// library. Capacity goes 0 -> 1 -> 2 -> 4 ... (doubling); removal by value takes
// the first equal element. Failures (out of memory, bad index) return FALSE and
// leave the array as it was.
#pragma once

#include <windows.h>
#include <new>
#include <stdlib.h>
#include <utility>

template <class T>
class CSimpleArray {
public:
  CSimpleArray() = default;
  CSimpleArray(const CSimpleArray& src) { CopyFrom(src); }
  CSimpleArray& operator=(const CSimpleArray& src) {
    if (this != &src) {
      RemoveAll();
      CopyFrom(src);
    }
    return *this;
  }
  ~CSimpleArray() { RemoveAll(); }

  int GetSize() const { return m_size; }
  int GetCapacity() const { return m_capacity; }
  T* GetData() const { return m_data; }
  T& operator[](int index) const { return m_data[index]; }

  BOOL Add(const T& item) {
    if (m_size == m_capacity) {
      // The item may live in this array; copy it before the storage moves.
      T copy(item);
      if (!Grow(m_capacity == 0 ? 1 : m_capacity * 2)) return FALSE;
      new (&m_data[m_size]) T(std::move(copy));
    } else {
      new (&m_data[m_size]) T(item);
    }
    ++m_size;
    return TRUE;
  }

  // Index of the first element equal to item, or -1.
  int Find(const T& item) const {
    for (int i = 0; i < m_size; ++i)
      if (m_data[i] == item) return i;
    return -1;
  }

  BOOL Remove(const T& item) {
    int index = Find(item);
    return index >= 0 && RemoveAt(index);
  }

  BOOL RemoveAt(int index) {
    if (index < 0 || index >= m_size) return FALSE;
    for (int i = index; i + 1 < m_size; ++i) m_data[i] = std::move(m_data[i + 1]);
    m_data[--m_size].~T();
    return TRUE;
  }

  void RemoveAll() {
    for (int i = 0; i < m_size; ++i) m_data[i].~T();
    free(m_data);
    m_data = nullptr;
    m_size = m_capacity = 0;
  }

  BOOL SetAtIndex(int index, const T& item) {
    if (index < 0 || index >= m_size) return FALSE;
    m_data[index] = item;
    return TRUE;
  }

  // Inserts before index (0..size).
  BOOL InsertAt(int index, const T& item) {
    if (index < 0 || index > m_size || !Add(item)) return FALSE;
    for (int i = m_size - 1; i > index; --i) std::swap(m_data[i], m_data[i - 1]);
    return TRUE;
  }

private:
  BOOL Grow(int capacity) {
    if (capacity <= 0 || static_cast<size_t>(capacity) > (size_t(-1) >> 1) / sizeof(T)) return FALSE;
    T* data = static_cast<T*>(malloc(sizeof(T) * static_cast<size_t>(capacity)));
    if (!data) return FALSE;
    for (int i = 0; i < m_size; ++i) {
      new (&data[i]) T(std::move(m_data[i]));
      m_data[i].~T();
    }
    free(m_data);
    m_data = data;
    m_capacity = capacity;
    return TRUE;
  }

  void CopyFrom(const CSimpleArray& src) {
    if (src.m_size == 0 || !Grow(src.m_capacity)) return;
    for (int i = 0; i < src.m_size; ++i) new (&m_data[i]) T(src.m_data[i]);
    m_size = src.m_size;
  }

  T* m_data = nullptr;
  int m_size = 0;
  int m_capacity = 0;
};

// The same array for plain values (handles, numbers, pointers).
template <class T>
class CSimpleValArray : public CSimpleArray<T> {
public:
  BOOL Add(T item) { return CSimpleArray<T>::Add(item); }
  BOOL Remove(T item) { return CSimpleArray<T>::Remove(item); }
};
