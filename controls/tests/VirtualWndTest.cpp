#include "controls/VirtualWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "controls/tests/TestHost.h"

namespace {

using ctltest::CallLog;
using ctltest::CRecordingElement;
using ctltest::CTestHost;
using ctltest::PumpUntil;

COLORREF PixelAt(CDib& dib, int x, int y) {
  const BYTE* p = dib.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

// Splits its bounds into equal rows, one per visible child.
class CRowStack : public CVirtualWnd {
 public:
  void SetRect(const RECT* rect) override {
    CVirtualWnd::SetRect(rect);
    const int n = GetChildCount();
    for (int i = 0; i < n; ++i) {
      const int h = rect->bottom - rect->top;
      RECT row = {rect->left, rect->top + h * i / n, rect->right, rect->top + h * (i + 1) / n};
      GetChild(i)->SetRect(&row);
    }
  }
};

TEST(VirtualWndLayout, HostSizeReachesTheTreeThroughTheRoot) {
  CTestHost host(100, 60);
  CRowStack stack;
  CRecordingElement top(nullptr, "top"), bottom(nullptr, "bottom");
  stack.AddChild(&top);
  stack.AddChild(&bottom);
  host.root.AddChild(&stack);
  // The root passes its new rectangle on as a container of its own would.
  SetWindowPos(host, nullptr, 0, 0, 80, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r;
  host.root.GetRect(&r);
  EXPECT_EQ(r.right, 80);
  EXPECT_EQ(r.bottom, 40);
  stack.SetRect(&r);
  EXPECT_EQ(top.GetBounds().bottom, 20);
  EXPECT_EQ(bottom.GetBounds().top, 20);
  EXPECT_EQ(bottom.GetBounds().bottom, 40);
  EXPECT_EQ(top.GetHwnd(), host.m_hWnd) << "children find the host through their parents";
}

TEST(VirtualWndPaint, ChildrenPaintInOrderInsideTheClip) {
  CTestHost host(100, 60);
  CallLog log;
  CRecordingElement a(&log, "a", {0, 0, 60, 40}), b(&log, "b", {40, 0, 100, 40}), c(&log, "c", {60, 40, 100, 60}),
      hidden(&log, "hidden", {0, 0, 100, 60});
  a.fill = RGB(255, 0, 0);
  b.fill = RGB(0, 0, 255);
  c.fill = RGB(0, 255, 0);
  for (CVirtualWnd* e : {&a, &b, &c, &hidden}) host.root.AddChild(e);
  hidden.SetVisible(FALSE);
  host.root.SetBackgroundColor(RGB(255, 255, 255));

  ASSERT_TRUE(host.root.RenderBackBuffer({0, 0, 60, 60}));
  CDib& buffer = host.root.GetBackBuffer();
  ASSERT_EQ(buffer.GetWidth(), 100);
  EXPECT_EQ(log, (CallLog{"a paint", "b paint"})) << "c lies outside the clip, hidden is hidden";
  EXPECT_EQ(PixelAt(buffer, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(buffer, 50, 10), RGB(0, 0, 255)) << "the later child paints over the earlier";
  EXPECT_EQ(PixelAt(buffer, 10, 50), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(buffer, 70, 10), RGB(0, 0, 0)) << "nothing is drawn outside the clip";
}

TEST(VirtualWndRouting, TapsReachEveryChildUnderThePointAndTheDeepest) {
  CTestHost host;
  CallLog log;
  CRecordingElement a(&log, "a", {0, 0, 60, 40}), b(&log, "b", {40, 0, 100, 40}),
      inner(&log, "inner", {45, 5, 55, 15});
  host.root.AddChild(&a);
  host.root.AddChild(&b);
  b.AddChild(&inner);
  inner.handles = TRUE;

  struct Case {
    int x, y;
    CallLog calls;
    LRESULT handled;
  };
  const Case cases[] = {
      {50, 10, {"a down", "b down", "inner down"}, TRUE},  // overlapping children both get it
      {20, 10, {"a down"}, FALSE},
      {90, 50, {}, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    log.clear();
    host.Tap(WM_LBUTTONDOWN, c.x, c.y);
    EXPECT_EQ(log, c.calls);
    host.Tap(WM_LBUTTONUP, c.x, c.y);
  }
  // The deepest control took the press, so its parent did not count it as its own.
  log.clear();
  host.Tap(WM_LBUTTONDOWN, 50, 10);
  EXPECT_TRUE(inner.IsPressed());
  EXPECT_FALSE(b.IsPressed());
  EXPECT_TRUE(a.IsPressed());
  EXPECT_EQ(inner.GetLastPoint().x, 50);
}

// A handler that changes the tree while a press is routed to its siblings.
class CTreeChanger : public CRecordingElement {
 public:
  using CRecordingElement::CRecordingElement;
  BOOL OnLButtonDown(POINT* point) override {
    const BOOL handled = CRecordingElement::OnLButtonDown(point);
    // Once only, and not run from a member this call may delete.
    std::function<void(CTreeChanger*)> run;
    run.swap(change);
    if (run) run(this);
    return handled;
  }
  std::function<void(CTreeChanger*)> change;
};

TEST(VirtualWndRouting, SiblingsAfterAChangedTreeStillGetThePress) {
  enum Change { kLeaves, kTakesEarlierOut, kDeletesItself, kTakesNextOut };
  struct Case {
    const char* name;
    Change change;
    CallLog calls;
  };
  const CallLog all = {"first down", "changer down", "last down"};
  const Case cases[] = {
      {"the handler leaves the tree", kLeaves, all},
      {"the handler takes an earlier sibling out", kTakesEarlierOut, all},
      {"the handler deletes itself", kDeletesItself, all},
      {"the handler takes the next sibling out", kTakesNextOut, {"first down", "changer down"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTestHost host;
    CallLog log;
    CRecordingElement first(&log, "first", {0, 0, 100, 60}), last(&log, "last", {0, 0, 100, 60});
    auto* changer = new CTreeChanger(&log, "changer", {0, 0, 100, 60});
    changer->change = [&](CTreeChanger* self) {
      if (c.change == kLeaves) host.root.RemoveChild(self);
      if (c.change == kTakesEarlierOut) host.root.RemoveChild(&first);
      if (c.change == kDeletesItself) delete self;
      if (c.change == kTakesNextOut) host.root.RemoveChild(&last);
    };
    host.root.AddChild(&first);
    host.root.AddChild(changer);
    host.root.AddChild(&last);
    host.Tap(WM_LBUTTONDOWN, 50, 30);
    EXPECT_EQ(log, c.calls);
    host.Tap(WM_LBUTTONUP, 50, 30);
    if (c.change != kDeletesItself) delete changer;
  }
}

TEST(VirtualWndCapture, DragGoesToTheCapturedElementUntilRelease) {
  CTestHost host;
  CallLog log;
  CRecordingElement slider(&log, "slider", {0, 0, 20, 20}), knob(&log, "knob", {0, 0, 10, 10}),
      other(&log, "other", {50, 0, 100, 60});
  host.root.AddChild(&slider);
  host.root.AddChild(&other);
  slider.AddChild(&knob);
  slider.captureOnPress = TRUE;

  host.Tap(WM_LBUTTONDOWN, 15, 15);
  EXPECT_TRUE(slider.IsCaptured());
  EXPECT_EQ(host.root.GetCapturedElement(), &slider);
  EXPECT_EQ(GetCapture(), host.m_hWnd);

  log.clear();
  host.Tap(WM_MOUSEMOVE, 70, 30);
  host.Tap(WM_LBUTTONDOWN, 5, 5);  // a press while captured never reaches the children
  EXPECT_EQ(log, (CallLog{"slider move", "slider down"}));

  log.clear();
  host.Tap(WM_LBUTTONUP, 70, 30);
  EXPECT_EQ(log, (CallLog{"slider up"}));
  EXPECT_FALSE(slider.IsCaptured());
  EXPECT_FALSE(slider.IsPressed());
  EXPECT_EQ(host.root.GetCapturedElement(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(VirtualWndCapture, CaptureTakenByAnotherWindowIsLeftToIt) {
  CTestHost host, other;
  CRecordingElement slider(nullptr, "slider", {0, 0, 20, 20});
  host.root.AddChild(&slider);
  slider.Capture();
  ASSERT_EQ(GetCapture(), host.m_hWnd);

  SetCapture(other.m_hWnd);
  EXPECT_FALSE(slider.IsCaptured());
  EXPECT_EQ(host.root.GetCapturedElement(), nullptr);
  EXPECT_EQ(GetCapture(), other.m_hWnd) << "the root must not release what the other window just took";
  ReleaseCapture();
}

TEST(VirtualWndKeys, KeysGoToTheFocusedElementAndClimbWhenUnhandled) {
  CTestHost host;
  CRecordingElement panel(nullptr, "panel"), field(nullptr, "field"), other(nullptr, "other");
  host.root.AddChild(&panel);
  panel.AddChild(&field);
  panel.AddChild(&other);

  other.SetFocus();
  field.SetFocus();
  EXPECT_TRUE(field.IsFocused());
  EXPECT_FALSE(other.IsFocused()) << "one focused element per tree";
  EXPECT_EQ(host.root.GetFocusedElement(), &field);

  host.Send(WM_KEYDOWN, 'A');
  host.Send(WM_KEYUP, 'A');
  host.Send(WM_KEYUP, 'B');  // its key-down went to another window
  EXPECT_EQ(field.keys, (std::vector<DWORD>{'A', 'A' + VK_KEYUP_FLAG}));
  ASSERT_EQ(panel.childKeys.size(), 2u);
  EXPECT_EQ(panel.childKeys[0].first, &field) << "the key climbs with the first element as sender";
  EXPECT_EQ(host.root.childKeys.size(), 2u);

  field.SetVisible(FALSE);
  EXPECT_FALSE(field.IsFocused()) << "hiding a focused element removes its focus";
}

TEST(VirtualWndTimers, TimerFiresUntilKilledAndDiesWithItsElement) {
  CTestHost host;
  CRecordingElement ticking(nullptr, "ticking");
  host.root.AddChild(&ticking);
  ticking.SetTimer(5);
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(&ticking);
  EXPECT_TRUE(PumpUntil([&] { return ticking.timers >= 2; }));
  ticking.KillTimer();
  EXPECT_FALSE(::KillTimer(host, id)) << "the timer is gone";

  auto* brief = new CRecordingElement(nullptr, "brief");
  host.root.AddChild(brief);
  brief->SetTimer(5);
  const UINT_PTR briefId = reinterpret_cast<UINT_PTR>(brief);
  host.root.RemoveChild(brief);  // leaving the tree does not orphan the timer
  delete brief;
  EXPECT_FALSE(::KillTimer(host, briefId)) << "deleting the element killed its timer";
  EXPECT_EQ(host.root.GetChildCount(), 1);

  CRecordingElement idle(nullptr, "idle");
  host.root.AddChild(&idle);
  host.Send(WM_TIMER, reinterpret_cast<WPARAM>(&idle));
  EXPECT_EQ(idle.timers, 0) << "an element without a timer on this host gets none";
}

// An element's storage, so that a test can end an element and leave garbage where
// it was: following a stale address would then call through the garbage.
struct Slot {
  alignas(CRecordingElement) unsigned char bytes[sizeof(CRecordingElement)];
  CRecordingElement* Make() { return new (bytes) CRecordingElement(nullptr, "slot"); }
  void End(CRecordingElement* element) {
    element->~CRecordingElement();
    memset(bytes, 0xCD, sizeof bytes);
  }
};

TEST(VirtualWndStale, TimerAndMessagesForAnEndedElementAreDropped) {
  CTestHost host;
  Slot slot;
  CRecordingElement witness(nullptr, "witness");
  host.root.AddChild(&witness);
  CRecordingElement* element = slot.Make();
  host.root.AddChild(element);
  element->SetTimer(60000);
  element->PostVirtualMessage(4);
  slot.End(element);
  EXPECT_EQ(host.root.GetChildCount(), 1) << "the ended element left the tree";
  EXPECT_FALSE(KillTimer(host.m_hWnd, reinterpret_cast<UINT_PTR>(slot.bytes))) << "its timer ended with it";
  MSG pending;
  EXPECT_TRUE(PeekMessageW(&pending, host.m_hWnd, GetVirtualMessageId(), GetVirtualMessageId(), PM_NOREMOVE));
  host.Send(WM_TIMER, reinterpret_cast<WPARAM>(slot.bytes));
  ctltest::PumpPending();  // the posted message arrives for nobody
  EXPECT_FALSE(PeekMessageW(&pending, host.m_hWnd, GetVirtualMessageId(), GetVirtualMessageId(), PM_NOREMOVE));
  EXPECT_EQ(witness.timers, 0);
  EXPECT_TRUE(witness.virtualCodes.empty());
  host.root.RemoveChild(&witness);

  // A new element at the same address is not the one that posted.
  element = slot.Make();
  host.root.AddChild(element);
  host.Send(GetVirtualMessageId(), reinterpret_cast<WPARAM>(element), 9);
  element->PostVirtualMessage(5);
  slot.End(element);
  element = slot.Make();
  host.root.AddChild(element);
  ctltest::PumpPending();
  EXPECT_TRUE(element->virtualCodes.empty());
  element->~CRecordingElement();
}

TEST(VirtualWndMessages, OwnMessagesArriveAndForeignOnesDoNot) {
  CTestHost host;
  CRecordingElement element(nullptr, "element");
  host.root.AddChild(&element);

  EXPECT_EQ(element.SendVirtualMessage(3), 30);
  element.PostVirtualMessage(4);
  EXPECT_TRUE(PumpUntil([&] { return element.virtualCodes.size() == 2; }));
  // Anyone may register the message's name; a message the element did not send is
  // not its own, and an address that is no element is never called.
  EXPECT_EQ(host.Send(GetVirtualMessageId(), reinterpret_cast<WPARAM>(&element), 7), 0);
  EXPECT_EQ(host.Send(GetVirtualMessageId(), 0x12345670, 7), 0);
  EXPECT_EQ(element.virtualCodes, (std::vector<LPARAM>{3, 4}));

  CRecordingElement loose(nullptr, "loose");
  EXPECT_EQ(loose.SendVirtualMessage(1), 0) << "without a host window the message is lost";
}

TEST(VirtualWndLifetime, EndedElementsAreForgottenByTreeAndRoot) {
  CTestHost host;
  auto* parent = new CRecordingElement(nullptr, "parent");
  auto* child = new CRecordingElement(nullptr, "child", {0, 0, 10, 10});
  host.root.AddChild(parent);
  parent->AddChild(child);
  child->SetFocus();
  child->Capture();
  delete child;
  EXPECT_EQ(parent->GetChildCount(), 0);
  EXPECT_EQ(host.root.GetFocusedElement(), nullptr);
  EXPECT_EQ(host.root.GetCapturedElement(), nullptr);
  host.Send(WM_KEYDOWN, 'A');  // reaches the root, not the ended element
  EXPECT_EQ(host.root.childKeys.size(), 1u);

  auto* orphan = new CRecordingElement(nullptr, "orphan");
  parent->AddChild(orphan);
  delete parent;
  EXPECT_EQ(orphan->GetParent(), nullptr);
  delete orphan;  // must not reach back into its ended parent
  ReleaseCapture();
}

TEST(VirtualWndHost, DestroyLetsGoOfFocusCaptureAndTree) {
  auto* host = new CTestHost;
  CRecordingElement a(nullptr, "a", {0, 0, 10, 10}), b(nullptr, "b");
  host->root.AddChild(&a);
  a.AddChild(&b);
  b.SetFocus();
  a.Capture();
  host->DestroyWindow();
  EXPECT_FALSE(b.IsFocused());
  EXPECT_FALSE(a.IsCaptured());
  EXPECT_EQ(host->root.GetChildCount(), 0);
  EXPECT_EQ(a.GetChildCount(), 0);
  EXPECT_EQ(b.GetParent(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  delete host;
}

TEST(VirtualWndDefaults, SmallOperations) {
  CVirtualWnd e;
  RECT r = {-3, 0, 4, 9};
  e.SetRect(&r);
  POINT anchor;
  e.GetAnchorPoint(&anchor);
  EXPECT_EQ(anchor.x, 0);  // -3 + 7/2
  EXPECT_EQ(anchor.y, 4);
  POINT edge = {4, 0};
  EXPECT_FALSE(e.HitTest(&edge)) << "right and bottom edges are outside";

  CVirtualWnd stranger;
  CVirtualWnd parent;
  stranger.AddChild(nullptr);
  parent.RemoveChild(&stranger);  // not a child: nothing but the parent field
  EXPECT_EQ(stranger.GetParent(), nullptr);
  EXPECT_FALSE(e.RequestFocus(&e)) << "no root: not granted";
  e.KillTimer();  // no window: nothing
}

}  // namespace

namespace {

// A host that routes keys, double taps and paints its own way gets them through the
// root's overridable handlers, without taking the messages ahead of the root.
class CRoutingRoot : public ctltest::CTestRoot {
 public:
  LRESULT OnKeyDown(WPARAM wParam) override {
    keys.push_back(static_cast<DWORD>(wParam));
    return wParam == VK_LEFT ? 1 : 0;
  }
  BOOL OnDoubleClick(LPARAM lParam) override {
    doubleTaps.push_back(lParam);
    return TRUE;
  }
  void OnPaintMessage() override {
    ++paints;
    CVirtualRoot::OnPaintMessage();
  }
  std::vector<DWORD> keys;
  std::vector<LPARAM> doubleTaps;
  int paints = 0;
};

class CRoutingHost : public CWindowImpl<CRoutingHost> {
 public:
  DECLARE_WND_CLASS_EX(L"ControlsRoutingHost", CS_DBLCLKS, -1)
  CRoutingHost() {
    RECT at = {0, 0, 60, 40};
    Create(nullptr, &at, L"", WS_POPUP);
  }
  ~CRoutingHost() override {
    if (m_hWnd) DestroyWindow();
  }
  BEGIN_MSG_MAP(CRoutingHost)
    CHAIN_MSG_MAP_MEMBER(root)
  END_MSG_MAP()
  CRoutingRoot root;
};

TEST(VirtualRoot, KeyDoubleTapAndPaintHandlingCanBeOverridden) {
  CRoutingHost host;
  CallLog log;
  CRecordingElement child(&log, "child", {0, 0, 60, 40});
  host.root.AddChild(&child);
  EXPECT_EQ(::SendMessageW(host.m_hWnd, WM_KEYDOWN, VK_LEFT, 0), 1) << "the override's answer is the result";
  EXPECT_EQ(::SendMessageW(host.m_hWnd, WM_KEYDOWN, VK_DOWN, 0), 0);
  EXPECT_EQ(host.root.keys, (std::vector<DWORD>{VK_LEFT, VK_DOWN}));
  EXPECT_TRUE(child.keys.empty()) << "the override decided; nothing went to the tree";
  ::SendMessageW(host.m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(host.root.doubleTaps, (std::vector<LPARAM>{MAKELPARAM(3, 4)}));
  ::ShowWindow(host.m_hWnd, SW_SHOWNA);
  ::RedrawWindow(host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(host.root.paints, 1);
  host.root.RemoveChild(&child);
}

}  // namespace
