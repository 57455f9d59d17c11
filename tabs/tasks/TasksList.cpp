#include "tabs/tasks/TasksList.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "base/DateTime.h"
#include "base/MergeSort.h"
#include "base/RegKey.h"
#include "base/Translator.h"
#include "controls/DateEditDlg.h"
#include "pim/CategoriesList.h"
#include "pim/IconProviderRef.h"
#include "pim/OndrelClient.h"
#include "pim/PISubject.h"
#include "platform/coredll/Notify.h"
#include "platform/pimres/pimres.h"
#include "platform/pimutil/pimutil.h"
#include "res/TarvoResIds.h"
#include "tabs/tasks/TaskReminder.h"

namespace {

const wchar_t kDatabaseName[] = L"Tasks Database";
const CEPROPID kLegacyCompleteProp = 0x410F0002;
const DWORD kNewerItemBits = 0xC0000000;
const CEPROPID kUnusedProp = 0xFFFF0013;
// The newer store's dates at or past this are "none".
const double kNewerNoDateFrom = 949990.0;
const DWORD kTaskKind = 13;

enum Prop {
  kSubject, kStart, kDue, kImportance, kReminderMinutes, kReminderSet, kReminderTime, kRecurring,
  kPrivate, kComplete, kNote, kCategories, kIconName, kItemId, kCompletionDate, kPropCount
};

const CEPROPID kLegacyIds[kPropCount] = {0x0037001F, 0x41040040, 0x41050040, 0x00260003, 0x45010003,
                                         0x45030002, 0,          0x41260002, 0x00040002, 0x410F0002,
                                         0x00170041, 0x00160041, 0x2A08001F, 0,          0x410F0040};
const CEPROPID kNewerIds[kPropCount] = {0x0020001F, 0x00620040, 0x00630040, 0x00600013, 0,
                                        0x0028000B, 0x10660040, 0x0022000B, 0x00210013, 0x00640040,
                                        0x001E0064, 0,          0,          kRecordIdPropId, 0};

// Older-store reminder properties.
const CEPROPID kReminderSetProp = 0x45030002;
const CEPROPID kOffsetProp = 0x45010003;
const CEPROPID kReferenceProp = 0x00030002;
const CEPROPID kHandleProp = 0x00020003;
const CEPROPID kLegacyStartProp = 0x41040040;
const CEPROPID kLegacyDueProp = 0x41050040;
const CEPROPID kSubjectProp = 0x0037001F;

const CEPROPID* LayoutIds() { return IsNewerStore() ? kNewerIds : kLegacyIds; }

double ReadTaskDate(const CDbRecord& reader, int index) {
  double date = 0;
  if (!reader.GetDate(index, &date, 0, FALSE)) return 0;
  if (!(date > -1e7 && date < 1e7)) return 0;
  if (IsNewerStore() ? date >= kNewerNoDateFrom : std::fabs(date - kNoDate) < TaskReminder::kHalfMinute) return 0;
  return date;
}

// A note of only its byte-order mark is no note.
BOOL NotePresent(const BYTE* data, DWORD size) {
  if (!data || size == 0) return FALSE;
  if (size == 4 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)) && data[2] == 0 &&
      data[3] == 0)
    return FALSE;
  return TRUE;
}

int Clamp(int value) { return value < -1 ? -1 : (value > 1 ? 1 : value); }

int CompareSubjects(void*, TASK_ITEM* a, TASK_ITEM* b) {
  int c = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, a->subject,
                         a->subject.GetLength(), b->subject, b->subject.GetLength());
  return c == 0 ? 0 : c - CSTR_EQUAL;
}

void ReleaseAll(std::vector<TASK_ITEM*>& items) {
  for (TASK_ITEM* item : items) item->Release();
  items.clear();
}

// A shifted date that stays set only when it was.
double Shifted(double date, double shift) { return TaskReminder::IsSet(date) ? date + shift : kNoDate; }

// Frees a library when it goes out of scope.
struct CLibrary {
  explicit CLibrary(LPCWSTR name) : module(LoadLibraryW(name)) {}
  ~CLibrary() {
    if (module) FreeLibrary(module);
  }
  HMODULE module;
};

}  // namespace

