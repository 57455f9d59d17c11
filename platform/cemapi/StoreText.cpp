#include "platform/cemapi/StoreText.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "platform/cemapi/cemapi.h"

namespace {

const char kFileMagic[] = "CEMAPISTORE 1 ";
const size_t kMaxText = 256u << 20;

struct NamedTag {
  const char* name;
  ULONG tag;
};
const NamedTag kNames[] = {
    {"PR_SUBJECT_W", PR_SUBJECT_W},
    {"PR_SENDER_EMAIL_ADDRESS_W", PR_SENDER_EMAIL_ADDRESS_W},
    {"PR_SENDER_NAME_W", PR_SENDER_NAME_W},
    {"PR_MESSAGE_CLASS_W", PR_MESSAGE_CLASS_W},
    {"PR_MESSAGE_FLAGS", PR_MESSAGE_FLAGS},
    {"PR_HASATTACH", PR_HASATTACH},
    {"PR_MESSAGE_DELIVERY_TIME", PR_MESSAGE_DELIVERY_TIME},
    {"PR_MESSAGE_SIZE", PR_MESSAGE_SIZE},
    {"PR_LAST_MODIFICATION_TIME", PR_LAST_MODIFICATION_TIME},
    {"PR_MSG_STATUS", PR_MSG_STATUS},
    {"PR_DISPLAY_TO_W", PR_DISPLAY_TO_W},
    {"PR_PRIORITY", PR_PRIORITY},
    {"PR_BODY_W", PR_BODY_W},
    {"PR_BODY", PR_BODY},
    {"PR_BODY_HTML_W", CHANGE_PROP_TYPE(PR_BODY_HTML, PT_UNICODE)},
    {"PR_BODY_HTML", PR_BODY_HTML},
    {"PR_CE_MIME_TEXT", PR_CE_MIME_TEXT},
    {"PR_DISPLAY_NAME_W", PR_DISPLAY_NAME_W},
    {"PR_CE_TRANSPORT_NAME_W", PR_CE_TRANSPORT_NAME_W},
    {"PR_FOLDER_TYPE", PR_FOLDER_TYPE},
    {"PR_RECIPIENT_TYPE", PR_RECIPIENT_TYPE},
    {"PR_ADDRTYPE_W", PR_ADDRTYPE_W},
    {"PR_EMAIL_ADDRESS_W", PR_EMAIL_ADDRESS_W},
};

const char* const kRoles[] = {"root", "inbox", "outbox", "sent", "deleted", "drafts"};

bool IsKnownType(ULONG type) {
  switch (type) {
    case PT_I2: case PT_LONG: case PT_BOOLEAN: case PT_I8: case PT_SYSTIME:
    case PT_STRING8: case PT_UNICODE: case PT_BINARY:
      return true;
  }
  return false;
}

bool Utf8ToWide(const std::string& in, std::wstring& out) {
  out.clear();
  if (in.empty()) return true;
  if (in.size() > 0x7FFFFFFF) return false;
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(n);
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), &out[0], n);
  return true;
}

std::string WideToUtf8(const std::wstring& in) {
  if (in.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, in.data(), static_cast<int>(in.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, in.data(), static_cast<int>(in.size()), &out[0], n, nullptr, nullptr);
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseId(const std::string& word, ULONGLONG& id) {
  if (word.empty() || word.size() > 16) return false;
  id = 0;
  for (char c : word) {
    int d = HexDigit(c);
    if (d < 0) return false;
    id = id << 4 | static_cast<ULONGLONG>(d);
  }
  return id != 0;
}

std::string IdText(ULONGLONG id) {
  char buf[20];
  snprintf(buf, sizeof buf, "%016llX", id);
  return buf;
}

bool ParseInteger(const std::string& text, LONGLONG& value) {
  if (text.empty() || text.size() > 24) return false;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '-') {
    negative = true;
    i = 1;
  }
  ULONGLONG v = 0;
  if (text.size() > i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    i += 2;
    if (text.size() - i > 16) return false;
    for (; i < text.size(); ++i) {
      int d = HexDigit(text[i]);
      if (d < 0) return false;
      v = v << 4 | static_cast<ULONGLONG>(d);
    }
  } else {
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      ULONGLONG next = v * 10 + static_cast<ULONGLONG>(text[i] - '0');
      if (v > 0x0FFFFFFFFFFFFFFFull || next < v) return false;
      v = next;
    }
  }
  value = negative ? -static_cast<LONGLONG>(v) : static_cast<LONGLONG>(v);
  return true;
}

