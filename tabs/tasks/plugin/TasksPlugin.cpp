// Linked into the plug-in library: as the library loads, the Tasks tab takes its
// place in the panel's tab factory and the tasks list its share of the panel's
// notifications. Only pointers are stored here, as the loader lock allows.
#include "tabs/tasks/TasksDataLists.h"
#include "tabs/tasks/TasksTab.h"

namespace {

struct CTasksPlugin {
  CTasksPlugin() {
    CTasksTab::Install();
    CTasksDataLists::Install();
  }
} g_tasksPlugin;

}  // namespace
