// CSimpleMap: parallel key and value arrays searched front to back, grown by
// exactly one element per addition. Small maps only; a failed allocation adds
// nothing and returns FALSE.
#pragma once

#include <windows.h>
#include <new>
#include <stdlib.h>
#include <utility>

template <class TKey, class TVal>
class CSimpleMap {
public:
  CSimpleMap() = default;
  CSimpleMap(const CSimpleMap&) = delete;
  CSimpleMap& operator=(const CSimpleMap&) = delete;
  ~CSimpleMap() { RemoveAll(); }

  int GetSize() const { return m_size; }
  TKey& GetKeyAt(int index) const { return m_keys[index]; }
  TVal& GetValueAt(int index) const { return m_values[index]; }

  BOOL Add(const TKey& key, const TVal& value) {
    TKey* keys = Resized(m_keys, m_size + 1);
    if (!keys) return FALSE;
    m_keys = keys;
    TVal* values = Resized(m_values, m_size + 1);
    if (!values) return FALSE;  // the keys keep a spare slot; m_size is unchanged
    m_values = values;
    new (&m_keys[m_size]) TKey(key);
    new (&m_values[m_size]) TVal(value);
    ++m_size;
    return TRUE;
  }

  int FindKey(const TKey& key) const {
    for (int i = 0; i < m_size; ++i)
      if (m_keys[i] == key) return i;
    return -1;
  }

  int FindVal(const TVal& value) const {
    for (int i = 0; i < m_size; ++i)
      if (m_values[i] == value) return i;
    return -1;
  }

  // The value of the first entry with the key, or a default-made value.
  TVal Lookup(const TKey& key) const {
    int index = FindKey(key);
    return index >= 0 ? m_values[index] : TVal();
  }

  // Replaces the value of an existing key, or adds the pair.
  BOOL SetAt(const TKey& key, const TVal& value) {
    int index = FindKey(key);
    if (index < 0) return Add(key, value);
    m_values[index] = value;
    return TRUE;
  }

  BOOL SetAtIndex(int index, const TKey& key, const TVal& value) {
    if (index < 0 || index >= m_size) return FALSE;
    m_keys[index] = key;
    m_values[index] = value;
    return TRUE;
  }

  BOOL Remove(const TKey& key) {
    int index = FindKey(key);
    return index >= 0 && RemoveAt(index);
  }

  BOOL RemoveAt(int index) {
    if (index < 0 || index >= m_size) return FALSE;
    for (int i = index; i + 1 < m_size; ++i) {
      m_keys[i] = std::move(m_keys[i + 1]);
      m_values[i] = std::move(m_values[i + 1]);
    }
    --m_size;
    m_keys[m_size].~TKey();
    m_values[m_size].~TVal();
    return TRUE;
  }

  void RemoveAll() {
    for (int i = 0; i < m_size; ++i) {
      m_keys[i].~TKey();
      m_values[i].~TVal();
    }
    free(m_keys);
    free(m_values);
    m_keys = nullptr;
    m_values = nullptr;
    m_size = 0;
  }

private:
  // A new block of count elements holding the first m_size of old; old is freed.
  template <class T>
  T* Resized(T* old, int count) {
    if (static_cast<size_t>(count) > (size_t(-1) >> 1) / sizeof(T)) return nullptr;
    T* data = static_cast<T*>(malloc(sizeof(T) * static_cast<size_t>(count)));
    if (!data) return nullptr;
    for (int i = 0; i < m_size; ++i) {
      new (&data[i]) T(std::move(old[i]));
      old[i].~T();
    }
    free(old);
    return data;
  }

  TKey* m_keys = nullptr;
  TVal* m_values = nullptr;
  int m_size = 0;
};
