#include "controls/DialogBase.h"

CDialogBase::CDialogBase() {
  // A dialog object may be reused for a second run: it never carries a handle in.
  m_hWnd = nullptr;
}
