// CMimeMessage: the top-level entity of a stored Internet message. Loading
// from a stream starts at the stream's beginning.
#pragma once

#include "tabs/messages/MimePart.h"

class CMimeMessage : public CMimePart {
public:
  using CMimePart::Load;
  int Load(CTextStream& stream) override;
};
