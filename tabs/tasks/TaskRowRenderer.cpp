#include "tabs/tasks/TaskRowRenderer.h"

#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/IconSets.h"
#include "controls/TextRunList.h"
#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/PanelPrompt.h"
#include "pim/CategoryIcons.h"
#include "pim/IconProviderRef.h"
#include "pim/OndrelClient.h"
#include "pim/PimAddins.h"
#include "res/TarvoResIds.h"
#include "tabs/tasks/TaskReminder.h"
#include "tabs/tasks/TasksList.h"

namespace {

const int kTaskKind = 13;
const double kNoOccurrence = 949998.0;
const DWORD kNoOccurrenceDay = 949998;
// Pictures (category and custom icons) are drawn at this logical size.
const int kPictureSide = 16;
const COLORREF kOverdueColor = RGB(0xC0, 0x10, 0x10);

HWND g_window = nullptr;
CTasksList* g_list = nullptr;
COndrelClient* g_client = nullptr;
double g_today = 0;

CTasksList& List() { return g_list ? *g_list : CTasksList::GetGlobal(); }
COndrelClient& Client() { return g_client ? *g_client : COndrelClient::Instance(); }
double Today() { return g_today ? g_today : TaskReminder::Day(GetNowVariantTime()); }

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

HFONT RowFont(int state, BOOL complete) {
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(state == CTaskRowRenderer::kStateCurrent ? 1 : 0, complete))
      if (info->GetFont()) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int LineHeight(HDC dc) {
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13);
}

SIZE SkinIconSize(int id) {
  SIZE size = CSkin::Instance().GetIconSize(id);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(kPictureSide), ScaleY(kPictureSide)};
  return size;
}

void AppendCommand(HMENU menu, UINT command, UINT textId, UINT flags = 0) {
  AppendMenuW(menu, MF_STRING | flags, command, Text(textId));
}

void AppendSubmenu(HMENU menu, HMENU sub, UINT textId) {
  if (!sub) return;
  if (GetMenuItemCount(sub) > 0)
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), Text(textId));
  else
    DestroyMenu(sub);
}

// "Task_DisplayComplMsg": a missing value asks, and is not written.
BOOL AskBeforeCompleting() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
  if (!key.IsOpen() || !key.ValueExists(L"Task_DisplayComplMsg")) return TRUE;
  return key.QueryDWORD(L"Task_DisplayComplMsg") != 0;
}

BOOL DebugRectsOn() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
  return key.IsOpen() && key.QueryDWORD(L"DebugRect") != 0;
}

}  // namespace

void CTaskRowRenderer::SetCommandWindow(HWND window) { g_window = window; }
void CTaskRowRenderer::SetTasksList(CTasksList* list) { g_list = list; }
void CTaskRowRenderer::SetClient(COndrelClient* client) { g_client = client; }
void CTaskRowRenderer::SetToday(double today) { g_today = today; }

CTaskRowRenderer::CTaskRowRenderer(TASK_ITEM* task, IListItemOwner* owner)
    : CPimListItem(owner),
      m_hideDate(FALSE),
      m_noStateColouring(FALSE),
      m_task(task),
      m_cells{},
      m_cellCount(0),
      m_leadingCount(0),
      m_checkRect{},
      m_dateRect{},
      m_subjectRect{},
      m_state(kStateNormal),
      m_lineMode(2),
      m_subjectLines(0),
      m_debugRects(FALSE) {
  // A record with the count -1 is static and not counted.
  if (m_task && m_task->GetRefCount() != -1) m_task->AddRef();
}

CTaskRowRenderer::~CTaskRowRenderer() {
  if (m_task && m_task->GetRefCount() != -1) m_task->Release();
}

void CTaskRowRenderer::SetSelected(BOOL selected, BOOL force) {
  const BOOL was = m_bSelected;
  CPimListItem::SetSelected(selected, force);
  if (m_lineMode == 3 && was != m_bSelected) {
    CPimListItem::SetSize(GetWidth(), GetContentWidth(), -1, FALSE);
    if (m_pOwner) m_pOwner->OnItemChanged(this);
  }
}

DWORD_PTR CTaskRowRenderer::GetUserData() { return m_task ? m_task->itemOid : 0; }

int CTaskRowRenderer::ClassifyState(const TASK_ITEM* task, double today) {
  if (!task) return kStateNormal;
  const double day = TaskReminder::Day(today);
  const BOOL hasDue = TaskReminder::IsSet(task->due);
  const double due = hasDue ? TaskReminder::Day(task->due) : 0;
  if (hasDue && due < day && !task->complete) return kStateOverdue;
  const BOOL started = !TaskReminder::IsSet(task->start) || TaskReminder::Day(task->start) <= day;
  if (hasDue && due >= day && started) return kStateCurrent;
  return kStateNormal;
}

