#include "settings/tabs/TabSetup.h"

#include <memory>

#include "base/RegKey.h"
#include "base/Translator.h"
#include "base/ViewSettings.h"
#include "graphics/Dib.h"
#include "graphics/Skin.h"
#include "panel/Registration.h"
#include "res/TarvoResIds.h"
#include "settings/base/TabBarHeight.h"
#include "settings/shell/MainWnd.h"
#include "settings/tabs/TabIcons.h"

const BuiltInTab kBuiltInTabs[6] = {
    {L'1', 32, IDS_SECTION_CALENDAR, 0}, {L'2', 1, IDS_SECTION_TASKS, 1},    {L'3', 2, IDS_SECTION_CONTACTS, 2},
    {L'4', 4, IDS_SECTION_NOTES, 3},     {L'5', 8, IDS_SECTION_MESSAGES, 4}, {L'6', 16, IDS_SECTION_SPECIAL_EVENTS, 5},
};

namespace {

std::unique_ptr<CTabSetup>& Instance() {
  static std::unique_ptr<CTabSetup> setup;
  return setup;
}

bool IsCustomId(WCHAR id) { return id >= L'A'; }

// The skin's icon of a built-in tab on white.
HBITMAP MakeBuiltInIcon(int skinIcon) {
  const int side = GetTabIconSide();
  CDib icon;
  if (!icon.CreateFilled(side, side, RGB(255, 255, 255))) return nullptr;
  HDC dc = icon.GetDC();
  if (dc) GetSkin().DrawTabIcon(skinIcon, dc, 0, 0, FALSE);
  return TakeDibBitmap(icon);
}

}  // namespace

CTabSetup& GetTabSetup() {
  std::unique_ptr<CTabSetup>& setup = Instance();
  if (!setup) {
    setup = std::make_unique<CTabSetup>();
    setup->Load();
  }
  return *setup;
}

void ResetTabSetup() { Instance().reset(); }

CTabSetup::~CTabSetup() {
  if (m_images) ImageList_Destroy(m_images);
}

void CTabSetup::Load() {
  DWORD showTabs;
  CString sequence;
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    showTabs = product.GetDWORD(L"ShowTabs", 0xFFFFFFFF);
    sequence = product.GetString(L"ShowTabsSequence", L"");
  }
  m_order.Empty();
  LoadCustomTabs(m_custom);
  const int side = GetTabIconSide();
  if (!m_images)
    m_images = ImageList_Create(side, side, ILC_COLORDDB, 0, 1);
  else
    ImageList_RemoveAll(m_images);
  DWORD shown = 0;
  for (int i = 0; i < sequence.GetLength(); ++i) {
    const WCHAR id = sequence[i];
    const int row = FindBuiltInTab(id);
    if (row >= 0) {
      AddBuiltInTab(id);
      shown |= kBuiltInTabs[row].showBit;
    } else if (IsCustomId(id) && m_order.Find(id) < 0) {
      AddCustomTab(id);
    }
  }
  const DWORD wanted = showTabs ? showTabs : 32;
  for (const BuiltInTab& tab : kBuiltInTabs)
    if ((wanted & tab.showBit) && !(shown & tab.showBit)) AddBuiltInTab(tab.id);
  for (size_t i = 0; i < m_custom.size(); ++i) {
    const WCHAR id = static_cast<WCHAR>(m_custom[i].id);
    if (sequence.Find(id) < 0 && m_order.Find(id) < 0) AddCustomTab(id);
  }
}

BOOL CTabSetup::Save() {
  for (CustomTabEntry& entry : m_custom)
    for (TodayItemInfo& item : entry.items) item.enabled = 0;
  DWORD freed = 0;
  SaveCustomTabs(m_custom, 0, &freed);
  if (freed) m_todayReload = TRUE;
  DWORD showTabs = 0;
  for (int i = 0; i < m_order.GetLength(); ++i) {
    const int row = FindBuiltInTab(m_order[i]);
    if (row >= 0) showTabs |= kBuiltInTabs[row].showBit;
  }
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    product.SetDWORD(L"ShowTabs", showTabs);
    product.SetString(L"ShowTabsSequence", m_order);
  }
  const BOOL perTab = GetRegistrationState(nullptr) == kPerTabPlugins;
  const int minimum = GetTabBarHeight(GetViewSettings().HorizontalTabsMode != 0, perTab);
  {
    CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    for (LPCWSTR name : {L"TotalHeight", L"TotalHeightL"})
      if (static_cast<int>(product.GetDWORD(name, 120)) < minimum) product.SetDWORD(name, static_cast<DWORD>(minimum));
  }
  if (CMainWnd* main = GetMainWindow()) {
    if (m_todayReload)
      main->SetFullRefresh(TRUE);
    else
      main->SetUpdatePending(1);
  }
  return TRUE;
}

