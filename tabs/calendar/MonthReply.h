// The month reply of the item-operations program: how busy each half hour of one
// month is. It arrives as WM_COPYDATA from another process, so it is taken only
// when its size is exactly the format's and its key names a real month; nothing
// is read past the payload.
#pragma once
#include <windows.h>

class CMonthReply {
 public:
  enum {
    kSlotsPerDay = 48,
    kDays = 32,
    kSlots = kSlotsPerDay * kDays,
    kLevelWords = kSlots / 16,
    kPresenceWords = kSlots / 32,
  };
  // Levels first, presence bits after them, as the program sends them.
  struct Layout {
    DWORD levels[kLevelWords];
    DWORD presence[kPresenceWords];
  };
  static constexpr DWORD kSize = sizeof(Layout);

  CMonthReply() = default;

  // Year in the high 16 bits, month 1 to 12 in the low 16 bits.
  static DWORD MakeKey(int year, int month) { return (static_cast<DWORD>(year) << 16) | static_cast<DWORD>(month); }
  // FALSE for a key whose month is not 1 to 12 or whose year lies outside 1601 to 9999.
  static BOOL SplitKey(ULONG_PTR key, int* year, int* month);

  // Takes a received reply: FALSE (and nothing kept) when the payload is missing,
  // shorter or longer than the format, or the key is no month.
  BOOL Read(const COPYDATASTRUCT* data);
  // Takes the bytes of a reply from memory (tests, and the program's own copy).
  void Assign(const Layout& layout) { m_layout = layout; }

  int GetYear() const { return m_year; }
  int GetMonth() const { return m_month; }
  const Layout& GetLayout() const { return m_layout; }

  // Slot s = day index x 48 + half hour. Presence bit and 2-bit level; FALSE and 0
  // outside the reply.
  BOOL IsPresent(int slot) const;
  int GetLevel(int slot) const;
  // What a bar shows for the slot: the level when present, 5 (conflict) for level 3
  // without presence, else -1 (nothing planned).
  int GetStatus(int slot) const;

  // Writers for the program's side and for fakes: marks a slot.
  void SetSlot(int slot, BOOL present, int level);

 private:
  Layout m_layout = {};
  int m_year = 0;
  int m_month = 0;
};

static_assert(CMonthReply::kSize == 576, "the month reply is 576 bytes on every platform");