CTasksList::CTasksList()
    : m_notifyDb(INVALID_HANDLE_VALUE),
      m_plainDb(INVALID_HANDLE_VALUE),
      m_notifyWindow(nullptr),
      m_request{},
      m_taskCursor(0),
      m_templateCursor(0),
      m_loaded(FALSE),
      m_completedMark(kCompletedNotLoaded),
      m_noteViewer(nullptr),
      m_monthPopup(nullptr),
      m_client(nullptr),
      m_pickingOid(0) {}

CTasksList::~CTasksList() { CloseDatabase(); }

CTasksList& CTasksList::GetGlobal() {
  static CTasksList list;
  return list;
}

COndrelClient& CTasksList::Client() const { return m_client ? *m_client : COndrelClient::Instance(); }

BOOL CTasksList::IsPocketInformant() const { return Client().GetCurrentPIM() == PIM_POCKET_INFORMANT; }

void CTasksList::CloseDatabase() {
  if (m_notifyDb != INVALID_HANDLE_VALUE) CloseHandle(m_notifyDb);
  if (m_plainDb != INVALID_HANDLE_VALUE) CloseHandle(m_plainDb);
  m_notifyDb = m_plainDb = INVALID_HANDLE_VALUE;
  Reset();
}

void CTasksList::Reset() {
  ReleaseAll(m_tasks);
  ReleaseAll(m_templates);
  m_taskCursor = m_templateCursor = 0;
  m_loaded = FALSE;
  m_completedMark = kCompletedNotLoaded;
}

