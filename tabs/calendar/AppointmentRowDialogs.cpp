#include "tabs/calendar/AppointmentRowDialogs.h"

#include "controls/IconSets.h"
#include "controls/ValueEntryDlg.h"

namespace {

class CRealDialogs : public IAppointmentRowDialogs {
 public:
  int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) override {
    return MessageBoxW(owner, text, caption, type);
  }
  BOOL EditReminder(HWND owner, LPCWSTR subject, LONG* minutes) override {
    CValueEntryDlg dialog(subject, minutes ? static_cast<int>(*minutes) : -1);
    if (dialog.DoModal(owner) != 1) return FALSE;
    if (minutes) *minutes = dialog.GetValue();
    return TRUE;
  }
  BOOL ChooseLink(HWND owner, LPCWSTR title, LPCWSTR current, CString* path) override {
    CIconSets sets;
    sets.SetSelectedName(current && *current ? current : nullptr);
    sets.SetTitle(title);
    if (sets.DoModal(owner) != IDOK) return FALSE;
    LPCWSTR chosen = sets.GetSelectedName();
    if (path) *path = chosen ? chosen : L"";
    return TRUE;
  }
};

CRealDialogs g_real;
IAppointmentRowDialogs* g_dialogs = nullptr;
HWND g_owner = nullptr;

}  // namespace

IAppointmentRowDialogs& GetAppointmentRowDialogs() { return g_dialogs ? *g_dialogs : g_real; }

IAppointmentRowDialogs* SetAppointmentRowDialogs(IAppointmentRowDialogs* dialogs) {
  IAppointmentRowDialogs* previous = g_dialogs;
  g_dialogs = dialogs;
  return previous;
}

void SetAppointmentRowOwner(HWND owner) { g_owner = owner; }
HWND GetAppointmentRowOwner() { return g_owner; }
