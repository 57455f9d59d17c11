#include "controls/ListItem.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/GroupHeaderItem.h"
#include "controls/ItemPalette.h"
#include "controls/TextRunList.h"
#include "base/tests/RegistrySandbox.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"

namespace {

struct CRecordingOwner : IListItemOwner {
  void OnItemChanged(CListItem*) override {}
  void OnItemClicked(CListItem*) override {}
  void OnItemSelected(CListItem* item) override { selected.push_back(item); }
  void OnItemReleased(CListItem* item) override { released.push_back(item); }
  void OnItemRemoved(CListItem*) override {}
  void OnItemNotify(CListItem*, LPARAM) override {}
  BOOL IsFirstItem(CListItem*) override { return FALSE; }
  void OnItemFolded(CListItem*, BOOL) override {}
  std::vector<CListItem*> selected;
  std::vector<CListItem*> released;
};

// A row as high as its content width, counting its layouts.
class CSampleRow : public CPimListItem {
 public:
  using CPimListItem::CPimListItem;
  int Layout() override {
    ++layouts;
    return m_nContentWidth / 2 + (m_bSelected ? 10 : 0);
  }
  void Draw(CTextRunList*, const POINT*) override {}
  int GetKind() override { return ITEM_KIND_TASK; }
  int layouts = 0;
};

TEST(ListItem, SelectionTellsTheOwnerOnlyOfChangesUnlessForced) {
  struct Case {
    BOOL initial, value, force;
    bool told;
    bool toldNull;
  };
  const Case cases[] = {
      {FALSE, TRUE, FALSE, true, false}, {TRUE, TRUE, FALSE, false, false}, {TRUE, TRUE, TRUE, true, false},
      {TRUE, FALSE, FALSE, true, true},  {FALSE, FALSE, TRUE, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.initial << c.value << c.force);
    CRecordingOwner owner;
    CSampleRow row(&owner);
    row.SetSelected(c.initial, TRUE);
    owner.selected.clear();
    row.SetSelected(c.value, c.force);
    EXPECT_EQ(row.IsSelected(), c.value);
    ASSERT_EQ(owner.selected.size(), c.told ? 1u : 0u);
    if (c.told) {
      EXPECT_EQ(owner.selected[0], c.toldNull ? nullptr : &row);
    }
  }
}

TEST(ListItem, PressSelectsAndASecondTapDeselects) {
  CRecordingOwner owner;
  CSampleRow row(&owner);
  POINT p = {1, 1};
  EXPECT_TRUE(row.OnPress(&p));
  EXPECT_TRUE(row.IsSelected());
  EXPECT_TRUE(row.IsPressed());
  EXPECT_TRUE(row.OnRelease(&p));
  EXPECT_TRUE(row.IsSelected()) << "the tap that selected it leaves it selected";
  EXPECT_FALSE(row.IsPressed());

  row.OnPress(&p);
  EXPECT_TRUE(row.IsSelected());
  EXPECT_FALSE(row.IsPressed());
  row.OnRelease(&p);
  EXPECT_FALSE(row.IsSelected());
  EXPECT_EQ(owner.released, (std::vector<CListItem*>{&row, &row}));
  EXPECT_EQ(owner.selected, (std::vector<CListItem*>{&row, nullptr}));

  CSampleRow ownerless(nullptr);
  ownerless.OnPress(&p);
  EXPECT_TRUE(ownerless.OnRelease(&p));
}

TEST(ListItem, ItemRectAnswersOnlyForItself) {
  CSampleRow row(nullptr), other(nullptr);
  row.SetSize(100, 80, -1, FALSE);
  POINT origin = {5, 7};
  RECT r = {1, 2, 3, 4};
  EXPECT_FALSE(row.GetItemRect(&other, &origin, &r));
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.bottom, 4);
  EXPECT_TRUE(row.GetItemRect(&row, &origin, &r));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.right, 105);
  EXPECT_EQ(r.bottom, 7 + 40);
}

TEST(ListItem, LayoutRunsAgainOnlyForANewSizeOrSelection) {
  CSampleRow row(nullptr);
  row.SetSize(100, 80, -1, FALSE);
  EXPECT_EQ(row.GetHeight(-1), 40);
  EXPECT_EQ(row.GetHeight(-1), 40);
  EXPECT_EQ(row.layouts, 1);

  struct Step {
    const char* what;
    void (*act)(CSampleRow&);
    int layouts;
    int height;
  };
  const Step steps[] = {
      {"same size again", [](CSampleRow& r) { r.SetSize(100, 80, -1, FALSE); }, 1, 40},
      {"new content width", [](CSampleRow& r) { r.SetSize(100, 60, -1, FALSE); }, 2, 30},
      {"selected, then sized again",
       [](CSampleRow& r) {
         r.SetSelected(TRUE, FALSE);
         r.SetSize(100, 60, -1, FALSE);
       },
       3, 40},
      {"same size, reset", [](CSampleRow& r) { r.SetSize(100, 60, -1, TRUE); }, 4, 40},
      {"relayout", [](CSampleRow& r) { r.Relayout(); }, 5, 40},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act(row);
    EXPECT_EQ(row.GetHeight(-1), s.height);
    EXPECT_EQ(row.layouts, s.layouts);
  }
}

