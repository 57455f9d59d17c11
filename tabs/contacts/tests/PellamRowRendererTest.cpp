// The transaction row: where its icon, texts and reminder go in both modes and both
// layouts, its menu, and the commands it takes without changing anything.
#include "tabs/contacts/PellamRowRenderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/BitmapDC.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/tests/MenuReader.h"
#include "controls/TextRunList.h"
#include "controls/tests/SelectedRowPicture.h"
#include "graphics/SkinColors.h"
#include "panel/PanelPrompt.h"
#include "panel/tests/MessageBoxAnswer.h"
#include "platform/pellam/PellamScheduledApi.h"
#include "tabs/contacts/PellamTransactionItem.h"

namespace {

struct Owner : IListItemOwner {
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem*) override {}
  void OnItemReleased(CListItem*) override {}
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM) override {}
  BOOL IsFirstItem(CListItem*) override { return TRUE; }
  void OnItemFolded(CListItem*, BOOL) override {}
};

CPellamTransactionItem* MakeItem(LPCWSTR first, LPCWSTR second, BOOL reminder) {
  PELLAM_SCHEDULED_RECORD record = {};
  record.pszFirst = first;
  record.pszSecond = second;
  record.pszThird = L"kept, not shown";
  record.wYear = 2026;
  record.wMonth = 3;
  record.wDay = 18;
  record.dwReminder = reminder;
  record.dwId = 7;
  return CPellamTransactionItem::Create(record, 0);
}

class PellamRowRendererTest : public ::testing::Test {
 protected:
  PellamRowRendererTest() { SetScreenDpi(96, 96); }
  Owner m_owner;
};

TEST_F(PellamRowRendererTest, IconColumnTextsAndReminderByModeAndLayout) {
  const struct {
    int mode;
    BOOL wide;
    BOOL reminder;
    LPCWSTR second;
    int iconRight;
  } cases[] = {
      {CPellamRowRenderer::kModeCaption, FALSE, FALSE, L"-850.00", 30},
      {CPellamRowRenderer::kModeDate, FALSE, TRUE, L"-850.00", 30},
      {CPellamRowRenderer::kModeCaption, TRUE, TRUE, L"", 38},
      {CPellamRowRenderer::kModeDate, TRUE, FALSE, nullptr, 38},
  };
  SYSTEMTIME day = {};
  day.wYear = 2026;
  day.wMonth = 3;
  day.wDay = 18;
  CString date;
  FormatShortDate(date, day);
  for (const auto& c : cases) {
    CPellamTransactionItem* item = MakeItem(L"Rent", c.second, c.reminder);
    {
      CPellamRowRenderer row(item, &m_owner, c.mode, c.wide);
      EXPECT_EQ(item->GetRefCount(), 2);
      EXPECT_EQ(row.GetKind(), ITEM_KIND_TRANSACTION);
      row.SetSize(200, 200, 0, TRUE);
      EXPECT_GT(row.GetHeight(-1), 0);
      CString expected = L"Rent";
      if (c.mode == CPellamRowRenderer::kModeDate) expected.Format(L"%s: Rent", static_cast<LPCWSTR>(date));
      EXPECT_STREQ(row.GetFirstLine(), expected);
      EXPECT_EQ(row.GetIconRect().right, c.iconRight);
      EXPECT_EQ(row.GetFirstRect().left, c.iconRight + 2);
      const bool second = c.second && *c.second;
      // The trailing parts end 2 px inside the row, never flush with its edge.
      const int edge = 198;
      if (c.reminder) {
        EXPECT_EQ(row.GetReminderRect().right, edge);
        EXPECT_LT(row.GetReminderRect().left, edge);
      } else {
        EXPECT_TRUE(IsRectEmpty(&row.GetReminderRect()));
      }
      const int trailing = c.reminder ? row.GetReminderRect().left - 2 : edge;
      if (second) {
        EXPECT_EQ(row.GetSecondRect().right, trailing);
        EXPECT_EQ(row.GetFirstRect().right, row.GetSecondRect().left - 4);
      } else {
        EXPECT_TRUE(IsRectEmpty(&row.GetSecondRect()));
        EXPECT_EQ(row.GetFirstRect().right, trailing);
      }
    }
    EXPECT_EQ(item->GetRefCount(), 1);
    item->Release();
  }
}

