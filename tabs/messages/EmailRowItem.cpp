#include "tabs/messages/EmailRowItem.h"

#include <algorithm>

#include "base/BlobObj.h"
#include "base/DateTime.h"
#include "base/ScreenDpi.h"
#include "base/TaggedBlob.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "controls/TextRunList.h"
#include "controls/TreeChooserDlg.h"
#include "graphics/FontCache.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/PanelPrompt.h"
#include "pim/PimAddins.h"
#include "platform/phone/phone.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailItem.h"
#include "tabs/messages/EmailsList.h"
#include "tabs/messages/MailFolderTree.h"
#include "tabs/messages/RecentFolderList.h"
#include "tabs/messages/WebISMailSettings.h"

namespace {

HWND g_commandWindow = nullptr;

const UINT kTextEditSubmenu = 13;
const UINT kTextSettings = 15;
const UINT kTextOtherFolder = 78;
const UINT kMessageBoxStyle = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;  // 0x134

CFontInfo* ListFontInfo(BOOL bold) {
  CFontCache* fonts = GetFontCache();
  CFontInfo* info = fonts ? fonts->GetStyleFont(bold ? 1 : 0, FALSE) : nullptr;
  return info && info->GetFont() ? info : nullptr;
}

HFONT ListFont(BOOL bold) {
  if (CFontInfo* info = ListFontInfo(bold)) return info->GetFont();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Width of a text and the line height of a font.
SIZE MeasureText(HFONT font, LPCWSTR text) {
  SIZE size = {0, 0};
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  if (text && *text) GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  size.cy = metrics.tmHeight > 0 ? metrics.tmHeight : ScaleY(13);
  return size;
}

// Every row asks this while a list of thousands is laid out: the font cache measured
// its fonts when it made them (and makes them anew when the list font changes), so a
// row reads no screen metrics of its own.
int LineHeight(BOOL bold) {
  if (CFontInfo* info = ListFontInfo(bold))
    if (info->GetHeight() > 0) return info->GetHeight();
  return MeasureText(ListFont(bold), nullptr).cy;
}

RECT Shifted(const RECT& r, const POINT& origin) {
  return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

void AppendText(HMENU menu, UINT flags, UINT_PTR command, UINT textId) {
  AppendMenuW(menu, MF_STRING | flags, command, TranslatedText(textId));
}

// The separator under the row: the panel's dotted mask where it is made, else every
// other pixel.
void DrawDottedLine(HDC dc, int left, int right, int y, COLORREF color) {
  CSkinColors& colors = CSkinColors::Instance();
  CBitmapDC& mask = colors.GetSeparatorMask();
  if (mask.GetDC() && mask.GetSize().cx >= right - left) {
    if (HBRUSH brush = colors.GetSolidBrush(CSkinColors::kText)) {
      CSkinColors::DrawMaskedBrush(dc, left, y, right - left, 1, mask.GetDC(), 0, 0, brush);
      return;
    }
  }
  for (int x = left; x < right; x += 2) SetPixelV(dc, x, y, color);
}

}  // namespace

void CEmailRowItem::SetCommandWindow(HWND window) { g_commandWindow = window; }

CEmailRowItem::CEmailRowItem(EMAIL_ITEM* item, IListItemOwner* owner, CEmailsList* list)
    : CPimListItem(owner), m_item(item), m_list(list) {
  if (m_item) m_item->AddRef();
}

CEmailRowItem::~CEmailRowItem() {
  if (m_item) m_item->Release();
}

CEmailsList& CEmailRowItem::List() const { return m_list ? *m_list : CEmailsList::GetGlobal(); }

DWORD CEmailRowItem::HashEntryId(const CBlobObj& id) {
  DWORD hash = 0;
  const BYTE* bytes = id.GetData();
  for (ULONG i = 0; bytes && i < id.GetSize(); ++i) hash = hash * 9 + bytes[i];
  return hash;
}

DWORD_PTR CEmailRowItem::GetUserData() {
  if (!m_hashed && m_item) {
    m_hash = HashEntryId(m_item->entryId);
    m_hashed = TRUE;
  }
  return m_hash;
}

int CEmailRowItem::GetStatusIcon(const EMAIL_ITEM& item) {
  int icon = kFirstStatusIcon;
  if (item.IsRead()) icon += 1;
  if (item.status & kStatusHeaderOnly) icon += 2;
  if (item.hasAttachments) icon += 4;
  return icon;
}

void CEmailRowItem::MeasureColumns(int* timeWidth, int* sizeWidth) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  SYSTEMTIME late = now;
  late.wHour = 23;
  late.wMinute = 59;
  late.wSecond = 0;
  late.wMilliseconds = 0;
  SYSTEMTIME yearEnd = late;
  yearEnd.wMonth = 12;
  yearEnd.wDay = now.wMonth == 12 && now.wDay == 31 ? 30 : 31;
  EMAIL_ITEM sample;
  const HFONT bold = ListFont(TRUE);
  int widest = 0;
  for (const SYSTEMTIME& when : {late, yearEnd}) {
    SystemTimeToVariantDate(when, &sample.time);
    widest = std::max<int>(widest, MeasureText(bold, sample.GetTimeText(TRUE)).cx);
  }
  sample.size = 10000;
  if (timeWidth) *timeWidth = widest * 6 / 5;
  if (sizeWidth) *sizeWidth = MeasureText(bold, sample.GetSizeText(TRUE)).cx * 6 / 5;
}

int CEmailRowItem::Layout() {
  m_laidOut = TRUE;
  if (!m_item) return 0;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  m_bold = !m_item->IsRead();
  const int line = LineHeight(m_bold);

  const int margin = ScaleX(m_indented ? 24 : 16);
  m_iconCount = CSkin::Instance().GetIconCount();
  m_icon = GetStatusIcon(*m_item);
  SIZE icon = CSkin::Instance().GetIconSize(m_icon);
  if (icon.cx <= 0 || icon.cy <= 0) icon = {ScaleX(16), ScaleY(16)};
  const int iconTop = std::max(0, (line - static_cast<int>(icon.cy)) / 2);
  m_iconRect = {margin - ScaleX(2) - icon.cx, iconTop, margin - ScaleX(2), iconTop + icon.cy};

  // The texts are made when the row is drawn (or asked for): a list of thousands is
  // laid out whole, but only the rows on the screen show theirs.
  m_textsMade = FALSE;

  const int columnRight = width - ScaleX(2);
  m_timeRect = {columnRight - m_timeWidth, 0, columnRight, line};
  m_firstRect = {margin, 0, std::max(margin, static_cast<int>(m_timeRect.left) - ScaleX(4)), line};
  m_showSize = GetViewSettings().EmailShowSize != 0;
  if (m_showSize) {
    m_sizeRect = {columnRight - m_sizeWidth, line, columnRight, 2 * line};
    m_secondRect = {margin, line, std::max(margin, static_cast<int>(m_sizeRect.left) - ScaleX(4)), 2 * line};
  } else {
    m_sizeRect = RECT{};
    m_secondRect = {margin, line, std::max(margin, width), 2 * line};
  }

  const int height = 2 * line;
  if (m_lastHeight != 0 && height != m_lastHeight && m_pOwner) m_pOwner->OnItemChanged(this);
  m_lastHeight = height;
  return height;
}

void CEmailRowItem::MakeTexts() const {
  if (m_textsMade || !m_item) return;
  m_textsMade = TRUE;
  // The sender of a received message, the recipient of a sent one; the recipient is
  // read only now, for the rows that are shown.
  if (m_item->senderName.IsEmpty() && m_item->recipientPending) List().EnsureRecipient(m_item);
  if (!m_item->senderName.IsEmpty()) {
    m_firstLine = m_item->senderName;
  } else if (!m_item->recipientName.IsEmpty()) {
    m_firstLine = m_item->recipientName;
  } else {
    m_firstLine.Format(L"[%s]", static_cast<LPCWSTR>(TranslatedText(IDS_MAIL_NO_NAME)));
  }
  m_secondLine = m_item->subject;
  m_timeText = m_item->GetTimeText(FALSE);
  if (m_showSize)
    m_sizeText = m_item->GetSizeText(FALSE);
  else
    m_sizeText.Empty();
}

void CEmailRowItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin || !m_item) return;
  const int height = GetHeight(-1);
  if (!m_laidOut) Layout();
  MakeTexts();
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  if (m_bSelected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(CSkinColors::kHighlight)) FillRect(dc, &all, brush);
  }
  if (m_icon < m_iconCount) {
    const RECT at = Shifted(m_iconRect, *origin);
    CSkin::Instance().DrawIcon(m_icon, context->GetTarget(), at.left, at.top, dc);
  }
  const COLORREF text = colors.Get(m_bSelected ? CSkinColors::kHighlightText : CSkinColors::kText);
  HFONT oldFont = context->SetFont(ListFont(m_bold));
  COLORREF oldColor = context->SetTextColor(text);
  context->SetBkMode(TRANSPARENT);
  const UINT left = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT;
  const UINT right = DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT;
  RECT r = Shifted(m_firstRect, *origin);
  context->AddText(m_firstLine, &r, left);
  r = Shifted(m_secondRect, *origin);
  context->AddText(m_secondLine, &r, left);
  if (!m_timeText.IsEmpty()) {
    r = Shifted(m_timeRect, *origin);
    context->AddText(m_timeText, &r, right);
  }
  if (!m_sizeText.IsEmpty()) {
    r = Shifted(m_sizeRect, *origin);
    context->AddText(m_sizeText, &r, right);
  }
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
  if (dc) DrawDottedLine(dc, origin->x, origin->x + width, origin->y + height - 1, text);
}

