#include "pim/OndrelClient.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "base/CeDbApi.h"
#include "base/InstallPath.h"
#include "base/RegKey.h"
#include "pim/PhatPad.h"
#include "pim/PocketInformantTools.h"
#include "pim/SystemUtils.h"
#include "platform/aygshell/aygshell.h"

namespace {

void RealSleep(DWORD milliseconds) { Sleep(milliseconds); }
COndrelClient::PFN_SLEEP g_sleep = RealSleep;
COndrelClient::PFN_MESSAGE_BOX g_messageBox = nullptr;
COndrelClient::PFN_NOTE_FOLDER_LOOKUP g_noteFolderLookup = nullptr;

int ShowBox(HWND owner, LPCWSTR text) {
  return g_messageBox ? g_messageBox(owner, text, L"", MB_OK) : MessageBoxW(owner, text, L"", MB_OK);
}

const wchar_t kNotesStatesKey[] = L"Software\\Microsoft\\Notes\\States";
const DWORD kStatesFolderOffset = 84;
const DWORD kStatesVolumeOffset = 1128;
const DWORD kMaxStatesSize = 64 * 1024;

void CopyText(wchar_t* field, LPCWSTR text) {
  if (text) lstrcpynW(field, text, ONDREL_TEXT_CHARS);
}

// Every launch asks for no error box: a missing program would otherwise leave a
// box waiting for a person in the host's thread.
BOOL Launch(LPCWSTR file, LPCWSTR parameters, LPCWSTR verb = nullptr) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = verb;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  return LaunchProgram(&info);
}

BOOL LaunchOrCommand(LPCWSTR windowClass, LPCWSTR program, BOOL needsForeground) {
  HWND window = FindWindowW(windowClass, nullptr);
  if (window && needsForeground) {
    HWND foreground = GetForegroundWindow();
    if (window != foreground && (!foreground || window != GetParent(foreground))) window = nullptr;
  }
  if (window) {
    PostMessageW(window, WM_COMMAND, 10, 0);
    return TRUE;
  }
  return Launch(program, L"-n");
}

