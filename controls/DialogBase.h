// The base of the library's date dialogs (the dialogs that hold "no date" date
// pickers): a dialog object whose window fields start empty, run from a template of
// the resource library.
#pragma once
#include <windows.h>

#include "platform/windowlib/DialogImpl.h"

class CDialogBase : public CDialogImplBase {
 public:
  CDialogBase();
  ~CDialogBase() override = default;
};
