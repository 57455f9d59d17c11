#include "tabs/contacts/ContactListItem.h"

#include <cstring>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/KeyedBitmap.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "graphics/TextLayout.h"
#include "panel/AppletManager.h"
#include "pim/CategoryIcons.h"
#include "pim/IconProviderRef.h"
#include "pim/PimAddins.h"
#include "tabs/contacts/ContactCommands.h"
#include "tabs/contacts/ContactItem.h"
#include "tabs/contacts/ContactPhotos.h"

namespace {

const int kNoteIcon = 0;
const int kCategoryMark = 6;
BOOL g_optionsRules = FALSE;
// Category and custom pictures are drawn at this logical size.
const int kPictureSide = 16;

HFONT ListFont() {
  if (CFontCache* fonts = GetFontCache())
    if (CFontInfo* info = fonts->GetStyleFont(0, FALSE))
      if (info->GetFont()) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Every row asks this while a list of thousands is laid out: the screen's metrics are
// read once per font, known by its handle and its description (a freed handle may come
// back for another font).
int TextHeight() {
  static HFONT s_font = nullptr;
  static LOGFONTW s_described = {};
  static int s_height = 0;
  const HFONT font = ListFont();
  LOGFONTW described = {};
  GetObjectW(font, sizeof described, &described);
  if (s_height > 0 && font == s_font && memcmp(&described, &s_described, sizeof described) == 0) return s_height;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  if (metrics.tmHeight <= 0) return ScaleY(13);
  s_font = font;
  s_described = described;
  s_height = metrics.tmHeight;
  return s_height;
}

SIZE SkinIconSize(int id) {
  SIZE size = CSkin::Instance().GetIconSize(id);
  if (size.cx <= 0 || size.cy <= 0) size = {ScaleX(kPictureSide), ScaleY(kPictureSide)};
  return size;
}

void AppendSubmenu(HMENU menu, HMENU sub, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  if (GetMenuItemCount(sub) > 0)
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
  else
    DestroyMenu(sub);
}

void AppendCommand(HMENU menu, UINT command, UINT textId, BOOL greyed = FALSE) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING | (greyed ? MF_GRAYED : 0), command, text);
}

}  // namespace

void CContactListItem::SetOptionsProgramRules(BOOL options) { g_optionsRules = options; }
BOOL CContactListItem::GetOptionsProgramRules() { return g_optionsRules; }

CContactListItem::CContactListItem(CONTACT_ITEM* contact, IListItemOwner* owner, BOOL photo)
    : CPimListItem(owner), m_contact(contact), m_partRects{}, m_fieldRect{}, m_iconCount(0), m_icons{},
      m_photo(photo) {
  if (m_contact) m_contact->AddRef();
}

CContactListItem::~CContactListItem() {
  if (m_contact) m_contact->Release();
}

DWORD_PTR CContactListItem::GetUserData() { return m_contact ? m_contact->m_itemOid : 0; }

int CContactListItem::AddIcon(int kind, int id, int width, int height) {
  if (m_iconCount >= kMaxIcons) return -1;
  IconEntry& entry = m_icons[m_iconCount];
  entry.kind = kind;
  entry.id = id;
  entry.rect = {0, 0, width, height};
  return m_iconCount++;
}

void CContactListItem::PlaceIcons(LPCWSTR pattern, BOOL fromLeft, int lineHeight, int* edge, BOOL* categoriesDone) {
  CCategoryIcons* categoryIcons = GetCategoryIcons();
  const int gap = ScaleX(1);
  for (LPCWSTR p = pattern; p && *p; ++p) {
    int first = m_iconCount;
    if (*p == L'n') {
      if (!m_contact->m_hasNotes) continue;
      SIZE size = SkinIconSize(kNoteIcon);
      AddIcon(kIconNote, kNoteIcon, size.cx, size.cy);
    } else if (*p == L'c') {
      // The contact's own picture from the icon cache; the first category's otherwise.
      int firstCategory = -1;
      if (CKeyedBitmap* own = CBitmapCache::Instance().Get(m_contact->m_iconName)) {
        SIZE size = own->GetSize();
        AddIcon(kIconCustom, 0, size.cx, size.cy);
      } else if (categoryIcons)
        for (int i = m_contact->m_categories.FindNext(0); i >= 0; i = m_contact->m_categories.FindNext(i + 1))
          if (m_contact->m_categories.Test(i) == 1 && categoryIcons->GetIcon(i)) {
            firstCategory = i;
            break;
          }
      if (firstCategory >= 0) AddIcon(kIconCategory, firstCategory, ScaleX(kPictureSide), ScaleY(kPictureSide));
      if (!*categoriesDone && categoryIcons) {
        *categoriesDone = TRUE;
        for (int i = m_contact->m_categories.FindNext(0); i >= 0; i = m_contact->m_categories.FindNext(i + 1))
          if (i != firstCategory && m_contact->m_categories.Test(i) == 1 && categoryIcons->GetIcon(i))
            AddIcon(kIconCategory, i, ScaleX(kPictureSide), ScaleY(kPictureSide));
      }
    }
    for (int k = first; k < m_iconCount; ++k) {
      RECT& r = m_icons[k].rect;
      const int w = r.right, h = r.bottom;
      const int top = (lineHeight - h) / 2 > 0 ? (lineHeight - h) / 2 : 0;
      if (fromLeft) {
        r = {*edge, top, *edge + w, top + h};
        *edge += w + gap;
      } else {
        r = {*edge - w, top, *edge, top + h};
        *edge -= w + gap;
      }
    }
  }
}