BOOL ReadStates(BYTE*& data, DWORD& size) {
  data = nullptr;
  size = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNotesStatesKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
  DWORD type = 0;
  BOOL ok = RegQueryValueExW(key, L"States", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size &&
            size <= kMaxStatesSize;
  if (ok) {
    data = new BYTE[size];
    ok = RegQueryValueExW(key, L"States", nullptr, &type, data, &size) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  if (!ok) {
    delete[] data;
    data = nullptr;
    size = 0;
  }
  return ok;
}

}  // namespace

BOOL PatchNotesStatesFolder(BYTE* states, DWORD size, LPCWSTR name) {
  if (!states || !name || size <= kStatesFolderOffset) return FALSE;
  // The folder field ends where the volume field starts (or at the value's end).
  const DWORD end = size < kStatesVolumeOffset ? size : kStatesVolumeOffset;
  const DWORD room = (end - kStatesFolderOffset) / sizeof(wchar_t);
  const size_t length = wcslen(name);
  if (length + 1 > room) return FALSE;
  memcpy(states + kStatesFolderOffset, name, (length + 1) * sizeof(wchar_t));
  return TRUE;
}

CString ReadNotesStatesVolume(const BYTE* states, DWORD size) {
  if (!states || size <= kStatesVolumeOffset + 1) return CString();
  const DWORD chars = (size - kStatesVolumeOffset) / sizeof(wchar_t);
  wchar_t ch = 0;
  for (DWORD i = 0; i < chars; ++i) {
    memcpy(&ch, states + kStatesVolumeOffset + i * sizeof(wchar_t), sizeof ch);
    if (!ch) {
      CString volume;
      wchar_t* buffer = volume.GetBufferSetLength(static_cast<int>(i));
      memcpy(buffer, states + kStatesVolumeOffset, i * sizeof(wchar_t));
      volume.ReleaseBuffer(static_cast<int>(i));
      return volume;
    }
  }
  return CString();
}

BOOL LaunchNotes() { return LaunchOrCommand(L"Notes", L"Notes.exe", TRUE); }
BOOL LaunchPocketWord() { return LaunchOrCommand(L"Pocket Word", L"pWord.exe", TRUE); }
BOOL LaunchPocketExcel() { return LaunchOrCommand(L"BOOKWIN", L"pxl.exe", FALSE); }
BOOL RunMailProgram(LPCWSTR arguments) { return Launch(L"\\Windows\\tmail.exe", arguments); }

DWORD GetPocketInformantVersion() {
  CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant", FALSE, FALSE);
  return key.IsOpen() ? key.QueryDWORD(L"version") : 0;
}

BOOL HasPocketInformantNotes() {
  HMODULE library = FindPIToolsLibrary();
  if (!library) return FALSE;
  const BOOL has = GetProcAddress(library, "D_Note") != nullptr;
  FreeLibrary(library);
  return has;
}

COndrelClient& COndrelClient::Instance() {
  static COndrelClient client;
  return client;
}

COndrelClient::COndrelClient()
    : m_msgUpdateSettings(RegisterWindowMessageW(L"QelTarvo_UpdateSettings")),
      m_msgOpenApp(RegisterWindowMessageW(L"QelTarvo_OpenApp")),
      m_msgCloseWindow(RegisterWindowMessageW(L"QelTarvo_CloseWindow")),
      m_msgGetMonth(RegisterWindowMessageW(L"QelTarvo_GetMonth")),
      m_msgUpdateCalendar(RegisterWindowMessageW(L"QelTarvo_UpdateCalendar")),
      m_msgCancelLoad(RegisterWindowMessageW(L"QelTarvo_CancelLoad")),
      m_msgGetPIStatus(RegisterWindowMessageW(L"QelTarvo_GetPIStatus")),
      m_msgChangeItem(RegisterWindowMessageW(L"QelTarvo_ChangeItem")) {
  ReadSettings();
}

COndrelClient::~COndrelClient() {
  if (m_started) StopOndrel();
}

COndrelClient::PFN_SLEEP COndrelClient::SetSleep(PFN_SLEEP sleep) {
  PFN_SLEEP previous = g_sleep;
  g_sleep = sleep ? sleep : RealSleep;
  return previous;
}

COndrelClient::PFN_MESSAGE_BOX COndrelClient::SetMessageBoxHandler(PFN_MESSAGE_BOX handler) {
  PFN_MESSAGE_BOX previous = g_messageBox;
  g_messageBox = handler;
  return previous;
}

HWND COndrelClient::FindOndrelWindow() const { return FindWindowW(ONDREL_WINDOW_CLASS, nullptr); }

BOOL COndrelClient::StartOndrel() {
  CString path;
  GetInstallPath(path, L"Ondrel.exe");
  if (!Launch(path, nullptr)) return FALSE;
  m_started = TRUE;
  return TRUE;
}

BOOL COndrelClient::EnsureOndrel() {
  // Four starts, each followed by its wait; the window is looked for once more
  // after the last wait, so a program that came up late is not reported missing.
  for (int count = 0; count < 4; ++count) {
    if (FindOndrelWindow()) return TRUE;
    if (!StartOndrel()) return FALSE;
    g_sleep(500);
  }
  return FindOndrelWindow() != nullptr;
}

void COndrelClient::StopOndrel() {
  HWND window = FindOndrelWindow();
  if (!window) return;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
  PostMessageW(window, m_msgCloseWindow, 0, 0);
  if (process) {
    if (WaitForSingleObject(process, 1000) != WAIT_OBJECT_0) TerminateProcess(process, static_cast<UINT>(-1));
    CloseHandle(process);
  }
  m_started = FALSE;
}

LRESULT COndrelClient::SendRequest(ULONG_PTR code, const ONDREL_REQUEST& request) {
  HWND window = FindOndrelWindow();
  if (!window) return 0;
  COPYDATASTRUCT copy = {code, sizeof request, const_cast<ONDREL_REQUEST*>(&request)};
  return SendMessageW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(m_owner), reinterpret_cast<LPARAM>(&copy));
}

LRESULT COndrelClient::SendChange(const ONDREL_CHANGE_MESSAGE& change) {
  HWND window = FindOndrelWindow();
  if (!window) return 0;
  COPYDATASTRUCT copy = {ONDREL_CHANGE_DATA, sizeof change, const_cast<ONDREL_CHANGE_MESSAGE*>(&change)};
  return SendMessageW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(m_owner), reinterpret_cast<LPARAM>(&copy));
}

void COndrelClient::PostToOndrel(UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageSafe(FindOndrelWindow(), message, wParam, lParam);
}