int CTaskRowRenderer::AddCell(WCHAR code, int category, SIZE size) {
  if (m_cellCount >= kMaxCells) return -1;
  m_cells[m_cellCount] = {code, category, {0, 0, size.cx, size.cy}};
  return m_cellCount++;
}

void CTaskRowRenderer::PlaceLetters(LPCWSTR letters, BOOL* categoriesDone) {
  CCategoryIcons* categoryIcons = GetCategoryIcons();
  const SIZE picture = {ScaleX(kPictureSide), ScaleY(kPictureSide)};
  for (LPCWSTR p = letters; p && *p; ++p) {
    switch (*p) {
      case L'c': {
        int shown = -1;
        if (!m_task->iconName.IsEmpty() && CBitmapCache::Instance().Get(m_task->iconName)) {
          AddCell(L'c', -1, picture);
        } else if (categoryIcons) {
          for (int i = m_task->categories.FindNext(0); i >= 0; i = m_task->categories.FindNext(i + 1))
            if (categoryIcons->GetIcon(i)) {
              shown = i;
              break;
            }
          if (shown >= 0) AddCell(L'c', shown, picture);
        }
        // Every other category with an icon follows, once per row.
        if (!*categoriesDone && categoryIcons) {
          *categoriesDone = TRUE;
          for (int i = m_task->categories.FindNext(0); i >= 0; i = m_task->categories.FindNext(i + 1))
            if (i != shown && categoryIcons->GetIcon(i)) AddCell(L'C', i, picture);
        }
        break;
      }
      case L'n':
        if (m_task->hasNote) AddCell(L'n', -1, SkinIconSize(0));
        break;
      case L'p':
        if (m_task->importance != 0) {
          const int icon = m_task->importance < 0 ? 1 : 2;
          AddCell(L'p', -1, SkinIconSize(icon));
        }
        break;
      case L'q':
        if (m_task->recurring || (m_task->piFlags & 0x8)) AddCell(L'q', -1, SkinIconSize(3));
        break;
      case L'r':
        if (m_task->reminderSet) AddCell(L'r', -1, SkinIconSize(4));
        break;
      case L's':
        if (m_task->privateValue) AddCell(L's', -1, SkinIconSize(5));
        break;
      default:
        break;
    }
  }
}