bool ParseTime(const std::string& text, LONGLONG& ticks) {
  unsigned y, mo, d, h, mi, s;
  char tail;
  if (sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6) return false;
  if (y < 1601 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return false;
  ticks = static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
  return true;
}

std::string TimeText(LONGLONG ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<ULONGLONG>(ticks) >> 32);
  SYSTEMTIME st;
  if (ticks < 0 || !FileTimeToSystemTime(&ft, &st)) return "1601-01-01 00:00:00";
  char buf[32];
  snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
           st.wSecond);
  return buf;
}

// A quoted value from text[0] == '"': the bytes it stands for (UTF-8 for \uXXXX).
bool ParseQuoted(const std::string& text, std::string& out) {
  out.clear();
  size_t i = 1;
  for (;;) {
    if (i >= text.size()) return false;
    char c = text[i++];
    if (c == '"') break;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= text.size()) return false;
    char e = text[i++];
    switch (e) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (i + 2 > text.size()) return false;
        int a = HexDigit(text[i]), b = HexDigit(text[i + 1]);
        if (a < 0 || b < 0) return false;
        out += static_cast<char>(a << 4 | b);
        i += 2;
        break;
      }
      case 'u': {
        if (i + 4 > text.size()) return false;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
          int d = HexDigit(text[i + k]);
          if (d < 0) return false;
          v = v << 4 | static_cast<unsigned>(d);
        }
        i += 4;
        out += WideToUtf8(std::wstring(1, static_cast<wchar_t>(v)));
        break;
      }
      default:
        return false;
    }
  }
  return text.find_first_not_of(" \t", i) == std::string::npos;
}

std::string Quote(const std::string& bytes, bool binary) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F || (binary && c >= 0x80)) {
      char buf[8];
      snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Bytes that read well as a block of lines: valid UTF-8, every line ended by CR LF, no
// other control characters than tab.
bool FitsBlock(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) return false;
  std::wstring wide;
  if (!Utf8ToWide(bytes, wide)) return false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r') {
      if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') return false;
      ++i;
    } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
      return false;
    }
  }
  return true;
}

std::string Block(const std::string& bytes) {
  std::string word = "END";
  for (int n = 1;; ++n) {
    std::string line = "\r\n" + word + "\r\n";
    if (bytes.compare(0, word.size() + 2, word + "\r\n") != 0 && bytes.find(line) == std::string::npos) break;
    word = "END" + std::to_string(n);
  }
  std::string out = "<<" + word + "\n";
  for (size_t at = 0; at < bytes.size();) {
    size_t end = bytes.find("\r\n", at);
    out += bytes.substr(at, end - at) + "\n";
    at = end + 2;
  }
  return out + word;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < s.size()) {
    size_t a = s.find_first_not_of(" \t\r", i);
    if (a == std::string::npos) break;
    size_t b = s.find_first_of(" \t\r", a);
    words.push_back(s.substr(a, b == std::string::npos ? std::string::npos : b - a));
    i = b == std::string::npos ? s.size() : b;
  }
  return words;
}

class CParser {
 public:
  CParser(const std::string& text, StoreRecord& store) : text_(text), store_(store) {}

  bool Run(std::string& error) {
    store_ = StoreRecord();
    std::string line;
    while (NextLine(line)) {
      std::string t = Trim(line);
      if (t.empty() || t[0] == '#') continue;
      if (!Item(t)) {
        error = "line " + std::to_string(lineNo_) + ": " + error_;
        return false;
      }
    }
    if (!haveStore_) {
      error = "no store";
      return false;
    }
    if (store_.folders.empty()) {
      error = "the store has no root folder";
      return false;
    }
    return true;
  }

