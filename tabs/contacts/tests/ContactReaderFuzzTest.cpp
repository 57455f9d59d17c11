// The contacts list and the photo decoder read what other programs left: records with
// values cut, flipped or of odd sizes, and picture bytes of any kind. Seeded, bounded
// runs in each layout; nothing may crash and what loads must hang together.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/BitmapDC.h"
#include "base/ScreenDpi.h"
#include "graphics/Dib.h"
#include "platform/imaging/ImagingRegistration.h"
#include "platform/imaging/tests/EncodedImage.h"
#include "platform/tests/ByteMutator.h"
#include "tabs/contacts/ContactDetails.h"
#include "tabs/contacts/ContactPhotos.h"
#include "tabs/contacts/ContactsList.h"
#include "tabs/contacts/tests/ContactFixtures.h"

using contacttest::Date;

namespace {

void ExpectSound(CContactsList& list) {
  for (int i = 0; i < list.GetEventCount(); ++i) {
    CSpecialEventItem* e = list.GetEventAt(i);
    ASSERT_NE(list.GetAt(e->m_contactIndex), nullptr);
    if (i > 0) {
      ASSERT_LE(static_cast<int>(list.GetEventAt(i - 1)->m_dayIn2000), static_cast<int>(e->m_dayIn2000));
    }
  }
  for (int i = 0; i < list.GetCount(); ++i) {
    CONTACT_ITEM* c = list.GetAt(i);
    ASSERT_GE(c->m_defaultField, -1);
    ASSERT_LT(c->m_defaultField, kContactFieldCount);
    c->GetDefaultFieldText();
    CString name;
    c->GetDisplayName(name, TRUE, FALSE);
  }
}

class ContactReaderFuzzTest : public ::testing::TestWithParam<bool> {
 protected:
  ContactReaderFuzzTest() : m_mode(GetParam()), m_store(GetParam()) {}
  CStoreMode m_mode;
  contacttest::Store m_store;
  contacttest::NotifyWindow m_window;
};

TEST_P(ContactReaderFuzzTest, AnyStoredRecordLoadsSoundly) {
  const bool newer = GetParam();
  contacttest::Person seedPerson{L"Ann", L"M", L"Lee", L"Lee, Ann", L"Acme", L"Dr", L"Jr", L"note"};
  seedPerson.birthday = Date(1980, 2, 29);
  seedPerson.anniversary = Date(2001, 12, 31);
  contacttest::Written seedRecord = m_store.Add(seedPerson);
  const CEPROPID* fields = GetContactFieldTable(newer);
  for (int f = 0; f < kContactFieldCount; ++f) ASSERT_TRUE(m_store.SetText(seedRecord.recordOid, fields[f], L"555"));
  ASSERT_TRUE(m_store.SetLong(seedRecord.recordOid, newer ? 0x00F80013 : 0x00500003, fields[2]));
  if (!newer) {
    ASSERT_TRUE(m_store.SetBlob(seedRecord.recordOid, 0x00160041, {0xFF, 0x20, 0x01}));
    ASSERT_TRUE(m_store.SetLong(seedRecord.recordOid, 0x16880013, 7));
  }
  std::vector<pimtest::RawRecord> raw = pimtest::ReadRaw(L"Contacts Database", newer);
  ASSERT_EQ(raw.size(), 1u);
  const pimtest::RawRecord seed = raw[0];
  ASSERT_TRUE(m_store.Delete(seedRecord.recordOid));

  HANDLE db = m_store.Open();
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  fixtures::ByteMutator mutator(4501 + (newer ? 1 : 0));
  const int kRounds = 400;
  CContactsList list;
  list.SetNotifyWindow(m_window.Get());
  for (int round = 0; round < kRounds; ++round) {
    std::vector<CEPROPVAL> values;
    std::vector<std::vector<BYTE>> keep;
    keep.reserve(seed.values.size());
    for (const auto& entry : seed.values) {
      CEPROPVAL v = entry.second;
      WORD type = TypeFromPropID(v.propid);
      int what = static_cast<int>(mutator.Below(8));
      if (what == 0) continue;
      if (type == CEVT_BLOB || type == CEVT_STREAM) {
        auto found = seed.blobs.find(v.propid);
        keep.push_back(mutator.Edit(found != seed.blobs.end() ? found->second : std::vector<BYTE>(), 8));
        v.val.blob.dwCount = static_cast<DWORD>(keep.back().size());
        v.val.blob.lpb = keep.back().empty() ? nullptr : keep.back().data();
      } else if (type == CEVT_LPWSTR) {
        if (what == 1) v.val.lpwstr = const_cast<LPWSTR>(L"");
      } else if (type == CEVT_FILETIME) {
        if (what <= 2) {
          v.val.filetime.dwLowDateTime = static_cast<DWORD>(mutator.Any());
          v.val.filetime.dwHighDateTime = what == 1 ? static_cast<DWORD>(mutator.Any()) : 0x01C00000 + static_cast<DWORD>(mutator.Below(0x40000));
        }
      } else if (what <= 3) {
        const DWORD picks[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, fields[mutator.Below(kContactFieldCount)],
                               static_cast<DWORD>(mutator.Any())};
        v.val.ulVal = picks[mutator.Below(7)];
      }
      values.push_back(v);
    }
    CEOID written = CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data());
    ASSERT_NE(written, 0u) << "round " << round;
    if (newer && mutator.Below(3) == 0) {
      std::vector<BYTE> picture(mutator.Below(64));
      for (BYTE& b : picture) b = static_cast<BYTE>(mutator.Any());
      m_store.WritePicture(written, picture);
    }
    if (round % 40 == 0) {
      list.Close();
      list.SetNotifyWindow(m_window.Get());
      ASSERT_TRUE(list.Open());
    } else {
      CENOTIFICATION n{};
      n.dwSize = sizeof n;
      n.uType = (round % 3 == 0) ? 1030 : 1025;
      n.oid = written;
      list.OnDBNotification(&n, TRUE);
    }
    ExpectSound(list);
    if (HasFatalFailure()) return;
    for (int i = 0; i < list.GetCount(); ++i) {
      CONTACT_ITEM* c = list.GetAt(i);
      if (c->m_recordOid == written || c->m_itemOid == written) {
        CONTACT_DETAILS details(c->m_itemOid, c->m_recordOid);
        list.ReadContactDetails(&details, TRUE);
        list.GetDefaultField(c->m_itemOid);
        if (newer) c->GetPhoto();
      }
    }
    std::vector<CSpecialEventItem*> day;
    list.GetEventsOfDay(Date(2026, 1, 1) + static_cast<double>(mutator.Below(366)), day);
    list.GetNextEventDay(day);
    if (round % 5 == 4) {
      // Gone again, as another program may delete it.
      CeDeleteRecord(db, written);
      CENOTIFICATION n{};
      n.dwSize = sizeof n;
      n.uType = 1027;
      n.oid = written;
      list.OnDBNotification(&n, TRUE);
      ExpectSound(list);
      if (HasFatalFailure()) return;
    }
  }
  list.Close();
  CloseHandle(db);
}

