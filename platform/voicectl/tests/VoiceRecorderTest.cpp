// The voice recorder control: the call is kept as it was made and an empty popup shows.
#include "platform/voicectl/voicectl.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/coredll/DeviceSwitch.h"

namespace {

// A play request with no owner, as the notes list makes it: kept whole, and the popup
// is centred on the screen and returns at once although the style asks for a modal one.
TEST(VoiceRecorder, PlayRequestIsKeptAndShown) {
  wchar_t file[] = L"\\My Documents\\memo.wav";
  CM_VOICE_RECORDER record = {};
  record.cb = sizeof(record);
  record.dwStyle = 126;
  record.xPos = -1;
  record.yPos = -1;
  record.lpszRecordFileName = file;
  HWND window = VoiceRecorder_Create(&record);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  WCHAR className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, VOICERECORDER_CLASSNAME);
  RECT at;
  GetWindowRect(window, &at);
  EXPECT_NEAR((at.left + at.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);

  VoiceRecorderCall call = {};
  ASSERT_TRUE(VoiceRecorderTestLastCall(&call));
  EXPECT_EQ(call.dwStyle, 126u);
  EXPECT_EQ(call.xPos, -1);
  EXPECT_EQ(call.yPos, -1);
  EXPECT_EQ(call.hwndParent, nullptr);
  EXPECT_EQ(call.id, 0);
  EXPECT_STREQ(call.fileName, file);
  EXPECT_EQ(call.window, window);
  DestroyWindow(window);
}

// A record of another size (the device's 28 bytes) or none is refused; an owner and a
// position are taken as given.
TEST(VoiceRecorder, RecordSizeOwnerAndPosition) {
  CM_VOICE_RECORDER record = {};
  record.cb = 28;
  SetLastError(0);
  EXPECT_EQ(VoiceRecorder_Create(&record), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(VoiceRecorder_Create(nullptr), nullptr);

  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 10, 10, 200, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  record.cb = sizeof(record);
  record.hwndParent = owner;
  record.xPos = 30;
  record.yPos = 40;
  record.id = 7;
  HWND window = VoiceRecorder_Create(&record);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
  RECT at;
  GetWindowRect(window, &at);
  EXPECT_EQ(at.left, 30);
  EXPECT_EQ(at.top, 40);
  VoiceRecorderCall call = {};
  ASSERT_TRUE(VoiceRecorderTestLastCall(&call));
  EXPECT_EQ(call.id, 7);
  EXPECT_STREQ(call.fileName, L"");
  DestroyWindow(window);
  DestroyWindow(owner);
}

}  // namespace

namespace {

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

DWORD Le32(const std::string& bytes, size_t at) {
  DWORD value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<BYTE>(bytes[at + i]);
  return value;
}

}  // namespace

// On the device a recording is written to the file the caller names, a device path
// under the device root; playing writes nothing, and a folder that is not there fails
// the call.
TEST(VoiceRecorder, RecordModeLeavesARecordingAtTheDevicePath) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"voicectl-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(root.c_str(), nullptr);
  CreateDirectoryW((root + L"\\My Documents").c_str(), nullptr);
  CDeviceSwitch device;
  device.Set(L"Root", root.c_str());
  struct Case {
    const wchar_t* path;
    DWORD style;
    bool made;
  };
  const Case cases[] = {
      {L"\\My Documents\\Recording1.wav", VRS_RECORD_MODE | VRS_NO_MOVE, true},
      {L"\\My Documents\\Played.wav", 126, false},
      {L"\\No such folder\\Recording2.wav", VRS_RECORD_MODE, false},
  };
  for (const Case& c : cases) {
    std::wstring file = c.path;
    CM_VOICE_RECORDER record = {};
    record.cb = sizeof(record);
    record.dwStyle = c.style;
    record.xPos = record.yPos = -1;
    record.lpszRecordFileName = &file[0];
    HWND window = VoiceRecorder_Create(&record);
    const DWORD error = GetLastError();
    const std::string bytes = ReadBytes(root + c.path);
    if (c.made) {
      EXPECT_NE(window, nullptr);
      ASSERT_EQ(bytes.size(), 44u + 8000u) << c.path;
      EXPECT_EQ(bytes.substr(8, 7), "WAVEfmt");
      EXPECT_EQ(Le32(bytes, 28), 8000u) << "one second at the average rate";
      EXPECT_EQ(Le32(bytes, 40), 8000u);
    } else {
      EXPECT_TRUE(bytes.empty()) << c.path;
      if (c.style & VRS_RECORD_MODE) {
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANNOT_MAKE));
      }
    }
    if (window) DestroyWindow(window);
    DeleteFileW((root + c.path).c_str());
  }
  RemoveDirectoryW((root + L"\\My Documents").c_str());
  RemoveDirectoryW(root.c_str());
}
