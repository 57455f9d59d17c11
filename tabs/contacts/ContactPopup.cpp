#include "tabs/contacts/ContactPopup.h"

#include <commctrl.h>

#include <algorithm>

#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "base/BitmapDC.h"
#include "base/InstallPath.h"
#include "controls/ControlFonts.h"
#include "controls/TextRunList.h"
#include "graphics/Skin.h"
#include "pim/PimAddins.h"
#include "tabs/contacts/ContactsList.h"

namespace {

const wchar_t kListProperty[] = L"QelTarvoContactPopup";

class CDeviceActions : public IContactPopupActions {
 public:
  BOOL IsPhonePresent() override { return ::IsPhonePresent(); }
  void Dial(LPCWSTR number) override { DialNumber(number); }
  // The messages list takes text messages and e-mail once it can compose them; until
  // then the device's own programs are asked through the shell.
  void ComposeSms(LPCWSTR number, LPCWSTR) override { Launch(L"sms:", number); }
  void ComposeEmail(LPCWSTR address, LPCWSTR) override { Launch(L"mailto:", address); }
  void OpenInBrowser(LPCWSTR address) override { ::OpenInBrowser(address); }

 private:
  static void Launch(LPCWSTR scheme, LPCWSTR value) {
    CString target = scheme;
    target += value;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    LaunchProgram(&info);
  }
};

CDeviceActions g_deviceActions;
IContactPopupActions* g_actions = &g_deviceActions;

struct EntryRow {
  int field;   // field index, or -1
  int detail;  // detail number 1-7, or 0
  int kind;
  UINT label;
  int icon;
};
const EntryRow kEntryRows[] = {
    {4, 0, CONTACT_POPUP_ENTRY::kCall, 235, 9},   {0, 0, CONTACT_POPUP_ENTRY::kCall, 236, 10},
    {2, 0, CONTACT_POPUP_ENTRY::kCall, 237, 8},   {4, 0, CONTACT_POPUP_ENTRY::kSms, 239, 22},
    {9, 0, CONTACT_POPUP_ENTRY::kEmail, 238, 22}, {-1, 4, CONTACT_POPUP_ENTRY::kWeb, 240, 23},
    {1, 0, CONTACT_POPUP_ENTRY::kCall, 241, 10},  {3, 0, CONTACT_POPUP_ENTRY::kCall, 242, 8},
    {-1, 2, CONTACT_POPUP_ENTRY::kEmail, 243, 22}, {-1, 3, CONTACT_POPUP_ENTRY::kEmail, 244, 22},
    {-1, 5, CONTACT_POPUP_ENTRY::kCall, 245, 10}, {5, 0, CONTACT_POPUP_ENTRY::kCall, 246, 9},
    {6, 0, CONTACT_POPUP_ENTRY::kCall, 247, 9},   {-1, 6, CONTACT_POPUP_ENTRY::kCall, 248, 9},
    {7, 0, CONTACT_POPUP_ENTRY::kCall, 250, 9},
};
const UINT kAddressLabels[CONTACT_DETAILS::kAddresses] = {295, 296, 297};
const int kAddressIcons[CONTACT_DETAILS::kAddresses] = {10, 8, 9};

void AddAddresses(CONTACT_DETAILS& contact, std::vector<CONTACT_POPUP_ENTRY>& entries, PopupLineWrapper wrap,
                  void* context) {
  for (int a = 0; a < CONTACT_DETAILS::kAddresses; ++a) {
    std::vector<CString> lines;
    for (const CString& line : BuildAddressLines(contact.m_addresses[a])) {
      // Stored addresses may hold line feeds of their own.
      int start = 0;
      while (start <= line.GetLength()) {
        int end = line.Find(L'\n', start);
        if (end < 0) end = line.GetLength();
        CString piece = line.Mid(start, end - start);
        piece.TrimRight(L'\r');
        if (!piece.IsEmpty()) {
          if (wrap) {
            for (const CString& wrapped : wrap(piece, context))
              if (!wrapped.IsEmpty()) lines.push_back(wrapped);
          } else {
            lines.push_back(piece);
          }
        }
        start = end + 1;
      }
    }
    if (lines.empty()) continue;
    entries.push_back({CONTACT_POPUP_ENTRY::kAddressFirst, lines[0], TranslatedText(kAddressLabels[a]), kAddressIcons[a]});
    for (size_t i = 1; i < lines.size(); i += 2) {
      if (i + 1 < lines.size())
        entries.push_back({CONTACT_POPUP_ENTRY::kAddressMore, lines[i + 1], lines[i], -1});
      else
        entries.push_back({CONTACT_POPUP_ENTRY::kAddressMore, CString(), lines[i], -1});
    }
  }
}

struct WrapContext {
  HDC dc;
  int width;
};

// Greedy word wrap in the list font; a word wider than the line is cut by characters.
std::vector<CString> WrapToWidth(const CString& line, void* raw) {
  auto* context = static_cast<WrapContext*>(raw);
  std::vector<CString> out;
  if (!context || !context->dc || context->width <= 0) {
    out.push_back(line);
    return out;
  }
  auto fits = [&](const CString& text) {
    SIZE size = {};
    GetTextExtentPoint32W(context->dc, text, text.GetLength(), &size);
    return size.cx <= context->width;
  };
  CString rest = line;
  while (!rest.IsEmpty()) {
    if (fits(rest)) {
      out.push_back(rest);
      break;
    }
    int cut = 0;
    int lastBlank = -1;
    for (int i = 1; i <= rest.GetLength(); ++i) {
      if (!fits(rest.Left(i))) break;
      cut = i;
      if (i < rest.GetLength() && rest[i] == L' ') lastBlank = i;
    }
    if (cut == 0) cut = 1;
    const int take = lastBlank > 0 ? lastBlank : cut;
    out.push_back(rest.Left(take));
    rest = rest.Mid(take);
    rest.TrimLeft(L' ');
  }
  return out;
}

}  // namespace

