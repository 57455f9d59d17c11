// The appointments list reads whatever another program left in the store: records cut
// short, blobs with flipped bytes, values of any size. A seeded, bounded run over
// mutations of a real series record in each layout; the list must load, stay sorted and
// keep its busy intervals disjoint.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "base/tests/DeviceRoot.h"
#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/tests/ByteMutator.h"
#include "platform/windowlib/ComPtr.h"
#include "tabs/calendar/AppointmentsList.h"
#include "tabs/calendar/CompareAppointments.h"

namespace {

const double kMonday = 46083.0;

void ExpectSound(CAppointmentsList& list, const char* step) {
  CAppointmentRecord* previous = nullptr;
  CAppointmentRecord* r = nullptr;
  for (BOOL more = list.GetFirst(&r); more; more = list.GetNext(&r)) {
    ASSERT_NE(r->m_itemId, 0u) << step;
    if (previous) {
      ASSERT_LE(CompareAppointments(*previous, *r), 0) << step;
    }
    previous = r;
  }
  DWORD end = 0;
  for (const auto& iv : list.GetIntervals()) {
    ASSERT_LT(iv.start, iv.end) << step;
    ASSERT_GE(iv.start, end) << step;
    end = iv.end;
  }
}

class AppointmentsReaderFuzzTest : public ::testing::TestWithParam<bool> {
 protected:
  AppointmentsReaderFuzzTest() : m_store(GetParam()) {}
  CStoreMode m_store;
};

TEST_P(AppointmentsReaderFuzzTest, AnyStoredRecordLoadsSoundly) {
  const bool newer = GetParam();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_HRESULT_SUCCEEDED(pimtest::RegisterServer());
  pimtest::UseLayout(newer);
  pimtest::ClearStores();
  {
    // One series with an exception, as the object model writes it: the seed.
    IPOutlookApp* app = pimtest::CreateApp();
    ASSERT_TRUE(app);
    CComPtr<IDispatch> made;
    ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olAppointmentItem, &made));
    CComPtr<IAppointment> appt;
    ASSERT_HRESULT_SUCCEEDED(made->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&appt)));
    appt->put_Start(kMonday - 2 + 0.25);
    appt->put_End(kMonday - 2 + 0.30);
    CComPtr<IRecurrencePattern> pattern;
    appt->GetRecurrencePattern(&pattern);
    pattern->put_RecurrenceType(olRecursDaily);
    pattern->put_NoEndDate(VARIANT_TRUE);
    ASSERT_HRESULT_SUCCEEDED(appt->Save());
    CComPtr<IAppointment> moved;
    ASSERT_HRESULT_SUCCEEDED(pattern->GetOccurrence(kMonday + 1, &moved));
    BSTR subject = SysAllocString(L"moved");
    moved->put_Subject(subject);
    SysFreeString(subject);
    moved->put_Start(kMonday + 1 + 0.5);
    moved->put_End(kMonday + 1 + 0.6);
    ASSERT_HRESULT_SUCCEEDED(moved->Save());
    app->Release();
  }
  std::vector<pimtest::RawRecord> raw = pimtest::ReadRaw(L"Appointments Database", newer);
  ASSERT_EQ(raw.size(), 1u);
  const pimtest::RawRecord seed = raw[0];

  CEGUID guid = pimtest::LayoutGuid(newer);
  CEOID dbOid = 0;
  HANDLE db = CeOpenDatabaseEx2(&guid, &dbOid, const_cast<LPWSTR>(L"Appointments Database"), nullptr, 0, nullptr);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);

  fixtures::ByteMutator mutator(3801 + (newer ? 1 : 0));
  const int kRounds = 1000;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<CEPROPVAL> values;
    std::vector<std::vector<BYTE>> keep;
    keep.reserve(seed.values.size());
    for (const auto& entry : seed.values) {
      CEPROPVAL v = entry.second;
      WORD type = TypeFromPropID(v.propid);
      const int what = static_cast<int>(mutator.Below(8));
      if (what == 0) continue;  // left out
      if (type == CEVT_BLOB || type == CEVT_STREAM) {
        auto found = seed.blobs.find(v.propid);
        std::vector<BYTE> bytes = found != seed.blobs.end() ? found->second : std::vector<BYTE>();
        if (what >= 1 && what <= 5) bytes = mutator.Mutate(bytes);
        keep.push_back(bytes);
        v.val.blob.dwCount = static_cast<DWORD>(keep.back().size());
        v.val.blob.lpb = keep.back().empty() ? nullptr : keep.back().data();
      } else if (type == CEVT_LPWSTR) {
        if (what == 1) v.val.lpwstr = const_cast<LPWSTR>(L"");
      } else if (type == CEVT_FILETIME) {
        if (what <= 2) {
          v.val.filetime.dwLowDateTime = mutator.Any();
          v.val.filetime.dwHighDateTime =
              what == 1 ? mutator.Any() : 0x01DC0000 + static_cast<DWORD>(mutator.Below(0x4000));
        }
      } else if (what <= 3) {
        const DWORD picks[] = {0, 1, 1439, 1440, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, mutator.Any()};
        v.val.ulVal = picks[mutator.Below(8)];
      }
      values.push_back(v);
    }
    CEOID written = CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data());
    ASSERT_NE(written, 0u) << "round " << round;
    CAppointmentsList list;
    list.SetRange(kMonday, kMonday + 7);
    list.GetFirst(nullptr);
    ExpectSound(list, "load");
    if (HasFatalFailure()) return;
    // And as a notification would bring it.
    CENOTIFICATION n{};
    n.dwSize = sizeof n;
    n.uType = (round & 1) ? CAppointmentsList::kRecordChanged : CAppointmentsList::kRecordCreated;
    n.oid = written;
    list.OnDatabaseNotify(&n, TRUE);
    ExpectSound(list, "notify");
    if (HasFatalFailure()) return;
    list.Close();
    CeDeleteRecord(db, written);
  }
  CloseHandle(db);
  pimtest::ClearStores();
  CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(BothStores, AppointmentsReaderFuzzTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Legacy"; });

}  // namespace
