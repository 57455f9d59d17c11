#include "settings/shell/TextEntryDlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/shell/tests/ShellTestSupport.h"

namespace {


// Runs the dialog with step inside its modal run.
INT_PTR RunDialog(CTextEntryDlg& dialog, std::function<void(HWND)> step) {
  CDialogImplBase::SetModalHook([](HWND hwnd, void* context) { (*static_cast<std::function<void(HWND)>*>(context))(hwnd); },
                                &step);
  INT_PTR result = dialog.DoModal(nullptr);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  return result;
}

TEST(TextEntryDlgTest, CandidatesWithTheItemsNamePreselectedAndOkTakesTheText) {
  CProductResources library;
  CTextEntryDlg dialog(L"Work");
  for (LPCWSTR name : {L"Home", L"Work", L"Travel"}) dialog.AddCandidate(name);
  LRESULT count = 0, selected = -1;
  INT_PTR result = RunDialog(dialog, [&](HWND hwnd) {
    HWND combo = GetDlgItem(hwnd, IDC_TEXT_ENTRY_COMBO);
    count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    SetWindowTextW(combo, L"Holidays");
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(std::wstring(dialog.GetResult()), L"Holidays");
}

TEST(TextEntryDlgTest, CancelEmptiesTheResultAndNoItemLeavesTheBoxEmpty) {
  CProductResources library;
  CTextEntryDlg dialog;
  dialog.AddCandidate(L"Home");
  LRESULT count = -1;
  LRESULT answer62 = 0;
  INT_PTR result = RunDialog(dialog, [&](HWND hwnd) {
    count = SendDlgItemMessageW(hwnd, IDC_TEXT_ENTRY_COMBO, CB_GETCOUNT, 0, 0);
    answer62 = SendMessageW(hwnd, 0x62, 0, 0);
    SetDlgItemTextW(hwnd, IDC_TEXT_ENTRY_COMBO, L"typed");
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(answer62, 1);
  EXPECT_TRUE(dialog.GetResult().IsEmpty());
}

}  // namespace