void CTasksList::AddListener(ITasksListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CTasksList::RemoveListener(ITasksListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

BOOL CTasksList::OpenHandles() {
  if (m_notifyDb != INVALID_HANDLE_VALUE && m_plainDb != INVALID_HANDLE_VALUE) return TRUE;
  CCeDbApi* api = GetCeDbApi();
  CENOTIFYREQUEST* request = nullptr;
  if (m_notifyWindow) {
    m_request = CENOTIFYREQUEST{};
    m_request.dwSize = sizeof(CENOTIFYREQUEST);
    m_request.hwnd = m_notifyWindow;
    m_request.dwFlags = CEDB_EXNOTIFICATION;
    m_request.dwParam = reinterpret_cast<DWORD_PTR>(this);
    request = &m_request;
  }
  if (m_notifyDb == INVALID_HANDLE_VALUE)
    m_notifyDb = api->OpenDatabase(kDatabaseName, TRUE, IsNewerStore() ? 0 : kLegacyCompleteProp, request, nullptr);
  if (m_plainDb == INVALID_HANDLE_VALUE) m_plainDb = api->OpenDatabase(kDatabaseName, FALSE, 0, nullptr, nullptr);
  if (m_notifyDb == INVALID_HANDLE_VALUE || m_plainDb == INVALID_HANDLE_VALUE) {
    if (m_notifyDb != INVALID_HANDLE_VALUE) CloseHandle(m_notifyDb);
    if (m_plainDb != INVALID_HANDLE_VALUE) CloseHandle(m_plainDb);
    m_notifyDb = m_plainDb = INVALID_HANDLE_VALUE;
    return FALSE;
  }
  return TRUE;
}

void CTasksList::PrepareReadList(CDbRecord& reader) const {
  const CEPROPID* ids = LayoutIds();
  for (int k = 0; k < kPropCount; ++k) reader.AddPropId(ids[k] ? ids[k] : kUnusedProp);
  reader.SetSeekPropId(kRecordIdPropId);
}

BOOL CTasksList::FillItem(const CDbRecord& reader, CEOID oid, TASK_ITEM* item) {
  const BOOL newer = IsNewerStore();
  TASK_ITEM fresh;
  item->CopyFrom(fresh);
  if (newer) {
    DWORD id = static_cast<DWORD>(reader.GetLong(kItemId, 0)) & ~kNewerItemBits;
    if (id == 0) return FALSE;
    item->itemOid = id | kNewerItemBits;
    item->recordOid = oid;
  } else {
    if (oid == 0) return FALSE;
    item->itemOid = oid;
  }
  reader.GetString(kSubject, item->subject, L"");
  item->start = ReadTaskDate(reader, kStart);
  item->due = ReadTaskDate(reader, kDue);
  if (newer) {
    // A task without a stored importance is a normal one, as in the older store.
    item->importance = Clamp(static_cast<int>(reader.GetLong(kImportance, 1)) - 1);
    item->reminderSet = reader.GetLong(kReminderSet, 0) != 0;
    item->reminderTime = ReadTaskDate(reader, kReminderTime);
    item->recurring = reader.GetLong(kRecurring, 0) != 0;
    item->privateValue = reader.GetLong(kPrivate, 0);
    double completed = 0;
    item->complete = reader.GetDate(kComplete, &completed, 0, FALSE) && completed < kNewerNoDateFrom;
  } else {
    item->importance = Clamp(2 - static_cast<int>(reader.GetLong(kImportance, 2)));
    item->reminderMinutes = reader.GetLong(kReminderMinutes, -1);
    short value = 0;
    reader.GetShort(kReminderSet, &value, 0);
    item->reminderSet = value != 0;
    reader.GetShort(kRecurring, &value, 0);
    item->recurring = value != 0;
    reader.GetShort(kPrivate, &value, 0);
    item->privateValue = value;
    reader.GetShort(kComplete, &value, 0);
    item->complete = value != 0;
  }
  BYTE* data = nullptr;
  DWORD size = 0;
  item->hasNote = reader.GetBlob(kNote, &data, &size) && NotePresent(data, size);
  CCategoriesList* categories = CCategoriesList::GetCurrent();
  if (newer) {
    if (categories) categories->ReadItemCategories(item->itemOid, item->categories);
  } else if (reader.GetBlob(kCategories, &data, &size) && data && categories) {
    // Bit i of byte j names the category whose identifier is 8j + i.
    for (DWORD j = 0; j < size && j < 128; ++j)
      for (int i = 0; i < 8; ++i)
        if (data[j] & (1 << i)) {
          int index = categories->FindById(static_cast<int>(j * 8 + i));
          if (index >= 0) item->categories.Set(index);
        }
  }
  if (!newer) reader.GetString(kIconName, item->iconName, L"");
  if (item->iconName.IsEmpty()) item->iconName = CIconProviderRef::GetIconName(item->itemOid);
  double completedOn = kNoDate;
  if (!newer && item->complete) completedOn = ReadTaskDate(reader, kCompletionDate);
  if (IsPocketInformant()) ApplyPocketInformant(item, completedOn ? completedOn : kNoDate);
  return TRUE;
}

void CTasksList::ApplyPocketInformant(TASK_ITEM* item, double completed) const {
  CString cleaned;
  PI_SUBJECT_CODES codes;
  DWORD flags = ParsePISubjectCodes(item->subject, cleaned, &codes);
  const BOOL hadTemplate = (flags & PI_CODE_TEMPLATE) != 0;
  if (!TaskReminder::IsSet(item->due)) flags &= ~PI_CODE_IDENTIFIER;
  if (item->due != kTemplateDue) flags &= ~PI_CODE_TEMPLATE;
  if ((flags & PI_CODE_IDENTIFIER) && completed != kNoDate) {
    CString text, day;
    LoadTranslatedString(text, IDS_COMPLETED);
    SYSTEMTIME time;
    WCHAR buffer[128] = {};
    if (VariantDateToSystemTime(completed, &time) &&
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, 128))
      day = buffer;
    item->subject.Format(L"%s %s: %s", static_cast<LPCWSTR>(cleaned), static_cast<LPCWSTR>(text),
                         static_cast<LPCWSTR>(day));
  } else if (flags & PI_CODE_TEMPLATE) {
    item->subject = codes.templateName;
  } else if (!hadTemplate) {
    item->subject = cleaned;
  }
  item->piFlags = flags;
}

BOOL CTasksList::Load(BOOL skipCompleted) {
  if (!OpenHandles()) return FALSE;
  const BOOL newer = IsNewerStore();
  CCeDbApi* api = GetCeDbApi();
  CEOID at = 0;
  if (!newer && skipCompleted) {
    CEPROPVAL incomplete{};
    incomplete.propid = kLegacyCompleteProp;
    incomplete.val.iVal = 0;
    at = api->Seek(m_notifyDb, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&incomplete), nullptr);
  } else {
    at = api->Seek(m_notifyDb, CEDB_SEEK_BEGINNING, 0, nullptr);
  }
  if (!at) return FALSE;
  CDbRecord reader(m_notifyDb);
  PrepareReadList(reader);
  const BOOL pocketInformant = IsPocketInformant();
  TASK_ITEM* item = TASK_ITEM::New();
  while (item) {
    CEOID oid = reader.Read(0, TRUE);
    if (!oid) break;
    if (!FillItem(reader, oid, item)) continue;
    if (skipCompleted && item->complete) {
      // The older store's records come incomplete first.
      if (!newer) break;
      continue;
    }
    if (!skipCompleted && !item->complete) continue;
    if (pocketInformant && (item->piFlags & PI_CODE_TEMPLATE))
      m_templates.push_back(item);
    else
      m_tasks.push_back(item);
    item = TASK_ITEM::New();
  }
  if (item) item->Release();
  MergeSort(m_templates.data(), static_cast<int>(m_templates.size()), static_cast<void*>(nullptr), CompareSubjects);
  return TRUE;
}

