// Linked into the plug-in library itself: as it loads, the router becomes the panel's
// one way to the tabs' data lists. Only a pointer is stored, as the loader lock allows.
#include "tabs/join/PanelDataRouter.h"

namespace {
struct CDataRouterInstaller {
  CDataRouterInstaller() { CPanelDataRouter::Install(); }
} g_installer;
}  // namespace
