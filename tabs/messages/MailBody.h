// The text the mail preview shows: the display part of a stored MIME message converted
// to UTF-16, and a body tidied for a small screen.
#pragma once
#include <windows.h>
#include <objidl.h>

#include "platform/windowlib/String.h"

// Loads the message from the stream (from its beginning) and appends nothing: body
// becomes the first non-empty text/plain or text/html leaf in its charset (the part's
// "charset", else the device's), empty when there is none or it does not convert.
// html is set for a text/html part. The caller has initialised COM.
BOOL ReadMimeBody(IStream* stream, CString& body, BOOL* html);

// HTML reduced to text first; then leading line breaks and blanks dropped, every line
// without its indentation and trailing blanks, runs of empty lines made one, nothing
// after the last line.
CString NormaliseMailBody(LPCWSTR text, BOOL html);
