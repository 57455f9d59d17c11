// The item changes and new items of CPoomHelper: always through the object model,
// whatever PIM is chosen for showing items.
#include <cmath>
#include <cwchar>

#include "base/DateTime.h"
#include "ondrel/ComItem.h"
#include "ondrel/PoomHelper.h"
#include "pim/PocketInformantTools.h"
#include "pim/SystemUtils.h"

namespace {

const wchar_t kSeriesRestriction[] = L"[oid]=%lu AND [Start] >= <%ld AND [Start] < <%ld";

int Done(HRESULT hr) { return SUCCEEDED(hr) ? 1 : 0; }

// A text as the object model takes it; null for an empty or missing one.
class CBstr {
 public:
  explicit CBstr(LPCWSTR text) : m_text(text && *text ? SysAllocString(text) : nullptr) {}
  ~CBstr() {
    if (m_text) SysFreeString(m_text);
  }
  CBstr(const CBstr&) = delete;
  CBstr& operator=(const CBstr&) = delete;
  BSTR Get() const { return m_text; }
  explicit operator bool() const { return m_text != nullptr; }

 private:
  BSTR m_text;
};

DWORD OidOf(IUnknown* item) {
  ComPtr<IItem> generic = Query<IItem>(item, IID_IItem);
  long oid = 0;
  if (!generic || FAILED(generic->get_Oid(&oid))) return 0;
  return static_cast<DWORD>(oid);
}

double WholeDay(double date) { return std::floor(date); }

}  // namespace

int CPoomHelper::ChangeAppointment(DWORD oid, DWORD occurrenceDay, double start, double end, DWORD flag,
                                   DWORD allDay) {
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (!app) return 0;
  ComPtr<IDispatch> item;
  if (static_cast<double>(occurrenceDay) != kNoDate) {
    ComPtr<IFolder> folder;
    ComPtr<IPOutlookItemCollection> items;
    if (FAILED(app->GetDefaultFolder(ITEM_APPOINTMENT, folder.GetAddressOf())) || !folder ||
        FAILED(folder->get_Items(items.GetAddressOf())) || !items)
      return 0;
    items->put_IncludeRecurrences(VARIANT_TRUE);
    wchar_t restriction[128];
    swprintf(restriction, 128, kSeriesRestriction, static_cast<unsigned long>(oid), static_cast<long>(occurrenceDay),
             static_cast<long>(occurrenceDay) + 1);
    CBstr text(restriction);
    items->Find(text.Get(), item.GetAddressOf());
  } else {
    app->GetItemFromOid(static_cast<long>(oid), item.GetAddressOf());
  }
  ComPtr<IAppointment> appt = Query<IAppointment>(item.Get(), IID_IAppointment);
  if (!appt) return 0;
  if (start != kNoDate || end != kNoDate) {
    if (FAILED(appt->put_Start(start)) || FAILED(appt->put_End(end)) ||
        FAILED(appt->put_BusyStatus(static_cast<long>(flag))) ||
        FAILED(appt->put_AllDayEvent((allDay & 0xFFFF) ? VARIANT_TRUE : VARIANT_FALSE)))
      return 0;
    return Done(appt->Save());
  }
  if (flag == 0) return Done(appt->Delete());
  ComPtr<IAppointment> copy;
  if (FAILED(appt->Copy(copy.GetAddressOf())) || !copy) return 0;
  return Done(copy->Save());
}

int CPoomHelper::SetApptReminder(DWORD oid, LONG minutes) {
  ComPtr<IAppointment> appt = Query<IAppointment>(ItemFromOid(oid).Get(), IID_IAppointment);
  if (!appt) return 0;
  if (minutes < 0) {
    if (FAILED(appt->put_ReminderSet(VARIANT_FALSE))) return 0;
  } else if (FAILED(appt->put_ReminderSet(VARIANT_TRUE)) || FAILED(appt->put_ReminderMinutesBeforeStart(minutes))) {
    return 0;
  }
  return Done(appt->Save());
}

