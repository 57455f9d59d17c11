#include "tabs/messages/MimeHeaderField.h"

#include <cstring>
#include <map>

#include "tabs/messages/FieldCodec.h"
#include "tabs/messages/MimeChars.h"
#include "tabs/messages/MimeRegistry.h"
#include "tabs/messages/TextStream.h"

namespace {

// Bytes an unquoted parameter value is made of: RFC 822 atoms, so a plain
// value stops at '.'.
bool IsTokenByte(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 128 || (u > 32 && u < 127 && !mime::IsSpecial(c));
}

// RFC 2045 tokens, as RFC 2231 values are written: '.' belongs to the value.
bool IsMimeTokenByte(char c) {
  return c == '.' || (IsTokenByte(c) && c != '/' && c != '?');
}

}  // namespace

void CMimeHeaderField::Set(const std::string& name, const std::string& value,
                           const std::string& charset) {
  m_name = name;
  m_value = value;
  m_charset = charset;
}

void CMimeHeaderField::GetMainValue(std::string& out) const {
  const size_t semicolon = m_value.find(';');
  out.assign(m_value, 0, semicolon);
  if (semicolon == std::string::npos) return;
  while (!out.empty() && mime::IsSpace(out.back())) out.pop_back();
}

// Walks the parameters after the first ';': visit(name start, name end, value
// offset, value length), the value with its quotes; stops when visit says so.
template <typename Visit>
bool CMimeHeaderField::ScanParameters(bool mimeTokens, Visit visit) const {
  const std::string& v = m_value;
  size_t at = v.find(';');
  if (at == std::string::npos) return false;
  while (at < v.size()) {
    while (at < v.size() && (mime::IsSpace(v[at]) || v[at] == ';')) at++;
    const size_t equals = v.find('=', at);
    if (equals == std::string::npos) return false;
    size_t end = equals + 1;
    if (end < v.size() && v[end] == '"') {
      const size_t close = v.find('"', end + 1);
      end = close == std::string::npos ? end : close + 1;  // no closing quote: no value
    } else {
      while (end < v.size() && (mimeTokens ? IsMimeTokenByte(v[end]) : IsTokenByte(v[end]))) end++;
    }
    if (visit(at, equals, equals + 1, end - (equals + 1))) return true;
    // The next parameter starts after this value; never step back.
    at = end > at ? end : at + 1;
  }
  return false;
}

bool CMimeHeaderField::FindParameter(const char* name, size_t& offset, size_t& length) const {
  const size_t nameLength = strlen(name);
  const std::string& v = m_value;
  return ScanParameters(false, [&](size_t nameStart, size_t, size_t valueOffset, size_t valueLength) {
    const size_t after = nameStart + nameLength;
    if (after < v.size() && mime::EqualNoCase(v.data() + nameStart, name, nameLength) &&
        (mime::IsSpace(v[after]) || v[after] == '=')) {
      offset = valueOffset;
      length = valueLength;
      return true;
    }
    return false;
  });
}

