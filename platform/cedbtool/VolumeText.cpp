#include "platform/cedbtool/VolumeText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <emmintrin.h>
#include <string_view>
#include <vector>

// The text, UTF-8:
//   database "Name" type=0x20010002
//   sort [unique] 0x0001001F:0x00000002 [0x00020003:0x00000000 ...]
//   record
//     0x0001001F "text with \" \\ \n escapes"
//     0x00020003 -5
//     0x00040041 hex:0102AB
//   end
// A value's form follows the type in the property identifier's low word.

namespace {

std::string Utf8(const wchar_t* s) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s, -1, &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Wide(std::string_view s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  if (n) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
  return out;
}

// Writes UTF-8 text as UTF-16 at out (room for n units); the units written. Plain ASCII
// (most of any text) is widened here, sixteen bytes a step.
size_t WidenInto(wchar_t* out, const char* p, size_t n) {
  size_t i = 0;
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    if (_mm_movemask_epi8(block)) break;  // a byte of 0x80 or more: not ASCII
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(block, zero));
  }
  for (; i < n && static_cast<unsigned char>(p[i]) < 0x80; ++i) out[i] = static_cast<unsigned char>(p[i]);
  if (i == n) return n;
  // The rest from the first byte that is not ASCII: one UTF-16 unit at most for each.
  int wide = MultiByteToWideChar(CP_UTF8, 0, p + i, static_cast<int>(n - i), out + i, static_cast<int>(n - i));
  return i + static_cast<size_t>(wide > 0 ? wide : 0);
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
  char buf[128];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

std::string Value(const CEPROPVAL& p) {
  switch (TypeFromPropID(p.propid)) {
    case CEVT_I2: return Format("%d", p.val.iVal);
    case CEVT_UI2: return Format("%u", p.val.uiVal);
    case CEVT_I4: case CEVT_AUTO_I4: return Format("%ld", p.val.lVal);
    case CEVT_UI4: case CEVT_RECID: return Format("%lu", p.val.ulVal);
    case CEVT_BOOL: return Format("%d", p.val.boolVal ? 1 : 0);
    case CEVT_I8: case CEVT_AUTO_I8: return Format("%lld", static_cast<long long>(p.val.llVal.QuadPart));
    case CEVT_UI8: return Format("%llu", static_cast<unsigned long long>(p.val.ullVal.QuadPart));
    case CEVT_R8: return Format("%.17g", p.val.dblVal);
    case CEVT_FILETIME:
      return Format("0x%08lX%08lX", p.val.filetime.dwHighDateTime, p.val.filetime.dwLowDateTime);
    case CEVT_LPWSTR: return p.val.lpwstr ? Quote(Utf8(p.val.lpwstr)) : "null";
    case CEVT_BLOB:
    case CEVT_STREAM: {
      std::string out = "hex:";
      for (DWORD i = 0; i < p.val.blob.dwCount; ++i) out += Format("%02X", p.val.blob.lpb[i]);
      return out;
    }
    default: return "?";
  }
}

// ---- reading the text ----

// Each byte's value as a hex digit, or 0xFF.
struct DigitValues {
  uint8_t of[256];
  DigitValues() {
    for (unsigned c = 0; c < 256; ++c)
      of[c] = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0xFF;
  }
};
const DigitValues kDigits;

int Nibble(char c) {
  uint8_t d = kDigits.of[static_cast<unsigned char>(c)];
  return d == 0xFF ? -1 : d;
}

// What a byte means to the reader: where an unquoted word ends, and where a run of plain
// text inside quotes ends. A table keeps the scan over the whole text to one test a byte.
enum : uint8_t { kEndsWord = 1, kEndsQuoted = 2, kBlank = 4 };
struct ByteClasses {
  uint8_t of[256] = {};
  ByteClasses() {
    for (unsigned char c : {' ', '\t', '\r', '\n', '\0'}) of[c] |= kEndsWord;
    for (unsigned char c : {'"', '\\', '\n', '\0'}) of[c] |= kEndsQuoted;
    for (unsigned char c : {' ', '\t', '\r'}) of[c] |= kBlank;
  }
};
const ByteClasses kClasses;

// The first of sixteen bytes that ends a run of the class, as a bit mask of them.
template <uint8_t Class>
unsigned RunEndMask(const char* p) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  auto is = [&](char c) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(c)); };
  __m128i ends = _mm_or_si128(_mm_or_si128(is('\n'), is('\0')), Class == kEndsWord
                                                                  ? _mm_or_si128(_mm_or_si128(is(' '), is('\t')), is('\r'))
                                                                  : _mm_or_si128(is('"'), is('\\')));
  return static_cast<unsigned>(_mm_movemask_epi8(ends));
}

