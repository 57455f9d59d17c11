// Base of every record read from the PIM stores. Records made with new are shared
// by lists, rows and popups and die with their last reference; records that live
// inside another object or as statics carry the count -1 and are never freed by
// releasing.
#pragma once
#include <windows.h>

class CRefObject {
 public:
  // Static or member object: not counted.
  CRefObject() : m_refs(-1) {}
  virtual ~CRefObject() = default;

  CRefObject(const CRefObject&) = delete;
  CRefObject& operator=(const CRefObject&) = delete;

  // Heap object: starts with one reference held by its creator.
  void CRefObjectCounted() {
    m_refs = 0;
    AddRef();
  }

  // New count; 0 and no change for an uncounted object.
  LONG AddRef();
  // New count; the object deletes itself when the last reference goes.
  LONG Release();

  LONG GetRefCount() const { return m_refs; }

 private:
  LONG m_refs;
};
