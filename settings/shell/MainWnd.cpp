#include "settings/shell/MainWnd.h"

#include <cwchar>

#include "base/DateFormat.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "base/Translator.h"
#include "controls/MenuUtils.h"
#include "controls/ScrollDialog.h"
#include "controls/WaitCursor.h"
#include "graphics/SkinColors.h"
#include "platform/aygshell/aygshell.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"
#include "settings/shell/AboutDlg.h"
#include "settings/shell/SettingsFile.h"
#include "settings/shell/UserPrompt.h"

namespace {

CMainWnd* g_mainWindow = nullptr;
SectionRunner g_sectionRunner = nullptr;

LRESULT SendToDesktop(HWND desktop, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(desktop, message, wParam, lParam);
}
DesktopSender g_desktopSender = SendToDesktop;

// Set while a page sends the one request allowed over an open section.
thread_local BOOL t_requestOver = FALSE;

// The plug-in's notification window and what it is told.
const WCHAR kPluginNotifyClass[] = L"QelTarvoTimeHelperWnd_1.0";
const WCHAR kUpdateSettingsMessage[] = L"QelTarvo_UpdateSettings";
// The shell reloads its Today items on this setting-change code.
const WPARAM kReloadTodayItems = 0xF2;
// The device's list-view gesture query, answered "handled".
const UINT kGestureQuery = static_cast<UINT>(-50);

struct SectionItem {
  UINT text;
  UINT icon;
};
const SectionItem kSections[kSectionCount] = {
    {IDS_SECTION_GENERAL, IDI_SECTION_GENERAL},
    {IDS_SECTION_CALENDAR, IDI_SECTION_CALENDAR},
    {IDS_SECTION_TASKS, IDI_SECTION_TASKS},
    {IDS_SECTION_CONTACTS, IDI_SECTION_CONTACTS},
    {IDS_SECTION_NOTES, IDI_SECTION_NOTES},
    {IDS_SECTION_MESSAGES, IDI_SECTION_MESSAGES},
    {IDS_SECTION_SPECIAL_EVENTS, IDI_SECTION_SPECIAL_EVENTS},
    {IDS_SECTION_CATEGORY_ICONS, IDI_SECTION_CATEGORY_ICONS},
    {IDS_SECTION_TABS, IDI_SECTION_TABS},
};

// The section list answers the device's gesture query itself.
LRESULT CALLBACK SectionListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == kGestureQuery) return 1;
  return DefSubclassProc(list, message, wParam, lParam);
}

// Description and pattern, each ending in a zero, and the zero that ends the list.
void BuildDiasFilter(WCHAR* filter, size_t size) {
  CString description;
  LoadTranslatedString(description, IDS_SETTINGS_FILE_TYPE);
  _snwprintf(filter, size - 2, L"%s (*.dias)|*.dias|", static_cast<LPCWSTR>(description));
  filter[size - 2] = filter[size - 1] = L'\0';
  for (WCHAR* c = filter; *c; ++c)
    if (*c == L'|') *c = L'\0';
}

// The save or open dialog for a settings file; the chosen path in file (MAX_PATH).
BOOL AskForSettingsFile(HWND owner, BOOL save, WCHAR* file) {
  WCHAR filter[300];
  BuildDiasFilter(filter, ARRAYSIZE(filter));
  CString preset;
  LoadTranslatedString(preset, IDS_SETTINGS_FILE_NAME);
  lstrcpynW(file, preset, MAX_PATH);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"dias";
  dialog.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
  return ShowFileDialog(&dialog, save);
}

CString Caption() {
  CString caption;
  LoadTranslatedString(caption, IDS_SETTINGS_TITLE);
  return caption;
}

// The question with the path in place of its "%s". The text comes from the language
// file, so it is never used as a format: a stray "%" must not read past the path.
CString InsertPath(const CString& question, LPCWSTR path) {
  CString text(question);
  int at = text.Find(L"%s", 0);
  if (at < 0) {
    text += L" ";
    text += path;
    return text;
  }
  text.Delete(at, 2);
  text.Insert(at, path);
  return text;
}

}  // namespace

CMainWnd* GetMainWindow() { return g_mainWindow; }
void SetMainWindow(CMainWnd* window) { g_mainWindow = window; }
void SetSectionRunner(SectionRunner runner) { g_sectionRunner = runner; }
DesktopSender SetDesktopSender(DesktopSender sender) {
  DesktopSender previous = g_desktopSender;
  g_desktopSender = sender ? sender : SendToDesktop;
  return previous;
}

