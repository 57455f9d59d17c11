// What the e-mail list's tests share over the device's sample stores (device/mail, as
// resources 101 and 102): the stores installed, their folders as filters name them and
// the inbox services the device registers for them.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>

#include "base/TaggedBlob.h"
#include "base/tests/RegistrySandbox.h"
#include "platform/cemapi/tests/MapiTestSupport.h"

namespace sampletest {

inline std::string ResourceText(int id) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  if (!loaded) return std::string();
  return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

// Every store file removed, then "ActiveSync" and "SMS" from the samples.
inline bool InstallSampleStores() {
  mapitest::RemoveStores();
  return mapitest::InstallStore(L"ActiveSync.mst", ResourceText(101)) &&
         mapitest::InstallStore(L"SMS.mst", ResourceText(102));
}

// The device's inbox services of the two stores ("Outlook E-mail", "Text Messages").
inline void RegisterSampleServices(const CLocalMachineSandbox& machine) {
  CRegistryView svc = machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\ActiveSync");
  svc.WriteString(L"Name", L"ActiveSync");
  svc.WriteString(L"FriendlyName", L"Outlook E-mail");
  machine.Key(L"SOFTWARE\\Microsoft\\Inbox\\Svc\\SMS").WriteString(L"FriendlyName", L"Text Messages");
}

inline CTaggedBlob Folder(ULONGLONG id, const wchar_t* name) {
  CTaggedBlob blob;
  const std::string entry = mapitest::Entry(MAPI_FOLDER, id);
  blob.SetData(entry.data(), static_cast<DWORD>(entry.size()));
  blob.SetName(name);
  return blob;
}

inline CTaggedBlob WebISFolder(DWORD number, const wchar_t* account, const wchar_t* name) {
  CBlobObj packed;
  PackKindText(number, account, packed);
  CTaggedBlob blob;
  blob.SetData(packed.GetData(), packed.GetSize());
  blob.SetKind(CTaggedBlob::KindF);
  blob.SetName(name);
  return blob;
}

// A 32-bit property of a stored message, read through a session of its own; -1 when the
// message does not open, -2 when it lacks the property.
inline LONG StoredLong(ULONGLONG message, ULONG tag) {
  mapitest::CSessionHolder session;
  IMessage* opened = mapitest::Open<IMessage>(session.get(), mapitest::Entry(MAPI_MESSAGE, message));
  if (!opened) return -1;
  SizedSPropTagArray<1> tags = {1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  LONG value = -2;
  if (SUCCEEDED(opened->GetProps(tags, 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag)
    value = values[0].Value.l;
  MAPIFreeBuffer(values);
  opened->Release();
  return value;
}

// Whether a stored message lies in that folder.
inline bool StoredIn(ULONGLONG message, ULONGLONG folder) {
  mapitest::CSessionHolder session;
  IMessage* opened = mapitest::Open<IMessage>(session.get(), mapitest::Entry(MAPI_MESSAGE, message));
  if (!opened) return false;
  SizedSPropTagArray<1> tags = {1, {PR_PARENT_ENTRYID}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  bool in = false;
  const std::string entry = mapitest::Entry(MAPI_FOLDER, folder);
  if (SUCCEEDED(opened->GetProps(tags, 0, &count, &values)) && count == 1 && values[0].ulPropTag == PR_PARENT_ENTRYID)
    in = values[0].Value.bin.cb == entry.size() && memcmp(values[0].Value.bin.lpb, entry.data(), entry.size()) == 0;
  MAPIFreeBuffer(values);
  opened->Release();
  return in;
}

}  // namespace sampletest
