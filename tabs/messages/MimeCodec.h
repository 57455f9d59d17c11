// CMimeCodec: the byte codec interface of the MIME parser, and the copy codec
// that "7bit", "8bit" and every unknown transfer encoding use. A codec works on
// the caller's input and writes into the caller's buffer; it never writes past
// the room given and a length operation never answers less than Process writes.
#pragma once

class CMimeCodec {
public:
  virtual ~CMimeCodec() = default;

  // The input is not copied: it must outlive the codec's use.
  void SetInput(const char* input, int length, bool encode);
  void SetOption(unsigned char option) { m_option = option; }

  virtual int GetEncodedLength();
  virtual int GetDecodedLength();
  virtual int Encode(char* out, int room);
  virtual int Decode(char* out, int room);

  int GetOutputLength() { return m_encode ? GetEncodedLength() : GetDecodedLength(); }
  int Process(char* out, int room) { return m_encode ? Encode(out, room) : Decode(out, room); }

protected:
  const char* m_input = nullptr;
  int m_length = 0;
  unsigned char m_encode = 0;
  // Raw-bytes mode for quoted-printable, line breaking for base64.
  unsigned char m_option = 0;
};
