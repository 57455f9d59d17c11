#include "panel/SortMenu.h"

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "panel/TabFilterSet.h"
#include "res/TarvoResIds.h"

namespace {

CString Text(UINT id) {
  CString text;
  LoadTranslatedString(text, id);
  return text;
}

CString ValueName(LPCWSTR format, int groupBy) {
  CString name;
  name.Format(format, groupBy);
  return name;
}

LPCWSTR DefaultOrders(int groupBy) {
  switch (groupBy) {
    case 501:
      return L"CIS,S,DS";
    case 551:
      return L"CIS,CDIS,CIDS,ICS,DICS,S,DS";
    case 552:
      return L"CS,CDS,S";
    case 553:
      return L"DCIS,DS,S";
    case 555:
      return L"S,T,D,d,I";
    default:
      return L"S,T,D,I";
  }
}

void Split(LPCWSTR text, std::vector<CString>& out) {
  out.clear();
  const WCHAR* p = text ? text : L"";
  for (;;) {
    const WCHAR* end = wcschr(p, L',');
    if (!end) {
      out.push_back(CString(p));
      return;
    }
    out.push_back(CString(p, static_cast<int>(end - p)));
    p = end + 1;
  }
}

CString WithoutCategoryKey(const CString& order) {
  CString result = order;
  const int at = result.Find(L'C');
  if (at >= 0) result.Delete(at);
  return result;
}

// The Special events periods in menu order: (value, text).
const int kPeriods[7][2] = {{1, IDS_EVENTS_PERIOD_1}, {2, IDS_EVENTS_PERIOD_2}, {3, IDS_EVENTS_PERIOD_3},
                            {0, IDS_EVENTS_PERIOD_0}, {4, IDS_EVENTS_PERIOD_4}, {5, IDS_EVENTS_PERIOD_5},
                            {6, IDS_EVENTS_PERIOD_6}};
const UINT kNoteOrders[4] = {IDS_NOTE_ORDER_0, IDS_NOTE_ORDER_1, IDS_NOTE_ORDER_2, IDS_NOTE_ORDER_3};
const UINT kContactDisplays[3] = {IDS_CONTACT_DISPLAY_0, IDS_CONTACT_DISPLAY_1, IDS_CONTACT_DISPLAY_2};

}  // namespace

CSortMenu::CSortMenu(int kind) : m_kind(kind), m_categoryKey(TRUE) {}

CSortMenu::~CSortMenu() = default;

int CSortMenu::GetActiveOrder(int groupBy) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return static_cast<int>(key.GetDWORD(ValueName(L"SortOrder%dActive", groupBy), 0));
}

void CSortMenu::SetActiveOrder(int groupBy, int index) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(ValueName(L"SortOrder%dActive", groupBy), static_cast<DWORD>(index));
}

CString CSortMenu::GetOrders(int groupBy) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return key.GetString(ValueName(L"SortOrder%dStr", groupBy), DefaultOrders(groupBy));
}

int CSortMenu::GetNoteSortOrder() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  return static_cast<int>(key.GetDWORD(L"NoteSortOrder", 1));
}

void CSortMenu::SetNoteSortOrder(int order) {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
  key.SetDWORD(L"NoteSortOrder", static_cast<DWORD>(order));
}

int CSortMenu::SelectedGroupBy() const {
  const int id = GetSelectedId();
  return id == 501 || (id >= 551 && id <= 561) ? id : 0;
}

CString CSortMenu::GetActiveOrderText() {
  const int groupBy = SelectedGroupBy();
  if (!groupBy) return CString();
  std::vector<CString> orders;
  Split(GetOrders(groupBy), orders);
  const int active = GetActiveOrder(groupBy);
  if (active < 0 || active >= static_cast<int>(orders.size())) return CString();
  return m_categoryKey ? orders[active] : WithoutCategoryKey(orders[active]);
}

void CSortMenu::BuildOrderEntries(LPCWSTR text, int active, BOOL categoryKey, std::vector<CString>& out) {
  Split(text, out);
  if (!categoryKey)
    for (CString& order : out) order = WithoutCategoryKey(order);
  const int count = static_cast<int>(out.size());
  std::vector<bool> blank(out.size(), false);
  for (int i = 0; i < count; ++i) {
    if (i == active) continue;
    for (int j = 0; j < count && !blank[i]; ++j)
      if (j != i && (j == active || j > i) && out[i].Compare(out[j]) == 0) blank[i] = true;
  }
  for (int i = 0; i < count; ++i)
    if (blank[i]) out[i] = L"";
}

