#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "base/AppointmentRecord.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/Dib.h"
#include "graphics/FontCache.h"
#include "settings/pages/CalendarPreview.h"
#include "settings/pages/PreviewDateItem.h"
#include "settings/shell/tests/ShellTestSupport.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactListItem.h"

namespace {

// The view settings the rows read, put back after each test.
class PreviewRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_resources.Module(), nullptr);
    SetScreenDpi(96, 96);
    CViewSettings& view = GetViewSettings();
    m_ints = {&view.App_SubjectStyle, &view.App_Location,        &view.App_StatusBar,
              &view.App_StartOnly,    &view.App_MarkConflicting, &view.dbgNewStyleForAllAndMultiday,
              &view.ContLeftIdent,    &view.ContDisplay,         &view.AppGroup_Span};
    for (int* value : m_ints) m_saved.push_back(*value);
    m_appPattern = view.AppPattern;
    m_contactPattern = view.ContactPattern;
    view.App_SubjectStyle = 3;
    view.App_Location = 1;
    view.App_StatusBar = 1;
    view.App_StartOnly = 0;
    view.App_MarkConflicting = 1;
    view.dbgNewStyleForAllAndMultiday = 1;
    view.ContLeftIdent = 1;
    view.ContDisplay = 1;
  }
  void TearDown() override {
    for (size_t i = 0; i < m_ints.size(); ++i) *m_ints[i] = m_saved[i];
    GetViewSettings().AppPattern = m_appPattern;
    GetViewSettings().ContactPattern = m_contactPattern;
    CContactListItem::SetOptionsProgramRules(FALSE);
    SetScreenDpi(0, 0);
  }

  // The sample the calendar pages make: today 11:00 to 12:00, every mark set.
  static CAppointmentRecord* Sample() {
    CAppointmentRecord* record = new CAppointmentRecord;
    record->m_subject = L"Project review";
    record->m_location = L"Room 4";
    record->m_start = GetTodayDate() + 11.0 / 24;
    record->m_end = GetTodayDate() + 12.0 / 24;
    record->m_busyStatus = 1;
    record->m_hasNotes = record->m_reminderSet = record->m_isRecurring = record->m_isMeeting = TRUE;
    record->m_isPrivate = 1;
    record->m_categories.Set(2);
    record->m_itemId = 77;
    return record;
  }
  static std::wstring Clock(double date) {
    SYSTEMTIME time = {};
    VariantDateToSystemTime(date, &time);
    CString text;
    FormatTime(text, time);
    std::wstring out = static_cast<LPCWSTR>(text);
    for (wchar_t& ch : out) ch = static_cast<wchar_t>(std::towlower(ch));
    return out;
  }
  static void Draw(CListItem& row, int width) {
    CDib dib;
    ASSERT_TRUE(dib.CreateFilled(width, 80, RGB(255, 255, 255)));
    const RECT clip = {0, 0, width, 80};
    CTextRunList context(&dib, clip);
    POINT origin = {0, 0};
    row.Draw(&context, &origin);
  }
  static std::vector<int> SkinIcons(const CCalendarPreview& row) {
    std::vector<int> icons;
    for (int k = 0; k < row.GetIconCount(); ++k) icons.push_back(row.GetIcon(k).skinIcon);
    return icons;
  }

  CProductResources m_resources;
  CFontCache m_fonts;
  std::vector<int*> m_ints;
  std::vector<int> m_saved;
  CItemPattern m_appPattern, m_contactPattern;
};

void SetAppPattern(LPCWSTR text) { CViewSettings::ParsePattern(text, GetViewSettings().AppPattern); }
void SetContactPattern(LPCWSTR text) { CViewSettings::ParsePattern(text, GetViewSettings().ContactPattern); }

