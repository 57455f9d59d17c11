#include "platform/windowlib/FrameWindowImpl.h"
#include "platform/windowlib/ListViewCtrl.h"
#include "platform/windowlib/MenuHandle.h"
#include "platform/windowlib/MessageLoop.h"
#include "platform/windowlib/PaintDC.h"
#include "TestResources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kPing = WM_APP + 21;

// Records, in order, what it sees.
struct CTrace {
  std::string text;
};

class CFilter : public CMessageFilter {
public:
  // Takes the first `takes` pings it sees.
  CFilter(CTrace& trace, char name, int takes) : m_trace(trace), m_name(name), m_takes(takes) {}
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message != kPing) return FALSE;
    m_trace.text += m_name;
    return m_takes-- > 0;
  }

private:
  CTrace& m_trace;
  char m_name;
  int m_takes;
};

class CPingWindow : public CWindowImpl<CPingWindow> {
public:
  explicit CPingWindow(CTrace& trace) : m_trace(trace) {}
  BEGIN_MSG_MAP(CPingWindow)
    MESSAGE_HANDLER(kPing, OnPing)
  END_MSG_MAP()
  LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) {
    m_trace.text += 'W';
    return 0;
  }

private:
  CTrace& m_trace;
};

// Each idle period posts the next step: ping, ping, then quit with code 7.
class CIdleScript : public CIdleHandler {
public:
  CIdleScript(CTrace& trace, HWND target) : m_trace(trace), m_target(target) {}
  BOOL OnIdle() override {
    m_trace.text += 'i';
    if (++m_round < 3) ::PostMessageW(m_target, kPing, 0, 0);
    else ::PostQuitMessage(7);
    return FALSE;
  }

private:
  CTrace& m_trace;
  HWND m_target;
  int m_round = 0;
};