int CTabSetup::Append(WCHAR id, HBITMAP picture) {
  if (!picture) picture = MakeBlankTabIcon();
  if (m_images) ImageList_Add(m_images, picture, nullptr);
  if (picture) DeleteObject(picture);
  m_order += id;
  return m_order.GetLength() - 1;
}

int CTabSetup::AddBuiltInTab(WCHAR id) {
  const int existing = m_order.Find(id);
  if (existing >= 0) return existing;
  const int row = FindBuiltInTab(id);
  if (row < 0) return -1;
  return Append(id, MakeBuiltInIcon(kBuiltInTabs[row].skinIcon));
}

HBITMAP CTabSetup::MakeCustomIcon(CustomTabEntry& entry) {
  HBITMAP picture = nullptr;
  if (entry.smartIcon) {
    for (const TodayItemInfo& item : entry.items) {
      if (item.keyName.CompareNoCase(entry.iconName) != 0) continue;
      CMainWnd* main = GetMainWindow();
      RenderPluginIcon(item, &picture, main ? main->m_hWnd : nullptr);
      break;
    }
  } else {
    LoadTabIconBitmap(entry.iconName, &picture);
  }
  if (!picture) {
    entry.smartIcon = 0;
    entry.iconName = L"default";
    LoadTabIconBitmap(L"default", &picture);
  }
  return picture;
}

int CTabSetup::AddCustomTab(WCHAR id) {
  const int index = FindCustomTab(id);
  if (index < 0) return -1;
  return Append(id, MakeCustomIcon(m_custom[static_cast<size_t>(index)]));
}

CString CTabSetup::GetTabTitle(WCHAR id) {
  CString title;
  if (!IsCustomId(id)) {
    const int row = FindBuiltInTab(id);
    if (row >= 0) LoadTranslatedString(title, kBuiltInTabs[row].title);
    return title;
  }
  LoadTranslatedString(title, IDS_CUSTOM_TAB_TITLE);
  return title;
}

CString CTabSetup::GetHiddenBuiltInTabs() const {
  CString hidden;
  for (const BuiltInTab& tab : kBuiltInTabs)
    if (m_order.Find(tab.id) < 0) hidden += tab.id;
  return hidden;
}

int CTabSetup::FindBuiltInTab(WCHAR id) {
  for (int i = 0; i < 6; ++i)
    if (kBuiltInTabs[i].id == id) return i;
  return -1;
}

int CTabSetup::FindCustomTab(WCHAR id) const {
  for (size_t i = 0; i < m_custom.size(); ++i)
    if (m_custom[i].id == id) return static_cast<int>(i);
  return -1;
}

WCHAR CTabSetup::FindTabOfItem(LPCWSTR name) const {
  if (!name) return 0;
  for (const CustomTabEntry& entry : m_custom)
    for (const TodayItemInfo& item : entry.items)
      if (item.keyName.CompareNoCase(name) == 0) return static_cast<WCHAR>(entry.id);
  return 0;
}

void CTabSetup::SwapTabs(int first, int second) {
  const int length = m_order.GetLength();
  if (first < 0 || second < 0 || first >= length || second >= length || first == second) return;
  const WCHAR a = m_order[first];
  m_order.SetAt(first, m_order[second]);
  m_order.SetAt(second, a);
  if (m_images) ImageList_Copy(m_images, first, m_images, second, ILCF_SWAP);
}

void CTabSetup::RemoveTab(int position) {
  if (position < 0 || position >= m_order.GetLength()) return;
  const WCHAR id = m_order[position];
  m_order.Delete(position);
  if (m_images) ImageList_Remove(m_images, position);
  const int index = IsCustomId(id) ? FindCustomTab(id) : -1;
  if (index >= 0) m_custom.erase(m_custom.begin() + index);
}

void CTabSetup::ReplaceIcon(int position, HBITMAP bitmap) {
  if (m_images && bitmap && position >= 0 && position < m_order.GetLength())
    ImageList_Replace(m_images, position, bitmap, nullptr);
}