BOOL CTasksList::EnsureLoaded(TASK_ITEM** first, BOOL includeCompleted, double date) {
  if (!m_loaded) {
    Load(TRUE);
    m_loaded = TRUE;
  }
  if (includeCompleted && m_completedMark > date) {
    Load(FALSE);
    m_completedMark = 0.0;
  }
  m_taskCursor = 0;
  m_templateCursor = 0;
  if (first) *first = nullptr;
  return GetNextTask(first);
}

BOOL CTasksList::GetNextTask(TASK_ITEM** task) {
  if (m_taskCursor >= m_tasks.size()) return FALSE;
  if (task) *task = m_tasks[m_taskCursor];
  ++m_taskCursor;
  return TRUE;
}

BOOL CTasksList::GetNextItem(TASK_ITEM** item) {
  if (m_templateCursor >= m_templates.size()) return FALSE;
  if (item) *item = m_templates[m_templateCursor];
  ++m_templateCursor;
  return TRUE;
}

DWORD CTasksList::GetItemField(int index) const {
  if (index < 0 || index >= static_cast<int>(m_templates.size())) return 0;
  return m_templates[index]->itemOid;
}

int CTasksList::FindByOid(DWORD oid, BOOL templatesToo, BOOL* inTemplates) const {
  if (inTemplates) *inTemplates = FALSE;
  const BOOL newer = IsNewerStore();
  auto matches = [&](const TASK_ITEM* t) { return (newer ? t->recordOid : t->itemOid) == oid; };
  for (size_t k = 0; k < m_tasks.size(); ++k)
    if (matches(m_tasks[k])) return static_cast<int>(k);
  if (templatesToo)
    for (size_t k = 0; k < m_templates.size(); ++k)
      if (matches(m_templates[k])) {
        if (inTemplates) *inTemplates = TRUE;
        return static_cast<int>(k);
      }
  return -1;
}

void CTasksList::InsertTemplate(TASK_ITEM* item) {
  auto at = std::find_if(m_templates.begin(), m_templates.end(),
                         [&](TASK_ITEM* t) { return CompareSubjects(nullptr, t, item) >= 0; });
  m_templates.insert(at, item);
}

