// The voice recorder control: the call is kept as it was made and an empty popup shows.
#include "platform/voicectl/voicectl.h"

#include <gtest/gtest.h>

#include <string>

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
