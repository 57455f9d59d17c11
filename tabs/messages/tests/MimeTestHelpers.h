// What the MIME tests share: streams over test bytes, running a codec, and a
// message loaded both ways (buffer and stream) for the same assertions.
#pragma once

#include <objidl.h>

#include <string>

#include "tabs/messages/MimeCodec.h"
#include "tabs/messages/MimeMessage.h"

// A new stream (one reference) holding a copy of the bytes.
IStream* MakeTestStream(const std::string& bytes);

// Runs a codec over input with an output of its own length estimate; fails the
// test when the codec writes more than it announced.
std::string RunCodec(CMimeCodec& codec, const std::string& input, bool encode);

// "\n" written in a test's text as the CRLF mail uses.
std::string Crlf(const std::string& text);

struct LoadedMessage {
  CMimeMessage fromBuffer;
  CMimeMessage fromStream;
  int bufferResult = 0;
  int streamResult = 0;
};

void LoadBothWays(const std::string& bytes, LoadedMessage& loaded);
