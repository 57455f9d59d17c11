// Binding Pocket Informant's tools library: absent or incomplete libraries are
// harmless, a complete one is called with what it is given, and none stays loaded.
#include "pim/PocketInformantTools.h"

#include <gtest/gtest.h>

#include <string>

#include "base/tests/RegistrySandbox.h"

namespace {

// HKEY_CURRENT_USER of this process redirected into a key of its own.
class CurrentUserSandbox {
 public:
  CurrentUserSandbox() : m_sandbox(L"pim_pitools", HKEY_CURRENT_USER) {
    RegCreateKeyExW(HKEY_CURRENT_USER, m_sandbox.Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    if (m_key) RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
  }
  ~CurrentUserSandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key) RegCloseKey(m_key);
  }
  CurrentUserSandbox(const CurrentUserSandbox&) = delete;
  CurrentUserSandbox& operator=(const CurrentUserSandbox&) = delete;
  // Inside the redirection: HKEY_CURRENT_USER is the sandbox now.
  CRegistryView Tools() const { return CRegistryView(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant"); }
  bool Ok() const { return m_key != nullptr; }

 private:
  CRegistrySandbox m_sandbox;
  HKEY m_key = nullptr;
};

std::wstring BesideTests(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.rfind(L'\\') + 1) + name;
}

std::wstring LastCall() {
  wchar_t text[256] = {};
  if (!GetEnvironmentVariableW(L"PITOOLS_CALL", text, 256)) return L"";
  return text;
}

bool Loaded(const wchar_t* name) { return GetModuleHandleW(name) != nullptr; }

TEST(PocketInformantTools, AbsentOrIncompleteLibrariesAreHarmless) {
  CurrentUserSandbox user;
  ASSERT_TRUE(user.Ok());
  const std::wstring longPath = BesideTests(L"") + std::wstring(300, L'x') + L"PIToolsFull.dll";
  const struct Case {
    const char* what;
    bool key;
    std::wstring location;
  } cases[] = {
      {"no Pocket Informant", false, L""},
      {"a location that does not exist", true, L"\\Program Files\\Nowhere\\PITools.dll"},
      {"a library without every entry point", true, BesideTests(L"PIToolsPartial.dll")},
      {"a location longer than a path", true, longPath},
      {"an empty location", true, L""},
  };
  CPocketInformantTools tools;
  for (const Case& c : cases) {
    user.Tools().Delete();
    if (c.key) user.Tools().WriteString(L"PIToolsLoc", c.location.c_str());
    SetEnvironmentVariableW(L"PITOOLS_CALL", nullptr);
    EXPECT_FALSE(tools.Bind()) << c.what;
    EXPECT_FALSE(tools.IsBound()) << c.what;
    EXPECT_FALSE(tools.IsAvailable()) << c.what;
    EXPECT_EQ(tools.ShowAppointment(nullptr, 1, 2, 3, 4, 0.0), 0) << c.what;
    EXPECT_EQ(tools.ShowTask(nullptr, 1, 2, 3), 0) << c.what;
    EXPECT_EQ(LastCall(), L"") << c.what;
    EXPECT_FALSE(Loaded(L"PIToolsPartial.dll")) << c.what << ": nothing stays loaded";
  }
}

TEST(PocketInformantTools, ACompleteLibraryIsCalledAndFreed) {
  CurrentUserSandbox user;
  ASSERT_TRUE(user.Ok());
  user.Tools().WriteString(L"PIToolsLoc", BesideTests(L"PIToolsFull.dll").c_str());
  CPocketInformantTools& tools = CPocketInformantTools::Instance();
  EXPECT_TRUE(tools.IsAvailable());
  EXPECT_FALSE(Loaded(L"PIToolsFull.dll"));

  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x10));
  EXPECT_EQ(tools.ShowAppointment(window, 1, 2, 3, 4, 46000.5), 7);
  EXPECT_EQ(LastCall(), L"D_Appt 0000000000000010 1 2 3 4 46000.50");
  EXPECT_FALSE(Loaded(L"PIToolsFull.dll"));
  EXPECT_EQ(tools.ShowTask(window, 5, 6, 7), 7);
  EXPECT_EQ(LastCall(), L"D_Task 0000000000000010 5 6 7");
  EXPECT_FALSE(Loaded(L"PIToolsFull.dll"));

  EXPECT_TRUE(BindPITools());
  EXPECT_TRUE(Loaded(L"PIToolsFull.dll"));
  tools.Unbind();
  EXPECT_FALSE(Loaded(L"PIToolsFull.dll"));
}

}  // namespace
