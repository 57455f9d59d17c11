#include "settings/tabs/TabIconDlg.h"

#include "panel/TabIconArchive.h"
#include "settings/tabs/TabIcons.h"

std::vector<TabIconChoice> CollectTabIconChoices(const std::vector<TodayItemInfo>& items, LPCWSTR current,
                                                 HWND parent, int* selected) {
  std::vector<TabIconChoice> choices;
  if (selected) *selected = -1;
  const CString wanted(current);
  auto add = [&](DWORD kind, const CString& name, HBITMAP bitmap) {
    if (selected && *selected < 0 && name.CompareNoCase(wanted) == 0) *selected = static_cast<int>(choices.size());
    choices.push_back({kind, name, bitmap});
  };
  for (const TodayItemInfo& item : items) {
    HBITMAP bitmap = nullptr;
    if (!RenderPluginIcon(item, &bitmap, parent)) continue;
    if (IsAllWhite(bitmap)) {
      DeleteObject(bitmap);
      continue;
    }
    add(1, item.keyName, bitmap);
  }
  std::vector<CString> names;
  ListTabIconNames(GetTabIconArchive(), names);
  for (const CString& name : names) {
    HBITMAP bitmap = nullptr;
    if (LoadTabIconBitmap(name, &bitmap)) add(0, name, bitmap);
  }
  return choices;
}

CTabIconDlg::CTabIconDlg(const std::vector<TodayItemInfo>& items, LPCWSTR current, HWND parent) {
  m_choices = CollectTabIconChoices(items, current, parent, &m_selected);
}

CTabIconDlg::~CTabIconDlg() {
  for (TabIconChoice& choice : m_choices)
    if (choice.bitmap) DeleteObject(choice.bitmap);
  if (m_images) ImageList_Destroy(m_images);
}

BOOL CTabIconDlg::OnFill() {
  HWND list = ::GetDlgItem(m_hWnd, IDC_TAB_ICON_LIST);
  const int side = GetTabIconSide();
  m_images = ImageList_Create(side, side, ILC_COLOR24, 0, 1);
  ListView_SetImageList(list, m_images, LVSIL_SMALL);
  for (size_t i = 0; i < m_choices.size(); ++i) {
    WCHAR text[16];
    wsprintfW(text, L"  %d", static_cast<int>(i + 1));
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.pszText = text;
    item.iImage = ImageList_Add(m_images, m_choices[i].bitmap, nullptr);
    ListView_InsertItem(list, &item);
  }
  if (m_selected >= 0) ListView_SetItemState(list, m_selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return TRUE;
}

void CTabIconDlg::OnOK() {
  m_selected = ListView_GetNextItem(::GetDlgItem(m_hWnd, IDC_TAB_ICON_LIST), -1, LVNI_SELECTED);
  EndDialog(IDOK);
}

LRESULT CTabIconDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  m_selected = -1;
  EndDialog(IDCANCEL);
  return 0;
}

DWORD CTabIconDlg::GetSmartIcon() const {
  return m_selected >= 0 ? m_choices[static_cast<size_t>(m_selected)].smartIcon : 0;
}

CString CTabIconDlg::GetIconName() const {
  return m_selected >= 0 ? m_choices[static_cast<size_t>(m_selected)].name : CString();
}

HBITMAP CTabIconDlg::TakeBitmap() {
  if (m_selected < 0) return nullptr;
  HBITMAP bitmap = m_choices[static_cast<size_t>(m_selected)].bitmap;
  m_choices[static_cast<size_t>(m_selected)].bitmap = nullptr;
  return bitmap;
}