TEST(ListItem, DefaultsAndTheLiveCount) {
  const LONG before = CListItem::GetLiveCount();
  {
    CSampleRow row(nullptr);
    EXPECT_EQ(CListItem::GetLiveCount(), before + 1);
    EXPECT_EQ(row.GetWidth(), -1);
    EXPECT_EQ(row.GetContentWidth(), -1);
    EXPECT_EQ(row.GetUserData(), 0u);
    row.SetUserData(77);
    EXPECT_EQ(row.GetUserData(), 77u);
    POINT p = {0, 0};
    EXPECT_FALSE(row.OnDoubleTap(&p));
    EXPECT_FALSE(row.OnCommand(1001));
  }
  EXPECT_EQ(CListItem::GetLiveCount(), before);
  EXPECT_TRUE(IsGroupKind(ITEM_KIND_CONTAINER));
  EXPECT_TRUE(IsGroupKind(555));
  EXPECT_FALSE(IsGroupKind(ITEM_KIND_GROUP_HEADER));
  EXPECT_TRUE(IsRecordRowKind(ITEM_KIND_CONTACT));
}

TEST(ReplaceChar, CountsWhatItReplaced) {
  CString text = L"a\nb\nc";
  EXPECT_EQ(ReplaceChar(text, L'\n', L' '), 2);
  EXPECT_EQ(text, CString(L"a b c"));
  EXPECT_EQ(ReplaceChar(text, L'a', L'a'), 0);
  EXPECT_EQ(ReplaceChar(text, L'z', L'y'), 0);
}

// A palette of plain, recognisable colours.
class CTestPalette : public IItemPalette {
 public:
  CTestPalette() : m_brush(CreateSolidBrush(RGB(0, 128, 0))) { SetItemPalette(this); }
  ~CTestPalette() {
    SetItemPalette(nullptr);
    DeleteObject(m_brush);
  }
  COLORREF GetColor(int index) override { return index == 4 ? RGB(255, 255, 0) : RGB(0, 0, 0); }
  HBRUSH GetBrush(int) override { return m_brush; }

 private:
  HBRUSH m_brush;
};

TEST(GroupHeaderItem, CaptionIsCentredAndWrappedWhenItDoesNotFit) {
  CTestPalette palette;
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(200, 60, RGB(255, 255, 255)));
  struct Case {
    const wchar_t* caption;
    int width;
    const wchar_t* text;
    UINT format;
  };
  const Case cases[] = {
      {L"Today", 200, L"Today", DT_CENTER},
      {L"A rather long\ngroup caption here", 60, L"A rather long group caption here", DT_CENTER | DT_WORDBREAK},
  };
  for (const Case& c : cases) {
    CGroupHeaderItem header(nullptr, c.caption);
    header.SetSize(c.width, c.width, 40, FALSE);
    EXPECT_EQ(header.GetHeight(-1), 40);
    EXPECT_EQ(header.GetKind(), ITEM_KIND_GROUP_HEADER);
    CTextRunList runs(&dib, {0, 0, 200, 60});
    POINT origin = {0, 10};
    header.Draw(&runs, &origin);
    ASSERT_EQ(runs.GetRunCount(), 1);
    const TEXT_RUN& run = runs.GetRun(0);
    EXPECT_EQ(run.text, CString(c.text));
    EXPECT_EQ(run.format, c.format);
    EXPECT_EQ(run.rect.left, 0);
    EXPECT_EQ(run.rect.right, c.width);
    // Centred vertically in the item.
    EXPECT_LE(abs((run.rect.top - 10) - (10 + 40 - run.rect.bottom)), 1);
    EXPECT_EQ(runs.GetFont(), nullptr) << "the context's font is restored";
  }
}

TEST(GroupHeaderItem, SelectedHeaderSitsOnTheHighlightStrip) {
  CTestPalette palette;
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(100, 40, RGB(255, 255, 255)));
  CGroupHeaderItem header(nullptr, L"Work");
  header.SetSize(100, 100, 40, FALSE);
  header.SetSelected(TRUE, FALSE);
  CTextRunList runs(&dib, {0, 0, 100, 40});
  POINT origin = {0, 0};
  header.Draw(&runs, &origin);
  ASSERT_EQ(runs.GetRunCount(), 1);
  EXPECT_EQ(runs.GetRun(0).textColor, RGB(255, 255, 0));
  const BYTE* strip = dib.Pixel(2, 20);
  EXPECT_EQ(RGB(strip[2], strip[1], strip[0]), RGB(0, 128, 0));
  const BYTE* above = dib.Pixel(2, 0);
  EXPECT_EQ(RGB(above[2], above[1], above[0]), RGB(255, 255, 255)) << "the strip hugs the text";
}

TEST(GroupHeaderItem, CaptionTakesTheBoldHeaderFontOfTheFontCache) {
  CLocalMachineSandbox machine(L"GroupHeaderFont");  // the cache reads the product key
  CFontCache fonts;
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(100, 30, RGB(255, 255, 255)));
  CGroupHeaderItem header(nullptr, L"Work");
  header.SetSize(100, 100, 30, FALSE);
  CTextRunList runs(&dib, {0, 0, 100, 30});
  POINT origin = {0, 0};
  header.Draw(&runs, &origin);
  ASSERT_EQ(runs.GetRunCount(), 1);
  EXPECT_EQ(runs.GetRun(0).font, fonts.GetHeaderFont(TRUE));
}

}  // namespace
