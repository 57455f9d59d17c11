// CEncodedWordCodec: RFC 2047 encoded words in header text. Decoding reports
// the charset and letter of the first word; encoding writes B or Q words of
// the charset set beforehand.
#pragma once

#include <string>

#include "tabs/messages/MimeCodec.h"

class CEncodedWordCodec : public CMimeCodec {
public:
  void SetCharset(const std::string& charset) { m_charset = charset; }
  const std::string& GetCharset() const { return m_charset; }
  void SetLetter(char letter) { m_letter = letter; }
  char GetLetter() const { return m_letter; }

  int GetEncodedLength() override;
  int GetDecodedLength() override { return m_length; }
  int Encode(char* out, int room) override;
  int Decode(char* out, int room) override;

private:
  struct Word;
  bool ParseWord(int at, Word& word) const;

  char m_letter = 0;
  std::string m_charset;
};
