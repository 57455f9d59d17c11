// Seeded mutations of the fixture messages through both loaders and back
// through the store: any bytes must give a result, never a crash, a hang or a
// write past the room. A failure names its seed and round so it repeats.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "platform/tests/ByteMutator.h"
#include "tabs/messages/DisplayPart.h"
#include "tabs/messages/HtmlToText.h"
#include "tabs/messages/MimeCharset.h"
#include "tabs/messages/tests/MimeFixtures.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

namespace {

const unsigned kSeed = 0x4D494D45;
const int kRounds = 3000;
const size_t kMaxSize = 64 * 1024;

const char* const kTokens[] = {
    "\r\n", "\r\n\r\n", "\r", "\n", "--", "=?", "?=", "=?utf-8?B?", "=?iso-8859-1?Q?", "=", "==",
    ":", ";", "\"", " ", "\t", "\r\n ", "", "\xFF", "boundary=", "name=",
    "Content-Type: multipart/mixed; boundary=\"", "Content-Transfer-Encoding: base64\r\n",
    "Content-Transfer-Encoding: quoted-printable\r\n", "multipart/", "message/rfc822",
    "--000000000000a1b2c3d4e5f60718", "------=_NextPart_000_0012_01DB1234.56789AB0--", "--cut\r\n",
};

// The tokens, plus the characters the header and body syntax turns on, as the
// mutator's new pieces; an empty token stands for a NUL byte.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = [] {
    std::vector<std::string> all = fixtures::ByteMutator::EachUnit(std::string("\r\n-=:; \"?"));
    for (const char* token : kTokens) all.push_back(token[0] ? token : std::string(1, '\0'));
    return all;
  }();
  return pieces;
}

// Up to eight edits; a repeated slice of up to 512 bytes brings nesting and
// boundaries back in new places.
std::string Mutate(const std::string& bytes, fixtures::ByteMutator& mutator) {
  std::string mutated = mutator.Edit(bytes, 8, Pieces(), 512);
  if (mutated.size() > kMaxSize) mutated.resize(kMaxSize);
  return mutated;
}

// What the preview does with a loaded message, plus a store into exactly the
// room GetLength announced.
void Exercise(const CMimeMessage& message) {
  std::vector<const CMimePart*> parts;
  message.GetLeafParts(parts);
  message.GetAttachments(parts);
  for (const CMimePart* part : parts) {
    std::string sub;
    part->GetSubType(sub);
    part->GetFieldParameter("Content-Type", "charset");
  }
  if (const CMimePart* display = FindDisplayPart(message)) {
    const std::string text = display->GetContentData();
    HtmlToText(std::wstring(text.begin(), text.end()));
  }
  const int length = message.GetLength();
  ASSERT_GE(length, 0);
  std::string stored(static_cast<size_t>(length) + 16, '\x5A');
  const int written = message.Store(&stored[0], length);
  ASSERT_LE(written, length);
  ASSERT_EQ(stored.substr(length), std::string(16, '\x5A'));
  if (written > 0) {
    CMimeMessage again;
    again.Load(stored.data(), stored.data() + written);
  }
}

TEST(MimeFuzz, MutatedMessagesLoadStoreAndReload) {
  fixtures::ByteMutator mutator(kSeed);
  const std::vector<std::string> seeds = fixtures::All();
  for (int round = 0; round < kRounds; round++) {
    SCOPED_TRACE("seed " + std::to_string(kSeed) + " round " + std::to_string(round));
    const std::string bytes = Mutate(seeds[round % seeds.size()], mutator);
    LoadedMessage loaded;
    LoadBothWays(bytes, loaded);
    Exercise(loaded.fromBuffer);
    Exercise(loaded.fromStream);
    if (HasFatalFailure()) return;
  }
}

TEST(MimeFuzz, RandomMarkupReducesToText) {
  std::mt19937 random(kSeed);
  const wchar_t pieces[][12] = {L"<", L">", L"<!--", L"-->", L"<script", L"</script>", L"<title>",
                                L"</TITLE>", L"<style>", L"&amp;", L" ", L"\r\n", L"text", L"\u00E9"};
  for (int round = 0; round < 2000; round++) {
    std::wstring html;
    const int count = random() % 40;
    for (int i = 0; i < count; i++) html += pieces[random() % (sizeof pieces / sizeof pieces[0])];
    const std::wstring text = HtmlToText(html);
    // Every text run is followed by CRLF; nothing but text and CRLF comes out.
    EXPECT_EQ(text.find(L'<'), std::wstring::npos) << round;
  }
}

TEST(MimeFuzz, ConversionTakesAnyBytesInAnyCharset) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  std::mt19937 random(kSeed);
  const char* const charsets[] = {"utf-8", "ISO-2022-JP", "koi8-r", "windows-1252", "x-unknown", "",
                                  "utf-7", "\xFF\xFE", "iso-8859-1'en'"};
  for (int round = 0; round < 300; round++) {
    std::string bytes(random() % 200, '\0');
    for (char& c : bytes) c = static_cast<char>(round % 3 == 0 ? "\x1B$B(\xC3\xA9+-"[random() % 10] : random());
    std::wstring text;
    ConvertMimeText(charsets[round % (sizeof charsets / sizeof charsets[0])], bytes.data(),
                    static_cast<int>(bytes.size()), text);
  }
  CoUninitialize();
}

}  // namespace
