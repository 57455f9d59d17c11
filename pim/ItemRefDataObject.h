// The data object through which a shell context-menu extension learns which PIM item
// its menu is about: one format, "ItemRefArray", holding one item reference. It lives
// inside its owner and counts no references.
#pragma once
#include <windows.h>
#include <objidl.h>

// {18103FDF-CAEC-42EB-90E7-1C76D6E60D24}: the reference is a PIM item.
extern const GUID kItemRefTypePim;

// The block of the "ItemRefArray" format: a count, the type of the references (it
// points at typeId inside the same block) and the item. The device's block holds a
// 32-bit pointer and is 28 bytes; here the pointer is ours.
struct ITEMREF_ARRAY {
  DWORD count;
  const GUID* type;
  DWORD oid;
  GUID typeId;
};

class CItemRefDataObject : public IDataObject {
 public:
  CItemRefDataObject() : m_oid(0) {}
  virtual ~CItemRefDataObject() = default;
  CItemRefDataObject(const CItemRefDataObject&) = delete;
  CItemRefDataObject& operator=(const CItemRefDataObject&) = delete;

  void SetOid(DWORD oid) { m_oid = oid; }
  DWORD GetOid() const { return m_oid; }
  // The registered clipboard format "ItemRefArray".
  static CLIPFORMAT GetFormat();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  DWORD m_oid;
};
