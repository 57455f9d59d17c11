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
      {"a library without C_Task", true, BesideTests(L"PIToolsPartial.dll")},
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
    EXPECT_EQ(tools.GetStatus(), PI_TOOLS_NONE) << c.what;
    EXPECT_EQ(tools.DisplayAppt(1, 0.0, 0, 0, TRUE), 0) << c.what;
    EXPECT_EQ(tools.DisplayTask(1, 0, 0, TRUE), 0) << c.what;
    EXPECT_EQ(tools.DisplayContact(1, 0, 0, TRUE), 0) << c.what;
    EXPECT_EQ(tools.DisplayNote(L"\\My Documents\\a.pwi", nullptr), 0) << c.what;
    EXPECT_EQ(LastCall(), L"") << c.what;
    EXPECT_FALSE(Loaded(L"PIToolsPartial.dll")) << c.what << ": nothing stays loaded";
  }
}

TEST(PocketInformantTools, EntryPointsAreCalledWithWhatTheyAreGivenAndFreed) {
  CurrentUserSandbox user;
  ASSERT_TRUE(user.Ok());
  const struct Case {
    const wchar_t* library;
    int status;
    const wchar_t* contact;  // what showing contact 4 calls
    const wchar_t* note;     // what showing a note calls
  } cases[] = {
      {L"PIToolsFull.dll", PI_TOOLS_WITH_NOTES, L"D_Contact 4 0 0 0", L"D_Note \\a.pwi 0000000000000000"},
      {L"PIToolsOlder.dll", PI_TOOLS_PRESENT, L"DisplayContactWindowExtern 4 0 0",
       L"CreateAlarmNoteExtern 0000000000000000"},
  };
  CPocketInformantTools& tools = CPocketInformantTools::Instance();
  for (const Case& c : cases) {
    user.Tools().WriteString(L"PIToolsLoc", BesideTests(c.library).c_str());
    EXPECT_TRUE(tools.IsAvailable()) << c.library;
    EXPECT_EQ(tools.GetStatus(), c.status) << c.library;
    EXPECT_EQ(tools.DisplayAppt(3, 46000.5, 0, 0, TRUE), 7);
    EXPECT_EQ(LastCall(), L"D_Appt 3 46000.50000 0 1 0");
    EXPECT_EQ(tools.DisplayTask(5, 0, 0, FALSE), 7);
    EXPECT_EQ(LastCall(), L"D_Task 5 0 0 0");
    EXPECT_EQ(tools.DisplayContact(4, 0, 0, FALSE), c.status == PI_TOOLS_WITH_NOTES ? 7 : 1);
    EXPECT_EQ(LastCall(), c.contact);
    tools.DisplayNote(L"\\a.pwi", nullptr);
    EXPECT_EQ(LastCall(), c.note);
    EXPECT_FALSE(Loaded(c.library)) << c.library << ": nothing stays loaded";
  }
  EXPECT_TRUE(BindPITools());
  EXPECT_TRUE(Loaded(L"PIToolsOlder.dll"));
  tools.Unbind();
  EXPECT_FALSE(Loaded(L"PIToolsOlder.dll"));
}

TEST(PocketInformantTools, RepeatMarkerAndTemplatePrefix) {
  const struct {
    const wchar_t* text;
    BOOL found;
    DWORD days;
  } repeats[] = {
      {L"Water plants |3:", TRUE, 3},     {L"Water plants |3x:", FALSE, 0}, {L"|1003520:", TRUE, 1003520},
      {L"|1003521:", FALSE, 0},           {L"no marker", FALSE, 0},         {L"|12", FALSE, 0},
      {nullptr, FALSE, 0},
  };
  for (const auto& r : repeats) {
    DWORD days = 99;
    EXPECT_EQ(CPocketInformantTools::ParseRepeatDays(r.text, &days), r.found) << (r.text ? r.text : L"null");
    EXPECT_EQ(days, r.days);
  }
  CString subject;
  PI_SUBJECT_CODES codes;
  EXPECT_EQ(CPocketInformantTools::ParseItemTemplate(L"[TEMPLATE: Weekly]A:Review", subject, &codes),
            static_cast<DWORD>(PI_CODE_TEMPLATE | PI_CODE_PRIORITY_CLASS));
  EXPECT_EQ(std::wstring(codes.templateName), L"Weekly");
  EXPECT_EQ(codes.priorityClass, 0);
  EXPECT_EQ(std::wstring(subject), L"Review");
  // A letter with two digits: the reading goes on after them.
  EXPECT_EQ(CPocketInformantTools::ParseItemTemplate(L"B12:Call", subject, &codes),
            static_cast<DWORD>(PI_CODE_PRIORITY_CLASS | PI_CODE_PRIORITY_NUMBER));
  EXPECT_EQ(codes.priorityNumber, 12);
  EXPECT_EQ(std::wstring(subject), L"Call");
}

}  // namespace
