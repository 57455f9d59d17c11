#include "tabs/messages/MailBody.h"

#include <string>

#include "tabs/messages/DisplayPart.h"
#include "tabs/messages/HtmlToText.h"
#include "tabs/messages/MimeCharset.h"
#include "tabs/messages/MimeMessage.h"
#include "tabs/messages/TextStream.h"

BOOL ReadMimeBody(IStream* stream, CString& body, BOOL* html) {
  body.Empty();
  if (html) *html = FALSE;
  if (!stream) return FALSE;
  CMimeMessage message;
  {
    CTextStream text(stream, true);
    message.Load(text);
  }
  const CMimePart* part = FindDisplayPart(message);
  if (!part) return FALSE;
  std::string charset = part->GetFieldParameter("Content-Type", "charset");
  if (charset.empty()) charset = GetDeviceBodyCharset();
  std::wstring converted;
  if (!ConvertMimeText(charset, part->GetContentData(), part->GetContentLength(), converted)) return FALSE;
  std::string subtype;
  part->GetSubType(subtype);
  if (html) *html = subtype == "html";
  body = converted.c_str();
  return !body.IsEmpty();
}

namespace {

bool IsBreakOrBlank(wchar_t c) { return c == L'\r' || c == L'\n' || c == L' '; }

}  // namespace

CString NormaliseMailBody(LPCWSTR text, BOOL html) {
  std::wstring source = text ? text : L"";
  if (html) source = HtmlToText(source);
  std::wstring out;
  size_t pos = 0;
  while (pos < source.size() && IsBreakOrBlank(source[pos])) ++pos;
  for (;;) {
    const size_t lineEnd = source.find(L"\r\n", pos);
    if (lineEnd == std::wstring::npos) {
      size_t end = source.size();
      while (end > pos && IsBreakOrBlank(source[end - 1])) --end;
      out.append(source, pos, end - pos);
      break;
    }
    size_t end = lineEnd;
    while (end > pos && iswspace(source[end - 1])) --end;
    if (end > pos) {
      out.append(source, pos, end - pos);
      out += L"\r\n";
    }
    pos = lineEnd + 2;
    const size_t run = pos;
    while (pos < source.size() && IsBreakOrBlank(source[pos])) ++pos;
    if (source.substr(run, pos - run).find(L"\r\n") != std::wstring::npos) out += L"\r\n";
  }
  return CString(out.c_str());
}