TEST(MessageLoop, FiltersSeeMessagesFirstAndIdleHandlersRunWhenTheQueueEmpties) {
  CTrace trace;
  CPingWindow window(trace);
  ASSERT_NE(window.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  CFilter passing(trace, 'p', 0), taking(trace, 't', 1);
  CIdleScript script(trace, window);

  CMessageLoop loop;
  ASSERT_TRUE(GetModule().AddMessageLoop(&loop));
  EXPECT_EQ(GetModule().GetMessageLoop(), &loop);
  EXPECT_FALSE(GetModule().AddMessageLoop(&loop));  // one loop per thread
  loop.AddMessageFilter(&taking);
  loop.AddMessageFilter(&passing);  // asked first: the most recent
  loop.AddIdleHandler(&script);

  // Drain anything the window's creation queued, so the script starts clean.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

  EXPECT_EQ(loop.Run(), 7);
  // The first ping is taken by a filter; the second passes both and is dispatched.
  EXPECT_EQ(trace.text, "iptiptWi");
  EXPECT_TRUE(GetModule().RemoveMessageLoop());
  EXPECT_EQ(GetModule().GetMessageLoop(), nullptr);
  window.DestroyWindow();
}

TEST(MessageLoop, AFilterRemovedNoLongerSeesMessages) {
  CTrace trace;
  CFilter taking(trace, 't', 1000);
  CMessageLoop loop;
  loop.AddMessageFilter(&taking);
  MSG msg = {};
  msg.message = kPing;
  EXPECT_TRUE(loop.PreTranslateMessage(&msg));
  EXPECT_TRUE(loop.RemoveMessageFilter(&taking));
  EXPECT_FALSE(loop.PreTranslateMessage(&msg));
  EXPECT_FALSE(loop.RemoveMessageFilter(&taking));
  EXPECT_EQ(trace.text, "t");
}

class CTestFrame : public CFrameWindowImpl<CTestFrame> {
public:
  DECLARE_WND_CLASS(L"WindowLibTestFrame")
  int refreshes = 0;
  BEGIN_MSG_MAP(CTestFrame)
    COMMAND_ID_HANDLER(ID_TEST_REFRESH, OnRefresh)
    CHAIN_MSG_MAP(CFrameWindowImpl<CTestFrame>)
  END_MSG_MAP()
  LRESULT OnRefresh(WORD, WORD, HWND, BOOL&) {
    ++refreshes;
    return 0;
  }
};

TEST(FrameWindowImpl, TitleAndAcceleratorsComeFromResourcesAndClosingEndsTheLoopWithOne) {
  CTestFrame frame;
  RECT rect = {0, 0, 200, 150};
  ASSERT_NE(frame.CreateEx(IDR_TEST_FRAME, nullptr, &rect), nullptr);
  CString title;
  frame.GetWindowText(title);
  EXPECT_STREQ(title, L"Frame title");

  MSG key = {frame, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
  EXPECT_TRUE(frame.PreTranslateMessage(&key));
  EXPECT_EQ(frame.refreshes, 1);

  // The client window follows the frame's client area.
  CTrace trace;
  CPingWindow client(trace);
  ASSERT_NE(client.Create(frame), nullptr);
  frame.m_hWndClient = client;
  frame.MoveWindow(0, 0, 300, 250);
  RECT frameClient, clientRect;
  frame.GetClientRect(&frameClient);
  client.GetWindowRect(&clientRect);
  EXPECT_EQ(clientRect.right - clientRect.left, frameClient.right);
  EXPECT_EQ(clientRect.bottom - clientRect.top, frameClient.bottom);

  frame.PostMessage(WM_CLOSE);
  CMessageLoop loop;
  EXPECT_EQ(loop.Run(), 1);
  EXPECT_EQ(frame.m_hWnd, nullptr);
}

class CPaintingWindow : public CWindowImpl<CPaintingWindow> {
public:
  bool gotDC = false;
  BEGIN_MSG_MAP(CPaintingWindow)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC dc(m_hWnd);
    gotDC = dc.m_hDC != nullptr;
    return 0;
  }
};

TEST(PaintDC, PaintingValidatesTheWindow) {
  CPaintingWindow window;
  RECT rect = {0, 0, 40, 30};
  ASSERT_NE(window.Create(nullptr, &rect, nullptr, WS_POPUP | WS_VISIBLE), nullptr);
  window.Invalidate();
  window.UpdateWindow();
  EXPECT_TRUE(window.gotDC);
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  window.DestroyWindow();
}

TEST(ListViewCtrl, SetItemWritesTextParameterImageAndState) {
  CTrace trace;
  CPingWindow host(trace);
  ASSERT_NE(host.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  CListViewCtrl list;
  RECT rect = {0, 0, 100, 100};
  ASSERT_NE(list.Create(host, rect, WS_CHILD | LVS_REPORT), nullptr);
  list.InsertColumn(0, L"col1", LVCFMT_LEFT, 80);
  ASSERT_EQ(list.InsertItem(0, L"first"), 0);
  EXPECT_TRUE(list.SetItem(0, 0, LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE, L"changed", 3, LVIS_SELECTED,
                           LVIS_SELECTED, 0x77));
  CString text;
  list.GetItemText(0, 0, text);
  EXPECT_STREQ(text, L"changed");
  EXPECT_EQ(list.GetItemData(0), 0x77);
  EXPECT_EQ(list.GetSelectedIndex(), 0);
  LVITEMW item = {};
  item.mask = LVIF_IMAGE;
  EXPECT_TRUE(list.GetItem(&item));
  EXPECT_EQ(item.iImage, 3);
  host.DestroyWindow();
}

TEST(MenuHandle, DestroyFreesTheMenuAndForgetsIt) {
  CMenuHandle menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 10, L"Item");
  CString text;
  EXPECT_TRUE(menu.GetMenuString(10, text, MF_BYCOMMAND));
  EXPECT_STREQ(text, L"Item");
  HMENU handle = menu;
  EXPECT_TRUE(menu.Destroy());
  EXPECT_EQ(menu.m_hMenu, nullptr);
  EXPECT_FALSE(IsMenu(handle));
  EXPECT_FALSE(menu.Destroy());
}

}  // namespace
