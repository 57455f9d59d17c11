// CMimePart: a MIME entity: its header, its decoded content (for a multipart
// entity the preamble) and its child entities. Loads from a buffer or a text
// stream; stores back to a buffer. Loading never reads outside its input and
// never throws: failures are results of 0 or less.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tabs/messages/MimeHeader.h"

class CMimePart : public CMimeHeader {
public:
  // Deeper multipart entities keep their body as content and get no children.
  static constexpr int kMaxDepth = 20;

  void Clear() override;
  int GetLength() const override;
  // The bytes written; below 0 on failure.
  int Store(char* out, int room) const override;
  int Load(CTextStream& stream) override;
  int Load(const char* start, const char* end) override;

  // length 0 takes a NUL-terminated text; the length set, or -1.
  int SetContent(const char* bytes, int length);
  bool AllocContent(int size);
  int ReadContent(char* out, int room) const;
  int GetContent(std::string& out) const;
  const char* GetContentData() const { return m_content.c_str(); }
  int GetContentLength() const { return static_cast<int>(m_content.size()); }

  void SetMessage(const CMimePart& part);
  int ParseContentAs(CMimePart& part) const;

  CMimePart* CreateChild(int mediaType, const CMimePart* before);
  void RemoveChild(CMimePart* part);
  const std::vector<std::unique_ptr<CMimePart>>& GetChildren() const { return m_children; }

  int GetLeafParts(std::vector<const CMimePart*>& list) const;
  int GetAttachments(std::vector<const CMimePart*>& list) const;
  bool HasName() const;

  // "--" and the parent's boundary for a child loaded from a stream.
  const std::string& GetEnclosingBoundary() const { return m_boundary; }

private:
  int LoadBuffer(const char* start, const char* end, int depth);
  int LoadStream(CTextStream& stream, int depth);
  // Replaces the content with the body decoded by the transfer encoding.
  int DecodeContent(const char* body, int length);
  bool IsMultipartAt(int depth, std::string& boundary) const;

  std::string m_boundary;
  std::string m_content;
  std::vector<std::unique_ptr<CMimePart>> m_children;
};
