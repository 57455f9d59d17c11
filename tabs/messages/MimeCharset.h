// ConvertMimeText: 8-bit MIME text in a named charset to UTF-16 through the
// platform's multi-language service. A charset the service does not know (or
// none) converts as code page 1252. The caller has initialised COM.
#pragma once

#include <string>

bool ConvertMimeText(const std::string& charset, const char* bytes, int length, std::wstring& out);

// The body charset of the device's default ANSI code page (HKLM "nls" "DefaultACP",
// 1252 when missing) as the multi-language service names it; "us-ascii" when it has no
// name. The device's setting is only read: it belongs to the system.
std::string GetDeviceBodyCharset();
