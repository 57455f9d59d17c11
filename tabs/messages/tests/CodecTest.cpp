#include <gtest/gtest.h>

#include <random>

#include "tabs/messages/Base64Codec.h"
#include "tabs/messages/EncodedWordCodec.h"
#include "tabs/messages/FieldCodec.h"
#include "tabs/messages/MimeRegistry.h"
#include "tabs/messages/QuotedPrintableCodec.h"
#include "tabs/messages/tests/MimeTestHelpers.h"

namespace {

struct CodecCase {
  const char* input;
  std::string expected;
};

TEST(QuotedPrintable, DecodesEscapesSoftBreaksAndBadEscapes) {
  const CodecCase cases[] = {
      {"caf=E9 au lait", "caf\xE9 au lait"},
      // Other programs write the digits in lower case too.
      {"caf=e9 =c3=a9=C3=a9", "caf\xE9 \xC3\xA9\xC3\xA9"},
      {"=a0=A0=aF", "\xA0\xA0\xAF"},
      {"soft=\r\nbreak joins", "softbreak joins"},
      {"trailing  \r\nblank", "trailing  \r\nblank"},
      {"1=3D1", "1=1"},
      {"bad =XY escape", "bad XY escape"},
      {"half =Az", "half Az"},
      {"ends in =4", "ends in "},
      {"ends in =", "ends in "},
      {"", ""},
  };
  for (const CodecCase& c : cases) {
    CQuotedPrintableCodec codec;
    EXPECT_EQ(RunCodec(codec, c.input, false), c.expected) << c.input;
  }
}

TEST(QuotedPrintable, EncodesLongLinesBlanksAndLoneDots) {
  const std::string letters(100, 'a');
  const CodecCase cases[] = {
      {"plain text", "plain text"},
      {"caf\xE9 1=1", "caf=E9 1=3D1"},
      {"space at end \r\nnext", "space at end=20\r\nnext"},
      {"tab at end\t", "tab at end=09"},
      {"line\r\n.\r\nend", "line\r\n=2E\r\nend"},
      {"not.alone\r\n.x", "not.alone\r\n.x"},
      {letters.c_str(), std::string(75, 'a') + "=\r\n" + std::string(25, 'a')},
  };
  for (const CodecCase& c : cases) {
    CQuotedPrintableCodec codec;
    EXPECT_EQ(RunCodec(codec, c.input, true), c.expected) << c.input;
  }
}

TEST(QuotedPrintable, BreaksAfterTheLastBlankOfALongLine) {
  const std::string input = std::string(60, 'a') + " " + std::string(30, 'b');
  CQuotedPrintableCodec codec;
  const std::string encoded = RunCodec(codec, input, true);
  EXPECT_EQ(encoded, std::string(60, 'a') + " =\r\n" + std::string(30, 'b'));
  CQuotedPrintableCodec decoder;
  EXPECT_EQ(RunCodec(decoder, encoded, false), input);
}

TEST(QuotedPrintable, RawBytesModeEscapesLineBreaks) {
  CQuotedPrintableCodec codec;
  codec.SetOption(1);
  EXPECT_EQ(RunCodec(codec, "a\r\nb ", true), "a=0D=0Ab=20");
}

TEST(Base64, DecodesAcrossLineBreaksAndStopsAtTheFirstStrangeByte) {
  const CodecCase cases[] = {
      {"SGVsbG8=", "Hello"},
      {"SGVs\r\nbG8h", "Hello!"},
      {"SGVsbG8gd29y\r\nbGQ=\r\n", "Hello world"},
      {"QQ==", "A"},
      {"QUI=", "AB"},
      {"QQ", "A"},   // a truncated group gives what it completes
      {"Q", ""},
      {"SGVs bG8=", "Hel"},   // a space ends the text
      {"SGVs*garbage*bG8=", "Hel"},
      {"\x80\xFF", ""},
      {"", ""},
  };
  for (const CodecCase& c : cases) {
    CBase64Codec codec;
    EXPECT_EQ(RunCodec(codec, c.input, false), c.expected) << c.input;
  }
}

TEST(Base64, EncodesWithPaddingAndBreaksEveryLineOf76Digits) {
  CBase64Codec codec;
  codec.SetOption(1);
  EXPECT_EQ(RunCodec(codec, "Hello", true), "SGVsbG8=\r\n");
  CBase64Codec unbroken;
  EXPECT_EQ(RunCodec(unbroken, "A", true), "QQ==");
  EXPECT_EQ(RunCodec(unbroken, "", true), "");

  const std::string input(114, 'x');  // exactly two lines of 76 digits
  CBase64Codec lines;
  lines.SetOption(1);
  const std::string encoded = RunCodec(lines, input, true);
  ASSERT_EQ(encoded.size(), 2 * 78u);
  EXPECT_EQ(encoded.substr(76, 2), "\r\n");
  EXPECT_EQ(encoded.substr(154), "\r\n");
  CBase64Codec decoder;
  EXPECT_EQ(RunCodec(decoder, encoded, false), input);
}

struct WordCase {
  const char* input;
  std::string text;
  const char* charset;
  char letter;
};

TEST(EncodedWords, DecodeTable) {
  const WordCase cases[] = {
      {"plain subject", "plain subject", "", 0},
      {"=?iso-8859-1?q?caf=E9?=", "caf\xE9", "iso-8859-1", 'q'},
      {"=?UTF-8?B?w6lsw6h2ZQ==?=", "\xC3\xA9l\xC3\xA8ve", "UTF-8", 'b'},
      {"Re: =?utf-8?Q?caf=C3=A9_noir?= ok", "Re: caf\xC3\xA9 noir ok", "utf-8", 'q'},
      // Adjacent words join; the first word's charset is the one reported.
      {"=?iso-8859-2?Q?a?= \r\n =?utf-8?Q?b?=", "ab", "iso-8859-2", 'q'},
      {"=?us-ascii?Q?a?= b =?us-ascii?Q?c?=", "a b c", "us-ascii", 'q'},
      // Only an escaped underscore stays an underscore.
      {"=?us-ascii?Q?a_b=5Fc?=", "a b_c", "us-ascii", 'q'},
      {"=?x-unknown?X?abc?= rest", "=?x-unknown?X?abc?= rest", "", 0},
      {"=?no-letter?", "=?no-letter?", "", 0},
      {"=?cs?q?", "=?cs?q?", "", 0},
      {"=?cs?q?unclosed", "unclosed", "cs", 'q'},
      // Blanks before something that only looks like a word are kept.
      {"=?cs?q?a?= =?not a word", "a =?not a word", "cs", 'q'},
      {"=?utf-8*en?q?hi?=", "hi", "utf-8", 'q'},
      {"=?koi8-r?B?8NLJ18XU?=", "\xF0\xD2\xC9\xD7\xC5\xD4", "koi8-r", 'b'},
  };
  for (const WordCase& c : cases) {
    CEncodedWordCodec codec;
    EXPECT_EQ(RunCodec(codec, c.input, false), c.text) << c.input;
    EXPECT_EQ(codec.GetCharset(), c.charset) << c.input;
    EXPECT_EQ(codec.GetLetter(), c.letter) << c.input;
  }
}

TEST(EncodedWords, EncodeMakesWordsThatDecodeBack) {
  const std::string long8bit(150, '\xE9');
  struct Case {
    char letter;
    std::string input;
    const char* start;
  } const cases[] = {
      {'B', "caf\xE9", "=?iso-8859-1?B?Y2Fm6Q==?="},
      {'Q', "caf\xE9 a=b?_", "=?iso-8859-1?Q?caf=E9=20a=3Db=3F=5F?="},
      {'B', long8bit, "=?iso-8859-1?B?"},
      {'Q', long8bit, "=?iso-8859-1?Q?=E9"},
  };
  for (const Case& c : cases) {
    CEncodedWordCodec encoder;
    encoder.SetCharset("iso-8859-1");
    encoder.SetLetter(c.letter);
    const std::string encoded = RunCodec(encoder, c.input, true);
    EXPECT_EQ(encoded.compare(0, strlen(c.start), c.start), 0) << encoded;
    // Every word stays within the 75 characters a word may take.
    size_t wordStart = 0;
    while (wordStart < encoded.size()) {
      size_t wordEnd = encoded.find(' ', wordStart);
      if (wordEnd == std::string::npos) wordEnd = encoded.size();
      EXPECT_LE(wordEnd - wordStart, 75u) << encoded;
      wordStart = wordEnd + 1;
    }
    CEncodedWordCodec decoder;
    EXPECT_EQ(RunCodec(decoder, encoded, false), c.input);
  }
  CEncodedWordCodec noCharset;
  EXPECT_EQ(RunCodec(noCharset, "caf\xE9", true), "caf\xE9");
}

TEST(FieldCodecs, EncodeOnlyTheSegmentsWith8BitBytes) {
  struct Case {
    std::unique_ptr<CFieldCodec> codec;
    std::string value;
    std::string expected;
  };
  Case cases[] = {
      {std::make_unique<CAddressFieldCodec>(), "Ren\xE9 <rene@example.org>, bob@example.org",
       "=?iso-8859-1?Q?Ren=E9?= <rene@example.org>,\r\n\tbob@example.org"},
      {std::make_unique<CTextFieldCodec>(), "caf\xE9 au lait, noir",
       "=?iso-8859-1?Q?caf=E9=20au=20lait,=20noir?="},
      {std::make_unique<CParamFieldCodec>(), "text/plain; charset=us-ascii",
       "text/plain;\r\n\tcharset=us-ascii"},
      {std::make_unique<CFieldCodec>(), "\xE9\xE9\xE9\xE9 x", "=?iso-8859-1?B?6enp6Q==?= x"},
      // A 0xFF byte is text like any other in an unstructured field.
      {std::make_unique<CTextFieldCodec>(), "\xFF" "a", "=?iso-8859-1?Q?=FFa?="},
  };
  for (Case& c : cases) {
    c.codec->SetCharset("iso-8859-1");
    EXPECT_EQ(RunCodec(*c.codec, c.value, true), c.expected) << c.value;
  }
  CAddressFieldCodec noCharset;
  EXPECT_EQ(RunCodec(noCharset, "Ren\xE9 <r@x>, b@x", true), "Ren\xE9 <r@x>, b@x");
}

TEST(FieldCodecs, UseTheRegistryDefaultCharsetWhenTheFieldHasNone) {
  GetMimeRegistry().SetDefaultCharset("utf-8");
  CTextFieldCodec codec;
  const std::string encoded = RunCodec(codec, "\xC3\xA9t\xC3\xA9", true);
  GetMimeRegistry().SetDefaultCharset("");
  EXPECT_EQ(encoded, "=?utf-8?B?w6l0w6k=?=");
}

// Every codec, both ways, over random bytes: never more than announced, never
// past the room, and the transfer encodings give back what they took.
TEST(Codecs, RandomInputsStayWithinTheirEstimatesAndRoundTrip) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 400; round++) {
    std::string input(random() % 300, '\0');
    const bool textLike = round % 2 == 0;
    for (char& c : input) {
      c = static_cast<char>(textLike ? " aZ=.\r\n\t?_\xE9"[random() % 12] : random());
    }
    CQuotedPrintableCodec qp;
    qp.SetOption(textLike ? 0 : 1);
    const std::string qpText = RunCodec(qp, input, true);
    CQuotedPrintableCodec qpBack;
    EXPECT_EQ(RunCodec(qpBack, qpText, false), input);
    CBase64Codec b64;
    b64.SetOption(1);
    const std::string b64Text = RunCodec(b64, input, true);
    CBase64Codec b64Back;
    EXPECT_EQ(RunCodec(b64Back, b64Text, false), input);
    for (char letter : {'B', 'Q'}) {
      CEncodedWordCodec words;
      words.SetCharset("windows-1252");
      words.SetLetter(letter);
      RunCodec(words, input, true);
      CEncodedWordCodec decode;
      RunCodec(decode, input, false);
    }
    CAddressFieldCodec address;
    address.SetCharset("utf-8");
    RunCodec(address, input, true);
    CTextFieldCodec text;
    text.SetCharset("utf-8");
    RunCodec(text, input, true);
  }
}

}  // namespace
