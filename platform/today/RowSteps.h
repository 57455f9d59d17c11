// The script steps that read an item's rows instead of its pixels: "rows FILE" has the
// items write their rows (platform/today/RowDumpRequest.h) and "taprow DX TEXT" taps
// the row showing that text, DX pixels from its left edge (negative: from its right);
// "holdrow DX TEXT" holds it there.
#pragma once
#include <windows.h>

#include <string>

#include "platform/today/TodayScript.h"

class CTodayHost;

// A "taprow" ("holdrow") step becomes the tap (hold) at the row's place now (screen point relative to the
// frame, as a tap step gives it); other steps are left as they are. False with the
// reason when no shown row has the text.
bool ResolveRowStep(CTodayHost& host, CTodayScript::Step& step, std::wstring& why);

// Asks each item in turn to write its rows to path; false when none did.
bool WriteItemRows(CTodayHost& host, const std::wstring& path);

// In a row dump, the place (screen coordinates) of the first row or group header that
// is shown (neither hidden nor scrolled out) and holds text in one of its quoted
// texts. False when there is none; any bytes are read safely.
bool FindShownRow(const std::wstring& dump, const std::wstring& text, RECT& place);

// The dump read back from a UTF-8 file; empty when it cannot be read.
std::wstring ReadRowDump(const std::wstring& path);