BOOL CEmailRowItem::OnPress(POINT* point) {
  if (point && m_item && m_laidOut && m_icon >= kFirstStatusIcon && m_icon <= kLastStatusIcon &&
      PtInRect(&m_iconRect, *point)) {
    if (m_pOwner) m_pOwner->OnItemNotify(this, ROW_EVENT_PREVIEW);
    return TRUE;
  }
  return CPimListItem::OnPress(point);
}

void CEmailRowItem::BuildMenu(HMENU menu) {
  if (!menu || !m_item) return;
  IWebISMailSource* webis = List().GetWebISSource();
  const BOOL webisMessage = m_item->sourceKind == kSourceWebIS;
  const BOOL buildKnown = webis && webis->GetBuild() != 0;
  // Opening and answering go through the mail program that handles the message.
  const BOOL reduced = webisMessage ? !buildKnown : (webis && webis->HasTakenOverMailProgram());
  const UINT gray = reduced ? MF_GRAYED : 0;
  AppendText(menu, gray, kCmdOpen, IDS_MAIL_OPEN);
  AppendText(menu, gray, kCmdReply, IDS_MAIL_REPLY);
  AppendText(menu, gray, kCmdReplyAll, IDS_MAIL_REPLY_ALL);
  AppendText(menu, gray, kCmdForward, IDS_MAIL_FORWARD);
  if (m_item->IsPhoneMessage()) AppendText(menu, 0, kCmdCall, IDS_MAIL_CALL);

  const BOOL mainWindow = webisMessage && GetWebISMailSettings().IsMainWindowRunning();
  if (HMENU edit = CreatePopupMenu()) {
    if (webisMessage && !buildKnown && mainWindow) {
      AppendMenuW(menu, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(edit), TranslatedText(kTextEditSubmenu));
    } else {
      HMENU folders = !mainWindow ? CreatePopupMenu() : nullptr;
      if (folders) {
        CRecentFolderList recent;
        recent.Load(m_item->accountName);
        CSimpleArray<CNameIndex> sorted;
        recent.GetSorted(sorted);
        for (int i = 0; i < sorted.GetSize(); ++i)
          AppendMenuW(folders, MF_STRING, kCmdFirstRecentFolder + sorted[i].index, sorted[i].name);
        AppendText(folders, 0, kCmdChooseFolder, kTextOtherFolder);
        AppendMenuW(edit, MF_POPUP, reinterpret_cast<UINT_PTR>(folders), TranslatedText(IDS_MAIL_MOVE_TO));
      } else {
        AppendText(edit, MF_GRAYED, kCmdFirstRecentFolder, IDS_MAIL_MOVE_TO);
      }
      AppendText(edit, 0, kCmdDelete, IDS_MAIL_DELETE);
      AppendText(edit, 0, kCmdToggleRead, m_item->IsRead() ? IDS_MAIL_MARK_UNREAD : IDS_MAIL_MARK_READ);
      AppendText(edit, (m_item->status & kStatusHeaderOnly) ? 0 : MF_GRAYED, kCmdToggleDownload,
                 (m_item->status & kStatusMarkedForDownload) ? IDS_MAIL_UNMARK_DOWNLOAD : IDS_MAIL_MARK_DOWNLOAD);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), TranslatedText(kTextEditSubmenu));
    }
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendText(menu, 0, kCmdSettings, kTextSettings);
}

