// What a script does inside a popup menu or a dialog that a step opened: the menu and
// the dialog run their own modal loops on the screen's thread, so these are called
// from there (a timer of the script) and act as a person would, by keys and controls.
#pragma once
#include <windows.h>

#include <string>

namespace scriptanswers {

// Absent: nothing it could answer is open yet.
enum class Outcome { Absent, Waiting, Done, Failed };

// Which menu entry a step wants: its text (without & marks and shortcut, any case) or
// its command id.
struct MenuEntry {
  std::wstring text;
  UINT id = 0;
  bool byId = false;
  std::wstring Name() const;
};

// One move towards the entry in this thread's open popup menu: a key that moves the
// highlight, opens the submenu on the way or, once there, chooses it (Done). Absent
// while no menu is open; Waiting while the last key has not been taken yet. Failed (the
// menu closed) when the menu has no such entry or it is greyed.
Outcome AdvanceMenu(const MenuEntry& entry, std::wstring& note, std::wstring& error);
// Closes every popup menu of this thread.
void DismissMenus();

// The dialog a person would be answering on this thread: the active one, else the
// topmost shown and enabled one; null when none is open.
HWND OpenDialog();

// A picker's new value from "YYYY-MM-DD", "HH:MM[:SS]" or both (date first): only the
// parts given change. False for any other text or an impossible date or time.
bool ParsePickerValue(const std::wstring& text, SYSTEMTIME& value);

// Sets control id of the dialog as typing or picking would, its owner told.
bool SetField(HWND dialog, int id, const std::wstring& value, std::wstring& error);

// Presses the dialog's button id (a title bar's OK has no window: the command is sent
// all the same).
void PressButton(HWND dialog, int id);

}  // namespace scriptanswers
