#include "tabs/messages/MimeMessage.h"

#include "tabs/messages/TextStream.h"

int CMimeMessage::Load(CTextStream& stream) {
  if (!stream.SeekToBegin(0)) return 0;
  return CMimePart::Load(stream);
}