IContactPopupActions* SetContactPopupActions(IContactPopupActions* actions) {
  IContactPopupActions* previous = g_actions == &g_deviceActions ? nullptr : g_actions;
  g_actions = actions ? actions : &g_deviceActions;
  return previous;
}

std::vector<CString> BuildAddressLines(const CString parts[CONTACT_DETAILS::kAddressParts]) {
  std::vector<CString> lines;
  if (!parts[0].IsEmpty()) lines.push_back(parts[0]);
  CString second = parts[1];
  if (!parts[2].IsEmpty()) {
    if (!second.IsEmpty()) second += L", ";
    second += parts[2];
  }
  if (!parts[3].IsEmpty()) {
    if (!parts[2].IsEmpty())
      second += L" ";
    else if (!parts[1].IsEmpty())
      second += L", ";
    second += parts[3];
  }
  if (!second.IsEmpty()) lines.push_back(second);
  if (!parts[4].IsEmpty()) lines.push_back(parts[4]);
  return lines;
}

std::vector<CONTACT_POPUP_ENTRY> BuildContactPopupEntries(CONTACT_DETAILS& contact, int addressMode, int iconCount,
                                                          PopupLineWrapper wrap, void* wrapContext) {
  std::vector<CONTACT_POPUP_ENTRY> entries;
  if (addressMode == 0) AddAddresses(contact, entries, wrap, wrapContext);
  for (const EntryRow& row : kEntryRows) {
    CString value = row.field >= 0 ? CString(static_cast<LPCWSTR>(contact.m_fields[row.field]))
                                   : contact.m_details[row.detail - 1];
    if (value.IsEmpty()) continue;
    CONTACT_POPUP_ENTRY entry = {row.kind, value, TranslatedText(row.label), row.icon};
    if (row.kind == CONTACT_POPUP_ENTRY::kWeb && iconCount >= 47) entry.icon = 46;
    if (row.label == 248) {
      // The other number names its kind when the record says which.
      const CString& kind = contact.m_details[6];
      if (kind.IsEmpty()) {
        entry.label = TranslatedText(249);
      } else {
        entry.label.Format(TranslatedText(248), static_cast<LPCWSTR>(kind));
      }
    }
    entries.push_back(entry);
  }
  if (addressMode != 0) AddAddresses(contact, entries, wrap, wrapContext);
  return entries;
}

CContactPopup::CContactPopup(CContactsList* contacts)
    : m_contacts(contacts),
      m_contact(nullptr),
      m_size{kWidth, kHeight},
      m_phone(FALSE),
      m_nameHeight(0),
      m_name(nullptr),
      m_title(nullptr),
      m_company(nullptr),
      m_photoRect(),
      m_list(nullptr),
      m_listProc(nullptr),
      m_selecting(FALSE),
      m_textWidth(0) {}

CContactPopup::~CContactPopup() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
  delete m_contact;
}

