#include "ondrel/PoomHelper.h"

#include <oleauto.h>

#include <cwchar>
#include <string>

#include "base/DateTime.h"
#include "base/InstallPath.h"
#include "base/Platform.h"
#include "base/RegKey.h"
#include "base/ScreenDpi.h"
#include "ondrel/ComItem.h"
#include "pim/OndrelProtocol.h"
#include "pim/PocketOutlook.h"
#include "pim/SystemUtils.h"
#include "platform/coredll/Notify.h"

namespace {

const UINT_PTR kWatchTimer = 1;
const UINT kWatchInterval = 300;
const DWORD kShieldLife = 3000;
const UINT kEditCommand = 105;
const int kThisOccurrence = 8, kSeries = 9;
const wchar_t kShieldClass[] = L"QelTarvoTransparentWnd.0";
const wchar_t kNoSubject[] = L"No Subject";
const wchar_t kKeepContact[] = L"Cool Contact";

CPoomHelper::PFN_MESSAGE_BOX g_messageBox = nullptr;

int Box(LPCWSTR text, LPCWSTR caption, UINT type) {
  return g_messageBox ? g_messageBox(nullptr, text, caption, type) : MessageBoxW(nullptr, text, caption, type);
}

bool ClassIs(HWND window, LPCWSTR name) {
  wchar_t text[201] = {};
  return window && GetClassNameW(window, text, 201) && _wcsicmp(text, name) == 0;
}

// Shows the item's card: through IItem (Display, or Edit for modes 1 and 2), or the
// item type's own Display.
template <class T>
HRESULT ShowCard(IDispatch* item, const IID& iid, int mode, bool throughItem) {
  if (throughItem) {
    ComPtr<IItem> generic = Query<IItem>(item, IID_IItem);
    if (!generic) return E_FAIL;
    return mode == 0 ? generic->Display(nullptr) : generic->Edit(nullptr);
  }
  ComPtr<T> typed = Query<T>(item, iid);
  return typed ? typed->Display() : E_FAIL;
}

// A quoted argument stays one argument whatever it holds: inner quotes are doubled
// and the text is closed with a quote.
CString Quoted(LPCWSTR text) {
  CString out = L"\"";
  for (LPCWSTR p = text; p && *p; ++p) {
    if (*p == L'"') out += L'"';
    out += *p;
  }
  out += L"\"";
  return out;
}

LRESULT CALLBACK ShieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

BOOL OndrelIsNewerPlatform() { return IsPocketPC(); }

BOOL OndrelIsPocketPC2002() {
  DWORD major = 0, minor = 0;
  return GetPocketPCVersion(&major, &minor) && major == 3;
}

DWORD CPoomHelper::s_newItemPause = 200;

CPoomHelper::PFN_MESSAGE_BOX CPoomHelper::SetMessageBoxHandler(PFN_MESSAGE_BOX handler) {
  PFN_MESSAGE_BOX previous = g_messageBox;
  g_messageBox = handler;
  return previous;
}

CPoomHelper::CPoomHelper()
    : m_pim(0),
      m_occurrenceAnswer(-1),
      m_notUsePINotes(FALSE),
      m_watching(1),
      m_pocketPC2002(OndrelIsPocketPC2002()),
      m_editRequested(FALSE),
      m_frame(nullptr),
      m_shield(nullptr),
      m_shieldTick(0),
      m_dontClose(0),
      m_mailPending(FALSE),
      m_mailMode(0),
      m_newDate1(kNoDate),
      m_newDate2(kNoDate),
      m_date(kNoDate),
      m_mode(0),
      m_kind(0) {}

CPoomHelper::~CPoomHelper() { HideShieldWindow(TRUE); }

void CPoomHelper::ReadPimChoice() {
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_notUsePINotes = key.QueryDWORD(L"NotUsePINotes") != 0;
    m_pim = static_cast<int>(key.QueryDWORD(L"CurrentPIM"));
  }
  m_programPath.Empty();
  if (m_pim == 2 && !m_tools.IsAvailable()) m_pim = 0;
  if (m_pim == 1 || m_pim == 3) {
    CRegKey key(m_pim == 1 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                m_pim == 1 ? L"SOFTWARE\\Developer One, Inc.\\Agenda Fusion" : L"SOFTWARE\\Developer One\\Agenda One",
                FALSE);
    CString path = key.IsOpen() ? key.QueryString(m_pim == 1 ? L"AppLocation" : L"InstallPath") : CString();
    if (!path.IsEmpty() && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
      m_programPath = path;
    else
      m_pim = 0;
  }
}

DWORD CPoomHelper::DateMinutes(double date) {
  if (date == 0.0 || date == kNoDate) return 0;
  SYSTEMTIME time;
  FILETIME file;
  if (!VariantDateToSystemTime(date, &time) || !SystemTimeToFileTime(&time, &file)) return 0;
  const ULONGLONG ticks = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return static_cast<DWORD>(ticks / 600000000ull);
}

CString CPoomHelper::OtherPimCommandLine(int pim, const OtherPimRequest& r) {
  CString line, part;
  const bool edit = r.mode != DISPLAY_OPEN;
  const bool isNew = r.mode == DISPLAY_NEW && !(r.stored && r.kind != ITEM_APPOINTMENT);
  const bool hasText = r.newText && *r.newText;
  if (pim == 1) {
    if (!isNew) {
      if (r.kind == ITEM_APPOINTMENT && r.date != kNoDate)
        line.Format(L"[%lu] (%lu)", r.oid, DateMinutes(r.date));
      else
        line.Format(L"[%lu]", r.oid);
      if (edit) line += L" nopreview";
    } else if (r.kind == ITEM_APPOINTMENT) {
      line.Format(L"N_APPOINTMENT (%lu)(%lu)", DateMinutes(r.newDate1), DateMinutes(r.newDate2));
      if (hasText && !r.stored) line += L" " + Quoted(r.newText);
    } else if (r.kind == ITEM_TASK) {
      line.Format(L"N_TASK (%lu)(%lu)", DateMinutes(r.newDate1), DateMinutes(r.newDate2));
      if (hasText) line += L" " + Quoted(r.newText);
    } else {
      line = L"N_CONTACT";
      if (hasText) line += L" " + Quoted(r.newText);
    }
    if (r.dontClose) line += L"{noexit}";
  } else if (pim == 3) {
    if (!isNew) {
      line = edit ? L"edit " : L"open ";
      if (r.kind == ITEM_APPOINTMENT && r.date != kNoDate)
        part.Format(L"%lu %lu", r.oid, DateMinutes(r.date));
      else
        part.Format(L"%lu", r.oid);
      line += part;
    } else if (r.kind == ITEM_APPOINTMENT || r.kind == ITEM_TASK) {
      line = r.kind == ITEM_APPOINTMENT ? L"new appointment" : L"new task";
      if (r.newDate1 != kNoDate) {
        part.Format(L" %f", r.newDate1);
        line += part;
      }
    } else {
      line = L"new contact";
      if (hasText) line += L" " + Quoted(r.newText);
    }
  }
  return line;
}

CString CPoomHelper::MapShellAlias(LPCWSTR file) {
  if (!file) return CString();
  if (_wcsicmp(file, L":MSNOTETAKE") == 0) return L"\\Windows\\notes.exe";
  if (_wcsicmp(file, L":MSPWORD") == 0) return L"\\Windows\\pword.exe";
  if (_wcsicmp(file, L":MSPXL") == 0) return L"\\Windows\\pxl.exe";
  return file;
}

void CPoomHelper::Launch(LPCWSTR file, LPCWSTR parameters) {
  CString target = MapShellAlias(file);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = target;
  info.lpParameters = parameters && *parameters ? parameters : nullptr;
  info.nShow = SW_SHOWNORMAL;
  LaunchProgram(&info);  // a start that fails is not reported
}

namespace {
LPCWSTR g_resourceLibraries[2] = {L"pimres.dll", L"outres.dll"};
}  // namespace

void CPoomHelper::SetResourceLibraries(LPCWSTR first, LPCWSTR second) {
  g_resourceLibraries[0] = first ? first : L"pimres.dll";
  g_resourceLibraries[1] = second ? second : L"outres.dll";
}

CString CPoomHelper::LoadPocketOutlookString(BOOL contact) {
  HMODULE library = LoadLibraryW(g_resourceLibraries[0]);
  if (!library) library = LoadLibraryW(g_resourceLibraries[1]);
  if (!library) {
    Box(L"Cannot get PO resources. Tell to developers", L"Error", MB_ICONHAND);
    return CString();
  }
  wchar_t text[257] = {};
  int n = LoadStringW(library, contact ? 4210 : 4209, text, 256);
  if (!n && contact) n = LoadStringW(library, 8006, text, 256);
  FreeLibrary(library);
  return CString(text);
}

CString CPoomHelper::GetPocketInformantTabPath() {
  CString folder = L"\\Windows";
  {
    CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\PocketInformant", FALSE);
    if (key.IsOpen() && key.ValueExists(L"InstallDir")) folder = key.QueryString(L"InstallDir");
  }
  CString path = folder;
  EnsureTrailingBackslash(path);
  path += L"PITab.exe";
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) path = L"\\Windows\\PITab.exe";
  return path;
}