// The words of one line, as views: into the text itself, or for a quoted string with
// escapes into its unescaped copy. Quoted strings are marked by a leading '"'. The copies
// keep their room from line to line and never move while a line is read.
struct Words {
  std::vector<std::string_view> items;
  std::deque<std::string> copies;
  size_t copied = 0;
  size_t size() const { return items.size(); }
  bool empty() const { return items.empty(); }
  std::string_view operator[](size_t i) const { return items[i]; }
  void Clear() {
    items.clear();
    copied = 0;
  }
  std::string& Copy() {
    if (copied == copies.size()) copies.emplace_back();
    copies[copied].clear();
    return copies[copied++];
  }
};

struct Cursor {
  const std::string& text;
  size_t at = 0;
  int line = 1;
  std::string* error;
  int wordsLine = 1;  // the line the last words came from
  bool failed = false;

  bool Fail(const std::string& what) {
    if (!failed) *error = "line " + std::to_string(wordsLine) + ": " + what;
    failed = true;
    return false;
  }
  void SkipBlanks() {
    const char* p = text.data();
    const size_t n = text.size();
    while (at < n && (kClasses.of[static_cast<unsigned char>(p[at])] & kBlank)) ++at;
  }
  // The end of the run from `from` that holds no byte of the class: sixteen bytes a step
  // while sixteen are left, the rest one by one.
  template <uint8_t Class>
  size_t RunEnd(size_t from) const {
    const char* p = text.data();
    const size_t n = text.size();
    for (; from + 16 <= n; from += 16)
      if (unsigned ends = RunEndMask<Class>(p + from)) return from + static_cast<size_t>(__builtin_ctz(ends));
    while (from < n && !(kClasses.of[static_cast<unsigned char>(p[from])] & Class)) ++from;
    return from;
  }
  // A quoted string from its opening quote; a view of the text when it has no escapes.
  bool Quoted(Words* words) {
    size_t open = at++;
    size_t run = RunEnd<kEndsQuoted>(at);
    if (run < text.size() && text[run] == '"') {
      words->items.emplace_back(text.data() + open, run - open);
      at = run + 1;
      return true;
    }
    std::string& word = words->Copy();
    word = "\"";
    for (;;) {
      run = RunEnd<kEndsQuoted>(at);
      word.append(text, at, run - at);
      at = run;
      if (at >= text.size() || text[at] == '\n') return Fail("unterminated text");
      char d = text[at++];
      if (d == '\0') return Fail("NUL byte in the text");
      if (d == '"') break;
      if (at >= text.size()) return Fail("unterminated text");
      char e = text[at++];
      switch (e) {
        case 'n': word += '\n'; break;
        case 'r': word += '\r'; break;
        case 't': word += '\t'; break;
        case 'x': {
          int high = at + 2 <= text.size() ? Nibble(text[at]) : -1;
          int low = at + 2 <= text.size() ? Nibble(text[at + 1]) : -1;
          if (high < 0 || low < 0) return Fail("bad escape");
          char x = static_cast<char>(high << 4 | low);
          // A device text ends at its first NUL: one inside would cut it short unseen.
          if (!x) return Fail("NUL byte in the text");
          word += x;
          at += 2;
          break;
        }
        default: word += e;
      }
    }
    words->items.emplace_back(word);
    return true;
  }
  // The next line's words.
  bool NextLine(Words* words) {
    words->Clear();
    while (at < text.size() && !failed) {
      SkipBlanks();
      if (at >= text.size()) break;
      if (words->empty()) wordsLine = line;
      char c = text[at];
      if (c == '\0') return Fail("NUL byte in the text");
      if (c == '\n') {
        ++at;
        ++line;
        if (!words->empty()) return true;
        continue;
      }
      if (c == '#' && words->empty()) {
        while (at < text.size() && text[at] != '\n') ++at;
        continue;
      }
      if (c == '"') {
        if (!Quoted(words)) return false;
      } else {
        size_t start = at;
        at = RunEnd<kEndsWord>(at);
        words->items.emplace_back(text.data() + start, at - start);
      }
    }
    return !failed && !words->empty();
  }
};