CContactsList& CContactPopup::Contacts() const { return m_contacts ? *m_contacts : CContactsList::GetGlobal(); }

void CContactPopup::Forget() {
  m_name = m_title = m_company = nullptr;
  m_list = nullptr;
  m_listProc = nullptr;
  m_photoRect = RECT{};
  m_entries.clear();
  m_selecting = FALSE;
}

BOOL CContactPopup::Show(HWND owner, const RECT& rect, CONTACT_ITEM* contact) {
  if (!contact) return FALSE;
  // A popup still open for another contact goes first.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
  Forget();
  delete m_contact;
  m_contact = new CONTACT_DETAILS(contact->m_itemOid, contact->m_recordOid);
  m_contact->Assign(*contact);
  Contacts().ReadContactDetails(m_contact, FALSE);
  m_phone = g_actions->IsPhonePresent();

  RECT at = {rect.left, rect.top, rect.left + ScaleX(m_size.cx), rect.top + ScaleY(m_size.cy)};
  CString title;
  m_contact->GetDisplayName(title, FALSE, FALSE);
  if (!Create(owner, &at, title, FALSE)) return FALSE;
  const BOOL open = GetViewSettings().ContactOpenFromPopup != 0;
  AddToolButton(217, 218, open ? kCommandOpen : kCommandEdit, 106);
  AddToolButton(226, 225, kCommandDelete, 108);
  LayOut();
  ::ShowWindow(m_hWnd, SW_SHOW);
  return TRUE;
}

void CContactPopup::LayOut() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int margin = ScaleX(kMargin);
  RECT area = {client.left + margin, client.top + GetTitleHeight() + ScaleY(kMargin), client.right - margin,
               client.bottom - ScaleY(kMargin)};
  int textLeft = area.left;
  int lowest = area.top;
  if (m_contact->GetPhoto()) {
    m_photoRect = {area.left, area.top, area.left + ScaleX(36), area.top + ScaleY(36)};
    textLeft = m_photoRect.right + margin;
    lowest = m_photoRect.bottom;
  }
  HFONT bold = GetControlBoldFont();
  HFONT normal = GetControlListFont();
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE));
  const int textWidth = std::max<int>(0, static_cast<int>(area.right - textLeft));
  m_nameHeight = MeasureControlText(bold, L"0").cy;
  CString fullName = FormatContactName(m_contact, 3);
  int nameHeight = m_nameHeight;
  if (HDC dc = ::GetDC(m_hWnd)) {
    HGDIOBJ old = SelectObject(dc, bold);
    RECT measure = {0, 0, textWidth, 0};
    DrawTextW(dc, fullName, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    nameHeight = std::max<int>(m_nameHeight, static_cast<int>(measure.bottom - measure.top));
    SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
  }
  int y = area.top;
  auto makeStatic = [&](LPCWSTR text, HFONT font, int height) {
    HWND window = CreateWindowExW(0, L"STATIC", text, 0x50000080, textLeft, y, textWidth, height, m_hWnd, nullptr,
                                  instance, nullptr);
    if (window) ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    y += height;
    return window;
  };
  m_name = makeStatic(fullName, bold, nameHeight);
  const int line = MeasureControlText(normal, L"0").cy;
  if (!m_contact->m_details[0].IsEmpty()) m_title = makeStatic(m_contact->m_details[0], normal, line);
  if (!m_contact->m_company.IsEmpty()) m_company = makeStatic(CString(m_contact->m_company), normal, line);
  lowest = std::max(lowest, y);

  // Counted first: a contact without any entry shows no list.
  const int iconCount = CSkin::Instance().GetIconCount();
  if (BuildContactPopupEntries(*m_contact, GetViewSettings().ContPreview_ShowAddressMode, iconCount).empty()) return;
  const int listTop = lowest + ScaleY(kMargin);
  const int listWidth = client.right - client.left + 2;
  m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", 0x50804401, client.left - 1, listTop, listWidth,
                           std::max<int>(0, static_cast<int>(client.bottom - listTop + 1)), m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
  if (!m_list) return;
  ListView_SetExtendedListViewStyle(m_list, 0x60);
  ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
  RECT listClient;
  ::GetClientRect(m_list, &listClient);
  const int columnWidth = listClient.right - GetSystemMetrics(SM_CXVSCROLL);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<LPWSTR>(L"Main");
  column.cx = columnWidth;
  ListView_InsertColumn(m_list, 0, &column);
  SetPropW(m_list, kListProperty, this);
  m_listProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CContactPopup::ListProc)));
  FillList(columnWidth);
}

