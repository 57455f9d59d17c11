#include "tabs/calendar/AppointmentItem.h"

#include <math.h>

#include "base/AppointmentRecord.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "pim/ApptStatusColors.h"
#include "pim/CategoryIcons.h"
#include "pim/IconProviderRef.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "tabs/calendar/AppointmentRowDialogs.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CalendarRowArt.h"
#include "res/TarvoResIds.h"
#include "tabs/calendar/TimeSpanBar.h"

namespace {

CAppointmentsList* g_list = nullptr;

BOOL CategoryHasIcon(int category) {
  CCategoryIcons* icons = GetCategoryIcons();
  return icons && icons->GetIcon(category) != nullptr;
}

}  // namespace

void CAppointmentItem::SetAppointmentsList(CAppointmentsList* list) { g_list = list; }
CAppointmentsList& CAppointmentItem::GetAppointmentsList() { return g_list ? *g_list : CAppointmentsList::GetGlobal(); }

CAppointmentItem::CAppointmentItem(CAppointmentRecord* record, BOOL conflict, IListItemOwner* owner)
    : CPimListItem(owner),
      m_record(record),
      m_past(FALSE),
      m_conflict(conflict && GetViewSettings().App_MarkConflicting != 0),
      m_timeRect{},
      m_subjectRect{},
      m_statusRect{},
      m_lines(3),
      m_statusIcon(FALSE),
      m_iconCount(0),
      m_icons{},
      m_iconRects{},
      m_day(record ? floor(record->m_start) : 0),
      m_iconsEnabled(TRUE) {
  if (m_record) m_record->AddRef();
}

CAppointmentItem::~CAppointmentItem() {
  if (m_record) m_record->Release();
}

void CAppointmentItem::SetDay(double day) {
  m_day = day;
  Relayout();
}

DWORD CAppointmentItem::GetOid() const { return m_record ? m_record->m_itemId : 0; }

BOOL CAppointmentItem::HasStatusIcon() const {
  SIZE size = CSkin::Instance().GetIconSize(APPT_ICON_STATUS);
  return size.cx > 0 && size.cy > 0;
}

