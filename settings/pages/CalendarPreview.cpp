#include "settings/pages/CalendarPreview.h"

#include "base/AppointmentRecord.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "graphics/TextLayout.h"
#include "pim/ApptStatusColors.h"
#include "pim/CategoryIcons.h"
#include "res/TarvoResIds.h"
#include "settings/base/PreviewTexts.h"
#include "tabs/calendar/TimeSpanBar.h"

namespace {

const int kNoteIcon = 0, kMeetingIcon = 3, kRecurrenceIcon = 4, kPrivateIcon = 5, kCategoryMark = 6,
          kReminderIcon = 7;
// The all-day style's status picture.
const int kAllDayStatusImage = 48;
// Category pictures are drawn at this logical size.
const int kPictureSide = 16;

SIZE SlotSize(int skinIcon) {
  SIZE size = {0, 0};
  if (skinIcon != CCalendarPreview::kCategoryIcon) size = CSkin::Instance().GetIconSize(skinIcon);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(kPictureSide), ScaleY(kPictureSide)};
  return size;
}

CString FormatClock(double date) {
  CString text;
  SYSTEMTIME time = {};
  if (VariantDateToSystemTime(date, &time)) FormatTime(text, time);
  return text;
}

CFontInfo* ListFont(int style) {
  CFontCache* fonts = GetFontCache();
  return fonts ? fonts->GetStyleFont(style, FALSE) : nullptr;
}

RECT Shifted(const RECT& r, const POINT* origin) {
  return RECT{r.left + origin->x, r.top + origin->y, r.right + origin->x, r.bottom + origin->y};
}

}  // namespace

CCalendarPreview::CCalendarPreview(CAppointmentRecord* record, BOOL conflict, IListItemOwner* owner)
    : CPimListItem(owner), m_record(record), m_conflict(conflict && GetViewSettings().App_MarkConflicting != 0) {
  if (m_record) m_record->AddRef();
}

CCalendarPreview::~CCalendarPreview() {
  if (m_record) m_record->Release();
}

DWORD_PTR CCalendarPreview::GetUserData() { return m_record ? m_record->m_itemId : 0; }

void CCalendarPreview::AddIcon(int skinIcon, int category) {
  if (m_iconCount >= kMaxIcons) return;
  const SIZE size = SlotSize(skinIcon);
  m_icons[m_iconCount++] = IconSlot{RECT{0, 0, size.cx, size.cy}, skinIcon, category};
}

void CCalendarPreview::AddLetterIcons(WCHAR letter, int shownCategory) {
  switch (letter) {
    case L'n':
      if (m_record->m_hasNotes) AddIcon(kNoteIcon, -1);
      break;
    case L'r':
      if (m_record->m_isRecurring) AddIcon(kRecurrenceIcon, -1);
      break;
    case L's':
      if (m_record->m_isPrivate) AddIcon(kPrivateIcon, -1);
      break;
    case L'a':
      if (m_record->m_reminderSet) AddIcon(kReminderIcon, -1);
      break;
    case L'q':
      if (m_record->m_isMeeting) AddIcon(kMeetingIcon, -1);
      break;
    case L'c':
      if (m_categoryIcons) {
        // The leading slot takes the first picture; the others follow the letters.
        if (shownCategory >= 0) AddIcon(kCategoryIcon, shownCategory);
      } else if (m_record->m_categories.FindNext(0) >= 0) {
        AddIcon(kCategoryMark, -1);
      }
      break;
    default:
      break;
  }
}

int CCalendarPreview::LayoutLine(CString& text, RECT& rect, CFontInfo* font, BOOL singleLine, BOOL withBoxes,
                                 int firstBox) {
  HDC screen = GetDC(nullptr);
  CTextLayout layout;
  layout.SetDC(screen);
  layout.SetFont(font);
  layout.SetCachedWidths(!m_drawn);
  if (withBoxes)
    for (int k = firstBox; k < m_iconCount; ++k)
      layout.AddBox(m_icons[k].rect.right - m_icons[k].rect.left, m_icons[k].rect.bottom - m_icons[k].rect.top);
  layout.Layout(text, rect, singleLine);
  if (withBoxes)
    for (int k = firstBox, box = 0; k < m_iconCount && box < layout.GetBoxCount(); ++k, ++box)
      m_icons[k].rect = layout.GetBox(box);
  ReleaseDC(nullptr, screen);
  return rect.bottom;
}

