#pragma once
// Property values handed to callers: one LocalAlloc block per array (values, then the
// texts and bytes they point at), freed whole by MAPIFreeBuffer.
#include <string>
#include <vector>

#include "platform/cemapi/StoreRecord.h"
#include "platform/cemapi/cemapi.h"

class CPropPack {
 public:
  // The values of `all` for `tags` (null: every value, texts as `unicode` says), in the
  // order asked; a missing or unconvertible one is PT_ERROR with MAPI_E_NOT_FOUND.
  // `errors` tells whether one was.
  static LPSPropValue Select(const PropRecordMap& all, const SPropTagArray* tags, bool unicode, ULONG& count,
                             bool& errors);
  // The bytes a property gives as a stream: UTF-16 for Unicode text, UTF-8 for 8-bit
  // text, the bytes of a binary value; false when the property is missing.
  static bool StreamBytes(const PropRecordMap& all, ULONG tag, std::string& bytes);
  static std::string Utf8(const std::wstring& text);
};