CString CSortMenu::OrderText(LPCWSTR letters) {
  CString text;
  for (const WCHAR* p = letters; p && *p; ++p) {
    if (!text.IsEmpty()) text += L", ";
    switch (*p) {
      case L'C':
        text += Text(IDS_SORT_CATEGORY);
        break;
      case L'D':
        text += Text(IDS_SORT_DATE);
        break;
      case L'I':
        text += Text(IDS_SORT_IMPORTANCE);
        break;
      case L'S':
        text += Text(IDS_SORT_SUBJECT);
        break;
      case L'T':
        text += Text(IDS_SORT_TIME);
        break;
      case L'd':
        text += L"-";
        text += Text(IDS_SORT_DATE);
        break;
      default:
        text += L"???";
    }
  }
  return text;
}

void CSortMenu::FillMenuExtra(HMENU menu, int position) {
  if (position == SORT_MENU_ITEMS_ONLY) return;
  const int groupBy = SelectedGroupBy();
  if (!groupBy) return;
  const BOOL inPlace =
      position == SORT_MENU_IN_PLACE || (m_kind == FILTER_KIND_SPECIAL && position == SORT_MENU_IN_PLACE_SPECIAL);
  if (m_kind == FILTER_KIND_CONTACTS) {
    if (GetMenuItemCount(menu) > 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const int current = GetViewSettings().ContDisplay;
    const int first = GetMenuItemCount(menu);
    for (int i = 0; i < 3; ++i) AppendMenuW(menu, MF_STRING, SORT_CMD_CONTACT_DISPLAY + i, Text(kContactDisplays[i]));
    if (current >= 0 && current <= 2)
      CheckMenuRadioItem(menu, first, first + 2, static_cast<UINT>(first + current), MF_BYPOSITION);
    return;
  }
  HMENU popup = inPlace ? menu : CreatePopupMenu();
  if (!popup) return;
  // In place the entries follow what the caller put there.
  if (inPlace && GetMenuItemCount(menu) > 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  UINT title = IDS_SORT_ORDER;
  if (m_kind == FILTER_KIND_SPECIAL) {
    int current = GetViewSettings().SpecialPeriod;
    if (current < 0 || current > 6) current = 0;
    for (const auto& period : kPeriods)
      AppendMenuW(popup, MF_STRING | (period[0] == current ? MF_CHECKED : 0), SORT_CMD_ORDER + period[0],
                  Text(static_cast<UINT>(period[1])));
    title = IDS_EVENTS_PERIOD_MENU;
  } else if (m_kind == FILTER_KIND_NOTES) {
    const int current = GetNoteSortOrder();
    for (int i = 0; i < 4; ++i)
      AppendMenuW(popup, MF_STRING | (i == current ? MF_CHECKED : 0), SORT_CMD_ORDER + i, Text(kNoteOrders[i]));
  } else {
    const int active = GetActiveOrder(groupBy);
    std::vector<CString> orders;
    BuildOrderEntries(GetOrders(groupBy), active, m_categoryKey, orders);
    for (int i = 0; i < static_cast<int>(orders.size()) && i < 30; ++i) {
      if (orders[i].IsEmpty()) continue;
      AppendMenuW(popup, MF_STRING | (i == active ? MF_CHECKED : 0), SORT_CMD_ORDER + i, OrderText(orders[i]));
    }
  }
  if (inPlace) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Text(title));
}

int CSortMenu::OnItemChosen(int command) {
  const int groupBy = SelectedGroupBy();
  if (!groupBy) return CVirtualDropDown::OnItemChosen(command);
  if (command >= SORT_CMD_CONTACT_DISPLAY && command <= SORT_CMD_CONTACT_DISPLAY + 2) {
    CViewSettings& settings = GetViewSettings();
    settings.ContDisplay = command - SORT_CMD_CONTACT_DISPLAY;
    settings.Save();
    return CVirtualDropDown::OnItemChosen(command);
  }
  if (command >= SORT_CMD_ORDER && command < SORT_CMD_ORDER + 30) {
    const int n = command - SORT_CMD_ORDER;
    if (m_kind == FILTER_KIND_NOTES) {
      if (n == GetNoteSortOrder()) return -2;
      SetNoteSortOrder(n);
    } else if (m_kind == FILTER_KIND_SPECIAL) {
      CViewSettings& settings = GetViewSettings();
      if (n == settings.SpecialPeriod) return -2;
      settings.SpecialPeriod = n;
      settings.Save();
    } else {
      if (n == GetActiveOrder(groupBy)) return -2;
      SetActiveOrder(groupBy, n);
    }
    CVirtualDropDown::OnItemChosen(SORT_CHOSEN_ORDER);
    return command;
  }
  return CVirtualDropDown::OnItemChosen(command);
}
