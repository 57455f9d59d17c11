// HtmlToText: an HTML body reduced to its text runs for the mail preview. Tags,
// comments, the title, scripts and styles are dropped; each run of text ends
// with CRLF. Entities stay as written.
#pragma once

#include <string>

std::wstring HtmlToText(const std::wstring& html);