namespace {

std::string Unquote(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  if (!value.empty() && value.front() == '"') return std::string();  // a quoted value without its closing quote
  return value;
}

// RFC 2231 extended value text: %XX escapes, anything else as written.
std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '%' && i + 2 < text.size() && mime::IsAnyHex(text[i + 1]) && mime::IsAnyHex(text[i + 2])) {
      out += static_cast<char>(mime::HexValue(text[i + 1]) * 16 + mime::HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The first piece of an extended value: charset'language'text.
std::string SplitCharset(const std::string& value, std::string* charset) {
  const size_t first = value.find('\'');
  const size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
  if (second == std::string::npos) return value;
  if (charset) *charset = value.substr(0, first);
  return value.substr(second + 1);
}

}  // namespace

bool CMimeHeaderField::GetExtendedParameter(const char* name, std::string& out, std::string* charset) const {
  const size_t nameLength = strlen(name);
  const std::string& v = m_value;
  struct Piece {
    std::string value;
    bool extended;
  };
  std::map<int, Piece> pieces;
  bool whole = false;
  std::string wholeValue;
  ScanParameters(true, [&](size_t nameStart, size_t nameEnd, size_t valueOffset, size_t valueLength) {
    while (nameEnd > nameStart && mime::IsSpace(v[nameEnd - 1])) nameEnd--;
    if (nameEnd - nameStart <= nameLength || !mime::EqualNoCase(v.data() + nameStart, name, nameLength) ||
        v[nameStart + nameLength] != '*') {
      return false;
    }
    const std::string value = Unquote(v.substr(valueOffset, valueLength));
    size_t at = nameStart + nameLength + 1;
    if (at == nameEnd) {
      whole = true;
      wholeValue = value;
      return true;
    }
    // name*<n> or name*<n>*; more than four digits is no index of ours.
    int index = 0;
    const size_t digitsStart = at;
    while (at < nameEnd && at - digitsStart < 5 && v[at] >= '0' && v[at] <= '9') index = index * 10 + (v[at++] - '0');
    if (at == digitsStart || at - digitsStart > 4) return false;
    const bool extended = at + 1 == nameEnd && v[at] == '*';
    if (at != nameEnd && !extended) return false;
    pieces.emplace(index, Piece{value, extended});
    return false;
  });
  if (whole) {
    out = PercentDecode(SplitCharset(wholeValue, charset));
    return true;
  }
  if (pieces.empty() || pieces.begin()->first != 0) return false;
  int expected = 0;
  for (const auto& entry : pieces) {
    if (entry.first != expected++) break;  // a gap ends the value
    std::string text = entry.second.value;
    if (entry.second.extended) {
      if (entry.first == 0) text = SplitCharset(text, charset);
      text = PercentDecode(text);
    }
    out += text;
  }
  return true;
}

bool CMimeHeaderField::GetParameter(const char* name, std::string& out, std::string* charset) const {
  out.clear();
  if (charset) charset->clear();
  size_t offset = 0, length = 0;
  if (FindParameter(name, offset, length)) {
    out = Unquote(m_value.substr(offset, length));
    return true;
  }
  return GetExtendedParameter(name, out, charset);
}

void CMimeHeaderField::SetParameter(const char* name, const std::string& value) {
  std::string quoted = value;
  if (quoted.empty() || quoted.front() != '"') quoted.insert(quoted.begin(), '"');
  if (!(value.size() >= 2 && value.back() == '"')) quoted += '"';
  size_t offset = 0, length = 0;
  if (FindParameter(name, offset, length)) {
    m_value.replace(offset, length, quoted);
  } else {
    m_value += "; ";
    m_value += name;
    m_value += '=';
    m_value += quoted;
  }
}

void CMimeHeaderField::Decode(const char* raw, int length) {
  std::unique_ptr<CFieldCodec> codec = GetMimeRegistry().CreateFieldCodec(m_name);
  codec->SetInput(raw, length, false);
  m_value.resize(static_cast<size_t>(codec->GetOutputLength()));
  m_value.resize(static_cast<size_t>(codec->Process(&m_value[0], static_cast<int>(m_value.size()))));
  m_charset = codec->GetCharset();
}

int CMimeHeaderField::Parse(const char* start, int room) {
  int at = 0;
  while (at < room && mime::IsSpace(start[at])) {
    if (start[at] == '\r') return 0;
    // A stray line that continues no field: skipped whole.
    const char* lf = static_cast<const char*>(memchr(start + at, '\n', room - at));
    while (lf && !(lf > start + at && lf[-1] == '\r')) {
      lf = static_cast<const char*>(memchr(lf + 1, '\n', room - (lf + 1 - start)));
    }
    if (!lf) return 0;
    at = static_cast<int>(lf - start) + 1;
  }
  if (at >= room) return 0;
  const int lineStart = at;
  int colon = -1;
  for (int i = lineStart; i < room; i++) {
    const char c = start[i];
    if (c == ':') {
      colon = i;
      break;
    }
    if (c == '\r' || c == '\n' || c == '\0') break;
  }
  int valueStart = lineStart;
  if (colon >= 0) {
    m_name.assign(start + lineStart, colon - lineStart);
    valueStart = colon + 1;
    while (valueStart < room && (start[valueStart] == ' ' || start[valueStart] == '\t')) valueStart++;
  } else {
    m_name.clear();
  }
  int valueEnd = -1;
  for (int i = valueStart; i + 1 < room; i++) {
    if (start[i] == '\r' && start[i + 1] == '\n' &&
        !(i + 2 < room && (start[i + 2] == ' ' || start[i + 2] == '\t'))) {
      valueEnd = i;
      break;
    }
  }
  if (valueEnd < 0) return 0;
  Decode(start + valueStart, valueEnd - valueStart);
  return valueEnd + 2;
}

int CMimeHeaderField::Load(CTextStream& stream) {
  std::string line;
  if (stream.ReadString(line) == 0) return 0;
  int total = static_cast<int>(line.size()) + 2;
  const size_t stop = line.find_first_of(std::string(":\r\n\0", 4));
  size_t valueStart = 0;
  if (stop != std::string::npos && line[stop] == ':') {
    m_name.assign(line, 0, stop);
    valueStart = stop + 1;
    while (valueStart < line.size() && (line[valueStart] == ' ' || line[valueStart] == '\t')) valueStart++;
  } else {
    m_name.clear();
  }
  std::string raw = line.substr(valueStart);
  for (;;) {
    if (stream.ReadString(line) == 0 || (line[0] != ' ' && line[0] != '\t')) {
      stream.UnreadLine();
      break;
    }
    raw += "\r\n";
    raw += line;
    total += static_cast<int>(line.size()) + 2;
  }
  Decode(raw.data(), static_cast<int>(raw.size()));
  return total;
}

int CMimeHeaderField::GetLength() const {
  std::unique_ptr<CFieldCodec> codec = GetMimeRegistry().CreateFieldCodec(m_name);
  codec->SetCharset(m_charset);
  codec->SetInput(m_value.data(), static_cast<int>(m_value.size()), true);
  return static_cast<int>(m_name.size()) + codec->GetOutputLength() + 4;
}

int CMimeHeaderField::Store(char* out, int room) const {
  const int nameLength = static_cast<int>(m_name.size());
  if (room < nameLength + 4) return 0;
  memcpy(out, m_name.data(), nameLength);
  memcpy(out + nameLength, ": ", 2);
  int w = nameLength + 2;
  std::unique_ptr<CFieldCodec> codec = GetMimeRegistry().CreateFieldCodec(m_name);
  codec->SetCharset(m_charset);
  codec->SetInput(m_value.data(), static_cast<int>(m_value.size()), true);
  w += codec->Process(out + w, room - w - 2);
  memcpy(out + w, "\r\n", 2);
  return w + 2;
}