int CContactListItem::Layout() {
  for (CString& part : m_parts) part.Empty();
  for (RECT& r : m_partRects) r = RECT{};
  m_fieldRect = RECT{};
  m_iconCount = 0;
  m_name.Empty();
  m_fieldText.Empty();
  m_photoCaption.Empty();
  if (!m_contact) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  if (g_optionsRules) return LayoutPreview(width);

  // A photo row shows the tile only; without a photo it is an ordinary row.
  if (m_photo && m_contact->FindPhoto() != CONTACT_ITEM::kPhotoPresent) m_photo = FALSE;
  if (m_photo) {
    m_photoCaption = m_contact->m_firstName.Left(3);
    return width;
  }

  const CViewSettings& settings = GetViewSettings();
  const int mode = CONTACT_ITEM::ListMode(settings.ContactPattern.count);
  const int lineHeight = TextHeight();
  int height = lineHeight;

  BOOL categoriesDone = FALSE;
  int left = 0, right = width;
  PlaceIcons(settings.ContactPattern.first, TRUE, lineHeight, &left, &categoriesDone);
  const int frontIcons = m_iconCount;
  PlaceIcons(settings.ContactPattern.rest, FALSE, lineHeight, &right, &categoriesDone);
  for (int k = 0; k < m_iconCount; ++k)
    if (m_icons[k].rect.bottom > height) height = m_icons[k].rect.bottom;

  int textLeft = settings.ContLeftIdent == 0 && frontIcons == 0 ? ScaleX(2) : ScaleX(16);
  if (textLeft < left) textLeft = left;

  m_contact->GetDisplayName(m_name, TRUE, FALSE);
  m_fieldText = m_contact->GetDefaultFieldText();
  const int fieldIcon = m_contact->GetFieldIcon();
  SIZE iconSize = SkinIconSize(fieldIcon);
  int nameRight = right;
  if (mode == 3 || m_fieldText.IsEmpty()) {
    // No field text (display mode 3, or no field has any): the name ends before the
    // field's icon at the right.
    int index = AddIcon(kIconField, fieldIcon, iconSize.cx, iconSize.cy);
    if (index >= 0) {
      m_icons[index].rect = {right - iconSize.cx, 0, right, iconSize.cy};
      nameRight = right - iconSize.cx - ScaleX(2);
    }
    m_fieldText.Empty();
  } else {
    const int middle = textLeft + (right - textLeft) / 2;
    nameRight = middle;
    int index = AddIcon(kIconField, fieldIcon, iconSize.cx, iconSize.cy);
    RECT area = {middle, 0, right, lineHeight};
    if (index >= 0) {
      if (mode == 1) {
        m_icons[index].rect = {area.left, 0, area.left + iconSize.cx, iconSize.cy};
        area.left += iconSize.cx + ScaleX(2);
      } else {
        m_icons[index].rect = {area.right - iconSize.cx, 0, area.right, iconSize.cy};
        area.right -= iconSize.cx + ScaleX(2);
      }
    }
    m_fieldRect = area;
  }
  if (nameRight < textLeft) nameRight = textLeft;

  // The name, split around a typed match that starts inside it.
  const int length = m_name.GetLength();
  const int start = m_contact->m_matchStart, count = m_contact->m_matchLength;
  if (count > 0 && start >= 0 && start < length) {
    const int end = start + count < length ? start + count : length;
    CString before = m_name.Left(start), match = m_name.Mid(start, end - start), after = m_name.Mid(end);
    // Read right to left, the runs come in reverse order; the match stays in the middle.
    if (m_contact->m_matchRtl) {
      CString swap = before;
      before = after;
      after = swap;
    }
    m_parts[0] = before;
    m_parts[1] = match;
    m_parts[2] = after;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, ListFont());
    int x = textLeft;
    for (int part = 0; part < 3; ++part) {
      SIZE extent = {0, 0};
      GetTextExtentPoint32W(screen, m_parts[part], m_parts[part].GetLength(), &extent);
      int partRight = x + extent.cx < nameRight ? x + extent.cx : nameRight;
      m_partRects[part] = {x, 0, partRight, lineHeight};
      x = partRight;
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
  } else {
    m_parts[0] = m_name;
    m_partRects[0] = {textLeft, 0, nameRight, lineHeight};
  }
  return height + ScaleY(2);
}