int CTaskRowRenderer::Layout() {
  m_cellCount = 0;
  m_leadingCount = 0;
  m_checkRect = m_dateRect = m_subjectRect = RECT{};
  m_dateText.Empty();
  m_subjectText.Empty();
  m_subjectLines = 0;
  if (!m_task) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  const CViewSettings& settings = GetViewSettings();
  m_lineMode = settings.TaskPattern.count >= 1 && settings.TaskPattern.count <= 3 ? settings.TaskPattern.count : 2;
  m_state = m_noStateColouring ? kStateNormal : ClassifyState(m_task, Today());
  m_debugRects = DebugRectsOn();

  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, RowFont(m_state, m_task->complete));
  const int lineHeight = LineHeight(dc);
  const int gap = ScaleX(1);

  BOOL categoriesDone = FALSE;
  PlaceLetters(settings.TaskPattern.first, &categoriesDone);
  m_leadingCount = m_cellCount;
  PlaceLetters(settings.TaskPattern.rest, &categoriesDone);
  auto centre = [lineHeight](RECT& r) {
    const int h = r.bottom - r.top;
    r.top = (lineHeight - h) / 2 > 0 ? (lineHeight - h) / 2 : 0;
    r.bottom = r.top + h;
  };

  // The first leading icon stands inside the indent, ending at it; others follow.
  const int indent = ScaleX(16);
  int x = indent;
  for (int k = 0; k < m_leadingCount; ++k) {
    RECT& r = m_cells[k].rect;
    const int w = r.right - r.left;
    if (k == 0) {
      r.left = indent - w;
    } else {
      r.left = x;
      x += w + gap;
    }
    r.right = r.left + w;
    centre(r);
  }
  if (settings.Task_ShowCheckbox) {
    const int box = ScaleX(8), boxHeight = ScaleY(8);
    const int top = (lineHeight - boxHeight) / 2 > 0 ? (lineHeight - boxHeight) / 2 : 0;
    m_checkRect = {x + ScaleX(1), top, x + ScaleX(1) + box, top + boxHeight};
    x = m_checkRect.right + ScaleX(3);
  } else {
    x += ScaleX(2);
  }

  // The trailing icons end at the row's right edge, in pattern order.
  int trailing = 0;
  for (int k = m_leadingCount; k < m_cellCount; ++k) trailing += m_cells[k].rect.right - m_cells[k].rect.left + gap;
  int right = width - ScaleX(1) - trailing;
  if (right < x) right = x;
  for (int k = m_leadingCount, at = right + gap; k < m_cellCount; ++k) {
    RECT& r = m_cells[k].rect;
    const int w = r.right - r.left;
    r.left = at;
    r.right = at + w;
    at += w + gap;
    centre(r);
  }

  m_subjectText = m_task->subject;
  if (TaskReminder::IsSet(m_task->due) && !m_hideDate) {
    CString date;
    SYSTEMTIME time = {};
    if (VariantDateToSystemTime(m_task->due, &time)) FormatShortDate(date, time);
    m_dateText = date + L": ";
    if (!settings.Task_MakeDateIndent) {
      m_subjectText = m_dateText + m_subjectText;
      m_dateText.Empty();
    } else {
      SIZE extent = {0, 0};
      GetTextExtentPoint32W(dc, m_dateText, m_dateText.GetLength(), &extent);
      const int dateRight = x + extent.cx < right ? x + extent.cx : right;
      m_dateRect = {x, 0, dateRight, lineHeight};
      x = dateRight;
    }
  }

  const BOOL wrap = m_lineMode == 1 || (m_lineMode == 3 && m_bSelected);
  int lines = 1;
  if (wrap && right > x && !m_subjectText.IsEmpty()) {
    RECT measure = {0, 0, right - x, 0};
    DrawTextW(dc, m_subjectText, m_subjectText.GetLength(), &measure,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    lines = (measure.bottom - measure.top + lineHeight - 1) / lineHeight;
    if (lines < 1) lines = 1;
  }
  m_subjectLines = lines;
  m_subjectRect = {x, 0, right, lines * lineHeight};
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);

  int height = m_subjectRect.bottom;
  for (int k = 0; k < m_cellCount; ++k)
    if (m_cells[k].rect.bottom > height) height = m_cells[k].rect.bottom;
  if (m_checkRect.bottom > height) height = m_checkRect.bottom;
  return height + ScaleY(2);
}

CKeyedBitmap* CTaskRowRenderer::CellPicture(const Cell& cell) const {
  if (cell.category >= 0) {
    CCategoryIcons* icons = GetCategoryIcons();
    return icons ? icons->GetIcon(cell.category) : nullptr;
  }
  if (cell.code == L'c' && !m_task->iconName.IsEmpty()) return CBitmapCache::Instance().Get(m_task->iconName);
  return nullptr;
}

int CTaskRowRenderer::DrawRect(HDC dc, const RECT& r) const {
  // A layout aid: the border pixels of each rectangle at half their colour.
  if (!dc || r.right <= r.left || r.bottom <= r.top) return 0;
  auto darken = [dc](int x, int y) {
    const COLORREF c = GetPixel(dc, x, y);
    if (c != CLR_INVALID) SetPixel(dc, x, y, RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2));
  };
  for (int x = r.left; x < r.right; ++x) {
    darken(x, r.top);
    if (r.bottom - 1 > r.top) darken(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    darken(r.left, y);
    if (r.right - 1 > r.left) darken(r.right - 1, y);
  }
  return 1;
}