// Digits in one base, refusing any that is not one or a value past 64 bits. Up to as many
// digits as always fit, no step can overflow: most words take the short way.
template <unsigned Base>
bool Digits(std::string_view s, unsigned long long* out) {
  constexpr size_t kAlwaysFit = Base == 16 ? 16 : Base == 10 ? 19 : 21;
  unsigned long long v = 0;
  if (s.size() <= kAlwaysFit) {
    // A digit that is none is told once, after the loop: no branch a digit.
    unsigned bad = 0;
    for (char c : s) {
      unsigned d = kDigits.of[static_cast<unsigned char>(c)];
      bad |= d >= Base;
      v = v * Base + d;
    }
    if (bad) return false;
  } else {
    for (char c : s) {
      unsigned d = kDigits.of[static_cast<unsigned char>(c)];
      if (d >= Base || __builtin_mul_overflow(v, Base, &v) || __builtin_add_overflow(v, d, &v)) return false;
    }
  }
  *out = v;
  return true;
}

// A whole word as a number, as C reads one with base 0 (0x hex, a leading 0 octal, else
// decimal, an optional sign), refusing anything out of range or left over.
bool Number(std::string_view s, unsigned long long* out, bool allowSign, long long* signedOut) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    if (negative && !allowSign) return false;
    ++i;
  }
  unsigned base = 10;
  if (s.size() - i > 1 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (s.size() - i > 1 && s[i] == '0') {
    base = 8;
    ++i;
  }
  if (i >= s.size()) return false;
  unsigned long long v = 0;
  bool read = base == 16 ? Digits<16>(s.substr(i), &v) : base == 10 ? Digits<10>(s.substr(i), &v) : Digits<8>(s.substr(i), &v);
  if (!read) return false;
  if (!allowSign) {
    *out = v;
    return true;
  }
  if (v > (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)) return false;
  *signedOut = negative ? static_cast<long long>(0 - v) : static_cast<long long>(v);
  return true;
}

// The line breaks in the text, sixteen bytes a step: each step subtracts its matches (all
// ones) from sixteen byte counters, summed before any can pass 255.
size_t LineBreaks(const std::string& text) {
  const char* p = text.data();
  size_t n = text.size(), i = 0, count = 0;
  const __m128i newline = _mm_set1_epi8('\n');
  while (i + 16 <= n) {
    __m128i counters = _mm_setzero_si128();
    for (int step = 0; step < 255 && i + 16 <= n; ++step, i += 16) {
      __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(block, newline));
    }
    __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    count += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
  }
  for (; i < n; ++i) count += p[i] == '\n';
  return count;
}

// A value as read: its property and where its data is. A number is kept whole (the bytes
// of its member of the value union); a text is a run of UTF-8 in the text itself, or, when
// it had escapes, in the pool of unescaped texts; bytes are their hex digits in the text.
// Values become CEPROPVALs, texts UTF-16 and digits bytes only when their record is
// written, in room reused from record to record: what the whole text keeps is small.
struct ReadValue {
  CEPROPID propid = 0;
  uint32_t length = 0;  // a text's UTF-8 bytes (kNullText for none), or a blob's bytes
  uint64_t data = 0;    // a number's bytes, or where the text or the digits are
};
constexpr uint32_t kNullText = 0xFFFFFFFFu;
constexpr uint64_t kUnescaped = 1ull << 63;  // in data: the text is in the unescaped pool

// The records of the whole text as read. Room is taken once for as much as the text can
// hold (a value or a record end a line); only what is filled is ever touched.
struct Records {
  explicit Records(const std::string& text) : text(text) {
    size_t lines = 1 + LineBreaks(text);
    values.reserve(lines);
    ends.reserve(lines / 2 + 1);
    this->lines.reserve(lines / 2 + 1);
  }

  const std::string& text;
  std::vector<ReadValue> values;
  std::vector<size_t> ends;  // per record: the end of its values
  std::vector<int> lines;    // per record: the line of its "record"
  std::string unescaped;     // texts that had escapes, unescaped

