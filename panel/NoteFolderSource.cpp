#include "panel/NoteFolderSource.h"

namespace {

INoteFolderSource* g_source = nullptr;

}  // namespace

INoteFolderSource* SetNoteFolderSource(INoteFolderSource* source) {
  INoteFolderSource* previous = g_source;
  g_source = source;
  return previous;
}

INoteFolderSource* GetNoteFolderSource() { return g_source; }
