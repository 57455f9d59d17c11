#include "base/RefObject.h"

LONG CRefObject::AddRef() {
  if (m_refs == -1) return 0;
  return ++m_refs;
}

LONG CRefObject::Release() {
  if (m_refs == -1) return 0;
  if (m_refs <= 1) {
    // A count already at 0 (released once too often) must not be freed twice;
    // the creator's reference is the only one that deletes.
    if (m_refs == 1) {
      m_refs = 0;
      delete this;
    }
    return 0;
  }
  return --m_refs;
}
