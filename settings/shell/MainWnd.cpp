#include "settings/shell/MainWnd.h"

#include <cwchar>

#include "base/RegKey.h"
#include "controls/WaitCursor.h"
#include "base/Translator.h"
#include "res/TarvoResIds.h"
#include "settings/shell/SettingsFile.h"
#include "settings/shell/UserPrompt.h"

namespace {

CMainWnd* g_mainWindow = nullptr;

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

HWND CMainWnd::CreateMainWindow(HWND parent, const RECT& rect, DWORD style, DWORD exStyle) {
  if (style == 0) style = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  RECT place = rect;
  return CreateEx(IDS_SETTINGS_TITLE, parent, &place, style, exStyle);
}

void CMainWnd::OpenSection(int section, int page) {
  // The section sheets open here; a request outside the nine sections is dropped.
  if (section < 0 || section > 8 || page < 0) return;
}

LRESULT CMainWnd::OnOpenSection(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  OpenSection(static_cast<int>(wParam), static_cast<int>(lParam));
  return 0;
}

LRESULT CMainWnd::OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&) {
  LPCWSTR commandLine = ReadHandOver(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (!commandLine) return FALSE;
  ParseCommandLine(m_hWnd, commandLine);
  return TRUE;
}

LRESULT CMainWnd::OnCommand(WORD, WORD id, HWND, BOOL&) {
  if (id == ID_EXPORT_SETTINGS)
    OnExportSettings();
  else
    OnImportSettings();
  return 0;
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
