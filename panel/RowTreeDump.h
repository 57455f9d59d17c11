// The panel's rows as plain text, for the scripted tour and the device tests, which
// check what the panel shows without reading pixels. One line a row, indented two
// spaces a level:
//   tab 2 Tasks
//   group 553 open at 0 40 240 56 "Today" " (3)"
//     row 503 icons 4,12 at 0 56 240 70 "Call the dentist" "16/03"
// A group line tells its fold state ("open" or "folded") and its header's place; a row
// line its kind, the skin icons it draws and its texts in drawing order. Places are in
// screen coordinates; a row under a folded group is "hidden", one scrolled out of the
// list "offscreen" after its place. Texts are quoted, with \" \\ \n \t \r escaped.
// Asked for by the Today screen stand-in's request (platform/today/RowDumpRequest.h).
#pragma once
#include <windows.h>

#include <string>

class CTodayPanel;

// The dump of the panel's current tab.
std::wstring DumpPanelRows(CTodayPanel& panel);

// The path a row-dump request names, checked: the tag, a size that is a whole number
// of UTF-16 units within the longest path, no character below a space inside it
// (a terminator may end it). False for anything else.
BOOL ReadRowDumpPath(const COPYDATASTRUCT* data, std::wstring& path);

// A WM_COPYDATA the panel's window got: TRUE when it was a row-dump request, with
// result 1 once the file was written (UTF-8), else 0. A request from another thread
// (another program) is refused.
BOOL HandleRowDumpRequest(CTodayPanel& panel, LPARAM lParam, LRESULT& result);
