#include "panel/PanelDataLists.h"

namespace {
IPanelDataLists* g_lists = nullptr;
}  // namespace

IPanelDataLists* SetPanelDataLists(IPanelDataLists* lists) {
  IPanelDataLists* previous = g_lists;
  g_lists = lists;
  return previous;
}

IPanelDataLists* GetPanelDataLists() { return g_lists; }
