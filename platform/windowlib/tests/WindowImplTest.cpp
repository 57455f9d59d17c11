#include "platform/windowlib/WindowImpl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kOther = WM_APP + 2;

// A window that counts what reaches its own handlers.
class CCountingWindow : public CWindowImpl<CCountingWindow> {
public:
  DECLARE_WND_CLASS(L"WindowLibTestCounting")

  int asked = 0;
  int finalCalls = 0;
  HWND finalHandle = nullptr;
  HWND handleDuringFinal = reinterpret_cast<HWND>(1);
  bool destroySeen = false;

  BEGIN_MSG_MAP(CCountingWindow)
    MESSAGE_HANDLER(kAsk, OnAsk)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnAsk(UINT, WPARAM wParam, LPARAM, BOOL&) {
    ++asked;
    return static_cast<LRESULT>(wParam) * 2;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    destroySeen = true;
    return 0;
  }
  void OnFinalMessage(HWND hWnd) override {
    ++finalCalls;
    finalHandle = hWnd;
    handleDuringFinal = m_hWnd;
  }
};

TEST(WindowImpl, MessagesReachTheObjectsMapAndTheRestTheDefault) {
  CCountingWindow window;
  ASSERT_NE(window.Create(nullptr, nullptr, L"counting", WS_POPUP), nullptr) << GetLastError();
  EXPECT_EQ(window.SendMessage(kAsk, 21), 42);
  EXPECT_EQ(window.asked, 1);
  // Not in the map: the default procedure answers (WM_GETTEXT copies the title).
  WCHAR title[16] = {};
  EXPECT_EQ(window.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(title)), 8);
  EXPECT_STREQ(title, L"counting");
  window.DestroyWindow();
}

TEST(WindowImpl, TwoWindowsOfOneClassKeepTheirOwnObjects) {
  CCountingWindow first, second;
  ASSERT_NE(first.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  ASSERT_NE(second.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  ::SendMessageW(first, kAsk, 1, 0);
  ::SendMessageW(second, kAsk, 1, 0);
  ::SendMessageW(second, kAsk, 1, 0);
  EXPECT_EQ(first.asked, 1);
  EXPECT_EQ(second.asked, 2);
  first.DestroyWindow();
  EXPECT_EQ(first.finalCalls, 1);
  EXPECT_EQ(second.finalCalls, 0);
  EXPECT_EQ(::SendMessageW(second, kAsk, 5, 0), 10);
  second.DestroyWindow();
}

TEST(WindowImpl, FinalMessageComesOnceAfterDestroyWithTheHandleCleared) {
  CCountingWindow window;
  HWND hWnd = window.Create(nullptr, nullptr, nullptr, WS_POPUP);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_TRUE(window.destroySeen);
  EXPECT_EQ(window.finalCalls, 1);
  EXPECT_EQ(window.finalHandle, hWnd);
  EXPECT_EQ(window.handleDuringFinal, nullptr);
  EXPECT_EQ(window.m_hWnd, nullptr);

  // The object can make a new window afterwards.
  ASSERT_NE(window.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  EXPECT_EQ(window.SendMessage(kAsk, 1), 2);
  window.DestroyWindow();
  EXPECT_EQ(window.finalCalls, 2);
}

// Deletes itself at its final message, as hook objects do.
class CSelfDeletingWindow : public CWindowImpl<CSelfDeletingWindow> {
public:
  CSelfDeletingWindow(bool* deleted, bool* aliveAfterDestroy) : m_deleted(deleted), m_alive(aliveAfterDestroy) {}
  ~CSelfDeletingWindow() override { *m_deleted = true; }

  BEGIN_MSG_MAP(CSelfDeletingWindow)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
  END_MSG_MAP()

  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    DestroyWindow();
    *m_alive = !*m_deleted;
    return 0;
  }
  void OnFinalMessage(HWND) override { delete this; }

private:
  bool* m_deleted;
  bool* m_alive;
};

TEST(WindowImpl, AnObjectDestroyingItsWindowInAHandlerIsDeletedOnlyAfterTheHandler) {
  bool deleted = false, aliveAfterDestroy = false;
  auto* window = new CSelfDeletingWindow(&deleted, &aliveAfterDestroy);
  HWND hWnd = window->Create(nullptr, nullptr, nullptr, WS_POPUP);
  ASSERT_NE(hWnd, nullptr);
  ::SendMessageW(hWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(aliveAfterDestroy);
  EXPECT_TRUE(deleted);
  EXPECT_FALSE(::IsWindow(hWnd));
}

// Chaining: a base map answers kAsk with 1 and kOther with 10.
class CBaseMap : public CMessageMap {
public:
  BEGIN_MSG_MAP(CBaseMap)
    MESSAGE_HANDLER(kAsk, OnAsk)
    MESSAGE_HANDLER(kOther, OnOther)
  END_MSG_MAP()
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnOther(UINT, WPARAM, LPARAM, BOOL&) { return 10; }
};

class COwnFirstWindow : public CWindowImpl<COwnFirstWindow>, public CBaseMap {
public:
  BEGIN_MSG_MAP(COwnFirstWindow)
    MESSAGE_HANDLER(kAsk, OnAsk)
    MESSAGE_HANDLER(kOther, OnPassOn)
    CHAIN_MSG_MAP(CBaseMap)
  END_MSG_MAP()
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 2; }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 99;
  }
};

class CBaseFirstWindow : public CWindowImpl<CBaseFirstWindow>, public CBaseMap {
public:
  BEGIN_MSG_MAP(CBaseFirstWindow)
    CHAIN_MSG_MAP(CBaseMap)
    MESSAGE_HANDLER(kAsk, OnAsk)
  END_MSG_MAP()
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 2; }
};