void CTasksList::OnDBNotification(CENOTIFICATION* notification, BOOL byHand) {
  if (!notification) return;
  // Copied before the notification is freed.
  const UINT type = notification->uType;
  CEOID oid = notification->oid;
  if (!byHand) CeFreeNotification(&m_request, notification);
  if (CCategoriesList* categories = CCategoriesList::GetCurrent()) categories->OpenDatabases();
  if (type == kReloadAll) {
    Reset();
    for (ITasksListener* listener : std::vector<ITasksListener*>(m_listeners)) listener->OnTaskChanged(nullptr, nullptr);
    return;
  }
  const BOOL pocketInformant = IsPocketInformant();
  BOOL inTemplates = FALSE;
  int index = FindByOid(oid, pocketInformant, &inTemplates);
  if (index < 0 && byHand && IsNewerStore()) {
    // An object-model event names the item: find it by its identifier.
    for (size_t k = 0; k < m_tasks.size() && index < 0; ++k)
      if (m_tasks[k]->itemOid == (oid | kNewerItemBits)) index = static_cast<int>(k);
    for (size_t k = 0; pocketInformant && k < m_templates.size() && index < 0; ++k)
      if (m_templates[k]->itemOid == (oid | kNewerItemBits)) {
        index = static_cast<int>(k);
        inTemplates = TRUE;
      }
    if (index >= 0) oid = (inTemplates ? m_templates : m_tasks)[index]->recordOid;
  }
  std::unique_ptr<TASK_ITEM, void (*)(TASK_ITEM*)> fresh(nullptr, [](TASK_ITEM* t) {
    if (t) t->Release();
  });
  BOOL kept = FALSE;
  if (type != kRecordDeleted && OpenHandles()) {
    fresh.reset(TASK_ITEM::New());
    CDbRecord reader(m_plainDb);
    PrepareReadList(reader);
    CEOID read = fresh ? reader.Read(oid, TRUE) : 0;
    if (read && FillItem(reader, read, fresh.get())) {
      kept = !fresh->complete || fresh->due >= m_completedMark;
      if (kept && fresh->reminderSet && !IsNewerStore()) GetReminderTime(fresh->itemOid, TRUE);
    }
  }
  std::vector<ITasksListener*> listeners(m_listeners);
  if (index >= 0) {
    std::vector<TASK_ITEM*>& items = inTemplates ? m_templates : m_tasks;
    TASK_ITEM* found = items[index];
    if (!kept) {
      items.erase(items.begin() + index);
      if (!inTemplates)
        for (ITasksListener* listener : listeners) listener->OnTaskRemoved(found, 1);
      found->Release();
    } else if (inTemplates) {
      items.erase(items.begin() + index);
      found->Release();
      InsertTemplate(fresh.release());
    } else {
      TASK_ITEM* previous = TASK_ITEM::NewCopy(*found);
      found->CopyFrom(*fresh);
      for (ITasksListener* listener : listeners) listener->OnTaskChanged(found, previous);
      if (previous) previous->Release();
    }
    return;
  }
  if (!kept) return;
  TASK_ITEM* added = fresh.release();
  if (pocketInformant && (added->piFlags & PI_CODE_TEMPLATE)) {
    InsertTemplate(added);
    return;
  }
  m_tasks.push_back(added);
  for (ITasksListener* listener : listeners) listener->OnTaskAdded(added, 1);
}

CEOID CTasksList::ReadByOid(CDbRecord& reader, DWORD oid) const {
  // The newer store names a task by its item identifier, the older by its record.
  return IsNewerStore() ? reader.Read(oid, FALSE) : reader.Read(oid, TRUE);
}

BOOL CTasksList::WriteValue(DWORD oid, CEPROPID id, LONG value) {
  if (!oid || !OpenHandles()) return FALSE;
  CDbRecord record(m_plainDb);
  record.SetSeekPropId(kRecordIdPropId);
  int index = record.AddPropId(id);
  if (!ReadByOid(record, oid)) return FALSE;
  if (!record.SetLong(index, value)) return FALSE;
  return record.WriteRecord(oid, !IsNewerStore()) != 0;
}

BOOL CTasksList::SetImportance(DWORD oid, int importance) {
  importance = Clamp(importance);
  const BOOL newer = IsNewerStore();
  return WriteValue(oid, newer ? kNewerIds[kImportance] : kLegacyIds[kImportance], newer ? importance + 1 : 2 - importance);
}

