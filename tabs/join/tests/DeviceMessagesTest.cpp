// The Messages tab on the emulated device: the Today screen loads QelTarvo.dll, the
// message stores hold the device's samples (device/mail), the Messages cell of the strip
// is tapped and the inbox shows. A tap on the newest message opens its preview, and
// closing the preview marks the message read in its store; the row is drawn again in
// the normal font. A held tap on the next message opens its menu, where "Move to" and
// the account's recent folder are chosen by keys: the store has the message in that
// folder and its row leaves the inbox. Nothing of the plug-in is called directly.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/TaggedBlob.h"
#include "pim/OndrelProtocol.h"
#include "platform/aygshell/AygTest.h"
#include "platform/cemapi/tests/MapiTestSupport.h"
#include "tabs/join/tests/DeviceTestSupport.h"
#include "tabs/messages/tests/SampleStoreSupport.h"

namespace {

using namespace devicetest;
using namespace mapitest;

const ULONGLONG kAsInbox = 0x10002, kAsProjects = 0x10007;
const ULONGLONG kLunch = 0x11001, kQuarterly = 0x11004;

using sampletest::StoredIn;

LONG StoredFlags(ULONGLONG id) { return sampletest::StoredLong(id, PR_MESSAGE_FLAGS); }

// A person at the menu: once a popup menu shows, the keys are pressed one by one.
class CMenuKeys {
 public:
  explicit CMenuKeys(std::vector<WPARAM> keys)
      : m_thread([this, keys] {
          for (int tries = 0; tries < 600 && !m_stop; ++tries) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
              for (WPARAM key : keys) {
                Sleep(200);
                PostMessageW(menu, WM_KEYDOWN, key, 0);
              }
              m_done = true;
              return;
            }
            Sleep(50);
          }
        }) {}
  ~CMenuKeys() {
    m_stop = true;
    m_thread.join();
  }
  bool Done() const { return m_done; }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_done{false};
  std::thread m_thread;
};

class DeviceMessages : public DeviceToday {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Prepare(L"devicemessages", TARVO_DEVICE_TASKS));
    sampletest::RegisterSampleServices(*m_sandbox);
    ASSERT_TRUE(sampletest::InstallSampleStores());
    // The preview marks a message read as it closes; the account's recent folder is
    // "Projects", as an earlier move through the folder chooser left it.
    Product().WriteDWORD(L"Messages_SetAsReadedPreview", 1);
    m_sandbox->Key(TARVO_PRODUCT_KEY L"\\Filters")
        .WriteString(L"ActiveSync", sampletest::Folder(kAsProjects, L"Projects").ToText());
    ASSERT_NO_FATAL_FAILURE(Start());
  }
  // Text lines of the message rows' column.
  int Lines() const { return Shoot(m_host).TextLines(kRowsTop, kRowsBottom, 40, 150); }
  // Dark pixels of one row: bold text has more.
  int Ink(int top, int bottom) const {
    const Screen screen = Shoot(m_host);
    int ink = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 40; x < 150; ++x) {
        const COLORREF c = screen.At(x, y);
        ink += GetRValue(c) < 0x70 && GetGValue(c) < 0x70 && GetBValue(c) < 0x70;
      }
    return ink;
  }

  static const int kRowsTop = 38, kRowsBottom = 300, kRowHeight = 26;
};

}  // namespace

TEST_F(DeviceMessages, AMessageIsMarkedReadAndAnotherMovedFromTheTab) {
  ASSERT_EQ(m_host.ItemCount(), 1u) << Log(L"DeviceMessages");
  // The strip's fifth cell: the Messages tab with the inbox filter's accounts (the
  // e-mail account's group first), newest message first: "Lunch on Friday?", then
  // "Quarterly report".
  ASSERT_TRUE(RunSteps(m_host, L"wait 300\ntap 12 90\nwait 1000\n"));
  int before = 0;
  ASSERT_TRUE(WaitFor([&] {
    before = Lines();
    return before >= 6;
  })) << "no rows drawn: " << before << "\n" << Log(L"DeviceMessages");
  ASSERT_EQ(StoredFlags(kLunch) & MSGFLAG_READ, 0);
  // The item-operations program starts with the panel and takes the foreground once:
  // a popup open then would close.
  ASSERT_TRUE(WaitFor([] { return FindWindowW(ONDREL_WINDOW_CLASS, nullptr) != nullptr; })) << Log(L"DeviceMessages");
  ASSERT_TRUE(RunSteps(m_host, L"wait 500\n"));
  const int firstTop = kRowsTop, firstBottom = kRowsTop + kRowHeight;
  const int boldInk = Ink(firstTop, firstBottom);

  // The newest message: its preview, closed again.
  ASSERT_TRUE(RunSteps(m_host, L"tap 120 " + std::to_wstring(firstTop + 6) + L"\n"));
  HWND preview = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (preview = FindWindowW(L"QelTarvoMailWindow_1.0", nullptr)) != nullptr; }))
      << Log(L"DeviceMessages");
  PostMessageW(preview, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return (StoredFlags(kLunch) & MSGFLAG_READ) != 0; }))
      << "not marked read in the store\n" << Log(L"DeviceMessages");
  EXPECT_TRUE(WaitFor([&] {
    RunSteps(m_host, L"wait 200\n");
    return Ink(firstTop, firstBottom) < boldInk;
  })) << "the row is still bold\n" << Log(L"DeviceMessages");

  // The next message's menu: Open, Reply, Reply all, Forward, then Edit > Move to >
  // the recent folder.
  ASSERT_TRUE(StoredIn(kQuarterly, kAsInbox));
  const int lines = Lines();
  {
    CMenuKeys keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_RETURN});
    AygTestSetGestureMode(AYG_GESTURE_HOLD);
    const bool ran = RunSteps(m_host, L"tap 120 " + std::to_wstring(firstBottom + 6) + L"\nwait 300\n");
    AygTestSetGestureMode(AYG_GESTURE_REAL);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(WaitFor([&] { return keys.Done(); })) << "no menu opened\n" << Log(L"DeviceMessages");
  }
  EXPECT_TRUE(WaitFor([&] { return StoredIn(kQuarterly, kAsProjects); }))
      << "not moved in the store\n" << Log(L"DeviceMessages");
  EXPECT_TRUE(WaitFor([&] {
    RunSteps(m_host, L"wait 200\n");
    return Lines() < lines;
  })) << "its row is still shown (" << lines << " lines before)\n" << Log(L"DeviceMessages");
}
