// Shared by the object-model tests (over the database tests' support: a device root of
// the program's own and child processes): the layout switch, fresh stores, the server
// registered in the prefix, and raw reads of what it stored.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/pimstore/pimstore.h"

namespace pimtest {

// Selects the older (version 4.21) or the newer (5.1) store for objects made after it.
void UseLayout(bool newer);
// Empties every PIM database of both layouts.
void ClearStores();
// Registers the server in the prefix (DllRegisterServer of pimstore.dll).
HRESULT RegisterServer();
// A new application object through CoCreateInstance (registered in the prefix).
IPOutlookApp* CreateApp();

// The volume of a layout's PIM databases.
CEGUID LayoutGuid(bool newer);

// The properties of one stored record, read straight from the database.
struct RawRecord {
  CEOID oid = 0;
  std::map<CEPROPID, CEPROPVAL> values;
  std::map<CEPROPID, std::wstring> texts;
  std::map<CEPROPID, std::vector<BYTE>> blobs;
};
std::vector<RawRecord> ReadRaw(const wchar_t* name, bool newer);

}  // namespace pimtest
