// What every options page shares: the caption strip at its top, help at a topic, and
// the list and combo box items a page template brings in its initialisation data.
#pragma once
#include <windows.h>

#include "controls/WindowUtils.h"

// The caption strip of a page: the dialogs' caption bar, h high at vertical offset o
// (minus the page's scroll position); nothing when h + o < 1.
inline void DrawPageHeader(HDC dc, LPCWSTR text, int height, int offset) {
  DrawCaptionBar(dc, text, height, offset);
}
// The strip's height: 23 logical pixels.
int GetPageHeaderHeight();

// The help viewer at "QelTarvo.htm#topic" ("Main_Contents" for none), through the
// program launcher tests replace.
inline BOOL ShowHelpTopic(LPCWSTR topic) { return ShowHelp(topic); }

// The items of dialog's list and combo boxes from the resource of type 240 with the
// template's id in the resource instance. Records: u16 control (0 ends), u16 message
// (0x0401 and 0x0180 add to a list box, 0x0403 and 0x0143 to a combo box, anything
// else is passed over), u32 length, then that many bytes of UTF-16 text. TRUE when
// every item was taken (also for id 0 or no such resource); FALSE when the data runs
// past its end, cannot be loaded, or a box refused an item (filling stops there).
BOOL LoadTranslatedDialogTexts(HWND dialog, UINT templateId);
// The same over data already in memory.
BOOL FillDialogFromInitData(HWND dialog, const BYTE* data, DWORD size);
