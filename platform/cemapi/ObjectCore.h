#pragma once
// What stores, folders and messages share: an object is its kind and id, looked up in
// the device's stores at every call, so every opener sees every change at once.
#include <string>
#include <vector>

#include "platform/cemapi/StoreSet.h"
#include "platform/cemapi/cemapi.h"

// {6E3A7C51-0B2D-4C58-9F1A-2D7E5B0C8A41}: our own objects answer this with their core
// (no reference taken), so a folder given as a destination is known for ours.
inline const IID IID_CeMapiObjectCore = {0x6e3a7c51, 0x0b2d, 0x4c58, {0x9f, 0x1a, 0x2d, 0x7e, 0x5b, 0x0c, 0x8a, 0x41}};

class CObjectCore {
 public:
  CObjectCore(ULONG kind, ULONGLONG id) : kind_(kind), id_(id) {}
  virtual ~CObjectCore() = default;

  ULONG Kind() const { return kind_; }
  ULONGLONG Id() const { return id_; }

  HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values);
  HRESULT GetPropList(ULONG flags, LPSPropTagArray* tags);
  HRESULT SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems);
  HRESULT OpenProperty(ULONG tag, LPCIID iid, ULONG options, ULONG flags, IUnknown** out);

  // The object's properties as callers see them; under a guard.
  HRESULT Props(CStoreSet& set, PropRecordMap& props);

  // Opens a store, folder or message by entry id.
  static HRESULT OpenEntry(ULONG cb, LPENTRYID entry, LPCIID iid, ULONG* type, IUnknown** out);
  static HRESULT CompareEntryIDs(ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG* result);
  // Gives an object of this library back as its core; null for any other.
  static CObjectCore* Of(IUnknown* unknown);

 protected:
  ULONG kind_;
  ULONGLONG id_;
};

// The reference count and IUnknown of every object, over the interface it serves.
template <class I>
class CUnknownImpl : public I {
 public:
  CUnknownImpl(std::initializer_list<const IID*> iids) : iids_(iids) {}
  virtual ~CUnknownImpl() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == IID_CeMapiObjectCore) {
      *out = Core();
      return *out ? S_OK : E_NOINTERFACE;
    }
    bool known = riid == IID_IUnknown;
    for (const IID* iid : iids_) known = known || riid == *iid;
    if (!known) return E_NOINTERFACE;
    *out = static_cast<I*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

 protected:
  virtual CObjectCore* Core() { return nullptr; }

 private:
  LONG refs_ = 1;
  std::vector<const IID*> iids_;
};

// IMAPIProp's slots over a core, for stores, folders and messages.
template <class I>
class CPropObject : public CUnknownImpl<I>, public CObjectCore {
 public:
  CPropObject(ULONG kind, ULONGLONG id, std::initializer_list<const IID*> iids)
      : CUnknownImpl<I>(iids), CObjectCore(kind, id) {}

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** error) override {
    if (error) *error = nullptr;
    return MAPI_E_NO_SUPPORT;
  }
  // Changes are committed as they are made; there is nothing left to save.
  HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    return CObjectCore::GetProps(tags, flags, count, values);
  }
  HRESULT STDMETHODCALLTYPE GetPropList(ULONG flags, LPSPropTagArray* tags) override {
    return CObjectCore::GetPropList(flags, tags);
  }
  HRESULT STDMETHODCALLTYPE OpenProperty(ULONG tag, LPCIID iid, ULONG options, ULONG flags,
                                         IUnknown** out) override {
    return CObjectCore::OpenProperty(tag, iid, options, flags, out);
  }
  HRESULT STDMETHODCALLTYPE SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) override {
    return CObjectCore::SetProps(count, values, problems);
  }
  HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, IMAPIProgress*, LPCIID, void*, ULONG,
                                   LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, IMAPIProgress*, LPCIID, void*, ULONG,
                                      LPSPropProblemArray*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, void***) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, void**, ULONG, LPSPropTagArray*) override {
    return MAPI_E_NO_SUPPORT;
  }

 protected:
  CObjectCore* Core() override { return this; }
};
