#include "panel/TabActivationWatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/coredll/tests/DatabaseTestSupport.h"

namespace {

// A message-only window keeping the characters "QelTarvoActivateTab" brought.
class ActivationSink {
 public:
  ActivationSink() : m_message(RegisterWindowMessageW(L"QelTarvoActivateTab")) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WatcherTestSink";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ActivationSink() { DestroyWindow(window); }
  ActivationSink(const ActivationSink&) = delete;
  ActivationSink& operator=(const ActivationSink&) = delete;

  // Waits for the next character (0 when none came within the guard).
  wchar_t Next() {
    cedbtest::PumpUntil([this] { return !received.empty(); });
    if (received.empty()) return 0;
    wchar_t first = received.front();
    received.erase(received.begin());
    return first;
  }

  HWND window = nullptr;
  std::wstring received;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sink = reinterpret_cast<ActivationSink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (sink && message == sink->m_message) {
      sink->received += static_cast<wchar_t>(wParam);
      EXPECT_EQ(lParam, 0);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  UINT m_message;
};

// Named events are shared by every program on the machine: names carry the process.
std::wstring Unique(const wchar_t* name) {
  return std::wstring(L"\"") + name + L"\"-" + std::to_wstring(GetCurrentProcessId());
}

// The child's command line cannot carry double quotes: '|' stands for them.
std::wstring Unquoted(std::wstring name) {
  for (wchar_t& c : name)
    if (c == L'"') c = L'|';
  return name;
}

// Two tabs, each hosting one item, as the custom tabs register them.
struct TwoTabs {
  TwoTabs() {
    watcher.AddRef(sink.window);
    watcher.AddRef(nullptr);  // a second tab does not move the target
    for (auto [name, id] : {std::pair{&a, L'A'}, std::pair{&b, L'B'}}) {
      watcher.SetTabForItem(name->c_str(), id);
      watcher.AddNamedEvent(name->c_str());
    }
  }
  ~TwoTabs() {
    watcher.RemoveItem(a.c_str());
    watcher.RemoveItem(b.c_str());
    watcher.Release();
    watcher.Release();
  }
  ActivationSink sink;
  CTabActivationWatcher watcher;
  std::wstring a = Unique(L"Item A"), b = Unique(L"Item B");
};

TEST(TabActivationWatcher, AnItemsEventBringsItsTab) {
  TwoTabs tabs;
  ASSERT_TRUE(tabs.watcher.IsRunning());
  EXPECT_TRUE(ActivateHostedItemByName(tabs.b.c_str()));
  EXPECT_EQ(tabs.sink.Next(), L'B');
  EXPECT_TRUE(ActivateHostedItemByName(tabs.a.c_str()));
  EXPECT_EQ(tabs.sink.Next(), L'A');
  // A remapped item follows its new tab.
  tabs.watcher.SetTabForItem(tabs.a.c_str(), L'7');
  EXPECT_TRUE(ActivateHostedItemByName(tabs.a.c_str()));
  EXPECT_EQ(tabs.sink.Next(), L'7');

  EXPECT_FALSE(ActivateHostedItemByName(Unique(L"Nobody").c_str())) << "no one watches it";
  EXPECT_FALSE(ActivateHostedItemByName(nullptr));
}

TEST(TabActivationWatcher, AnotherProcessBringsTheTab) {
  TwoTabs tabs;
  EXPECT_EQ(cedbtest::RunChild(L"activate-item", Unquoted(tabs.b)), 1u);
  EXPECT_EQ(tabs.sink.Next(), L'B');
  EXPECT_EQ(cedbtest::RunChild(L"activate-item", Unquoted(Unique(L"Nobody"))), 0u);
}

TEST(TabActivationWatcher, ADuplicateMakesNoSecondEvent) {
  TwoTabs tabs;
  tabs.watcher.AddNamedEvent(tabs.a.c_str());
  // One removal takes the only event of the name: a second one would still be open.
  tabs.watcher.RemoveItem(tabs.a.c_str());
  EXPECT_FALSE(tabs.watcher.IsWatching(tabs.a.c_str()));
  EXPECT_FALSE(ActivateHostedItemByName(tabs.a.c_str()));
  EXPECT_TRUE(ActivateHostedItemByName(tabs.b.c_str()));
  EXPECT_EQ(tabs.sink.Next(), L'B');
}

TEST(TabActivationWatcher, TheLastReleaseEndsTheThread) {
  ActivationSink sink;
  CTabActivationWatcher watcher;
  const std::wstring name = Unique(L"Last");
  watcher.AddRef(sink.window);
  watcher.AddRef(sink.window);
  watcher.SetTabForItem(name.c_str(), L'C');
  watcher.AddNamedEvent(name.c_str());
  watcher.Release();
  EXPECT_TRUE(watcher.IsRunning()) << "one tab still holds it";
  watcher.Release();
  EXPECT_FALSE(watcher.IsRunning());
  EXPECT_FALSE(ActivateHostedItemByName(name.c_str())) << "its events are closed";
  watcher.Release();  // one too many changes nothing
  watcher.AddNamedEvent(name.c_str());
  EXPECT_FALSE(watcher.IsWatching(name.c_str())) << "nothing is watched without a thread";

  // Started again, it works as before and an unmapped name posts nothing.
  watcher.AddRef(sink.window);
  watcher.AddNamedEvent(name.c_str());
  EXPECT_TRUE(ActivateHostedItemByName(name.c_str()));
  cedbtest::PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(sink.received.empty()) << "the map went with the last tab";
  watcher.SetTabForItem(name.c_str(), L'C');
  EXPECT_TRUE(ActivateHostedItemByName(name.c_str()));
  EXPECT_EQ(sink.Next(), L'C');
  watcher.RemoveItem(name.c_str());
  watcher.Release();
}

// Changes of the list while another program keeps signalling: every change is
// taken over, no handle the thread waits on is closed under it, and the items
// still watched at the end still bring their tabs.
TEST(TabActivationWatcher, ListChangesWhileSignalled) {
  TwoTabs tabs;
  std::atomic<bool> done{false};
  const std::wstring churn = Unique(L"Churn");
  std::thread signaller([&] {
    while (!done) {
      ActivateHostedItemByName(churn.c_str());
      ActivateHostedItemByName(tabs.a.c_str());
      Sleep(0);
    }
  });
  for (int round = 0; round < 300; ++round) {
    tabs.watcher.SetTabForItem(churn.c_str(), L'X');
    tabs.watcher.AddNamedEvent(churn.c_str());
    ASSERT_TRUE(tabs.watcher.IsWatching(churn.c_str()));
    tabs.watcher.RemoveItem(churn.c_str());
    ASSERT_FALSE(tabs.watcher.IsWatching(churn.c_str()));
  }
  done = true;
  signaller.join();
  cedbtest::PumpUntil([] { return false; }, 200);
  for (wchar_t c : tabs.sink.received) EXPECT_TRUE(c == L'A' || c == L'X') << static_cast<int>(c);
  tabs.sink.received.clear();
  EXPECT_TRUE(ActivateHostedItemByName(tabs.b.c_str()));
  EXPECT_EQ(tabs.sink.Next(), L'B');
}

}  // namespace

namespace paneltest {

// The child's part: signals an item's event as a hosted item in another program does.
int ActivateItemInChild(const std::wstring& unquoted) {
  std::wstring name = unquoted;
  for (wchar_t& c : name)
    if (c == L'|') c = L'"';
  return ActivateHostedItemByName(name.c_str()) ? 1 : 0;
}

}  // namespace paneltest