void CPoomHelper::ShowShieldWindow() {
  HideShieldWindow(TRUE);
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  if (!GetClassInfoW(module, kShieldClass, &wc)) {
    wc.lpfnWndProc = ShieldProc;
    wc.hInstance = module;
    wc.lpszClassName = kShieldClass;
    RegisterClassW(&wc);
  }
  RECT desktop = {};
  GetWindowRect(GetDesktopWindow(), &desktop);
  m_shield = CreateWindowExW(WS_EX_TOPMOST | 0x0C000000, kShieldClass, nullptr, WS_POPUP | WS_VISIBLE | 0x00010000,
                             desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top,
                             nullptr, nullptr, module, nullptr);
  m_shieldTick = GetTickCount();
}

void CPoomHelper::HideShieldWindow(BOOL always) {
  if (!m_shield) return;
  if (!always && GetTickCount() - m_shieldTick <= kShieldLife) return;
  DestroyWindow(m_shield);
  m_shield = nullptr;
}

void CPoomHelper::StopWatching() {
  HideShieldWindow(TRUE);
  if (m_frame) KillTimer(m_frame, kWatchTimer);
}

void CPoomHelper::RestartSelf(CString& subject) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  double date = 0;
  SYSTEMTIME at = now;
  if (SystemTimeToVariantDate(now, &date) && VariantDateToSystemTime(date + 2.0 / 86400.0, &at)) {
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, self, MAX_PATH)) CeRunAppAtTime(self, &at);
  }
  if (m_frame) PostMessageW(m_frame, RegisterWindowMessageW(L"QelTarvo_CloseWindow"), 0, 0);
  subject = kNoSubject;
}