BOOL CTasksList::SetPrivate(DWORD oid, int value) {
  return WriteValue(oid, IsNewerStore() ? kNewerIds[kPrivate] : kLegacyIds[kPrivate], value);
}

LRESULT CTasksList::CompleteTask(DWORD oid, BOOL complete) {
  // A task already as asked is left alone (no round trip to the program).
  for (TASK_ITEM* task : m_tasks)
    if (task->itemOid == oid && (task->complete != FALSE) == (complete != FALSE)) return 0;
  return Client().CompleteTask(oid, complete);
}

LRESULT CTasksList::DeleteTask(DWORD oid) { return Client().DeleteItem(kTaskKind, oid); }

BOOL CTasksList::ShowTaskNote(const RECT& place, HWND owner, DWORD oid) {
  if (!m_noteViewer || !OpenHandles()) return FALSE;
  CDbRecord reader(m_plainDb);
  reader.SetSeekPropId(kRecordIdPropId);
  const CEPROPID* ids = LayoutIds();
  int subject = reader.AddPropId(ids[kSubject]);
  int note = reader.AddPropId(ids[kNote]);
  if (!ReadByOid(reader, oid)) return FALSE;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!reader.GetBlob(note, &data, &size) || !NotePresent(data, size)) return FALSE;
  // The note is UTF-16 text, perhaps after a byte-order mark, perhaps unterminated.
  size_t units = size / sizeof(WCHAR);
  const WCHAR* text = reinterpret_cast<const WCHAR*>(data);
  if (units && (text[0] == 0xFEFF)) {
    ++text;
    --units;
  }
  std::wstring body(text, units);
  body = body.c_str();
  if (body.empty()) return FALSE;
  CString title;
  reader.GetString(subject, title, L"");
  return m_noteViewer->ShowNote(owner, place, title, body.c_str());
}

BOOL CTasksList::PickDueDate(DWORD oid, HWND owner, const RECT& place) {
  IMonthPopup* popup = m_monthPopup ? m_monthPopup : GetMonthPopup();
  if (!popup || !OpenHandles()) return FALSE;
  CDbRecord reader(m_plainDb);
  reader.SetSeekPropId(kRecordIdPropId);
  PrepareReadList(reader);
  double due = kNoDate;
  if (ReadByOid(reader, oid)) {
    due = ReadTaskDate(reader, kDue);
    if (due == 0) due = kNoDate;
  }
  m_pickingOid = oid;
  return popup->Open(owner, place, this, kPickDueMode, due);
}

void CTasksList::OnDateChosen(double date) {
  const DWORD oid = m_pickingOid;
  if (!oid || !OpenHandles()) return;
  const BOOL newer = IsNewerStore();
  CDbRecord reader(m_plainDb);
  PrepareReadList(reader);
  TASK_ITEM task;
  CEOID read = ReadByOid(reader, oid);
  if (!read || !FillItem(reader, read, &task)) return;
  double reminder = newer ? task.reminderTime : GetReminderTime(oid, FALSE);
  if (!task.reminderSet) reminder = kNoDate;
  double start, due;
  if (date == kNoDate) {
    start = due = kNoDate;
    if (!newer) reminder = kNoDate;
  } else {
    const double shift = TaskReminder::Day(date) - TaskReminder::Day(task.due);
    due = task.due + shift;
    start = Shifted(task.start, shift);
    reminder = Shifted(reminder, shift);
  }
  Client().ChangeTaskDate(oid, start, due, reminder);
  if (!newer) UpdateReminder(oid, reminder);
}