TEST(WindowImpl, ChainingDecidesWhoSeesAMessageFirst) {
  COwnFirstWindow ownFirst;
  CBaseFirstWindow baseFirst;
  ASSERT_NE(ownFirst.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  ASSERT_NE(baseFirst.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  EXPECT_EQ(ownFirst.SendMessage(kAsk), 2);
  EXPECT_EQ(baseFirst.SendMessage(kAsk), 1);
  // A handler that leaves the message unhandled passes it down the map.
  EXPECT_EQ(ownFirst.SendMessage(kOther), 10);
  ownFirst.DestroyWindow();
  baseFirst.DestroyWindow();
}

// A plain window procedure that answers kOther with 55.
LRESULT CALLBACK PlainProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == kOther) return 55;
  if (uMsg == WM_NCDESTROY) SetPropW(hWnd, L"WindowLibPlainLast", reinterpret_cast<HANDLE>(1));
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

HWND CreatePlainWindow() {
  static ATOM atom = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WindowLibTestPlain";
    return RegisterClassW(&wc);
  }();
  return CreateWindowExW(0, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

class CAskHook : public CWindowThunk {
public:
  int finalCalls = 0;
  BEGIN_MSG_MAP(CAskHook)
    MESSAGE_HANDLER(kAsk, OnAsk)
  END_MSG_MAP()
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 7; }
  void OnFinalMessage(HWND) override { ++finalCalls; }
};

TEST(WindowImpl, SubclassingKeepsThePreviousProcedureAndGivesItBack) {
  HWND plain = CreatePlainWindow();
  ASSERT_NE(plain, nullptr);
  LONG_PTR original = GetWindowLongPtrW(plain, GWLP_WNDPROC);

  CAskHook hook;
  ASSERT_TRUE(hook.SubclassWindow(plain));
  EXPECT_EQ(hook.m_hWnd, plain);
  EXPECT_EQ(::SendMessageW(plain, kAsk, 0, 0), 7);
  EXPECT_EQ(::SendMessageW(plain, kOther, 0, 0), 55);  // left to the previous procedure
  EXPECT_FALSE(hook.SubclassWindow(plain));             // one window per object

  EXPECT_EQ(hook.UnsubclassWindow(), plain);
  EXPECT_EQ(hook.m_hWnd, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(plain, GWLP_WNDPROC), original);
  EXPECT_EQ(::SendMessageW(plain, kAsk, 0, 0), 0);
  DestroyWindow(plain);
  EXPECT_EQ(hook.finalCalls, 0);
}

TEST(WindowImpl, UnsubclassingUnderAnotherSubclassIsRefusedUnlessForced) {
  HWND plain = CreatePlainWindow();
  CAskHook lower, upper;
  ASSERT_TRUE(lower.SubclassWindow(plain));
  ASSERT_TRUE(upper.SubclassWindow(plain));
  EXPECT_EQ(lower.UnsubclassWindow(), nullptr);
  EXPECT_EQ(::SendMessageW(plain, kOther, 0, 0), 55);  // through both to the plain procedure
  EXPECT_EQ(upper.UnsubclassWindow(), plain);
  EXPECT_EQ(lower.UnsubclassWindow(), plain);
  EXPECT_EQ(::SendMessageW(plain, kAsk, 0, 0), 0);
  DestroyWindow(plain);
}

TEST(WindowImpl, ASubclassObjectGetsTheFinalMessageAfterThePreviousProcedure) {
  HWND plain = CreatePlainWindow();
  CAskHook hook;
  ASSERT_TRUE(hook.SubclassWindow(plain));
  DestroyWindow(plain);
  EXPECT_EQ(hook.finalCalls, 1);
  EXPECT_EQ(hook.m_hWnd, nullptr);
}

// Creation refused by WM_CREATE: no window, and nothing left pending.
class CRefusingWindow : public CWindowImpl<CRefusingWindow> {
public:
  BEGIN_MSG_MAP(CRefusingWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
  END_MSG_MAP()
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) { return -1; }
};

TEST(WindowImpl, FailedCreationLeavesNothingBehind) {
  CRefusingWindow window;
  EXPECT_EQ(window.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  EXPECT_EQ(window.m_hWnd, nullptr);
  EXPECT_EQ(GetModule().ExtractCreateWndData(CModule::kWindowCreation), nullptr);

  // A window of one of our classes made without an object gets the default.
  ATOM atom = CCountingWindow::GetWndClassInfo().Register();
  HWND bare = CreateWindowExW(0, MAKEINTATOM(atom), L"bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModule().GetModuleInstance(), nullptr);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(::SendMessageW(bare, kAsk, 1, 0), 0);
  DestroyWindow(bare);
}

TEST(WindowImpl, ChildWindowsGetTheirIdAndParent) {
  CCountingWindow parent, child;
  ASSERT_NE(parent.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  RECT rect = {1, 2, 31, 22};
  ASSERT_NE(child.Create(parent, &rect, nullptr, 0, 0, 77), nullptr);
  EXPECT_EQ(child.GetParent(), parent.m_hWnd);
  EXPECT_EQ(child.GetDlgCtrlID(), 77);
  EXPECT_TRUE(child.GetStyle() & WS_CHILD);
  RECT client;
  child.GetClientRect(&client);
  EXPECT_EQ(client.right, 30);
  EXPECT_EQ(client.bottom, 20);
  parent.DestroyWindow();
  EXPECT_EQ(child.finalCalls, 1);
}

// Reflection: the parent sends its children's notifications back to them.
class CReflectingParent : public CWindowImpl<CReflectingParent> {
public:
  BEGIN_MSG_MAP(CReflectingParent)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

class CReflectedChild : public CWindowImpl<CReflectedChild> {
public:
  UINT lastMessage = 0;
  WPARAM lastWParam = 0;
  LPARAM lastLParam = 0;
  BEGIN_MSG_MAP(CReflectedChild)
    MESSAGE_RANGE_HANDLER(OCM__BASE, OCM__BASE + 0x1FF, OnReflected)
  END_MSG_MAP()
  LRESULT OnReflected(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    lastMessage = uMsg;
    lastWParam = wParam;
    lastLParam = lParam;
    return 0x51;
  }
};

TEST(WindowImpl, NotificationsAreReflectedToTheSendingControl) {
  CReflectingParent parent;
  CReflectedChild child;
  ASSERT_NE(parent.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  ASSERT_NE(child.Create(parent, nullptr, nullptr, 0, 0, 12), nullptr);

  NMHDR header = {child, 12, static_cast<UINT>(NM_CUSTOMDRAW)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&header)), 0x51);
  EXPECT_EQ(child.lastMessage, 0x204Eu);
  EXPECT_EQ(child.lastLParam, reinterpret_cast<LPARAM>(&header));

  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {WM_COMMAND, MAKEWPARAM(12, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd)},
      {WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(child.m_hWnd)},
      {WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(child.m_hWnd)},
      {WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child.m_hWnd)},
      {WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child.m_hWnd)},
      {WM_VKEYTOITEM, VK_DOWN, reinterpret_cast<LPARAM>(child.m_hWnd)},
  };
  for (const Case& c : cases) {
    child.lastMessage = 0;
    EXPECT_EQ(parent.SendMessage(c.message, c.wParam, c.lParam), 0x51) << c.message;
    EXPECT_EQ(child.lastMessage, OCM__BASE + c.message);
    EXPECT_EQ(child.lastWParam, c.wParam);
  }

  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_BUTTON;
  draw.CtlID = 12;
  draw.hwndItem = child;
  EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, 12, reinterpret_cast<LPARAM>(&draw)), 0x51);
  EXPECT_EQ(child.lastMessage, static_cast<UINT>(OCM_DRAWITEM));
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = 12;
  EXPECT_EQ(parent.SendMessage(WM_MEASUREITEM, 12, reinterpret_cast<LPARAM>(&measure)), 0x51);
  EXPECT_EQ(child.lastMessage, static_cast<UINT>(OCM_MEASUREITEM));

  // A menu command has no control: nothing is reflected.
  child.lastMessage = 0;
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(40001, 0), 0);
  EXPECT_EQ(child.lastMessage, 0u);
  parent.DestroyWindow();
}

