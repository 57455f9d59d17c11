#include "tabs/messages/MimeCodec.h"

#include <algorithm>
#include <cstring>

void CMimeCodec::SetInput(const char* input, int length, bool encode) {
  m_input = input;
  m_length = (input && length > 0) ? length : 0;
  m_encode = encode ? 1 : 0;
}

int CMimeCodec::GetEncodedLength() { return m_length; }
int CMimeCodec::GetDecodedLength() { return m_length; }

int CMimeCodec::Encode(char* out, int room) {
  const int n = std::max(0, std::min(m_length, room));
  if (n) memcpy(out, m_input, n);
  return n;
}

int CMimeCodec::Decode(char* out, int room) { return Encode(out, room); }
