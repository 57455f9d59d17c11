// What the library and the item-operations program say to each other. Both
// records cross the process boundary by copy (WM_COPYDATA); neither carries a
// pointer, and the receiver takes a record only when it has exactly its size.
#pragma once
#include <windows.h>

#include <cstdint>

// The program's window class (also the name of its single-instance mutex).
#define ONDREL_WINDOW_CLASS L"QelTarvo_Ondrel_10"

// Request kinds (high word of dwData) and actions (low word).
enum : uint32_t {
  ONDREL_KIND_TASK = 0,
  ONDREL_KIND_APPOINTMENT = 1,
  ONDREL_KIND_CONTACT = 2,
  ONDREL_KIND_MESSAGE = 3,
  ONDREL_KIND_NOTE = 4,
  ONDREL_KIND_MAIL2 = 7,
};
enum : uint32_t {
  ONDREL_ACTION_NONE = 0,
  ONDREL_ACTION_OPEN = 1,
  ONDREL_ACTION_EDIT = 2,
  ONDREL_ACTION_NEW = 3,
  ONDREL_ACTION_NEW_FROM_NOTE = 7,
};
inline uint32_t OndrelRequestCode(uint32_t kind, uint32_t action) { return kind << 16 | action; }

// The date the system uses for "no date".
constexpr double ONDREL_NO_DATE = 949998.0;
constexpr int ONDREL_TEXT_CHARS = 260;
constexpr int ONDREL_MAX_ENTRY_ID = 64;

#pragma pack(push, 4)
struct ONDREL_REQUEST {
  uint32_t objectId;  // 0xFFFFFFFF: no item
  uint32_t reserved;
  double date1;       // OLE automation date; 0.0 none
  double date2;
  wchar_t text1[ONDREL_TEXT_CHARS];
  union {
    wchar_t text2[ONDREL_TEXT_CHARS];
    struct {
      uint8_t entryId[ONDREL_MAX_ENTRY_ID];
      uint32_t entryIdLength;  // 1 to 64
    } message;
  };
};
#pragma pack(pop)
static_assert(sizeof(ONDREL_REQUEST) == 1064, "request record layout");
static_assert(offsetof(ONDREL_REQUEST, text1) == 24 && offsetof(ONDREL_REQUEST, text2) == 544,
              "request record layout");
static_assert(offsetof(ONDREL_REQUEST, message.entryIdLength) == 608, "request record layout");

// Change operations (the high word is what the receiver looks at).
enum : uint32_t {
  ONDREL_CHANGE_APPOINTMENT = 0x10003,
  ONDREL_SET_REMINDER = 0x20000,
  ONDREL_DELETE_ITEM = 0x30000,
  ONDREL_COPY_ITEM = 0x40000,
  ONDREL_COMPLETE_TASK = 0x50000,
  ONDREL_CHANGE_TASK_DATES = 0x60000,
  ONDREL_BEAM_ITEM = 0x70000,
  ONDREL_SET_CATEGORIES = 0x80000,
};

#pragma pack(push, 4)
struct ONDREL_CHANGE_RECORD {
  uint32_t objectId;
  uint32_t kind;       // folder number 9, 10, 13; 0 for categories
  uint32_t operation;
  uint32_t unused;
  union {
    uint32_t u32;      // occurrence day, reminder value
    double f64;        // task start date
  } first;
  double f64a;
  double f64b;
  uint32_t u32a;
  uint32_t u32b;
};
#pragma pack(pop)
static_assert(sizeof(ONDREL_CHANGE_RECORD) == 48, "change record layout");
static_assert(offsetof(ONDREL_CHANGE_RECORD, first) == 16 && offsetof(ONDREL_CHANGE_RECORD, f64a) == 24 &&
                  offsetof(ONDREL_CHANGE_RECORD, u32a) == 40,
              "change record layout");

// Task completion names the state it wants (+40 the state, +44 this marker), so a
// second tap or a view behind the store cannot undo what the user asked for. A record
// without the marker asks for the other state than the store's.
constexpr uint32_t ONDREL_COMPLETE_STATE_GIVEN = 1;

// The categories text of a change travels in the same copy, behind the record;
// +16 of the record stays 0. A longer text is not cut (that would drop the user's
// categories): the change is refused.
constexpr int ONDREL_CATEGORIES_CHARS = 1024;
struct ONDREL_CHANGE_MESSAGE {
  ONDREL_CHANGE_RECORD record;
  wchar_t categories[ONDREL_CATEGORIES_CHARS];
};
static_assert(sizeof(ONDREL_CHANGE_MESSAGE) == 48 + 2 * ONDREL_CATEGORIES_CHARS, "change message layout");

// dwData of a copy that carries a change message; its answer is the operation's
// result. Kind 0xC is no request kind, so the two never meet.
constexpr ULONG_PTR ONDREL_CHANGE_DATA = 0xC0000;

// The receiver's side: TRUE and a copy in out when the copy is a request (a
// request kind, exactly the record's size, texts terminated inside their fields,
// an e-mail entry id of 1 to 64 bytes). Anything else is refused and out zeroed.
BOOL ReadOndrelRequest(const COPYDATASTRUCT* copy, ONDREL_REQUEST* out);
// Same for a change message: the tag, exactly its size, the text terminated.
BOOL ReadOndrelChange(const COPYDATASTRUCT* copy, ONDREL_CHANGE_MESSAGE* out);

// Beam is posted (the sender must not wait for the beam): its two values travel
// by value, wParam = ONDREL_BEAM_ITEM | kind (1 appointment, 2 contact, 3 task),
// lParam = object id. FALSE for anything that is not such a pair.
BOOL ReadOndrelBeam(WPARAM wParam, LPARAM lParam, uint32_t* kind, uint32_t* objectId);
