// CStringMap and CTextSet: open-addressing hash tables keyed by text, the
// translator's lookup table and the template writer's set of unique texts.
//
// Slots come in groups of 32 behind a 32-bit occupancy word; the table holds
// 2^bits slots, at most half of them in use, and never more than 2^24. The
// hash runs h = c * 37 + h * 5 over the UTF-16 units; the home slot is the
// top bits of h * 2654435769 ((sqrt(5) - 1) * 2^31); probing is linear. Keys
// compare case-sensitively.
#pragma once

#include "platform/windowlib/String.h"

#include <new>
#include <stdlib.h>
#include <string.h>
#include <utility>

UINT32 HashText(LPCWSTR text, int length);
UINT32 HashText(LPCWSTR text);

// The storage and probing shared by both tables; Str is LPCWSTR or CString.
template <class Str>
class CTextHashTable {
public:
  enum { GroupSlots = 32, MaxBits = 24 };
  static constexpr UINT32 Multiplier = 2654435769u;

  explicit CTextHashTable(int initialBits) : m_initialBits(initialBits < 5 ? 5 : initialBits) {}
  CTextHashTable(const CTextHashTable&) = delete;
  CTextHashTable& operator=(const CTextHashTable&) = delete;
  virtual ~CTextHashTable() { FreeStorage(m_groups, m_bits); }

  int GetCount() const { return m_count; }
  int GetBits() const { return m_bits; }

  void RemoveAll() {
    FreeStorage(m_groups, m_bits);
    m_groups = nullptr;
    m_bits = 0;
    m_count = 0;
  }

protected:
  struct Entry {
    Str key;
    Str value;
  };
  struct Group {
    DWORD used;
    alignas(Entry) unsigned char slots[GroupSlots][sizeof(Entry)];
  };

  virtual UINT32 Hash(const Str& key) const = 0;
  virtual bool Equal(const Str& a, const Str& b) const = 0;

  Entry* SlotAt(Group* groups, int slot) const {
    return reinterpret_cast<Entry*>(groups[slot / GroupSlots].slots[slot % GroupSlots]);
  }
  static bool Used(Group* groups, int slot) {
    return (groups[slot / GroupSlots].used >> (slot % GroupSlots)) & 1;
  }
  int Home(const Str& key, int bits) const {
    return static_cast<int>((Hash(key) * Multiplier) >> (32 - bits));
  }

  // The slot holding key, or -1.
  int FindSlot(const Str& key) const {
    if (!m_groups) return -1;
    int mask = (1 << m_bits) - 1;
    for (int s = Home(key, m_bits);; s = (s + 1) & mask) {
      if (!Used(m_groups, s)) return -1;
      if (Equal(SlotAt(m_groups, s)->key, key)) return s;
    }
  }

  // Adds or replaces. FALSE when the table cannot grow (over 24 bits, or no
  // memory): the entry is then dropped.
  BOOL Insert(const Str& key, const Str& value) {
    if (!m_groups) {
      m_groups = AllocateStorage(m_initialBits);
      if (!m_groups) return FALSE;
      m_bits = m_initialBits;
    }
    for (;;) {
      int mask = (1 << m_bits) - 1;
      int s = Home(key, m_bits);
      for (; Used(m_groups, s); s = (s + 1) & mask) {
        Entry* entry = SlotAt(m_groups, s);
        if (Equal(entry->key, key)) {
          entry->value = value;
          return TRUE;
        }
      }
      if (m_count + 1 > (1 << (m_bits - 1))) {
        if (!Rebuild(m_bits + 1)) return FALSE;
        continue;
      }
      new (SlotAt(m_groups, s)) Entry{key, value};
      m_groups[s / GroupSlots].used |= 1u << (s % GroupSlots);
      ++m_count;
      return TRUE;
    }
  }

  // First occupied slot at or after slot, or -1.
  int NextUsed(int slot) const {
    for (int s = slot < 0 ? 0 : slot; m_groups && s < (1 << m_bits); ++s)
      if (Used(m_groups, s)) return s;
    return -1;
  }

  Group* m_groups = nullptr;

private:
  static Group* AllocateStorage(int bits) {
    size_t groups = (size_t(1) << bits) / GroupSlots;
    return static_cast<Group*>(calloc(groups, sizeof(Group)));
  }

  void FreeStorage(Group* groups, int bits) {
    if (!groups) return;
    for (int s = 0; s < (1 << bits); ++s)
      if (Used(groups, s)) SlotAt(groups, s)->~Entry();
    free(groups);
  }

  BOOL Rebuild(int bits) {
    if (bits > MaxBits) return FALSE;
    Group* groups = AllocateStorage(bits);
    if (!groups) return FALSE;
    int mask = (1 << bits) - 1;
    for (int s = 0; s < (1 << m_bits); ++s) {
      if (!Used(m_groups, s)) continue;
      Entry* entry = SlotAt(m_groups, s);
      int t = Home(entry->key, bits);
      while (Used(groups, t)) t = (t + 1) & mask;
      new (SlotAt(groups, t)) Entry{entry->key, entry->value};
      groups[t / GroupSlots].used |= 1u << (t % GroupSlots);
    }
    FreeStorage(m_groups, m_bits);
    m_groups = groups;
    m_bits = bits;
    return TRUE;
  }

  int m_initialBits;
  int m_bits = 0;
  int m_count = 0;
};

// Text to text; keys and values point into storage the caller keeps alive
// (the translator's decoded language file).
class CStringMap : public CTextHashTable<LPCWSTR> {
public:
  explicit CStringMap(int initialBits = 10) : CTextHashTable(initialBits) {}

  virtual UINT32 HashKey(LPCWSTR key) const { return HashText(key); }

  // Adds or replaces; FALSE when dropped at the growth limit.
  BOOL SetAt(LPCWSTR key, LPCWSTR value) { return key ? Insert(key, value) : FALSE; }
  // The value, or null when absent.
  LPCWSTR Lookup(LPCWSTR key) const {
    int s = key ? FindSlot(key) : -1;
    return s < 0 ? nullptr : SlotAt(m_groups, s)->value;
  }

protected:
  UINT32 Hash(const LPCWSTR& key) const override { return HashKey(key); }
  bool Equal(const LPCWSTR& a, const LPCWSTR& b) const override { return wcscmp(a, b) == 0; }
};

// A set of unique texts held as reference-counted strings.
class CTextSet : public CTextHashTable<CString> {
public:
  CTextSet() : CTextHashTable(5) {}
  ~CTextSet() override { RemoveAll(); }

  BOOL Add(const CString& text) { return Insert(text, CString()); }
  bool Contains(const CString& text) const { return FindSlot(text) >= 0; }

  // Positions are slot index + 1; 0 is the end.
  int GetStartPosition() const { return NextUsed(0) + 1; }
  // The text at or after position; position moves to the next occupied slot.
  const CString& GetNext(int& position) const;

protected:
  UINT32 Hash(const CString& key) const override { return HashText(key, key.GetLength()); }
  bool Equal(const CString& a, const CString& b) const override { return a == b; }
};