int CPoomHelper::DisplayItem(int kind, DWORD oid, int mode, double date) {
  m_occurrenceAnswer = -1;
  m_mode = mode;
  m_kind = kind;
  m_date = date;
  m_editRequested = mode != DISPLAY_OPEN;
  m_mailPending = FALSE;
  m_watching = 1;
  {
    CRegKey key(HKEY_LOCAL_MACHINE, TARVO_PRODUCT_KEY);
    m_dontClose = key.QueryDWORD(L"AgendaFusion_DontClose");
  }
  const BOOL newer = OndrelIsNewerPlatform();
  if (kind == ITEM_APPOINTMENT && date != kNoDate) {
    if (m_pim == 0 && m_pocketPC2002) {
      int answer = Box(L"Open this occurence? (Tap No to modify the entire series.)", L"Qel Tarvo", 0x33);
      if (answer == IDCANCEL) return 0;
      m_occurrenceAnswer = answer;
      ShowShieldWindow();
      if (m_frame) SetForegroundWindow(m_frame);
      m_watching = 0;
      if (m_frame) SetTimer(m_frame, kWatchTimer, kWatchInterval, nullptr);
    }
  } else if (m_pim == 0 && mode != DISPLAY_OPEN && !(newer && kind == ITEM_CONTACT)) {
    if (date == kNoDate && !newer) ShowShieldWindow();
    if (m_frame) SetForegroundWindow(m_frame);
    m_watching = 0;
    if (date == kNoDate && m_frame) SetTimer(m_frame, kWatchTimer, kWatchInterval, nullptr);
  }

  CString subject;
  if (m_pim == 1 || m_pim == 3)
    subject = DisplayOther(oid);
  else if (kind == ITEM_APPOINTMENT)
    subject = DisplayApp(oid);
  else if (kind == ITEM_TASK)
    subject = DisplayTask(oid);
  else if (kind == ITEM_CONTACT)
    subject = DisplayContact(oid);
  if (mode == DISPLAY_NEW && subject.IsEmpty()) subject = kNoSubject;

  m_watching = 1;
  Sleep(100);
  // Only a card that was shown can have been left empty: a PIM choice that shows
  // nothing keeps the new item the request reported as made.
  const bool shown = m_pim == 0 || m_pim == 2;
  if (mode == DISPLAY_NEW && oid && shown) {
    // A new item left without a subject (or a contact without any name) is taken
    // away again. The contact's rule is its own (the marker below); a task or
    // appointment is kept only when its subject is neither empty nor the default
    // title: a user-typed "No Subject" is compared too, as the card shows it.
    CString title = LoadPocketOutlookString(kind == ITEM_CONTACT);
    const bool drop = (!title.IsEmpty() && subject.CompareNoCase(title) == 0) || subject.CompareNoCase(kNoSubject) == 0;
    if (drop && subject.Compare(kKeepContact) != 0) {
      ComPtr<IDispatch> item = ItemFromOid(oid);
      ComPtr<IItem> generic = Query<IItem>(item.Get(), IID_IItem);
      if (generic) generic->Delete();
    }
  }
  Sleep(500);
  return 1;
}

