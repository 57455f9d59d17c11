// What the tabs tests share: the pages' sandboxed machine key and main window, and
// the Today items and custom tab keys other programs would have written.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "panel/Registration.h"
#include "panel/TodayItemInfo.h"
#include "platform/windowlib/DialogImpl.h"
#include "res/TarvoResIds.h"
#include "settings/pages/tests/PageRunner.h"
#include "settings/tabs/TabSetup.h"

class TabsTest : public PageRunTest {
 protected:
  void SetUp() override {
    PageRunTest::SetUp();
    ResetTabSetup();
    SetTodayItemDefaultsWrittenBack(FALSE);
    m_previousReload = SetHostsReload(&CountReload);
    Reloads() = 0;
  }
  void TearDown() override {
    SetHostsReload(m_previousReload);
    SetTodayItemDefaultsWrittenBack(TRUE);
    ResetTabSetup();
    PageRunTest::TearDown();
  }

  static int& Reloads() {
    static int reloads = 0;
    return reloads;
  }

  CRegistryView TodayItem(const std::wstring& name) const {
    return m_machine.Key((std::wstring(TODAY_ITEMS_KEY) + L"\\" + name).c_str());
  }
  // A Today item as its installer writes it; container empty: free.
  void MakeTodayItem(const std::wstring& name, const std::wstring& container = L"", DWORD enabled = 1,
                     DWORD version = 1, DWORD type = 4) const {
    CRegistryView item = TodayItem(name);
    item.WriteString(L"DLL", (L"\\Windows\\" + name + L".dll").c_str());
    item.WriteDWORD(L"Type", type);
    item.WriteDWORD(L"Enabled", enabled);
    item.WriteDWORD(L"Order", 10);
    if (version != 0xDEAD) item.WriteDWORD(L"STVersion", version);
    if (!container.empty()) item.WriteString(L"STEmbedded", container.c_str());
  }
  // The plug-in's own Today item, registered with its library.
  void RegisterOwnItem() const {
    CRegistryView item = TodayItem(TARVO_TODAY_ITEM_NAME);
    item.WriteString(L"DLL", TARVO_LIBRARY_PATH);
    item.WriteDWORD(L"Type", 4);
    item.WriteDWORD(L"Enabled", 1);
  }
  void MakeCustomTabKey(wchar_t id, const std::vector<std::wstring>& items) const {
    CRegistryView tab = m_machine.Key((std::wstring(TARVO_PRODUCT_KEY) + L"\\CustomTabs\\" + id).c_str());
    tab.WriteDWORD(L"SmartIcon", 0);
    tab.WriteString(L"IconName", L"default");
    tab.WriteDWORD(L"Upb", static_cast<DWORD>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) tab.WriteString((L"_" + std::to_wstring(i)).c_str(), items[i].c_str());
  }

 private:
  static void CountReload(DWORD) { ++Reloads(); }
  PFN_HOSTS_RELOAD m_previousReload = nullptr;
};

// Answers the tabs dialogs as a person would: each dialog that comes up runs the
// step given for its kind (found by its controls), then is ended with Cancel
// unless the step ended it. Nested dialogs come up inside their opener's step.
class CTabDialogScript {
 public:
  using Step = std::function<void(HWND dialog)>;
  struct Steps {
    Step edit, picker, icons;
  };
  explicit CTabDialogScript(Steps steps) : m_steps(std::move(steps)) {
    CDialogImplBase::SetModalHook(&CTabDialogScript::Run, this);
  }
  ~CTabDialogScript() { CDialogImplBase::SetModalHook(nullptr, nullptr); }
  CTabDialogScript(const CTabDialogScript&) = delete;
  CTabDialogScript& operator=(const CTabDialogScript&) = delete;

  int edits = 0, pickers = 0, chooser = 0;

  static void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }

 private:
  static void Run(HWND dialog, void* context) {
    auto* self = static_cast<CTabDialogScript*>(context);
    const Step* step = nullptr;
    if (GetDlgItem(dialog, IDC_PICKER_LIST)) {
      ++self->pickers;
      step = &self->m_steps.picker;
    } else if (GetDlgItem(dialog, IDC_TAB_EDIT_ITEMS)) {
      ++self->edits;
      step = &self->m_steps.edit;
    } else if (GetDlgItem(dialog, IDC_TAB_ICON_LIST)) {
      ++self->chooser;
      step = &self->m_steps.icons;
    }
    if (step && *step) (*step)(dialog);
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  Steps m_steps;
};

// The rows of a list view, as text.
inline std::vector<std::wstring> ListRows(HWND list) {
  std::vector<std::wstring> rows;
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    WCHAR text[128] = L"";
    ListView_GetItemText(list, i, 0, text, ARRAYSIZE(text));
    rows.push_back(text);
  }
  return rows;
}