void CContactListItem::AddPreviewLetterIcon(WCHAR letter) {
  if (letter == L'c') {
    SIZE size = SkinIconSize(kCategoryMark);
    AddIcon(kIconSkin, kCategoryMark, size.cx, size.cy);
  } else if (letter == L'n' && m_contact->m_hasNotes) {
    SIZE size = SkinIconSize(kNoteIcon);
    AddIcon(kIconNote, kNoteIcon, size.cx, size.cy);
  }
}

int CContactListItem::LayoutPreview(int width) {
  m_photo = FALSE;
  const int lineHeight = TextHeight();
  if (!m_drawn || width <= 0) return lineHeight;
  const CViewSettings& settings = GetViewSettings();
  const CItemPattern& pattern = settings.ContactPattern;
  const int mode = pattern.count;

  // A single letter before the digit leads the row, its right edge 14 px in.
  if (pattern.first.GetLength() == 1) {
    AddPreviewLetterIcon(pattern.first[0]);
    if (m_iconCount > 0) {
      RECT& lead = m_icons[0].rect;
      const int w = lead.right, h = lead.bottom;
      const int top = (lineHeight - h) / 2 > 0 ? (lineHeight - h) / 2 : 0;
      lead = {ScaleX(14) - w, top, ScaleX(14), top + h};
    }
  }
  const int firstBox = m_iconCount;
  for (int k = 0; k < pattern.rest.GetLength(); ++k) AddPreviewLetterIcon(pattern.rest[k]);
  CCategoryIcons* categoryIcons = GetCategoryIcons();
  if (categoryIcons && (pattern.first.Find(L'c') >= 0 || pattern.rest.Find(L'c') >= 0))
    for (int i = m_contact->m_categories.FindNext(0); i >= 0 && m_iconCount < kMaxIcons;
         i = m_contact->m_categories.FindNext(i + 1))
      if (categoryIcons->GetIcon(i)) AddIcon(kIconCategory, i, ScaleX(kPictureSide), ScaleY(kPictureSide));

  const int textLeft = settings.ContLeftIdent != 0 || !pattern.first.IsEmpty() ? ScaleX(16) : ScaleX(2);
  RECT nameLine = {textLeft, 0, width, lineHeight};
  RECT fieldLine = nameLine;
  m_contact->GetDisplayName(m_name, TRUE, FALSE);
  m_fieldText = m_contact->GetDefaultFieldText();
  const int fieldIcon = m_contact->GetFieldIcon();
  const SIZE iconSize = SkinIconSize(fieldIcon);
  if (mode == 3) {
    nameLine.right -= iconSize.cx;
    fieldLine.left = nameLine.right;
  } else if (!m_fieldText.IsEmpty()) {
    nameLine.right = textLeft + (width - textLeft) / 2;
    fieldLine.left = nameLine.right;
  }
  if (nameLine.right < nameLine.left) nameLine.right = nameLine.left;

  HDC screen = GetDC(nullptr);
  CFontCache* fonts = GetFontCache();
  CFontInfo* font = fonts ? fonts->GetStyleFont(0, FALSE) : nullptr;
  CTextLayout layout;
  layout.SetDC(screen);
  layout.SetFont(font);
  layout.SetCachedWidths(FALSE);
  for (int k = firstBox; k < m_iconCount; ++k)
    layout.AddBox(m_icons[k].rect.right - m_icons[k].rect.left, m_icons[k].rect.bottom - m_icons[k].rect.top);
  CString shown = m_name;
  RECT name = nameLine;
  layout.Layout(shown, name, TRUE);
  for (int k = firstBox, box = 0; k < m_iconCount && box < layout.GetBoxCount(); ++k, ++box)
    m_icons[k].rect = layout.GetBox(box);
  const int nameBottom = name.bottom > name.top ? name.bottom : lineHeight;

  // The typed match splits the name; each part follows the one before it.
  const int length = m_name.GetLength();
  const int start = m_contact->m_matchStart, count = m_contact->m_matchLength;
  if (count > 0 && start >= 0 && start < length) {
    const int end = start + count < length ? start + count : length;
    m_parts[0] = m_name.Left(start);
    m_parts[1] = m_name.Mid(start, end - start);
    m_parts[2] = m_name.Mid(end);
    int x = nameLine.left;
    for (int part = 0; part < 3; ++part) {
      RECT measured = {x, nameLine.top, x, nameLine.top};
      layout.MeasureLine(m_parts[part], measured);
      const int right = measured.right < nameLine.right ? measured.right : nameLine.right;
      m_partRects[part] = {x, nameLine.top, right, nameLine.top + lineHeight};
      x = right;
    }
  } else {
    // The name as cut to leave its icons room.
    m_parts[0] = shown;
    m_partRects[0] = {nameLine.left, nameLine.top, nameLine.right, nameLine.top + lineHeight};
  }

  // The field's kind icon beside a field text; mode 3 keeps the icon alone.
  if (!m_fieldText.IsEmpty()) {
    const int top = (lineHeight - iconSize.cy) / 2 > 0 ? (lineHeight - iconSize.cy) / 2 : 0;
    const int index = AddIcon(kIconField, fieldIcon, iconSize.cx, iconSize.cy);
    if (mode == 1) {
      if (index >= 0) m_icons[index].rect = {fieldLine.left, top, fieldLine.left + iconSize.cx, top + iconSize.cy};
      fieldLine.left += iconSize.cx;
    } else {
      if (index >= 0) m_icons[index].rect = {fieldLine.right - iconSize.cx, top, fieldLine.right, top + iconSize.cy};
      fieldLine.right -= iconSize.cx;
    }
    if (mode == 3) m_fieldText.Empty();
  }
  if (!m_fieldText.IsEmpty() && fieldLine.right > fieldLine.left) {
    RECT field = fieldLine;
    layout.RemoveAllBoxes();
    layout.Layout(m_fieldText, field, TRUE);
    m_fieldRect = {fieldLine.left, fieldLine.top, fieldLine.right, fieldLine.top + lineHeight};
  } else {
    m_fieldText.Empty();
  }
  ReleaseDC(nullptr, screen);
  return nameBottom;
}

void CContactListItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_contact) return;
  if (g_optionsRules && !m_drawn) {
    m_drawn = TRUE;
    Relayout();
  }
  const int height = GetHeight(-1);
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  if (m_photo) {
    if (CBitmapDC* photo = m_contact->GetPhoto())
      if (dc)
        StretchBlt(dc, origin->x + ScaleX(1), origin->y + ScaleY(1), width - 2 * ScaleX(1), height - 2 * ScaleY(1),
                   photo->GetDC(), 0, 0, photo->GetSize().cx, photo->GetSize().cy, SRCCOPY);
    if (m_bSelected && dc) {
      RECT frame = {origin->x, origin->y, origin->x + width, origin->y + height};
      if (HBRUSH brush = colors.GetSolidBrush(2)) FrameRect(dc, &frame, brush);
    }
    return;
  }
  if (m_bSelected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(2)) FillRect(dc, &all, brush);
  }
  const COLORREF text = colors.Get(m_bSelected ? 4 : 3);
  HFONT oldFont = context->SetFont(ListFont());
  COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);
  auto shifted = [origin](const RECT& r) {
    return RECT{r.left + origin->x, r.top + origin->y, r.right + origin->x, r.bottom + origin->y};
  };
  const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT;
  for (int part = 0; part < 3; ++part) {
    if (m_parts[part].IsEmpty()) continue;
    RECT r = shifted(m_partRects[part]);
    if (part == 1) {
      // The match: opaque, the colours of a selection (reversed in a selected row).
      context->SetBkMode(OPAQUE);
      context->SetTextColor(colors.Get(m_bSelected ? 2 : 4));
      context->SetBkColor(colors.Get(m_bSelected ? 4 : 2));
      context->AddText(m_parts[part], &r, format);
      context->SetBkMode(TRANSPARENT);
      context->SetTextColor(text);
    } else {
      context->AddText(m_parts[part], &r, format);
    }
  }
  if (!m_fieldText.IsEmpty()) {
    RECT r = shifted(m_fieldRect);
    context->AddText(m_fieldText, &r, format);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
  CCategoryIcons* categoryIcons = GetCategoryIcons();
  // Icons go straight into the bitmap, past any clip region; one that the painted area
  // cuts (a row half under the header or the tab's bottom strip) goes through the
  // device context, whose clip region holds it in.
  const RECT clip = context->GetClip();
  for (int k = 0; k < m_iconCount; ++k) {
    const IconEntry& icon = m_icons[k];
    RECT r = shifted(icon.rect);
    const BOOL cut = !IsRectEmpty(&clip) && (r.top < clip.top || r.bottom > clip.bottom);
    CDib* target = cut && dc ? nullptr : context->GetTarget();
    if (icon.kind == kIconCategory) {
      if (CKeyedBitmap* picture = categoryIcons ? categoryIcons->GetIcon(icon.id) : nullptr)
        picture->DrawTransparent(target, r.left, r.top, dc);
    } else if (icon.kind == kIconCustom) {
      if (CKeyedBitmap* picture = CBitmapCache::Instance().Get(m_contact->m_iconName))
        picture->DrawTransparent(target, r.left, r.top, dc);
    } else {
      CSkin::Instance().DrawIcon(icon.id, target, r.left, r.top, dc);
    }
  }
}