int CPoomHelper::DeleteItem(int kind, DWORD oid) {
  ComPtr<IDispatch> item = ItemFromOid(oid);
  if (kind == ITEM_TASK) {
    ComPtr<ITask> task = Query<ITask>(item.Get(), IID_ITask);
    return task ? Done(task->Delete()) : 0;
  }
  ComPtr<IContact> contact = Query<IContact>(item.Get(), IID_IContact);
  return contact ? Done(contact->Delete()) : 0;
}

int CPoomHelper::CopyItem(int kind, DWORD oid) {
  ComPtr<IDispatch> item = ItemFromOid(oid);
  if (kind == ITEM_TASK) {
    ComPtr<ITask> task = Query<ITask>(item.Get(), IID_ITask), copy;
    if (!task || FAILED(task->Copy(copy.GetAddressOf())) || !copy) return 0;
    return Done(copy->Save());
  }
  ComPtr<IContact> contact = Query<IContact>(item.Get(), IID_IContact), copy;
  if (!contact || FAILED(contact->Copy(copy.GetAddressOf())) || !copy) return 0;
  return Done(copy->Save());
}

int CPoomHelper::CompleteTask(DWORD oid, int complete) {
  ComPtr<ITask> task = Query<ITask>(ItemFromOid(oid).Get(), IID_ITask);
  if (!task) return 0;
  VARIANT_BOOL now = VARIANT_FALSE;
  if (FAILED(task->get_Complete(&now))) return 0;
  const bool wasComplete = now != VARIANT_FALSE;
  const bool becomes = complete < 0 ? !wasComplete : complete != 0;
  // Asked for the state it already has (a second tap, a view behind the store):
  // nothing changes and no repeat copy is made.
  if (becomes == wasComplete) return 1;
  if (becomes) {
    BSTR text = nullptr;
    task->get_Subject(&text);
    const CString subject = TakeBstr(text);
    double due = kNoDate;
    task->get_DueDate(&due);
    DWORD days = 0;
    if (due != kNoDate && CPocketInformantTools::ParseRepeatDays(subject, &days)) {
      ComPtr<ITask> copy;
      if (FAILED(task->Copy(copy.GetAddressOf())) || !copy) return 0;
      const double newDue = GetTodayDate() + days;
      double start = kNoDate;
      copy->get_StartDate(&start);
      if (FAILED(copy->put_DueDate(newDue))) return 0;
      if (start != kNoDate && FAILED(copy->put_StartDate(start + newDue - due))) return 0;
      if (FAILED(copy->Save())) return 0;
    }
  }
  if (FAILED(task->put_Complete(becomes ? VARIANT_TRUE : VARIANT_FALSE))) return 0;
  return Done(task->Save());
}

int CPoomHelper::ChangeTaskDate(DWORD oid, double start, double due, double reminder) {
  ComPtr<ITask> task = Query<ITask>(ItemFromOid(oid).Get(), IID_ITask);
  if (!task) return 0;
  const bool remind = reminder != kNoDate;
  if (FAILED(task->put_ReminderSet(remind ? VARIANT_TRUE : VARIANT_FALSE))) return 0;
  const BOOL newer = OndrelIsNewerPlatform();
  if (remind) {
    // Older devices remind on the day, not at a time of it.
    if (FAILED(task->put_ReminderTime(newer ? reminder : WholeDay(reminder)))) return 0;
  } else if (newer && FAILED(task->put_ReminderTime(kNoDate))) {
    return 0;
  }
  if (FAILED(task->put_StartDate(start)) || FAILED(task->put_DueDate(due))) return 0;
  return Done(task->Save());
}

int CPoomHelper::BeamItem(DWORD oid, int kind) {
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (!app) return 0;
  ComPtr<IDispatch> item = ItemFromOid(oid);
  ComPtr<IFolder> infrared;
  if (!item || FAILED(app->GetDefaultFolder(102, infrared.GetAddressOf())) || !infrared) return 0;
  if (FAILED(infrared->AddItemToInfraredFolder(kind, item.Get()))) return 0;
  if (HWND outlook = FindWindowW(L"PolApp Window", nullptr)) SetForegroundWindow(outlook);
  return Done(infrared->SendToInfrared());
}

