#include "platform/pimstore/PimItem.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "platform/pimstore/ItemCard.h"
#include "platform/pimstore/PimApp.h"
#include "platform/pimstore/PropAnswer.h"
#include "platform/pimstore/RecurrencePatternObject.h"

namespace {

std::wstring Trim(const std::wstring& text) {
  size_t a = text.find_first_not_of(L" \t");
  if (a == std::wstring::npos) return std::wstring();
  size_t b = text.find_last_not_of(L" \t");
  return text.substr(a, b - a + 1);
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CPimItem::CPimItem(CPimApp* app, PimKind kind) : m_app(app), m_kind(kind) {
  m_app->AddRef();
  PimValue* v = m_record.fields;
  if (kind == PimKind::Appointment) {
    v[kBusyStatus].present = true;
    v[kBusyStatus].number = olBusy;
    v[kDuration].present = true;
    v[kAllDay].present = true;
    v[kRecurring].present = true;
  } else if (kind == PimKind::Task) {
    for (PimField f : {kTaskStart, kTaskDue}) {
      v[f].present = true;
      v[f].number = PIM_NO_DATE;
    }
    v[kImportance].present = true;
    v[kImportance].number = 1;
    v[kReminderTime].number = PIM_NO_DATE;
    v[kComplete].present = true;
    v[kRecurring].present = true;
  }
}

CPimItem::~CPimItem() { m_app->Release(); }

CPimItem* CPimItem::FromRecord(CPimApp* app, PimKind kind, const PimRecord& record) {
  auto* item = new CPimItem(app, kind);
  item->m_record = record;
  if (kind == PimKind::Appointment && record.fields[kRecurring].number) {
    const std::vector<BYTE>& blob = record.fields[kRecurrence].blob;
    if (!item->m_pattern.Decode(blob.data(), blob.size())) {
      item->Release();
      return nullptr;
    }
    item->m_hasPattern = true;
  }
  return item;
}

CPimItem* CPimItem::MakeOccurrence(CPimApp* app, const PimRecord& master, const CRecurrence& pattern,
                                   const CRecurrence::Occurrence& occurrence) {
  auto* item = new CPimItem(app, PimKind::Appointment);
  item->m_record = master;
  item->m_pattern = pattern;
  item->m_hasPattern = true;
  item->m_isOccurrence = true;
  item->m_originalStart = occurrence.originalStart;
  PimValue* v = item->m_record.fields;
  v[kStart].number = CRecurrence::MinutesToDate(occurrence.start);
  v[kDuration].number = occurrence.end - occurrence.start;
  if (const CRecurrence::Exception* e = occurrence.exception) {
    if (e->hasSubject) v[kSubject].text = e->subject;
    if (e->hasLocation) v[kLocation].text = e->location;
    if (e->hasBusyStatus) v[kBusyStatus].number = e->busyStatus;
    if (e->hasAllDay) v[kAllDay].number = e->allDay ? 1 : 0;
  }
  return item;
}

DWORD CPimItem::Oid() const {
  if (!m_record.recordOid) return 0;
  return m_app->Store().ItemOid(m_kind, m_record);
}

IDispatch* CPimItem::Dispatch() {
  switch (m_kind) {
    case PimKind::Appointment: return static_cast<IAppointment*>(this);
    case PimKind::Task: return static_cast<ITask*>(this);
    default: return static_cast<IContact*>(this);
  }
}

STDMETHODIMP CPimItem::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) *out = Dispatch();
  else if (iid == IID_IItem) *out = static_cast<IItem*>(this);
  else if (iid == IID_IAppointment && m_kind == PimKind::Appointment) *out = static_cast<IAppointment*>(this);
  else if (iid == IID_ITask && m_kind == PimKind::Task) *out = static_cast<ITask*>(this);
  else if (iid == IID_IContact && m_kind == PimKind::Contact) *out = static_cast<IContact*>(this);
  else return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

PIM_DISPATCH_IMPLEMENTATION(CPimItem)

HRESULT CPimItem::GetText(PimField field, BSTR* text) const { return ReturnText(m_record.fields[field].text, text); }

HRESULT CPimItem::PutText(PimField field, BSTR text) {
  PimValue& v = m_record.fields[field];
  v.text = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  v.present = !v.text.empty();
  return S_OK;
}

HRESULT CPimItem::GetNumber(PimField field, double* value) const {
  if (!value) return E_POINTER;
  *value = m_record.fields[field].number;
  return S_OK;
}

HRESULT CPimItem::PutNumber(PimField field, double value) {
  if (!std::isfinite(value)) return E_INVALIDARG;
  m_record.fields[field].present = true;
  m_record.fields[field].number = value;
  return S_OK;
}

STDMETHODIMP CPimItem::get_Subject(BSTR* text) { return GetText(kSubject, text); }
STDMETHODIMP CPimItem::put_Subject(BSTR text) { return PutText(kSubject, text); }
STDMETHODIMP CPimItem::get_Location(BSTR* text) { return GetText(kLocation, text); }
STDMETHODIMP CPimItem::put_Location(BSTR text) { return PutText(kLocation, text); }
STDMETHODIMP CPimItem::get_FirstName(BSTR* text) { return GetText(kFirstName, text); }
STDMETHODIMP CPimItem::put_FirstName(BSTR text) { return PutText(kFirstName, text); }
STDMETHODIMP CPimItem::get_MiddleName(BSTR* text) { return GetText(kMiddleName, text); }
STDMETHODIMP CPimItem::put_MiddleName(BSTR text) { return PutText(kMiddleName, text); }
STDMETHODIMP CPimItem::get_LastName(BSTR* text) { return GetText(kLastName, text); }
STDMETHODIMP CPimItem::put_LastName(BSTR text) { return PutText(kLastName, text); }
STDMETHODIMP CPimItem::get_Title(BSTR* text) { return GetText(kTitle, text); }
STDMETHODIMP CPimItem::put_Title(BSTR text) { return PutText(kTitle, text); }
STDMETHODIMP CPimItem::get_Suffix(BSTR* text) { return GetText(kSuffix, text); }
STDMETHODIMP CPimItem::put_Suffix(BSTR text) { return PutText(kSuffix, text); }
STDMETHODIMP CPimItem::get_CompanyName(BSTR* text) { return GetText(kCompany, text); }
STDMETHODIMP CPimItem::put_CompanyName(BSTR text) { return PutText(kCompany, text); }
STDMETHODIMP CPimItem::get_FileAs(BSTR* text) { return GetText(kFileAs, text); }
STDMETHODIMP CPimItem::put_FileAs(BSTR text) { return PutText(kFileAs, text); }
STDMETHODIMP CPimItem::get_MobileTelephoneNumber(BSTR* text) { return GetText(kMobile, text); }
STDMETHODIMP CPimItem::put_MobileTelephoneNumber(BSTR text) { return PutText(kMobile, text); }

STDMETHODIMP CPimItem::get_Birthday(DATE* date) { return GetNumber(kBirthday, date); }
STDMETHODIMP CPimItem::put_Birthday(DATE date) { return PutNumber(kBirthday, date); }
STDMETHODIMP CPimItem::get_Anniversary(DATE* date) { return GetNumber(kAnniversary, date); }
STDMETHODIMP CPimItem::put_Anniversary(DATE date) { return PutNumber(kAnniversary, date); }
STDMETHODIMP CPimItem::get_StartDate(DATE* date) { return GetNumber(kTaskStart, date); }
STDMETHODIMP CPimItem::put_StartDate(DATE date) { return PutNumber(kTaskStart, date); }
STDMETHODIMP CPimItem::get_DueDate(DATE* date) { return GetNumber(kTaskDue, date); }
STDMETHODIMP CPimItem::put_DueDate(DATE date) { return PutNumber(kTaskDue, date); }
STDMETHODIMP CPimItem::get_ReminderTime(DATE* date) { return GetNumber(kReminderTime, date); }
STDMETHODIMP CPimItem::put_ReminderTime(DATE date) { return PutNumber(kReminderTime, date); }

STDMETHODIMP CPimItem::get_Importance(long* value) {
  if (!value) return E_POINTER;
  *value = static_cast<long>(m_record.fields[kImportance].number);
  return S_OK;
}
STDMETHODIMP CPimItem::put_Importance(long value) {
  if (value < 0 || value > 2) return E_INVALIDARG;
  return PutNumber(kImportance, value);
}
STDMETHODIMP CPimItem::get_Complete(VARIANT_BOOL* complete) {
  if (!complete) return E_POINTER;
  *complete = m_record.fields[kComplete].number ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
STDMETHODIMP CPimItem::put_Complete(VARIANT_BOOL complete) { return PutNumber(kComplete, complete ? 1 : 0); }
STDMETHODIMP CPimItem::get_Sensitivity(long* value) {
  if (!value) return E_POINTER;
  *value = static_cast<long>(m_record.fields[kSensitivity].number);
  return S_OK;
}
STDMETHODIMP CPimItem::put_Sensitivity(long value) { return PutNumber(kSensitivity, value); }
STDMETHODIMP CPimItem::get_ReminderSet(VARIANT_BOOL* set) {
  if (!set) return E_POINTER;
  *set = m_record.fields[kReminderSet].number ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
STDMETHODIMP CPimItem::put_ReminderSet(VARIANT_BOOL set) { return PutNumber(kReminderSet, set ? 1 : 0); }
STDMETHODIMP CPimItem::get_ReminderMinutesBeforeStart(long* minutes) {
  if (!minutes) return E_POINTER;
  *minutes = static_cast<long>(m_record.fields[kReminderMinutes].number);
  return S_OK;
}
STDMETHODIMP CPimItem::put_ReminderMinutesBeforeStart(long minutes) {
  if (minutes < 0) return E_INVALIDARG;
  return PutNumber(kReminderMinutes, minutes);
}

STDMETHODIMP CPimItem::get_BodyInk(CEBLOB* ink) {
  if (!ink) return E_POINTER;
  const std::vector<BYTE>& data = m_record.fields[kNotes].blob;
  ink->dwCount = static_cast<DWORD>(data.size());
  ink->lpb = nullptr;
  if (data.empty()) return S_OK;
  ink->lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, data.size()));
  if (!ink->lpb) return E_OUTOFMEMORY;
  memcpy(ink->lpb, data.data(), data.size());
  return S_OK;
}
STDMETHODIMP CPimItem::put_BodyInk(CEBLOB* ink) {
  if (!ink || (ink->dwCount && !ink->lpb)) return E_INVALIDARG;
  PimValue& v = m_record.fields[kNotes];
  v.blob.assign(ink->lpb, ink->lpb + ink->dwCount);
  v.present = ink->dwCount != 0;
  return S_OK;
}

// Appointment times: the start and the minutes to the end as put are kept; the store
// turns them into its layout's all-day form when written, so the order of the calls
// does not matter. An all-day appointment's end is its last day on older devices, the
// day after it on newer ones.
STDMETHODIMP CPimItem::get_Start(DATE* date) { return GetNumber(kStart, date); }
STDMETHODIMP CPimItem::put_Start(DATE date) {
  // The duration stays: the end moves with the start.
  return PutNumber(kStart, date);
}
STDMETHODIMP CPimItem::get_End(DATE* date) {
  if (!date) return E_POINTER;
  *date = m_record.fields[kStart].number + m_record.fields[kDuration].number / 1440.0;
  return S_OK;
}
STDMETHODIMP CPimItem::put_End(DATE date) {
  if (!std::isfinite(date)) return E_INVALIDARG;
  double minutes = std::floor((date - m_record.fields[kStart].number) * 1440.0 + 0.5);
  if (minutes < 0) return E_INVALIDARG;
  return PutNumber(kDuration, minutes);
}
STDMETHODIMP CPimItem::get_Duration(long* minutes) {
  if (!minutes) return E_POINTER;
  *minutes = static_cast<long>(m_record.fields[kDuration].number);
  return S_OK;
}
STDMETHODIMP CPimItem::put_Duration(long minutes) {
  if (minutes < 0) return E_INVALIDARG;
  return PutNumber(kDuration, minutes);
}
STDMETHODIMP CPimItem::get_AllDayEvent(VARIANT_BOOL* allDay) {
  if (!allDay) return E_POINTER;
  *allDay = m_record.fields[kAllDay].number ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
STDMETHODIMP CPimItem::put_AllDayEvent(VARIANT_BOOL allDay) {
  // Callers pass any non-zero 16-bit value for true.
  return PutNumber(kAllDay, allDay ? 1 : 0);
}
STDMETHODIMP CPimItem::get_BusyStatus(long* status) {
  if (!status) return E_POINTER;
  *status = static_cast<long>(m_record.fields[kBusyStatus].number);
  return S_OK;
}
STDMETHODIMP CPimItem::put_BusyStatus(long status) {
  if (status < olFree || status > olOutOfOffice) return E_INVALIDARG;
  return PutNumber(kBusyStatus, status);
}

STDMETHODIMP CPimItem::get_IsRecurring(VARIANT_BOOL* recurring) {
  if (!recurring) return E_POINTER;
  *recurring = m_hasPattern ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP CPimItem::GetRecurrencePattern(IRecurrencePattern** pattern) {
  if (!pattern) return E_POINTER;
  if (m_kind != PimKind::Appointment) return E_NOTIMPL;
  *pattern = new CRecurrencePatternObject(this);
  return S_OK;
}

STDMETHODIMP CPimItem::ClearRecurrencePattern() {
  if (m_isOccurrence) return E_FAIL;
  m_hasPattern = false;
  m_pattern = CRecurrence();
  return S_OK;
}

std::wstring CPimItem::CategoriesText() const {
  if (m_categoriesChanged) return m_categories;
  std::wstring text;
  for (DWORD id : m_record.categoryIds) {
    std::wstring name = m_app->Store().CategoryName(id);
    if (name.empty()) continue;
    if (!text.empty()) text += L", ";
    text += name;
  }
  return text;
}

STDMETHODIMP CPimItem::get_Categories(BSTR* text) { return ReturnText(CategoriesText(), text); }
STDMETHODIMP CPimItem::put_Categories(BSTR text) {
  m_categories = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  m_categoriesChanged = true;
  return S_OK;
}

STDMETHODIMP CPimItem::get_Oid(long* oid) {
  if (!oid) return E_POINTER;
  *oid = static_cast<long>(Oid());
  return S_OK;
}

HRESULT CPimItem::SaveOccurrence() {
  // The occurrence becomes an exception of its series: its own times and texts.
  PimRecord master;
  CPimStore& store = m_app->Store();
  if (!store.Read(PimKind::Appointment, m_record.recordOid, &master)) return E_FAIL;
  CRecurrence pattern;
  const std::vector<BYTE>& blob = master.fields[kRecurrence].blob;
  if (!pattern.Decode(blob.data(), blob.size())) return HRESULT_FROM_WIN32(ERROR_INTERNAL_DB_CORRUPTION);
  CRecurrence::Exception e;
  e.originalStart = m_originalStart;
  e.start = CRecurrence::DateToMinutes(m_record.fields[kStart].number);
  e.end = e.start + static_cast<DWORD>(m_record.fields[kDuration].number);
  if (m_record.fields[kSubject].text != master.fields[kSubject].text) {
    e.hasSubject = true;
    e.subject = m_record.fields[kSubject].text;
  }
  if (m_record.fields[kLocation].text != master.fields[kLocation].text) {
    e.hasLocation = true;
    e.location = m_record.fields[kLocation].text;
  }
  if (m_record.fields[kBusyStatus].number != master.fields[kBusyStatus].number) {
    e.hasBusyStatus = true;
    e.busyStatus = static_cast<DWORD>(m_record.fields[kBusyStatus].number);
  }
  if (m_record.fields[kAllDay].number != master.fields[kAllDay].number) {
    e.hasAllDay = true;
    e.allDay = m_record.fields[kAllDay].number != 0;
  }
  auto& list = pattern.exceptions;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const CRecurrence::Exception& x) { return x.originalStart == m_originalStart; }),
             list.end());
  list.push_back(e);
  master.fields[kRecurrence].blob = pattern.Encode();
  master.fields[kRecurrence].present = true;
  if (!store.Write(PimKind::Appointment, &master)) return E_FAIL;
  m_pattern = pattern;
  m_app->NotifyItem(PIM_ITEM_CHANGED_LOCAL, store.ItemOid(PimKind::Appointment, master), 9);
  return S_OK;
}

