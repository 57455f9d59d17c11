// CFieldCodec: a header field's value codec. Decoding resolves encoded words
// (and reports the charset of the first); encoding cuts the value into segments
// and writes those holding 8-bit bytes as encoded words of the field's charset.
// The plain codec serves every field without a codec of its own.
#pragma once

#include <string>

#include "tabs/messages/MimeCodec.h"

class CFieldCodec : public CMimeCodec {
public:
  void SetCharset(const std::string& charset) { m_charset = charset; }
  const std::string& GetCharset() const { return m_charset; }

  int GetEncodedLength() override;
  int GetDecodedLength() override { return m_length; }
  int Encode(char* out, int room) override;
  int Decode(char* out, int room) override;

  // A list delimiter is followed by "\r\n\t" when encoding.
  virtual bool IsListDelimiter(char) { return false; }
  // 0: segments end at white space and specials; any other byte: the first
  // segment runs to that byte. 255 makes the whole value one segment.
  virtual unsigned char InitialQuoteState() { return 0; }

private:
  // Encodes into out, or only counts when out is null.
  int Run(char* out, int room);

  std::string m_charset;
};

class CTextFieldCodec : public CFieldCodec {
public:
  unsigned char InitialQuoteState() override { return 255; }
};

class CAddressFieldCodec : public CFieldCodec {
public:
  bool IsListDelimiter(char c) override { return c == ',' || c == ':'; }
};

class CParamFieldCodec : public CFieldCodec {
public:
  bool IsListDelimiter(char c) override { return c == ';'; }
};
