// CTodayScript: steps a person or a test writes to drive the Today screen without
// a display, one a line:
//   tap X Y              a tap at a point of the screen
//   hold X Y [MS]        tap and hold (default 1000 ms)
//   key NAME|NUMBER      a key press (up, down, left, right, enter, escape, space, tab, f1..f12)
//   wait MS              run the screen for a while (timers fire)
//   post NAME [W [L]]    post a registered message by name to every item window
//   options N            run the options dialog of the N-th item (from 1)
//   screenshot FILE.png  the screen as drawn
//   reload               what the setting-change broadcast does
//   rotate               turn the screen (portrait <-> landscape), as the device does
//   rows FILE            the items' rows as text (see RowSteps.h)
//   taprow DX TEXT       a tap on the shown row with that text, DX from its left (<0: right)
//   holdrow DX TEXT      the same, held (as hold, 1000 ms)
//   quit                 stop here
// Blank lines and lines starting with # are skipped. While the steps run, a dialog
// that opens (a message box) is answered with its default button and logged.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

class CTodayHost;

class CTodayScript {
 public:
  enum class Kind {
    Tap, Hold, Key, Wait, Post, Options, Screenshot, Reload, Rotate,
    // Steps that read the items' rows.
    Rows, TapRow, HoldRow,
    Quit
  };
  struct Step {
    Kind kind;
    int line;
    long a, b;
    std::wstring text;
  };

  // False with the line and the reason in error; nothing is kept then.
  bool Parse(const std::wstring& text, std::wstring& error);
  bool Load(const std::wstring& path, std::wstring& error);
  const std::vector<Step>& Steps() const { return steps_; }

  // Runs every step; false at the first that fails (its reason in error).
  bool Run(CTodayHost& host, std::wstring& error) const;

 private:
  std::vector<Step> steps_;
};

// The button a script answers a dialog with, as Enter would press it: its shown
// default push button; IDCANCEL when it shows none.
WORD DefaultButtonOf(HWND dialog);

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(DWORD ms);
// Dispatches what is queued now.
void PumpPendingMessages();