STDMETHODIMP CPimItem::Save() {
  if (m_isOccurrence) return SaveOccurrence();
  CPimStore& store = m_app->Store();
  if (m_categoriesChanged) {
    m_record.categoryIds.clear();
    size_t pos = 0;
    while (pos <= m_categories.size()) {
      size_t comma = m_categories.find(L',', pos);
      if (comma == std::wstring::npos) comma = m_categories.size();
      std::wstring name = Trim(m_categories.substr(pos, comma - pos));
      long id = name.empty() ? -1 : store.CategoryId(name, true);
      if (id >= 0 && std::find(m_record.categoryIds.begin(), m_record.categoryIds.end(), DWORD(id)) ==
                         m_record.categoryIds.end())
        m_record.categoryIds.push_back(static_cast<DWORD>(id));
      pos = comma + 1;
    }
  }
  PimValue* v = m_record.fields;
  if (m_kind == PimKind::Contact && v[kFileAs].text.empty()) {
    // Filed as "Last, First" (or whichever name there is, else the company), as the
    // device's contact card files a new contact.
    std::wstring fileAs = v[kLastName].text;
    if (!v[kFirstName].text.empty()) fileAs += (fileAs.empty() ? L"" : L", ") + v[kFirstName].text;
    if (fileAs.empty()) fileAs = v[kCompany].text;
    v[kFileAs].text = fileAs;
    v[kFileAs].present = !fileAs.empty();
  }
  if (m_kind == PimKind::Appointment) {
    v[kRecurring].present = true;
    v[kRecurring].number = m_hasPattern ? 1 : 0;
    v[kRecurrence].present = m_hasPattern;
    v[kRecurrence].blob.clear();
    if (m_hasPattern) {
      DWORD start = CRecurrence::DateToMinutes(v[kStart].number);
      DWORD day = start - start % 1440;
      // The series begins on the appointment's day.
      if (m_pattern.startDay != day) m_pattern.startDay = day;
      m_pattern.startOffset = start - day;
      m_pattern.duration = static_cast<DWORD>(v[kDuration].number);
      v[kRecurrence].blob = m_pattern.Encode();
    }
  }
  bool created = m_record.recordOid == 0;
  if (!store.Write(m_kind, &m_record)) return E_FAIL;
  m_categoriesChanged = false;
  m_app->NotifyItem(created ? PIM_ITEM_CREATED_LOCAL : PIM_ITEM_CHANGED_LOCAL, Oid(), CPimStore::FolderOf(m_kind));
  return S_OK;
}