BOOL COndrelClient::DisplayItem(int folderKind, DWORD objectId, BOOL edit, double occurrenceStart) {
  EnsureOndrel();
  ONDREL_REQUEST request = {};
  request.objectId = objectId;
  request.date1 = occurrenceStart;
  const uint32_t kind = folderKind == 9 ? ONDREL_KIND_APPOINTMENT
                        : folderKind == 13 ? ONDREL_KIND_TASK
                                           : ONDREL_KIND_CONTACT;
  SendRequest(OndrelRequestCode(kind, edit ? ONDREL_ACTION_EDIT : ONDREL_ACTION_OPEN), request);
  return TRUE;
}

BOOL COndrelClient::SendMessageItem(const BYTE* entryId, DWORD entryIdLength, int mode) {
  if (!entryId || entryIdLength < 1 || entryIdLength > ONDREL_MAX_ENTRY_ID) return FALSE;
  EnsureOndrel();
  ONDREL_REQUEST request = {};
  request.objectId = 0xFFFFFFFF;
  request.date1 = request.date2 = ONDREL_NO_DATE;
  memcpy(request.message.entryId, entryId, entryIdLength);
  request.message.entryIdLength = entryIdLength;
  const uint32_t action = mode >= 3 && mode <= 5 ? static_cast<uint32_t>(mode) + 1 : ONDREL_ACTION_OPEN;
  // The mail list marks a message read only once the program has it, so the answer
  // is whether the program took the request, not that one was sent.
  return SendRequest(OndrelRequestCode(ONDREL_KIND_MESSAGE, action), request) != 0;
}

BOOL COndrelClient::NewItemEx(int type, LPCWSTR text1, const double* date1, const double* date2, LPCWSTR text2,
                              DWORD option) {
  EnsureOndrel();
  ONDREL_REQUEST request = {};
  request.objectId = option;
  CopyText(request.text1, text1);
  if (date1) request.date1 = *date1;
  if (date2) request.date2 = *date2;
  if (type == 2) CopyText(request.text2, text2);
  const uint32_t kind = type == 1 ? ONDREL_KIND_APPOINTMENT : type == 2 ? ONDREL_KIND_CONTACT : ONDREL_KIND_TASK;
  SendRequest(OndrelRequestCode(kind, ONDREL_ACTION_NEW), request);
  return TRUE;
}

BOOL COndrelClient::NewItem(int type, LPCWSTR text1, LPCWSTR text2) {
  return NewItemEx(type, text1, nullptr, nullptr, text2, 0);
}

BOOL COndrelClient::OpenItemByPath(LPCWSTR path, int target, BOOL temporary) {
  if (!path || !*path) return FALSE;
  EnsureOndrel();
  ONDREL_REQUEST request = {};
  if (temporary) request.objectId = 0xFFFFFFFF;
  CopyText(request.text1, path);
  const uint32_t kind = target == 0 ? ONDREL_KIND_TASK : target == 1 ? ONDREL_KIND_APPOINTMENT : ONDREL_KIND_CONTACT;
  SendRequest(OndrelRequestCode(kind, ONDREL_ACTION_NEW_FROM_NOTE), request);
  return TRUE;
}

LRESULT COndrelClient::RunMail2Command(LPCWSTR text) {
  EnsureOndrel();
  ONDREL_REQUEST request = {};
  CopyText(request.text2, text);
  return SendRequest(OndrelRequestCode(ONDREL_KIND_MAIL2, ONDREL_ACTION_NONE), request);
}

BOOL COndrelClient::UsePINotes(int mode) {
  return GetCurrentPIM() == PIM_POCKET_INFORMANT && mode == 0 && !m_notUsePINotes && GetPIStatus() == 2;
}

