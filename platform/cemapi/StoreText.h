#pragma once
// The readable text form of a message store, and the store file that wraps it.
//
// Text (UTF-8, one item per line, blanks at line starts ignored, '#' starts a comment line):
//   store ID                          the store; ID is 16 hex digits, unique on the device
//   folder ID [parent ID] [role R]    a folder; without parent it is the store's root
//                                     folder (one, first); R: root inbox outbox sent deleted drafts
//   message ID folder ID              a message in a folder defined above
//   recipient                         a recipient of the message above
//   TAG = VALUE                       a property of the item above; TAG is 0xXXXXXXXX or a
//                                     name (PR_SUBJECT_W, ...); VALUE by the tag's type:
//                                     numbers decimal or 0x hex; true/false; times
//                                     "YYYY-MM-DD HH:MM:SS" (UTC); texts and bytes "quoted"
//                                     (\\ \" \r \n \t \xHH \uXXXX) or <<WORD, then lines
//                                     taken as they are, each ended by CR LF, up to a line
//                                     WORD; bytes also hex:0A1B...
// 8-bit text properties are kept as their Unicode tag (PR_BODY as PR_BODY_W).
//
// File: the line "CEMAPISTORE 1 <text bytes> <CRC-32 of the text, 8 hex>" and the text.
// A file whose line, length or checksum does not match is damaged.
#include <string>

#include "platform/cemapi/StoreRecord.h"

class CStoreText {
 public:
  static bool Parse(const std::string& text, StoreRecord& store, std::string& error);
  static std::string Format(const StoreRecord& store);

  static bool ParseFile(const std::string& bytes, StoreRecord& store, std::string& error);
  static std::string FormatFile(const StoreRecord& store);

  // The tag of a property name of the text form, 0 when unknown.
  static ULONG TagOfName(const std::string& name);
  // The tag with 8-bit text made Unicode.
  static ULONG NormalTag(ULONG tag);
};
