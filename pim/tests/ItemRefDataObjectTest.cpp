// The item-reference data object and the host of context-menu extensions, with an
// extension of the test's own registered for this process.
#include "pim/ContextMenuExtension.h"
#include "pim/ItemRefDataObject.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/windowlib/ComPtr.h"

namespace {

FORMATETC Format(CLIPFORMAT format, LONG index, DWORD aspect, DWORD tymed) {
  FORMATETC f = {format, nullptr, aspect, index, tymed};
  return f;
}

TEST(ItemRefDataObject, GivesTheItemInItsOneFormat) {
  CItemRefDataObject object;
  object.SetOid(0xC0000042);
  CLIPFORMAT format = CItemRefDataObject::GetFormat();
  EXPECT_EQ(format, RegisterClipboardFormatW(L"ItemRefArray"));
  const struct Case {
    const char* what;
    FORMATETC request;
    HRESULT result;
  } cases[] = {
      {"HGLOBAL", Format(format, -1, DVASPECT_CONTENT, TYMED_HGLOBAL), S_OK},
      {"no medium type asked", Format(format, -1, DVASPECT_CONTENT, 0), S_OK},
      {"other format", Format(CF_TEXT, -1, DVASPECT_CONTENT, TYMED_HGLOBAL), DV_E_FORMATETC},
      {"index 0", Format(format, 0, DVASPECT_CONTENT, TYMED_HGLOBAL), DV_E_LINDEX},
      {"icon aspect", Format(format, -1, DVASPECT_ICON, TYMED_HGLOBAL), DV_E_DVASPECT},
      {"file", Format(format, -1, DVASPECT_CONTENT, TYMED_FILE), DV_E_TYMED},
      {"stream", Format(format, -1, DVASPECT_CONTENT, TYMED_ISTREAM), DV_E_TYMED},
      {"storage", Format(format, -1, DVASPECT_CONTENT, TYMED_ISTORAGE), DV_E_TYMED},
  };
  for (const Case& c : cases) {
    FORMATETC request = c.request;
    STGMEDIUM medium = {};
    ASSERT_EQ(object.GetData(&request, &medium), c.result) << c.what;
    if (FAILED(c.result)) continue;
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL)) << c.what;
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    ASSERT_GE(GlobalSize(medium.hGlobal), sizeof(ITEMREF_ARRAY));
    const ITEMREF_ARRAY* refs = static_cast<const ITEMREF_ARRAY*>(GlobalLock(medium.hGlobal));
    EXPECT_EQ(refs->count, 1u);
    EXPECT_EQ(refs->oid, 0xC0000042u);
    EXPECT_EQ(refs->type, &refs->typeId) << "the type lies in the block";
    EXPECT_TRUE(IsEqualGUID(*refs->type, kItemRefTypePim));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
  }
  EXPECT_EQ(object.GetData(nullptr, nullptr), E_INVALIDARG);

  void* out = &object;
  EXPECT_EQ(object.QueryInterface(IID_IDataObject, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDataObject*>(&object));
  EXPECT_EQ(object.QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(object.QueryInterface(IID_IStream, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(object.QueryInterface(IID_IDataObject, nullptr), E_INVALIDARG);
  EXPECT_EQ(object.AddRef(), 1u) << "not counted";
  EXPECT_EQ(object.Release(), 1u);
  FORMATETC any = Format(format, -1, DVASPECT_CONTENT, TYMED_HGLOBAL);
  STGMEDIUM medium = {};
  EXPECT_EQ(object.GetDataHere(&any, &medium), E_NOTIMPL);
  EXPECT_EQ(object.QueryGetData(&any), E_NOTIMPL);
  EXPECT_EQ(object.SetData(&any, &medium, FALSE), E_NOTIMPL);
}

// A context-menu extension as a shell would register one.
class Extension : public IObjectWithSite, public IContextMenu {
 public:
  LONG refs = 1;
  DWORD siteOid = 0;
  bool hasSite = false;
  bool refuseItem = false;
  bool withMenu = true;
  UINT items = 2;
  std::string invoked;
  HWND invokedOwner = nullptr;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IObjectWithSite) *out = static_cast<IObjectWithSite*>(this);
    if (iid == IID_IContextMenu && withMenu) *out = static_cast<IContextMenu*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  STDMETHODIMP SetSite(IUnknown* site) override {
    hasSite = site != nullptr;
    if (!site) return S_OK;
    CComPtr<IDataObject> data;
    if (FAILED(site->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&data)))) return E_FAIL;
    FORMATETC format = Format(CItemRefDataObject::GetFormat(), -1, DVASPECT_CONTENT, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return E_FAIL;
    siteOid = static_cast<const ITEMREF_ARRAY*>(GlobalLock(medium.hGlobal))->oid;
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return refuseItem ? E_FAIL : S_OK;
  }
  STDMETHODIMP GetSite(REFIID, void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP QueryContextMenu(HMENU menu, UINT position, UINT first, UINT last, UINT) override {
    UINT added = 0;
    for (; added < items && first + added <= last; ++added)
      InsertMenuW(menu, position + added, MF_BYPOSITION | MF_STRING, first + added, L"Extension item");
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, added);
  }
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    invokedOwner = info->hwnd;
    invoked = IS_INTRESOURCE(info->lpVerb) ? "#" + std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(info->lpVerb)))
                                           : std::string(info->lpVerb);
    return info->cbSize == sizeof(CMINVOKECOMMANDINFO) ? S_OK : E_INVALIDARG;
  }
  STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT*, LPSTR name, UINT size) override {
    if (type != GCS_VERBA || command != 0 || size < 6) return E_NOTIMPL;
    lstrcpynA(name, "beam", static_cast<int>(size));
    return S_OK;
  }
};