TEST_F(PreviewRowsTest, AppointmentRowFollowsTheSettings) {
  const std::wstring start = Clock(GetTodayDate() + 11.0 / 24), end = Clock(GetTodayDate() + 12.0 / 24);
  struct Case {
    const char* name;
    const wchar_t* pattern;
    int location, startOnly, statusBar;
    int mode;
    std::wstring timeLine, subjectLine;
    std::vector<int> icons;  // leading icon first
    BOOL leading;
  };
  const Case cases[] = {
      {"default pattern", L"n3rqsca", 1, 0, 1, 3, start + L"-" + end + L" (Room 4)", L"Project review",
       {0, 4, 3, 5, 6, 7}, TRUE},
      {"start only, no location", L"n3rqsca", 0, 1, 1, 3, start, L"Project review", {0, 4, 3, 5, 6, 7}, TRUE},
      {"time line first", L"a1n", 1, 0, 0, 1, start + L"-" + end + L": ", L"Project review (Room 4)", {7, 0}, TRUE},
      {"subject first, icons behind it", L"2cq", 0, 0, 1, 2, start + L"-" + end, L"Project review", {6, 3}, FALSE},
      {"two letters lead nothing", L"nr3s", 1, 0, 1, 3, start + L"-" + end + L" (Room 4)", L"Project review", {5},
       FALSE},
      {"another mode lays out no text", L"n4rq", 1, 0, 1, 4, L"", L"", {0}, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetAppPattern(c.pattern);
    GetViewSettings().App_Location = c.location;
    GetViewSettings().App_StartOnly = c.startOnly;
    GetViewSettings().App_StatusBar = c.statusBar;
    CAppointmentRecord* record = Sample();
    CCalendarPreview row(record, FALSE, nullptr);
    record->Release();
    EXPECT_EQ(row.GetKind(), 504);
    EXPECT_EQ(row.GetItemId(), 77u);
    row.SetSize(400, 400, -1, FALSE);
    const int height = row.GetHeight(-1);
    EXPECT_GT(height, 0);
    EXPECT_EQ(row.GetDisplayMode(), c.mode);
    EXPECT_FALSE(row.IsAllDayStyle());
    EXPECT_EQ(std::wstring(row.GetTimeLine()), c.timeLine);
    EXPECT_EQ(std::wstring(row.GetSubjectLine()), c.subjectLine);
    EXPECT_EQ(SkinIcons(row), c.icons);
    if (c.leading) {
      EXPECT_EQ(row.GetIcon(0).rect.right, 16);
    }

    // The text area starts 3 px after the status bar, which runs 2 px inside the row.
    const RECT status = row.GetStatusRect();
    const int textLeft = c.statusBar ? 25 : 16;
    if (c.statusBar) {
      EXPECT_EQ(status.left, 18);
      EXPECT_EQ(status.right, 22);
      EXPECT_EQ(status.top, 2);
      EXPECT_EQ(status.bottom, height - 2);
    } else {
      EXPECT_TRUE(IsRectEmpty(&status));
    }
    if (c.mode == 1) {
      EXPECT_EQ(row.GetTimeRect().left, textLeft);
      EXPECT_EQ(row.GetSubjectRect().left, row.GetTimeRect().right);
    } else if (c.mode == 2 || c.mode == 3) {
      // The subject line first, the time line right under it; the icons behind the
      // subject in mode 2, behind the time line in mode 3.
      EXPECT_EQ(row.GetSubjectRect().left, textLeft);
      EXPECT_EQ(row.GetTimeRect().top, row.GetSubjectRect().bottom);
      EXPECT_GE(height, row.GetTimeRect().bottom);
      const RECT& line = c.mode == 2 ? row.GetSubjectRect() : row.GetTimeRect();
      for (int k = c.leading ? 1 : 0; k < row.GetIconCount(); ++k) {
        EXPECT_GE(row.GetIcon(k).rect.top, line.top) << k;
        EXPECT_LT(row.GetIcon(k).rect.top, line.bottom) << k;
        EXPECT_GE(row.GetIcon(k).rect.left, row.GetTimeRect().left) << k;
        // The row is as high as its lines and the icons behind them.
        EXPECT_LE(row.GetIcon(k).rect.bottom, height) << k;
      }
    }
  }
}

TEST_F(PreviewRowsTest, AppointmentDaysAndTheAllDayStyle) {
  const double today = GetTodayDate();
  struct Case {
    const char* name;
    double start, end;
    BOOL allDay;
    int newStyle;
    int mode;
    BOOL allDayStyle;
    std::wstring timeText;
  };
  const Case cases[] = {
      {"all day, new style", today, today, TRUE, 1, 1, TRUE, L""},
      {"all day, old style", today, today, TRUE, 0, 3, FALSE, L"All day"},
      {"into tomorrow", today + 22.0 / 24, today + 1 + 2.0 / 24, FALSE, 1, 3, FALSE,
       Clock(today + 22.0 / 24) + L"-..."},
      {"ends on midnight: one day", today + 23.0 / 24, today + 1, FALSE, 1, 3, FALSE,
       Clock(today + 23.0 / 24) + L"-" + Clock(today + 1)},
      {"no length on midnight", today, today, FALSE, 1, 3, FALSE, Clock(today) + L"-" + Clock(today)},
  };
  SetAppPattern(L"n3rqsca");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GetViewSettings().dbgNewStyleForAllAndMultiday = c.newStyle;
    CAppointmentRecord* record = Sample();
    record->m_start = c.start;
    record->m_end = c.end;
    record->m_allDay = c.allDay;
    CCalendarPreview row(record, FALSE, nullptr);
    record->Release();
    row.SetSize(230, 230, -1, FALSE);
    row.GetHeight(-1);
    EXPECT_EQ(row.GetDisplayMode(), c.mode);
    EXPECT_EQ(row.IsAllDayStyle(), c.allDayStyle);
    EXPECT_EQ(std::wstring(row.GetTimeText()), c.timeText);
  }
}

