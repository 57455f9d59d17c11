#include "settings/pages/PagePreview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "settings/pages/CalendarIconsPage.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/CalendarTitlesPage.h"
#include "settings/pages/CalendarViewStylePage.h"
#include "settings/pages/ContactsIconsPage.h"
#include "settings/pages/ContactsViewStylePage.h"
#include "settings/pages/GroupStylePage.h"
#include "settings/pages/NotesViewStylePage.h"
#include "settings/pages/PatternIcons.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/pages/PreviewGroupItem.h"
#include "settings/pages/SectionSheet.h"
#include "settings/pages/SkinsPage.h"
#include "settings/pages/TasksIconsPage.h"
#include "settings/pages/TasksViewStylePage.h"
#include "settings/pages/tests/PageRunner.h"
#include "tabs/notes/NoteItem.h"
#include "tabs/tasks/TaskRowRenderer.h"

namespace {

// A row of a fixed height that marks its origin with a 4 x 4 blue square.
class MarkRow : public CListItem {
 public:
  explicit MarkRow(int height) : CListItem(nullptr), m_height(height) {}
  int GetHeight(int) override { return m_height; }
  void Draw(CTextRunList* context, const POINT* origin) override {
    const RECT mark = {origin->x, origin->y, origin->x + 4, origin->y + 4};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(context->GetDC(), &mark, blue);
    DeleteObject(blue);
  }
  int GetKind() override { return 0; }