// On the large screen the amount keeps its inset in device pixels too.
TEST_F(PellamRowRendererTest, TheAmountKeepsOffTheRightEdgeOnTheLargeScreen) {
  SetScreenDpi(192, 192);
  for (BOOL reminder : {FALSE, TRUE}) {
    CPellamTransactionItem* item = MakeItem(L"Rent", L"-850.00", reminder);
    {
      CPellamRowRenderer row(item, &m_owner, CPellamRowRenderer::kModeCaption);
      row.SetSize(470, 470, 0, TRUE);
      row.GetHeight(-1);
      const RECT& last = reminder ? row.GetReminderRect() : row.GetSecondRect();
      EXPECT_EQ(last.right, 466) << "reminder " << reminder;
      EXPECT_LT(row.GetSecondRect().right, 470);
    }
    item->Release();
  }
  SetScreenDpi(96, 96);
}

TEST_F(PellamRowRendererTest, ANarrowRowNeverTurnsItsRectanglesInsideOut) {
  CPellamTransactionItem* item = MakeItem(L"A rather long first text", L"-1,234,567.89", TRUE);
  CPellamRowRenderer row(item, &m_owner, CPellamRowRenderer::kModeDate);
  for (int width : {0, 1, 20, 40, 60}) {
    row.SetSize(width, width, 0, TRUE);
    row.GetHeight(-1);
    EXPECT_LE(row.GetFirstRect().left, row.GetFirstRect().right) << width;
    EXPECT_LE(row.GetSecondRect().left, row.GetSecondRect().right) << width;
  }
  item->Release();
}

TEST_F(PellamRowRendererTest, MenuAtTheTopAndCommandsThatChangeNothing) {
  CPellamTransactionItem* item = MakeItem(L"Rent", L"-850.00", FALSE);
  CPellamRowRenderer row(item, &m_owner, 0);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 4242, L"a tab's entry");
  row.BuildMenu(menu);
  const std::vector<MenuEntry> entries = ReadMenu(menu);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].id, 1029);
  EXPECT_TRUE(entries[1].separator);
  EXPECT_EQ(entries[2].id, 1027);
  EXPECT_EQ(entries[3].id, 4242);
  DestroyMenu(menu);

  CMessageBoxAnswer box(IDYES);
  const struct {
    UINT command;
    BOOL taken;
    size_t asked;
  } cases[] = {{1001, TRUE, 0}, {1002, TRUE, 0}, {1006, TRUE, 0}, {1007, TRUE, 0},
               {1003, TRUE, 1}, {1029, FALSE, 1}, {1027, FALSE, 1}, {1004, FALSE, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(row.OnCommand(c.command), c.taken) << c.command;
    EXPECT_EQ(box.asked.size(), c.asked) << c.command;
  }
  ASSERT_EQ(box.asked.size(), 1u);
  EXPECT_EQ(box.Last().caption, L"Rent");
  EXPECT_EQ(box.Last().type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
  // Yes changed nothing: the item is as it was.
  EXPECT_STREQ(item->m_first, L"Rent");
  item->Release();
}

TEST_F(PellamRowRendererTest, ASelectedRowIsFilledWithTheSelectionColour) {
  CPellamTransactionItem* item = MakeItem(L"Rent", L"-850.00", TRUE);
  CPellamRowRenderer row(item, &m_owner, 1);
  const CSelectedRowPicture picture(row, 120);
  ASSERT_TRUE(picture.Drawn());
  POINT origin = {0, 0};
  row.Draw(nullptr, &origin);
  ASSERT_NE(CSelectedRowPicture::SelectionColour(), CLR_INVALID);
  // The bottom-left corner lies below the icon and left of the texts.
  EXPECT_EQ(picture.At(0, picture.Height() - 1), CSelectedRowPicture::SelectionColour());
  // The first line and the second text, in the selected text colour.
  ASSERT_EQ(picture.Runs().GetRunCount(), 2);
  EXPECT_EQ(picture.Runs().GetRun(0).textColor, CSkinColors::Instance().Get(4));
  item->Release();
}

}  // namespace
