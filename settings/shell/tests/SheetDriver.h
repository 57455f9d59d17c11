// Drives options sheets in place of a person: each step runs inside the sheet's modal
// run once the sheet is set up, in order. Steps select pages, tick boxes and press
// the sheet's buttons, or look at the sheet.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <utility>
#include <vector>

#include "settings/shell/OptionsSheet.h"

class CSheetDriver {
 public:
  using Step = std::function<void(HWND sheet)>;

  explicit CSheetDriver(std::vector<Step> steps) : m_steps(std::move(steps)) {
    COptionsSheetBase::SetRunHook(&CSheetDriver::Run, this);
  }
  ~CSheetDriver() { COptionsSheetBase::SetRunHook(nullptr, nullptr); }
  CSheetDriver(const CSheetDriver&) = delete;
  CSheetDriver& operator=(const CSheetDriver&) = delete;

  // How many sheets came up while the driver was set.
  int Runs() const { return m_runs; }
  // The sheet object whose steps run now (the innermost, when one runs over another).
  COptionsSheetBase* CurrentSheet() const { return m_current; }

  static HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  static Step SelectPage(int index) {
    return [index](HWND sheet) { SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); };
  }
  // A click on a control of the page shown, as the stylus gives it.
  static Step Click(int control) {
    return [control](HWND sheet) { SendDlgItemMessageW(CurrentPage(sheet), control, BM_CLICK, 0, 0); };
  }
  // OK, Cancel, or Apply (0x3021) of the sheet, pressed as its button would be.
  static Step Press(int button) {
    return [button](HWND sheet) {
      SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(sheet, button)));
    };
  }
  static const int kApply = 0x3021;

 private:
  static void Run(COptionsSheetBase& sheet, void* context) {
    auto* self = static_cast<CSheetDriver*>(context);
    ++self->m_runs;
    COptionsSheetBase* outer = self->m_current;
    self->m_current = &sheet;
    HWND window = sheet.m_hWnd;
    for (Step& step : self->m_steps) step(window);
    self->m_current = outer;
  }

  std::vector<Step> m_steps;
  int m_runs = 0;
  COptionsSheetBase* m_current = nullptr;
};
