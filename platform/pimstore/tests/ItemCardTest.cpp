// Display and Edit: the card window a watching program recognises, driven here from a
// timer of the card's own message loop, and the record of what was asked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pimstore/tests/PimTestSupport.h"
#include "platform/windowlib/ComPtr.h"

namespace pimtest {
namespace {

const double kMonday = 46083.0;

typedef void(WINAPI* SetAutoCloseFn)(DWORD);
typedef DWORD(WINAPI* TakeRequestsFn)(PimCardRequest*, DWORD);

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::vector<HWND> OwnTopLevelDialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        if (IsWindowVisible(window) && ClassOf(window) == L"Dialog")
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the driving timer saw and did, in order.
std::vector<std::wstring> g_seen;
UINT g_questionAnswer = 9;

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND window : OwnTopLevelDialogs()) {
    HWND third = GetWindow(GetWindow(GetWindow(window, GW_CHILD), GW_HWNDNEXT), GW_HWNDNEXT);
    if (third && GetDlgCtrlID(third) == 8 && GetDlgCtrlID(GetWindow(third, GW_HWNDNEXT)) == 9) {
      g_seen.push_back(L"question");
      PostMessageW(window, WM_COMMAND, g_questionAnswer, 0);
      return;
    }
    HWND page = GetWindow(window, GW_CHILD);
    HWND list = page ? GetWindow(page, GW_CHILD) : nullptr;
    if (page && ClassOf(page) == L"Dialog" && list && ClassOf(list) == L"SysListView32" &&
        (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE)) {
      g_seen.push_back(L"card");
      PostMessageW(window, WM_COMMAND, 105, 0);
      PostMessageW(window, WM_CLOSE, 0, 0);
      return;
    }
  }
}

class ItemCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_HRESULT_SUCCEEDED(RegisterServer());
    UseLayout(true);
    ClearStores();
    app = CreateApp();
    ASSERT_TRUE(app);
    HMODULE module = GetModuleHandleW(L"pimstore.dll");
    setAutoClose = reinterpret_cast<SetAutoCloseFn>(reinterpret_cast<void*>(GetProcAddress(module, "PimCardSetAutoClose")));
    take = reinterpret_cast<TakeRequestsFn>(reinterpret_cast<void*>(GetProcAddress(module, "PimCardTakeRequests")));
    ASSERT_TRUE(setAutoClose && take);
    PimCardRequest old[16];
    while (take(old, 16)) {
    }
    // A daily series of three days.
    CComPtr<IDispatch> item;
    ASSERT_HRESULT_SUCCEEDED(app->CreateItem(olAppointmentItem, &item));
    ASSERT_HRESULT_SUCCEEDED(item->QueryInterface(IID_IAppointment, reinterpret_cast<void**>(&series)));
    series->put_Start(kMonday + 0.5);
    series->put_End(kMonday + 0.55);
    CComPtr<IRecurrencePattern> pattern;
    series->GetRecurrencePattern(&pattern);
    pattern->put_RecurrenceType(olRecursDaily);
    pattern->put_Occurrences(3);
    ASSERT_HRESULT_SUCCEEDED(series->Save());
    series->get_Oid(&oid);
  }
  void TearDown() override {
    if (setAutoClose) setAutoClose(0xFFFFFFFF);
    if (series) series->Release();
    if (app) app->Release();
    CoUninitialize();
  }
  IAppointment* Occurrence() {
    CComPtr<IRecurrencePattern> pattern;
    series->GetRecurrencePattern(&pattern);
    IAppointment* occurrence = nullptr;
    EXPECT_HRESULT_SUCCEEDED(pattern->GetOccurrence(kMonday + 1, &occurrence));
    return occurrence;
  }

  IPOutlookApp* app = nullptr;
  IAppointment* series = nullptr;
  long oid = 0;
  SetAutoCloseFn setAutoClose = nullptr;
  TakeRequestsFn take = nullptr;
};

TEST_F(ItemCardTest, ClosesByItselfAndRecordsWhatWasAsked) {
  setAutoClose(0);
  ASSERT_HRESULT_SUCCEEDED(series->Display());
  CComPtr<IItem> item;
  ASSERT_HRESULT_SUCCEEDED(series->QueryInterface(IID_IItem, reinterpret_cast<void**>(&item)));
  ASSERT_HRESULT_SUCCEEDED(item->Edit(nullptr));
  CComPtr<IAppointment> occurrence;
  occurrence.p = Occurrence();
  ASSERT_TRUE(occurrence);
  ASSERT_HRESULT_SUCCEEDED(occurrence->Display());
  PimCardRequest got[4];
  ASSERT_EQ(take(got, 4), 3u);
  const PimCardRequest expected[] = {{static_cast<DWORD>(oid), 9, 0, 0}, {static_cast<DWORD>(oid), 9, 1, 0},
                                     {static_cast<DWORD>(oid), 9, 0, 8}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].oid, expected[i].oid);
    EXPECT_EQ(got[i].folder, expected[i].folder);
    EXPECT_EQ(got[i].edit, expected[i].edit);
    EXPECT_EQ(got[i].occurrence, expected[i].occurrence);
  }
}

TEST_F(ItemCardTest, AWatcherFindsTheQuestionAndTheCardByTheirWindows) {
  setAutoClose(0xFFFFFFFF);
  struct Case {
    UINT answer;
    std::vector<std::wstring> seen;
  };
  const Case cases[] = {{9, {L"question", L"card"}}, {8, {L"question", L"card"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    g_seen.clear();
    g_questionAnswer = c.answer;
    CComPtr<IAppointment> occurrence;
    occurrence.p = Occurrence();
    ASSERT_TRUE(occurrence);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Drive);
    HRESULT hr = occurrence->Display();
    KillTimer(nullptr, timer);
    ASSERT_HRESULT_SUCCEEDED(hr);
    EXPECT_EQ(g_seen, c.seen);
    PimCardRequest got[2];
    ASSERT_EQ(take(got, 2), 1u);
    EXPECT_EQ(got[0].occurrence, c.answer);
  }
  // Closing the question opens no card.
  g_seen.clear();
  CComPtr<IAppointment> occurrence;
  occurrence.p = Occurrence();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window : OwnTopLevelDialogs()) PostMessageW(window, WM_CLOSE, 0, 0);
  });
  ASSERT_HRESULT_SUCCEEDED(occurrence->Display());
  KillTimer(nullptr, timer);
  PimCardRequest got[2];
  ASSERT_EQ(take(got, 2), 1u);
  EXPECT_EQ(got[0].occurrence, 2u);
}

TEST(PocketOutlookTexts, DefaultTitlesLoadByNumber) {
  // Programs load the default titles of new items from the object model's resource library.
  HMODULE texts = LoadLibraryExW(L"pimres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(texts);
  for (UINT id : {4209u, 4210u, 8006u}) {
    wchar_t text[256] = {};
    EXPECT_GT(LoadStringW(texts, id, text, 256), 0) << id;
  }
  FreeLibrary(texts);
}

}  // namespace
}  // namespace pimtest
