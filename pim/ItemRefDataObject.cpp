#include "pim/ItemRefDataObject.h"

const GUID kItemRefTypePim = {0x18103FDF, 0xCAEC, 0x42EB, {0x90, 0xE7, 0x1C, 0x76, 0xD6, 0xE6, 0x0D, 0x24}};

static_assert(sizeof(ITEMREF_ARRAY) == (sizeof(void*) == 8 ? 40 : 28), "the device's block, with our pointer");

CLIPFORMAT CItemRefDataObject::GetFormat() {
  static CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"ItemRefArray"));
  return format;
}

STDMETHODIMP CItemRefDataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDataObject) return E_NOINTERFACE;
  *out = static_cast<IDataObject*>(this);
  return S_OK;
}

STDMETHODIMP CItemRefDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (format->cfFormat != GetFormat()) return DV_E_FORMATETC;
  if (format->lindex != -1) return DV_E_LINDEX;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (format->tymed == TYMED_FILE || format->tymed == TYMED_ISTREAM || format->tymed == TYMED_ISTORAGE)
    return DV_E_TYMED;
  // Fixed memory: the block's pointer to its own type stays valid where it is read.
  HGLOBAL block = GlobalAlloc(GPTR, sizeof(ITEMREF_ARRAY));
  if (!block) return E_OUTOFMEMORY;
  ITEMREF_ARRAY* refs = static_cast<ITEMREF_ARRAY*>(block);
  refs->count = 1;
  refs->typeId = kItemRefTypePim;
  refs->type = &refs->typeId;
  refs->oid = m_oid;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}
