#include "tabs/messages/FieldCodec.h"

#include <algorithm>
#include <cstring>

#include "tabs/messages/EncodedWordCodec.h"
#include "tabs/messages/MimeChars.h"
#include "tabs/messages/MimeRegistry.h"

namespace {
const unsigned char kWholeValue = 255;
}  // namespace

int CFieldCodec::Decode(char* out, int room) {
  CEncodedWordCodec words;
  words.SetInput(m_input, m_length, false);
  const int n = words.Decode(out, room);
  m_charset = words.GetCharset();
  return n;
}

int CFieldCodec::GetEncodedLength() { return Run(nullptr, 0x7FFFFFFF); }

int CFieldCodec::Encode(char* out, int room) { return Run(out, room); }

int CFieldCodec::Run(char* out, int room) {
  std::string charset = m_charset;
  if (charset.empty()) charset = GetMimeRegistry().GetDefaultCharset();
  const bool count = out == nullptr;
  if (charset.empty()) {
    return count ? m_length : CMimeCodec::Encode(out, room);
  }
  long long w = 0;
  auto write = [&](const char* bytes, int n) {
    if (!count) {
      n = static_cast<int>(std::min<long long>(n, room - w));
      memcpy(out + w, bytes, n);
    }
    w += n;
  };
  const char* in = m_input;
  unsigned char state = InitialQuoteState();
  int i = 0;
  while (i < m_length && (count || w < room)) {
    const int start = i;
    int eightBit = 0;
    for (; i < m_length; i++) {
      const unsigned char u = static_cast<unsigned char>(in[i]);
      // A value of text runs whole: no byte, not even 0xFF, closes it.
      if (state == kWholeValue) {
        if (u >= 128) eightBit++;
        continue;
      }
      if (state != 0 ? u == state : (mime::IsSpace(in[i]) || mime::IsSpecial(in[i]))) break;
      if (u >= 128) eightBit++;
    }
    const int n = i - start;
    if (eightBit > 0) {
      CEncodedWordCodec words;
      words.SetCharset(charset);
      words.SetLetter((((n + 2) / 3) * 4 < n + 2 * eightBit && n < 5 * eightBit) ? 'B' : 'Q');
      words.SetInput(in + start, n, true);
      if (count) {
        w += words.GetEncodedLength();
      } else {
        w += words.Encode(out + w, static_cast<int>(room - w));
      }
    } else {
      write(in + start, n);
    }
    if (i >= m_length) break;
    const char ending = in[i++];
    if (state != 0) {
      state = 0;
    } else if (ending == '"') {
      state = '"';
    } else if (ending == '(') {
      state = ')';
    } else if (ending == '<') {
      state = '>';
    }
    write(&ending, 1);
    if (IsListDelimiter(ending)) {
      write("\r\n\t", 3);
      while (i < m_length && mime::IsSpace(in[i])) i++;
    }
  }
  return static_cast<int>(std::min<long long>(w, 0x7FFFFFFF));
}