STDMETHODIMP CPimItem::Delete() {
  if (!m_record.recordOid) return E_FAIL;
  CPimStore& store = m_app->Store();
  if (m_isOccurrence) {
    PimRecord master;
    CRecurrence pattern;
    if (!store.Read(PimKind::Appointment, m_record.recordOid, &master)) return E_FAIL;
    const std::vector<BYTE>& blob = master.fields[kRecurrence].blob;
    if (!pattern.Decode(blob.data(), blob.size())) return HRESULT_FROM_WIN32(ERROR_INTERNAL_DB_CORRUPTION);
    auto& list = pattern.exceptions;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const CRecurrence::Exception& x) { return x.originalStart == m_originalStart; }),
               list.end());
    pattern.deleted.push_back(m_originalStart - m_originalStart % 1440);
    master.fields[kRecurrence].blob = pattern.Encode();
    if (!store.Write(PimKind::Appointment, &master)) return E_FAIL;
    m_app->NotifyItem(PIM_ITEM_CHANGED_LOCAL, store.ItemOid(PimKind::Appointment, master), 9);
    return S_OK;
  }
  DWORD oid = Oid();
  if (!store.Delete(m_kind, m_record.recordOid)) return E_FAIL;
  m_record.recordOid = 0;
  m_record.itemId = 0;
  m_app->NotifyItem(PIM_ITEM_DELETED_LOCAL, oid, CPimStore::FolderOf(m_kind));
  return S_OK;
}