 private:
  int m_height;
};

COLORREF At(const CDib& image, int x, int y) {
  const BYTE* p = image.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

class PagePreviewDrawing : public ::testing::Test {
 protected:
  void TearDown() override { SetScreenDpi(0, 0); }
};

// The background lies under the rows only (3 px and the rows; two rows count the
// first one's height twice), the rows one under the other, the window colour
// everywhere else; a background smaller than that covers what it has.
TEST_F(PagePreviewDrawing, TheBackgroundLiesUnderTheRowsOnly) {
  struct Case {
    const char* name;
    int dpi;
    int first, second;  // row heights in device pixels, 0: no row
    int backgroundSide;
    int top, height;  // logical
  };
  const Case cases[] = {
      {"one row", 96, 20, 0, 300, 105, 100},
      {"two rows: twice the first", 96, 20, 30, 300, 100, 100},
      {"no rows: the 3-pixel edge", 96, 0, 0, 300, 90, 150},
      {"192 dpi", 192, 40, 0, 600, 120, 150},
      {"small background", 96, 20, 20, 12, 110, 100},
  };
  const RECT client = {0, 0, 240, 268};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetScreenDpi(c.dpi, c.dpi);
    const RECT wide = {0, 0, client.right * c.dpi / 96, client.bottom * c.dpi / 96};
    const RECT rect = CPagePreview::PlaceIn(wide, c.top, c.height);
    EXPECT_EQ(rect.left, 10 * c.dpi / 96);
    EXPECT_EQ(rect.right, wide.right - 10 * c.dpi / 96);
    EXPECT_EQ(rect.top, c.top * c.dpi / 96);
    EXPECT_EQ(rect.bottom - rect.top, c.height * c.dpi / 96);
    CDib red;
    ASSERT_TRUE(red.CreateFilled(c.backgroundSide, c.backgroundSide, RGB(255, 0, 0)));
    CPagePreview placed;
    placed.SetBackground(red);
    placed.PlaceAt(rect);
    placed.SetRows(c.first ? new MarkRow(c.first) : nullptr, c.second ? new MarkRow(c.second) : nullptr);
    CDib image;
    ASSERT_TRUE(placed.Compose(wide, image));
    const int edge = 3 * c.dpi / 96;
    const int rows = c.first * (c.second ? 2 : 1);
    EXPECT_EQ(placed.GetBackgroundHeight(), edge + rows);
    int covered = edge + rows;
    if (covered > c.backgroundSide) covered = c.backgroundSide;
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const int x = rect.left + 8;
    for (int y = 0; y < wide.bottom; ++y) {
      const bool under = y >= rect.top && y < rect.top + covered;
      ASSERT_EQ(At(image, x, y), under ? RGB(255, 0, 0) : window) << "y " << y;
      ASSERT_EQ(At(image, rect.left - 1, y), window) << "y " << y;
    }
    if (c.first) {
      EXPECT_EQ(At(image, rect.left + 1, rect.top + 1), RGB(0, 0, 255));
    }
    if (c.second) {
      EXPECT_EQ(At(image, rect.left + 1, rect.top + c.first + 1), RGB(0, 0, 255));
    }
  }
}

using PagePreviewPages = PageRunTest;

struct PageCase {
  const char* name;
  int section, page;
  int top, height;
  int kinds[2];  // 0: no row
  // Acts on the page and checks that the sample follows; may be empty.
  std::function<void(HWND, CPagePreview&)> follow;
};

CPagePreview* PreviewOf(CSectionSheet* sheet, int section, int index) {
  COptionsPageBase* page = sheet->GetPage(index);
  switch (section * 10 + index) {
    case 2: return &static_cast<CGroupStylePage*>(page)->GetPreview();
    case 5: return &static_cast<CSkinsPage*>(page)->GetPreview();
    case 13: return &static_cast<CCalendarTitlesPage*>(page)->GetPreview();
    case 14: return &static_cast<CCalendarViewStylePage*>(page)->GetPreview();
    case 15: return &static_cast<CCalendarIconsPage*>(page)->GetPreview();
    case 21: return &static_cast<CTasksViewStylePage*>(page)->GetPreview();
    case 22: return &static_cast<CTasksIconsPage*>(page)->GetPreview();
    case 32: return &static_cast<CContactsViewStylePage*>(page)->GetPreview();
    case 33: return &static_cast<CContactsIconsPage*>(page)->GetPreview();
    case 42: return &static_cast<CNotesViewStylePage*>(page)->GetPreview();
    default: return nullptr;
  }
}

// Each page with a preview places its sample rows where its table row says, draws
// them over the Today background, and lays them out again as its controls change.
TEST_F(PagePreviewPages, EachPageShowsItsSampleRowsAndFollowsItsControls) {
  const PageCase cases[] = {
      {"group style", 0, 2, 100, 100, {kPreviewGroupItemKind, kPreviewDateItemKind},
       [](HWND page, CPagePreview& preview) {
         // The empty day's count shows only while empty counts are not hidden.
         CString count;
         static_cast<CGroupElement*>(preview.GetRow(1))->GetCountText(count);
         const bool hidden = count.IsEmpty();
         Click(page, kStripeNoNullBox);
         static_cast<CGroupElement*>(preview.GetRow(1))->GetCountText(count);
         EXPECT_EQ(count.IsEmpty(), !hidden);
         CString groupCount;
         static_cast<CGroupElement*>(preview.GetRow(0))->GetCountText(groupCount);
         EXPECT_EQ(std::wstring(groupCount), L" (3)");
         EXPECT_TRUE(static_cast<CGroupElement*>(preview.GetRow(0))->IsFolded());
       }},
      {"skins", 0, 5, 90, 150, {ITEM_KIND_APPOINTMENT, ITEM_KIND_TASK}, nullptr},
      {"calendar titles", 1, 3, 130, 100, {kPreviewDateItemKind, kPreviewDateItemKind},
       [](HWND page, CPagePreview& preview) {
         // No forecast column here (Qel Sovel is not installed): only the span column.
         const bool span = GetViewSettings().AppGroup_Span != 0;
         Click(page, kSpanBarBox);
         CSimpleValArray<int> widths;
         static_cast<CPreviewDateItem*>(preview.GetRow(1))->GetHeaderIcons(widths);
         EXPECT_EQ(widths.GetSize() > 0, !span);
       }},
      {"calendar view style", 1, 4, 120, 150, {ITEM_KIND_APPOINTMENT, 0},
       [](HWND page, CPagePreview& preview) {
         auto* row = static_cast<CCalendarPreview*>(preview.GetRow(0));
         Choose(page, kAppLinesCombo, 0);
         EXPECT_EQ(row->GetDisplayMode(), 1);
         Choose(page, kAppLinesCombo, 1);
         EXPECT_EQ(row->GetDisplayMode(), 2);
       }},
      {"calendar icons", 1, 5, 105, 100, {ITEM_KIND_APPOINTMENT, 0}, nullptr},
      {"task view style", 2, 1, 105, 100, {ITEM_KIND_TASK, 0},
       [](HWND page, CPagePreview& preview) {
         auto* row = static_cast<CTaskRowRenderer*>(preview.GetRow(0));
         const bool box = !IsRectEmpty(&row->GetCheckRect());
         Click(page, kTaskCheckBoxBox);
         EXPECT_EQ(!IsRectEmpty(&row->GetCheckRect()), !box);
       }},
      {"task icons", 2, 2, 105, 100, {ITEM_KIND_TASK, 0}, nullptr},
      {"contact view style", 3, 2, 80, 50, {ITEM_KIND_CONTACT, 0}, nullptr},
      {"contact icons", 3, 3, 120, 100, {ITEM_KIND_CONTACT, 0}, nullptr},
      {"note view style", 4, 2, 110, 100, {CNoteItem::kKind, CNoteItem::kKind},
       [](HWND page, CPagePreview& preview) {
         // The rows are made again with the size column on or off.
         const bool size = GetViewSettings().NoteDrawSize != 0;
         Click(page, kNoteSizeBox);
         auto* row = static_cast<CNoteItem*>(preview.GetRow(0));
         EXPECT_EQ(!IsRectEmpty(&row->GetSizeRect()), !size);
         if (!size) {
           EXPECT_EQ(std::wstring(static_cast<CNoteItem*>(preview.GetRow(1))->GetSizeText()), L"3.45S");
         }
       }},
  };
  // The pages are as large as the device's screen at its own 96 dpi; the 192-dpi
  // placement is the drawing test's.
  {
    const int dpi = 96;
    for (const PageCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(dpi));
      SetScreenDpi(dpi, dpi);
      RECT rect = {}, client = {};
      int kinds[2] = {-1, -1};
      int background = 0;
      bool inked = false;
      CSheetDriver* running = nullptr;
      CSheetDriver driver({CSheetDriver::SelectPage(c.page),
                           [&](HWND sheet) {
                             HWND page = CSheetDriver::CurrentPage(sheet);
                             auto* object = static_cast<CSectionSheet*>(running->CurrentSheet());
                             CPagePreview* preview = PreviewOf(object, c.section, c.page);
                             ASSERT_NE(preview, nullptr);
                             // Painted once the sheet has given the page its size.
                             RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                             rect = preview->GetRect();
                             GetClientRect(page, &client);
                             for (int i = 0; i < 2; ++i)
                               kinds[i] = preview->GetRow(i) ? preview->GetRow(i)->GetKind() : 0;
                             background = preview->GetBackgroundHeight();
                             CDib image;
                             ASSERT_TRUE(preview->Compose(client, image));
                             // Something of the rows shows inside the rectangle.
                             ASSERT_LT(rect.top + 1, image.GetHeight());
                             const COLORREF first = At(image, rect.left + 1, rect.top + 1);
                             const int bottom = std::min<int>(rect.top + background - ScaleY(3), image.GetHeight());
                             const int right = std::min<int>(rect.right, image.GetWidth());
                             for (int y = rect.top; y < bottom && !inked; ++y)
                               for (int x = rect.left; x < right && !inked; ++x)
                                 if (At(image, x, y) != first) inked = true;
                             if (c.follow) c.follow(page, *preview);
                             RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                           },
                           CSheetDriver::Press(IDCANCEL)});
      running = &driver;
      GetViewSettings().Load();
      Activate(c.section);
      ASSERT_EQ(driver.Runs(), 1);
      EXPECT_EQ(rect.left, client.left + ScaleX(10));
      EXPECT_EQ(rect.right, client.right - ScaleX(10));
      EXPECT_EQ(rect.top, client.top + ScaleY(c.top));
      EXPECT_EQ(rect.bottom - rect.top, ScaleY(c.height));
      EXPECT_EQ(kinds[0], c.kinds[0]);
      EXPECT_EQ(kinds[1], c.kinds[1]);
      EXPECT_GT(background, ScaleY(3));
      EXPECT_TRUE(inked);
    }
  }
  SetScreenDpi(0, 0);
}

}  // namespace