BOOL COndrelClient::NewNote(BOOL skip, LPCWSTR folderName) {
  if (skip) return FALSE;
  if (UsePINotes(0)) {
    EnsureOndrel();
    ONDREL_REQUEST request = {};
    if (folderName && (!IsNewerStore() || GetPocketInformantVersion() >= 601))
      CopyText(request.text1, GetNoteFolderPath(folderName));
    SendRequest(OndrelRequestCode(ONDREL_KIND_NOTE, ONDREL_ACTION_NEW), request);
    return TRUE;
  }
  if (folderName) {
    if (HWND notes = FindWindowW(L"Notes", nullptr)) {
      PostMessageW(notes, WM_CLOSE, 0, 0);
      g_sleep(500);
    }
    BYTE* states = nullptr;
    DWORD size = 0;
    if (ReadStates(states, size)) {
      const CString name = *folderName ? CString(folderName) : GetAllFoldersName();
      HKEY key = nullptr;
      // A name that does not fit its field leaves the Notes state as it was.
      if (PatchNotesStatesFolder(states, size, name) &&
          RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNotesStatesKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"States", 0, REG_BINARY, states, size);
        RegFlushKey(key);
        RegCloseKey(key);
      }
      delete[] states;
    }
  }
  return LaunchNotes();
}

CString COndrelClient::GetNoteFolderPath(LPCWSTR folderName) {
  CString volume;
  BYTE* states = nullptr;
  DWORD size = 0;
  if (ReadStates(states, size)) {
    volume = ReadNotesStatesVolume(states, size);
    delete[] states;
  }
  wchar_t folder[MAX_PATH + 1] = {};
  if (!SHGetDocumentsFolder(volume, folder) || !folder[0]) {
    folder[0] = 0;
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, TRUE);
  }
  folder[MAX_PATH] = 0;
  CString path(folder);
  path += L'\\';
  if (folderName && *folderName) {
    path += folderName;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
      CString known;
      if (g_noteFolderLookup && g_noteFolderLookup(known, folderName) && !known.IsEmpty())
        path = known;
      else
        CreateDirectoryW(path, nullptr);
    }
    EnsureTrailingBackslash(path);
  }
  return path;
}

COndrelClient::PFN_NOTE_FOLDER_LOOKUP COndrelClient::SetNoteFolderLookup(PFN_NOTE_FOLDER_LOOKUP lookup) {
  PFN_NOTE_FOLDER_LOOKUP previous = g_noteFolderLookup;
  g_noteFolderLookup = lookup;
  return previous;
}

CString COndrelClient::GetAllFoldersName() {
  struct Source {
    LPCWSTR library;
    UINT string;
  };
  static const Source sources[] = {
      {L"shellresapps.dll", 13484}, {L"doclist.dll", 115}, {L"\\windows\\doclist.dll", 115}};
  HMODULE library = nullptr;
  UINT id = 0;
  for (int pass = 0; pass < 2 && !library; ++pass) {
    for (const Source& source : sources) {
      library = pass == 0 ? LoadLibraryExW(source.library, nullptr, LOAD_LIBRARY_AS_DATAFILE)
                          : LoadLibraryW(source.library);
      if (library) {
        id = source.string;
        break;
      }
    }
  }
  wchar_t text[64];
  if (!library) {
    wsprintfW(text, L"Cannot load doclist.dll, le - %d", static_cast<int>(GetLastError()));
    ShowBox(m_owner, text);
    return CString();
  }
  wchar_t name[257] = {};
  const int length = LoadStringW(library, id, name, 256);
  const DWORD error = GetLastError();
  FreeLibrary(library);
  if (length <= 0) {
    wsprintfW(text, L"Cannot load string, le - %d", static_cast<int>(error));
    ShowBox(m_owner, text);
    return CString();
  }
  return CString(name);
}

BOOL COndrelClient::OpenDocument(LPCWSTR path, int mode) {
  if (UsePINotes(mode)) {
    EnsureOndrel();
    ONDREL_REQUEST request = {};
    CopyText(request.text1, path);
    SendRequest(OndrelRequestCode(ONDREL_KIND_NOTE, ONDREL_ACTION_OPEN), request);
    return TRUE;
  }
  return Launch(path, nullptr, mode == 1 || mode == 5 ? L"open" : L"opendoc");
}

void COndrelClient::OpenTasksView() {
  EnsureOndrel();
  PostToOndrel(m_msgOpenApp, 0, 0);
}
void COndrelClient::OpenCalendarView() {
  EnsureOndrel();
  PostToOndrel(m_msgOpenApp, 0x10000, 0);
}
void COndrelClient::OpenContactsView() {
  EnsureOndrel();
  PostToOndrel(m_msgOpenApp, 0x20000, 0);
}
void COndrelClient::OpenNotesProgram() { PostToOndrel(m_msgOpenApp, 0x40000, 0); }
void COndrelClient::OpenPocketWord() { PostToOndrel(m_msgOpenApp, 0x50000, 0); }
void COndrelClient::OpenPhatNotes() { PostToOndrel(m_msgOpenApp, 0x60000, 0); }
void COndrelClient::OpenPocketExcel() { PostToOndrel(m_msgOpenApp, 0x90000, 0); }

