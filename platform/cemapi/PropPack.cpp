#include "platform/cemapi/PropPack.h"

#include <cstring>

namespace {

struct Slot {
  ULONG tag;                       // the tag answered (PT_ERROR when missing)
  const PropValueRecord* value;    // null when missing
  std::string narrow;              // the 8-bit form of a text asked as PT_STRING8
};

size_t Align(size_t n) { return (n + 7) & ~static_cast<size_t>(7); }

// The stored value for `tag` and the tag to answer with; null when there is none.
const PropValueRecord* Find(const PropRecordMap& all, ULONG tag, bool unicode, ULONG& answered) {
  ULONG type = PROP_TYPE(tag);
  for (const auto& p : all) {
    if (PROP_ID(p.first) != PROP_ID(tag)) continue;
    ULONG have = PROP_TYPE(p.first);
    if (type == PT_UNSPECIFIED) type = have == PT_UNICODE && !unicode ? PT_STRING8 : have;
    if (type == have || (type == PT_STRING8 && have == PT_UNICODE)) {
      answered = CHANGE_PROP_TYPE(tag, type);
      return &p.second;
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace

std::string CPropPack::Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

LPSPropValue CPropPack::Select(const PropRecordMap& all, const SPropTagArray* tags, bool unicode, ULONG& count,
                               bool& errors) {
  std::vector<Slot> slots;
  errors = false;
  if (tags) {
    for (ULONG i = 0; i < tags->cValues; ++i) {
      Slot s{tags->aulPropTag[i], nullptr, std::string()};
      ULONG answered = 0;
      s.value = Find(all, s.tag, unicode, answered);
      if (s.value) s.tag = answered;
      else s.tag = CHANGE_PROP_TYPE(s.tag, PT_ERROR);
      errors = errors || !s.value;
      slots.push_back(std::move(s));
    }
  } else {
    for (const auto& p : all) {
      ULONG tag = p.first;
      if (PROP_TYPE(tag) == PT_UNICODE && !unicode) tag = CHANGE_PROP_TYPE(tag, PT_STRING8);
      slots.push_back(Slot{tag, &p.second, std::string()});
    }
  }
  size_t total = Align(sizeof(SPropValue) * (slots.empty() ? 1 : slots.size()));
  for (Slot& s : slots) {
    if (!s.value) continue;
    switch (PROP_TYPE(s.tag)) {
      case PT_UNICODE: total += Align((s.value->text.size() + 1) * sizeof(wchar_t)); break;
      case PT_STRING8:
        s.narrow = Utf8(s.value->text);
        total += Align(s.narrow.size() + 1);
        break;
      case PT_BINARY: total += Align(s.value->bytes.size() + 1); break;
    }
  }
  BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, total));
  if (!block) return nullptr;
  LPSPropValue values = reinterpret_cast<LPSPropValue>(block);
  BYTE* data = block + Align(sizeof(SPropValue) * (slots.empty() ? 1 : slots.size()));
  for (size_t i = 0; i < slots.size(); ++i) {
    const Slot& s = slots[i];
    SPropValue& v = values[i];
    v.ulPropTag = s.tag;
    if (!s.value) {
      v.Value.err = MAPI_E_NOT_FOUND;
      continue;
    }
    switch (PROP_TYPE(s.tag)) {
      case PT_I2: v.Value.i = static_cast<short>(s.value->number); break;
      case PT_LONG: v.Value.l = static_cast<LONG>(s.value->number); break;
      case PT_BOOLEAN: v.Value.b = s.value->number ? 1 : 0; break;
      case PT_I8: v.Value.li.QuadPart = s.value->number; break;
      case PT_SYSTIME:
        v.Value.ft.dwLowDateTime = static_cast<DWORD>(s.value->number);
        v.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<ULONGLONG>(s.value->number) >> 32);
        break;
      case PT_UNICODE:
        v.Value.lpszW = reinterpret_cast<LPWSTR>(data);
        memcpy(data, s.value->text.c_str(), (s.value->text.size() + 1) * sizeof(wchar_t));
        data += Align((s.value->text.size() + 1) * sizeof(wchar_t));
        break;
      case PT_STRING8:
        v.Value.lpszA = reinterpret_cast<LPSTR>(data);
        memcpy(data, s.narrow.c_str(), s.narrow.size() + 1);
        data += Align(s.narrow.size() + 1);
        break;
      case PT_BINARY:
        v.Value.bin.cb = static_cast<ULONG>(s.value->bytes.size());
        v.Value.bin.lpb = data;
        if (!s.value->bytes.empty()) memcpy(data, s.value->bytes.data(), s.value->bytes.size());
        data += Align(s.value->bytes.size() + 1);
        break;
    }
  }
  count = static_cast<ULONG>(slots.size());
  return values;
}

bool CPropPack::StreamBytes(const PropRecordMap& all, ULONG tag, std::string& bytes) {
  ULONG answered = 0;
  const PropValueRecord* v = Find(all, tag, true, answered);
  if (!v) return false;
  switch (PROP_TYPE(answered)) {
    case PT_UNICODE:
      bytes.assign(reinterpret_cast<const char*>(v->text.data()), v->text.size() * sizeof(wchar_t));
      return true;
    case PT_STRING8:
      bytes = Utf8(v->text);
      return true;
    case PT_BINARY:
      bytes = v->bytes;
      return true;
  }
  return false;
}
