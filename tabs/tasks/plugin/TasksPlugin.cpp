// Linked into the plug-in library: as the library loads, the Tasks tab takes its
// place in the panel's tab factory (the tasks list hears of the store's changes through
// the library's one data-list router, tabs/join). Only pointers are stored here, as
// the loader lock allows.
#include "tabs/tasks/TasksTab.h"

namespace {

struct CTasksPlugin {
  CTasksPlugin() {
    CTasksTab::Install();
  }
} g_tasksPlugin;

}  // namespace