CString CPoomHelper::DisplayOther(DWORD oid) {
  OtherPimRequest request = {m_kind, oid, m_mode, m_date, m_newStored, m_newDate1, m_newDate2, m_newText, m_dontClose != 0};
  CString line = OtherPimCommandLine(m_pim, request);
  Launch(m_programPath, line);
  return CString();
}

CString CPoomHelper::DisplayApp(DWORD& oid) {
  CString subject;
  const BOOL openOnly = !m_editRequested;
  if (m_pim == 2) {
    int result = m_tools.DisplayAppt(oid, m_date == kNoDate ? 0.0 : m_date, 0, 0, openOnly);
    if (m_mode == DISPLAY_NEW) {
      ComPtr<IAppointment> appt = Query<IAppointment>(ItemFromOid(oid).Get(), IID_IAppointment);
      BSTR text = nullptr;
      if (appt && SUCCEEDED(appt->get_Subject(&text))) subject = TakeBstr(text);
      if (result == 2 || subject.IsEmpty()) subject = kNoSubject;
    }
    return subject;
  }
  if (m_pim != 0) return subject;
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (!app) return subject;
  ComPtr<IDispatch> item;
  if (m_date != kNoDate) {
    // The occurrence on its day: "<N" is day number N in the store's restriction text.
    ComPtr<IFolder> folder;
    ComPtr<IPOutlookItemCollection> items;
    if (SUCCEEDED(app->GetDefaultFolder(ITEM_APPOINTMENT, folder.GetAddressOf())) && folder &&
        SUCCEEDED(folder->get_Items(items.GetAddressOf())) && items) {
      items->put_IncludeRecurrences(VARIANT_TRUE);
      const long day = static_cast<long>(m_date);
      wchar_t restriction[128];
      swprintf(restriction, 128, L"[oid]=%lu AND [Start] >= <%ld AND [Start] < <%ld", oid, day, day + 1);
      BSTR text = SysAllocString(restriction);
      items->Find(text, item.GetAddressOf());
      SysFreeString(text);
    }
    if (!item) return kNoSubject;
  } else {
    app->GetItemFromOid(static_cast<long>(oid), item.GetAddressOf());
  }
  if (!item) return kNoSubject;
  const HRESULT shown =
      ShowCard<IAppointment>(item.Get(), IID_IAppointment, m_mode, OndrelIsNewerPlatform() && m_date == kNoDate);
  if (FAILED(shown)) {
    RestartSelf(subject);
    return subject;
  }
  if (m_mode == DISPLAY_NEW) {
    ComPtr<IAppointment> appt = Query<IAppointment>(item.Get(), IID_IAppointment);
    long id = 0;
    BSTR text = nullptr;
    if (appt && SUCCEEDED(appt->get_Oid(&id))) oid = static_cast<DWORD>(id);
    if (appt && SUCCEEDED(appt->get_Subject(&text))) subject = TakeBstr(text);
  }
  return subject;
}

CString CPoomHelper::DisplayTask(DWORD& oid) {
  CString subject;
  if (m_pim == 2) {
    int result = m_tools.DisplayTask(oid, 0, 0, !m_editRequested);
    if (m_mode == DISPLAY_NEW) {
      ComPtr<ITask> task = Query<ITask>(ItemFromOid(oid).Get(), IID_ITask);
      BSTR text = nullptr;
      if (task && SUCCEEDED(task->get_Subject(&text))) subject = TakeBstr(text);
      if (result == 2 || subject.IsEmpty()) subject = kNoSubject;
    }
    return subject;
  }
  if (m_pim != 0) return subject;
  ComPtr<IDispatch> item = ItemFromOid(oid);
  if (!item) return kNoSubject;
  const HRESULT shown = ShowCard<ITask>(item.Get(), IID_ITask, m_mode, OndrelIsNewerPlatform());
  if (FAILED(shown)) {
    RestartSelf(subject);
    return subject;
  }
  if (m_mode == DISPLAY_NEW) {
    // What the card left: the item is read again from the store.
    ComPtr<ITask> task = Query<ITask>(ItemFromOid(oid).Get(), IID_ITask);
    BSTR text = nullptr;
    if (task && SUCCEEDED(task->get_Subject(&text))) subject = TakeBstr(text);
  }
  return subject;
}

