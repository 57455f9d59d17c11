// The mail folder chooser over a fake folder source: what each choice answers.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/ScreenDpi.h"
#include "base/TaggedBlob.h"
#include "controls/TreeChooserDlg.h"
#include "controls/tests/DialogFixtures.h"
#include "platform/aygshell/AygTest.h"

namespace {

using dlgtest::RunModal;

// Two accounts: "Work" (a selectable store of kind 7) with "Inbox" and "Sent",
// and a heading that cannot be chosen with "Drafts" under it. The tree window
// is subclassed to record what is reflected to it.
class FakeFolderSource : public IMailFolderSource {
 public:
  BOOL Fill(HWND tree) override {
    ++fills;
    recorder.SubclassWindow(tree);
    HTREEITEM work = Add(tree, TVI_ROOT, L"Work", true, true, 7, {});
    Add(tree, work, L"Inbox", true, false, 0, {1, 2, 3});
    Add(tree, work, L"Sent", true, false, 0, {4, 5});
    HTREEITEM heading = Add(tree, TVI_ROOT, L"Local", false, false, 0, {});
    Add(tree, heading, L"Drafts", true, false, 0, {9});
    return fillResult;
  }
  const MAIL_FOLDER_NODE* GetItemData(HTREEITEM item) override {
    auto found = nodes.find(item);
    return found == nodes.end() ? nullptr : &found->second;
  }
  HTREEITEM Find(const std::wstring& name) const {
    for (const auto& entry : nodes)
      if (std::wstring(entry.second.name) == name) return entry.first;
    return nullptr;
  }

  class Recorder : public CWindowThunk {
   public:
    BEGIN_MSG_MAP(Recorder)
      MESSAGE_HANDLER(OCM_NOTIFY, OnReflected)
    END_MSG_MAP()
    LRESULT OnReflected(UINT, WPARAM, LPARAM lParam, BOOL&) {
      codes.push_back(static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code));
      return 0;
    }
    std::vector<int> codes;
  } recorder;

  BOOL fillResult = TRUE;
  int fills = 0;
  std::map<HTREEITEM, MAIL_FOLDER_NODE> nodes;

 private:
  HTREEITEM Add(HWND tree, HTREEITEM parent, LPCWSTR name, bool selectable, bool store, DWORD kind,
                std::vector<BYTE> id) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(name);
    HTREEITEM item = TreeView_InsertItem(tree, &insert);
    MAIL_FOLDER_NODE& node = nodes[item];
    node.name = name;
    node.selectable = selectable;
    node.isStore = store;
    node.storeKind = kind;
    node.folderId.Assign(id.data(), static_cast<DWORD>(id.size()));
    return item;
  }
};

std::vector<BYTE> Bytes(const CBlobObj& blob) {
  return std::vector<BYTE>(blob.GetData(), blob.GetData() + blob.GetSize());
}

class TreeChooserDlgTest : public ::testing::Test {
 protected:
  dlgtest::DialogEnvironment env;
};

TEST_F(TreeChooserDlgTest, EachChoiceAnswers) {
  CBlobObj workStore;
  PackKindText(7, L"Work", workStore);
  struct Case {
    const wchar_t* choose;  // null: nothing selected
    INT_PTR result;
    const wchar_t* text;
    bool isStore;
    std::vector<BYTE> id;
  } cases[] = {
      {L"Inbox", IDOK, L"Work - Inbox", false, {1, 2, 3}},
      {L"Work", IDOK, L"Work", true, Bytes(workStore)},
      {L"Drafts", IDOK, L"Drafts", false, {9}},  // its parent cannot be chosen
      {L"Local", IDCANCEL, L"", false, {}},
      {nullptr, IDCANCEL, L"", false, {}},
  };
  for (const Case& c : cases) {
    FakeFolderSource source;
    CTreeChooserDlg dialog(L"Move to", &source);
    INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
      EXPECT_EQ(source.fills, 1);
      EXPECT_EQ(dlgtest::WindowText(dlg), L"Move to");
      HWND tree = GetDlgItem(dlg, IDC_CHOOSER_TREE);
      TreeView_SelectItem(tree, c.choose ? source.Find(c.choose) : nullptr);
      dlgtest::Press(dlg, IDOK);
    });
    const wchar_t* name = c.choose ? c.choose : L"(none)";
    EXPECT_EQ(result, c.result) << name;
    EXPECT_EQ(std::wstring(dialog.GetResult().text), c.text) << name;
    EXPECT_EQ(dialog.GetResult().isStore != FALSE, c.isStore) << name;
    EXPECT_EQ(Bytes(dialog.GetResult().id), c.id) << name;
  }
}

