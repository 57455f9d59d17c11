// Appointments and contacts written through the device's object model, as the
// device's own Calendar and Contacts write them, for the tests that read the stores.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/pimstore/pimstore.h"
#include "platform/windowlib/ComPtr.h"

namespace caltest {

// A text for the object model's setters, freed with the holder.
struct CBstrText {
  explicit CBstrText(const wchar_t* text) : b(SysAllocString(text)) {}
  ~CBstrText() { SysFreeString(b); }
  CBstrText(const CBstrText&) = delete;
  CBstrText& operator=(const CBstrText&) = delete;
  operator BSTR() const { return b; }
  BSTR b;
};

// A new appointment, not yet saved (the caller saves and releases it), or null.
inline IAppointment* NewAppointment(IPOutlookApp* app, const wchar_t* subject, double start, double end) {
  CComPtr<IDispatch> made;
  if (FAILED(app->CreateItem(olAppointmentItem, &made))) return nullptr;
  IAppointment* appt = nullptr;
  if (FAILED(made->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt)))) return nullptr;
  CBstrText text(subject);
  appt->put_Subject(text);
  appt->put_Start(start);
  appt->put_End(end);
  return appt;
}

// An all-day appointment of the given days as the object model takes it on each layout:
// the older one ends on the last day, the newer one on the day after.
inline IAppointment* NewAllDay(IPOutlookApp* app, const wchar_t* subject, double firstDay, int days, bool newer) {
  IAppointment* appt = NewAppointment(app, subject, firstDay, firstDay + (newer ? days : days - 1));
  if (appt) appt->put_AllDayEvent(VARIANT_TRUE);
  return appt;
}

// Saves the appointment and lets it go.
inline void SaveAppointment(IAppointment* appt) {
  ASSERT_NE(appt, nullptr);
  EXPECT_HRESULT_SUCCEEDED(appt->Save());
  appt->Release();
}

// A contact with a birthday and an anniversary (0: none), saved.
inline void AddContact(IPOutlookApp* app, const wchar_t* first, double birthday, double anniversary = 0) {
  CComPtr<IDispatch> made;
  ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olContactItem, &made));
  CComPtr<IContact> contact;
  ASSERT_HRESULT_SUCCEEDED(made->QueryInterface(IID_IContact, reinterpret_cast<void**>(&contact)));
  CBstrText name(first);
  contact->put_FirstName(name);
  if (birthday) contact->put_Birthday(birthday);
  if (anniversary) contact->put_Anniversary(anniversary);
  ASSERT_HRESULT_SUCCEEDED(contact->Save());
}

}  // namespace caltest
