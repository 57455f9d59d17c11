#include "pim/IconProviderRef.h"

#include <new>

#include "base/CeDbApi.h"
#include "pim/IconProviders.h"

BOOL CIconProviderRef::SetOwnerAndReset(HWND owner, int pimChoice) {
  CIconProviders::Instance().SetOwner(owner);
  return Reset(pimChoice);
}

BOOL CIconProviderRef::Reset(int pimChoice, BOOL* changed) {
  CIconProviders& providers = CIconProviders::Instance();
  const int oldKind = providers.GetStore() ? providers.GetStore()->GetKind() : kNoIconStore;
  providers.SetStore(nullptr);
  BOOL opened = FALSE;
  if (CIconProvider* store = CreateIconProvider(pimChoice, IsNewerStore())) {
    providers.SetStore(store);
    opened = store->Open(providers.GetOwner());
    if (!opened) {
      providers.SetStore(new (std::nothrow) CIconProvider);
      if (providers.GetStore()) providers.GetStore()->Open(providers.GetOwner());
    }
  }
  const int newKind = providers.GetStore() ? providers.GetStore()->GetKind() : kNoIconStore;
  if (changed) *changed = newKind != oldKind;
  return opened;
}

void CIconProviderRef::Clear() {
  CIconProviders& providers = CIconProviders::Instance();
  providers.SetStore(nullptr);
  providers.RemoveAllListeners();
  providers.SetOwner(nullptr);
}

CString CIconProviderRef::GetIconName(CEOID objectId) {
  CString path;
  if (CIconProvider* store = CIconProviders::Instance().GetStore()) store->GetIconFile(path, objectId);
  return path;
}

BOOL CIconProviderRef::SetLink(CEOID objectId, int itemKind, LPCWSTR source, CString* storedName,
                               IIconProviderListener* listener) {
  if (storedName) storedName->Empty();
  CIconProvider* store = CIconProviders::Instance().GetStore();
  return store ? store->SetLink(objectId, itemKind, source, storedName, listener) : FALSE;
}

BOOL CIconProviderRef::GetStoreState() {
  CIconProvider* store = CIconProviders::Instance().GetStore();
  return store && store->CanKeepPictures();
}