int CCalendarPreview::Layout() {
  m_timeText.Empty();
  m_timeLine.Empty();
  m_subjectLine.Empty();
  m_timeRect = m_subjectRect = m_statusRect = RECT{};
  m_iconCount = 0;
  m_firstBox = 0;
  m_allDayStyle = FALSE;
  m_mode = 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  if (!m_record || width <= 0) return 0;
  const CViewSettings& view = GetViewSettings();

  // The days the appointment covers; an end on midnight belongs to the day before.
  const double startDay = VariantDateFloor(m_record->m_start);
  const double endValue = m_record->m_end + (m_record->m_allDay ? 1.0 : 0.0);
  double endDay = VariantDateFloor(endValue);
  if (endValue == endDay && m_record->m_start != m_record->m_end) endDay -= 1.0;
  if (endDay < startDay) endDay = startDay;
  // The previews show the appointment on its first day.
  AppointmentDays days = {m_record->m_allDay, endDay != startDay, TRUE, endDay == startDay};

  m_mode = view.AppPattern.count;
  if (view.dbgNewStyleForAllAndMultiday && (days.allDay || (days.multiDay && !days.firstDay && !days.lastDay))) {
    m_mode = 1;
    m_allDayStyle = TRUE;
  }

  // Icons: a single letter before the digit leads the row; the others follow the text.
  CCategoryIcons* pictures = GetCategoryIcons();
  int firstPicture = -1;
  if (m_categoryIcons && pictures)
    for (int i = m_record->m_categories.FindNext(0); i >= 0; i = m_record->m_categories.FindNext(i + 1))
      if (pictures->GetIcon(i)) {
        firstPicture = i;
        break;
      }
  const CString& before = view.AppPattern.first;
  const CString& after = view.AppPattern.rest;
  int shown = -1;
  if (before.GetLength() == 1) {
    AddLetterIcons(before[0], firstPicture);
    if (m_iconCount > 0) {
      RECT& lead = m_icons[0].rect;
      OffsetRect(&lead, ScaleX(16) - lead.right, 0);
      if (m_icons[0].skinIcon == kCategoryIcon) shown = m_icons[0].category;
    }
  }
  m_firstBox = m_iconCount;
  for (int k = 0; k < after.GetLength(); ++k) AddLetterIcons(after[k], -1);
  if (m_categoryIcons && pictures && (before.Find(L'c') >= 0 || after.Find(L'c') >= 0))
    for (int i = m_record->m_categories.FindNext(0); i >= 0 && m_iconCount < kMaxIcons;
         i = m_record->m_categories.FindNext(i + 1))
      if (i != shown && pictures->GetIcon(i)) AddIcon(kCategoryIcon, i);

  // The text area, after the status bar when there is one.
  int textLeft = ScaleX(16);
  const SIZE statusImage = CSkin::Instance().GetIconSize(kAllDayStatusImage);
  const BOOL statusImageBar = m_allDayStyle && statusImage.cx > 0 && statusImage.cy > 0;
  if (view.App_StatusBar) {
    if (statusImageBar)
      m_statusRect = {ScaleX(16), 0, ScaleX(16) + statusImage.cx, statusImage.cy};
    else
      m_statusRect = {ScaleX(18), ScaleY(2), ScaleX(18) + ScaleX(4), ScaleY(2)};
    textLeft = m_statusRect.right + ScaleX(3);
  }

  CString allDayText, continuedText;
  LoadTranslatedString(allDayText, IDS_APPT_ALL_DAY);
  LoadTranslatedString(continuedText, IDS_APPT_CONTINUED);
  m_timeText = BuildAppointmentTimeText(FormatClock(m_record->m_start), FormatClock(m_record->m_end), days,
                                        m_allDayStyle, view.App_StartOnly, allDayText, continuedText);
  CString subject = m_record->m_subject;
  if (m_count >= 0) subject.Format(L"%s (%d)", static_cast<LPCWSTR>(m_record->m_subject), m_count);
  const BOOL withLocation = view.App_Location && !m_record->m_location.IsEmpty();
  const BOOL singleLine =
      view.App_SubjectStyle == 1 ? TRUE : (view.App_SubjectStyle == 2 ? FALSE : !m_bSelected);

  CFontInfo* listFont = ListFont(0);
  CFontInfo* secondFont = ListFont(1);
  if (!secondFont) secondFont = listFont;
  int height = listFont ? listFont->GetHeight() : ScaleY(13);
  if (listFont && m_mode == 1) {
    if (!m_timeText.IsEmpty()) m_timeLine = m_timeText + L": ";
    m_subjectLine = subject;
    if (withLocation) m_subjectLine.Format(L"%s (%s)", static_cast<LPCWSTR>(subject),
                                           static_cast<LPCWSTR>(m_record->m_location));
    HDC screen = GetDC(nullptr);
    CTextLayout measure;
    measure.SetDC(screen);
    measure.SetFont(listFont);
    measure.SetCachedWidths(!m_drawn);
    m_timeRect = {textLeft, 0, textLeft, 0};
    measure.MeasureLine(m_timeLine, m_timeRect);
    ReleaseDC(nullptr, screen);
    if (m_timeRect.right > width) m_timeRect.right = width;
    m_subjectRect = {m_timeRect.right, 0, width, 0};
    height = LayoutLine(m_subjectLine, m_subjectRect, listFont, singleLine, TRUE, m_firstBox);
    if (m_timeRect.bottom > height) height = m_timeRect.bottom;
  } else if (listFont && (m_mode == 2 || m_mode == 3)) {
    m_subjectLine = subject;
    m_subjectRect = {textLeft, 0, width, 0};
    LayoutLine(m_subjectLine, m_subjectRect, secondFont, singleLine, m_mode == 2, m_firstBox);
    m_timeLine = m_timeText;
    if (withLocation) m_timeLine.Format(L"%s (%s)", static_cast<LPCWSTR>(m_timeText),
                                        static_cast<LPCWSTR>(m_record->m_location));
    m_timeRect = {textLeft, m_subjectRect.bottom, width, m_subjectRect.bottom};
    height = LayoutLine(m_timeLine, m_timeRect, listFont, singleLine, m_mode == 3, m_firstBox);
  } else {
    // No text to follow: only the leading icon has a place.
    m_iconCount = m_firstBox;
  }
  // Icons taller than their line would reach into the next row: the row takes them in.
  for (int k = 0; k < m_iconCount; ++k)
    if (m_icons[k].rect.bottom > height) height = m_icons[k].rect.bottom;
  if (view.App_StatusBar && !statusImageBar) m_statusRect.bottom = height - ScaleY(2);
  return height;
}

