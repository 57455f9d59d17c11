#include "tabs/messages/Base64Codec.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Digit values by byte; -1 outside the alphabet.
struct DigitTable {
  signed char values[256];
  DigitTable() {
    for (signed char& v : values) v = -1;
    for (int i = 0; i < 64; i++) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  }
};

const signed char* DigitValues() {
  static const DigitTable table;
  return table.values;
}

}  // namespace

int CBase64Codec::EncodedLength(int length, bool breakLines) {
  const long long digits = ((static_cast<long long>(length) + 2) / 3) * 4;
  const long long total = breakLines ? digits + (digits / 76 + 1) * 2 : digits;
  return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int CBase64Codec::GetEncodedLength() { return EncodedLength(m_length, m_option != 0); }

int CBase64Codec::GetDecodedLength() {
  return static_cast<int>(static_cast<long long>(m_length) * 3 / 4 + 2);
}

int CBase64Codec::EncodeBytes(const char* in, int length, bool breakLines, char* out, int room) {
  int w = 0;
  int lineDigits = 0;
  auto put = [&](char c) {
    if (w >= room) return false;
    out[w++] = c;
    if (breakLines && ++lineDigits == 76) {
      if (w + 2 > room) return false;
      out[w++] = '\r';
      out[w++] = '\n';
      lineDigits = 0;
    }
    return true;
  };
  for (int i = 0; i < length; i += 3) {
    const int n = length - i < 3 ? length - i : 3;
    unsigned v = static_cast<unsigned char>(in[i]) << 16;
    if (n > 1) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    if (n > 2) v |= static_cast<unsigned char>(in[i + 2]);
    if (!put(kAlphabet[(v >> 18) & 63]) || !put(kAlphabet[(v >> 12) & 63])) return w;
    if (n > 1 && !put(kAlphabet[(v >> 6) & 63])) return w;
    if (n > 2 && !put(kAlphabet[v & 63])) return w;
    if (n < 3) {
      // The padding goes out whole or not at all.
      if (room - w < 3 - n) return w;
      for (int pad = n; pad < 3; pad++) put('=');
    }
  }
  if (breakLines && lineDigits > 0 && w + 2 <= room) {
    out[w++] = '\r';
    out[w++] = '\n';
  }
  return w;
}

int CBase64Codec::DecodeBytes(const char* in, int length, char* out, int room) {
  const signed char* digits = DigitValues();
  int w = 0;
  int pending = 0;  // bits held back from the digits read so far
  unsigned bits = 0;
  for (int i = 0; i < length && w < room; i++) {
    if (pending == 0 && i + 4 <= length && room - w >= 3) {
      // A whole group of four digits: three bytes at once.
      const int a = digits[static_cast<unsigned char>(in[i])];
      const int b = digits[static_cast<unsigned char>(in[i + 1])];
      const int c = digits[static_cast<unsigned char>(in[i + 2])];
      const int d = digits[static_cast<unsigned char>(in[i + 3])];
      if ((a | b | c | d) >= 0) {
        const unsigned group = (a << 18) | (b << 12) | (c << 6) | d;
        out[w] = static_cast<char>(group >> 16);
        out[w + 1] = static_cast<char>(group >> 8);
        out[w + 2] = static_cast<char>(group);
        w += 3;
        i += 3;
        continue;
      }
    }
    const char c = in[i];
    if (c == '\r' || c == '\n') continue;
    const int value = digits[static_cast<unsigned char>(c)];
    if (value < 0) break;
    bits = (bits << 6) | static_cast<unsigned>(value);
    pending += 6;
    if (pending >= 8) {
      pending -= 8;
      out[w++] = static_cast<char>((bits >> pending) & 0xFF);
      bits &= (1u << pending) - 1;
    }
  }
  return w;
}

int CBase64Codec::Encode(char* out, int room) {
  return EncodeBytes(m_input, m_length, m_option != 0, out, room);
}

int CBase64Codec::Decode(char* out, int room) { return DecodeBytes(m_input, m_length, out, room); }
