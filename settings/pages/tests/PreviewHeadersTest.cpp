#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/pages/PreviewGroupItem.h"
#include "settings/shell/tests/ShellTestSupport.h"

namespace {

struct CommandOwner : IListItemOwner {
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM value) override { commands.push_back(value); }
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<LPARAM> commands;
};

class PreviewHeadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_resources.Module(), nullptr);
    SetScreenDpi(96, 96);
    const CViewSettings& view = GetViewSettings();
    m_saved[0] = view.AppGroup_Today;
    m_saved[1] = view.AppGroup_Offset;
    m_saved[2] = view.AppGroup_Span;
  }
  void TearDown() override {
    CViewSettings& view = GetViewSettings();
    view.AppGroup_Today = m_saved[0];
    view.AppGroup_Offset = m_saved[1];
    view.AppGroup_Span = m_saved[2];
    SetScreenDpi(0, 0);
  }
  std::wstring Title(CGroupElement& header) {
    CString title;
    header.GetTitle(title);
    return static_cast<LPCWSTR>(title);
  }

  CProductResources m_resources;
  int m_saved[3] = {};
};

TEST_F(PreviewHeadersTest, GroupHeadersShowTheSampleTitleOfTheirGrouping) {
  const struct {
    int group;
    const wchar_t* title;
  } cases[] = {{-1, L"Appointments"}, {0, L"Monday"}, {1, L"This week"}, {7, L"Appointments"}};
  for (const auto& c : cases) {
    CPreviewGroupItem header(nullptr, c.group);
    EXPECT_EQ(Title(header), c.title) << c.group;
    EXPECT_EQ(header.GetKind(), 552);
  }
}

TEST_F(PreviewHeadersTest, DayTitlesFollowTheSettings) {
  const double today = GetTodayDate();
  struct Case {
    const char* name;
    double day;
    int showToday, offset;
    std::wstring start, end;
  };
  const Case cases[] = {
      {"today", today, 1, 1, L"Today, ", L""},
      {"tomorrow", today + 1, 1, 2, L"Tomorrow, ", L""},
      {"in two days, label last", today + 2, 1, 2, L"", L" [+2]"},
      {"in two days, label first", today + 2, 0, 1, L"[+2] ", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GetViewSettings().AppGroup_Today = c.showToday;
    GetViewSettings().AppGroup_Offset = c.offset;
    CPreviewDateItem header(nullptr, c.day);
    EXPECT_EQ(header.GetKind(), 557);
    const std::wstring title = Title(header);
    EXPECT_EQ(title.substr(0, c.start.size()), c.start);
    ASSERT_GE(title.size(), c.end.size());
    EXPECT_EQ(title.substr(title.size() - c.end.size()), c.end);
  }
}

TEST_F(PreviewHeadersTest, ColumnsAndTheirPenDownCommands) {
  struct Case {
    const char* name;
    BOOL forecast;
    int span;
    std::vector<int> widths;
  };
  const Case cases[] = {
      {"none", FALSE, 0, {}},
      {"span", FALSE, 1, {24}},
      {"forecast", TRUE, 0, {16}},
      {"both", TRUE, 1, {16, 24}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GetViewSettings().AppGroup_Span = c.span;
    CommandOwner owner;
    CPreviewDateItem header(&owner, GetTodayDate() + 3);
    header.ShowForecast(c.forecast);
    CSimpleValArray<int> widths;
    ASSERT_EQ(header.GetColumns(widths), static_cast<int>(c.widths.size()));
    for (size_t i = 0; i < c.widths.size(); ++i) EXPECT_EQ(widths[static_cast<int>(i)], c.widths[i]);

    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(240, 40, RGB(255, 255, 255)));
    const RECT clip = {0, 0, 240, 40};
    CTextRunList context(&dib, clip);
    header.SetSize(220, 220, -1, FALSE);
    POINT origin = {10, 5};
    header.Draw(&context, &origin);

    const RECT span = header.GetSpanRect();
    const RECT forecast = header.GetForecastRect();
    EXPECT_EQ(!IsRectEmpty(&span), c.span != 0);
    EXPECT_EQ(!IsRectEmpty(&forecast), c.forecast != FALSE);
    std::vector<LPARAM> expected;
    if (c.span) {
      EXPECT_EQ(span.right - span.left, 24);
      EXPECT_EQ(span.bottom - span.top, 5);
      EXPECT_LE(span.right, 220);
      POINT inside = {span.left + 2, span.top + 2};
      EXPECT_TRUE(header.OnPress(&inside));
      expected.push_back(768);
    }
    if (c.forecast) {
      EXPECT_EQ(forecast.right - forecast.left, 16);
      EXPECT_EQ(forecast.bottom - forecast.top, 16);
      POINT inside = {forecast.left + 8, forecast.top + 8};
      EXPECT_TRUE(header.OnPress(&inside));
      expected.push_back(769);
    }
    POINT title = {60, 6};
    header.OnPress(&title);
    EXPECT_EQ(owner.commands, expected);
  }
}

}  // namespace