void CCalendarPreview::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_record) return;
  if (!m_drawn) {
    // From now on every layout measures through the device, as the panel's rows do.
    m_drawn = TRUE;
    Relayout();
  }
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  const int height = GetHeight(-1);
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  CCategoryIcons* pictures = GetCategoryIcons();
  CFontInfo* listFont = ListFont(0);
  CFontInfo* secondFont = ListFont(1);
  HFONT oldFont = context->SetFont(listFont ? listFont->GetFont() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  COLORREF text = colors.Get(CSkinColors::kText);
  if (m_bSelected) {
    const RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(CSkinColors::kHighlight))
      if (dc) FillRect(dc, &all, brush);
    text = colors.Get(CSkinColors::kHighlightText);
  } else if (pictures) {
    text = pictures->GetColors().GetItemColor(m_record->m_categories, text);
  }
  const COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);

  const RECT timeRect = Shifted(m_timeRect, origin);
  if (!m_timeLine.IsEmpty()) {
    context->AddText(m_timeLine, &timeRect, DT_NOPREFIX);
    if (m_conflict && !m_timeText.IsEmpty()) {
      context->SetTextColor(colors.Get(CSkinColors::kStatus));
      context->AddText(m_timeText, &timeRect, DT_NOPREFIX);
      context->SetTextColor(text);
    }
  }
  if ((m_mode == 2 || m_mode == 3) && secondFont) context->SetFont(secondFont->GetFont());
  if (!m_subjectLine.IsEmpty()) {
    const RECT subjectRect = Shifted(m_subjectRect, origin);
    context->AddText(m_subjectLine, &subjectRect, DT_NOPREFIX);
  }

  for (int k = 0; k < m_iconCount; ++k) {
    const RECT r = Shifted(m_icons[k].rect, origin);
    if (m_icons[k].skinIcon == kCategoryIcon) {
      if (CKeyedBitmap* picture = pictures ? pictures->GetIcon(m_icons[k].category) : nullptr)
        picture->DrawTransparent(context->GetTarget(), r.left, r.top, dc);
    } else {
      CSkin::Instance().DrawIcon(m_icons[k].skinIcon, context->GetTarget(), r.left, r.top, dc);
    }
  }

  if (!IsRectEmpty(&m_statusRect) && dc) {
    RECT bar = Shifted(m_statusRect, origin);
    const int status = m_record->m_busyStatus;
    if (m_allDayStyle && CSkin::Instance().GetIconSize(kAllDayStatusImage).cx > 0) {
      CSkin::Instance().DrawIconRecoloured(kAllDayStatusImage, context->GetTarget(), bar.left, bar.top, dc,
                                           LoadApptStatusColor(m_conflict ? 5 : status));
    } else {
      HBRUSH frame = m_conflict ? colors.GetSolidBrush(CSkinColors::kStatus) : nullptr;
      FillRect(dc, &bar, frame ? frame : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&bar, -1, -1);
      if (!IsRectEmpty(&bar))
        FillRect(dc, &bar, CTimeSpanBar::GetStatusBrush(status >= 0 && status <= 5 ? status : -1));
    }
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
}
