#include "settings/shell/CommandLine.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "settings/shell/tests/ShellTestSupport.h"

namespace {

TEST(CommandLineTest, EachValidSwitchPostsOneRequestInOrder) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  struct Case {
    LPCWSTR commandLine;
    HRESULT result;
    std::vector<std::pair<int, int>> requests;
  };
  const Case cases[] = {
      {L"-p5:1", S_OK, {{5, 1}}},
      {L"-P0:3", S_OK, {{0, 3}}},
      {L"-p5", E_FAIL, {}},
      {L"-x", E_FAIL, {}},
      {L"-p1:2 -p0:0", S_OK, {{1, 2}, {0, 0}}},
      // The "-" of the number is looked at too, and is not a switch.
      {L"-p-1:0", E_FAIL, {{-1, 0}}},
      {L"p5:1", S_OK, {}},
      {L"", S_OK, {}},
      {L"-p2:1 -x -p8:0", E_FAIL, {{2, 1}, {8, 0}}},
      {L"\"\\Program Files\\a-b\" -p3:4", E_FAIL, {{3, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.commandLine)));
    EXPECT_EQ(ParseCommandLine(window, c.commandLine), c.result);
    EXPECT_EQ(TakeRequests(window), c.requests);
  }
  EXPECT_EQ(ParseCommandLine(window, nullptr), S_OK);
  DestroyWindow(window);
}

}  // namespace
