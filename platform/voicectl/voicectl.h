// The voice recorder control ("voicectl.dll"): a small popup that records and plays
// one sound file. Here it keeps what it was asked and shows an empty window; nothing
// is recorded or played.
#pragma once
#include <windows.h>

#ifdef TARVO_BUILDING_VOICECTL
#define VOICECTL_API extern "C"
#else
#define VOICECTL_API extern "C" __declspec(dllimport)
#endif

// The device's record is 28 bytes with 32-bit pointers; cb must be sizeof of ours.
struct CM_VOICE_RECORDER {
  WORD cb;
  DWORD dwStyle;
  int xPos, yPos;  // screen position; negative: centred on the owner (or the screen)
  HWND hwndParent;  // the owner: the control is a popup
  int id;
  LPWSTR lpszRecordFileName;
};
typedef CM_VOICE_RECORDER* LPCM_VOICE_RECORDER;

constexpr DWORD VRS_NO_OKCANCEL = 0x0001;
constexpr DWORD VRS_NO_NOTIFY = 0x0002;
constexpr DWORD VRS_MODAL = 0x0004;  // no modal loop here: the call returns at once
constexpr DWORD VRS_NO_OK = 0x0008;
constexpr DWORD VRS_NO_RECORD = 0x0010;
constexpr DWORD VRS_PLAY_MODE = 0x0020;
constexpr DWORD VRS_NO_MOVE = 0x0040;
constexpr DWORD VRS_RECORD_MODE = 0x0080;
constexpr DWORD VRS_STOP_DISMISS = 0x0100;

// The control's popup window class.
#define VOICERECORDER_CLASSNAME L"VoiceRecorder"

// The control's window, or null (ERROR_INVALID_PARAMETER for a record of another size).
VOICECTL_API HWND WINAPI VoiceRecorder_Create(LPCM_VOICE_RECORDER record);

// What a test reads in place of listening: the last call's record, the file name
// copied, and the window it made (null when the call failed).
struct VoiceRecorderCall {
  DWORD dwStyle;
  int xPos, yPos;
  HWND hwndParent;
  int id;
  WCHAR fileName[MAX_PATH];  // empty when none was given
  HWND window;
};
// FALSE until the first call.
VOICECTL_API BOOL WINAPI VoiceRecorderTestLastCall(VoiceRecorderCall* call);