HRESULT CPimItem::MakeCopy(CPimItem** copy) {
  // A copy is a new, unsaved item with the same values (an occurrence copies as a
  // single appointment).
  auto* item = new CPimItem(m_app, m_kind);
  item->m_record = m_record;
  item->m_record.recordOid = 0;
  item->m_record.itemId = 0;
  item->m_categories = CategoriesText();
  item->m_categoriesChanged = true;
  item->m_hasPattern = m_hasPattern && !m_isOccurrence;
  if (item->m_hasPattern) item->m_pattern = m_pattern;
  *copy = item;
  return S_OK;
}

// The copy goes out as the interface asked for; only an item of that kind has it.
template <class T>
HRESULT CPimItem::CopyAs(bool kindMatches, T** copy) {
  if (!copy) return E_POINTER;
  *copy = nullptr;
  if (!kindMatches) return E_NOINTERFACE;
  CPimItem* item = nullptr;
  HRESULT hr = MakeCopy(&item);
  *copy = item;
  return hr;
}

STDMETHODIMP CPimItem::Copy(IAppointment** copy) { return CopyAs(m_kind == PimKind::Appointment, copy); }
STDMETHODIMP CPimItem::Copy(ITask** copy) { return CopyAs(m_kind == PimKind::Task, copy); }
STDMETHODIMP CPimItem::Copy(IContact** copy) { return CopyAs(m_kind == PimKind::Contact, copy); }
STDMETHODIMP CPimItem::Copy(IItem** copy) { return CopyAs(true, copy); }

