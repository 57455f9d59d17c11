// CQuotedPrintableCodec: the quoted-printable transfer encoding (RFC 2045). In
// text mode (the option 0) line breaks pass through and a line never holds a lone
// dot; in raw-bytes mode every CR and LF is escaped.
#pragma once

#include "tabs/messages/MimeCodec.h"

class CQuotedPrintableCodec : public CMimeCodec {
public:
  int GetEncodedLength() override;
  int GetDecodedLength() override { return m_length; }
  int Encode(char* out, int room) override;
  int Decode(char* out, int room) override;

  // The decoder shared with the Q encoded words.
  static int DecodeBytes(const char* in, int length, char* out, int room);
};