  // The values of record k as the database functions take them; valid until the next call.
  CEPROPVAL* Record(size_t k, WORD* count) {
    const size_t from = k ? ends[k - 1] : 0;
    const size_t n = ends[k] - from;
    // Room first, so that no pointer into it moves: a UTF-8 byte makes at most one UTF-16
    // unit, and two hex digits one byte. The room only ever grows.
    size_t wideRoom = 0, byteRoom = 0;
    for (size_t i = from; i < ends[k]; ++i) {
      WORD type = TypeFromPropID(values[i].propid);
      if (type == CEVT_LPWSTR && values[i].length != kNullText) wideRoom += values[i].length + 1;
      else if (type == CEVT_BLOB || type == CEVT_STREAM) byteRoom += values[i].length;
    }
    if (props.size() < n) props.resize(n);
    if (wide.size() < wideRoom) wide.resize(wideRoom);
    if (bytes.size() < byteRoom) bytes.resize(byteRoom);
    wchar_t* w = wide.data();
    BYTE* b = bytes.data();
    for (size_t i = 0; i < n; ++i) {
      const ReadValue& r = values[from + i];
      CEPROPVAL& v = props[i];
      v = CEPROPVAL{};
      v.propid = r.propid;
      WORD type = TypeFromPropID(r.propid);
      if (type == CEVT_LPWSTR) {
        if (r.length == kNullText) continue;
        const char* utf8 = r.data & kUnescaped ? unescaped.data() + (r.data & ~kUnescaped) : text.data() + r.data;
        v.val.lpwstr = w;
        w += WidenInto(w, utf8, r.length);
        *w++ = L'\0';
      } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
        const char* digits = text.data() + r.data;
        v.val.blob.dwCount = r.length;
        v.val.blob.lpb = r.length ? b : nullptr;
        for (uint32_t d = 0; d < r.length; ++d)
          *b++ = static_cast<BYTE>(kDigits.of[static_cast<unsigned char>(digits[2 * d])] << 4 |
                                   kDigits.of[static_cast<unsigned char>(digits[2 * d + 1])]);
      } else {
        memcpy(&v.val, &r.data, sizeof r.data);
      }
    }
    *count = static_cast<WORD>(n);
    return props.data();
  }

 private:
  std::vector<CEPROPVAL> props;
  std::vector<wchar_t> wide;
  std::vector<BYTE> bytes;
};

bool ParseValue(Cursor& c, CEPROPID propid, std::string_view word, Records& r) {
  r.values.emplace_back();
  ReadValue& read = r.values.back();
  read.propid = propid;
  CEVALUNION val{};
  unsigned long long u = 0;
  long long s = 0;
  WORD type = TypeFromPropID(propid);
  switch (type) {
    case CEVT_I2: case CEVT_I4: case CEVT_AUTO_I4: case CEVT_I8: case CEVT_AUTO_I8: case CEVT_BOOL:
      if (!Number(word, nullptr, true, &s)) return c.Fail("bad number " + std::string(word));
      if (type == CEVT_I2) val.iVal = static_cast<short>(s);
      else if (type == CEVT_BOOL) val.boolVal = s != 0;
      else if (type == CEVT_I8 || type == CEVT_AUTO_I8) val.llVal.QuadPart = s;
      else val.lVal = static_cast<long>(s);
      break;
    case CEVT_UI2: case CEVT_UI4: case CEVT_RECID: case CEVT_UI8: case CEVT_FILETIME:
      if (!Number(word, &u, false, nullptr)) return c.Fail("bad number " + std::string(word));
      if (type == CEVT_UI2) val.uiVal = static_cast<USHORT>(u);
      else if (type == CEVT_UI8) val.ullVal.QuadPart = u;
      else if (type == CEVT_FILETIME) {
        val.filetime.dwLowDateTime = static_cast<DWORD>(u);
        val.filetime.dwHighDateTime = static_cast<DWORD>(u >> 32);
      } else val.ulVal = static_cast<ULONG>(u);
      break;
    case CEVT_R8: {
      std::string number(word);
      char* end = nullptr;
      val.dblVal = std::strtod(number.c_str(), &end);
      if (!end || *end) return c.Fail("bad number " + std::string(word));
      break;
    }
    case CEVT_LPWSTR: {
      if (word == "null") {
        read.length = kNullText;
        return true;
      }
      if (word.empty() || word[0] != '"') return c.Fail("text expected");
      std::string_view utf8 = word.substr(1);
      if (utf8.size() >= kNullText) return c.Fail("text too long");
      read.length = static_cast<uint32_t>(utf8.size());
      const std::string& text = c.text;
      std::less_equal<const char*> atOrBefore;
      if (atOrBefore(text.data(), utf8.data()) && atOrBefore(utf8.data(), text.data() + text.size())) {
        read.data = static_cast<uint64_t>(utf8.data() - text.data());
      } else {
        read.data = r.unescaped.size() | kUnescaped;
        r.unescaped.append(utf8);
      }
      return true;
    }
    case CEVT_BLOB:
    case CEVT_STREAM: {
      if (word.compare(0, 4, "hex:") != 0 || word.size() % 2) return c.Fail("hex: bytes expected");
      for (size_t i = 4; i < word.size(); i += 2) {
        if (Nibble(word[i]) < 0 || Nibble(word[i + 1]) < 0) return c.Fail("bad hex " + std::string(word.substr(i, 2)));
      }
      if ((word.size() - 4) / 2 >= kNullText) return c.Fail("hex: bytes expected");
      // An unquoted word is always in the text itself.
      read.data = static_cast<uint64_t>(word.data() + 4 - c.text.data());
      read.length = static_cast<uint32_t>((word.size() - 4) / 2);
      return true;
    }
    default:
      return c.Fail("unknown property type");
  }
  static_assert(sizeof val >= sizeof read.data, "a number's bytes fit the value union");
  memcpy(&read.data, &val, sizeof read.data);
  return true;
}

