// CBase64Codec: the base64 transfer encoding (RFC 2045, standard alphabet). With
// the option set (as the registry creates it) encoded lines break after 76 digits.
#pragma once

#include "tabs/messages/MimeCodec.h"

class CBase64Codec : public CMimeCodec {
public:
  int GetEncodedLength() override;
  int GetDecodedLength() override;
  int Encode(char* out, int room) override;
  int Decode(char* out, int room) override;

  // Shared with the B encoded words: line breaks are skipped and the first byte
  // outside the alphabet ends the text.
  static int DecodeBytes(const char* in, int length, char* out, int room);
  static int EncodeBytes(const char* in, int length, bool breakLines, char* out, int room);
  static int EncodedLength(int length, bool breakLines);
};
