// The one character-class table behind every byte test of the MIME parser and
// its codecs. Only 7-bit bytes have a class; bytes of 128 and above have none.
#pragma once

#include <string>

namespace mime {

enum : unsigned char {
  kClassSpace = 1,     // tab, LF, VT, FF, CR, space
  kClassAlnum = 2,     // digits, A-Z, a-z
  kClassSpecial = 4,   // the RFC 822 specials: " ( ) , . : ; < = > @ [ \ ]
  kClassHex = 8,       // digits and A-F only
  kClassControl = 16,  // 0-31 and 127
};

bool HasClass(unsigned char byte, unsigned char classes);

inline bool IsSpace(char c) { return HasClass(static_cast<unsigned char>(c), kClassSpace); }
inline bool IsAlnum(char c) { return HasClass(static_cast<unsigned char>(c), kClassAlnum); }
inline bool IsSpecial(char c) { return HasClass(static_cast<unsigned char>(c), kClassSpecial); }
inline bool IsUpperHex(char c) { return HasClass(static_cast<unsigned char>(c), kClassHex); }
inline bool IsControl(char c) { return HasClass(static_cast<unsigned char>(c), kClassControl); }

// Mail from other programs writes hex digits in either case.
bool IsAnyHex(char c);
int HexValue(char c);

// Case-insensitive ASCII comparisons over byte strings.
char LowerAscii(char c);
bool EqualNoCase(const char* a, const char* b, size_t length);
bool EqualNoCase(const std::string& a, const std::string& b);
bool StartsNoCase(const std::string& text, const char* prefix);

// First occurrence of needle in [from, end), or end; linear in the haystack
// whatever the needle, so a hostile boundary cannot make a search quadratic.
const char* FindBytes(const char* from, const char* end, const std::string& needle);

}  // namespace mime
