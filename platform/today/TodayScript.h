// CTodayScript: steps a person or a test writes to drive the Today screen without
// a display, one a line:
//   tap X Y              a tap at a point of the screen, on the window shown there (a
//                        popup over the screen, else the screen), which is brought to
//                        the front first unless it answers not to, as on the device
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
// Steps that answer a popup menu or a dialog a step before opened (its modal loop
// keeps that step running; these go on from inside it, in order):
//   menu TEXT | menu #ID the entry of the open popup menu with that text (without its
//                        & marks and shortcut) or command id, in a submenu too
//   field ID VALUE       sets a control of the open dialog as a person would: an edit
//                        field's text; a date/time picker's date (YYYY-MM-DD), time
//                        (HH:MM[:SS]) or both, its owner told of the change
//   press ok|cancel|yes|no|ID   presses a button of the open dialog (or the title
//                        bar's OK)
// Blank lines and lines starting with # are skipped. While the steps run, a dialog
// that opens (a message box) is answered with its default button and logged, unless
// the next step is a field or press step: then those answer it.
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
    Quit,
    Menu, Field, Press,
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

  // How long a menu, field or press step waits for its menu or dialog to open.
  void SetAnswerTimeout(DWORD ms) { answerTimeoutMs_ = ms; }

 private:
  std::vector<Step> steps_;
  DWORD answerTimeoutMs_ = 20000;
};

// The button a script answers a dialog with, as Enter would press it: its shown
// default push button; IDCANCEL when it shows none.
WORD DefaultButtonOf(HWND dialog);

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(DWORD ms);
// Dispatches what is queued now.
void PumpPendingMessages();