HRESULT CPimItem::ShowCard(bool edit) {
  // One occurrence of a series: the card asks whether the occurrence or the series is meant.
  return CItemCard::Show(Oid(), CPimStore::FolderOf(m_kind), edit, m_isOccurrence) ? S_OK : E_FAIL;
}
STDMETHODIMP CPimItem::Display() { return ShowCard(false); }
STDMETHODIMP CPimItem::Display(HWND) { return ShowCard(false); }
STDMETHODIMP CPimItem::Edit(HWND) { return ShowCard(true); }

STDMETHODIMP CPimItem::get_DefaultItemType(int* itemType) {
  if (!itemType) return E_POINTER;
  *itemType = static_cast<int>(m_kind);
  return S_OK;
}

STDMETHODIMP CPimItem::get_Application(IPOutlookApp** app) {
  if (!app) return E_POINTER;
  *app = m_app;
  m_app->AddRef();
  return S_OK;
}

bool CPimItem::Value(const wchar_t* name, double* number, std::wstring* text, bool* isText) const {
  struct Named {
    const wchar_t* name;
    PimField field;
    bool isText;
  };
  static const Named kNames[] = {
      {L"Subject", kSubject, true},      {L"Location", kLocation, true},     {L"Start", kStart, false},
      {L"Duration", kDuration, false},   {L"AllDayEvent", kAllDay, false},   {L"BusyStatus", kBusyStatus, false},
      {L"Sensitivity", kSensitivity, false}, {L"ReminderSet", kReminderSet, false},
      {L"StartDate", kTaskStart, false}, {L"DueDate", kTaskDue, false},      {L"Importance", kImportance, false},
      {L"Complete", kComplete, false},   {L"FirstName", kFirstName, true},   {L"MiddleName", kMiddleName, true},
      {L"LastName", kLastName, true},    {L"Suffix", kSuffix, true},         {L"Title", kTitle, true},
      {L"CompanyName", kCompany, true},  {L"FileAs", kFileAs, true},         {L"Birthday", kBirthday, false},
      {L"Anniversary", kAnniversary, false}, {L"MobileTelephoneNumber", kMobile, true},
  };
  *number = 0;
  text->clear();
  *isText = false;
  if (_wcsicmp(name, L"oid") == 0) {
    *number = Oid();
    return true;
  }
  if (_wcsicmp(name, L"End") == 0) {
    DATE end = 0;
    const_cast<CPimItem*>(this)->get_End(&end);
    *number = end;
    return true;
  }
  if (_wcsicmp(name, L"Categories") == 0) {
    *text = CategoriesText();
    *isText = true;
    return true;
  }
  if (_wcsicmp(name, L"IsRecurring") == 0) {
    *number = m_hasPattern ? 1 : 0;
    return true;
  }
  for (const Named& n : kNames)
    if (_wcsicmp(name, n.name) == 0) {
      *isText = n.isText;
      if (n.isText) *text = m_record.fields[n.field].text;
      else *number = m_record.fields[n.field].number;
      return true;
    }
  return false;
}

