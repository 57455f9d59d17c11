#include "platform/windowlib/DialogImpl.h"
#include "TestResources.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr UINT kAsk = WM_APP + 11;

class CTestDialog : public CDialogImpl<CTestDialog> {
public:
  enum { IDD = IDD_TEST_DIALOG };

  // The command the dialog sends itself once initialised; 0 for none.
  WORD autoCommand = 0;
  LPARAM initParam = -1;
  HWND handleAtInit = nullptr;
  int finalCalls = 0;
  HWND finalHandle = nullptr;
  HBRUSH editBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

  BEGIN_MSG_MAP(CTestDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(kAsk, OnAsk)
    MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColorEdit)
    COMMAND_ID_HANDLER(IDOK, OnEnd)
    COMMAND_ID_HANDLER(IDCANCEL, OnEnd)
    COMMAND_HANDLER(IDC_TEST_BUTTON, BN_CLICKED, OnButton)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    initParam = lParam;
    handleAtInit = m_hWnd;
    if (autoCommand) PostMessage(WM_COMMAND, MAKEWPARAM(autoCommand, BN_CLICKED), 0);
    return TRUE;
  }
  LRESULT OnAsk(UINT, WPARAM wParam, LPARAM, BOOL&) { return static_cast<LRESULT>(wParam) + 1000; }
  LRESULT OnCtlColorEdit(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(editBrush); }
  LRESULT OnEnd(WORD, WORD id, HWND, BOOL&) {
    EndDialog(id == IDOK ? 1 : 2);
    return 0;
  }
  LRESULT OnButton(WORD, WORD, HWND, BOOL&) {
    EndDialog(3);
    return 0;
  }
  void OnFinalMessage(HWND hWnd) override {
    ++finalCalls;
    finalHandle = hWnd;
  }
};

TEST(DialogImpl, AModalDialogEndsWithTheCodeItsHandlerGives) {
  struct Case {
    WORD command;
    INT_PTR expected;
  };
  const Case cases[] = {{IDOK, 1}, {IDCANCEL, 2}, {IDC_TEST_BUTTON, 3}};
  for (const Case& c : cases) {
    CTestDialog dialog;
    dialog.autoCommand = c.command;
    EXPECT_EQ(dialog.DoModal(nullptr, 0x1234), c.expected) << c.command;
    EXPECT_EQ(dialog.initParam, 0x1234);
    EXPECT_NE(dialog.handleAtInit, nullptr);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.finalCalls, 1);
    EXPECT_EQ(dialog.finalHandle, dialog.handleAtInit);
  }
}

TEST(DialogImpl, TheModalHookDrivesADialogWithoutAPerson) {
  struct Seen {
    HWND dialog = nullptr;
    bool hadEdit = false;
  } seen;
  CDialogImplBase::SetModalHook(
      [](HWND dialog, void* context) {
        auto* s = static_cast<Seen*>(context);
        s->dialog = dialog;
        s->hadEdit = GetDlgItem(dialog, IDC_TEST_EDIT) != nullptr;
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
      },
      &seen);
  CTestDialog dialog;
  INT_PTR result = dialog.DoModal(nullptr);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  EXPECT_EQ(result, 3);
  EXPECT_EQ(seen.dialog, dialog.handleAtInit);
  EXPECT_TRUE(seen.hadEdit);

  // Modeless dialogs are not handed to the hook.
  seen = Seen();
  CDialogImplBase::SetModalHook([](HWND, void* context) { static_cast<Seen*>(context)->hadEdit = true; }, &seen);
  ASSERT_NE(dialog.Create(nullptr), nullptr);
  CDialogImplBase::SetModalHook(nullptr, nullptr);
  EXPECT_FALSE(seen.hadEdit);
  dialog.DestroyWindow();
}

TEST(DialogImpl, AMissingTemplateFailsWithoutLeavingTheObjectPending) {
  CTestDialog dialog;
  EXPECT_EQ(dialog.CDialogImplBase::DoModal(9999, nullptr), -1);
  EXPECT_EQ(GetModule().ExtractCreateWndData(CModule::kDialogCreation), nullptr);
  EXPECT_EQ(dialog.CDialogImplBase::Create(9999, nullptr), nullptr);
  EXPECT_EQ(GetModule().ExtractCreateWndData(CModule::kDialogCreation), nullptr);
}

TEST(DialogImpl, HandledResultsGoWhereTheDialogManagerReadsThem) {
  CTestDialog dialog;
  HWND hWnd = dialog.Create(nullptr, 5);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_EQ(dialog.initParam, 5);
  EXPECT_NE(dialog.GetDlgItem(IDC_TEST_EDIT), nullptr);
  // An ordinary message's result travels through DWLP_MSGRESULT...
  EXPECT_EQ(dialog.SendMessage(kAsk, 7), 1007);
  // ...a colour message's is the procedure's own return value.
  HDC dc = GetDC(hWnd);
  EXPECT_EQ(dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_TEST_EDIT))),
            reinterpret_cast<LRESULT>(dialog.editBrush));
  ReleaseDC(hWnd, dc);
  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(dialog.finalCalls, 1);
  EXPECT_EQ(dialog.finalHandle, hWnd);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogImpl, TwoModelessDialogsKeepTheirOwnObjects) {
  CTestDialog first, second;
  ASSERT_NE(first.Create(nullptr, 1), nullptr);
  ASSERT_NE(second.Create(nullptr, 2), nullptr);
  EXPECT_EQ(first.initParam, 1);
  EXPECT_EQ(second.initParam, 2);
  EXPECT_NE(first.m_hWnd, second.m_hWnd);
  second.DestroyWindow();
  EXPECT_EQ(first.finalCalls, 0);
  EXPECT_EQ(second.finalCalls, 1);
  first.DestroyWindow();
}

// A property-sheet page bound from its creation callback.
class CTestPage : public CDialogImplBase {
public:
  HWND handleAtInit = nullptr;
  int finalCalls = 0;
  BEGIN_MSG_MAP(CTestPage)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(kAsk, OnAsk)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    handleAtInit = m_hWnd;
    return TRUE;
  }
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
  void OnFinalMessage(HWND) override { ++finalCalls; }
};

TEST(DialogImpl, APropertyPageIsBoundWhenTheSheetCreatesIt) {
  CTestPage page;
  PROPSHEETPAGEW record = {};
  record.dwSize = sizeof(record);
  record.hInstance = GetModule().GetResourceInstance();
  record.pszTemplate = MAKEINTRESOURCEW(IDD_TEST_DIALOG);
  page.InitPropSheetPage(record);
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(&record);
  ASSERT_NE(handle, nullptr);

  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_MODELESS;
  header.hInstance = GetModule().GetResourceInstance();
  header.pszCaption = L"Sheet";
  header.nPages = 1;
  header.phpage = &handle;
  HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  ASSERT_NE(sheet, nullptr);
  ASSERT_NE(page.m_hWnd, nullptr);
  EXPECT_EQ(page.handleAtInit, page.m_hWnd);
  EXPECT_EQ(GetParent(page.m_hWnd), sheet);
  EXPECT_EQ(page.SendMessage(kAsk), 77);
  DestroyWindow(sheet);
  EXPECT_EQ(page.finalCalls, 1);
  EXPECT_EQ(page.m_hWnd, nullptr);
  EXPECT_EQ(GetModule().ExtractCreateWndData(CModule::kDialogCreation), nullptr);
}

}  // namespace