BOOL CContactListItem::OnPress(POINT* point) {
  if (point && !m_photo)
    for (int k = 0; k < m_iconCount; ++k)
      if (PtInRect(&m_icons[k].rect, *point)) {
        if (m_icons[k].kind == kIconNote) {
          if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNote);
          return TRUE;
        }
        if (m_icons[k].kind == kIconField) {
          if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyChooseField);
          return TRUE;
        }
      }
  return CPimListItem::OnPress(point);
}

void CContactListItem::BuildMenu(HMENU menu) {
  if (!menu || !m_contact) return;
  const CViewSettings& settings = GetViewSettings();
  CString name;
  m_contact->GetDisplayName(name, FALSE, FALSE);
  PIM_CONTACT_FIELDS fields = {name, m_contact->m_fields[9], m_contact->m_fields[4], m_contact->m_fields[0],
                               m_contact->m_fields[2]};
  if (settings.ContactsOneTap < 3) {
    HMENU actions = CreatePopupMenu();
    if (actions && AppendContactActionMenu(actions, &fields) > 0)
      AppendSubmenu(menu, actions, 287);
    else if (actions)
      DestroyMenu(actions);
    HMENU extra = CreatePopupMenu();
    if (extra && AppendItemExtraMenu(extra, &fields) > 0)
      AppendSubmenu(menu, extra, 286);
    else if (extra)
      DestroyMenu(extra);
  }
  HMENU item = CreatePopupMenu();
  if (item) {
    AppendCommand(item, kContactOpen, 106);
    AppendCommand(item, kContactEdit, 107);
    AppendCommand(item, kCommandShowNote, 284, !m_contact->m_hasNotes);
    AppendCommand(item, kCommandCategories, 332);
    AppendSubmenu(menu, item, 285);
  }
  HMENU edit = CreatePopupMenu();
  if (edit) {
    AppendCommand(edit, kContactCopy, 131);
    if (CIconProviderRef::GetStoreState()) AppendCommand(edit, kContactChooseIcon, 40042);
    AppendCommand(edit, kContactDelete, 108);
    AppendSubmenu(menu, edit, 13);
  }
  HMENU more = CreatePopupMenu();
  if (more) {
    // A photo contact waiting for its contact in the tab host takes this one.
    if (CAppletManager::Instance().HasUnboundApplet() && FindContactPhoto(m_contact) == CONTACT_ITEM::kPhotoPresent)
      AppendCommand(more, kCommandPhotoApplet, 301);
    AppendPimAddinMenu(PIM_GROUP_CONTACTS, more, m_contact->m_itemOid, &fields);
    AppendSubmenu(menu, more, 32782);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendCommand(menu, 1027, 15);
}

BOOL CContactListItem::OnCommand(UINT command) {
  if (!m_contact) return FALSE;
  switch (command) {
    case kCommandShowNote:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyShowNote);
      return TRUE;
    case kCommandCategories:
      if (m_pOwner) m_pOwner->OnItemNotify(this, kNotifyCategories);
      return TRUE;
    case kCommandPhotoApplet: {
      WCHAR oid[16];
      wsprintfW(oid, L"%lu", static_cast<unsigned long>(m_contact->m_recordOid));
      return CAppletManager::Instance().BindFirstUnboundApplet(oid);
    }
    default:
      return m_contact->DoCommand(static_cast<int>(command));
  }
}

int CContactListItem::ChooseDefaultField(HWND owner, POINT point) {
  int chosen = ChooseContactDefaultField(m_contact, owner, point);
  if (chosen >= 0) Relayout();
  return chosen;
}