int CPoomHelper::SetCategories(DWORD oid, LPCWSTR text) {
  ComPtr<IDispatch> item = ItemFromOid(oid);
  if (!item) return 0;
  BSTR value = SysAllocString(text ? text : L"");
  if (!value) return 0;
  int result = 0;
  if (ComPtr<ITask> task = Query<ITask>(item.Get(), IID_ITask)) {
    result = SUCCEEDED(task->put_Categories(value)) && SUCCEEDED(task->Save());
  } else if (ComPtr<IAppointment> appt = Query<IAppointment>(item.Get(), IID_IAppointment)) {
    result = SUCCEEDED(appt->put_Categories(value)) && SUCCEEDED(appt->Save());
  } else if (ComPtr<IContact> contact = Query<IContact>(item.Get(), IID_IContact)) {
    result = SUCCEEDED(contact->put_Categories(value)) && SUCCEEDED(contact->Save());
  }
  SysFreeString(value);
  return result;
}

int CPoomHelper::NewItemWithText2(int kind, LPCWSTR text, LPCWSTR text2) {
  return NewItem(kind, text, kNoDate, kNoDate, text2, 0);
}

DWORD CPoomHelper::CreateNewItem(int kind, LPCWSTR text, double date1, double date2, LPCWSTR text2, DWORD source) {
  IPOutlookApp* app = CPocketOutlook::GetInst();
  if (!app) return 0;
  CBstr categories(text);
  if (kind == ITEM_APPOINTMENT) {
    ComPtr<IAppointment> appt;
    if (source) {
      ComPtr<IAppointment> original = Query<IAppointment>(ItemFromOid(source).Get(), IID_IAppointment);
      if (!original || FAILED(original->Copy(appt.GetAddressOf())) || !appt) return 0;
      if (FAILED(appt->put_Start(kNoDate)) || FAILED(appt->Save())) return 0;
    } else {
      ComPtr<IDispatch> made;
      if (FAILED(app->CreateItem(olAppointmentItem, made.GetAddressOf()))) return 0;
      appt = Query<IAppointment>(made.Get(), IID_IAppointment);
      if (!appt) return 0;
    }
    if (categories && FAILED(appt->put_Categories(categories.Get()))) return 0;
    double start = date1, end = date2;
    if (start == kNoDate) {
      start = GetTodayDate() + 0.5;
      end = start + 1.0 / 24;
    } else if (end == kNoDate) {
      end = start + 1.0 / 24;
    }
    // Midnight to a later midnight is whole days.
    if (start == std::floor(start) && end == std::floor(end) && end > start) {
      if (FAILED(appt->put_AllDayEvent(VARIANT_TRUE))) return 0;
      if (OndrelIsNewerPlatform()) end += 1.0;
    }
    if (FAILED(appt->put_Start(start)) || FAILED(appt->put_End(end)) || FAILED(appt->Save())) return 0;
    return OidOf(appt.Get());
  }
  if (kind == ITEM_CONTACT) {
    ComPtr<IDispatch> made;
    if (FAILED(app->CreateItem(olContactItem, made.GetAddressOf()))) return 0;
    ComPtr<IContact> contact = Query<IContact>(made.Get(), IID_IContact);
    if (!contact) return 0;
    if (text2 && *text2) {
      CBstr company(text2);
      if (FAILED(contact->put_CompanyName(company.Get()))) return 0;
    } else {
      // The card shows the default title where a name goes, as Pocket Outlook's own
      // new contact does.
      CBstr title(LoadPocketOutlookString(TRUE));
      if (title && FAILED(contact->put_FirstName(title.Get()))) return 0;
    }
    if (categories && FAILED(contact->put_Categories(categories.Get()))) return 0;
    if (FAILED(contact->Save())) return 0;
    return OidOf(contact.Get());
  }
  if (kind == ITEM_TASK) {
    ComPtr<ITask> task;
    if (source) {
      ComPtr<ITask> original = Query<ITask>(ItemFromOid(source).Get(), IID_ITask);
      if (!original || FAILED(original->Copy(task.GetAddressOf())) || !task) return 0;
      BSTR text = nullptr;
      task->get_Subject(&text);
      const CString subject = TakeBstr(text);
      CString stripped;
      PI_SUBJECT_CODES codes = {};
      CPocketInformantTools::ParseItemTemplate(subject, stripped, &codes);
      CBstr plain(stripped);
      if (FAILED(task->put_Subject(plain.Get())) || FAILED(task->put_StartDate(kNoDate)) ||
          FAILED(task->put_DueDate(kNoDate)))
        return 0;
    } else {
      ComPtr<IDispatch> made;
      if (FAILED(app->CreateItem(olTaskItem, made.GetAddressOf()))) return 0;
      task = Query<ITask>(made.Get(), IID_ITask);
      if (!task) return 0;
    }
    if (categories && FAILED(task->put_Categories(categories.Get()))) return 0;
    if (date1 != kNoDate) {
      const double due = date2 != kNoDate ? date2 : date1;
      if (FAILED(task->put_StartDate(WholeDay(date1))) || FAILED(task->put_DueDate(WholeDay(due)))) return 0;
    }
    if (FAILED(task->Save())) return 0;
    return OidOf(task.Get());
  }
  return 0;
}

