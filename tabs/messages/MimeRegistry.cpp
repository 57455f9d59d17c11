#include "tabs/messages/MimeRegistry.h"

#include <algorithm>

#include "tabs/messages/Base64Codec.h"
#include "tabs/messages/FieldCodec.h"
#include "tabs/messages/MimeChars.h"
#include "tabs/messages/MimePart.h"
#include "tabs/messages/QuotedPrintableCodec.h"

namespace {

template <typename Factory>
void Register(std::vector<std::pair<std::string, Factory>>& list, const std::string& name,
              Factory factory) {
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const auto& entry) { return mime::EqualNoCase(entry.first, name); }),
             list.end());
  if (factory) list.emplace_back(name, factory);
}

template <typename Factory>
Factory Lookup(const std::vector<std::pair<std::string, Factory>>& list, const std::string& name) {
  for (const auto& entry : list) {
    if (mime::EqualNoCase(entry.first, name)) return entry.second;
  }
  return nullptr;
}

CMimeCodec* NewQuotedPrintable() { return new CQuotedPrintableCodec; }
CMimeCodec* NewBase64() {
  CMimeCodec* codec = new CBase64Codec;
  codec->SetOption(1);
  return codec;
}
CFieldCodec* NewTextField() { return new CTextFieldCodec; }
CFieldCodec* NewAddressField() { return new CAddressFieldCodec; }
CFieldCodec* NewParamField() { return new CParamFieldCodec; }

}  // namespace

CMimeRegistry::CMimeRegistry() {
  RegisterCodec("quoted-printable", NewQuotedPrintable);
  RegisterCodec("base64", NewBase64);
  for (const char* name : {"Subject", "Comments", "Content-Description"}) {
    RegisterFieldCodec(name, NewTextField);
  }
  for (const char* name : {"From", "To", "Resent-To", "Cc", "Resent-Cc", "Bcc", "Resent-Bcc",
                           "Reply-To", "Resent-Reply-To"}) {
    RegisterFieldCodec(name, NewAddressField);
  }
  for (const char* name : {"Content-Type", "Content-Disposition"}) {
    RegisterFieldCodec(name, NewParamField);
  }
}

void CMimeRegistry::RegisterCodec(const std::string& encoding, CodecFactory factory) {
  Register(m_codecs, encoding, factory);
}

void CMimeRegistry::RegisterFieldCodec(const std::string& field, FieldCodecFactory factory) {
  Register(m_fieldCodecs, field, factory);
}

void CMimeRegistry::RegisterPart(int mediaType, PartFactory factory) {
  m_parts.erase(std::remove_if(m_parts.begin(), m_parts.end(),
                               [&](const auto& entry) { return entry.first == mediaType; }),
                m_parts.end());
  if (factory) m_parts.emplace_back(mediaType, factory);
}

std::unique_ptr<CMimeCodec> CMimeRegistry::CreateCodec(const char* encoding) const {
  // Real mail pads the encoding's name with blanks now and then.
  std::string name = encoding ? encoding : "";
  while (!name.empty() && mime::IsSpace(name.back())) name.pop_back();
  if (CodecFactory factory = Lookup(m_codecs, name)) return std::unique_ptr<CMimeCodec>(factory());
  return std::make_unique<CMimeCodec>();
}

std::unique_ptr<CFieldCodec> CMimeRegistry::CreateFieldCodec(const std::string& field) const {
  if (FieldCodecFactory factory = Lookup(m_fieldCodecs, field)) {
    return std::unique_ptr<CFieldCodec>(factory());
  }
  return std::make_unique<CFieldCodec>();
}

std::unique_ptr<CMimePart> CMimeRegistry::CreatePart(int mediaType) const {
  for (const auto& entry : m_parts) {
    if (entry.first == mediaType) return std::unique_ptr<CMimePart>(entry.second());
  }
  return std::make_unique<CMimePart>();
}

CMimeRegistry& GetMimeRegistry() {
  static CMimeRegistry registry;
  return registry;
}