TEST_F(PreviewRowsTest, AppointmentSubjectWrapsByStyleAndSelection) {
  SetAppPattern(L"n3rqsca");
  struct Case {
    int style;
    BOOL selected;
    BOOL wraps;
  };
  const Case cases[] = {{1, FALSE, FALSE}, {1, TRUE, FALSE}, {2, FALSE, TRUE},
                        {3, FALSE, FALSE}, {3, TRUE, TRUE},  {7, TRUE, TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << (c.selected ? " selected" : ""));
    GetViewSettings().App_SubjectStyle = c.style;
    CAppointmentRecord* record = Sample();
    record->m_subject = L"A long subject that cannot fit on one line of a narrow row";
    CCalendarPreview row(record, FALSE, nullptr);
    record->Release();
    row.SetSubjectCount(3);
    row.SetSelected(c.selected, TRUE);
    row.SetSize(120, 120, -1, FALSE);
    row.GetHeight(-1);
    const RECT subject = row.GetSubjectRect();
    CFontInfo* font = m_fonts.GetStyleFont(1, FALSE);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(subject.bottom - subject.top > font->GetHeight(), c.wraps);
    EXPECT_EQ(row.GetSubjectLine().Find(L"\n") >= 0, c.wraps);
    if (!c.wraps) {
      EXPECT_LT(row.GetSubjectLine().Find(L" (3)"), 0);  // cut with an ellipsis
    }
  }
  // A wide row shows the count behind the subject.
  CAppointmentRecord* record = Sample();
  CCalendarPreview row(record, FALSE, nullptr);
  record->Release();
  row.SetSubjectCount(3);
  row.SetSize(230, 230, -1, FALSE);
  row.GetHeight(-1);
  EXPECT_EQ(std::wstring(row.GetSubjectLine()), L"Project review (3)");
}

TEST_F(PreviewRowsTest, AppointmentConflictAndDrawing) {
  SetAppPattern(L"n3rqsca");
  for (int mark : {0, 1}) {
    GetViewSettings().App_MarkConflicting = mark;
    CAppointmentRecord* record = Sample();
    CCalendarPreview row(record, TRUE, nullptr);
    record->Release();
    EXPECT_EQ(row.IsConflicting(), mark != 0);
    CAppointmentRecord* quiet = Sample();
    CCalendarPreview calm(quiet, FALSE, nullptr);
    quiet->Release();
    EXPECT_FALSE(calm.IsConflicting());
  }

  // The first drawing lays the row out again, measuring through the device; the bar
  // is a black frame around the busy status's colour.
  CAppointmentRecord* record = Sample();
  CCalendarPreview row(record, FALSE, nullptr);
  record->Release();
  row.SetSize(230, 230, -1, FALSE);
  row.GetHeight(-1);
  EXPECT_FALSE(row.IsMeasuredByDevice());
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(230, 80, RGB(255, 255, 255)));
  const RECT clip = {0, 0, 230, 80};
  {
    CTextRunList context(&dib, clip);
    POINT origin = {0, 0};
    row.Draw(&context, &origin);
    context.Draw(dib.GetDC(), 0, 0);
    dib.ReleaseDC();
  }
  EXPECT_TRUE(row.IsMeasuredByDevice());
  const RECT bar = row.GetStatusRect();
  ASSERT_FALSE(IsRectEmpty(&bar));
  const BYTE* edge = dib.Pixel(bar.left, bar.top + 1);
  EXPECT_EQ(edge[0] + edge[1] + edge[2], 0);
  const BYTE* inside = dib.Pixel(bar.left + 1, bar.top + 2);
  EXPECT_NE(inside[0] + inside[1] + inside[2], 0);
  // Some text was written in the text area.
  int dark = 0;
  for (int y = 0; y < row.GetHeight(-1) && y < 80; ++y)
    for (int x = 25; x < 230; ++x)
      if (dib.Pixel(x, y)[0] < 128) ++dark;
  EXPECT_GT(dark, 20);
}