class CPlainClassWindow : public CWindowImpl<CPlainClassWindow> {
public:
  DECLARE_WND_CLASS_CURSOR(L"WindowLibTestNoCursor", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW, nullptr)
  BEGIN_MSG_MAP(CPlainClassWindow)
  END_MSG_MAP()
};

TEST(WindowImpl, TheClassRecordIsRegisteredAsDeclared) {
  ASSERT_NE(CPlainClassWindow::GetWndClassInfo().Register(), 0);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  ASSERT_TRUE(GetClassInfoExW(GetModule().GetModuleInstance(), L"WindowLibTestNoCursor", &wc));
  EXPECT_EQ(wc.style, 3u);
  EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_EQ(wc.hCursor, nullptr);

  // A class without a name of its own gets one made up, the same for every window.
  ATOM made = CRefusingWindow::GetWndClassInfo().Register();
  ASSERT_NE(made, 0);
  EXPECT_EQ(CRefusingWindow::GetWndClassInfo().Register(), made);
}

TEST(WindowImpl, ModuleTermUnregistersTheClassesOfWindowObjects) {
  ATOM atom = CCountingWindow::GetWndClassInfo().Register();
  ASSERT_NE(atom, 0);
  GetModule().Term();
  EXPECT_EQ(CCountingWindow::GetWndClassInfo().atom, 0);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  EXPECT_FALSE(GetClassInfoExW(GetModule().GetModuleInstance(), L"WindowLibTestCounting", &wc));
  CCountingWindow window;
  ASSERT_NE(window.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);  // registered again
  window.DestroyWindow();
}

