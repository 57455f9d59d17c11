#include "tabs/messages/tests/MimeFixtures.h"

#include <cstdio>

#include "tabs/messages/tests/MimeTestHelpers.h"

namespace fixtures {

std::string PlainText() {
  return Crlf(
      "Message-ID: <5f1c2b@example.de>\n"
      "Date: Tue, 8 Dec 2026 09:15:00 +0100\n"
      "MIME-Version: 1.0\n"
      "User-Agent: Mozilla/5.0 Thunderbird/115.0\n"
      "From: =?UTF-8?Q?J=C3=BCrgen_M=C3=BCller?= <jm@example.de>\n"
      "To: anna@example.org\n"
      "Subject: Re: Lunch\n"
      "Content-Type: text/plain; charset=UTF-8; format=flowed\n"
      "Content-Transfer-Encoding: 8bit\n"
      "\n"
      "Hi Anna,\n"
      "see you at noon.\n"
      "-- \n"
      "J\xC3\xBCrgen\n");
}

std::string Alternative() {
  return Crlf(
      "From: \"Sales\" <sales@example.com>\n"
      "To: \"Anna\" <anna@example.org>,\n"
      "\tbob@example.org\n"
      "Subject: =?windows-1252?Q?Price_list_=96_2027?=\n"
      "Date: Mon, 7 Dec 2026 16:02:11 +0100\n"
      "MIME-Version: 1.0\n"
      "Content-Type: multipart/alternative;\n"
      "\tboundary=\"----=_NextPart_000_0012_01DB1234.56789AB0\"\n"
      "X-Mailer: Microsoft Outlook 16.0\n"
      "\n"
      "This is a multi-part message in MIME format.\n"
      "\n"
      "------=_NextPart_000_0012_01DB1234.56789AB0\n"
      "Content-Type: text/plain;\n"
      "\tcharset=\"windows-1252\"\n"
      "Content-Transfer-Encoding: quoted-printable\n"
      "\n"
      "Prices =96 see the=\n"
      " attached list.\n"
      "------=_NextPart_000_0012_01DB1234.56789AB0\n"
      "Content-Type: text/html;\n"
      "\tcharset=\"windows-1252\"\n"
      "Content-Transfer-Encoding: quoted-printable\n"
      "\n"
      "<html><body><p class=3D\"x\">Prices =96 see the attached list.</p></body></html>\n"
      "\n"
      "------=_NextPart_000_0012_01DB1234.56789AB0--\n"
      "\n");
}

std::string HtmlOnly() {
  return Crlf(
      "Subject: HTML\n"
      "Content-Type: text/html; charset=us-ascii\n"
      "\n"
      "<html><body><p>Only HTML here</p></body></html>\n");
}

std::string MixedWithAttachments() {
  return Crlf(
      "MIME-Version: 1.0\n"
      "From: Bob <bob@example.com>\n"
      "Date: Wed, 9 Dec 2026 10:00:00 +0000\n"
      "Message-ID: <CAF=abc@mail.example.com>\n"
      "Subject: Files\n"
      "To: anna@example.org\n"
      "Content-Type: multipart/mixed; boundary=\"000000000000a1b2c3d4e5f60718\"\n"
      "\n"
      "--000000000000a1b2c3d4e5f60718\n"
      "Content-Type: multipart/alternative; boundary=\"000000000000a1b2c3d4e5f60716\"\n"
      "\n"
      "--000000000000a1b2c3d4e5f60716\n"
      "Content-Type: text/plain; charset=\"UTF-8\"\n"
      "\n"
      "Two files attached.\n"
      "\n"
      "--000000000000a1b2c3d4e5f60716\n"
      "Content-Type: text/html; charset=\"UTF-8\"\n"
      "\n"
      "<div dir=\"ltr\">Two files attached.</div>\n"
      "\n"
      "--000000000000a1b2c3d4e5f60716--\n"
      "--000000000000a1b2c3d4e5f60718\n"
      "Content-Type: application/pdf; name=\"report.pdf\"\n"
      "Content-Disposition: attachment; filename=\"report.pdf\"\n"
      "Content-Transfer-Encoding: base64\n"
      "Content-ID: <f_abc>\n"
      "X-Attachment-Id: f_abc\n"
      "\n"
      "JVBERi0xLjQgdGVzdA==\n"
      "--000000000000a1b2c3d4e5f60718\n"
      "Content-Type: image/jpeg; name=\"photo.jpg\"\n"
      "Content-Disposition: attachment; filename=\"photo.jpg\"\n"
      "Content-Transfer-Encoding: base64\n"
      "\n"
      "/9j/4EpGSUY=\n"
      "--000000000000a1b2c3d4e5f60718--\n");
}

std::string Nested() {
  return Crlf(
      "From: Carol <carol@example.net>\n"
      "Content-Type: multipart/mixed;\n"
      "\tboundary=\"Apple-Mail=_7F0E6A1C-1111-2222-3333-444455556666\"\n"
      "Subject: Nested\n"
      "Mime-Version: 1.0 (Mac OS X Mail 16.0)\n"
      "Date: Thu, 10 Dec 2026 08:30:00 +0200\n"
      "\n"
      "\n"
      "--Apple-Mail=_7F0E6A1C-1111-2222-3333-444455556666\n"
      "Content-Type: multipart/alternative;\n"
      "\tboundary=\"Apple-Mail=_0AAA1111-2222-3333-4444-555566667777\"\n"
      "\n"
      "\n"
      "--Apple-Mail=_0AAA1111-2222-3333-4444-555566667777\n"
      "Content-Transfer-Encoding: 7bit\n"
      "Content-Type: text/plain;\n"
      "\tcharset=us-ascii\n"
      "\n"
      "The plain side.\n"
      "\n"
      "--Apple-Mail=_0AAA1111-2222-3333-4444-555566667777\n"
      "Content-Transfer-Encoding: quoted-printable\n"
      "Content-Type: text/html;\n"
      "\tcharset=us-ascii\n"
      "\n"
      "<html><head><meta http-equiv=3D\"Content-Type\" content=3D\"text/html; =\n"
      "charset=3Dus-ascii\"></head><body>The html side.</body></html>\n"
      "--Apple-Mail=_0AAA1111-2222-3333-4444-555566667777--\n"
      "\n"
      "--Apple-Mail=_7F0E6A1C-1111-2222-3333-444455556666\n"
      "Content-Disposition: inline;\n"
      "\tfilename=diagram.gif\n"
      "Content-Type: image/gif;\n"
      "\tx-unix-mode=0644;\n"
      "\tname=\"diagram.gif\"\n"
      "Content-Transfer-Encoding: base64\n"
      "\n"
      "R0lGODlh\n"
      "--Apple-Mail=_7F0E6A1C-1111-2222-3333-444455556666\n"
      "Content-Type: message/rfc822\n"
      "\n"
      "Subject: forwarded\n"
      "From: dave@example.net\n"
      "\n"
      "Forwarded text.\n"
      "--Apple-Mail=_7F0E6A1C-1111-2222-3333-444455556666--\n");
}

std::string ManyCharsets() {
  return Crlf(
      "From: =?koi8-r?B?6dfBzg==?= <ivan@example.ru>\n"
      "To: someone@example.org\n"
      "Cc: =?iso-8859-1?Q?Fran=E7ois?= <f@example.fr>\n"
      "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=\n"
      "Comments: =?x-made-up?X?text?= stays\n"
      "Content-Type: text/plain; charset=koi8-r\n"
      "Content-Transfer-Encoding: base64\n"
      "\n"
      "8NLJ18XU\n");
}

std::string MissingBoundary() {
  return Crlf(
      "Subject: No boundary\n"
      "Content-Type: multipart/mixed\n"
      "\n"
      "--something\n"
      "Content-Type: text/plain\n"
      "\n"
      "lost\n"
      "--something--\n");
}

std::string MissingCloseDelimiter() {
  return Crlf(
      "Content-Type: multipart/mixed; boundary=\"cut\"\n"
      "\n"
      "--cut\n"
      "Content-Type: text/plain\n"
      "\n"
      "Body before the cut.\n"
      "--cut\n"
      "Content-Type: application/octet-stream; name=\"cut.bin\"\n"
      "Content-Transfer-Encoding: base64\n"
      "\n"
      "YWJj");
}

std::string HeaderWithoutColon() {
  return Crlf(
      "Subject: Colon lost above\n"
      "This line has no colon\n"
      "Content-Type: text/plain\n"
      "\n"
      "Still readable.\n");
}

std::string Base64Garbage() {
  return Crlf(
             "Content-Type: text/plain\n"
             "Content-Transfer-Encoding: base64\n"
             "\n"
             "R29vZCBzdGFydA") +
         std::string("\xFF\0garbage\r\nR29vZA==\r\n", 20);
}

std::string UpperCaseSubtype() {
  return Crlf(
      "Content-Type: text/HTML\n"
      "\n"
      "<p>shouting</p>\n");
}

std::string WrittenByPythonEmail() {
  return Crlf(
      "From: =?utf-8?q?Zo=C3=AB?= Quinn <zoe@example.org>\n"
      "To: =?utf-8?b?w5hkZWfDpXJk?= <ode@example.no>, plain@example.org\n"
      "Subject: =?utf-8?b?R3LDvMOfZSBhdXMgS8O2bG4g4oCTIFJlY2hudW5nIGbDvHIgTcOkcnos?=\n"
      " bitte bis Freitag =?utf-8?q?pr=C3=BCfen_und_zur=C3=BCcksenden?=\n"
      "Date: Wed, 09 Dec 2026 12:00:00 +0000\n"
      "Message-ID: <1@example.org>\n"
      "MIME-Version: 1.0\n"
      "Content-Type: multipart/mixed; boundary=\"===============5533197393644582697==\"\n"
      "\n"
      "--===============5533197393644582697==\n"
      "Content-Type: multipart/alternative;\n"
      " boundary=\"===============1625926731766157131==\"\n"
      "\n"
      "--===============1625926731766157131==\n"
      "Content-Type: text/plain; charset=\"utf-8\"\n"
      "Content-Transfer-Encoding: 8bit\n"
      "\n"
      "Hallo,\n"
      "anbei die Rechnung f\xC3\xBC""r M\xC3\xA4""rz.\n"
      "Gr\xC3\xBC\xC3\x9F""e\n"
      "\n"
      "--===============1625926731766157131==\n"
      "Content-Type: text/html; charset=\"utf-8\"\n"
      "Content-Transfer-Encoding: 7bit\n"
      "MIME-Version: 1.0\n"
      "\n"
      "<p>Hallo,<br>anbei die Rechnung f&uuml;r M&auml;rz.</p>\n"
      "\n"
      "--===============1625926731766157131==--\n"
      "\n"
      "--===============5533197393644582697==\n"
      "Content-Transfer-Encoding: base64\n"
      "Content-Disposition: attachment; filename*=utf-8''Rechnung%20M%C3%A4rz.pdf\n"
      "MIME-Version: 1.0\n"
      "Content-Type: application/pdf; name*=utf-8''Rechnung%20M%C3%A4rz.pdf\n"
      "\n"
      "JVBERi0xLjQgcmVjaG51bmc=\n"
      "\n"
      "--===============5533197393644582697==--\n");
}

std::vector<std::string> All() {
  return {PlainText(),       Alternative(),         HtmlOnly(),           MixedWithAttachments(),
          Nested(),          ManyCharsets(),        MissingBoundary(),    MissingCloseDelimiter(),
          HeaderWithoutColon(), Base64Garbage(),    UpperCaseSubtype(), WrittenByPythonEmail()};
}

std::string HugeHeaderLine(size_t length) {
  return "Subject: " + std::string(length, 'a') + "\r\nX-No-Colon-" + std::string(length, 'b') +
         "\r\nContent-Type: text/plain\r\n\r\nbody\r\n";
}

std::string HugeBoundary(size_t length) {
  const std::string boundary(length, 'a');
  return "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" +
         std::string(length - 1, 'a') + "b\r\n--" + boundary + "\r\nContent-Type: text/plain\r\n\r\nx\r\n--" +
         boundary + "--\r\n";
}

std::string DeepNesting(int levels) {
  std::string out;
  char line[96];
  for (int i = 1; i <= levels; i++) {
    snprintf(line, sizeof line, "Content-Type: multipart/mixed; boundary=b%04d\r\n\r\n--b%04d\r\n", i, i);
    out += line;
  }
  return out + "Content-Type: text/plain\r\n\r\ndeep\r\n";
}

std::string ManyParts(int parts) {
  std::string out = "Content-Type: multipart/mixed; boundary=p\r\n\r\n";
  for (int i = 0; i < parts; i++) out += "--p\r\n\r\n";
  return out + "--p--\r\n";
}

}  // namespace fixtures