namespace {

// 1 when the contact has no name and no company.
bool NeedDeleteContact(IContact* contact) {
  if (!contact) return true;
  HRESULT (STDMETHODCALLTYPE IContact::*getters[])(BSTR*) = {&IContact::get_FirstName, &IContact::get_LastName,
                                                            &IContact::get_MiddleName, &IContact::get_Title,
                                                            &IContact::get_Suffix, &IContact::get_CompanyName};
  for (auto getter : getters) {
    BSTR text = nullptr;
    if (SUCCEEDED((contact->*getter)(&text)) && !TakeBstr(text).IsEmpty()) return false;
  }
  return true;
}

}  // namespace

CString CPoomHelper::DisplayContact(DWORD& oid) {
  CString subject;
  if (m_pim == 2) {
    int result = m_tools.DisplayContact(oid, 0, 0, !m_editRequested);
    if (m_mode == DISPLAY_NEW) {
      ComPtr<IContact> contact = Query<IContact>(ItemFromOid(oid).Get(), IID_IContact);
      subject = contact && result != 2 && !NeedDeleteContact(contact.Get()) ? kKeepContact : kNoSubject;
    }
    return subject;
  }
  if (m_pim != 0) return subject;
  ComPtr<IDispatch> item = ItemFromOid(oid);
  if (!item) return kNoSubject;
  const HRESULT shown = ShowCard<IContact>(item.Get(), IID_IContact, m_mode, OndrelIsNewerPlatform());
  if (FAILED(shown)) {
    RestartSelf(subject);
    return subject;
  }
  if (m_mode == DISPLAY_NEW) {
    ComPtr<IContact> contact = Query<IContact>(ItemFromOid(oid).Get(), IID_IContact);
    subject = contact && !NeedDeleteContact(contact.Get()) ? kKeepContact : kNoSubject;
  }
  return subject;
}

void CPoomHelper::OnDialogActivated(HWND dialog) {
  if (m_watching == 1 || !dialog) return;
  if (m_mailPending) {
    static const UINT commands[] = {32681, 32682, 32683};
    if (m_mailMode >= 3 && m_mailMode <= 5)
      PostMessageW(dialog, WM_COMMAND, commands[m_mailMode - 3] - (m_pocketPC2002 ? 24000 : 0), 0);
    m_mailPending = FALSE;
    return;
  }
  HWND third = GetWindow(dialog, GW_CHILD);
  if (third) third = GetWindow(third, GW_HWNDNEXT);
  if (third) third = GetWindow(third, GW_HWNDNEXT);
  HWND next = third ? GetWindow(third, GW_HWNDNEXT) : nullptr;
  if (third && next && GetDlgCtrlID(third) == kThisOccurrence && GetDlgCtrlID(next) == kSeries) {
    // The question is asked only when there is an occurrence to open: the answer is
    // the user's own on Pocket PC 2002, else the occurrence the request named.
    Sleep(100);
    if (m_frame) SetForegroundWindow(m_frame);
    const bool occurrence = m_occurrenceAnswer == IDYES || (m_occurrenceAnswer == -1 && m_date != kNoDate);
    PostMessageW(dialog, WM_COMMAND, occurrence ? kThisOccurrence : kSeries, 0);
    return;
  }
  if (m_editRequested && (!OndrelIsNewerPlatform() || m_date != kNoDate))
    PostMessageW(dialog, WM_COMMAND, kEditCommand, 0);
}