INSTANTIATE_TEST_SUITE_P(BothStores, ContactReaderFuzzTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Legacy"; });

TEST(ContactPhotoFuzzTest, AnyPictureBytesGiveATileOrNothing) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    CImagingRegistration imaging;
    SetScreenDpi(96, 96);
    const GUID* formats[] = {&GUID_ContainerFormatJpeg, &GUID_ContainerFormatBmp, &GUID_ContainerFormatGif,
                             &GUID_ContainerFormatPng};
    std::vector<std::vector<BYTE>> seeds;
    for (const GUID* f : formats)
      seeds.push_back(fixtures::Encode(*f, 20, 12, [](int x, int y) { return RGB(x * 12, y * 20, 90); }));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"contactfuzz-" + std::to_wstring(GetCurrentProcessId()) + L".jpg";
    fixtures::ByteMutator mutator(4502);
    for (int round = 0; round < 600; ++round) {
      const std::vector<BYTE>& seed = seeds[mutator.Below(seeds.size())];
      std::vector<BYTE> bytes = mutator.Edit(seed, 8);
      HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(f, INVALID_HANDLE_VALUE);
      DWORD done = 0;
      if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
      CloseHandle(f);
      CDib dib;
      BOOL loaded = dib.LoadWithImgDecmp(path.c_str());
      std::unique_ptr<CBitmapDC> tile(MakePhotoTile(loaded ? &dib : nullptr));
      ASSERT_TRUE(tile) << "round " << round;
      ASSERT_EQ(tile->GetSize().cx, 36);
    }
    DeleteFileW(path.c_str());
    CDib::ReleaseImagingFactory();
  }
  CoUninitialize();
}

}  // namespace
