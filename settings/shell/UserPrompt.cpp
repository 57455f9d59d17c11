#include "settings/shell/UserPrompt.h"

namespace {

PFN_MESSAGE_BOX g_messageBox = nullptr;
PFN_FILE_DIALOG g_fileDialog = nullptr;

}  // namespace

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (g_messageBox) return g_messageBox(owner, text, caption, type);
  return MessageBoxW(owner, text, caption, type);
}

BOOL ShowFileDialog(OPENFILENAMEW* dialog, BOOL save) {
  if (!dialog) return FALSE;
  if (g_fileDialog) return g_fileDialog(dialog, save);
  return save ? GetSaveFileNameW(dialog) : GetOpenFileNameW(dialog);
}

PFN_MESSAGE_BOX SetMessageBoxHandler(PFN_MESSAGE_BOX handler) {
  PFN_MESSAGE_BOX previous = g_messageBox;
  g_messageBox = handler;
  return previous;
}

PFN_FILE_DIALOG SetFileDialogHandler(PFN_FILE_DIALOG handler) {
  PFN_FILE_DIALOG previous = g_fileDialog;
  g_fileDialog = handler;
  return previous;
}