namespace {

void DrawLeading(CTextRunList& context, void* page) {
  CPatternIcons::DrawLeadingIcon(static_cast<HWND>(page), kLeadingIconCombo, context);
}

// The icons pages show the chosen leading icon in the square left of its box, and
// nothing there while no leading icon is chosen.
TEST_F(PagePreviewPages, IconPagesShowTheChosenLeadingIconBesideTheirBox) {
  std::wstring skin = L"Z:";
  for (const char* c = TARVO_DEVICE_DIR "/skins/NewStyle"; *c; ++c) skin += *c == '/' ? L'\\' : wchar_t(*c);
  CSkin::Instance().UseSkinPath(skin.c_str());
  const int pages[][2] = {{1, 5}, {2, 2}, {3, 3}};
  for (const auto& where : pages) {
    SCOPED_TRACE(where[0] * 10 + where[1]);
    int inkedNone = -1, inkedChosen = -1;
    RECT square = {};
    CSheetDriver* running = nullptr;
    CSheetDriver driver({CSheetDriver::SelectPage(where[1]),
                         [&](HWND sheet) {
                           HWND page = CSheetDriver::CurrentPage(sheet);
                           auto* object = static_cast<CSectionSheet*>(running->CurrentSheet());
                           CPagePreview* preview = PreviewOf(object, where[0], where[1]);
                           ASSERT_NE(preview, nullptr);
                           square = CPatternIcons::GetIconSquare(page, kLeadingIconCombo);
                           RECT client = {};
                           GetClientRect(page, &client);
                           auto inked = [&]() {
                             CDib image;
                             EXPECT_TRUE(preview->Compose(client, image, &DrawLeading, page));
                             int count = 0;
                             for (int y = std::max<int>(square.top, 0); y < square.bottom && y < image.GetHeight(); ++y)
                               for (int x = std::max<int>(square.left, 0); x < square.right && x < image.GetWidth(); ++x)
                                 if (At(image, x, y) != GetSysColor(COLOR_WINDOW)) ++count;
                             return count;
                           };
                           Choose(page, kLeadingIconCombo, 0);
                           inkedNone = inked();
                           Choose(page, kLeadingIconCombo, 1);
                           EXPECT_GE(CPatternIcons::GetLeadingIcon(page, kLeadingIconCombo), 0);
                           inkedChosen = inked();
                           RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                         },
                         CSheetDriver::Press(IDCANCEL)});
    running = &driver;
    GetViewSettings().Load();
    Activate(where[0]);
    ASSERT_EQ(driver.Runs(), 1);
    // The square is as high as the box and ends where the box begins.
    EXPECT_EQ(square.right - square.left, square.bottom - square.top);
    EXPECT_GT(square.right - square.left, 0);
    EXPECT_EQ(inkedNone, 0);
    EXPECT_GT(inkedChosen, 10);
  }
  CSkin::Instance().UseSkinPath(nullptr);
  CSkin::Instance().Release();
}

}  // namespace
