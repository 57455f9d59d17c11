// The device PIM's own actions in an item's context menu: beam, the PIM add-ins
// registered for Pocket Outlook, the shell's context-menu extensions, and for a
// contact calling, text messages and e-mail. Builds the entries and runs the
// chosen one.
#pragma once
#include <windows.h>

#include "platform/phone/phone.h"

// Item groups.
enum { PIM_GROUP_CONTACTS = 0, PIM_GROUP_CALENDAR = 1, PIM_GROUP_TASKS = 2, PIM_GROUP_NOTES = 3 };

// Command ids.
enum : UINT {
  IDC_PIM_BEAM = 20481,
  IDC_PIM_EMAIL = 20482,  // notes: their second fixed entry
  IDC_PIM_CALL_WORK = 20483,
  IDC_PIM_CALL_MOBILE = 20484,
  IDC_PIM_CALL_HOME = 20485,
  IDC_PIM_SMS = 20486,
  IDC_PIM_FIRST_ADDIN = 20736,
};

// What the menus need of a contact; null texts count as empty.
struct PIM_CONTACT_FIELDS {
  LPCWSTR displayName;
  LPCWSTR email;
  LPCWSTR mobileNumber;  // calls (20484) and text messages
  LPCWSTR workNumber;
  LPCWSTR homeNumber;
};

// Whether "phone.dll" is there (a phone edition): found where a load would look,
// without running its code. Asked once per process.
BOOL IsPhonePresent();
// Asks again at the next IsPhonePresent (tests that give the device a phone).
void ForgetPhonePresence();
// Loads "phone.dll" for one call of "PhoneMakeCall"; 0 when it is missing.
LONG CallPhoneMakeCall(PHONEMAKECALLINFO* info);
LONG DialNumber(LPCWSTR number);

void AppendPimAddinMenu(int group, HMENU menu, DWORD oid, const PIM_CONTACT_FIELDS* contact);
int AppendContactActionMenu(HMENU menu, const PIM_CONTACT_FIELDS* contact);
int AppendItemExtraMenu(HMENU menu, const PIM_CONTACT_FIELDS* contact);
// Carries out the chosen entry; 0 for notes. Empties the add-in and extension lists.
BOOL OnPimItemActionCommand(int group, UINT id, DWORD oid, const PIM_CONTACT_FIELDS* contact);

// The notes' two fixed entries (20481, 20482): the system document list is made
// over "\Program Files\" and sent message 1641 or 1642 with the parameter. TRUE;
// nothing happens without "doclist.dll".
BOOL OnDocListCommand(UINT id, LPARAM parameter);

// Who starts new messages: the e-mail list, once it runs, hands them to WebIS Mail or
// the system mail program. Until one is set nothing can be composed.
class IMessageComposer {
 public:
  virtual BOOL ComposeEmail(LPCWSTR name, LPCWSTR address) = 0;
  virtual BOOL ComposeSms(LPCWSTR name, LPCWSTR number) = 0;

 protected:
  ~IMessageComposer() = default;
};
// Returns the previous composer; null: none.
IMessageComposer* SetMessageComposer(IMessageComposer* composer);
IMessageComposer* GetMessageComposer();
// A new e-mail to the address, or text message to the number, with the name; whether
// it was handed over (FALSE without a composer, an empty address or number, or for a
// text message on a device without a phone).
BOOL ComposeEmailTo(LPCWSTR address, LPCWSTR name);
BOOL ComposeSmsTo(LPCWSTR number, LPCWSTR name);

// The address in Pocket Internet Explorer (":MSPIE"), through the program launcher.
BOOL OpenInBrowser(LPCWSTR address);

// The add-ins found by the last AppendPimAddinMenu (tests, and the command's range).
int GetPimAddinCount();

// The add-in runs inside a modal dialog; tests replace the dialog by a call.
typedef INT_PTR (*PFN_ADDIN_DIALOG)(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param);
PFN_ADDIN_DIALOG SetAddinDialogRunner(PFN_ADDIN_DIALOG runner);
