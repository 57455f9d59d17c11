// Built into the plug-in library itself: when it loads, the Special events tab takes
// its place among the panel's tabs.
#include "tabs/contacts/SpecialTab.h"

namespace {

struct SpecialTabInstaller {
  SpecialTabInstaller() { CSpecialTab::Install(); }
} installer;

}  // namespace
