// The device's Notes program as a stand-in: started to make a new note ("-n"), it
// records one: the voice recorder, in record mode, writes "Recording<n>.wav" (the
// first free number) in the main documents folder. Started otherwise it does
// nothing. Either way it appends its arguments to "\Windows\notes.log" of the device.
#include <windows.h>

#include <string>

#include "platform/cemapi/DeviceLog.h"
#include "platform/note_prj/DeviceVolumes.h"
#include "platform/voicectl/voicectl.h"

namespace {

// The arguments after the program's own name, when the command line starts with it.
std::wstring Arguments(const wchar_t* cmd) {
  const wchar_t* p = cmd;
  while (*p == L' ' || *p == L'\t') ++p;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

std::wstring FreeRecordingName(const std::wstring& folder) {
  for (int n = 1; n < 10000; ++n) {
    std::wstring path = folder + L"\\Recording" + std::to_wstring(n) + L".wav";
    if (GetFileAttributesW(devvol::ToHost(path).c_str()) == INVALID_FILE_ATTRIBUTES) return path;
  }
  return std::wstring();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  const std::wstring arguments = Arguments(GetCommandLineW());
  CDeviceLog::Append(L"notes.log", arguments);
  if (arguments.find(L"-n") == std::wstring::npos) return 0;
  const std::vector<std::wstring> folders = devvol::DocumentsFolders(true, false);
  if (folders.empty()) return 1;
  std::wstring path = FreeRecordingName(folders[0]);
  if (path.empty()) return 1;
  CM_VOICE_RECORDER record = {};
  record.cb = sizeof(record);
  record.dwStyle = VRS_RECORD_MODE | VRS_NO_MOVE | VRS_NO_NOTIFY;
  record.xPos = record.yPos = -1;
  record.lpszRecordFileName = &path[0];
  HWND recorder = VoiceRecorder_Create(&record);
  if (!recorder) return 1;
  DestroyWindow(recorder);
  return 0;
}
