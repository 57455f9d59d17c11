// Contacts stores written for the tests: records as the device's object model writes
// them (its record writer), with the properties it does not know written raw, the
// way other programs on the device add them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "platform/coredll/tests/DatabaseTestSupport.h"
#include "platform/pimstore/PimStore.h"
#include "platform/pimstore/tests/PimTestSupport.h"

namespace contacttest {

struct Person {
  Person(const wchar_t* f = L"", const wchar_t* m = L"", const wchar_t* l = L"", const wchar_t* as = L"",
         const wchar_t* co = L"", const wchar_t* t = L"", const wchar_t* s = L"", const wchar_t* n = L"")
      : first(f), middle(m), last(l), fileAs(as), company(co), title(t), suffix(s), notes(n) {}
  std::wstring first, middle, last, fileAs, company, title, suffix, notes;
  double birthday = 0;  // 0: none
  double anniversary = 0;
  std::vector<std::wstring> categories;
};

struct Written {
  DWORD itemOid = 0;  // as the list reports it
  CEOID recordOid = 0;
};

inline double Date(int year, int month, int day) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  double v = 0;
  SystemTimeToVariantTime(&t, &v);
  return v;
}

class Store {
 public:
  explicit Store(bool newer) : m_newer(newer), m_store(newer) { pimtest::ClearStores(); }
  ~Store() { pimtest::ClearStores(); }
  bool Newer() const { return m_newer; }

  Written Add(const Person& p) {
    PimRecord record;
    auto text = [&](PimField f, const std::wstring& v) {
      if (v.empty()) return;
      record.fields[f].present = true;
      record.fields[f].text = v;
    };
    text(kFirstName, p.first);
    text(kMiddleName, p.middle);
    text(kLastName, p.last);
    text(kFileAs, p.fileAs);
    text(kCompany, p.company);
    text(kTitle, p.title);
    text(kSuffix, p.suffix);
    if (!p.notes.empty()) {
      record.fields[kNotes].present = true;
      const BYTE* b = reinterpret_cast<const BYTE*>(p.notes.c_str());
      record.fields[kNotes].blob.assign(b, b + (p.notes.size() + 1) * sizeof(wchar_t));
    }
    if (p.birthday) {
      record.fields[kBirthday].present = true;
      record.fields[kBirthday].number = p.birthday;
    }
    if (p.anniversary) {
      record.fields[kAnniversary].present = true;
      record.fields[kAnniversary].number = p.anniversary;
    }
    for (const std::wstring& c : p.categories) record.categoryIds.push_back(static_cast<DWORD>(m_store.CategoryId(c, true)));
    Written w;
    if (!m_store.Write(PimKind::Contact, &record)) return w;
    w.recordOid = record.recordOid;
    w.itemOid = m_store.ItemOid(PimKind::Contact, record);
    return w;
  }

  HANDLE Open() {
    CEGUID guid = pimtest::LayoutGuid(m_newer);
    CEOID oid = 0;
    return CeOpenDatabaseEx2(&guid, &oid, const_cast<LPWSTR>(L"Contacts Database"), nullptr, 0, nullptr);
  }

  // Raw properties onto a stored record.
  bool Set(CEOID record, std::vector<CEPROPVAL> values) {
    HANDLE db = Open();
    if (db == INVALID_HANDLE_VALUE) return false;
    CEOID done = CeWriteRecordProps(db, record, static_cast<WORD>(values.size()), values.data());
    CloseHandle(db);
    return done == record;
  }
  bool SetText(CEOID record, CEPROPID id, const wchar_t* text) {
    CEPROPVAL v = {};
    v.propid = id;
    v.val.lpwstr = const_cast<LPWSTR>(text);
    return Set(record, {v});
  }
  bool SetLong(CEOID record, CEPROPID id, DWORD value) {
    CEPROPVAL v = {};
    v.propid = id;
    v.val.ulVal = value;
    return Set(record, {v});
  }
  bool SetBlob(CEOID record, CEPROPID id, const std::vector<BYTE>& bytes) {
    CEPROPVAL v = {};
    v.propid = id;
    v.val.blob.dwCount = static_cast<DWORD>(bytes.size());
    v.val.blob.lpb = const_cast<BYTE*>(bytes.data());
    return Set(record, {v});
  }
  // The newer layout's picture stream of a record.
  bool WritePicture(CEOID record, const std::vector<BYTE>& bytes) {
    HANDLE db = Open();
    if (db == INVALID_HANDLE_VALUE) return false;
    DWORD index = 0;
    bool ok = CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, record, 0, &index) == record;
    HANDLE stream = ok ? CeOpenStream(db, 0x00FF0064, GENERIC_READ | GENERIC_WRITE) : INVALID_HANDLE_VALUE;
    ok = stream != INVALID_HANDLE_VALUE && stream != nullptr;
    if (ok) {
      DWORD written = 0;
      ok = CeStreamWrite(stream, const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), &written) &&
           written == bytes.size() && CeStreamSaveChanges(stream);
      CloseHandle(stream);
    }
    CloseHandle(db);
    return ok;
  }
  bool Delete(CEOID record) { return m_store.Delete(PimKind::Contact, record); }
  CPimStore& Raw() { return m_store; }

 private:
  bool m_newer;
  CPimStore m_store;
};

// A hidden window the list's database notifications are addressed to.
class NotifyWindow {
 public:
  NotifyWindow() { m_hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
  ~NotifyWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Get() const { return m_hwnd; }

 private:
  HWND m_hwnd;
};

}  // namespace contacttest