int CAppointmentItem::Layout() {
  m_time.Empty();
  m_subject.Empty();
  m_timeRect = m_subjectRect = m_statusRect = RECT{};
  m_iconCount = 0;
  if (!m_record) return 0;
  const CViewSettings& settings = GetViewSettings();
  APPOINTMENT_ROW_OPTIONS options = APPOINTMENT_ROW_OPTIONS::FromViewSettings();
  options.iconsEnabled = m_iconsEnabled;
  const BOOL ownIcon = m_iconsEnabled && !m_record->m_iconName.IsEmpty() &&
                       CBitmapCache::Instance().Get(m_record->m_iconName) != nullptr;
  APPOINTMENT_ROW_TEXT text;
  ComputeAppointmentRowText(*m_record, m_day, options, CategoryHasIcon, ownIcon, &text);
  m_time = text.time;
  m_subject = text.subject;
  m_lines = text.lines;

  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  CRowMeasure measure(m_past ? 2 : 0);
  const int lineHeight = measure.LineHeight();
  int textLeft = ScaleX(16);
  m_statusIcon = FALSE;
  if (settings.App_StatusBar) {
    const BOOL wide = m_time.IsEmpty() && options.newStyle && HasStatusIcon();
    if (wide) {
      SIZE size = CSkin::Instance().GetIconSize(APPT_ICON_STATUS);
      m_statusRect = {ScaleX(16), 0, ScaleX(16) + size.cx, lineHeight};
      m_statusIcon = TRUE;
    } else {
      m_statusRect = {ScaleX(18), 0, ScaleX(18) + ScaleX(4), lineHeight};
    }
    textLeft = m_statusRect.right + ScaleX(3);
  }

  // Icons: the leading one ends 16 px in; the others stand at the right of their line.
  const int iconLine = m_lines == 3 ? 1 : 0;
  int right = width;
  for (int k = 0; k < text.iconCount; ++k) {
    const APPOINTMENT_ROW_ICON& icon = text.icons[k];
    SIZE size = {ScaleX(16), ScaleY(16)};
    if (icon.icon >= 0) {
      SIZE skin = CSkin::Instance().GetIconSize(icon.icon);
      if (skin.cx > 0 && skin.cy > 0) size = skin;
    } else if (icon.icon == APPOINTMENT_ROW_ICON::kOwnIcon) {
      if (CKeyedBitmap* own = CBitmapCache::Instance().Get(m_record->m_iconName)) size = own->GetSize();
    }
    RECT r;
    if (icon.leading) {
      r = {ScaleX(16) - size.cx, 0, ScaleX(16), size.cy};
    } else {
      const int top = iconLine * lineHeight;
      r = {right - size.cx, top, right, top + size.cy};
      right -= size.cx + ScaleX(1);
    }
    m_icons[m_iconCount] = icon;
    m_iconRects[m_iconCount++] = r;
  }
  if (right < textLeft) right = textLeft;

  // Texts: wrapped per "App_SubjectStyle" (3: only while selected).
  const int style = settings.App_SubjectStyle;
  const BOOL wrap = style == 2 || (style == 3 && m_bSelected);
  int bottom = lineHeight;
  if (m_lines == 1) {
    int x = textLeft;
    if (!m_time.IsEmpty()) {
      const int w = measure.Width(m_time);
      m_timeRect = {x, 0, x + w < right ? x + w : right, lineHeight};
      x = m_timeRect.right + ScaleX(4);
    }
    if (x > right) x = right;
    m_subjectRect = {x, 0, right, lineHeight};
    if (wrap) m_subjectRect.bottom = measure.WrappedHeight(m_subject, right - x);
    bottom = m_subjectRect.bottom;
  } else {
    const int timeRight = m_lines == 2 ? right : width;
    const int subjectRight = m_lines == 3 ? right : width;
    m_timeRect = {textLeft, 0, timeRight, lineHeight};
    if (wrap) m_timeRect.bottom = measure.WrappedHeight(m_time, timeRight - textLeft);
    CRowMeasure subjectMeasure(m_past ? 2 : 1);
    const int top = m_timeRect.bottom;
    int height = subjectMeasure.LineHeight();
    if (wrap) height = subjectMeasure.WrappedHeight(m_subject, subjectRight - textLeft);
    m_subjectRect = {textLeft, top, subjectRight, top + height};
    bottom = m_subjectRect.bottom;
  }
  if (m_statusRect.right > 0) m_statusRect.bottom = bottom;
  for (int k = 0; k < m_iconCount; ++k)
    if (m_iconRects[k].bottom > bottom) bottom = m_iconRects[k].bottom;
  return bottom + ScaleY(2);
}

int CAppointmentItem::GetIconRect(WCHAR letter, RECT* rect) {
  GetHeight(-1);
  if (rect) *rect = RECT{};
  if (!m_record) return -1;
  APPOINTMENT_ROW_ICON wanted;
  const CCategoryIcons* categories = GetCategoryIcons();
  int firstCategory = -1;
  if (categories)
    for (int i = m_record->m_categories.FindNext(0); i >= 0; i = m_record->m_categories.FindNext(i + 1))
      if (categories->GetIcon(i)) {
        firstCategory = i;
        break;
      }
  const BOOL ownIcon = m_iconsEnabled && !m_record->m_iconName.IsEmpty() &&
                       CBitmapCache::Instance().Get(m_record->m_iconName) != nullptr;
  if (!AppointmentLetterIcon(letter, *m_record, m_iconsEnabled, ownIcon, firstCategory, &wanted)) return -1;
  for (int k = 0; k < m_iconCount; ++k)
    if (m_icons[k].icon == wanted.icon && m_icons[k].category == wanted.category) {
      if (rect) *rect = m_iconRects[k];
      return wanted.icon;
    }
  return -1;
}

void CAppointmentItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_record) return;
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  const CRowPaint paint(dc, origin, width, height, m_bSelected);
  auto shifted = [&paint](const RECT& r) { return paint.Shift(r); };
  const UINT format = paint.format;
  const COLORREF textColor = paint.textColor;
  HFONT timeFont = RowFont(m_past ? 2 : 0);
  HFONT subjectFont = RowFont(m_past ? 2 : (m_lines == 1 ? 0 : 1));
  HFONT oldFont = context->SetFont(timeFont);
  COLORREF oldColor = context->SetTextColor(textColor);
  context->SetBkMode(TRANSPARENT);
  if (!m_time.IsEmpty()) {
    RECT r = shifted(m_timeRect);
    context->AddText(m_time, &r, format);
    // A conflicting appointment's times once more in the status colour, over the first.
    if (m_conflict) {
      context->SetTextColor(colors.Get(6));
      context->AddText(m_time, &r, format);
      context->SetTextColor(textColor);
    }
  }
  if (!m_subject.IsEmpty()) {
    context->SetFont(subjectFont);
    RECT r = shifted(m_subjectRect);
    context->AddText(m_subject, &r, format);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);

  // Status box.
  if (m_statusRect.right > m_statusRect.left && dc) {
    RECT box = shifted(m_statusRect);
    const LONG status = m_conflict ? 5 : m_record->m_busyStatus;
    if (m_statusIcon && m_iconsEnabled) {
      CSkin::Instance().DrawIconRecoloured(APPT_ICON_STATUS, context->GetTarget(), box.left, box.top, dc,
                                           LoadApptStatusColors(status));
    } else {
      HBRUSH frame = m_conflict ? colors.GetSolidBrush(6) : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      if (!frame) frame = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      FillRect(dc, &box, frame);
      RECT inner = {box.left + ScaleX(1), box.top + ScaleY(1), box.right - ScaleX(1), box.bottom - ScaleY(1)};
      if (inner.right > inner.left && inner.bottom > inner.top)
        FillRect(dc, &inner, CTimeSpanBar::GetStatusBrush(m_record->m_busyStatus));
    }
  }
  // Icons.
  CCategoryIcons* categoryIcons = GetCategoryIcons();
  for (int k = 0; k < m_iconCount; ++k) {
    RECT r = shifted(m_iconRects[k]);
    const APPOINTMENT_ROW_ICON& icon = m_icons[k];
    if (icon.icon == APPOINTMENT_ROW_ICON::kOwnIcon) {
      if (CKeyedBitmap* picture = CBitmapCache::Instance().Get(m_record->m_iconName))
        picture->DrawTransparent(context->GetTarget(), r.left, r.top, dc);
    } else if (icon.icon == APPOINTMENT_ROW_ICON::kCategoryIcon) {
      if (CKeyedBitmap* picture = categoryIcons ? categoryIcons->GetIcon(icon.category) : nullptr)
        picture->DrawTransparent(context->GetTarget(), r.left, r.top, dc);
    } else {
      CSkin::Instance().DrawIcon(icon.icon, context->GetTarget(), r.left, r.top, dc);
    }
  }
}

BOOL CAppointmentItem::OnPress(POINT* point) {
  if (point) {
    GetHeight(-1);
    for (int k = 0; k < m_iconCount; ++k) {
      if (!PtInRect(&m_iconRects[k], *point)) continue;
      if (m_icons[k].icon == APPT_ICON_NOTES) {
        if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNotes);
        return TRUE;
      }
      if (m_icons[k].icon == APPT_ICON_REMINDER) {
        EditReminder();
        return TRUE;
      }
    }
  }
  return CPimListItem::OnPress(point);
}

