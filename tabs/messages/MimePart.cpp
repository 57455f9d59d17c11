#include "tabs/messages/MimePart.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "tabs/messages/MimeChars.h"
#include "tabs/messages/MimeCodec.h"
#include "tabs/messages/MimeRegistry.h"
#include "tabs/messages/TextStream.h"

namespace {

const std::string kCrLf = "\r\n";

bool StartsWith(const std::string& line, const std::string& prefix) {
  return !prefix.empty() && line.compare(0, prefix.size(), prefix) == 0;
}

int Clamp(long long n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n); }

}  // namespace

void CMimePart::Clear() {
  m_children.clear();
  m_content.clear();
  CMimeHeader::Clear();
}

int CMimePart::SetContent(const char* bytes, int length) {
  try {
    if (!bytes) return -1;
    if (length == 0) length = static_cast<int>(strlen(bytes));
    if (length < 0) return -1;
    m_content.assign(bytes, length);
    return length;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

bool CMimePart::AllocContent(int size) {
  m_content.clear();
  m_content.shrink_to_fit();
  if (size < 0) return false;
  try {
    m_content.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int CMimePart::ReadContent(char* out, int room) const {
  const int n = std::max(0, std::min(room, GetContentLength()));
  if (n) memcpy(out, m_content.data(), n);
  return n;
}

int CMimePart::GetContent(std::string& out) const {
  out = m_content;
  return GetContentLength();
}

bool CMimePart::HasName() const { return !GetFieldParameter("Content-Type", "name").empty(); }

bool CMimePart::IsMultipartAt(int depth, std::string& boundary) const {
  if (GetMediaType() != kMultipart || depth >= kMaxDepth) return false;
  boundary = GetFieldParameter("Content-Type", "boundary");
  return !boundary.empty();
}

int CMimePart::DecodeContent(const char* body, int length) {
  m_content.clear();
  if (length <= 0) return 0;
  std::unique_ptr<CMimeCodec> codec = GetMimeRegistry().CreateCodec(
      GetTransferEncoding() ? GetTransferEncoding()->c_str() : nullptr);
  codec->SetInput(body, length, false);
  const long long size = static_cast<long long>(codec->GetOutputLength()) + 4;
  if (size > 0x7FFFFFFF) return -1;
  m_content.resize(static_cast<size_t>(size));
  const int n = codec->Process(&m_content[0], static_cast<int>(size));
  if (n < 0) {
    m_content.clear();
    return n;
  }
  m_content.resize(n);
  return 0;
}

int CMimePart::Load(const char* start, const char* end) {
  if (!start || end < start || end - start > 0x3FFFFFFF) return -1;
  try {
    return LoadBuffer(start, end, 0);
  } catch (const std::bad_alloc&) {
    m_content.clear();
    return -1;
  }
}

int CMimePart::LoadBuffer(const char* start, const char* end, int depth) {
  const int header = CMimeHeader::Load(start, end);
  if (header < 1) return header;
  const int room = static_cast<int>(end - start);
  const char* body = start + std::min(header, room);
  std::string boundary;
  const bool multipart = IsMultipartAt(depth, boundary);
  const std::string delimiter = kCrLf + "--" + boundary;
  const char* found = end;
  if (multipart) found = mime::FindBytes(std::max(start, body - 2), end, delimiter);
  // The preamble runs up to the delimiter's "--"; it is empty when the
  // delimiter opens the body.
  const char* contentEnd = found == end ? end : std::max(body, found + 2);
  const int decoded = DecodeContent(body, static_cast<int>(contentEnd - body));
  if (decoded < 0) return decoded;
  while (found != end) {
    const char* after = found + delimiter.size();
    const bool close = end - after >= 2 && after[0] == '-' && after[1] == '-';
    const char* lineEnd = mime::FindBytes(after, end, kCrLf);
    if (lineEnd == end) break;
    const char* childStart = lineEnd + 2;
    if (close) return static_cast<int>(childStart - start);
    found = mime::FindBytes(childStart - 2, end, delimiter);
    const char* childEnd = std::max(childStart, found);
    CMimeHeader scratch;
    scratch.CMimeHeader::Load(childStart, childEnd);
    std::unique_ptr<CMimePart> child = GetMimeRegistry().CreatePart(scratch.GetMediaType());
    const int result = child->LoadBuffer(childStart, childEnd, depth + 1);
    if (result < 0) return result;
    m_children.push_back(std::move(child));
  }
  return room;
}

int CMimePart::Load(CTextStream& stream) {
  try {
    return LoadStream(stream, 0);
  } catch (const std::bad_alloc&) {
    m_content.clear();
    return -1;
  }
}

int CMimePart::LoadStream(CTextStream& stream, int depth) {
  const int header = CMimeHeader::Load(stream);
  if (header < 1) return header;
  m_content.clear();
  std::string boundary;
  const std::string own = IsMultipartAt(depth, boundary) ? "--" + boundary : std::string();
  std::string body;
  std::string line;
  bool exhausted = false;
  bool endedByParent = false;
  for (;;) {
    if (stream.ReadString(line) == 0 && stream.IsEnd()) {
      exhausted = true;
      break;
    }
    if (StartsWith(line, own)) break;
    if (StartsWith(line, m_boundary)) {
      stream.UnreadLine();
      endedByParent = true;
      break;
    }
    body += line;
    body += kCrLf;
  }
  long long total = static_cast<long long>(header) + body.size();
  const int decoded = DecodeContent(body.data(), static_cast<int>(body.size()));
  if (decoded < 0) return decoded;
  if (exhausted || endedByParent) return Clamp(total);
  for (;;) {
    // The current line is one of our delimiters.
    if (line.compare(own.size(), 2, "--") == 0) return Clamp(total);
    if (!stream.SaveState()) return 0;
    CMimeHeader scratch;
    const int scratchHeader = scratch.CMimeHeader::Load(stream);
    if (!stream.RestoreState() || scratchHeader < 1) return 0;
    std::unique_ptr<CMimePart> child = GetMimeRegistry().CreatePart(scratch.GetMediaType());
    child->m_boundary = own;
    const int result = child->LoadStream(stream, depth + 1);
    if (result < 0) return result;
    m_children.push_back(std::move(child));
    total += result;
    for (;;) {
      if (stream.ReadString(line) == 0 && stream.IsEnd()) return Clamp(total);
      if (StartsWith(line, own)) break;
      if (StartsWith(line, m_boundary)) {
        stream.UnreadLine();
        return Clamp(total);
      }
    }
  }
}

int CMimePart::GetLength() const {
  std::unique_ptr<CMimeCodec> codec = GetMimeRegistry().CreateCodec(
      GetTransferEncoding() ? GetTransferEncoding()->c_str() : nullptr);
  codec->SetInput(m_content.data(), GetContentLength(), true);
  long long total = static_cast<long long>(CMimeHeader::GetLength()) + codec->GetOutputLength();
  if (!m_children.empty()) {
    const long long b = static_cast<long long>(GetFieldParameter("Content-Type", "boundary").size());
    for (const auto& child : m_children) total += child->GetLength() + b + 6;
    total += b + 8;
  }
  return Clamp(total);
}

int CMimePart::Store(char* out, int room) const {
  if (!out || room < 0) return -1;
  const std::string boundary = GetFieldParameter("Content-Type", "boundary");
  if (!m_children.empty() && boundary.empty()) return -1;
  int w = CMimeHeader::Store(out, room);
  if (w == 0 && !m_fields.empty()) return -1;
  std::unique_ptr<CMimeCodec> codec = GetMimeRegistry().CreateCodec(
      GetTransferEncoding() ? GetTransferEncoding()->c_str() : nullptr);
  codec->SetInput(m_content.data(), GetContentLength(), true);
  w += codec->Process(out + w, room - w);
  if (m_children.empty()) return w;
  if (w >= 2 && out[w - 2] == '\r' && out[w - 1] == '\n') w -= 2;
  const std::string open = "\r\n--" + boundary + "\r\n";
  for (const auto& child : m_children) {
    if (room - w < static_cast<int>(open.size())) return w;
    memcpy(out + w, open.data(), open.size());
    w += static_cast<int>(open.size());
    const int n = child->Store(out + w, room - w);
    if (n < 0) return n;
    w += n;
  }
  const std::string close = "\r\n--" + boundary + "--\r\n";
  if (room - w < static_cast<int>(close.size())) return w;
  memcpy(out + w, close.data(), close.size());
  return w + static_cast<int>(close.size());
}

void CMimePart::SetMessage(const CMimePart& part) {
  std::string stored(static_cast<size_t>(part.GetLength()), '\0');
  const int n = part.Store(&stored[0], static_cast<int>(stored.size()));
  stored.resize(n > 0 ? n : 0);
  m_content.swap(stored);
  const std::string* type = GetContentType();
  if (!type || !mime::StartsNoCase(*type, "message")) SetField("Content-Type", "message/rfc822");
}

int CMimePart::ParseContentAs(CMimePart& part) const {
  return part.Load(m_content.data(), m_content.data() + m_content.size());
}

CMimePart* CMimePart::CreateChild(int mediaType, const CMimePart* before) {
  std::unique_ptr<CMimePart> child = GetMimeRegistry().CreatePart(mediaType);
  CMimePart* created = child.get();
  auto at = std::find_if(m_children.begin(), m_children.end(),
                         [&](const auto& entry) { return before && entry.get() == before; });
  m_children.insert(at, std::move(child));
  return created;
}

void CMimePart::RemoveChild(CMimePart* part) {
  m_children.erase(std::remove_if(m_children.begin(), m_children.end(),
                                  [&](const auto& entry) { return entry.get() == part; }),
                   m_children.end());
}

int CMimePart::GetLeafParts(std::vector<const CMimePart*>& list) const {
  if (GetMediaType() != kMultipart) {
    list.push_back(this);
  } else {
    for (const auto& child : m_children) child->GetLeafParts(list);
  }
  return static_cast<int>(list.size());
}

int CMimePart::GetAttachments(std::vector<const CMimePart*>& list) const {
  if (GetMediaType() != kMultipart) {
    if (HasName()) list.push_back(this);
  } else {
    for (const auto& child : m_children) child->GetAttachments(list);
  }
  return static_cast<int>(list.size());
}
