// One item of the store as the object model hands it out: an appointment (a single
// one, a series, or one occurrence of a series), a task or a contact. One object
// serves the interface of its kind and the generic item interface.
#pragma once
#include <windows.h>

#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/Recurrence.h"
#include "platform/pimstore/DispatchStubs.h"
#include "platform/pimstore/pimstore.h"

class CPimApp;

class CPimItem : public IAppointment, public ITask, public IContact, public IItem {
 public:
  CPimItem(CPimApp* app, PimKind kind);
  // An occurrence of the series master at its original start (minutes).
  static CPimItem* MakeOccurrence(CPimApp* app, const PimRecord& master, const CRecurrence& pattern,
                                  const CRecurrence::Occurrence& occurrence);
  // From a stored record; null when the record does not decode (a damaged recurrence).
  static CPimItem* FromRecord(CPimApp* app, PimKind kind, const PimRecord& record);

  PimKind Kind() const { return m_kind; }
  const PimRecord& Record() const { return m_record; }
  DWORD Oid() const;
  IDispatch* Dispatch();
  // The value the query language names, as a number or a text.
  bool Value(const wchar_t* name, double* number, std::wstring* text, bool* isText) const;
  CRecurrence& Pattern() { return m_pattern; }
  bool HasPattern() const { return m_hasPattern; }
  void SetHasPattern(bool has) { m_hasPattern = has; }
  CPimApp* App() const { return m_app; }

  // IUnknown, IDispatch (shared by every interface)
  PIM_DISPATCH_DECLARATIONS

  // Shared by the kinds
  STDMETHODIMP get_Subject(BSTR* text) override;
  STDMETHODIMP put_Subject(BSTR text) override;
  STDMETHODIMP get_Categories(BSTR* text) override;
  STDMETHODIMP put_Categories(BSTR text) override;
  STDMETHODIMP get_Sensitivity(long* value) override;
  STDMETHODIMP put_Sensitivity(long value) override;
  STDMETHODIMP get_ReminderSet(VARIANT_BOOL* set) override;
  STDMETHODIMP put_ReminderSet(VARIANT_BOOL set) override;
  STDMETHODIMP get_BodyInk(CEBLOB* ink) override;
  STDMETHODIMP put_BodyInk(CEBLOB* ink) override;
  STDMETHODIMP get_Oid(long* oid) override;
  STDMETHODIMP Save() override;
  STDMETHODIMP Delete() override;
  STDMETHODIMP Display() override;
  STDMETHODIMP Copy(IAppointment** copy) override;
  STDMETHODIMP Copy(ITask** copy) override;
  STDMETHODIMP Copy(IContact** copy) override;
  STDMETHODIMP Copy(IItem** copy) override;

  // IAppointment
  STDMETHODIMP GetRecurrencePattern(IRecurrencePattern** pattern) override;
  STDMETHODIMP ClearRecurrencePattern() override;
  STDMETHODIMP get_IsRecurring(VARIANT_BOOL* recurring) override;
  STDMETHODIMP get_Location(BSTR* text) override;
  STDMETHODIMP put_Location(BSTR text) override;
  STDMETHODIMP get_Start(DATE* date) override;
  STDMETHODIMP put_Start(DATE date) override;
  STDMETHODIMP get_End(DATE* date) override;
  STDMETHODIMP put_End(DATE date) override;
  STDMETHODIMP get_Duration(long* minutes) override;
  STDMETHODIMP put_Duration(long minutes) override;
  STDMETHODIMP get_AllDayEvent(VARIANT_BOOL* allDay) override;
  STDMETHODIMP put_AllDayEvent(VARIANT_BOOL allDay) override;
  STDMETHODIMP get_BusyStatus(long* status) override;
  STDMETHODIMP put_BusyStatus(long status) override;
  STDMETHODIMP get_ReminderMinutesBeforeStart(long* minutes) override;
  STDMETHODIMP put_ReminderMinutesBeforeStart(long minutes) override;

  // ITask
  STDMETHODIMP get_StartDate(DATE* date) override;
  STDMETHODIMP put_StartDate(DATE date) override;
  STDMETHODIMP get_DueDate(DATE* date) override;
  STDMETHODIMP put_DueDate(DATE date) override;
  STDMETHODIMP get_Importance(long* value) override;
  STDMETHODIMP put_Importance(long value) override;
  STDMETHODIMP get_Complete(VARIANT_BOOL* complete) override;
  STDMETHODIMP put_Complete(VARIANT_BOOL complete) override;
  STDMETHODIMP get_ReminderTime(DATE* date) override;
  STDMETHODIMP put_ReminderTime(DATE date) override;

  // IContact
  STDMETHODIMP get_FirstName(BSTR* text) override;
  STDMETHODIMP put_FirstName(BSTR text) override;
  STDMETHODIMP get_MiddleName(BSTR* text) override;
  STDMETHODIMP put_MiddleName(BSTR text) override;
  STDMETHODIMP get_LastName(BSTR* text) override;
  STDMETHODIMP put_LastName(BSTR text) override;
  STDMETHODIMP get_Title(BSTR* text) override;
  STDMETHODIMP put_Title(BSTR text) override;
  STDMETHODIMP get_Suffix(BSTR* text) override;
  STDMETHODIMP put_Suffix(BSTR text) override;
  STDMETHODIMP get_CompanyName(BSTR* text) override;
  STDMETHODIMP put_CompanyName(BSTR text) override;
  STDMETHODIMP get_FileAs(BSTR* text) override;
  STDMETHODIMP put_FileAs(BSTR text) override;
  STDMETHODIMP get_Birthday(DATE* date) override;
  STDMETHODIMP put_Birthday(DATE date) override;
  STDMETHODIMP get_Anniversary(DATE* date) override;
  STDMETHODIMP put_Anniversary(DATE date) override;
  STDMETHODIMP get_MobileTelephoneNumber(BSTR* text) override;
  STDMETHODIMP put_MobileTelephoneNumber(BSTR text) override;

  // IItem
  STDMETHODIMP GetProps(const CEPROPID* ids, ULONG flags, WORD count, CEPROPVAL** values, ULONG* size,
                        HANDLE heap) override;
  STDMETHODIMP SetProps(ULONG flags, WORD count, CEPROPVAL* values) override;
  STDMETHODIMP get_DefaultItemType(int* itemType) override;
  STDMETHODIMP get_Application(IPOutlookApp** app) override;
  STDMETHODIMP Display(HWND parent) override;
  STDMETHODIMP Edit(HWND parent) override;

 private:
  virtual ~CPimItem();
  HRESULT GetText(PimField field, BSTR* text) const;
  HRESULT PutText(PimField field, BSTR text);
  HRESULT GetNumber(PimField field, double* value) const;
  HRESULT PutNumber(PimField field, double value);
  HRESULT SaveOccurrence();
  HRESULT ShowCard(bool edit);
  HRESULT MakeCopy(CPimItem** copy);
  template <class T>
  HRESULT CopyAs(bool kindMatches, T** copy);
  std::wstring CategoriesText() const;

  LONG m_refs = 1;
  CPimApp* m_app;
  PimKind m_kind;
  PimRecord m_record;
  std::wstring m_categories;  // as put, until saved
  bool m_categoriesChanged = false;
  bool m_hasPattern = false;
  CRecurrence m_pattern;
  // An occurrence: the series' record and where the series put it.
  bool m_isOccurrence = false;
  DWORD m_originalStart = 0;
};
