// CMimeHeaderField: one header field of a MIME entity: the name as written, the
// value after its field codec decoded it, and the charset of its first encoded
// word (empty when it has none).
#pragma once

#include <string>

class CTextStream;

class CMimeHeaderField {
public:
  CMimeHeaderField() = default;
  CMimeHeaderField(std::string name, std::string value, std::string charset)
      : m_name(std::move(name)), m_value(std::move(value)), m_charset(std::move(charset)) {}

  const std::string& GetName() const { return m_name; }
  const std::string& GetValue() const { return m_value; }
  const std::string& GetCharset() const { return m_charset; }
  void Set(const std::string& name, const std::string& value, const std::string& charset);

  // The value up to the first ';', trailing blanks removed.
  void GetMainValue(std::string& out) const;
  // False (and out emptied) when absent; one pair of enclosing quotes is removed.
  // A parameter written only in RFC 2231 form (name*=charset''%XX, or pieces
  // name*0, name*1, ...) is read too, its charset (if any) put in *charset.
  bool GetParameter(const char* name, std::string& out, std::string* charset = nullptr) const;
  // Written quoted; an existing parameter's value is replaced where it stands.
  void SetParameter(const char* name, const std::string& value);

  // One field from a buffer: the bytes consumed up to and with its final CRLF,
  // 0 when there is no complete field (the header's end, or a truncated field).
  int Parse(const char* start, int room);
  // One field from a stream, its folded lines joined by CRLF: the length read,
  // 0 at the header's end.
  int Load(CTextStream& stream);

  int GetLength() const;
  // 0 when the room cannot take the name and its punctuation.
  int Store(char* out, int room) const;

private:
  // Offset and length of a parameter's value text (quotes included) in m_value.
  bool FindParameter(const char* name, size_t& offset, size_t& length) const;
  bool GetExtendedParameter(const char* name, std::string& out, std::string* charset) const;
  template <typename Visit>
  bool ScanParameters(bool mimeTokens, Visit visit) const;
  void Decode(const char* raw, int length);

  std::string m_name;
  std::string m_value;
  std::string m_charset;
};
