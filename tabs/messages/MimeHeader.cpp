#include "tabs/messages/MimeHeader.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tabs/messages/MimeChars.h"
#include "tabs/messages/TextStream.h"

namespace {

const char* const kMediaTypes[] = {"text", "image", "audio", "video", "application", "multipart", "message"};

struct Extension {
  const char* extension;
  const char* type;
};

const Extension kExtensions[] = {
    {"xml", "application/xml"},       {"doc", "application/msword"},
    {"rtf", "application/rtf"},       {"xls", "application/vnd.ms-excel"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"pdf", "application/pdf"},       {"zip", "application/zip"},
    {"jpeg", "image/jpeg"},           {"jpg", "image/jpeg"},
    {"gif", "image/gif"},             {"tif", "image/tiff"},
    {"tiff", "image/tiff"},           {"wav", "audio/basic"},
    {"mp3", "audio/basic"},           {"mpg", "video/mpeg"},
    {"mpeg", "video/mpeg"},
};

int g_boundaryCounter = 0;

}  // namespace

void CMimeHeader::Clear() { m_fields.clear(); }

const CMimeHeaderField* CMimeHeader::FindField(const char* name) const {
  const size_t length = strlen(name);
  for (const CMimeHeaderField& field : m_fields) {
    if (field.GetName().size() == length && mime::EqualNoCase(field.GetName().data(), name, length)) {
      return &field;
    }
  }
  return nullptr;
}

CMimeHeaderField* CMimeHeader::FindField(const char* name) {
  return const_cast<CMimeHeaderField*>(static_cast<const CMimeHeader*>(this)->FindField(name));
}

const std::string* CMimeHeader::GetFieldValue(const char* name) const {
  const CMimeHeaderField* field = FindField(name);
  return field ? &field->GetValue() : nullptr;
}

std::string CMimeHeader::GetFieldParameter(const char* field, const char* parameter, std::string* charset) const {
  std::string value;
  if (charset) charset->clear();
  if (const CMimeHeaderField* found = FindField(field)) found->GetParameter(parameter, value, charset);
  return value;
}

void CMimeHeader::SetField(const std::string& name, const std::string& value, const std::string& charset) {
  if (CMimeHeaderField* field = FindField(name.c_str())) {
    field->Set(name, value, charset);
  } else {
    m_fields.emplace_back(name, value, charset);
  }
}

int CMimeHeader::GetMediaType() const {
  const std::string* type = GetContentType();
  if (!type) return kText;
  for (int i = 0; i < kOther; i++) {
    if (mime::StartsNoCase(*type, kMediaTypes[i])) return i;
  }
  return kOther;
}

void CMimeHeader::GetMainType(std::string& out) const {
  const std::string* type = GetContentType();
  if (!type) {
    out = "text";
    return;
  }
  out.assign(*type, 0, type->find('/'));
}

void CMimeHeader::GetSubType(std::string& out) const {
  const CMimeHeaderField* field = FindField("Content-Type");
  if (!field) {
    out = "plain";
    return;
  }
  std::string main;
  field->GetMainValue(main);
  const size_t slash = main.find('/');
  out = slash == std::string::npos ? std::string() : main.substr(slash + 1);
}

void CMimeHeader::SetCharset(const std::string& charset) {
  if (!FindField("Content-Type")) m_fields.emplace_back("Content-Type", "text/plain", "");
  FindField("Content-Type")->SetParameter("charset", charset);
}

const char* CMimeHeader::MediaTypeOfFileName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    const std::string extension = name.substr(dot + 1);
    for (const Extension& entry : kExtensions) {
      if (mime::EqualNoCase(extension, entry.extension)) return entry.type;
    }
  }
  return "application/octet-stream";
}

void CMimeHeader::SetName(const std::string& name) {
  if (!FindField("Content-Type")) m_fields.emplace_back("Content-Type", MediaTypeOfFileName(name), "");
  FindField("Content-Type")->SetParameter("name", name);
}

void CMimeHeader::SetBoundary(const char* boundary) {
  std::string text;
  if (boundary) {
    text = boundary;
  } else {
    srand(static_cast<unsigned>(GetTickCount() ^ reinterpret_cast<uintptr_t>(this)));
    const int r1 = rand();
    const int r2 = rand();
    const int counter = ++g_boundaryCounter;
    if (g_boundaryCounter >= 9) g_boundaryCounter = 0;
    char buffer[64];
    snprintf(buffer, sizeof buffer, "__=_Part_Boundary_%03d_%06d.%06d", counter, r2, r1);
    text = buffer;
  }
  CMimeHeaderField* field = FindField("Content-Type");
  if (!field) {
    m_fields.emplace_back("Content-Type", "multipart/mixed", "");
    field = &m_fields.back();
  } else if (!mime::StartsNoCase(field->GetValue(), "multipart")) {
    field->Set(field->GetName(), "multipart/mixed", field->GetCharset());
  }
  field->SetParameter("boundary", text);
}

int CMimeHeader::GetLength() const {
  long long total = 2;
  for (const CMimeHeaderField& field : m_fields) total += field.GetLength();
  return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int CMimeHeader::Store(char* out, int room) const {
  int w = 0;
  for (const CMimeHeaderField& field : m_fields) {
    const int n = field.Store(out + w, room - w);
    if (n == 0) return n;
    w += n;
  }
  if (room - w < 2) return w;
  memcpy(out + w, "\r\n", 2);
  return w + 2;
}

int CMimeHeader::Load(CTextStream& stream) {
  int total = 0;
  for (;;) {
    CMimeHeaderField field;
    const int n = field.Load(stream);
    if (n == 0) break;
    m_fields.push_back(std::move(field));
    total += n;
  }
  return total + 2;
}

int CMimeHeader::Load(const char* start, const char* end) {
  const int room = static_cast<int>(end - start);
  if (room <= 0) return 2;
  int at = 0;
  for (;;) {
    if (at >= room) return room;  // a header that runs to the end of the message
    if (start[at] == '\r' || start[at] == '\0') return at + 2 <= room ? at + 2 : room;
    CMimeHeaderField field;
    const int n = field.Parse(start + at, room - at);
    if (n == 0) return 0;
    m_fields.push_back(std::move(field));
    at += n;
  }
}