int CPoomHelper::NewItem(int kind, LPCWSTR text, double date1, double date2, LPCWSTR text2, DWORD source) {
  m_newStored = FALSE;
  m_newDate1 = date1;
  m_newDate2 = date2;
  m_newText = text ? text : L"";
  DWORD oid = 0;
  if (m_pim != 1 && m_pim != 3) {
    oid = CreateNewItem(kind, text, date1, date2, text2, source);
    if (!oid) return 0;
    Sleep(s_newItemPause);
  }
  DisplayItem(kind, oid, DISPLAY_NEW, kNoDate);
  return 1;
}

int CPoomHelper::NewItemFromNote(int kind, LPCWSTR path, BOOL temporary) {
  DWORD size = 0;
  void* data = path ? ReadWholeFile(path, &size) : nullptr;
  if (!data || size == 0) {
    if (data) LocalFree(data);
    return 0;
  }
  m_newText = path;
  m_newStored = TRUE;
  CEBLOB ink = {size, static_cast<BYTE*>(data)};
  DWORD oid = 0;
  IPOutlookApp* app = CPocketOutlook::GetInst();
  ComPtr<IDispatch> made;
  const int type = kind == ITEM_APPOINTMENT ? olAppointmentItem : kind == ITEM_CONTACT ? olContactItem
                   : kind == ITEM_TASK      ? olTaskItem
                                            : 0;
  if (app && type && SUCCEEDED(app->CreateItem(type, made.GetAddressOf()))) {
    if (ComPtr<IAppointment> appt = Query<IAppointment>(made.Get(), IID_IAppointment)) {
      if (SUCCEEDED(appt->put_BodyInk(&ink)) && SUCCEEDED(appt->put_BodyInk(&ink)) && SUCCEEDED(appt->Save()))
        oid = OidOf(appt.Get());
    } else if (ComPtr<IContact> contact = Query<IContact>(made.Get(), IID_IContact)) {
      CBstr title(LoadPocketOutlookString(TRUE));
      if ((!title || SUCCEEDED(contact->put_FirstName(title.Get()))) && SUCCEEDED(contact->put_BodyInk(&ink)) &&
          SUCCEEDED(contact->Save()))
        oid = OidOf(contact.Get());
    } else if (ComPtr<ITask> task = Query<ITask>(made.Get(), IID_ITask)) {
      if (SUCCEEDED(task->put_BodyInk(&ink)) && SUCCEEDED(task->Save())) oid = OidOf(task.Get());
    }
  }
  LocalFree(data);
  if (!oid) {
    m_newStored = FALSE;
    return 0;
  }
  if (temporary) DeleteFileW(path);
  DisplayItem(kind, oid, DISPLAY_NEW, kNoDate);
  m_newStored = FALSE;
  return 1;
}