 private:
  bool NextLine(std::string& line) {
    if (at_ >= text_.size()) return false;
    size_t end = text_.find('\n', at_);
    if (end == std::string::npos) end = text_.size();
    line = text_.substr(at_, end - at_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at_ = end + 1;
    ++lineNo_;
    return true;
  }

  bool Fail(const std::string& why) {
    error_ = why;
    return false;
  }

  bool Item(const std::string& t) {
    std::vector<std::string> w = Words(t);
    const std::string& key = w[0];
    if (key == "store") return StoreLine(w);
    if (key == "folder") return FolderLine(w);
    if (key == "message") return MessageLine(w);
    if (key == "recipient") {
      if (w.size() != 1) return Fail("recipient takes nothing more");
      if (store_.messages.empty() || (current_ != kMessage && current_ != kRecipient))
        return Fail("recipient outside a message");
      store_.messages.back().recipients.emplace_back();
      current_ = kRecipient;
      return true;
    }
    return PropertyLine(t);
  }

  bool NewId(const std::string& word, ULONGLONG& id) {
    if (!ParseId(word, id)) return Fail("bad id \"" + word + "\"");
    if (!ids_.insert(id).second) return Fail("id used twice");
    return true;
  }

  bool StoreLine(const std::vector<std::string>& w) {
    if (haveStore_) return Fail("a second store");
    if (w.size() != 2) return Fail("store takes its id");
    if (!NewId(w[1], store_.id)) return false;
    haveStore_ = true;
    current_ = kStore;
    return true;
  }

  bool FolderLine(const std::vector<std::string>& w) {
    if (!haveStore_) return Fail("folder before the store");
    if (w.size() < 2 || w.size() % 2 != 0) return Fail("folder takes its id and pairs of words");
    FolderRecord f;
    if (!NewId(w[1], f.id)) return false;
    for (size_t i = 2; i < w.size(); i += 2) {
      if (w[i] == "parent") {
        if (f.parent || !ParseId(w[i + 1], f.parent)) return Fail("bad parent");
        if (!folders_.count(f.parent)) return Fail("parent not defined above");
      } else if (w[i] == "role") {
        bool known = false;
        for (const char* r : kRoles) known = known || w[i + 1] == r;
        if (!known || !f.role.empty()) return Fail("bad role \"" + w[i + 1] + "\"");
        f.role.assign(w[i + 1].begin(), w[i + 1].end());
        if (!roles_.insert(w[i + 1]).second) return Fail("role used twice");
      } else {
        return Fail("unknown word \"" + w[i] + "\"");
      }
    }
    if ((f.parent == 0) != store_.folders.empty()) return Fail("the root folder, and only it, comes first without parent");
    if (f.parent == 0 && !f.role.empty() && f.role != L"root") return Fail("the root folder's role is root");
    if (f.parent != 0 && f.role == L"root") return Fail("role root is the root folder's");
    if (f.parent == 0) f.role = L"root";
    folders_.insert(f.id);
    store_.folders.push_back(f);
    current_ = kFolder;
    return true;
  }

  bool MessageLine(const std::vector<std::string>& w) {
    if (w.size() != 4 || w[2] != "folder") return Fail("message takes its id and folder ID");
    MessageRecord m;
    if (!NewId(w[1], m.id)) return false;
    if (!ParseId(w[3], m.folder) || !folders_.count(m.folder)) return Fail("folder not defined above");
    store_.messages.push_back(m);
    current_ = kMessage;
    return true;
  }

  PropRecordMap* Target() {
    switch (current_) {
      case kStore: return &store_.props;
      case kFolder: return &store_.folders.back().props;
      case kMessage: return &store_.messages.back().props;
      case kRecipient: return &store_.messages.back().recipients.back();
      default: return nullptr;
    }
  }

  bool PropertyLine(const std::string& t) {
    size_t eq = t.find('=');
    if (eq == std::string::npos) return Fail("not an item or a property");
    std::string name = Trim(t.substr(0, eq));
    std::string value = Trim(t.substr(eq + 1));
    ULONG tag = CStoreText::TagOfName(name);
    if (!tag && name.size() == 10 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
      LONGLONG v = 0;
      if (ParseInteger(name, v)) tag = static_cast<ULONG>(v);
    }
    if (!tag) return Fail("unknown property \"" + name + "\"");
    ULONG type = PROP_TYPE(tag);
    if (!IsKnownType(type)) return Fail("property type not kept");
    PropRecordMap* target = Target();
    if (!target) return Fail("property outside an item");
    PropValueRecord v;
    switch (type) {
      case PT_I2: case PT_LONG: case PT_I8: {
        if (!ParseInteger(value, v.number)) return Fail("bad number");
        if (type == PT_I2 && (v.number < -32768 || v.number > 65535)) return Fail("number out of range");
        if (type == PT_LONG && (v.number < -2147483648LL || v.number > 0xFFFFFFFFLL)) return Fail("number out of range");
        // Kept as the device keeps them: 32-bit and 16-bit values are signed, whether
        // written as 0xFFFFFFFF or -1.
        if (type == PT_LONG) v.number = static_cast<LONG>(static_cast<ULONG>(v.number));
        if (type == PT_I2) v.number = static_cast<short>(static_cast<unsigned short>(v.number));
        break;
      }
      case PT_BOOLEAN:
        if (value == "true" || value == "1") v.number = 1;
        else if (value == "false" || value == "0") v.number = 0;
        else return Fail("bad truth value");
        break;
      case PT_SYSTIME:
        if (!ParseTime(value, v.number)) return Fail("bad time");
        break;
      default: {
        std::string bytes;
        if (!Bytes(value, type == PT_BINARY, bytes)) return false;
        if (type == PT_BINARY) v.bytes = bytes;
        else if (!Utf8ToWide(bytes, v.text)) return Fail("text is not UTF-8");
      }
    }
    ULONG normal = CStoreText::NormalTag(tag);
    for (const auto& kept : *target)
      if (PROP_ID(kept.first) == PROP_ID(normal)) return Fail("property given twice");
    (*target)[normal] = v;
    return true;
  }

  bool Bytes(const std::string& value, bool binary, std::string& out) {
    if (!value.empty() && value[0] == '"') {
      if (!ParseQuoted(value, out)) return Fail("bad quoted value");
      return true;
    }
    if (value.size() > 2 && value[0] == '<' && value[1] == '<') {
      std::string word = value.substr(2);
      if (word.find_first_of(" \t") != std::string::npos) return Fail("bad block word");
      out.clear();
      std::string line;
      for (;;) {
        if (!NextLine(line)) return Fail("block not closed by " + word);
        if (line == word) return true;
        out += line + "\r\n";
        if (out.size() > kMaxText) return Fail("block too long");
      }
    }
    if (binary && value.compare(0, 4, "hex:") == 0) {
      if (value.size() % 2 != 0) return Fail("bad hex");
      out.clear();
      for (size_t i = 4; i < value.size(); i += 2) {
        int a = HexDigit(value[i]), b = HexDigit(value[i + 1]);
        if (a < 0 || b < 0) return Fail("bad hex");
        out += static_cast<char>(a << 4 | b);
      }
      return true;
    }
    return Fail("bad value");
  }

  enum Level { kNone, kStore, kFolder, kMessage, kRecipient };
  const std::string& text_;
  StoreRecord& store_;
  size_t at_ = 0;
  int lineNo_ = 0;
  bool haveStore_ = false;
  Level current_ = kNone;
  std::string error_;
  std::set<ULONGLONG> ids_;
  std::set<ULONGLONG> folders_;
  std::set<std::string> roles_;
};

std::string TagText(ULONG tag) {
  for (const NamedTag& n : kNames)
    if (n.tag == tag) return n.name;
  char buf[16];
  snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(tag));
  return buf;
}

