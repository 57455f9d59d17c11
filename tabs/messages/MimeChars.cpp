#include "tabs/messages/MimeChars.h"

#include <cstring>
#include <vector>

namespace mime {

namespace {

struct ClassTable {
  unsigned char classes[128] = {};
  ClassTable() {
    for (int c = 0; c < 32; c++) classes[c] |= kClassControl;
    classes[127] |= kClassControl;
    for (char c : std::string("\t\n\v\f\r ")) classes[static_cast<unsigned char>(c)] |= kClassSpace;
    for (int c = '0'; c <= '9'; c++) classes[c] |= kClassAlnum | kClassHex;
    for (int c = 'A'; c <= 'Z'; c++) classes[c] |= kClassAlnum;
    for (int c = 'a'; c <= 'z'; c++) classes[c] |= kClassAlnum;
    for (int c = 'A'; c <= 'F'; c++) classes[c] |= kClassHex;
    for (char c : std::string("\"(),.:;<=>@[\\]")) classes[static_cast<unsigned char>(c)] |= kClassSpecial;
  }
};

const ClassTable& Table() {
  static const ClassTable table;
  return table;
}

}  // namespace

bool HasClass(unsigned char byte, unsigned char classes) {
  return byte < 128 && (Table().classes[byte] & classes) != 0;
}

bool IsAnyHex(char c) {
  return IsUpperHex(c) || (c >= 'a' && c <= 'f');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool EqualNoCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; i++) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && EqualNoCase(a.data(), b.data(), a.size());
}

bool StartsNoCase(const std::string& text, const char* prefix) {
  const size_t length = strlen(prefix);
  return text.size() >= length && EqualNoCase(text.data(), prefix, length);
}

const char* FindBytes(const char* from, const char* end, const std::string& needle) {
  const size_t m = needle.size();
  if (m == 0) return from;
  if (from >= end || static_cast<size_t>(end - from) < m) return end;
  // Knuth-Morris-Pratt: the failure table keeps the scan from ever stepping back.
  std::vector<size_t> fail(m, 0);
  for (size_t i = 1, k = 0; i < m; i++) {
    while (k > 0 && needle[i] != needle[k]) k = fail[k - 1];
    if (needle[i] == needle[k]) k++;
    fail[i] = k;
  }
  size_t k = 0;
  for (const char* p = from; p < end; p++) {
    if (k == 0) {
      // Nothing matched yet: jump to the next candidate start at memchr's pace.
      p = static_cast<const char*>(memchr(p, needle[0], end - p));
      if (!p) return end;
    }
    while (k > 0 && *p != needle[k]) k = fail[k - 1];
    if (*p == needle[k]) k++;
    if (k == m) return p - m + 1;
  }
  return end;
}

}  // namespace mime
