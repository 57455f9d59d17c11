// CMimeRegistry: the process-wide tables that name the codec of a transfer
// encoding and of a header field, and the part class of a main media type.
// Filled before first use; a codec or part it hands out belongs to the caller.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CMimeCodec;
class CFieldCodec;
class CMimePart;

class CMimeRegistry {
public:
  using CodecFactory = CMimeCodec* (*)();
  using FieldCodecFactory = CFieldCodec* (*)();
  using PartFactory = CMimePart* (*)();

  CMimeRegistry();

  // Registering a name drops every earlier entry of it; a null factory only drops.
  void RegisterCodec(const std::string& encoding, CodecFactory factory);
  void RegisterFieldCodec(const std::string& field, FieldCodecFactory factory);
  void RegisterPart(int mediaType, PartFactory factory);

  // The copy codec for "7bit", "8bit", an unknown or a missing (null) name.
  std::unique_ptr<CMimeCodec> CreateCodec(const char* encoding) const;
  // The plain field codec for a field without one of its own.
  std::unique_ptr<CFieldCodec> CreateFieldCodec(const std::string& field) const;
  // A plain part unless a factory is registered for the media type.
  std::unique_ptr<CMimePart> CreatePart(int mediaType) const;

  const std::string& GetDefaultCharset() const { return m_defaultCharset; }
  void SetDefaultCharset(const std::string& charset) { m_defaultCharset = charset; }

private:
  std::vector<std::pair<std::string, CodecFactory>> m_codecs;
  std::vector<std::pair<std::string, FieldCodecFactory>> m_fieldCodecs;
  std::vector<std::pair<int, PartFactory>> m_parts;
  std::string m_defaultCharset;
};

CMimeRegistry& GetMimeRegistry();