void CTaskRowRenderer::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_task) return;
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  auto shifted = [origin](const RECT& r) {
    return RECT{r.left + origin->x, r.top + origin->y, r.right + origin->x, r.bottom + origin->y};
  };
  if (m_bSelected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(CSkinColors::kHighlight)) FillRect(dc, &all, brush);
  }
  COLORREF text = colors.Get(m_bSelected ? CSkinColors::kHighlightText : CSkinColors::kText);
  if (!m_bSelected && m_state == kStateOverdue) text = kOverdueColor;
  HFONT oldFont = context->SetFont(RowFont(m_state, m_task->complete));
  COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);
  if (!m_dateText.IsEmpty()) {
    RECT r = shifted(m_dateRect);
    context->AddText(m_dateText, &r, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
  }
  if (!m_subjectText.IsEmpty()) {
    RECT r = shifted(m_subjectRect);
    const BOOL wrap = m_subjectLines > 1;
    context->AddText(m_subjectText, &r,
                     DT_NOPREFIX | DT_LEFT | DT_END_ELLIPSIS | (wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);

  if (dc && m_checkRect.right > m_checkRect.left) {
    // The check box: a frame, ticked when the task is complete.
    RECT box = shifted(m_checkRect);
    if (HBRUSH face = colors.GetSolidBrush(m_bSelected ? CSkinColors::kHighlight : CSkinColors::kTheme))
      FillRect(dc, &box, face);
    HBRUSH frame = CreateSolidBrush(text);
    FrameRect(dc, &box, frame);
    DeleteObject(frame);
    if (m_task->complete) {
      HPEN pen = CreatePen(PS_SOLID, ScaleX(1) > 1 ? ScaleX(1) : 1, text);
      HGDIOBJ oldPen = SelectObject(dc, pen);
      const int w = box.right - box.left, h = box.bottom - box.top;
      MoveToEx(dc, box.left + w / 5, box.top + h / 2, nullptr);
      LineTo(dc, box.left + w * 2 / 5, box.bottom - h / 5);
      LineTo(dc, box.right - w / 6, box.top + h / 6);
      SelectObject(dc, oldPen);
      DeleteObject(pen);
    }
  }
  for (int k = 0; k < m_cellCount; ++k) {
    const Cell& cell = m_cells[k];
    RECT r = shifted(cell.rect);
    if (CKeyedBitmap* picture = CellPicture(cell)) {
      picture->DrawTransparent(context->GetTarget(), r.left, r.top, dc);
      continue;
    }
    int icon = -1;
    switch (cell.code) {
      case L'n': icon = 0; break;
      case L'p': icon = m_task->importance < 0 ? 1 : 2; break;
      case L'q': icon = 3; break;
      case L'r': icon = 4; break;
      case L's': icon = 5; break;
      default: break;
    }
    if (icon >= 0) CSkin::Instance().DrawIcon(icon, context->GetTarget(), r.left, r.top, dc);
  }
  if (m_debugRects && dc) {
    DrawRect(dc, shifted(m_dateRect));
    DrawRect(dc, shifted(m_subjectRect));
    DrawRect(dc, shifted(m_checkRect));
    for (int k = 0; k < m_cellCount; ++k) DrawRect(dc, shifted(m_cells[k].rect));
  }
}

BOOL CTaskRowRenderer::OnPress(POINT* point) {
  if (point && m_task) {
    // The box is small: a tap a little around it still counts.
    RECT box = m_checkRect;
    if (box.right > box.left) {
      InflateRect(&box, ScaleX(3), ScaleY(3));
      if (PtInRect(&box, *point)) {
        OnCommand(kCmdComplete);
        return TRUE;
      }
    }
    for (int k = 0; k < m_cellCount; ++k) {
      if (!PtInRect(&m_cells[k].rect, *point)) continue;
      if (m_cells[k].code == L'n') {
        m_bPressed = TRUE;
        if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNote);
        return TRUE;
      }
      if (m_cells[k].code == L'r') {
        List().EditTaskDates(m_task->itemOid, m_task->subject, g_window);
        return TRUE;
      }
    }
  }
  return CPimListItem::OnPress(point);
}

void CTaskRowRenderer::BuildMenu(HMENU menu) {
  if (!menu || !m_task) return;
  AppendCommand(menu, kCmdComplete, m_task->complete ? IDS_TASK_MENU_UNCOMPLETE : IDS_TASK_MENU_COMPLETE);
  AppendCommand(menu, kCmdDates, IDS_TASK_MENU_DATES);

  HMENU item = CreatePopupMenu();
  if (item) {
    AppendCommand(item, kCmdOpen, IDS_TASK_MENU_OPEN);
    AppendCommand(item, kCmdEdit, IDS_TASK_MENU_EDIT);
    AppendCommand(item, kCmdShowNote, IDS_MENU_SHOW_NOTE, m_task->hasNote ? 0 : MF_GRAYED);
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE);
    const BOOL categoriesPopup = !key.IsOpen() || !key.ValueExists(L"dbgCategoriesPopup") ||
                                 key.QueryDWORD(L"dbgCategoriesPopup") != 0;
    if (categoriesPopup) AppendCommand(item, kCmdCategories, IDS_MENU_CATEGORIES);
    AppendSubmenu(menu, item, IDS_MENU_ITEM_GROUP);
  }

  HMENU edit = CreatePopupMenu();
  if (edit) {
    AppendCommand(edit, kCmdPickDueDate, IDS_TASK_MENU_DUE_DATE);
    AppendCommand(edit, kCmdCopy, IDS_MENU_COPY);
    HMENU importance = CreatePopupMenu();
    if (importance) {
      AppendCommand(importance, kCmdImportanceHigh, IDS_TASK_IMPORTANCE_HIGH);
      AppendCommand(importance, kCmdImportanceNormal, IDS_TASK_IMPORTANCE_NORMAL);
      AppendCommand(importance, kCmdImportanceLow, IDS_TASK_IMPORTANCE_LOW);
      const int importanceValue = m_task->importance < -1 ? -1 : m_task->importance > 1 ? 1 : m_task->importance;
      CheckMenuRadioItem(importance, kCmdImportanceLow, kCmdImportanceHigh,
                         static_cast<UINT>(kCmdImportanceNormal + importanceValue), MF_BYCOMMAND);
      AppendSubmenu(edit, importance, IDS_SORT_IMPORTANCE);
    }
    AppendCommand(edit, kCmdPrivate, IDS_ROW_PRIVATE, m_task->privateValue ? MF_CHECKED : 0);
    if (CIconProviderRef::GetStoreState()) AppendCommand(edit, kCmdChooseIcon, IDS_MENU_CHOOSE_ICON);
    AppendCommand(edit, kCmdDelete, IDS_TASK_MENU_DELETE);
    AppendSubmenu(menu, edit, IDS_MENU_EDIT_GROUP);
  }

  HMENU tools = CreatePopupMenu();
  if (tools) {
    AppendPimAddinMenu(PIM_GROUP_TASKS, tools, m_task->itemOid, nullptr);
    AppendSubmenu(menu, tools, IDS_MENU_TOOLS_GROUP);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendCommand(menu, kCmdSettings, IDS_SETTINGS);
}

BOOL CTaskRowRenderer::OnCommand(UINT command) {
  if (!m_task) return FALSE;
  const DWORD oid = m_task->itemOid;
  switch (command) {
    case kCmdOpen:
    case kCmdEdit:
      Client().DisplayItem(kTaskKind, oid, command == kCmdEdit, kNoOccurrence);
      return TRUE;
    case kCmdDelete:
      if (ShowPanelMessage(g_window, Text(IDS_TASK_DELETE_QUESTION), m_task->subject,
                           MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES)
        List().DeleteTask(oid);
      return TRUE;
    case kCmdCopy:
      Client().CopyItem(kTaskKind, oid, kNoOccurrenceDay);
      return TRUE;
    case kCmdCategories:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyCategories);
      return TRUE;
    case kCmdShowNote:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNote);
      return TRUE;
    case kCmdImportanceLow:
    case kCmdImportanceNormal:
    case kCmdImportanceHigh: {
      const int importance = static_cast<int>(command) - kCmdImportanceNormal;
      if (importance != m_task->importance) List().SetImportance(oid, importance);
      return TRUE;
    }
    case kCmdPickDueDate: {
      POINT at = {0, 0};
      GetCursorPos(&at);
      const RECT place = {at.x, at.y, at.x + 1, at.y + 1};
      List().PickDueDate(oid, g_window, place);
      return TRUE;
    }
    case kCmdDates:
      List().EditTaskDates(oid, m_task->subject, g_window);
      return TRUE;
    case kCmdPrivate:
      List().SetPrivate(oid, m_task->privateValue ? 0 : 1);
      return TRUE;
    case kCmdComplete:
      if (!m_task->complete && AskBeforeCompleting() &&
          ShowPanelMessage(g_window, Text(IDS_TASK_COMPLETE_QUESTION), m_task->subject,
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
        return TRUE;
      List().CompleteTask(oid, !m_task->complete);
      return TRUE;
    case kCmdChooseIcon:
      ChooseIcon();
      return TRUE;
    default:
      OnPimItemActionCommand(PIM_GROUP_TASKS, command, oid, nullptr);
      return FALSE;
  }
}

void CTaskRowRenderer::ChooseIcon() {
  CIconSets sets;
  sets.SetSelectedName(m_task->iconName.IsEmpty() ? nullptr : m_task->iconName.GetString());
  sets.SetTitle(Text(IDS_TASK_ICON_TITLE));
  if (sets.DoModal(g_window) != IDOK) return;
  LPCWSTR chosen = sets.GetSelectedName();
  if (!chosen || !*chosen) {
    if (CIconProviderRef::SetLink(m_task->itemOid, kTaskKind, nullptr, nullptr, nullptr)) m_task->iconName.Empty();
  } else if (wcslen(chosen) > 1) {
    CString stored;
    if (CIconProviderRef::SetLink(m_task->itemOid, kTaskKind, chosen, &stored, nullptr))
      m_task->iconName = stored.IsEmpty() ? CString(chosen) : stored;
  }
  Relayout();
}
