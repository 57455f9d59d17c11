#pragma once
// Entry ids of this messaging library: 4 flag bytes (0), the library's 16-byte
// provider id, the object's kind (a MAPI object type, or kStoreParent) and its 64-bit
// id, 32 bytes in all. A message's id never changes, so its entry id survives a move.
#include <windows.h>

#include <cstring>
#include <string>

class CEntryId {
 public:
  static const ULONG kSize = 32;
  // What lies above a store: named as the store's parent, never opens, so a walk up
  // the parents ends on the store itself.
  static const ULONG kStoreParent = 0x100;

  static std::string Make(ULONG kind, ULONGLONG id) {
    std::string bytes(kSize, '\0');
    memcpy(&bytes[4], kProvider, 16);
    memcpy(&bytes[20], &kind, 4);
    memcpy(&bytes[24], &id, 8);
    return bytes;
  }

  static bool Parse(ULONG cb, const void* entry, ULONG& kind, ULONGLONG& id) {
    if (cb != kSize || !entry) return false;
    const BYTE* b = static_cast<const BYTE*>(entry);
    if (b[0] || b[1] || b[2] || b[3] || memcmp(b + 4, kProvider, 16) != 0) return false;
    memcpy(&kind, b + 20, 4);
    memcpy(&id, b + 24, 8);
    return id != 0;
  }

 private:
  static constexpr BYTE kProvider[16] = {0x43, 0x45, 0x4D, 0x41, 0x50, 0x49, 0x2D, 0x53,
                                         0x54, 0x4F, 0x52, 0x45, 0x2D, 0x30, 0x30, 0x31};
};