void FormatProps(const PropRecordMap& props, std::string& out) {
  for (const auto& p : props) {
    ULONG type = PROP_TYPE(p.first);
    out += "  " + TagText(p.first) + " = ";
    switch (type) {
      case PT_BOOLEAN: out += p.second.number ? "true" : "false"; break;
      case PT_SYSTIME: out += TimeText(p.second.number); break;
      case PT_LONG: {
        char buf[24];
        snprintf(buf, sizeof buf, "0x%lX", static_cast<unsigned long>(static_cast<ULONG>(p.second.number)));
        out += p.second.number >= 0 && p.second.number < 10 ? std::to_string(p.second.number) : buf;
        break;
      }
      case PT_I2: case PT_I8: out += std::to_string(p.second.number); break;
      case PT_BINARY:
        out += FitsBlock(p.second.bytes) ? Block(p.second.bytes) : Quote(p.second.bytes, true);
        break;
      default: {
        std::string bytes = WideToUtf8(p.second.text);
        out += FitsBlock(bytes) ? Block(bytes) : Quote(bytes, false);
      }
    }
    out += "\n";
  }
}

}  // namespace

ULONG CStoreText::TagOfName(const std::string& name) {
  for (const NamedTag& n : kNames)
    if (name == n.name) return n.tag;
  return 0;
}