struct DbText {
  std::wstring name;
  DWORD type = 0;
  std::vector<SORTORDERSPECEX> sorts;
  int line = 0;
  size_t firstRecord = 0;  // its records in Records: [firstRecord, endRecord)
  size_t endRecord = 0;
};

// Reads the whole text; nothing of a volume is touched.
bool Parse(const std::string& text, std::vector<DbText>* dbs, Records* records, std::string* error) {
  Cursor c{text, 0, 1, error};
  Words words;
  while (c.NextLine(&words)) {
    std::string_view verb = words[0];
    if (verb == "database") {
      if (words.size() < 2 || words[1][0] != '"') return c.Fail("database \"Name\" expected");
      dbs->emplace_back();
      DbText& d = dbs->back();
      d.name = Wide(words[1].substr(1));
      d.line = c.wordsLine;
      d.firstRecord = d.endRecord = records->ends.size();
      for (size_t i = 2; i < words.size(); ++i)
        if (words[i].compare(0, 5, "type=") == 0) d.type = std::strtoul(std::string(words[i].substr(5)).c_str(), nullptr, 0);
    } else if (verb == "sort") {
      if (dbs->empty() || dbs->back().endRecord != dbs->back().firstRecord ||
          dbs->back().sorts.size() >= CEDB_MAXSORTORDER)
        return c.Fail("sort outside a database, after its records, or too many");
      SORTORDERSPECEX s{};
      s.wVersion = SORTORDERSPECEX_VERSION;
      for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "unique") {
          s.wKeyFlags |= CEDB_SORT_UNIQUE;
          continue;
        }
        unsigned long id = 0, flags = 0;
        if (std::sscanf(std::string(words[i]).c_str(), "%lx:%lx", &id, &flags) != 2 || s.wNumProps >= CEDB_MAXSORTPROP)
          return c.Fail("sort property:flags expected");
        s.rgPropID[s.wNumProps] = id;
        s.rgdwFlags[s.wNumProps++] = flags;
      }
      dbs->back().sorts.push_back(s);
    } else if (verb == "record") {
      if (dbs->empty()) return c.Fail("record outside a database");
      Records& r = *records;
      size_t from = r.values.size();
      int line = c.wordsLine;
      bool ended = false;
      while (c.NextLine(&words)) {
        if (words[0] == "end") {
          ended = true;
          break;
        }
        unsigned long long id = 0;
        if (words.size() != 2 || !Number(words[0], &id, false, nullptr) || id > 0xFFFFFFFFull ||
            r.values.size() - from >= 0xFFFF)
          return c.Fail("property value expected");
        if (!ParseValue(c, static_cast<CEPROPID>(id), words[1], r)) return false;
      }
      if (!ended) return c.Fail("record without end");  // keeps an earlier error
      r.ends.push_back(r.values.size());
      r.lines.push_back(line);
      dbs->back().endRecord = r.ends.size();
    } else {
      return c.Fail("unknown line " + std::string(verb));
    }
  }
  return !c.failed;
}