HWND CMainWnd::CreateMainWindow(HWND parent, const RECT& rect, DWORD style, DWORD exStyle) {
  if (style == 0) style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  RECT place = rect;
  return CreateEx(IDS_SETTINGS_TITLE, parent, &place, style, exStyle);
}

LRESULT CMainWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;  // the frame's own creation runs as well
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, TRUE, TRUE);
  m_categories.Open(m_hWnd);
  ::SetWindowTextW(m_hWnd, Caption());
  m_changed = FALSE;
  CreateMenuBar();
  m_updateMessage = RegisterWindowMessageW(kUpdateSettingsMessage);
  SHDoneButton(m_hWnd, SHDB_SHOW);
  // The list view's one-click bit of the device is another window style on the
  // desktop: the extended list style below gives the one-tap activation.
  m_list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_ICON | LVS_SINGLESEL |
                               LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | LVS_NOCOLUMNHEADER,
                           0, 0, 0, 0, m_hWnd, nullptr, GetModule().GetModuleInstance(), nullptr);
  if (m_list) {
    SetWindowSubclass(m_list, SectionListProc, 1, 0);
    m_hWndClient = m_list;
    ::SendMessageW(m_list, CCM_SETVERSION, 0x20C, 0);
    ::SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_ONECLICKACTIVATE);
    // Three sections a row, as on the device's narrow screen.
    ::SendMessageW(m_list, LVM_SETICONSPACING, 0, MAKELPARAM(ScaleX(70), ScaleY(70)));
    FillSectionList();
  }
  CSkinColors::Instance().LoadSystemColors();
  TranslateMenuBar(GetTranslator(), m_hWnd, 0);
  UpdateLayout();
  return 0;
}

void CMainWnd::CreateMenuBar() {
  m_menuBar = CreateDialogMenuBar(m_hWnd, IDM_SETTINGS_MAIN_BAR);
  if (!m_menuBar) return;
  // The window ends where the menu bar begins (at its bottom when it is hidden).
  RECT window = {}, menu = {};
  ::GetWindowRect(m_hWnd, &window);
  ::GetWindowRect(m_menuBar, &menu);
  const LONG bottom = ::IsWindowVisible(m_menuBar) ? menu.top : menu.bottom;
  if (bottom > window.top)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainWnd::FillSectionList() {
  m_initialFont = reinterpret_cast<HFONT>(::SendMessageW(m_list, WM_GETFONT, 0, 0));
  LOGFONTW font = {};
  GetObjectW(m_initialFont ? static_cast<HGDIOBJ>(m_initialFont) : GetStockObject(DEFAULT_GUI_FONT), sizeof(font),
             &font);
  font.lfWeight = FW_BOLD;
  font.lfHeight = ScaleY(13);
  m_boldFont = CreateFontIndirectW(&font);
  if (m_boldFont) ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont), TRUE);

  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  m_images = ImageList_Create(cx, cy, ILC_MASK | ILC_COLOR32, 0, 1);
  HINSTANCE resources = GetModule().GetResourceInstance();
  for (const SectionItem& section : kSections) {
    HICON icon = resources ? static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(section.icon), IMAGE_ICON, cx,
                                                           cy, 0))
                           : nullptr;
    // A missing icon leaves an empty image, so image index stays item index.
    static const BYTE kClearMask[2] = {0xFF, 0xFF}, kNoColour[2] = {0, 0};
    if (!icon) icon = CreateIcon(GetModule().GetModuleInstance(), 1, 1, 1, 1, kClearMask, kNoColour);
    if (m_images && icon) ImageList_ReplaceIcon(m_images, -1, icon);
    if (icon) DestroyIcon(icon);
  }
  if (m_images) ::SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_images));

  LVCOLUMNW column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = 0x802;
  column.cx = 100;
  column.pszText = const_cast<LPWSTR>(L"Main");
  ::SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < kSectionCount; ++i) {
    CString name;
    LoadTranslatedString(name, kSections[i].text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.iImage = i;
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(name));
    ::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

LRESULT CMainWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;  // the frame ends the message loop
  m_categories.Close();
  if (m_list && ::IsWindow(m_list)) ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_initialFont), TRUE);
  if (m_images) ImageList_Destroy(m_images);
  m_images = nullptr;
  if (m_boldFont) DeleteObject(m_boldFont);
  m_boldFont = nullptr;
  if (m_changed) NotifyPluginSettingsChanged(0);
  if (m_list && ::IsWindow(m_list)) {
    RemoveWindowSubclass(m_list, SectionListProc, 1);
    ::DestroyWindow(m_list);
  }
  m_list = nullptr;
  m_hWndClient = nullptr;
  m_menuBar = nullptr;
  return 0;
}

