// CMimeHeader: the ordered header fields of a MIME entity. Names compare
// without case and the first field of a name wins.
#pragma once

#include <string>
#include <vector>

#include "tabs/messages/MimeHeaderField.h"

class CTextStream;

class CMimeHeader {
public:
  // Main media types, by their index in the media table.
  enum MediaType {
    kText, kImage, kAudio, kVideo, kApplication, kMultipart, kMessage, kOther
  };

  virtual ~CMimeHeader() = default;
  virtual void Clear();
  virtual int GetLength() const;
  virtual int Store(char* out, int room) const;
  // The length read + 2; 0 when nothing was read.
  virtual int Load(CTextStream& stream);
  // The bytes up to and with the blank line (+2); 0 for a truncated header.
  virtual int Load(const char* start, const char* end);

  const CMimeHeaderField* FindField(const char* name) const;
  CMimeHeaderField* FindField(const char* name);
  const std::string* GetFieldValue(const char* name) const;
  // Empty when the field or the parameter is absent; *charset as GetParameter gives it.
  std::string GetFieldParameter(const char* field, const char* parameter, std::string* charset = nullptr) const;
  void SetField(const std::string& name, const std::string& value, const std::string& charset = "");
  const std::vector<CMimeHeaderField>& GetFields() const { return m_fields; }

  const std::string* GetContentType() const { return GetFieldValue("Content-Type"); }
  const std::string* GetTransferEncoding() const { return GetFieldValue("Content-Transfer-Encoding"); }
  int GetMediaType() const;
  void GetMainType(std::string& out) const;
  void GetSubType(std::string& out) const;

  void SetCharset(const std::string& charset);
  // Without a Content-Type the type comes from the name's extension.
  void SetName(const std::string& name);
  // Null generates a boundary; the entity becomes multipart.
  void SetBoundary(const char* boundary);

  // The media type a file name's extension stands for.
  static const char* MediaTypeOfFileName(const std::string& name);

protected:
  std::vector<CMimeHeaderField> m_fields;
};