void CContactPopup::FillList(int width) {
  const SIZE iconSize = CSkin::Instance().GetIconSize(9);
  m_textWidth = std::max<int>(1, width - static_cast<int>(iconSize.cx) - 2 * ScaleX(2));
  WrapContext wrap = {::GetDC(m_list), m_textWidth};
  HGDIOBJ old = wrap.dc ? SelectObject(wrap.dc, GetControlListFont()) : nullptr;
  m_entries = BuildContactPopupEntries(*m_contact, GetViewSettings().ContPreview_ShowAddressMode,
                                       CSkin::Instance().GetIconCount(), &WrapToWidth, &wrap);
  if (wrap.dc) {
    SelectObject(wrap.dc, old);
    ::ReleaseDC(m_list, wrap.dc);
  }
  for (size_t i = 0; i < m_entries.size(); ++i) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(m_entries[i].value));
    item.lParam = static_cast<LPARAM>(i);
    ListView_InsertItem(m_list, &item);
  }
}

void CContactPopup::GetBlock(int row, int* first, int* last) const {
  const int count = static_cast<int>(m_entries.size());
  int a = row, b = row;
  if (row >= 0 && row < count) {
    while (a > 0 && m_entries[static_cast<size_t>(a)].kind == CONTACT_POPUP_ENTRY::kAddressMore) --a;
    while (b + 1 < count && m_entries[static_cast<size_t>(b + 1)].kind == CONTACT_POPUP_ENTRY::kAddressMore) ++b;
  }
  if (first) *first = a;
  if (last) *last = b;
}

void CContactPopup::SelectBlock(int row) {
  if (!m_list || m_selecting) return;
  m_selecting = TRUE;
  int first = 0, last = 0;
  GetBlock(row, &first, &last);
  const int count = static_cast<int>(m_entries.size());
  for (int i = 0; i < count; ++i) {
    const UINT state = i >= first && i <= last ? LVIS_SELECTED : 0;
    ListView_SetItemState(m_list, i, state | (i == first ? LVIS_FOCUSED : 0), LVIS_SELECTED | LVIS_FOCUSED);
  }
  ListView_EnsureVisible(m_list, last, FALSE);
  ListView_EnsureVisible(m_list, first, FALSE);
  m_selecting = FALSE;
}

BOOL CContactPopup::ActivateEntry(int index) {
  if (!m_contact || index < 0 || index >= static_cast<int>(m_entries.size())) return FALSE;
  const CONTACT_POPUP_ENTRY& entry = m_entries[static_cast<size_t>(index)];
  const CString name = FormatContactName(m_contact, 2);
  switch (entry.kind) {
    case CONTACT_POPUP_ENTRY::kCall:
    case CONTACT_POPUP_ENTRY::kSms:
      // Without a phone a number is only shown.
      if (!m_phone) return FALSE;
      if (entry.kind == CONTACT_POPUP_ENTRY::kCall)
        g_actions->Dial(entry.value);
      else
        g_actions->ComposeSms(entry.value, name);
      break;
    case CONTACT_POPUP_ENTRY::kEmail:
      g_actions->ComposeEmail(entry.value, name);
      break;
    case CONTACT_POPUP_ENTRY::kWeb:
      g_actions->OpenInBrowser(entry.value);
      break;
    default:
      SelectBlock(index);
      return FALSE;
  }
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  return TRUE;
}

BOOL CContactPopup::OnCommand(UINT command) {
  if (!m_contact) return FALSE;
  // The record may go with the command (delete): the popup goes first.
  CONTACT_DETAILS copy(m_contact->m_itemOid, m_contact->m_recordOid);
  copy.Assign(*m_contact);
  if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
  copy.DoCommand(static_cast<int>(command));
  return TRUE;
}

void CContactPopup::OnPopupDestroy() { Forget(); }

void CContactPopup::PaintContent(CTextRunList* context) {
  if (!context || !m_contact || IsRectEmpty(&m_photoRect)) return;
  CBitmapDC* photo = m_contact->GetPhoto();
  if (!photo || !photo->GetDC()) return;
  const SIZE size = photo->GetSize();
  StretchBlt(context->GetDC(), m_photoRect.left, m_photoRect.top, m_photoRect.right - m_photoRect.left,
             m_photoRect.bottom - m_photoRect.top, photo->GetDC(), 0, 0, size.cx, size.cy, SRCCOPY);
}

