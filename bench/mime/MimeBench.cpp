// Parsing a 1 MB message with a base64 attachment, from a buffer and from a
// stream, against a plain copy of the same bytes measured in the same run.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/MemoryStream.h"
#include "bench/BenchClock.h"
#include "tabs/messages/Base64Codec.h"
#include "tabs/messages/MimeMessage.h"
#include "tabs/messages/TextStream.h"

namespace {

// Parsing does a table lookup and a shift per byte where the copy moves
// whole words; past this the parser has grown a slow path.
const double kLimit = 150.0;

std::string BuildMessage(size_t attachmentSize) {
  std::string attachment(attachmentSize, '\0');
  unsigned state = 12345;
  for (char& c : attachment) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  const int room = CBase64Codec::EncodedLength(static_cast<int>(attachment.size()), true);
  std::string encoded(room, '\0');
  encoded.resize(CBase64Codec::EncodeBytes(attachment.data(), static_cast<int>(attachment.size()), true,
                                           &encoded[0], room));
  return "From: Bench <bench@example.org>\r\n"
         "To: reader@example.org\r\n"
         "Subject: =?utf-8?Q?Quarterly_figures_=E2=80=93_attached?=\r\n"
         "MIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=\"000000000000bench0000000001\"\r\n"
         "\r\n"
         "--000000000000bench0000000001\r\n"
         "Content-Type: text/plain; charset=\"UTF-8\"\r\n"
         "\r\n"
         "The figures are attached.\r\n"
         "\r\n"
         "--000000000000bench0000000001\r\n"
         "Content-Type: application/octet-stream; name=\"figures.bin\"\r\n"
         "Content-Disposition: attachment; filename=\"figures.bin\"\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "\r\n" +
         encoded + "--000000000000bench0000000001--\r\n";
}

}  // namespace

int main() {
  const std::string message = BuildMessage(750 * 1024);
  std::vector<char> copy(message.size());
  size_t sink = 0;

  const double copySeconds = bench::SecondsPerRun([&] {
    memcpy(copy.data(), message.data(), message.size());
    sink += static_cast<unsigned char>(copy[copy.size() / 2]);
  });
  const double bufferSeconds = bench::SecondsPerRun([&] {
    CMimeMessage parsed;
    parsed.Load(message.data(), message.data() + message.size());
    sink += parsed.GetChildren().size();
  });
  const double streamSeconds = bench::SecondsPerRun([&] {
    BYTE* block = new BYTE[message.size()];
    memcpy(block, message.data(), message.size());
    IStream* stream = nullptr;
    if (FAILED(CreateMemoryStream(&stream, block, static_cast<ULONG>(message.size())))) return;
    CTextStream text(stream, true);
    stream->Release();
    CMimeMessage parsed;
    parsed.Load(text);
    sink += parsed.GetChildren().size();
  });

  const double ratio = bufferSeconds / copySeconds;
  printf("message: %u bytes, base64 attachment of %u bytes\n", static_cast<unsigned>(message.size()), 750u * 1024);
  printf("plain copy of the bytes:      %10.1f us\n", copySeconds * 1e6);
  printf("parse from a buffer:          %10.1f us  (ratio %.1f, limit %.1f)\n", bufferSeconds * 1e6, ratio,
         kLimit);
  printf("parse from a stream (+copy):  %10.1f us  (ratio %.1f)\n", streamSeconds * 1e6,
         streamSeconds / copySeconds);
  printf("(%u)\n", static_cast<unsigned>(sink & 1));
  return ratio > kLimit ? 1 : 0;
}