BOOL CEmailRowItem::Delete() {
  if (GetViewSettings().EmailConfirmDeletion) {
    CString question;
    question.Format(TranslatedText(IDS_MAIL_CONFIRM_DELETE), static_cast<LPCWSTR>(m_item->subject),
                    static_cast<LPCWSTR>(m_item->senderAddress));
    if (ShowPanelMessage(g_commandWindow, question, m_item->subject, kMessageBoxStyle) != IDYES) return TRUE;
  }
  List().DeleteItem(m_item);
  return TRUE;
}

BOOL CEmailRowItem::MoveToRecent(int position) {
  CRecentFolderList recent;
  CTaggedBlob folder;
  if (!recent.Load(m_item->accountName) || !recent.GetAt(position, folder)) return TRUE;
  List().MoveItem(m_item, folder);
  return TRUE;
}

BOOL CEmailRowItem::MoveToChosenFolder() {
  CMailFolderTree tree;
  tree.SetChooserScope(m_item->accountName, List().GetSession());
  CTreeChooserDlg chooser(m_item->accountName, &tree);
  if (chooser.DoModal(::GetActiveWindow()) != IDOK) return TRUE;
  const TREE_CHOOSER_RESULT& chosen = chooser.GetResult();
  if (chosen.isStore) return TRUE;
  CTaggedBlob folder;
  if (!folder.SetData(chosen.id.GetData(), chosen.id.GetSize()) ||
      !folder.SetKind(m_item->sourceKind == kSourceWebIS ? CTaggedBlob::KindF : CTaggedBlob::KindM))
    return TRUE;
  folder.SetName(chosen.text);
  CRecentFolderList recent;
  if (recent.Load(m_item->accountName)) recent.InsertFront(folder);
  List().MoveItem(m_item, folder);
  return TRUE;
}