BOOL CMainWnd::NotifyPluginSettingsChanged(WPARAM wParam) {
  CRegKey product(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, TRUE, TRUE);
  if (m_fullRefresh) {
    g_desktopSender(GetDesktopWindow(), WM_WININICHANGE, kReloadTodayItems, 0);
    return TRUE;
  }
  HWND plugin = FindWindowW(kPluginNotifyClass, nullptr);
  if (!plugin) return FALSE;
  if (!m_updateMessage) m_updateMessage = RegisterWindowMessageW(kUpdateSettingsMessage);
  ::PostMessageW(plugin, m_updateMessage, wParam, m_updatePending);
  m_updatePending = 0;
  return TRUE;
}

void CMainWnd::OpenSection(UINT section, int page) {
  if (section >= static_cast<UINT>(kSectionCount)) return;
  // One section at a time: the list of a main window left usable under a sheet
  // opens nothing more; only a page's own request goes over its sheet.
  if (m_openSections > 0 && !t_requestOver) return;
  t_requestOver = FALSE;
  if (!g_sectionRunner) return;
  ++m_openSections;
  INT_PTR result = g_sectionRunner(section, page, ::GetActiveWindow());
  --m_openSections;
  if (section == 0 && result == 1) ResetDateFormatCache();
  if (result != 0) m_changed = TRUE;
}

void CMainWnd::OpenSectionOver(HWND window, UINT section, int page) {
  t_requestOver = TRUE;
  ::SendMessageW(window, WM_OPENSECTION, section, page);
  t_requestOver = FALSE;
}

LRESULT CMainWnd::OnOpenSection(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  OpenSection(static_cast<UINT>(wParam), static_cast<int>(lParam));
  return 0;
}

LRESULT CMainWnd::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) {
    handled = FALSE;
    return 0;
  }
  if (header->code == kGestureQuery) return 1;
  if (header->hwndFrom == m_list && header->code == LVN_ITEMACTIVATE) {
    const int index = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    if (index >= 0) OpenSection(static_cast<UINT>(index), 0);
    return 0;
  }
  handled = FALSE;
  return 0;
}

LRESULT CMainWnd::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_list) ::SetFocus(m_list);
  return 0;
}

LRESULT CMainWnd::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL&) {
  TranslateMenu(GetTranslator(), reinterpret_cast<HMENU>(wParam));
  return 0;
}

LRESULT CMainWnd::OnDbNotification(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_categories.OnDbNotify(reinterpret_cast<CENOTIFICATION*>(lParam), FALSE);
  return 0;
}

LRESULT CMainWnd::OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&) {
  LPCWSTR commandLine = ReadHandOver(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (!commandLine) return FALSE;
  ParseCommandLine(m_hWnd, commandLine);
  return TRUE;
}

LRESULT CMainWnd::OnCommand(WORD, WORD id, HWND, BOOL&) {
  switch (id) {
    case ID_EXPORT_SETTINGS:
      OnExportSettings();
      break;
    case ID_IMPORT_SETTINGS:
      OnImportSettings();
      break;
    case ID_SETTINGS_ABOUT:
      OnAbout();
      break;
    case IDOK:
    case ID_SETTINGS_CLOSE:
      ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  return 0;
}

void CMainWnd::OnAbout() {
  CAboutDlg about;
  about.DoModal(::GetActiveWindow());
}

void CMainWnd::OnExportSettings() {
  WCHAR file[MAX_PATH];
  if (!AskForSettingsFile(m_hWnd, TRUE, file)) return;
  CWaitCursor wait;
  CExportExclusions exclusions;
  exclusions.AddExportExclusion(L"Version");
  exclusions.AddExportExclusion(L"Build");
  if (!ExportSettings(exclusions, file, HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY))
    ShowMessageBox(m_hWnd, SETTINGS_EXPORT_ERROR_TEXT, Caption(), MB_ICONINFORMATION);
}

void CMainWnd::OnImportSettings() {
  WCHAR file[MAX_PATH];
  if (!AskForSettingsFile(m_hWnd, FALSE, file)) return;
  CString question;
  LoadTranslatedString(question, IDS_IMPORT_SETTINGS_QUESTION);
  if (ShowMessageBox(m_hWnd, InsertPath(question, file), Caption(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  CWaitCursor wait;
  ImportResult result = ImportSettingsFile(file);
  if (result != kImportDone) ShowMessageBox(m_hWnd, GetImportErrorText(result), Caption(), MB_ICONINFORMATION);
  // The plug-in rereads its settings after every import that ran, as it always has.
  m_changed = TRUE;
}