TEST_F(PreviewRowsTest, DayHeaderDrawsTheSpanBarAndForecastPicture) {
  GetViewSettings().AppGroup_Span = 1;
  CPreviewDateItem header(nullptr, GetTodayDate() + 2);
  header.ShowForecast(TRUE);
  header.SetDate(GetTodayDate() + 2);
  EXPECT_EQ(header.GetSpanBar().GetSlotCount(), 24);
  EXPECT_EQ(header.GetSpanBar().GetDay(), static_cast<LONG>(GetTodayDate() + 2));
  EXPECT_EQ(header.GetSpanBar().GetLevel(0), -1);
  CDib dib;
  ASSERT_TRUE(dib.CreateFilled(240, 40, RGB(255, 255, 255)));
  const RECT clip = {0, 0, 240, 40};
  {
    CTextRunList context(&dib, clip);
    header.SetSize(240, 240, -1, FALSE);
    POINT origin = {0, 0};
    header.Draw(&context, &origin);
  }
  auto inked = [&dib](const RECT& r) {
    int count = 0;
    for (int y = r.top > 0 ? r.top : 0; y < r.bottom && y < 40; ++y)
      for (int x = r.left > 0 ? r.left : 0; x < r.right && x < 240; ++x) {
        const BYTE* p = dib.Pixel(x, y);
        if (p[0] != 255 || p[1] != 255 || p[2] != 255) ++count;
      }
    return count;
  };
  const RECT span = header.GetSpanRect();
  ASSERT_FALSE(IsRectEmpty(&span));
  ASSERT_GE(span.top, 1);
  const RECT frame = {span.left - 1, span.top - 1, span.right + 1, span.bottom + 1};
  EXPECT_GT(inked(frame), 0);
  EXPECT_GT(inked(header.GetForecastRect()), 16);
}

// A contact with a name, one phone number and notes.
CONTACT_ITEM* SampleContact(BOOL withField) {
  CONTACT_ITEM* contact = CONTACT_ITEM::Create(12, 12);
  contact->m_firstName = L"Ada";
  contact->m_lastName = L"Lindqvist";
  if (withField) contact->m_fields[4] = L"555 0101";
  contact->m_defaultField = withField ? 4 : -1;
  contact->m_hasNotes = TRUE;
  return contact;
}

