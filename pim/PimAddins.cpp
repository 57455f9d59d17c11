#include "pim/PimAddins.h"

#include <memory>
#include <vector>

#include "base/CeDbApi.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "pim/ContextMenuExtension.h"
#include "pim/OndrelClient.h"
#include "pim/SystemUtils.h"
#include "platform/aygshell/aygshell.h"
#include "platform/doclist/doclist.h"
#include "platform/windowlib/Module.h"
#include "res/TarvoResIds.h"

namespace {

struct AddinEntry {
  CString menu;
  CString library;
};

struct ExtensionEntry {
  int group = -1;
  int firstId = -1;
  int endId = -1;
  std::unique_ptr<CContextMenuExtension> host;
};

std::vector<AddinEntry> g_addins;
std::vector<ExtensionEntry> g_extensions;
PFN_ADDIN_DIALOG g_dialogRunner = nullptr;

const UINT kExtensionIds = 10;

BOOL HasText(LPCWSTR text) { return text && *text; }

void ReadAddins(int group) {
  g_addins.clear();
  static const wchar_t* const keys[] = {L"SOFTWARE\\Microsoft\\PimApps\\PimExtensions\\Contacts\\AddIns",
                                        L"SOFTWARE\\Microsoft\\PimApps\\PimExtensions\\Calendar\\AddIns",
                                        L"SOFTWARE\\Microsoft\\PimApps\\PimExtensions\\Tasks\\AddIns"};
  if (group < 0 || group > 2) return;
  CRegKey root(HKEY_LOCAL_MACHINE, keys[group], FALSE, FALSE);
  CString name;
  for (BOOL more = root.EnumFirstSubKey(name); more; more = root.EnumNextSubKey(name)) {
    CString path(keys[group]);
    path += L'\\';
    path += name;
    CRegKey addin(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
    AddinEntry entry{addin.QueryString(L"Menu"), addin.QueryString(L"DLL")};
    if (!entry.menu.IsEmpty() && !entry.library.IsEmpty()) g_addins.push_back(entry);
  }
}

void ReadExtensions(int group) {
  g_extensions.clear();
  static const struct {
    LPCWSTR program;
    int group;
  } registrations[] = {{L"Contacts", 0}, {L"Tasks", 2}, {L"Calendar", 1}};
  for (const auto& r : registrations) {
    if (group != -1 && group != r.group) continue;
    CString path(L"Software\\Microsoft\\Shell\\Extensions\\ContextMenus\\");
    path += r.program;
    path += L"\\Main_ContextMenu";
    CRegKey key(HKEY_LOCAL_MACHINE, path, FALSE, FALSE);
    if (!key.IsOpen()) return;
    CString classId;
    for (BOOL more = key.EnumFirstSubKey(classId); more; more = key.EnumNextSubKey(classId)) {
      if (classId.GetLength() > 128) continue;
      ExtensionEntry entry;
      entry.group = r.group;
      entry.host.reset(new CContextMenuExtension);
      if (entry.host->Create(classId)) g_extensions.push_back(std::move(entry));
    }
  }
}

void ClearLists() {
  g_addins.clear();
  for (ExtensionEntry& e : g_extensions)
    if (e.host) e.host->Release();
  g_extensions.clear();
}

void AppendText(HMENU menu, UINT id, UINT textId) {
  CString text;
  LoadUIString(text, textId);
  AppendMenuW(menu, MF_STRING, id, text);
}

void AppendExtensionItems(HMENU menu, DWORD oid, UINT nextId) {
  const UINT endId = nextId + kExtensionIds;
  for (size_t i = g_extensions.size(); i-- > 0 && nextId < endId;) {
    ExtensionEntry& entry = g_extensions[i];
    if (!entry.host->Serves(oid)) {
      entry.host->Release();
      g_extensions.erase(g_extensions.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    int count = GetMenuItemCount(menu);
    if (count < 0 || count > 100) count = 100;
    entry.host->AddItems(menu, static_cast<UINT>(count), nextId, endId - 1);
    UINT highest = 0;
    for (int k = GetMenuItemCount(menu); k-- > 0;) {
      const UINT id = GetMenuItemID(menu, k);
      if (id >= nextId && id < endId && id > highest) highest = id;
    }
    if (highest) {
      entry.firstId = static_cast<int>(nextId);
      entry.endId = static_cast<int>(highest + 1);
      nextId = highest + 1;
    } else {
      entry.host->Release();
      g_extensions.erase(g_extensions.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

struct AddinRun {
  typedef int(WINAPI* PFN_CEPIMCOMMAND)(HWND, int, UINT, DWORD*, void*);
  PFN_CEPIMCOMMAND command;
  LPCWSTR title;
  int group;
  DWORD oid;
};

INT_PTR CALLBACK AddinDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, 3};
    SHInitDialog(&init);
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.nToolBarId = IDM_CHOOSER_BAR;
    bar.hInstRes = GetModule().GetResourceInstance();
    SHCreateMenuBar(&bar);
    SetWindowTextW(dialog, reinterpret_cast<AddinRun*>(lParam)->title);
    // The add-in runs once the dialog stands, from its first timer.
    SetTimer(dialog, 1, 100, nullptr);
    return TRUE;
  }
  if (message == WM_TIMER) {
    KillTimer(dialog, 1);
    AddinRun* run = reinterpret_cast<AddinRun*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (run) run->command(dialog, run->group, 1, &run->oid, nullptr);
    EndDialog(dialog, 1);
    return TRUE;
  }
  (void)wParam;
  return FALSE;
}

INT_PTR RunDialog(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  return DialogBoxParamW(instance, name, owner, proc, param);
}

BOOL RunAddin(const AddinEntry& addin, int group, DWORD oid) {
  HMODULE library = LoadLibraryW(addin.library);
  if (!library) return FALSE;
  AddinRun run = {reinterpret_cast<AddinRun::PFN_CEPIMCOMMAND>(reinterpret_cast<void*>(GetProcAddress(library, "CePimCommand"))),
                  addin.menu, group, oid};
  INT_PTR result = 0;
  if (run.command) {
    HWND owner = GetActiveWindow();
    result = (g_dialogRunner ? g_dialogRunner : RunDialog)(GetModule().GetResourceInstance(),
                                                           MAKEINTRESOURCEW(IDD_PIM_ADDIN), owner ? owner : GetDesktopWindow(),
                                                           AddinDialogProc, reinterpret_cast<LPARAM>(&run));
  }
  FreeLibrary(library);
  return result == 1;
}

}  // namespace

PFN_ADDIN_DIALOG SetAddinDialogRunner(PFN_ADDIN_DIALOG runner) {
  PFN_ADDIN_DIALOG previous = g_dialogRunner;
  g_dialogRunner = runner;
  return previous;
}

namespace {
int g_phonePresent = -1;
}  // namespace

BOOL IsPhonePresent() {
  if (g_phonePresent < 0) g_phonePresent = LibraryFileExists(L"phone.dll");
  return g_phonePresent;
}

void ForgetPhonePresence() { g_phonePresent = -1; }

LONG CallPhoneMakeCall(PHONEMAKECALLINFO* info) {
  HMODULE phone = LoadLibraryW(L"phone.dll");
  if (!phone) return 0;
  PFN_PHONEMAKECALL makeCall =
      reinterpret_cast<PFN_PHONEMAKECALL>(reinterpret_cast<void*>(GetProcAddress(phone, "PhoneMakeCall")));
  const LONG result = makeCall ? makeCall(info) : 0;
  FreeLibrary(phone);
  return result;
}

LONG DialNumber(LPCWSTR number) {
  if (!HasText(number) || !IsPhonePresent()) return 0;
  PHONEMAKECALLINFO info = {};
  info.cbSize = sizeof info;
  info.dwFlags = PMCF_DEFAULT;
  info.pszDestAddress = number;
  return CallPhoneMakeCall(&info);
}

int GetPimAddinCount() { return static_cast<int>(g_addins.size()); }

void AppendPimAddinMenu(int group, HMENU menu, DWORD oid, const PIM_CONTACT_FIELDS* contact) {
  (void)contact;
  ClearLists();
  if (group != PIM_GROUP_NOTES) {
    ReadAddins(group);
    ReadExtensions(group);
  }
  static const UINT beamTexts[] = {IDS_BEAM_CONTACT, IDS_BEAM_APPOINTMENT, IDS_BEAM_TASK, IDS_BEAM_NOTE};
  if (group >= 0 && group <= 3) AppendText(menu, IDC_PIM_BEAM, beamTexts[group]);
  if (group == PIM_GROUP_NOTES) AppendText(menu, IDC_PIM_EMAIL, IDS_NOTE_SECOND_ENTRY);
  UINT id = IDC_PIM_FIRST_ADDIN;
  for (const AddinEntry& addin : g_addins) AppendMenuW(menu, MF_STRING, id++, addin.menu);
  AppendExtensionItems(menu, oid, id);
}

int AppendContactActionMenu(HMENU menu, const PIM_CONTACT_FIELDS* contact) {
  if (!contact || !IsPhonePresent()) return 0;
  int count = 0;
  const struct {
    UINT id, text;
    LPCWSTR number;
  } calls[] = {{IDC_PIM_CALL_MOBILE, IDS_CALL_MOBILE, contact->mobileNumber},
               {IDC_PIM_CALL_WORK, IDS_CALL_WORK, contact->workNumber},
               {IDC_PIM_CALL_HOME, IDS_CALL_HOME, contact->homeNumber}};
  for (const auto& call : calls) {
    if (!HasText(call.number)) continue;
    AppendText(menu, call.id, call.text);
    ++count;
  }
  return count;
}

int AppendItemExtraMenu(HMENU menu, const PIM_CONTACT_FIELDS* contact) {
  int count = 0;
  if (IsPhonePresent() && IsNewerStore()) {
    AppendText(menu, IDC_PIM_SMS, IDS_SEND_TEXT_MESSAGE);
    ++count;
  }
  if (contact && HasText(contact->email)) {
    AppendText(menu, IDC_PIM_EMAIL, IDS_SEND_EMAIL);
    ++count;
  }
  return count;
}

BOOL OnPimItemActionCommand(int group, UINT id, DWORD oid, const PIM_CONTACT_FIELDS* contact) {
  // Notes carry out their two entries themselves; 20482 means something else there.
  if (group == PIM_GROUP_NOTES || group < 0 || group > 3) {
    ClearLists();
    return FALSE;
  }
  static const int beamKinds[] = {2, 1, 3};
  if (id == IDC_PIM_BEAM) {
    COndrelClient::Instance().SendBeam(beamKinds[group], oid);
  } else if (id >= IDC_PIM_CALL_WORK && id <= IDC_PIM_CALL_HOME) {
    if (contact)
      DialNumber(id == IDC_PIM_CALL_WORK ? contact->workNumber
                 : id == IDC_PIM_CALL_MOBILE ? contact->mobileNumber
                                             : contact->homeNumber);
  } else if (id >= IDC_PIM_FIRST_ADDIN && id < IDC_PIM_FIRST_ADDIN + g_addins.size()) {
    RunAddin(g_addins[id - IDC_PIM_FIRST_ADDIN], group, oid);
  } else if (id == IDC_PIM_EMAIL) {
    if (contact) ComposeEmailTo(contact->email, contact->displayName);
  } else if (id == IDC_PIM_SMS) {
    if (contact) ComposeSmsTo(contact->mobileNumber, contact->displayName);
  } else {
    for (ExtensionEntry& entry : g_extensions) {
      if (entry.group == group && static_cast<int>(id) >= entry.firstId && static_cast<int>(id) < entry.endId) {
        entry.host->Run(id - static_cast<UINT>(entry.firstId), GetActiveWindow());
        break;
      }
    }
  }
  ClearLists();
  return TRUE;
}

namespace {
IMessageComposer* g_composer = nullptr;
}  // namespace

IMessageComposer* SetMessageComposer(IMessageComposer* composer) {
  IMessageComposer* previous = g_composer;
  g_composer = composer;
  return previous;
}

IMessageComposer* GetMessageComposer() { return g_composer; }

BOOL ComposeEmailTo(LPCWSTR address, LPCWSTR name) {
  if (!g_composer || !HasText(address)) return FALSE;
  return g_composer->ComposeEmail(name, address);
}

BOOL ComposeSmsTo(LPCWSTR number, LPCWSTR name) {
  if (!g_composer || !HasText(number) || !IsPhonePresent()) return FALSE;
  return g_composer->ComposeSms(name, number);
}

BOOL OpenInBrowser(LPCWSTR address) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // No error box to wait for a person when the browser is missing.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = L":MSPIE";
  info.lpParameters = address;
  info.nShow = SW_SHOWNORMAL;
  return LaunchProgram(&info);
}

BOOL OnDocListCommand(UINT id, LPARAM parameter) {
  if (id != IDC_PIM_BEAM && id != IDC_PIM_EMAIL) return TRUE;
  HMODULE library = LoadLibraryW(L"doclist.dll");
  if (!library) return TRUE;
  PFN_DOCLIST_CREATE create =
      reinterpret_cast<PFN_DOCLIST_CREATE>(reinterpret_cast<void*>(GetProcAddress(library, "DocList_Create")));
  if (create) {
    DOCLISTCREATE description = {sizeof(DOCLISTCREATE), GetDesktopWindow(), L"\\Program Files\\", L"All Files", 0, 0, 0};
    HWND list = create(&description);
    if (list) {
      SendMessageW(list, id == IDC_PIM_BEAM ? DLM_SENDIR : DLM_SENDEMAIL, 0, parameter);
      DestroyWindow(list);
    }
  }
  FreeLibrary(library);
  return TRUE;
}