TEST_F(TreeChooserDlgTest, TreeNotificationsAndTheRunningDialog) {
  FakeFolderSource source;
  CTreeChooserDlg dialog(nullptr, &source);
  bool stayedDisabled = false;
  INT_PTR result = RunModal([&] { return dialog.DoModal(env.Owner()); }, [&](HWND dlg) {
    dlgtest::ExpectOwnerDisabledThroughErase(dlg, env.Owner(), stayedDisabled);
    EXPECT_NE(SHFindMenuBar(dlg), nullptr);
    HWND tree = GetDlgItem(dlg, IDC_CHOOSER_TREE);
    EXPECT_EQ(GetFocus(), tree) << "a filled chooser focuses its first control";
    NMHDR header = {tree, IDC_CHOOSER_TREE, static_cast<UINT>(NM_CLICK)};
    SendMessageW(dlg, WM_NOTIFY, IDC_CHOOSER_TREE, reinterpret_cast<LPARAM>(&header));
    header.code = static_cast<UINT>(NM_RETURN);
    SendMessageW(dlg, WM_NOTIFY, IDC_CHOOSER_TREE, reinterpret_cast<LPARAM>(&header));
    header.code = static_cast<UINT>(NM_SETFOCUS);
    SendMessageW(dlg, WM_NOTIFY, IDC_CHOOSER_TREE, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(source.recorder.codes, (std::vector<int>{static_cast<int>(NM_CLICK), static_cast<int>(NM_RETURN)})) << "taps and Enter reach the tree";
    header.code = static_cast<UINT>(kChooserQueryNotification);
    SendMessageW(dlg, WM_NOTIFY, IDC_CHOOSER_TREE, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(GetWindowLongPtrW(dlg, DWLP_MSGRESULT), 1);

    // The shell scrolled the dialog: the header strip still in sight is repainted.
    ShowWindow(dlg, SW_SHOWNA);  // a hidden window keeps no update region
    ValidateRect(dlg, nullptr);
    SendMessageW(dlg, RegisterWindowMessageW(L"PPCD_ScrollMessage"), 10, 0);
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(dlg, &dirty, FALSE));
    EXPECT_EQ(dirty.top, 0);
    EXPECT_EQ(dirty.bottom, 1 + ScaleY(23));
    ValidateRect(dlg, nullptr);
    SendMessageW(dlg, RegisterWindowMessageW(L"PPCD_ScrollMessage"), 10, 0);
    EXPECT_FALSE(GetUpdateRect(dlg, &dirty, FALSE)) << "the same position repaints nothing";

    // The input panel going up gives the tree the client height less 8 pixels.
    AygTestShowInputPanel(TRUE);
    dlgtest::Pump();
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    ASSERT_TRUE(SipGetInfo(&sip));
    RECT own{}, treeRect{};
    GetWindowRect(dlg, &own);
    GetWindowRect(tree, &treeRect);
    const int height = std::min<int>(own.bottom - own.top, sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top);
    const int width = std::min<int>(own.right - own.left, sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left);
    EXPECT_EQ(treeRect.bottom - treeRect.top, height - ScaleY(8));
    EXPECT_EQ(treeRect.right - treeRect.left, width);
    AygTestShowInputPanel(FALSE);
    dlgtest::Pump();
    dlgtest::Press(dlg, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(stayedDisabled);
}

}  // namespace