class Factory : public IClassFactory {
 public:
  explicit Factory(Extension* extension) : m_extension(extension) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IClassFactory) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
    return m_extension->QueryInterface(iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  Extension* m_extension;
};

// {5E7D0B61-2C4A-4F3E-9A51-7C0D2B8E4A10}, ours.
const CLSID kExtensionClass = {0x5E7D0B61, 0x2C4A, 0x4F3E, {0x9A, 0x51, 0x7C, 0x0D, 0x2B, 0x8E, 0x4A, 0x10}};
const wchar_t kExtensionText[] = L"{5E7D0B61-2C4A-4F3E-9A51-7C0D2B8E4A10}";

class ContextMenuExtensionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoRegisterClassObject(kExtensionClass, &m_factory, CLSCTX_INPROC_SERVER,
                                                   REGCLS_MULTIPLEUSE, &m_cookie));
  }
  void TearDown() override { CoRevokeClassObject(m_cookie); }

  CComInitScope m_com{COINIT_APARTMENTTHREADED};
  Extension m_extension;
  Factory m_factory{&m_extension};
  DWORD m_cookie = 0;
};

TEST_F(ContextMenuExtensionTest, TheExtensionLearnsTheItemAddsItsItemsAndRunsThem) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1001, L"Open");
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  {
    CContextMenuExtension host;
    ASSERT_TRUE(host.Create(kExtensionText));
    EXPECT_TRUE(host.Serves(0x80000007));
    EXPECT_EQ(m_extension.siteOid, 0x80000007u);
    EXPECT_EQ(host.AddItems(menu, 1, 30000, 30009), 2u);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 2), 30001u);
    EXPECT_TRUE(host.Run(0, owner));
    EXPECT_EQ(m_extension.invoked, "beam") << "by its verb";
    EXPECT_EQ(m_extension.invokedOwner, owner);
    EXPECT_TRUE(host.Run(1, owner));
    EXPECT_EQ(m_extension.invoked, "#1") << "without a verb, by number";

    m_extension.refuseItem = true;
    EXPECT_FALSE(host.Serves(5));
  }
  EXPECT_FALSE(m_extension.hasSite) << "the site lives in the host: taken back";
  EXPECT_EQ(m_extension.refs, 1) << "every reference given back";
  DestroyMenu(menu);
  DestroyWindow(owner);
}

TEST_F(ContextMenuExtensionTest, NothingIsHostedThatCannotBe) {
  CContextMenuExtension host;
  const wchar_t* texts[] = {nullptr, L"", L"not an identifier", L"{00000000-0000-0000-0000-000000000001}"};
  for (const wchar_t* text : texts) {
    EXPECT_FALSE(host.Create(text)) << (text ? text : L"(null)");
    EXPECT_FALSE(host.IsCreated());
    EXPECT_FALSE(host.Serves(1));
    EXPECT_EQ(host.AddItems(nullptr, 0, 1, 2), 0u);
    EXPECT_FALSE(host.Run(0, nullptr));
  }
  m_extension.withMenu = false;
  EXPECT_FALSE(host.Create(kExtensionText)) << "no menu interface";
  EXPECT_EQ(m_extension.refs, 1);
}

}  // namespace