void COndrelClient::RequestMonth(int year, int month, HWND replyWindow) {
  EnsureOndrel();
  PostToOndrel(m_msgGetMonth, static_cast<WPARAM>(year) << 16 | static_cast<WPARAM>(month),
               reinterpret_cast<LPARAM>(replyWindow));
}

void COndrelClient::RequestMonthRange(const SYSTEMTIME& date, HWND replyWindow) {
  const int year = date.wYear, month = date.wMonth;
  RequestMonth(year, month, replyWindow);
  if (month == 1) RequestMonth(year - 1, 12, replyWindow);
  else RequestMonth(year, month - 1, replyWindow);
  if (month == 12) RequestMonth(year + 1, 1, replyWindow);
  else RequestMonth(year, month + 1, replyWindow);
}

void COndrelClient::UpdateCalendar() { PostToOndrel(m_msgUpdateCalendar, 0, 0); }
void COndrelClient::CancelLoad() { PostToOndrel(m_msgCancelLoad, 0, 0); }

BOOL COndrelClient::SendBeam(int kind, DWORD objectId) {
  if (kind < 1 || kind > 3 || !EnsureOndrel()) return FALSE;
  return PostMessageSafe(FindOndrelWindow(), m_msgChangeItem, ONDREL_BEAM_ITEM | static_cast<WPARAM>(kind),
                         static_cast<LPARAM>(objectId));
}

int COndrelClient::GetPIStatus() {
  EnsureOndrel();
  return static_cast<int>(SendMessageSafe(FindOndrelWindow(), m_msgGetPIStatus, 0, 0));
}

LRESULT COndrelClient::Change(DWORD objectId, DWORD kind, DWORD operation, ONDREL_CHANGE_MESSAGE& change) {
  if (!EnsureOndrel()) return 0;
  change.record.objectId = objectId;
  change.record.kind = kind;
  change.record.operation = operation;
  return SendChange(change);
}

LRESULT COndrelClient::ChangeAppointment(DWORD objectId, DWORD occurrenceDay, double start, double end, DWORD copy,
                                         DWORD further) {
  ONDREL_CHANGE_MESSAGE change = {};
  change.record.first.u32 = occurrenceDay;
  change.record.f64a = start;
  change.record.f64b = end;
  change.record.u32a = copy;
  change.record.u32b = further;
  return Change(objectId, 9, ONDREL_CHANGE_APPOINTMENT, change);
}

LRESULT COndrelClient::SetApptReminder(DWORD objectId, DWORD value) {
  ONDREL_CHANGE_MESSAGE change = {};
  change.record.first.u32 = value;
  return Change(objectId, 9, ONDREL_SET_REMINDER, change);
}

LRESULT COndrelClient::DeleteItem(int kind, DWORD objectId) {
  ONDREL_CHANGE_MESSAGE change = {};
  return Change(objectId, static_cast<DWORD>(kind), ONDREL_DELETE_ITEM, change);
}

LRESULT COndrelClient::CopyItem(int kind, DWORD objectId, DWORD occurrenceDay) {
  ONDREL_CHANGE_MESSAGE change = {};
  change.record.first.u32 = occurrenceDay;
  return Change(objectId, static_cast<DWORD>(kind), ONDREL_COPY_ITEM, change);
}

LRESULT COndrelClient::CompleteTask(DWORD objectId, BOOL complete) {
  ONDREL_CHANGE_MESSAGE change = {};
  change.record.u32a = complete ? 1 : 0;
  change.record.u32b = ONDREL_COMPLETE_STATE_GIVEN;
  return Change(objectId, 13, ONDREL_COMPLETE_TASK, change);
}

LRESULT COndrelClient::ChangeTaskDate(DWORD objectId, double start, double due, double reminder) {
  ONDREL_CHANGE_MESSAGE change = {};
  change.record.first.f64 = start;
  change.record.f64a = due;
  change.record.f64b = reminder;
  return Change(objectId, 13, ONDREL_CHANGE_TASK_DATES, change);
}