BOOL CEmailRowItem::DoCommand(UINT command) {
  if (!m_item) return FALSE;
  switch (command) {
    case kCmdOpen:
    case kCmdEdit:
      List().OpenMessage(m_item, 0);
      return TRUE;
    case kCmdReply:
      List().OpenMessage(m_item, 3);
      return TRUE;
    case kCmdReplyAll:
      List().OpenMessage(m_item, 4);
      return TRUE;
    case kCmdForward:
      List().OpenMessage(m_item, 5);
      return TRUE;
    case kCmdDelete:
      return Delete();
    case kCmdNothing:
      return TRUE;
    case kCmdToggleRead:
      List().SetRead(m_item, !m_item->IsRead(), TRUE);
      return TRUE;
    case kCmdToggleDownload:
      // Left for the tab as well, which repaints.
      List().MarkForDownload(m_item, (m_item->status & kStatusMarkedForDownload) == 0);
      return FALSE;
    case kCmdCall: {
      const CString address = m_item->GetAddressPart();
      PHONEMAKECALLINFO call = {};
      call.cbSize = sizeof(call);
      call.dwFlags = PMCF_DEFAULT;
      call.pszDestAddress = address;
      CallPhoneMakeCall(&call);
      return TRUE;
    }
    case kCmdChooseFolder:
      return MoveToChosenFolder();
    default:
      if (command >= kCmdFirstRecentFolder && command <= kCmdLastRecentFolder)
        return MoveToRecent(static_cast<int>(command - kCmdFirstRecentFolder));
      return FALSE;
  }
}