void CAppointmentItem::BuildMenu(HMENU menu) {
  if (!menu || !m_record) return;
  AppendRowCommand(menu, kCmdMove, 101);
  if (HMENU item = CreatePopupMenu()) {
    AppendRowCommand(item, kCmdOpen, 11);
    AppendRowCommand(item, kCmdEdit, 12);
    AppendRowCommand(item, kCmdShowNotes, 284, !m_record->m_hasNotes);
    if (CategoriesPopupEnabled()) AppendRowCommand(item, kCmdCategories, 332);
    AppendRowSubmenu(menu, item, 285);
  }
  if (HMENU edit = CreatePopupMenu()) {
    AppendRowCommand(edit, kCmdCopy, 131);
    if (HMENU status = CreatePopupMenu()) {
      for (int s = 0; s < 4; ++s) AppendRowCommand(status, kCmdStatusFree + s, 3 + s);
      const LONG current = m_record->m_busyStatus;
      if (current >= 0 && current <= 3)
        CheckMenuRadioItem(status, kCmdStatusFree, kCmdStatusOutOfOffice, kCmdStatusFree + current, MF_BYCOMMAND);
      AppendRowSubmenu(edit, status, 9);
    }
    AppendRowCommand(edit, kCmdPrivate, IDS_ROW_PRIVATE);
    if (m_record->m_isPrivate) CheckMenuItem(edit, kCmdPrivate, MF_BYCOMMAND | MF_CHECKED);
    if (CIconProviderRef::GetStoreState()) AppendRowCommand(edit, kCmdLink, 40042);
    AppendRowCommand(edit, kCmdDelete, 14);
    AppendRowSubmenu(menu, edit, 13);
  }
  if (HMENU more = CreatePopupMenu()) {
    AppendPimAddinMenu(PIM_GROUP_CALENDAR, more, m_record->m_itemId, nullptr);
    AppendRowSubmenu(menu, more, 32782);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendRowCommand(menu, kCmdSettings, 15);
}

double CAppointmentItem::OccurrenceDay() const {
  return m_record && m_record->m_isRecurring ? floor(m_record->m_start) : kNoDate;
}

int CAppointmentItem::Ask(UINT textId, UINT type) {
  CString text;
  LoadTranslatedString(text, textId);
  return GetAppointmentRowDialogs().MessageBox(GetAppointmentRowOwner(), text, m_record->m_subject, type);
}

BOOL CAppointmentItem::OnCommand(UINT command) {
  if (!m_record) return FALSE;
  // The record stays alive through the command even when the list lets go of it.
  CAppointmentRecord* record = m_record;
  record->AddRef();
  BOOL handled = TRUE;
  switch (command) {
    case kCmdOpen:
    case kCmdEdit:
      COndrelClient::Instance().DisplayItem(kOndrelKind, record->m_itemId, command == kCmdEdit, OccurrenceDay());
      break;
    case kCmdDelete: {
      BOOL wholeSeries = TRUE;
      if (record->m_isRecurring) {
        const int answer = Ask(20, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONEXCLAMATION);
        if (answer != IDYES && answer != IDNO) break;
        wholeSeries = answer == IDYES;
      } else if (Ask(21, MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION) != IDYES) {
        break;
      }
      GetAppointmentsList().DeleteAppointment(record, wholeSeries);
      break;
    }
    case kCmdCopy:
      COndrelClient::Instance().CopyItem(kOndrelKind, record->m_itemId, static_cast<DWORD>(OccurrenceDay()));
      break;
    case kCmdCategories:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyCategories);
      break;
    case kCmdShowNotes:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNotes);
      break;
    case kCmdMove:
      GetAppointmentsList().EditTimes(record);
      break;
    case kCmdReminder:
      EditReminder();
      break;
    case kCmdPrivate:
      TogglePrivate();
      break;
    case kCmdLink:
      ChooseLink();
      break;
    default:
      if (command >= kCmdStatusFree && command <= kCmdStatusOutOfOffice) {
        ChangeStatus(static_cast<LONG>(command - kCmdStatusFree));
      } else {
        OnPimItemActionCommand(PIM_GROUP_CALENDAR, command, record->m_itemId, nullptr);
        handled = FALSE;
      }
  }
  record->Release();
  return handled;
}

void CAppointmentItem::ChangeStatus(LONG status) {
  BOOL wholeSeries = FALSE;
  if (m_record->m_isRecurring) {
    const int answer = Ask(19, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer != IDYES && answer != IDNO) return;
    wholeSeries = answer == IDNO;
  }
  GetAppointmentsList().SetBusyStatus(m_record, status, wholeSeries);
}

void CAppointmentItem::TogglePrivate() {
  if (m_record->m_isRecurring && Ask(16, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return;
  GetAppointmentsList().SetPrivate(m_record, m_record->m_isPrivate ? 0 : 1);
}

void CAppointmentItem::EditReminder() {
  LONG minutes = m_record->m_reminderSet ? m_record->m_reminderMinutes : -1;
  if (!GetAppointmentRowDialogs().EditReminder(GetAppointmentRowOwner(), m_record->m_subject, &minutes)) return;
  GetAppointmentsList().SetReminder(m_record, minutes);
}

void CAppointmentItem::ChooseLink() {
  CString title, path;
  LoadTranslatedString(title, 275);
  if (!GetAppointmentRowDialogs().ChooseLink(GetAppointmentRowOwner(), title, m_record->m_iconName, &path)) return;
  // More than one character links it; nothing removes the link.
  if (path.GetLength() > 1) {
    CString stored;
    if (CIconProviderRef::SetLink(m_record->m_itemId, kOndrelKind, path, &stored, nullptr))
      m_record->m_iconName = stored.IsEmpty() ? path : stored;
  } else if (path.IsEmpty()) {
    if (CIconProviderRef::SetLink(m_record->m_itemId, kOndrelKind, nullptr, nullptr, nullptr))
      m_record->m_iconName.Empty();
  }
  Relayout();
}