ULONG CStoreText::NormalTag(ULONG tag) {
  return PROP_TYPE(tag) == PT_STRING8 ? CHANGE_PROP_TYPE(tag, PT_UNICODE) : tag;
}

bool CStoreText::Parse(const std::string& text, StoreRecord& store, std::string& error) {
  if (text.size() > kMaxText) {
    error = "text too long";
    return false;
  }
  try {
    CParser parser(text, store);
    return parser.Run(error);
  } catch (...) {
    error = "out of memory";
    return false;
  }
}

std::string CStoreText::Format(const StoreRecord& store) {
  std::string out = "store " + IdText(store.id) + "\n";
  FormatProps(store.props, out);
  for (const FolderRecord& f : store.folders) {
    out += "folder " + IdText(f.id);
    if (f.parent) out += " parent " + IdText(f.parent);
    if (!f.role.empty() && f.parent) out += " role " + WideToUtf8(f.role);
    out += "\n";
    FormatProps(f.props, out);
  }
  for (const MessageRecord& m : store.messages) {
    out += "message " + IdText(m.id) + " folder " + IdText(m.folder) + "\n";
    FormatProps(m.props, out);
    for (const PropRecordMap& r : m.recipients) {
      out += "recipient\n";
      FormatProps(r, out);
    }
  }
  return out;
}

bool CStoreText::ParseFile(const std::string& bytes, StoreRecord& store, std::string& error) {
  size_t magic = sizeof kFileMagic - 1;
  size_t eol = bytes.find('\n');
  if (bytes.compare(0, magic, kFileMagic) != 0 || eol == std::string::npos || eol > 64) {
    error = "not a message store file";
    return false;
  }
  unsigned long long length = 0;
  unsigned long crc = 0;
  char tail = 0;
  std::string head = bytes.substr(magic, eol - magic);
  if (sscanf(head.c_str(), "%llu %8lx%c", &length, &crc, &tail) != 2 || length != bytes.size() - eol - 1) {
    error = "damaged message store file (length)";
    return false;
  }
  const Bytef* data = reinterpret_cast<const Bytef*>(bytes.data() + eol + 1);
  if (::crc32(::crc32(0L, Z_NULL, 0), data, static_cast<uInt>(length)) != crc) {
    error = "damaged message store file (checksum)";
    return false;
  }
  return Parse(bytes.substr(eol + 1), store, error);
}

std::string CStoreText::FormatFile(const StoreRecord& store) {
  std::string text = Format(store);
  unsigned long crc =
      ::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
  char head[64];
  snprintf(head, sizeof head, "%s%llu %08lx\n", kFileMagic, static_cast<unsigned long long>(text.size()), crc);
  return head + text;
}