bool Create(CEGUID* volume, const DbText& d, HANDLE* db, std::string* error) {
  CEOID oid = 0;
  HANDLE old = CeOpenDatabaseEx2(volume, &oid, const_cast<LPWSTR>(d.name.c_str()), nullptr, 0, nullptr);
  if (old != INVALID_HANDLE_VALUE) {
    CloseHandle(old);
    if (!CeDeleteDatabaseEx(volume, oid)) {
      *error = "cannot replace database " + Utf8(d.name.c_str());
      return false;
    }
  }
  CEDBASEINFOEX info{};
  info.wVersion = CEDBASEINFOEX_VERSION;
  info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC;
  lstrcpynW(info.szDbaseName, d.name.c_str(), CEDB_MAXDBASENAMELEN);
  info.dwDbaseType = d.type;
  info.wNumSortOrder = static_cast<WORD>(d.sorts.size());
  for (size_t i = 0; i < d.sorts.size(); ++i) info.rgSortSpecs[i] = d.sorts[i];
  if (!CeCreateDatabaseEx2(volume, &info)) {
    *error = "line " + std::to_string(d.line) + ": cannot create database (error " +
             std::to_string(GetLastError()) + ")";
    return false;
  }
  oid = 0;
  *db = CeOpenDatabaseEx2(volume, &oid, info.szDbaseName, nullptr, 0, nullptr);
  return *db != INVALID_HANDLE_VALUE;
}

}  // namespace

bool VolumeText::Dump(CEGUID volume, std::string* out, std::string* error) {
  HANDLE find = CeFindFirstDatabaseEx(&volume, 0);
  if (find == INVALID_HANDLE_VALUE) {
    *error = "cannot list the databases (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  while (CEOID oid = CeFindNextDatabaseEx(find, &volume)) {
    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    if (!CeOidGetInfoEx2(&volume, oid, &info)) continue;
    const CEDBASEINFOEX& d = info.infDatabase;
    *out += "database " + Quote(Utf8(d.szDbaseName)) + Format(" type=0x%08lX\n", d.dwDbaseType);
    for (WORD i = 0; i < d.wNumSortOrder; ++i) {
      const SORTORDERSPECEX& s = d.rgSortSpecs[i];
      *out += "sort";
      if (s.wKeyFlags & CEDB_SORT_UNIQUE) *out += " unique";
      for (WORD k = 0; k < s.wNumProps; ++k) *out += Format(" 0x%08lX:0x%08lX", s.rgPropID[k], s.rgdwFlags[k]);
      *out += "\n";
    }
    CEOID opened = oid;
    HANDLE db = CeOpenDatabaseEx2(&volume, &opened, nullptr, nullptr, CEDB_AUTOINCREMENT, nullptr);
    if (db == INVALID_HANDLE_VALUE) continue;
    LPBYTE buf = nullptr;
    DWORD size = 0;
    WORD count = 0;
    while (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buf, &size)) {
      *out += "record\n";
      auto* props = reinterpret_cast<CEPROPVAL*>(buf);
      for (WORD i = 0; i < count; ++i) *out += Format("  0x%08lX ", props[i].propid) + Value(props[i]) + "\n";
      *out += "end\n";
    }
    LocalFree(buf);
    CloseHandle(db);
  }
  CloseHandle(find);
  return true;
}

bool VolumeText::Check(const std::string& text, std::string* error) {
  std::vector<DbText> dbs;
  Records records(text);
  return Parse(text, &dbs, &records, error);
}

bool VolumeText::Load(CEGUID volume, const std::string& text, std::string* error) {
  std::vector<DbText> dbs;
  Records records(text);
  if (!Parse(text, &dbs, &records, error)) return false;
  // The volume changes in one durable step, or not at all.
  if (!CedbBeginVolumeLoad(&volume)) {
    *error = "cannot load the volume (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  bool ok = true;
  for (DbText& d : dbs) {
    HANDLE db = INVALID_HANDLE_VALUE;
    if (!(ok = Create(&volume, d, &db, error))) break;
    // The database's records in one call, each handed over as the store files it.
    struct Source {
      Records* records;
      size_t first;
      static const CEPROPVAL* CALLBACK Next(LPVOID context, DWORD k, WORD* count) {
        auto* self = static_cast<Source*>(context);
        return self->records->Record(self->first + k, count);
      }
    } source{&records, d.firstRecord};
    const DWORD want = static_cast<DWORD>(d.endRecord - d.firstRecord);
    const DWORD filed = CedbLoadRecords(db, want, &Source::Next, &source);
    if (filed < want) {
      *error = "line " + std::to_string(records.lines[d.firstRecord + filed]) + ": cannot write record (error " +
               std::to_string(GetLastError()) + ")";
      ok = false;
    }
    CloseHandle(db);
    if (!ok) break;
  }
  if (!CedbEndVolumeLoad(&volume, ok) && ok) {
    *error = "cannot write the volume (error " + std::to_string(GetLastError()) + ")";
    ok = false;
  }
  return ok;
}