class CUnregisteredWindow : public CWindowImpl<CUnregisteredWindow> {
public:
  DECLARE_WND_CLASS(L"WindowLibTestUnregistered")
  BEGIN_MSG_MAP(CUnregisteredWindow)
  END_MSG_MAP()
};

// A library loaded again unregisters its classes one by one (one may be left over
// from its earlier load, registered by nobody this module knows); each record that
// lost its class forgets the atom, so the next window registers the class anew.
TEST(WindowImpl, OneClassIsUnregisteredAndItsAtomForgotten) {
  CWndClassInfo& info = CUnregisteredWindow::GetWndClassInfo();
  const HINSTANCE instance = GetModule().GetModuleInstance();
  WNDCLASSEXW found = {};
  found.cbSize = sizeof(found);

  EXPECT_FALSE(info.Unregister()) << "not registered: nothing to do";
  EXPECT_EQ(info.atom, 0);

  CUnregisteredWindow first;
  ASSERT_NE(first.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  const ATOM registered = info.atom;
  ASSERT_NE(registered, 0);
  EXPECT_FALSE(info.Unregister()) << "a window of the class still exists";
  EXPECT_EQ(info.atom, registered);
  first.DestroyWindow();
  ASSERT_NE(CCountingWindow::GetWndClassInfo().Register(), 0);

  EXPECT_TRUE(info.Unregister());
  EXPECT_EQ(info.atom, 0);
  EXPECT_FALSE(GetClassInfoExW(instance, L"WindowLibTestUnregistered", &found));
  EXPECT_TRUE(GetClassInfoExW(instance, L"WindowLibTestCounting", &found)) << "the other classes stay";

  // Left over from an earlier load: registered outside the module, same name.
  WNDCLASSEXW stale = {};
  stale.cbSize = sizeof(stale);
  stale.lpfnWndProc = DefWindowProcW;
  stale.hInstance = instance;
  stale.lpszClassName = L"WindowLibTestUnregistered";
  ASSERT_NE(RegisterClassExW(&stale), 0);
  EXPECT_TRUE(info.Unregister());
  CUnregisteredWindow second;
  ASSERT_NE(second.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr) << "registered anew with our procedure";
  EXPECT_EQ(second.SendMessage(WM_NULL), 0);
  ASSERT_TRUE(GetClassInfoExW(instance, L"WindowLibTestUnregistered", &found));
  EXPECT_NE(found.lpfnWndProc, reinterpret_cast<WNDPROC>(DefWindowProcW));
  second.DestroyWindow();

  // Term unregisters the new registration as it does every other.
  GetModule().Term();
  EXPECT_EQ(info.atom, 0);
  EXPECT_FALSE(GetClassInfoExW(instance, L"WindowLibTestUnregistered", &found));
}

}  // namespace