BOOL CTasksList::EditTaskDates(DWORD oid, LPCWSTR title, HWND owner) {
  if (!OpenHandles()) return FALSE;
  const BOOL newer = IsNewerStore();
  CDbRecord reader(m_plainDb);
  PrepareReadList(reader);
  TASK_ITEM task;
  CEOID read = ReadByOid(reader, oid);
  if (!read || !FillItem(reader, read, &task)) return FALSE;
  double reminder = newer ? task.reminderTime : GetReminderTime(oid, FALSE);
  if (!TaskReminder::IsSet(reminder)) reminder = kNoDate;
  auto orNone = [](double d) { return TaskReminder::IsSet(d) ? d : kNoDate; };
  CDateEditDlg dialog(title, task.reminderSet, reminder, orNone(task.start), orNone(task.due));
  if (dialog.DoModal(owner, IDD_DATE_EDIT) != 1) return FALSE;
  const double newReminder = dialog.IsReminderOn() ? dialog.GetReminder() : kNoDate;
  if (newer) {
    Client().ChangeTaskDate(oid, dialog.GetStart(), dialog.GetDue(), newReminder);
    return TRUE;
  }
  CDbRecord record(m_plainDb);
  int start = record.AddPropId(kLegacyStartProp);
  int due = record.AddPropId(kLegacyDueProp);
  if (!record.Read(oid, TRUE)) return FALSE;
  record.SetDate(start, dialog.GetStart(), FALSE);
  record.SetDate(due, dialog.GetDue(), FALSE);
  if (!record.WriteRecord(oid, TRUE)) return FALSE;
  return UpdateReminder(oid, newReminder);
}

namespace {

// The older store's reminder properties of one record, by read-list index.
struct CReminderRecord : public CDbRecord {
  explicit CReminderRecord(HANDLE db) : CDbRecord(db) {
    set = AddPropId(kReminderSetProp);
    offset = AddPropId(kOffsetProp);
    reference = AddPropId(kReferenceProp);
    handle = AddPropId(kHandleProp);
    start = AddPropId(kLegacyStartProp);
    due = AddPropId(kLegacyDueProp);
    subject = AddPropId(kSubjectProp);
  }
  double Date(int index) const {
    double date = kNoDate;
    if (!GetDate(index, &date, kNoDate, FALSE) || !(date > -1e7 && date < 1e7)) return kNoDate;
    return date;
  }
  short Short(int index) const {
    short value = 0;
    GetShort(index, &value, 0);
    return value;
  }
  int set, offset, reference, handle, start, due, subject;
};

void ClearNotification(DWORD handle) {
  if (handle) CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle)));
}

}  // namespace

double CTasksList::GetReminderTime(DWORD oid, BOOL repair) {
  if (IsNewerStore() || !oid || !OpenHandles()) return kNoDate;
  CReminderRecord record(m_plainDb);
  if (!record.Read(oid, TRUE) || record.Short(record.set) == 0) return kNoDate;
  const double reference = record.Short(record.reference) != 0 ? record.Date(record.due) : record.Date(record.start);
  BOOL needsRepair = FALSE;
  const LONG minutes = TaskReminder::DecodeOffset(record.GetLong(record.offset, 0), &needsRepair);
  const double reminder = TaskReminder::FromOffset(reference, minutes);
  if (needsRepair && repair) {
    CString subject;
    record.GetString(record.subject, subject, L"");
    const DWORD stored = static_cast<DWORD>(record.GetLong(record.handle, 0));
    const DWORD made = SetReminderNotification(subject, record.Date(record.start), record.Date(record.due), reminder);
    if (made != stored) {
      ClearNotification(stored);
      record.SetLong(record.handle, static_cast<LONG>(made));
      record.SetLong(record.offset, minutes);
      record.WriteRecord(oid, TRUE);
    }
  }
  return reminder;
}