void CPoomHelper::WatchDialogs() {
  HideShieldWindow(FALSE);
  HWND card = GetForegroundWindow();
  if (!ClassIs(card, L"Dialog")) return;
  HWND page = nullptr;
  for (HWND child = GetWindow(card, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassIs(child, L"Dialog")) {
      page = child;
      break;
    }
    if (ClassIs(child, L"SysListView32")) {
      StopWatching();
      return;
    }
  }
  if (!page) return;
  HWND list = FindWindowExW(page, nullptr, L"SysListView32", nullptr);
  if (!list) return;
  if (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) {
    Sleep(200);
    if (m_mode == DISPLAY_NEW && m_kind != ITEM_CONTACT) {
      const int x = (GetScreenDpiX() * 120 + 48) / 96, y = (GetScreenDpiY() * 10 + 48) / 96;
      SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
  }
  StopWatching();
}

void CPoomHelper::OpenContactsView() {
  switch (m_pim) {
    case 0: Launch(L"\\windows\\poutlook.exe", L"contacts"); break;
    case 1: Launch(m_programPath, L"V_CONTACTS"); break;
    case 2: Launch(GetPocketInformantTabPath(), m_tools.HasContactEntry() ? L"9" : L"5"); break;
    case 3: Launch(m_programPath, L"goto contacts"); break;
  }
}

void CPoomHelper::OpenTasksView() {
  switch (m_pim) {
    case 0: Launch(L"\\windows\\poutlook.exe", L"tasks"); break;
    case 1: Launch(m_programPath, L"V_TASKS"); break;
    case 2: Launch(GetPocketInformantTabPath(), m_tools.HasContactEntry() ? L"8" : L"4"); break;
    case 3: Launch(m_programPath, L"goto tasks"); break;
  }
}

void CPoomHelper::OpenCalendarView() {
  switch (m_pim) {
    case 0: Launch(L"\\windows\\poutlook.exe", L"calendar"); break;
    case 1: Launch(m_programPath, L"V_MONTH"); break;
    case 2: Launch(GetPocketInformantTabPath(), L"2"); break;
    case 3: Launch(m_programPath, L"goto month"); break;
  }
}

void CPoomHelper::OpenNotes() {
  if (m_pim == 2 && !m_notUsePINotes)
    Launch(GetPocketInformantTabPath(), m_tools.HasContactEntry() ? L"7" : L"3");
  else
    Launch(L":MSNOTETAKE", nullptr);
}

void CPoomHelper::OpenPocketWord() { Launch(L":MSPWORD", nullptr); }
void CPoomHelper::OpenPocketExcel() { Launch(L":MSPXL", nullptr); }

void CPoomHelper::OpenPhatNotes() {
  int row = -1;
  if (!FindPhatNotesKey(nullptr, &row)) return;
  // Only the first installed version counts: its program value must name the program.
  CRegKey key(HKEY_CURRENT_USER, g_phatNotesKeys[row].path, FALSE, FALSE);
  CString program = key.QueryString(g_phatNotesKeys[row].programValue);
  if (!program.IsEmpty()) Launch(program, nullptr);
}

void CPoomHelper::OpenPhatPad() {
  CString folder;
  {
    CRegKey key(HKEY_CURRENT_USER, L"Software\\PhatWare\\PhatPad");
    folder = key.ValueExists(L"InstPath") ? key.QueryString(L"InstPath") : CString(L"\\Program Files\\PhatPad\\");
  }
  if (folder.IsEmpty() || folder[folder.GetLength() - 1] != L'\\') folder += L"\\";
  Launch(folder + L"PhatPad.exe", nullptr);
}

void CPoomHelper::OpenMail2(LPCWSTR commandLine) {
  CRegKey key(HKEY_CURRENT_USER, L"Software\\WebIS\\Mail2", FALSE);
  if (!key.IsOpen()) return;
  CString path = key.QueryString(L"InstallDir");
  EnsureTrailingBackslash(path);
  Launch(path + L"wismail.exe", commandLine);
}

BOOL CPoomHelper::OpenMessage(const BYTE* entryId, DWORD length, int mode) {
  m_occurrenceAnswer = -1;
  m_watching = 1;
  m_editRequested = FALSE;
  m_mailPending = TRUE;
  m_mailMode = mode;
  if (mode != 0) {
    if (m_frame) SetForegroundWindow(m_frame);
    m_watching = 0;
  }
  // The system mail program opens one message given its entry identifier in hex.
  CString line = L"-open";
  line += L" ";
  wchar_t pair[3];
  for (DWORD i = 0; entryId && i < length && i < ONDREL_MAX_ENTRY_ID; ++i) {
    swprintf(pair, 3, L"%02X", entryId[i]);
    line += pair;
  }
  Launch(L"\\Windows\\tmail.exe", line);
  return TRUE;
}

void CPoomHelper::DisplayNote(LPCWSTR text) {
  if (m_pim == 2) m_tools.DisplayNote(text, nullptr);
}