// The panel's row and the options program's preview are one class; the table gives
// where the two sets of rules part.
TEST_F(PreviewRowsTest, ContactRowLayoutBothWays) {
  struct Case {
    const char* name;
    const wchar_t* pattern;
    int leftIdent;
    BOOL field;
    // Options program: text left, leading icon, the field text shown, field icon shown.
    int textLeft;
    BOOL leading;
    BOOL fieldText;
    BOOL fieldIcon;
  };
  const Case cases[] = {
      {"default", L"c1n", 1, TRUE, 16, TRUE, TRUE, TRUE},
      {"no field: no field icon", L"c1n", 1, FALSE, 16, TRUE, FALSE, FALSE},
      {"field at the right", L"c2n", 1, TRUE, 16, TRUE, TRUE, TRUE},
      {"icon only", L"c3n", 1, TRUE, 16, TRUE, FALSE, TRUE},
      {"nothing before, no indent", L"1n", 0, TRUE, 2, FALSE, TRUE, TRUE},
      {"nothing before, indent", L"1n", 1, TRUE, 16, FALSE, TRUE, TRUE},
  };
  const int width = 230;
  for (BOOL options : {FALSE, TRUE}) {
    CContactListItem::SetOptionsProgramRules(options);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (options ? "options program: " : "panel: ") << c.name);
      SetContactPattern(c.pattern);
      GetViewSettings().ContLeftIdent = c.leftIdent;
      CONTACT_ITEM* contact = SampleContact(c.field);
      CContactListItem row(contact, nullptr, FALSE);
      contact->Release();
      EXPECT_EQ(row.GetKind(), 509);
      EXPECT_EQ(row.GetItemId(), 12u);
      row.SetSize(width, width, -1, FALSE);
      const int firstHeight = row.GetHeight(-1);
      CFontInfo* font = m_fonts.GetStyleFont(0, FALSE);
      ASSERT_NE(font, nullptr);
      if (options) {
        // Until drawn the preview is one line of the list font, nothing laid out.
        EXPECT_EQ(row.GetIconCount(), 0);
        EXPECT_TRUE(row.GetName().IsEmpty());
        Draw(row, width);
        EXPECT_TRUE(row.IsMeasuredByDevice());
      }
      const int height = row.GetHeight(-1);
      EXPECT_EQ(std::wstring(row.GetName()), L"Lindqvist, Ada");
      int note = -1, field = -1, lead = -1;
      for (int k = 0; k < row.GetIconCount(); ++k) {
        const CContactListItem::IconEntry& icon = row.GetIcon(k);
        if (icon.kind == CContactListItem::kIconNote) note = k;
        if (icon.kind == CContactListItem::kIconField) field = k;
        if (k == 0 && icon.kind != CContactListItem::kIconNote && icon.kind != CContactListItem::kIconField) lead = k;
      }
      ASSERT_GE(note, 0);
      if (options) {
        EXPECT_EQ(firstHeight, height);
        EXPECT_EQ(row.GetNamePartRect(0).left, c.textLeft);
        // The leading category mark ends 14 px in; the note icon follows the name.
        EXPECT_EQ(lead >= 0, c.leading);
        if (c.leading) {
          EXPECT_EQ(row.GetIcon(lead).id, 6);
          EXPECT_EQ(row.GetIcon(lead).rect.right, 14);
        }
        EXPECT_GT(row.GetIcon(note).rect.left, c.textLeft);
        EXPECT_LT(row.GetIcon(note).rect.right, width - 16);
        EXPECT_EQ(!row.GetFieldText().IsEmpty(), c.fieldText);
        EXPECT_EQ(field >= 0, c.fieldIcon);
        // The row is as high as its name line.
        EXPECT_EQ(height, font->GetHeight());
      } else {
        // The panel keeps the note icon at the row's right end and always shows the
        // field's icon; the row has a 2 px margin.
        EXPECT_GE(row.GetIcon(note).rect.right, width - 20);
        EXPECT_GE(field, 0);
        EXPECT_GE(height, font->GetHeight() + 2);
      }
      if (field >= 0 && options && c.fieldText) {
        const RECT icon = row.GetIcon(field).rect;
        const RECT text = row.GetFieldRect();
        if (c.pattern[1] == L'1' || c.pattern[0] == L'1') {
          EXPECT_EQ(text.left, icon.right);
        } else {
          EXPECT_EQ(text.right, icon.left);
        }
      }
      if (options && c.pattern[1] == L'3') {
        EXPECT_EQ(row.GetIcon(field).rect.right, width);
      }
    }
  }
}

TEST_F(PreviewRowsTest, ContactPreviewSplitsTheNameAroundTheMatch) {
  CContactListItem::SetOptionsProgramRules(TRUE);
  SetContactPattern(L"c1n");
  CONTACT_ITEM* contact = SampleContact(TRUE);
  contact->m_matchStart = 3;
  contact->m_matchLength = 40;  // to the end
  CContactListItem row(contact, nullptr, FALSE);
  contact->Release();
  row.SetSize(230, 230, -1, FALSE);
  Draw(row, 230);
  EXPECT_EQ(std::wstring(row.GetNamePart(0)), L"Lin");
  EXPECT_EQ(std::wstring(row.GetNamePart(1)), L"dqvist, Ada");
  EXPECT_TRUE(row.GetNamePart(2).IsEmpty());
  EXPECT_EQ(row.GetNamePartRect(1).left, row.GetNamePartRect(0).right);
  EXPECT_GT(row.GetNamePartRect(0).right, row.GetNamePartRect(0).left);
}

}  // namespace
