#include "tabs/messages/QuotedPrintableCodec.h"

#include <cstring>

#include "tabs/messages/MimeChars.h"

namespace {
const char kHexDigits[] = "0123456789ABCDEF";
const int kMaxLine = 76;
}  // namespace

int CQuotedPrintableCodec::GetEncodedLength() {
  long long n = m_length;
  for (int i = 0; i < m_length; i++) {
    if (!mime::IsAlnum(m_input[i])) n += 2;
  }
  long long total = n + (n / 74) * 6;
  return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int CQuotedPrintableCodec::Encode(char* out, int room) {
  const bool text = m_option == 0;
  int w = 0;
  int lineLength = 0;
  int breakPoint = -1;  // output position of the last literal blank on this line
  for (int i = 0; i < m_length; i++) {
    const char c = m_input[i];
    const bool last = i + 1 == m_length;
    if (text && (c == '\r' || c == '\n')) {
      if (w >= room) break;
      out[w++] = c;
      lineLength = 0;
      breakPoint = -1;
      continue;
    }
    bool encode;
    const bool blank = c == ' ' || c == '\t';
    if (blank) {
      encode = last || (text && m_input[i + 1] == '\r');
    } else if (text && c == '.' && i >= 2 && m_input[i - 2] == '\r' && m_input[i - 1] == '\n' &&
               i + 2 < m_length && m_input[i + 1] == '\r' && m_input[i + 2] == '\n') {
      encode = true;
    } else {
      const unsigned char u = static_cast<unsigned char>(c);
      encode = u < 33 || u > 126 || c == '=';
    }
    const int size = encode ? 3 : 1;
    if (lineLength + size >= kMaxLine && w + 3 <= room) {
      if (breakPoint >= 0) {
        const int moved = w - (breakPoint + 1);
        memmove(out + breakPoint + 4, out + breakPoint + 1, moved);
        memcpy(out + breakPoint + 1, "=\r\n", 3);
        w += 3;
        lineLength = moved;
      } else {
        memcpy(out + w, "=\r\n", 3);
        w += 3;
        lineLength = 0;
      }
      breakPoint = -1;
    }
    if (w + size > room) break;
    if (encode) {
      const unsigned char u = static_cast<unsigned char>(c);
      out[w] = '=';
      out[w + 1] = kHexDigits[u >> 4];
      out[w + 2] = kHexDigits[u & 15];
    } else {
      if (blank && lineLength > 0) breakPoint = w;
      out[w] = c;
    }
    w += size;
    lineLength += size;
  }
  return w;
}

int CQuotedPrintableCodec::DecodeBytes(const char* in, int length, char* out, int room) {
  int w = 0;
  int i = 0;
  while (i < length && w < room) {
    const char c = in[i];
    if (c != '=') {
      out[w++] = c;
      i++;
      continue;
    }
    if (length - i < 3) break;  // '=' with fewer than two bytes after it ends the text
    const char a = in[i + 1];
    const char b = in[i + 2];
    if (mime::IsAnyHex(a) && mime::IsAnyHex(b)) {
      out[w++] = static_cast<char>(mime::HexValue(a) * 16 + mime::HexValue(b));
      i += 3;
    } else if (a == '\r' && b == '\n') {
      i += 3;  // soft line break
    } else {
      out[w++] = a;  // a stray '=' is dropped and the byte after it kept
      i += 2;
    }
  }
  return w;
}

int CQuotedPrintableCodec::Decode(char* out, int room) {
  return DecodeBytes(m_input, m_length, out, room);
}