namespace {

// The notification macros take the control library's own constants, whose
// names must not collide with the header's member they are compared against.
class CNotifiedWindow : public CWindowImpl<CNotifiedWindow> {
public:
  int byIdAndCode = 0;
  int byCode = 0;
  int reflected = 0;
  BEGIN_MSG_MAP(CNotifiedWindow)
    NOTIFY_HANDLER(7, TVN_ITEMEXPANDINGW, OnByIdAndCode)
    NOTIFY_CODE_HANDLER(NM_RETURN, OnByCode)
    REFLECTED_NOTIFY_CODE_HANDLER(NM_CLICK, OnReflected)
  END_MSG_MAP()
  LRESULT OnByIdAndCode(int, NMHDR*, BOOL&) { return ++byIdAndCode; }
  LRESULT OnByCode(int, NMHDR*, BOOL&) { return ++byCode; }
  LRESULT OnReflected(int, NMHDR*, BOOL&) { return ++reflected; }
};

}  // namespace

TEST(WindowImpl, NotificationHandlersMatchTheirIdAndCode) {
  CNotifiedWindow window;
  ASSERT_NE(window.Create(nullptr, nullptr, nullptr, WS_POPUP), nullptr);
  struct Case {
    UINT message;
    UINT_PTR id;
    UINT code;
    int CNotifiedWindow::*counter;  // null: no handler may take it
  };
  const Case cases[] = {
      {WM_NOTIFY, 7, static_cast<UINT>(TVN_ITEMEXPANDINGW), &CNotifiedWindow::byIdAndCode},
      {WM_NOTIFY, 8, static_cast<UINT>(TVN_ITEMEXPANDINGW), nullptr},
      {WM_NOTIFY, 3, static_cast<UINT>(NM_RETURN), &CNotifiedWindow::byCode},
      {WM_NOTIFY, 3, static_cast<UINT>(NM_CLICK), nullptr},
      {OCM_NOTIFY, 3, static_cast<UINT>(NM_CLICK), &CNotifiedWindow::reflected},
      {OCM_NOTIFY, 3, static_cast<UINT>(NM_RETURN), nullptr},
  };
  for (const Case& c : cases) {
    const int before = window.byIdAndCode + window.byCode + window.reflected;
    NMHDR header = {window, c.id, c.code};
    const LRESULT result = window.SendMessage(c.message, c.id, reinterpret_cast<LPARAM>(&header));
    const int after = window.byIdAndCode + window.byCode + window.reflected;
    if (c.counter) {
      EXPECT_EQ(after, before + 1) << c.message << " " << c.id << " " << c.code;
      EXPECT_EQ(result, window.*c.counter);
    } else {
      EXPECT_EQ(after, before) << c.message << " " << c.id << " " << c.code;
    }
  }
  window.DestroyWindow();
}
