#include "tabs/messages/EncodedWordCodec.h"

#include <algorithm>
#include <cstring>

#include "tabs/messages/Base64Codec.h"
#include "tabs/messages/MimeChars.h"
#include "tabs/messages/QuotedPrintableCodec.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

bool NeedsQEscape(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 33 || u > 126 || c == '=' || c == '?' || c == '_';
}

int Find(const char* in, int length, int from, const char* what) {
  const int n = static_cast<int>(strlen(what));
  for (int i = from; i + n <= length; i++) {
    if (memcmp(in + i, what, n) == 0) return i;
  }
  return -1;
}

}  // namespace

struct CEncodedWordCodec::Word {
  int charsetStart = 0, charsetLength = 0;
  char letter = 0;
  int textStart = 0, textEnd = 0;
  int next = 0;
};

// At a "=?": is this a word we can decode, and where are its pieces?
bool CEncodedWordCodec::ParseWord(int at, Word& word) const {
  const char* in = m_input;
  const int question = static_cast<int>(
      std::find(in + at + 2, in + m_length, '?') - in);
  if (question + 2 >= m_length || in[question + 2] != '?') return false;
  const char letter = mime::LowerAscii(in[question + 1]);
  if (letter != 'b' && letter != 'q') return false;
  word.charsetStart = at + 2;
  word.charsetLength = question - word.charsetStart;
  word.letter = letter;
  word.textStart = question + 3;
  if (word.textStart >= m_length) return false;
  const int close = Find(in, m_length, word.textStart, "?=");
  word.textEnd = close < 0 ? m_length : close;
  word.next = close < 0 ? m_length : close + 2;
  return true;
}

int CEncodedWordCodec::Decode(char* out, int room) {
  const char* in = m_input;
  int w = 0;
  int i = 0;
  bool first = true;
  bool afterWord = false;
  Word word;
  std::string scratch;
  while (i < m_length && w < room) {
    if (in[i] == '=' && i + 1 < m_length && in[i + 1] == '?' && ParseWord(i, word)) {
      if (first) {
        std::string charset(in + word.charsetStart, word.charsetLength);
        // An RFC 2231 language suffix is no part of the charset's name.
        const size_t star = charset.find('*');
        if (star != std::string::npos) charset.erase(star);
        m_charset = charset;
        m_letter = word.letter;
        first = false;
      }
      const char* text = in + word.textStart;
      const int textLength = word.textEnd - word.textStart;
      if (word.letter == 'b') {
        w += CBase64Codec::DecodeBytes(text, textLength, out + w, room - w);
      } else {
        // '_' stands for a space only as written: an escaped "=5F" stays an underscore.
        scratch.assign(text, textLength);
        std::replace(scratch.begin(), scratch.end(), '_', ' ');
        w += CQuotedPrintableCodec::DecodeBytes(scratch.data(), textLength, out + w, room - w);
      }
      i = word.next;
      afterWord = true;
      continue;
    }
    int next = Find(in, m_length, i + 1, "=?");
    if (next < 0) next = m_length;
    bool drop = false;
    if (afterWord && next < m_length) {
      drop = std::all_of(in + i, in + next, [](char c) { return mime::IsSpace(c); }) &&
             ParseWord(next, word);
    }
    if (!drop) {
      const int n = std::min(next - i, room - w);
      memcpy(out + w, in + i, n);
      w += n;
    }
    afterWord = false;
    i = next;
  }
  return w;
}

int CEncodedWordCodec::GetEncodedLength() {
  if (m_charset.empty()) return m_length;
  const long long cs = static_cast<long long>(m_charset.size());
  long long body;
  if (m_letter == 'B' || m_letter == 'b') {
    body = ((static_cast<long long>(m_length) + 2) / 3) * 4;
  } else {
    body = m_length;
    for (int i = 0; i < m_length; i++) {
      if (NeedsQEscape(m_input[i])) body += 2;
    }
  }
  const long long total = body + (body / std::max(1LL, 64 - cs) + 1) * (cs + 11);
  return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int CEncodedWordCodec::Encode(char* out, int room) {
  if (m_charset.empty()) return CMimeCodec::Encode(out, room);
  if (m_length == 0) return 0;
  const int cs = static_cast<int>(m_charset.size());
  int w = 0;
  auto put = [&](const char* bytes, int n) {
    memcpy(out + w, bytes, n);
    w += n;
  };
  const bool base64 = m_letter == 'B' || m_letter == 'b';
  const std::string open = "=?" + m_charset + (base64 ? "?B?" : "?Q?");
  if (base64) {
    const int chunk = std::max(3, ((68 - cs) / 4) * 3);
    for (int i = 0; i < m_length; i += chunk) {
      const int separator = i > 0 ? 1 : 0;
      if (room - w < cs + 7 + separator) break;
      if (separator) put(" ", 1);
      put(open.data(), static_cast<int>(open.size()));
      const int n = std::min(chunk, m_length - i);
      w += CBase64Codec::EncodeBytes(m_input + i, n, false, out + w, room - w - 2);
      put("?=", 2);
    }
    return w;
  }
  const int maxText = std::max(3, 68 - cs);
  if (room - w < cs + 7) return 0;
  put(open.data(), static_cast<int>(open.size()));
  int textLength = 0;
  for (int i = 0; i < m_length; i++) {
    const char c = m_input[i];
    const int form = NeedsQEscape(c) ? 3 : 1;
    if (textLength + form > maxText) {
      if (room - w < 3 + cs + 5 + form + 2) break;
      put("?= ", 3);
      put(open.data(), static_cast<int>(open.size()));
      textLength = 0;
    }
    if (room - w < form + 2) break;  // the closing "?=" always fits
    if (form == 3) {
      const unsigned char u = static_cast<unsigned char>(c);
      const char escape[3] = {'=', kHexDigits[u >> 4], kHexDigits[u & 15]};
      put(escape, 3);
    } else {
      put(&c, 1);
    }
    textLength += form;
  }
  put("?=", 2);
  return w;
}