LRESULT COndrelClient::SetItemCategories(DWORD objectId, LPCWSTR categories) {
  ONDREL_CHANGE_MESSAGE change = {};
  if (categories) {
    const size_t length = wcslen(categories);
    if (length >= ONDREL_CATEGORIES_CHARS) return 0;
    memcpy(change.categories, categories, length * sizeof(wchar_t));
  }
  return Change(objectId, 0, ONDREL_SET_CATEGORIES, change);
}

LRESULT COndrelClient::EditItemCategories(POINT anchor, DWORD objectId, LPCWSTR title, const CBitSet& set) {
  m_categories = set;
  m_picker.SetInitialSet(m_categories);
  if (!m_picker.Create(m_owner, anchor, title)) return 0;
  m_categoriesText = m_picker.GetResult();
  return SetItemCategories(objectId, m_categoriesText);
}

void COndrelClient::ReadSettings() {
  PostToOndrel(m_msgUpdateSettings, reinterpret_cast<WPARAM>(m_owner), 0);
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE, FALSE);
    m_notUsePINotes = key.IsOpen() ? key.QueryDWORD(L"NotUsePINotes") != 0 : FALSE;
  }
  m_currentPIM = -1;
  ReadNewMenuClasses();
}

void COndrelClient::ReadNewMenuClasses() {
  static const wchar_t* const names[NEWMENU_COUNT] = {L"MS New Note", L"MS New Document", L"MS New Email",
                                                     L"New PhatPad"};
  CRegKey menu(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shell\\Extensions\\NewMenu", FALSE, FALSE);
  CString name;
  int found = 0;
  // All four may be registered; stop only when every one is known.
  for (BOOL more = menu.EnumFirstSubKey(name); more && found < NEWMENU_COUNT; more = menu.EnumNextSubKey(name)) {
    CString path(L"CLSID\\");
    path += name;
    CRegKey handler(HKEY_CLASSES_ROOT, path, FALSE, FALSE);
    if (!handler.IsOpen()) continue;
    const CString title = handler.QueryString(L"");  // the default value
    for (int i = 0; i < NEWMENU_COUNT; ++i) {
      if (title.CompareNoCase(names[i]) != 0) continue;
      CLSID clsid;
      if (SUCCEEDED(CLSIDFromString(const_cast<LPWSTR>(name.GetString()), &clsid))) {
        m_newMenu[i] = clsid;
        ++found;
      }
      break;
    }
  }
}

int COndrelClient::ReadCurrentPIM() {
  CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY, FALSE, FALSE);
  const DWORD stored = key.IsOpen() ? key.QueryDWORD(L"CurrentPIM") : 0;
  DWORD value = stored;
  if ((value == PIM_AGENDA_FUSION && !IsAgendaFusionInstalled()) || (value == PIM_AGENDA_ONE && !IsAgendaOneInstalled()))
    value = PIM_POCKET_OUTLOOK;
  if (value != stored && key.IsOpen()) key.SetDWORD(L"CurrentPIM", value);
  return static_cast<int>(value);
}

int COndrelClient::GetCurrentPIM() {
  if (m_currentPIM == -1) m_currentPIM = ReadCurrentPIM();
  return m_currentPIM;
}

BOOL COndrelClient::LaunchPocketWord() { return ::LaunchPocketWord(); }
BOOL COndrelClient::OpenPhatPad() { return CPhatPad::Instance().OpenFile(nullptr); }
BOOL COndrelClient::NewPhatPad() { return CPhatPad::Instance().OpenFile(L"-new"); }
BOOL COndrelClient::LaunchPocketExcel() { return ::LaunchPocketExcel(); }

HWND COndrelClient::GetNotesWindow() {
  HWND window = FindWindowW(L"MainNotesWindow", nullptr);
  if (window) return window;
  PostToOndrel(m_msgOpenApp, 0x60000, 0);
  for (int i = 0; i < 20 && !window; ++i) {
    g_sleep(250);
    window = FindWindowW(L"MainNotesWindow", nullptr);
  }
  return window;
}

BOOL COndrelClient::ShowNotesWindow() {
  HWND window = GetNotesWindow();
  if (!window) return FALSE;
  ShowWindow(window, SW_SHOWNORMAL);
  // The odd handle brings the window's owned windows along.
  SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
  PostMessageW(window, 2217, 1, 0);
  return TRUE;
}
