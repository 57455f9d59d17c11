#include "panel/ListTabServices.h"

namespace {
IListTabServices* g_services = nullptr;
}

IListTabServices* SetListTabServices(IListTabServices* services) {
  IListTabServices* previous = g_services;
  g_services = services;
  return previous;
}

IListTabServices* GetListTabServices() { return g_services; }
