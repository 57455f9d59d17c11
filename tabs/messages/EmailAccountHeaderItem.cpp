#include "tabs/messages/EmailAccountHeaderItem.h"

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/ControlFonts.h"
#include "controls/ScrollPanel.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "graphics/SkinColors.h"
#include "panel/Plugin.h"
#include "panel/TodayPanelBase.h"
#include "res/TarvoResIds.h"
#include "tabs/messages/EmailsList.h"

namespace {

const int kUnreadIcon = 22;
const int kReadIcon = 23;

void AppendCommand(HMENU menu, UINT command, UINT textId) {
  CString text;
  LoadTranslatedString(text, textId);
  AppendMenuW(menu, MF_STRING, command, text);
}

RECT Shifted(const RECT& r, const POINT& origin) {
  return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

}  // namespace

CEmailAccountHeaderItem::CEmailAccountHeaderItem(IListItemOwner* owner, LPCWSTR title, LPCWSTR accountName,
                                                 int accountIndex, CEmailsList* list)
    : CPimListItem(owner),
      m_title(title ? title : L""),
      m_accountName(accountName ? accountName : L""),
      m_accountIndex(accountIndex),
      m_list(list ? list : &CEmailsList::GetGlobal()) {}

void CEmailAccountHeaderItem::SetCounts(int messages, int unread) {
  m_messageCount = messages;
  m_unreadCount = unread;
  m_laidOut = FALSE;
  SetSize(GetWidth(), GetContentWidth(), 0, TRUE);
}

void CEmailAccountHeaderItem::SetIndented(BOOL indented) {
  m_indented = indented;
  m_laidOut = FALSE;
  SetSize(GetWidth(), GetContentWidth(), 0, TRUE);
}

CString CEmailAccountHeaderItem::GetTitleText() const {
  CString text = m_title;
  if (m_unreadCount != 0) {
    CString count;
    count.Format(L" (%d)", m_unreadCount);
    text += count;
  }
  return text;
}

int CEmailAccountHeaderItem::GetIcon(int position) const {
  if (position != kIconPosition) return -1;
  return m_unreadCount >= 1 ? kUnreadIcon : kReadIcon;
}

int CEmailAccountHeaderItem::Layout() {
  m_laidOut = TRUE;
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  const int margin = ScaleX(m_indented ? 40 : 32);
  m_icon = GetIcon(kIconPosition);
  SIZE icon = CSkin::Instance().GetIconSize(m_icon);
  if (icon.cx <= 0 || icon.cy <= 0) icon = {ScaleX(16), ScaleY(16)};
  m_iconRect = {margin - ScaleX(2) - icon.cx, 0, margin - ScaleX(2), icon.cy};
  m_titleText = GetTitleText();
  const SIZE text = MeasureControlText(GetControlListFont(), m_titleText.IsEmpty() ? L" " : m_titleText.GetString());
  m_titleRect = {margin, 0, std::max(margin, static_cast<int>(width)), text.cy};
  const int height = text.cy;
  if (m_lastHeight != 0 && height != m_lastHeight && m_pOwner) m_pOwner->OnItemChanged(this);
  m_lastHeight = height;
  return height;
}

void CEmailAccountHeaderItem::Draw(CTextRunList* context, const POINT* origin) {
  if (!context || !origin) return;
  const int height = GetHeight(-1);
  if (!m_laidOut) Layout();
  const int width = GetContentWidth() > 0 ? GetContentWidth() : GetWidth();
  HDC dc = context->GetDC();
  CSkinColors& colors = CSkinColors::Instance();
  if (m_bSelected && dc) {
    RECT all = {origin->x, origin->y, origin->x + width, origin->y + height};
    if (HBRUSH brush = colors.GetSolidBrush(2)) FillRect(dc, &all, brush);
  }
  const RECT iconAt = Shifted(m_iconRect, *origin);
  CSkin::Instance().DrawIcon(m_icon, context->GetTarget(), iconAt.left, iconAt.top, dc);
  HFONT oldFont = context->SetFont(GetControlListFont());
  COLORREF oldColor = context->SetTextColor(colors.Get(m_bSelected ? 4 : 3));
  context->SetBkMode(TRANSPARENT);
  RECT titleAt = Shifted(m_titleRect, *origin);
  context->AddText(m_titleText, &titleAt, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  context->SetTextColor(oldColor);
  context->SetFont(oldFont);
}

void CEmailAccountHeaderItem::BuildMenu(HMENU menu) {
  if (!menu) return;
  AppendCommand(menu, EMAIL_ACCOUNT_CMD_NEW_MESSAGE, IDS_MAIL_NEW_MESSAGE);
  AppendCommand(menu, EMAIL_ACCOUNT_CMD_OPEN_ACCOUNT, IDS_CAL_MENU_EMAIL_PROGRAM);
  AppendCommand(menu, EMAIL_ACCOUNT_CMD_SEND_RECEIVE, IDS_MAIL_SEND_RECEIVE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendCommand(menu, ID_OPEN_SETTINGS, IDS_SETTINGS);
}

BOOL CEmailAccountHeaderItem::OnCommand(UINT command) {
  switch (command) {
    case 1001:
    case 1002: {
      CTodayPanelBase* panel = GetTodayPanel();
      if (HWND window = panel ? panel->GetHwnd() : nullptr)
        PostMessageW(window, RegisterWindowMessageW(L"QelTarvo_SelectEmailAccount"),
                     static_cast<WPARAM>(m_accountIndex), 0);
      return TRUE;
    }
    case EMAIL_ACCOUNT_CMD_OPEN_ACCOUNT:
      m_list->OpenAccount(m_accountName);
      return TRUE;
    case EMAIL_ACCOUNT_CMD_NEW_MESSAGE:
      m_list->NewMessage(m_accountName);
      return TRUE;
    case EMAIL_ACCOUNT_CMD_SEND_RECEIVE:
      m_list->SendReceive(m_accountName);
      return TRUE;
    default:
      return FALSE;
  }
}