void CContactPopup::DrawEntry(const DRAWITEMSTRUCT* draw) {
  const int index = static_cast<int>(draw->itemID);
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
  const CONTACT_POPUP_ENTRY& entry = m_entries[static_cast<size_t>(index)];
  HDC dc = draw->hDC;
  RECT row = draw->rcItem;
  const BOOL selected = (draw->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (index > 0 && entry.kind != CONTACT_POPUP_ENTRY::kAddressMore) {
    RECT rule = {row.left, row.top, row.right, row.top + ScaleY(1)};
    FillRect(dc, &rule, GetSysColorBrush(COLOR_GRAYTEXT));
  }
  const SIZE iconSize = CSkin::Instance().GetIconSize(9);
  const int column = iconSize.cx + 2 * ScaleX(2);
  if (entry.kind != CONTACT_POPUP_ENTRY::kAddressMore && entry.icon >= 0) {
    const SIZE size = CSkin::Instance().GetIconSize(entry.icon);
    CSkin::Instance().DrawIcon(entry.icon, nullptr, row.left + (column - size.cx) / 2,
                               row.top + (row.bottom - row.top - size.cy) / 2, dc);
  }
  RECT text = {row.left + column, row.top, row.right, row.top + (row.bottom - row.top) / 2};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, entry.kind == CONTACT_POPUP_ENTRY::kAddressMore ? GetControlListFont()
                                                                                : GetControlBoldFont());
  DrawTextW(dc, entry.label, -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, GetControlListFont());
  OffsetRect(&text, 0, text.bottom - text.top);
  DrawTextW(dc, entry.value, -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
}

BOOL CContactPopup::OnListKey(UINT key) {
  if (!m_list) return FALSE;
  const int count = static_cast<int>(m_entries.size());
  const int current = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
  int first = 0, last = 0;
  GetBlock(current, &first, &last);
  switch (key) {
    case VK_LEFT:
      ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
      return TRUE;
    case VK_UP:
      if (current < 0 || first == 0) {
        // Off the top: the popup's own controls take the focus again.
        for (int i = 0; i < count; ++i) ListView_SetItemState(m_list, i, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ::SetFocus(m_hWnd);
        return TRUE;
      }
      SelectBlock(first - 1);
      return TRUE;
    case VK_DOWN:
      if (current < 0)
        SelectBlock(0);
      else if (last + 1 < count)
        SelectBlock(last + 1);
      return TRUE;
    case VK_RETURN:
      if (current >= 0) ActivateEntry(current);
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK CContactPopup::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* popup = static_cast<CContactPopup*>(::GetPropW(window, kListProperty));
  WNDPROC previous = popup ? popup->m_listProc : nullptr;
  if (!popup || !previous) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_KEYDOWN && popup->OnListKey(static_cast<UINT>(wParam))) return 0;
  if (message == WM_NCDESTROY) {
    ::RemovePropW(window, kListProperty);
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CContactPopup::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != m_list || !m_list) return 0;
  if (header->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
        !(change->uOldState & LVIS_SELECTED) && !m_selecting)
      SelectBlock(change->iItem);
  } else if (header->code == static_cast<UINT>(LVN_ITEMACTIVATE)) {
    auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
    ActivateEntry(activate->iItem);
  }
  return 0;
}

BOOL CContactPopup::ProcessWindowMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                         DWORD mapId) {
  if (mapId == 0) {
    switch (message) {
      case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure && measure->CtlType == ODT_LISTVIEW) {
          measure->itemHeight = static_cast<UINT>(2 * MeasureControlText(GetControlListFont(), L"0").cy + ScaleY(2));
          result = TRUE;
          return TRUE;
        }
        break;
      }
      case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw && draw->CtlType == ODT_LISTVIEW && draw->hwndItem == m_list) {
          DrawEntry(draw);
          result = TRUE;
          return TRUE;
        }
        break;
      }
      case WM_NOTIFY:
        result = OnNotify(reinterpret_cast<NMHDR*>(lParam));
        return TRUE;
      case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return TRUE;
      case WM_KEYDOWN:
        // Down in the popup's body goes into the list.
        if (wParam == VK_DOWN && m_list && ::GetFocus() != m_list) {
          ::SetFocus(m_list);
          SelectBlock(0);
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  return CPopupWindow::ProcessWindowMessage(hWnd, message, wParam, lParam, result, mapId);
}