// Generic properties: the subject, the categories and the oid of an item.
STDMETHODIMP CPimItem::GetProps(const CEPROPID* ids, ULONG flags, WORD count, CEPROPVAL** values, ULONG* size,
                                HANDLE heap) {
  if (!ids) return E_INVALIDARG;
  std::vector<PropAnswer> answers(count);
  for (WORD i = 0; i < count; ++i) {
    PropAnswer& a = answers[i];
    a.found = ids[i] == PIMPR_SUBJECT || ids[i] == PIMPR_CATEGORIES || ids[i] == PIMPR_OID;
    if (ids[i] == PIMPR_SUBJECT)
      a.text = m_kind == PimKind::Contact ? m_record.fields[kFileAs].text : m_record.fields[kSubject].text;
    if (ids[i] == PIMPR_CATEGORIES) a.text = CategoriesText();
    if (ids[i] == PIMPR_OID) a.number = Oid();
  }
  return ReturnProps(ids, count, answers, flags, values, size, heap);
}

STDMETHODIMP CPimItem::SetProps(ULONG, WORD count, CEPROPVAL* values) {
  if (count && !values) return E_INVALIDARG;
  for (WORD i = 0; i < count; ++i) {
    const CEPROPVAL& v = values[i];
    if (v.propid == PIMPR_SUBJECT && v.val.lpwstr) {
      BSTR text = SysAllocString(v.val.lpwstr);
      PutText(m_kind == PimKind::Contact ? kFileAs : kSubject, text);
      SysFreeString(text);
    } else if (v.propid == PIMPR_CATEGORIES && v.val.lpwstr) {
      m_categories = v.val.lpwstr;
      m_categoriesChanged = true;
    } else {
      return E_INVALIDARG;
    }
  }
  return S_OK;
}