BOOL CTasksList::UpdateReminder(DWORD oid, double reminder) {
  if (IsNewerStore() || !oid || !OpenHandles()) return FALSE;
  CReminderRecord record(m_plainDb);
  if (!record.Read(oid, TRUE)) return FALSE;
  CString subject;
  record.GetString(record.subject, subject, L"");
  const double start = record.Date(record.start);
  const double due = record.Date(record.due);
  const DWORD stored = static_cast<DWORD>(record.GetLong(record.handle, 0));
  LONG minutes = 0;
  int reference = TaskReminder::kFromStart;
  short set = 0;
  DWORD handle = 0;
  ClearNotification(stored);
  if (TaskReminder::IsSet(reminder)) {
    set = 1;
    if (!TaskReminder::ToOffset(reminder, start, due, &minutes, &reference)) {
      // Further than the store can keep: the stored reminder stays, and the
      // notification follows it, so the two never disagree.
      set = record.Short(record.set) != 0 ? 1 : 0;
      minutes = TaskReminder::DecodeOffset(record.GetLong(record.offset, 0), nullptr);
      reference = record.Short(record.reference) != 0 ? TaskReminder::kFromDue : TaskReminder::kFromStart;
      reminder = TaskReminder::FromOffset(reference == TaskReminder::kFromDue ? due : start, minutes);
    }
    if (set) handle = SetReminderNotification(subject, start, due, reminder);
  }
  record.SetLong(record.set, set);
  record.SetLong(record.offset, minutes);
  record.SetLong(record.handle, static_cast<LONG>(handle));
  record.SetLong(record.reference, reference);
  return record.WriteRecord(oid, TRUE) != 0;
}

DWORD CTasksList::SetReminderNotification(LPCWSTR subject, double start, double due, double reminder) {
  if (!(reminder > GetNowVariantTime()) || !TaskReminder::IsSet(reminder)) return 0;
  CLibrary util(L"pimutil.dll");
  CLibrary texts(L"pimres.dll");
  CLibrary fallback(texts.module ? nullptr : L"outres.dll");
  HMODULE resources = texts.module ? texts.module : fallback.module;
  auto format = util.module ? reinterpret_cast<PFN_PIM_GET_DATE_FORMAT>(
                                  reinterpret_cast<void*>(GetProcAddress(util.module, "PimGetDateFormat")))
                            : nullptr;
  auto load = resources ? reinterpret_cast<PFN_PIM_LOAD_STRING>(reinterpret_cast<void*>(
                              GetProcAddress(resources, MAKEINTRESOURCEA(kPimLoadStringOrdinal))))
                        : nullptr;
  if (!format || !load) {
    MessageBeep(static_cast<UINT>(-1));
    return 0;
  }
  // The start date when the reminder comes before or on its day, else the due date.
  const BOOL byStart = TaskReminder::IsSet(start) && TaskReminder::Day(start) >= TaskReminder::Day(reminder);
  WCHAR templ[256] = {}, caption[256] = {}, day[128] = {};
  load(byStart ? 2510 : 2511, templ, 256);
  load(2507, caption, 256);
  SYSTEMTIME time = {};
  if (VariantDateToSystemTime(byStart ? start : due, &time)) format(&time, PIM_DATE_LONG, day, 128);
  DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(subject ? subject : L""), reinterpret_cast<DWORD_PTR>(day)};
  WCHAR* text = nullptr;
  if (templ[0])
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, templ,
                   0, 0, reinterpret_cast<LPWSTR>(&text), 0, reinterpret_cast<va_list*>(arguments));
  DWORD options = 13;
  CString wave = L"Alarm1";
  {
    CRegKey key(HKEY_CURRENT_USER, L"ControlPanel\\Notifications\\Reminders", FALSE, FALSE);
    if (key.ValueExists(L"Options")) options = key.QueryDWORD(L"Options");
    if (key.ValueExists(L"Wave")) wave = key.QueryString(L"Wave");
  }
  CString sound = wave + L".wav";
  CE_USER_NOTIFICATION user = {};
  user.ActionFlags = ((options & 8) ? PUN_DIALOG : 0) | ((options & 4) ? PUN_LED : 0) | ((options & 1) ? PUN_SOUND : 0);
  user.pwszDialogTitle = caption;
  user.pwszDialogText = text ? text : const_cast<WCHAR*>(L"");
  user.pwszSound = const_cast<WCHAR*>(static_cast<LPCWSTR>(sound));
  user.nMaxSound = 520;
  SYSTEMTIME when = {};
  HANDLE made = nullptr;
  if (VariantDateToSystemTime(reminder, &when))
    made = CeSetUserNotification(nullptr, const_cast<WCHAR*>(kNotificationApp), &when, &user);
  if (text) LocalFree(text);
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(made));
}
