// Every message box and file dialog of the options program goes through here, so that
// tests answer them instead of a person.
#pragma once
#include <windows.h>
#include <commdlg.h>

// MessageBoxW unless a handler is set; the answer (IDOK, IDYES, ...).
int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// GetSaveFileNameW (save) or GetOpenFileNameW unless a handler is set; TRUE when a
// file was chosen (its path in the record's buffer).
BOOL ShowFileDialog(OPENFILENAMEW* dialog, BOOL save);

typedef int (*PFN_MESSAGE_BOX)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
typedef BOOL (*PFN_FILE_DIALOG)(OPENFILENAMEW* dialog, BOOL save);
// The previous handler; null restores the system's dialogs.
PFN_MESSAGE_BOX SetMessageBoxHandler(PFN_MESSAGE_BOX handler);
PFN_FILE_DIALOG SetFileDialogHandler(PFN_FILE_DIALOG handler);
