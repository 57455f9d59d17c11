// calendarsample.exe: writes the emulated device's sample week into its calendar
// through the device's object model (the week of 16 March 2026, the device's clock):
// a daily series with one moved occurrence, two meetings that overlap, an all-day
// event, a three-day trip, a private and a free appointment. Run with the device's
// identity (CEDEVICE_PLATFORMTYPE=PocketPC, CEDEVICE_VERSION=5.1, CEDEVICE_ROOT) and
// "pimstore.dll" beside it; `cedbtool dump pim.vol` afterwards gives
// device/pim/calendar.txt (its "Appointments Database"). `calendarsample older` writes
// the same week as a Windows Mobile 2003 device keeps it (version 4.21, whatever the
// identity says): in the object store, where `cedbtool dump objectstore` finds it for
// device/pim/older/calendar.txt. A program for people, not a test.
#include <windows.h>

#include <cstdio>

#include "platform/pimstore/pimstore.h"

namespace {

const double kMonday = 46097.0;  // 2026-03-16
const double kHour = 1.0 / 24;

struct Text {
  explicit Text(const wchar_t* text) : b(SysAllocString(text)) {}
  ~Text() { SysFreeString(b); }
  BSTR b;
};

IAppointment* NewAppointment(IPOutlookApp* app) {
  IDispatch* made = nullptr;
  if (FAILED(app->CreateItem(olAppointmentItem, &made)) || !made) return nullptr;
  IAppointment* appointment = nullptr;
  made->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appointment));
  made->Release();
  return appointment;
}

struct Entry {
  const wchar_t* subject;
  const wchar_t* location;
  double start, end;
  bool allDay;
  long busy;
  long sensitivity;
  long reminder;  // minutes, -1 none
};

bool Save(IPOutlookApp* app, const Entry& e) {
  IAppointment* a = NewAppointment(app);
  if (!a) return false;
  Text subject(e.subject), location(e.location ? e.location : L"");
  a->put_Subject(subject.b);
  if (e.location) a->put_Location(location.b);
  a->put_Start(e.start);
  a->put_End(e.end);
  if (e.allDay) a->put_AllDayEvent(VARIANT_TRUE);
  a->put_BusyStatus(e.busy);
  a->put_Sensitivity(e.sensitivity);
  if (e.reminder >= 0) {
    a->put_ReminderSet(VARIANT_TRUE);
    a->put_ReminderMinutesBeforeStart(e.reminder);
  } else {
    a->put_ReminderSet(VARIANT_FALSE);
  }
  const bool ok = SUCCEEDED(a->Save());
  a->Release();
  return ok;
}

bool SaveSeries(IPOutlookApp* app) {
  IAppointment* a = NewAppointment(app);
  if (!a) return false;
  Text subject(L"Standup"), location(L"Room 2");
  a->put_Subject(subject.b);
  a->put_Location(location.b);
  a->put_Start(kMonday + 9 * kHour);
  a->put_End(kMonday + 9.25 * kHour);
  a->put_BusyStatus(olBusy);
  IRecurrencePattern* pattern = nullptr;
  bool ok = SUCCEEDED(a->GetRecurrencePattern(&pattern)) && pattern;
  if (ok) {
    pattern->put_RecurrenceType(olRecursDaily);
    pattern->put_Interval(1);
    pattern->put_Occurrences(5);
    ok = SUCCEEDED(a->Save());
    // Wednesday's standup moves to 10:00.
    IAppointment* moved = nullptr;
    if (ok && SUCCEEDED(pattern->GetOccurrence(kMonday + 2, &moved)) && moved) {
      moved->put_Start(kMonday + 2 + 10 * kHour);
      moved->put_End(kMonday + 2 + 10.25 * kHour);
      ok = SUCCEEDED(moved->Save());
      moved->Release();
    }
    pattern->Release();
  }
  a->Release();
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 2 || (argc == 2 && lstrcmpW(argv[1], L"older") != 0)) {
    fwprintf(stderr, L"usage: calendarsample [older]\n");
    return 2;
  }
  // The object model takes its layout from the device's version as it starts.
  if (argc == 2) SetEnvironmentVariableW(L"CEDEVICE_VERSION", L"4.21");
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // The object model straight from its library, registered or not.
  IPOutlookApp* app = nullptr;
  HMODULE module = LoadLibraryW(L"pimstore.dll");
  auto getClass = module ? reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
                               reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")))
                         : nullptr;
  IClassFactory* factory = nullptr;
  if (getClass && SUCCEEDED(getClass(CLSID_Application, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    factory->CreateInstance(nullptr, IID_IPOutlookApp, reinterpret_cast<void**>(&app));
    factory->Release();
  }
  if (!app) {
    fwprintf(stderr, L"calendarsample: no object model\n");
    return 1;
  }
  const double M = kMonday;
  const Entry entries[] = {
      {L"Design review", L"Room 4", M + 10 * kHour, M + 11.5 * kHour, false, olBusy, 0, 15},
      {L"Budget call", nullptr, M + 11 * kHour, M + 12 * kHour, false, olBusy, 0, -1},
      {L"Dentist", nullptr, M + 16 * kHour, M + 17 * kHour, false, olOutOfOffice, 2, 60},
      {L"Lunch with Anna", L"Harbour Cafe", M + 1 + 12 * kHour, M + 1 + 13 * kHour, false, olFree, 0, -1},
      {L"Trip to Oslo", L"Oslo", M + 2 + 18 * kHour, M + 4 + 14 * kHour, false, olOutOfOffice, 0, -1},
      {L"Team day", nullptr, M + 3, M + 3, true, olTentative, 0, -1},
      {L"Release planning", L"Room 4", M + 1 + 14 * kHour, M + 1 + 15.5 * kHour, false, olTentative, 0, -1},
  };
  bool ok = SaveSeries(app);
  for (const Entry& e : entries) ok = Save(app, e) && ok;
  app->Release();
  CoUninitialize();
  return ok ? 0 : 1;
}
