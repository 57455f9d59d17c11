// The size text of a note row by its kind: a voice note's length ("3.45S", "1.50M"),
// any other note's size in bytes ("500B", "20.9K"); base's FormatSizeText makes both.
#pragma once
#include <windows.h>

#include "platform/windowlib/String.h"
#include "tabs/notes/NoteFile.h"

const int kVoiceNoteKind = NOTE_TYPE_VOICE;

// The text for a note of the kind, its size in bytes and, for a voice note, its length
// in milliseconds; separator null takes the locale's.
CString FormatNoteSize(int kind, DWORD bytes, DWORD milliseconds, LPCWSTR separator = nullptr);
