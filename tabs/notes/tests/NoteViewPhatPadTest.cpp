#include <gtest/gtest.h>

#include <string>

#include "base/tests/RegistrySandbox.h"
#include "base/tests/ResourceLibraryScope.h"
#include "controls/tests/TestHost.h"
#include "pim/PhatPad.h"
#include "pim/tests/UserSandbox.h"
#include "tabs/notes/NoteViewWnd.h"
#include "tabs/notes/tests/NoteTestSupport.h"

namespace {

const wchar_t kPadKey[] = L"Software\\PhatWare\\PhatPad";

class NoteViewPhatPad : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(user.Redirected()); }
  void TearDown() override { notetest::RemoveFolder(folder); }

  CUserSandbox user{L"NoteViewPhatPad"};
  std::wstring folder = notetest::TempFolder(L"phatpad") + L"viewer\\";
};

// The note viewer shows a drawing in a PhatPad view, and closes itself when there is
// none to show; letting go of the note lets go of the view library.
TEST_F(NoteViewPhatPad, NoteViewerShowsDrawingsInAView) {
  CResourceLibraryScope resources;
  CLocalMachineSandbox machine{L"PhatPadView"};
  notetest::MakeInstallFolder(folder, true, false, true);
  CRegistryView(HKEY_CURRENT_USER, kPadKey).WriteString(L"InstPath", folder.c_str());
  const std::wstring drawing = folder + L"drawing.pwd";
  ASSERT_TRUE(notetest::WriteBytes(drawing, "page"));
  notetest::COwnerWindow owner;
  const RECT anchor = {0, 40, 100, 60};

  CNoteViewWnd view;
  ASSERT_TRUE(view.ShowInk(owner.Handle(), anchor, L"Drawing", nullptr, TRUE, drawing.c_str()));
  HWND shown = view.GetPhatPadView();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(GetParent(shown), view.m_hWnd);
  wchar_t name[64] = {};
  GetClassNameW(shown, name, 64);
  EXPECT_STREQ(name, PHATPAD_FILE_VIEW_CLASS);
  RECT at;
  GetWindowRect(shown, &at);
  MapWindowPoints(nullptr, view.m_hWnd, reinterpret_cast<POINT*>(&at), 2);
  EXPECT_EQ(at.top, view.GetContentRect().top);
  DestroyWindow(view.m_hWnd);
  EXPECT_EQ(GetModuleHandleW(L"PhatPadViewCtl.dll"), nullptr);

  EXPECT_FALSE(view.ShowInk(owner.Handle(), anchor, L"Missing", nullptr, TRUE, (folder + L"gone.pwd").c_str()));
  EXPECT_TRUE(ctltest::PumpUntil([&] { return view.IsClosed() != FALSE; }));

  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PhatWare");
  EXPECT_FALSE(view.ShowInk(owner.Handle(), anchor, L"No PhatPad", nullptr, TRUE, drawing.c_str()));
  EXPECT_TRUE(ctltest::PumpUntil([&] { return view.IsClosed() != FALSE; }));
}

}  // namespace
