// The tasks list reads whatever another program left in the store: values cut short,
// flipped, of another type under the same identifier word, or missing. A seeded,
// bounded run over mutations of a full task in each layout: loading, a notification,
// the reminder repair and the note must all stay sound.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/coredll/Notify.h"
#include "pim/tests/CategoryFixtures.h"
#include "platform/tests/ByteMutator.h"
#include "tabs/tasks/TaskQuery.h"
#include "tabs/tasks/TasksList.h"
#include "tabs/tasks/tests/TaskStoreFixture.h"

using namespace tasktest;

namespace {

const double T = 47544.0;

class CNullViewer : public ITaskNoteViewer {
 public:
  BOOL ShowNote(HWND, const RECT&, LPCWSTR subject, LPCWSTR note) override {
    return subject && note && wcslen(note) < 1u << 20;
  }
};

void ExpectSound(CTasksList& list, int round) {
  for (int k = 0; k < list.GetTaskCount(); ++k) {
    const TASK_ITEM* t = list.GetTaskAt(k);
    ASSERT_GE(t->importance, -1) << round;
    ASSERT_LE(t->importance, 1) << round;
    ASSERT_TRUE(std::isfinite(t->start) && std::isfinite(t->due)) << round;
    ASSERT_NE(t->itemOid, 0u) << round;
  }
}

class TasksReaderFuzzTest : public ::testing::TestWithParam<bool> {
 protected:
  TasksReaderFuzzTest() : m_mode(GetParam()), store(GetParam()) {}
  CStoreMode m_mode;
  CTaskStore store;
};

INSTANTIATE_TEST_SUITE_P(Layouts, TasksReaderFuzzTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Newer" : "Older"; });

TEST_P(TasksReaderFuzzTest, AnyStoredTaskReadsSoundly) {
  StoredTask full;
  full.subject = L"|12: [TEMPLATE:x] seed";
  full.start = T - 1;
  full.due = T;
  full.importance = 1;
  full.note = NoteBytes(L"\xFEFF" L"a note");
  full.reminder = TRUE;
  full.offset = 960;
  full.reminderTime = T - 1;
  full.recurring = TRUE;
  full.privateValue = 1;
  std::vector<CEPROPVAL> seed = store.Props(full, 4242);
  // Categories to name: the older layout's identifier bits, the newer's associations.
  DropCategories(GetParam());
  for (long id : {1, 2, 9, 63}) cattest::WriteCategory(GetParam(), L"c", id);
  const std::string bits("\x26\x02\x00\x00\x00\x00\x00\x80\xFF", 9);
  if (GetParam()) {
    for (long id : {2, 9, 40}) cattest::WriteAssociation(0xC0000000 | 4242, id);
  } else {
    seed.push_back(Bytes(0x00160041, bits));
  }
  CCategoriesList categories;
  ASSERT_TRUE(categories.Open(nullptr));
  fixtures::ByteMutator mutator(9143 + (GetParam() ? 1 : 0));
  CNullViewer viewer;
  const int kRounds = 1000;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<CEPROPVAL> values;
    std::vector<std::string> keep;
    keep.reserve(seed.size() + 1);
    for (CEPROPVAL v : seed) {
      const WORD type = TypeFromPropID(v.propid);
      const int what = static_cast<int>(mutator.Below(9));
      if (what == 0) continue;  // left out
      if (what == 8) {
        // The same identifier word with another type.
        const WORD types[] = {CEVT_I2, CEVT_I4, CEVT_UI4, CEVT_FILETIME, CEVT_LPWSTR, CEVT_BLOB};
        v.propid = MAKELONG(types[mutator.Below(6)], HIWORD(v.propid));
        v.val = CEVALUNION{};
        if (TypeFromPropID(v.propid) == CEVT_LPWSTR) v.val.lpwstr = const_cast<LPWSTR>(L"x");
      } else if (type == CEVT_BLOB || type == CEVT_STREAM) {
        std::string bytes(reinterpret_cast<const char*>(v.val.blob.lpb), v.val.blob.dwCount);
        if (what <= 5) bytes = mutator.Edit(bytes, 6);
        keep.push_back(bytes);
        v.val.blob.dwCount = static_cast<DWORD>(keep.back().size());
        v.val.blob.lpb = keep.back().empty() ? nullptr : reinterpret_cast<BYTE*>(&keep.back()[0]);
      } else if (type == CEVT_LPWSTR) {
        if (what == 1) v.val.lpwstr = const_cast<LPWSTR>(L"");
        if (what == 2) v.val.lpwstr = const_cast<LPWSTR>(L"[TEMPLATE:");
      } else if (type == CEVT_FILETIME) {
        if (what <= 3) {
          v.val.filetime.dwLowDateTime = static_cast<DWORD>(mutator.Any());
          v.val.filetime.dwHighDateTime = what == 1 ? static_cast<DWORD>(mutator.Any()) : 0x01DC0000 + static_cast<DWORD>(mutator.Below(0x4000));
        }
      } else if (what <= 4) {
        const DWORD picks[] = {0, 1, 1439, 1440, 64097, 65056, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, static_cast<DWORD>(mutator.Any())};
        v.val.ulVal = picks[mutator.Below(10)];
        if (type == CEVT_I2) v.val.iVal = static_cast<short>(v.val.ulVal);
      }
      values.push_back(v);
    }
    const CEOID written = store.Write(0, values);
    ASSERT_NE(written, 0u) << "round " << round;
    CTasksList list;
    list.SetNoteViewer(&viewer);
    TASK_ITEM* first = nullptr;
    list.EnsureLoaded(&first, TRUE, 0);
    ExpectSound(list, round);
    if (HasFatalFailure()) return;
    CENOTIFICATION n{};
    n.dwSize = sizeof n;
    n.uType = (round & 1) ? 1030 : 1025;
    n.oid = written;
    list.OnDBNotification(&n, TRUE);
    ExpectSound(list, round);
    if (HasFatalFailure()) return;
    const DWORD oid = store.ItemOid(written);
    RECT place{};
    list.ShowTaskNote(place, nullptr, oid ? oid : written);
    if (!GetParam()) {
      list.GetReminderTime(written, TRUE);
      if (round % 50 == 0) list.UpdateReminder(written, T - 2 + (round % 7) * 0.3);
    }
    CTaskQuery query(&list);
    query.AddSortKeyDueDateAsc();
    query.AddSortKeyCategory();
    query.AddSortKeySubject();
    for (BOOL more = query.GetFirst(&first); more; more = query.GetNext(&first)) {
    }
    // What the rounds registered goes with their record.
    if (LONG handle = store.ReadLong(written, 0x00020003, 0))
      CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(static_cast<DWORD>(handle))));
    CeDeleteRecord(store.Handle(), written);
  }
  categories.Close();
  DropCategories(GetParam());
}

}  // namespace
